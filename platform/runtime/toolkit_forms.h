#pragma once

#include <functional>
#include <utility>
#include <string_view>
#include <vector>

#include "platform/interfaces/forms.h"

namespace tallowick {

enum class MessageKind { Information, Error };

inline constexpr std::string_view kMessageTitle = "Tallowick";

// Shows one modal message box: the toolkit's own, or, in a test, an answer
// given in advance.
using MessagePresenter = std::function<void(MessageKind kind, std::string_view text)>;

// A window's layout rows in tab order; rows with the same number keep the
// table's order.
std::vector<const ControlLayout*> ControlsInTabOrder(const WindowLayout& layout);

// What every toolkit binding of the forms runtime does alike.
class ToolkitForms : public Forms {
public:
    void ShowMessage(std::string_view text) final;
    void ReportError(const Error& error) final;

    bool Ended() const { return ended_; }

    void SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

protected:
    explicit ToolkitForms(MessagePresenter toolkitBoxes) : presenter_(std::move(toolkitBoxes)) {}

    // A button click: nothing once the program has ended; otherwise the
    // window's handler, run to completion under the error report, and then
    // whatever the binding held back while it ran is shown.
    void DeliverClick(Form& form, ControlId button);

    // True the first time: the binding then closes every window.
    bool BeginEnd();

    [[noreturn]] static void ThrowNoSuchControl(const Form& form, ControlId id);

    // Shows what the binding held back while a handler ran: when it ends,
    // and behind a message box it raises.
    virtual void ShowHeldBack() = 0;

private:
    void Present(MessageKind kind, std::string_view text);

    bool ended_ = false;
    MessagePresenter presenter_;
};

} // namespace tallowick
