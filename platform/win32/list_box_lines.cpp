#include "platform/win32/list_box_lines.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "platform/win32/control_text.h"
#include "platform/win32/system/path_text.h"

namespace tallowick::win32 {
namespace {

// A device context of the list with the list's font selected.
class ListDc {
public:
    explicit ListDc(HWND list) : list_(list), dc_(GetDC(list))
    {
        const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
        if (dc_ && font)
            previous_ = SelectObject(dc_, font);
    }
    ~ListDc()
    {
        if (!dc_)
            return;
        if (previous_)
            SelectObject(dc_, previous_);
        ReleaseDC(list_, dc_);
    }
    ListDc(const ListDc&) = delete;
    ListDc& operator=(const ListDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND list_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// Lines in UTF-16 in one block, each ended by a NUL.
struct Utf16Lines {
    std::wstring texts;
    std::vector<std::size_t> starts;

    std::size_t Count() const { return starts.size(); }
    const wchar_t* operator[](std::size_t index) const { return texts.c_str() + starts[index]; }
};

// The lines' indexes in the list box's order; empty when the system gives
// no sort key for one of them. Lines that compare equal keep their order.
std::vector<std::uint32_t> ListOrder(HWND list, const Utf16Lines& lines)
{
    const auto locale = static_cast<LCID>(SendMessageA(list, LB_GETLOCALE, 0, 0));
    std::string keys;
    keys.reserve(2 * lines.texts.size() + 16 * lines.Count());
    std::vector<std::size_t> keyEnds;
    keyEnds.reserve(lines.Count());
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        if (!AppendListSortKey(locale, lines[i], keys))
            return {};
        keyEnds.push_back(keys.size());
    }
    const auto key = [&](std::uint32_t i) {
        const std::size_t start = i == 0 ? 0 : keyEnds[i - 1];
        return std::string_view(keys).substr(start, keyEnds[i] - start);
    };
    std::vector<std::uint32_t> order(lines.Count());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
    return order;
}

} // namespace

void ListBoxLines::Clear()
{
    cleared_ = true;
    lines_.clear();
    widest_.Clear();
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
}

// ASCII lines are summed from the font's character widths (GDI adds no
// kerning, so the sum is the line's extent); the others are measured as
// they are shown.
void ListBoxLines::Add(const SharedText& line)
{
    const SharedText& kept = line.store ? lines_.emplace_back(line) : lines_.emplace_back(copies_.Add(line.text));
    widest_.Add(kept.text, [this] {
        WidestLine::AsciiAdvances advances{};
        const ListDc dc(list_);
        if (!dc.Get() || !GetCharWidth32A(dc.Get(), 0, static_cast<UINT>(advances.size() - 1), advances.data()))
            advances.fill(0);
        return advances;
    });
}

void ListBoxLines::HandOver()
{
    ApplyExtent();
    if (lines_.empty())
        return;
    std::size_t characters = 0;
    for (const SharedText& line : lines_)
        characters += line.text.size();
    SendMessageA(list_, LB_INITSTORAGE, lines_.size(), static_cast<LPARAM>(2 * characters));
    if (FillsListBoxInUtf16()) {
        HandOverInUtf16(characters);
        return;
    }
    for (const SharedText& line : lines_)
        if (AddListBoxLine(list_, line.text) < 0) // LB_ERR or LB_ERRSPACE: the list box takes no more
            break;
}

void ListBoxLines::ApplyExtent()
{
    int widest = 0;
    if (!widest_.Empty()) {
        const ListDc dc(list_);
        if (dc.Get())
            widest = widest_.Width([&](std::string_view line) { return MeasureText(dc.Get(), line); });
    }
    // Lines added without clearing the list join those already there.
    int extent = cleared_ ? 0 : static_cast<int>(SendMessageA(list_, LB_GETHORIZONTALEXTENT, 0, 0));
    if (widest > 0)
        extent = std::max(extent, widest + 2 * GetSystemMetrics(SM_CXBORDER)); // the text's inset on each side
    SendMessageA(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

// The texts are converted in one go. An empty sorted list box gets the
// lines in its own order, each at the end; one that holds lines already,
// or that the system gives no sort keys for, puts each where it belongs.
void ListBoxLines::HandOverInUtf16(std::size_t characters)
{
    Utf16Lines lines;
    lines.texts.reserve(characters + lines_.size()); // no more UTF-16 units than UTF-8 bytes
    lines.starts.reserve(lines_.size());
    for (const SharedText& line : lines_) {
        lines.starts.push_back(lines.texts.size());
        lines.texts += WideFromDisplayText(line.text);
        lines.texts += L'\0';
    }
    lines_ = {};

    const bool sorted = (GetWindowLongA(list_, GWL_STYLE) & LBS_SORT) != 0;
    std::vector<std::uint32_t> order;
    if (sorted && SendMessageA(list_, LB_GETCOUNT, 0, 0) == 0)
        order = ListOrder(list_, lines);
    const ListPlace place = !sorted || !order.empty() ? ListPlace::End : ListPlace::ListsOwn;
    if (order.empty()) {
        order.resize(lines.Count());
        std::iota(order.begin(), order.end(), 0u);
    }
    for (const std::uint32_t i : order)
        if (AddListBoxLine(list_, lines[i], place) < 0) // LB_ERR or LB_ERRSPACE: the list box takes no more
            break;
}

} // namespace tallowick::win32
