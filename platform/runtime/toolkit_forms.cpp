#include "platform/runtime/toolkit_forms.h"

#include <algorithm>
#include <exception>
#include <map>
#include <string>
#include <utility>

namespace tallowick {

void RunEventHandler(Forms& forms, const std::function<void()>& handler)
{
    try {
        handler();
        return;
    } catch (const Error& error) {
        forms.ReportError(error);
    } catch (const std::exception& error) {
        forms.ReportError(Error(0, error.what()));
    }
    forms.End();
}

std::string FormatErrorReport(const Error& error)
{
    return "Error " + std::to_string(error.number()) + ": " + error.description();
}

std::string FailureReason(const Error& error)
{
    return error.number() == 0 ? error.reason() : "Error " + std::to_string(error.number()) + ": " + error.reason();
}

std::vector<const ControlLayout*> ControlsInTabOrder(const WindowLayout& layout)
{
    std::vector<const ControlLayout*> rows;
    for (const ControlLayout& row : layout.controls)
        rows.push_back(&row);
    std::ranges::stable_sort(rows, {}, &ControlLayout::tabIndex);
    return rows;
}

// The first files named are the first the user sees in the list.
void ToolkitForms::ShowFailures(Form& form, ControlId list, std::string_view summary, std::vector<FailedFile> failures)
{
    if (ended_)
        return;
    ShowHeldBack();
    const std::vector<std::string> lines = ListLines(form, list);
    std::map<std::string_view, std::size_t> shownAt; // no hash table: the 486 runtime has none
    for (std::size_t i = 0; i < lines.size(); ++i)
        shownAt.try_emplace(lines[i], i);
    std::vector<std::pair<std::size_t, std::size_t>> order; // (where shown, which failure): failures unshown go last
    for (std::size_t i = 0; i < failures.size(); ++i) {
        const auto found = shownAt.find(failures[i].path);
        order.emplace_back(found == shownAt.end() ? lines.size() : found->second, i);
    }
    std::sort(order.begin(), order.end());
    Message message{MessageKind::Warning, std::string(summary), {}};
    for (const auto& [shown, i] : order)
        message.files.push_back({failures[i].path, FailureReason(failures[i].error)});
    presenter_(message);
}

void ToolkitForms::ReportError(const Error& error)
{
    if (!ended_) {
        ShowHeldBack();
        presenter_({MessageKind::Error, FormatErrorReport(error), {}});
    }
    errorReported_ = true;
}

void ToolkitForms::DeliverClick(Form& form, ControlId button)
{
    if (ended_)
        return;
    RunEventHandler(*this, [&] { form.Click(button); });
    ShowHeldBack();
}

void ToolkitForms::ThrowNoSuchControl(const Form& form, ControlId id)
{
    throw Error(0, "The window " + std::string(form.Layout().name) + " has no control " + std::to_string(id) + ".");
}

} // namespace tallowick
