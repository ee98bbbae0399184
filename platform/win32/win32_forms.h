#pragma once

#include <map>
#include <memory>
#include <vector>

#include <windows.h>

#include "platform/forms.h"
#include "platform/win32/list_box_lines.h"
#include "platform/win32/message_boxes.h"

namespace tallowick {

class FormWindow;

// The forms runtime on plain Win32: each window is built from its layout,
// clicks reach the Form, and the message loop gives every window the
// dialog keys (Tab, access keys, Space).
class Win32Forms : public Forms {
public:
    struct Options {
        int dpi = 0;                           // 0: the screen's logical resolution
        MessageBoxes* messageBoxes = nullptr;  // null: real message boxes
    };

    explicit Win32Forms(HINSTANCE instance, Options options);
    explicit Win32Forms(HINSTANCE instance) : Win32Forms(instance, Options{}) {}
    ~Win32Forms() override;
    Win32Forms(const Win32Forms&) = delete;
    Win32Forms& operator=(const Win32Forms&) = delete;

    void SetCaption(Form& form, ControlId label, std::string_view text) override;
    void SetVisible(Form& form, ControlId button, bool visible) override;
    void ClearList(Form& form, ControlId list) override;
    void AddListLine(Form& form, ControlId list, std::string_view text) override;
    void Show(Form& form) override;
    void Unload(Form& form) override;
    void End() override;
    void ShowMessage(std::string_view text) override;
    void ReportError(const Error& error) override;

    // The program's message loop: runs until End or until the last window
    // has been closed. Returns the process exit code.
    int Run();
    // Handles every message already queued, as Run does; for tests.
    void ProcessPendingMessages();
    bool QuitRequested() const { return quitReceived_ || quitPosted_; }

    HWND WindowOf(const Form& form) const;                // null when not loaded
    HWND ControlOf(const Form& form, ControlId id) const; // null when not loaded
    int Dpi() const { return dpi_; }

    // From the window procedure.
    void ButtonClicked(Form& form, ControlId button);
    void CloseRequested(Form& form);
    void WindowDestroyed(Form& form);

private:
    FormWindow* Find(const Form& form) const;
    FormWindow* Loaded(Form& form); // loads a window that is not loaded; null after End
    HWND ControlToChange(Form& form, ControlId id);
    HWND HiddenOwner();
    void ProcessMessage(MSG& message);
    void SuspendRedraw(HWND list);
    void HandOverListLines();
    void ResumeRedraw();
    void DestroyAll();
    void PostQuit();

    HINSTANCE instance_;
    int dpi_;
    std::unique_ptr<MessageBoxes> systemMessageBoxes_;
    MessageBoxes* messageBoxes_;
    HFONT defaultFont_ = nullptr;
    HWND hiddenOwner_ = nullptr;
    std::map<const Form*, std::unique_ptr<FormWindow>> windows_;
    // Windows destroyed while their own window procedure may still be on the
    // stack; freed once control is back in the message loop.
    std::vector<std::unique_ptr<FormWindow>> retired_;
    std::vector<HWND> listsWithoutRedraw_;
    std::map<HWND, win32::ListBoxLines> pendingLines_;
    bool ended_ = false;
    bool destroying_ = false;
    bool quitPosted_ = false;
    bool quitReceived_ = false;
};

} // namespace tallowick
