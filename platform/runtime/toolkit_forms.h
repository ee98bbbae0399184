#pragma once

#include <string_view>
#include <vector>

#include "platform/interfaces/forms.h"

namespace tallowick {

enum class MessageKind { Information, Error };

// A window's layout rows in tab order; rows with the same number keep the
// table's order.
std::vector<const ControlLayout*> ControlsInTabOrder(const WindowLayout& layout);

// What every toolkit binding of the forms runtime does alike.
class ToolkitForms : public Forms {
public:
    void ShowMessage(std::string_view text) final;
    void ReportError(const Error& error) final;

    bool Ended() const { return ended_; }

protected:
    // A button click: nothing once the program has ended; otherwise the
    // window's handler, run to completion under the error report, and then
    // whatever the binding held back while it ran is shown.
    void DeliverClick(Form& form, ControlId button);

    // True the first time: the binding then closes every window.
    bool BeginEnd();

    [[noreturn]] static void ThrowNoSuchControl(const Form& form, ControlId id);

    // One modal message box.
    virtual void Present(MessageKind kind, std::string_view text) = 0;
    // Shows what the binding held back while a handler ran.
    virtual void HandlerFinished() = 0;

private:
    bool ended_ = false;
};

} // namespace tallowick
