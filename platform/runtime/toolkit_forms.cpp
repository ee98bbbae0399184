#include "platform/runtime/toolkit_forms.h"

#include <algorithm>
#include <string>

#include "platform/runtime/event_handler.h"

namespace tallowick {

std::vector<const ControlLayout*> ControlsInTabOrder(const WindowLayout& layout)
{
    std::vector<const ControlLayout*> rows;
    for (const ControlLayout& row : layout.controls)
        rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    return rows;
}

void ToolkitForms::ShowMessage(std::string_view text) { Present(MessageKind::Information, text); }

void ToolkitForms::ReportError(const Error& error) { Present(MessageKind::Error, FormatErrorReport(error)); }

void ToolkitForms::Present(MessageKind kind, std::string_view text)
{
    if (ended_)
        return;
    ShowHeldBack();
    presenter_(kind, text);
}

void ToolkitForms::DeliverClick(Form& form, ControlId button)
{
    if (ended_)
        return;
    RunEventHandler(*this, [&] { form.Click(button); });
    ShowHeldBack();
}

bool ToolkitForms::BeginEnd()
{
    if (ended_)
        return false;
    ended_ = true;
    return true;
}

void ToolkitForms::ThrowNoSuchControl(const Form& form, ControlId id)
{
    throw Error(0, "The window " + std::string(form.Layout().name) + " has no control " + std::to_string(id) + ".");
}

} // namespace tallowick
