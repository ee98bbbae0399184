#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/interfaces/forms.h"

namespace tallowick {

enum class MessageKind { Error, Warning };

inline constexpr std::string_view kMessageTitle = "Tallowick";

// One message box: its text and, for a warning, each file with its reason.
struct Message {
    struct File {
        std::string path;
        std::string reason;
    };
    MessageKind kind = MessageKind::Error;
    std::string text;
    std::vector<File> files;
};

// The toolkit's modal message box, or, in a test, an answer given in advance.
using MessagePresenter = std::function<void(const Message& message)>;

// Runs one event handler; an error that escapes it is reported, then the
// program ends.
void RunEventHandler(Forms& forms, const std::function<void()>& handler);

// "Error 13: Permission denied"
std::string FormatErrorReport(const Error& error);
// Why one file could not be dealt with: as above, or the program's own words.
std::string FailureReason(const Error& error);

// A window's layout rows in tab order, ties in the table's order.
std::vector<const ControlLayout*> ControlsInTabOrder(const WindowLayout& layout);

// What every toolkit binding of the forms runtime does alike.
class ToolkitForms : public Forms {
public:
    void ShowFailures(Form& form, ControlId list, std::string_view summary, std::vector<FailedFile> failures) final;
    void ReportError(const Error& error) final;

    bool Ended() const { return ended_; }
    // 1 once an error has been reported, else 0: the program's exit status.
    int ExitCode() const { return errorReported_ ? 1 : 0; }

    void SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

protected:
    explicit ToolkitForms(MessagePresenter toolkitBoxes) : presenter_(std::move(toolkitBoxes)) {}

    // Runs the window's handler, unless the program has ended, then shows
    // what the binding held back while it ran.
    void DeliverClick(Form& form, ControlId button);

    // True the first time: the binding then closes every window.
    bool BeginEnd() { return !std::exchange(ended_, true); }

    [[noreturn]] static void ThrowNoSuchControl(const Form& form, ControlId id);

    // Shows what was held back while a handler ran: when it ends, and
    // behind a message box it raises.
    virtual void ShowHeldBack() = 0;
    // The lines of a list box, in the order it shows them.
    virtual std::vector<std::string> ListLines(Form& form, ControlId list) = 0;

private:
    bool ended_ = false;
    bool errorReported_ = false;
    MessagePresenter presenter_;
};

} // namespace tallowick
