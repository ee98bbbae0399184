#include "platform/win32/message_box.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "platform/text/utf8.h"
#include "platform/win32/control_text.h"

namespace tallowick::win32 {
namespace {

// `text` as lines no wider than `width` in the font selected into `dc`,
// broken after a backslash or a space. A line the text runs on to is not
// indented: a message box measures its lines without their leading spaces,
// and would break it again.
std::vector<std::string> Wrapped(std::string_view text, HDC dc, int width)
{
    std::vector<std::string> lines{std::string()};
    // `part` goes on the line begun where it fits there, else on the next.
    const auto add = [&](std::string_view part) {
        if (!lines.back().empty() && MeasureText(dc, lines.back() + std::string(part)) > width)
            lines.emplace_back();
        lines.back() += part;
    };
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t separator = text.find_first_of("\\ ", start);
        const std::size_t end = separator == std::string_view::npos ? text.size() : separator + 1;
        const std::string_view piece = text.substr(start, end - start);
        start = end;
        if (MeasureText(dc, piece) <= width) {
            add(piece);
            continue;
        }
        // Wider than a whole line: from a line of its own, broken between
        // characters, never inside one (half of one would show as two others).
        if (!lines.back().empty())
            lines.emplace_back();
        for (std::size_t at = 0, next = 0; at < piece.size(); at = next) {
            DecodeUtf8(piece, next);
            add(piece.substr(at, next - at));
        }
    }
    return lines;
}

// The files' lines, each after a line break, as a message box shows them
// without outgrowing the screen: each path wrapped, its reason indented on
// the next line, and no more than `room` lines; the files left out are
// counted, since they stay in the list.
std::string FileLines(const std::vector<Message::File>& files, HDC dc, int width, int room)
{
    std::string text;
    int used = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::vector<std::string> lines = Wrapped(files[i].path, dc, width);
        std::ranges::copy(Wrapped("    " + files[i].reason, dc, width), std::back_inserter(lines));
        // The count of the rest, if any are left, needs a line of its own.
        if (used + static_cast<int>(lines.size()) + (i + 1 < files.size() ? 1 : 0) > room)
            return text + "\n...and " + std::to_string(files.size() - i) + " more, still listed.";
        used += static_cast<int>(lines.size());
        for (const std::string& line : lines)
            text += "\n" + line;
    }
    return text;
}

} // namespace

void ShowMessageBox(const Message& message)
{
    std::string text = message.text;
    if (!message.files.empty()) {
        RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        NONCLIENTMETRICSA metrics{.cbSize = sizeof metrics};
        const HFONT font = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
                               ? CreateFontIndirectA(&metrics.lfMessageFont)
                               : nullptr;
        const HDC screen = GetDC(nullptr);
        const HGDIOBJ previous = font ? SelectObject(screen, font) : nullptr;
        TEXTMETRICA textMetrics{};
        GetTextMetricsA(screen, &textMetrics);
        const int lineHeight = std::max(1, static_cast<int>(textMetrics.tmHeight + textMetrics.tmExternalLeading));
        const int charWidth = std::max(1, static_cast<int>(textMetrics.tmAveCharWidth));
        // A message box allows its text a width of its own (Wine's, about 60
        // characters), within the screen's; and it spaces its lines wider than
        // the font's height, with caption, summary, icon and button around
        // them: half the screen's height is for the files.
        const int width = std::min(48 * charWidth, static_cast<int>(work.right - work.left) * 3 / 8);
        const int room = static_cast<int>(work.bottom - work.top) / 2 / lineHeight;
        text += "\n" + FileLines(message.files, screen, width, room);
        if (font) {
            SelectObject(screen, previous);
            DeleteObject(font);
        }
        ReleaseDC(nullptr, screen);
    }
    const UINT icon = message.kind == MessageKind::Error ? MB_ICONERROR : MB_ICONWARNING;
    ShowMessageText(text, kMessageTitle, MB_OK | MB_TASKMODAL | icon);
}

} // namespace tallowick::win32
