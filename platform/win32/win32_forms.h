#pragma once

#include <map>
#include <memory>
#include <vector>

#include <windows.h>

#include "platform/runtime/toolkit_forms.h"
#include "platform/win32/list_box_lines.h"

namespace tallowick {

class Win32FormWindow;

// The forms runtime on plain Win32: each window is built from its layout,
// clicks reach the Form, and the message loop gives every window the
// dialog keys (Tab, access keys, Space).
class Win32Forms final : public ToolkitForms {
public:
    explicit Win32Forms(HINSTANCE instance, int dpi = 0); // dpi 0: the screen's
    ~Win32Forms() override;

    void SetCaption(Form& form, ControlId label, std::string_view text) override;
    void SetVisible(Form& form, ControlId button, bool visible) override;
    void ClearList(Form& form, ControlId list) override;
    void AddListLine(Form& form, ControlId list, const SharedText& line) override;
    void Show(Form& form) override;
    void Unload(Form& form) override;
    void End() override;

    // The message loop, until End or until the last window closes: the exit code.
    int Run();

    // From the window procedure.
    using ToolkitForms::DeliverClick;
    void CloseRequested(Form& form);
    void WindowDestroyed(Form& form);

private:
    friend class Win32FormsProbe; // the window tests' seam

    void ShowHeldBack() override;
    std::vector<std::string> ListLines(Form& form, ControlId list) override;

    Win32FormWindow* Find(const Form& form) const;
    Win32FormWindow* Loaded(Form& form); // loads a window that is not loaded; null after End
    HWND ControlToChange(Form& form, ControlId id);
    void ProcessMessage(MSG& message);
    win32::ListBoxLines& Filling(HWND list); // the list not redrawn until ShowHeldBack
    void DestroyAll();
    void PostQuit();

    HINSTANCE instance_;
    int dpi_;
    HFONT defaultFont_ = nullptr;
    HWND hiddenOwner_ = nullptr;
    std::map<const Form*, std::unique_ptr<Win32FormWindow>> windows_;
    // Destroyed while their window procedure may still run; freed in the message loop.
    std::vector<std::unique_ptr<Win32FormWindow>> retired_;
    std::vector<win32::ListBoxLines> listFills_;
    bool destroying_ = false;
    bool quitPosted_ = false;
    bool quitReceived_ = false;
};

} // namespace tallowick
