#include "platform/win32/message_box.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "platform/text/utf8.h"
#include "platform/win32/control_text.h"

namespace tallowick::win32 {
namespace {

constexpr std::string_view kReasonIndent = "    ";

// Room for a message box's file lines, in pixels of its font, which is
// selected into `dc`.
struct TextRoom {
    HDC dc = nullptr;
    int width = 0;
    int lines = 0;
};

// `text` as lines no wider than the room, broken after a backslash or a
// space, or between any two characters of a piece wider than a whole line. A line the text
// runs on to is not indented: a message box measures its lines without
// their leading spaces, and would break it again.
std::vector<std::string> Wrapped(std::string_view text, const TextRoom& room)
{
    std::vector<std::string> lines{std::string()};
    const auto fits = [&](std::string_view more) { return MeasureText(room.dc, lines.back() + std::string(more)) <= room.width; };
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t separator = text.find_first_of("\\ ", start);
        const std::size_t end = separator == std::string_view::npos ? text.size() : separator + 1;
        std::string_view piece = text.substr(start, end - start);
        start = end;
        if (!fits(piece) && !lines.back().empty())
            lines.emplace_back();
        while (!fits(piece)) {
            // Whole characters only: half of one would show as two others.
            const auto pastCharacterAt = [&](std::size_t at) {
                DecodeUtf8(piece, at);
                return at;
            };
            std::size_t taken = pastCharacterAt(0);
            while (taken < piece.size() && fits(piece.substr(0, pastCharacterAt(taken))))
                taken = pastCharacterAt(taken);
            lines.back() += piece.substr(0, taken);
            piece.remove_prefix(taken);
            if (piece.empty())
                break;
            lines.emplace_back();
        }
        lines.back() += piece;
    }
    return lines;
}

// The files' lines as a message box shows them without outgrowing the
// screen: each path broken after a backslash (or a space) where it would
// be wider than the room, its reason on the next line, and no more files
// than fit; the rest are counted, since they stay in the list.
std::string FileLines(const std::vector<Message::File>& files, const TextRoom& room)
{
    std::string text;
    int used = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::vector<std::string> lines = Wrapped(files[i].path, room);
        for (const std::string& line : Wrapped(std::string(kReasonIndent) + files[i].reason, room))
            lines.push_back(line);
        // The count of the rest, if any are left, needs a line of its own.
        if (used + static_cast<int>(lines.size()) + (i + 1 < files.size() ? 1 : 0) > room.lines) {
            text += "...and " + std::to_string(files.size() - i) + " more, still listed.";
            return text;
        }
        used += static_cast<int>(lines.size());
        for (const std::string& line : lines)
            text += line + "\n";
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

} // namespace

void ShowMessageBox(const Message& message)
{
    std::string text = message.text;
    if (!message.files.empty()) {
        NONCLIENTMETRICSA metrics{.cbSize = sizeof metrics};
        RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const HDC screen = GetDC(nullptr);
        const HFONT font = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
                               ? CreateFontIndirectA(&metrics.lfMessageFont)
                               : nullptr;
        const HGDIOBJ previous = font ? SelectObject(screen, font) : nullptr;
        TEXTMETRICA textMetrics{};
        GetTextMetricsA(screen, &textMetrics);
        const int lineHeight = std::max(1, static_cast<int>(textMetrics.tmHeight + textMetrics.tmExternalLeading));
        const int charWidth = std::max(1, static_cast<int>(textMetrics.tmAveCharWidth));
        // A message box allows its text a width of its own (Wine's, about 60
        // characters; Windows', more), within the screen's; and it spaces
        // its lines wider than the font's height, with the caption, the
        // summary, the icon and the button above and below: half the
        // screen's height is for the files.
        const TextRoom room{screen, std::min(48 * charWidth, static_cast<int>(work.right - work.left) * 3 / 8),
                            static_cast<int>(work.bottom - work.top) / 2 / lineHeight};
        text += "\n\n" + FileLines(message.files, room);
        if (previous)
            SelectObject(screen, previous);
        if (font)
            DeleteObject(font);
        ReleaseDC(nullptr, screen);
    }
    const UINT icon = message.kind == MessageKind::Error ? MB_ICONERROR : MB_ICONWARNING;
    ShowMessageText(text, kMessageTitle, MB_OK | MB_TASKMODAL | icon);
}

} // namespace tallowick::win32
