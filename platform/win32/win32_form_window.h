#pragma once

#include <vector>

#include <windows.h>

#include "platform/interfaces/forms.h"

namespace tallowick {

class Win32Forms;

// One loaded window: its handle, one control per layout row, and the fonts
// and brushes made for them.
class Win32FormWindow {
public:
    static constexpr const char* kClassName = "TallowickForm";
    static void RegisterWindowClass(HINSTANCE instance); // once per process

    Win32FormWindow(Win32Forms& forms, Form& form) : forms_(forms), form_(form) {}
    ~Win32FormWindow();
    Win32FormWindow(const Win32FormWindow&) = delete;
    Win32FormWindow& operator=(const Win32FormWindow&) = delete;

    // Creates the window, hidden and centred on the screen, and its controls
    // in tab order. Throws Error; the destructor cleans up what was made.
    void Build(HINSTANCE instance, HWND owner, int dpi, HFONT defaultFont);

    HWND Handle() const { return window_; }
    HWND Control(ControlId id) const; // null when the layout has no such row

private:
    struct Child {
        const ControlLayout* row;
        HWND handle;
        HBRUSH background; // for a row with a colour of its own
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int commandId, int notification, HWND control);
    LRESULT OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam);
    void RestoreFocus();

    const Child* FindChild(HWND handle) const;
    HGDIOBJ Made(HGDIOBJ object); // kept until the window goes; throws where none was made

    Win32Forms& forms_;
    Form& form_;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr; // restored when the window is activated again
    std::vector<Child> children_;
    std::vector<HGDIOBJ> madeObjects_; // fonts and brushes
};

} // namespace tallowick
