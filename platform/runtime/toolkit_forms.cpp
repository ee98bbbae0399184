#include "platform/runtime/toolkit_forms.h"

#include <algorithm>
#include <exception>
#include <map>
#include <numeric>
#include <string>

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
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    return rows;
}

// The files are named where the list shows them, so that the first named
// are the first the user sees there.
void ToolkitForms::ShowFailures(Form& form, ControlId list, std::string_view summary, std::vector<FailedFile> failures)
{
    if (ended_)
        return;
    ShowHeldBack();
    const std::vector<std::string> lines = ListLines(form, list);
    std::map<std::string_view, std::size_t> shownAt; // no hash table: the 486 runtime has none
    for (std::size_t i = 0; i < lines.size(); ++i)
        shownAt.try_emplace(lines[i], i);
    std::vector<std::size_t> place;
    for (const FailedFile& failure : failures) {
        const auto found = shownAt.find(failure.path);
        place.push_back(found == shownAt.end() ? lines.size() : found->second);
    }
    std::vector<std::size_t> order(failures.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return place[a] < place[b]; });
    Message message{MessageKind::Warning, std::string(summary), {}};
    for (const std::size_t i : order)
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
