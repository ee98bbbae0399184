#include "platform/win32/win32_form_window.h"

#include <algorithm>

#include "platform/runtime/toolkit_forms.h"
#include "platform/win32/controls.h"
#include "platform/win32/system/path_text.h"
#include "platform/win32/system/win32_error.h"
#include "platform/win32/win32_forms.h"

namespace tallowick {

namespace {

constexpr int kProgramIcon = 1;

HICON LoadProgramIcon(HINSTANCE instance, int sizeMetric)
{
    const int size = GetSystemMetrics(sizeMetric);
    const auto icon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(kProgramIcon), IMAGE_ICON, size, size, LR_SHARED));
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

} // namespace

void Win32FormWindow::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    if (GetClassInfoExA(instance, kClassName, &windowClass))
        return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadProgramIcon(instance, SM_CXICON);
    windowClass.hIconSm = LoadProgramIcon(instance, SM_CXSMICON);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExA(&windowClass))
        throw LastError();
}

Win32FormWindow::~Win32FormWindow()
{
    if (window_)
        DestroyWindow(window_); // controls go with it, before their fonts
    for (const HGDIOBJ object : madeObjects_)
        DeleteObject(object);
}

void Win32FormWindow::Build(HINSTANCE instance, HWND owner, int dpi, HFONT defaultFont)
{
    const WindowLayout& layout = form_.Layout();
    // Either border is fixed, with the close box only: no sizing, no
    // minimise or maximise.
    const bool dialogFrame = layout.border == WindowBorder::FixedDialog;
    const DWORD style = WS_CAPTION | WS_SYSMENU | (dialogFrame ? WS_POPUP : WS_OVERLAPPED);
    const DWORD exStyle = dialogFrame ? WS_EX_DLGMODALFRAME : 0;
    RECT frame{0, 0, TwipsToPixels(layout.clientWidth, dpi), TwipsToPixels(layout.clientHeight, dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const HWND window = CreateWindowExA(exStyle, kClassName, win32::AnsiFromDisplayText(layout.caption).c_str(), style,
                                        (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, owner, nullptr,
                                        instance, this);
    if (!window)
        throw LastError();

    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadProgramIcon(instance, SM_CXICON)));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadProgramIcon(instance, SM_CXSMICON)));

    // The controls are made in tab order: the z-order is the order in which
    // Tab moves the focus.
    for (const ControlLayout* row : ControlsInTabOrder(layout)) {
        const HWND control = win32::CreateControl(window_, *row, dpi);
        Child& child = children_.emplace_back(Child{row, control, nullptr});
        const HFONT font = row->font ? static_cast<HFONT>(Made(win32::CreateLayoutFont(*row->font, dpi))) : defaultFont;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row->background)
            child.background = static_cast<HBRUSH>(Made(CreateSolidBrush(win32::ColourRef(*row->background))));
    }
    lastFocus_ = GetNextDlgTabItem(window_, nullptr, FALSE);
}

HWND Win32FormWindow::Control(ControlId id) const
{
    const auto child = std::ranges::find(children_, id, [](const Child& each) { return each.row->id; });
    return child == children_.end() ? nullptr : child->handle;
}

const Win32FormWindow::Child* Win32FormWindow::FindChild(HWND handle) const
{
    const auto child = std::ranges::find(children_, handle, &Child::handle);
    return child == children_.end() ? nullptr : &*child;
}

HGDIOBJ Win32FormWindow::Made(HGDIOBJ object)
{
    if (!object)
        throw LastError();
    madeObjects_.push_back(object);
    return object;
}

LRESULT CALLBACK Win32FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The messages before WM_NCCREATE, and the hidden owner's, reach no Win32FormWindow.
    if (message == WM_NCCREATE) {
        if (auto* self = static_cast<Win32FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)) {
            self->window_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->HandleMessage(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

// A handler may unload or end this very window: nothing below touches
// `this` after handing a message on to the forms runtime.
LRESULT Win32FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
        return OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        FocusFirstControl();
        return 0;
    case WM_CLOSE:
        forms_.CloseRequested(form_);
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void Win32FormWindow::OnCommand(int commandId, int notification, HWND control)
{
    // Enter and Escape arrive as IDOK and IDCANCEL without a control: the
    // windows have no default and no cancel button, so they do nothing.
    if (!control || notification != BN_CLICKED)
        return;
    const Child* child = FindChild(control);
    // A hidden button takes no clicks, not even through its access key.
    if (child && child->row->kind == ControlKind::Button && child->row->id == win32::ControlIdOf(commandId)
        && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE))
        forms_.DeliverClick(form_, child->row->id);
}

LRESULT Win32FormWindow::OnCtlColor(UINT message, HDC dc, HWND control)
{
    const Child* child = FindChild(control);
    if (!child)
        return DefWindowProcA(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    const ControlLayout& row = *child->row;
    SetTextColor(dc, row.textColour ? win32::ColourRef(*row.textColour) : GetSysColor(COLOR_WINDOWTEXT));
    if (child->background) {
        SetBkColor(dc, win32::ColourRef(*row.background));
        return reinterpret_cast<LRESULT>(child->background);
    }
    const int background = row.kind == ControlKind::ListBox ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(background));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

// The focus goes back where it was when the window was left, as in a dialog.
void Win32FormWindow::OnActivate(bool active)
{
    if (active)
        FocusFirstControl();
    else if (const HWND focus = GetFocus(); focus && IsChild(window_, focus))
        lastFocus_ = focus;
}

void Win32FormWindow::FocusFirstControl()
{
    HWND target = lastFocus_;
    const bool usable = target && IsWindow(target) && IsChild(window_, target)
                        && (GetWindowLongA(target, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(target);
    if (!usable)
        target = GetNextDlgTabItem(window_, nullptr, FALSE);
    if (target && target != window_)
        SetFocus(target);
}

void Win32FormWindow::OnNcDestroy()
{
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    children_.clear();
    forms_.WindowDestroyed(form_); // may retire this object
}

} // namespace tallowick
