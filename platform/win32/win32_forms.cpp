#include "platform/win32/win32_forms.h"

#include <algorithm>

#include "platform/win32/control_text.h"
#include "platform/win32/message_box.h"
#include "platform/win32/system/win32_error.h"
#include "platform/win32/win32_form_window.h"

namespace tallowick {

namespace {

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The platform's default GUI font, at the resolution the windows are built
// for (the stock font follows the screen's).
HFONT CreateDefaultFont(int dpi)
{
    LOGFONTA logFont{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    logFont.lfHeight = MulDiv(logFont.lfHeight, dpi, ScreenDpi());
    logFont.lfWidth = 0;
    return CreateFontIndirectA(&logFont);
}

} // namespace

// A window without a taskbar button is owned by one never shown: it still
// behaves as one without owner, usable beside the main window and outliving it.
Win32Forms::Win32Forms(HINSTANCE instance, int dpi)
    : ToolkitForms(win32::ShowMessageBox), instance_(instance), dpi_(dpi > 0 ? dpi : ScreenDpi())
{
    Win32FormWindow::RegisterWindowClass(instance_);
    hiddenOwner_ = CreateWindowExA(0, Win32FormWindow::kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   instance_, nullptr);
    if (!hiddenOwner_)
        throw LastError();
    defaultFont_ = CreateDefaultFont(dpi_);
}

Win32Forms::~Win32Forms()
{
    destroying_ = true;
    DestroyAll();
    // A quit no loop took would end this thread's next loop at once.
    if (quitPosted_ && !quitReceived_) {
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    DeleteObject(defaultFont_);
}

Win32FormWindow* Win32Forms::Find(const Form& form) const
{
    const auto found = windows_.find(&form);
    return found == windows_.end() ? nullptr : found->second.get();
}

Win32FormWindow* Win32Forms::Loaded(Form& form)
{
    if (Ended())
        return nullptr;
    if (Win32FormWindow* window = Find(form))
        return window;
    auto window = std::make_unique<Win32FormWindow>(*this, form);
    window->Build(instance_, form.Layout().taskbarButton ? nullptr : hiddenOwner_, dpi_, defaultFont_);
    return windows_.emplace(&form, std::move(window)).first->second.get();
}

HWND Win32Forms::ControlToChange(Form& form, ControlId id)
{
    Win32FormWindow* window = Loaded(form);
    if (!window)
        return nullptr;
    const HWND control = window->Control(id);
    if (!control)
        ThrowNoSuchControl(form, id);
    return control;
}

// The label is repainted at once, so a text set before a long handler step
// ("Searching System") shows while that step runs.
void Win32Forms::SetCaption(Form& form, ControlId label, std::string_view text)
{
    const HWND control = ControlToChange(form, label);
    if (!control)
        return;
    if (!win32::SetControlText(control, text))
        throw LastError();
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void Win32Forms::SetVisible(Form& form, ControlId button, bool visible)
{
    const HWND control = ControlToChange(form, button);
    if (!control)
        return;
    // A focused button that is hidden hands the focus on in tab order, as in a dialog.
    if (!visible && GetFocus() == control) {
        const HWND next = GetNextDlgTabItem(GetParent(control), control, FALSE);
        if (next && next != control)
            SetFocus(next);
    }
    ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Forms::ClearList(Form& form, ControlId list)
{
    if (const HWND control = ControlToChange(form, list))
        Filling(control).Clear();
}

void Win32Forms::AddListLine(Form& form, ControlId list, const SharedText& line)
{
    if (const HWND control = ControlToChange(form, list))
        Filling(control).Add(line);
}

win32::ListBoxLines& Win32Forms::Filling(HWND list)
{
    const auto found = std::ranges::find(listFills_, list, &win32::ListBoxLines::List);
    if (found != listFills_.end())
        return *found;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    return listFills_.emplace_back(list);
}

// The lines a handler added reach their lists in one go, each list drawn once.
void Win32Forms::ShowHeldBack()
{
    for (win32::ListBoxLines& fill : std::exchange(listFills_, {})) {
        if (!IsWindow(fill.List()))
            continue;
        fill.HandOver();
        SendMessageA(fill.List(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(fill.List(), nullptr, TRUE);
    }
}

void Win32Forms::Show(Form& form)
{
    Win32FormWindow* window = Loaded(form);
    if (!window)
        return;
    const HWND handle = window->Handle();
    if (!IsWindowVisible(handle)) { // a window just loaded is hidden
        ShowWindow(handle, SW_SHOW);
        UpdateWindow(handle);
    }
    // A window already shown stays where it is; it only comes to the front.
    BringWindowToTop(handle);
}

void Win32Forms::Unload(Form& form)
{
    const Win32FormWindow* window = Find(form);
    if (window && !DestroyWindow(window->Handle()))
        throw LastError();
}

void Win32Forms::End()
{
    if (!BeginEnd())
        return;
    DestroyAll();
    PostQuit();
}

void Win32Forms::DestroyAll()
{
    std::vector<HWND> handles;
    for (const auto& [form, window] : windows_)
        handles.push_back(window->Handle());
    for (const HWND handle : handles)
        DestroyWindow(handle);
    if (const HWND owner = std::exchange(hiddenOwner_, nullptr))
        DestroyWindow(owner);
}

std::vector<std::string> Win32Forms::ListLines(Form& form, ControlId list)
{
    const HWND control = ControlToChange(form, list);
    return control ? win32::ListBoxTexts(control) : std::vector<std::string>{};
}

void Win32Forms::CloseRequested(Form& form)
{
    if (Ended())
        return;
    RunEventHandler(*this, [&] { Unload(form); });
}

// The last window closed ends the program.
void Win32Forms::WindowDestroyed(Form& form)
{
    const auto found = windows_.find(&form);
    if (found == windows_.end())
        return; // a window that failed while being built
    retired_.push_back(std::move(found->second));
    windows_.erase(found);
    if (windows_.empty() && !destroying_)
        PostQuit();
}

void Win32Forms::PostQuit()
{
    if (!std::exchange(quitPosted_, true))
        PostQuitMessage(ExitCode());
}

void Win32Forms::ProcessMessage(MSG& message)
{
    const auto dialog = std::ranges::find_if(windows_, [&](const auto& entry) {
        const HWND handle = entry.second->Handle();
        return message.hwnd == handle || IsChild(handle, message.hwnd);
    });
    if (dialog == windows_.end() || !IsDialogMessageA(dialog->second->Handle(), &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ShowHeldBack();
    retired_.clear();
}

int Win32Forms::Run()
{
    MSG message{};
    while (!quitReceived_ && GetMessageA(&message, nullptr, 0, 0) > 0)
        ProcessMessage(message);
    quitReceived_ = true;
    return static_cast<int>(message.wParam);
}

} // namespace tallowick
