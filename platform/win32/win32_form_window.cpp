#include "platform/win32/win32_form_window.h"

#include <algorithm>
#include <cstring>

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

COLORREF ColourRef(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

HWND CreateControl(HINSTANCE instance, HWND parent, const ControlLayout& row, int dpi)
{
    const char* className = "STATIC";
    DWORD style = WS_CHILD | (row.visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    switch (row.kind) {
    case ControlKind::ListBox:
        // The list keeps its stored height, not whole lines; its horizontal bar
        // shows only while a line is wider than the list (see ListBoxLines).
        className = "LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT
                 | (row.sorted ? LBS_SORT : 0) | (row.extendedSelection ? LBS_EXTENDEDSEL : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Label:
        // Labels never take the focus and show '&' as it is. SS_LEFT and
        // SS_CENTER wrap at word boundaries.
        style |= SS_NOPREFIX | (row.alignment == TextAlignment::Centre ? SS_CENTER : SS_LEFT)
                 | (row.border ? WS_BORDER : 0);
        break;
    case ControlKind::Button:
        className = "BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    const HWND control = CreateWindowExA(
        exStyle, className, win32::AnsiFromDisplayText(row.caption).c_str(), style, TwipsToPixels(row.left, dpi),
        TwipsToPixels(row.top, dpi), TwipsToPixels(row.width, dpi), TwipsToPixels(row.height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(win32::CommandIdOf(row.id))), instance, nullptr);
    if (!control)
        throw LastError();
    return control;
}

// In the ANSI character set; null where none could be made.
HFONT CreateLayoutFont(const Font& font, int dpi)
{
    // Points to pixels in hundredths (9.75 pt), rounded by hand: the runtime's
    // lround is built for the Pentium Pro. Precisions and quality: 0, the defaults.
    const int hundredths = static_cast<int>(font.points * 100 + 0.5);
    LOGFONTA logFont{.lfHeight = -MulDiv(hundredths, dpi, 72 * 100), .lfWeight = font.weight,
                     .lfUnderline = static_cast<BYTE>(font.underline), .lfCharSet = ANSI_CHARSET,
                     .lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS};
    std::strncpy(logFont.lfFaceName, win32::AnsiFromDisplayText(font.face).c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectA(&logFont);
}

} // namespace

void Win32FormWindow::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    if (GetClassInfoExA(instance, kClassName, &windowClass))
        return;
    windowClass = {.cbSize = sizeof windowClass, .lpfnWndProc = WindowProc, .hInstance = instance,
                   .hIcon = LoadProgramIcon(instance, SM_CXICON), .hCursor = LoadCursorA(nullptr, IDC_ARROW),
                   .hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
                   .lpszClassName = kClassName, .hIconSm = LoadProgramIcon(instance, SM_CXSMICON)};
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
    // Either border is fixed, with the close box only: no sizing, minimise or maximise.
    const bool dialogFrame = layout.border == WindowBorder::FixedDialog;
    const DWORD style = WS_CAPTION | WS_SYSMENU | (dialogFrame ? WS_POPUP : WS_OVERLAPPED);
    const DWORD exStyle = dialogFrame ? WS_EX_DLGMODALFRAME : 0;
    RECT frame{0, 0, TwipsToPixels(layout.clientWidth, dpi), TwipsToPixels(layout.clientHeight, dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (!CreateWindowExA(exStyle, kClassName, win32::AnsiFromDisplayText(layout.caption).c_str(), style,
                         (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                         width, height, owner, nullptr, instance, this))
        throw LastError();

    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadProgramIcon(instance, SM_CXICON)));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadProgramIcon(instance, SM_CXSMICON)));

    // Made in tab order: the z-order is the order in which Tab moves the focus.
    for (const ControlLayout* row : ControlsInTabOrder(layout)) {
        const HWND control = CreateControl(instance, window_, *row, dpi);
        Child& child = children_.emplace_back(Child{row, control, nullptr});
        const HFONT font = row->font ? static_cast<HFONT>(Made(CreateLayoutFont(*row->font, dpi))) : defaultFont;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row->background)
            child.background = static_cast<HBRUSH>(Made(CreateSolidBrush(ColourRef(*row->background))));
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
        return OnCtlColor(message, wParam, lParam);
    case WM_ACTIVATE:
        // The focus goes back where it was when the window was left, as in a dialog.
        if (LOWORD(wParam) != WA_INACTIVE)
            RestoreFocus();
        else if (const HWND focus = GetFocus(); IsChild(window_, focus))
            lastFocus_ = focus;
        return 0;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_CLOSE:
        forms_.CloseRequested(form_);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        children_.clear();
        forms_.WindowDestroyed(form_); // may retire this object
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

// The system's colours, as DefWindowProc gives them, then a row's own.
LRESULT Win32FormWindow::OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT systemBrush = DefWindowProcA(window_, message, wParam, lParam);
    const Child* child = FindChild(reinterpret_cast<HWND>(lParam));
    const auto dc = reinterpret_cast<HDC>(wParam);
    if (child && child->row->textColour)
        SetTextColor(dc, ColourRef(*child->row->textColour));
    if (!child || !child->background)
        return systemBrush;
    SetBkColor(dc, ColourRef(*child->row->background));
    return reinterpret_cast<LRESULT>(child->background);
}

void Win32FormWindow::RestoreFocus()
{
    HWND target = lastFocus_;
    const bool usable = IsChild(window_, target) && (GetWindowLongA(target, GWL_STYLE) & WS_VISIBLE)
                        && IsWindowEnabled(target);
    if (!usable)
        target = GetNextDlgTabItem(window_, nullptr, FALSE);
    if (target && target != window_)
        SetFocus(target);
}

} // namespace tallowick
