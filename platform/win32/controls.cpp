#include "platform/win32/controls.h"

#include <cstring>

#include "platform/win32/system/path_text.h"
#include "platform/win32/system/win32_error.h"

namespace tallowick::win32 {

HWND CreateControl(HWND parent, const ControlLayout& row, int dpi)
{
    const char* className = "STATIC";
    DWORD style = WS_CHILD | (row.visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    switch (row.kind) {
    case ControlKind::ListBox:
        // The list keeps its stored height instead of snapping to whole lines.
        // Its horizontal scroll bar shows only while a line is wider than
        // the list (see ListBoxLines).
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
        exStyle, className, AnsiFromDisplayText(row.caption).c_str(), style, TwipsToPixels(row.left, dpi),
        TwipsToPixels(row.top, dpi), TwipsToPixels(row.width, dpi), TwipsToPixels(row.height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandIdOf(row.id))),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (!control)
        throw LastError();
    return control;
}

HFONT CreateLayoutFont(const Font& font, int dpi)
{
    LOGFONTA logFont{};
    // Points to pixels: points * dpi / 72, kept in hundredths for 9.75 pt.
    // Rounded by hand: the runtime's lround is built for the Pentium Pro.
    const int hundredths = static_cast<int>(font.points * 100 + 0.5);
    logFont.lfHeight = -MulDiv(hundredths, dpi, 72 * 100);
    logFont.lfWeight = font.weight;
    logFont.lfUnderline = font.underline ? TRUE : FALSE;
    logFont.lfCharSet = ANSI_CHARSET;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS; // precisions and quality: their defaults, 0
    std::strncpy(logFont.lfFaceName, AnsiFromDisplayText(font.face).c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectA(&logFont);
}

} // namespace tallowick::win32
