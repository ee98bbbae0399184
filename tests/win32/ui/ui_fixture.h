#pragma once

#include <string>
#include <utility>
#include <vector>

#include <windows.h>
#undef DeleteFile

#include "program/project.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_forms.h"
#include "tests/support/main_window_state.h"
#include "tests/support/memory_drive.h"

namespace tallowick {

// The window tests' seam into the runtime.
class Win32FormsProbe {
public:
    // The handles of a loaded window and its controls; null when not loaded.
    static HWND WindowOf(const Win32Forms& forms, const Form& form)
    {
        const Win32FormWindow* window = forms.Find(form);
        return window ? window->Handle() : nullptr;
    }
    static HWND ControlOf(const Win32Forms& forms, const Form& form, ControlId id)
    {
        const Win32FormWindow* window = forms.Find(form);
        return window ? window->Control(id) : nullptr;
    }
    static int Dpi(const Win32Forms& forms) { return forms.dpi_; }
    static bool QuitRequested(const Win32Forms& forms) { return forms.quitReceived_ || forms.quitPosted_; }

    // Handles every message already queued, as the message loop does.
    static void ProcessPendingMessages(Win32Forms& forms)
    {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                forms.quitReceived_ = true;
                continue;
            }
            forms.ProcessMessage(message);
        }
    }
};

} // namespace tallowick

namespace ui_test {

using tallowick::ControlId;

// Message boxes answered in advance: each is recorded, none is shown.
struct AnsweredMessageBoxes {
    std::vector<tallowick::Message> shown;
};

// The program as it starts: Main shown over an in-memory drive, at a chosen
// resolution. Everything is driven with window messages.
class ProgramFixture : public tallowick::testing::MainWindowState {
public:
    explicit ProgramFixture(int dpi = 96);
    ~ProgramFixture(); // ends the program before the forms go

    HWND MainWindow() const { return tallowick::Win32FormsProbe::WindowOf(forms, main); }
    HWND Control(ControlId id) const { return tallowick::Win32FormsProbe::ControlOf(forms, main, id); }
    bool QuitRequested() const { return tallowick::Win32FormsProbe::QuitRequested(forms); }
    HWND AboutWindow() const;
    HWND AboutControl(ControlId id) const;

    // BM_CLICK on a control of Main, then the queued messages.
    void Click(ControlId id);
    void ClickButton(HWND button);
    void Pump() { tallowick::Win32FormsProbe::ProcessPendingMessages(forms); }
    // Posts a key to the focused control (or the given window) as the
    // keyboard would, and lets the message loop handle it.
    void PressKey(WPARAM key);
    void PressAltKey(char letter);
    void PostToWindow(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    tallowick::testing::MemoryDrive drive;
    AnsweredMessageBoxes boxes;
    tallowick::Win32Forms forms;
    tallowick::Project project;
    tallowick::Main& main = project.main;

private:
    std::string Caption(ControlId id) const override;
    std::vector<std::string> Lines(ControlId id) const override;
    bool Visible(ControlId id) const override;
};

std::string TextOf(HWND window);
std::vector<std::string> ListLines(HWND list);
bool IsShown(HWND control); // its own visible flag
RECT ClientRectIn(HWND control, HWND parent); // the control's rectangle in the parent's client area
LOGFONTA FontOf(HWND control);
int VisibleWindowsCaptioned(const char* caption);

} // namespace ui_test
