#include "platform/win32/list_box_lines.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/text/ascii.h"
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
        if (previous_)
            SelectObject(dc_, previous_);
        if (dc_)
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

// A sorted list box's order: CompareStringW's, ignoring case, in the list's
// locale. Between plain ASCII lines that is the order of their characters'
// first-level weights (hyphens and apostrophes passed over), taken from
// LCMapStringW once a character; ties and other lines go to CompareStringW.
// No line keeps a sort key.
class ListCollation {
public:
    explicit ListCollation(LCID locale) : locale_(locale)
    {
        for (wchar_t c = 0; c < weights_.size(); ++c)
            weights_[c] = Weight(ListSortKey(locale, std::wstring_view(&c, 1)));
        // Two letters must weigh as each does alone: where a pair sorts as a
        // letter of its own (traditional Spanish "ch"), all goes to CompareStringW.
        for (wchar_t x = L'a'; x <= L'z'; ++x)
            for (wchar_t y = L'a'; y <= L'z'; ++y) {
                const wchar_t pair[] = {x, y};
                if (ListSortKey(locale, std::wstring_view(pair, 2)) != Key({weights_[x], weights_[y]})) {
                    weights_.fill(-1);
                    return;
                }
            }
    }

    bool Before(std::string_view a, std::string_view b) const
    {
        std::size_t i = FirstDifference(a, b);
        std::size_t j = i;
        for (;;) {
            const int x = NextWeight(a, i);
            const int y = NextWeight(b, j);
            if (x < 0 || y < 0)
                break; // a character with more to it than one weight
            if (x != y)
                return x < y; // an end (0) comes first
            if (x == 0)
                break; // equal at the first level
        }
        return CompareIgnoringCase(locale_, a, b) < 0;
    }

private:
    // A key of first-level weights alone (two bytes each) and the empty levels after them.
    static std::string Key(std::initializer_list<int> weights)
    {
        std::string key;
        for (const int weight : weights)
            key += {static_cast<char>(weight >> 8), static_cast<char>(weight & 0xFF)};
        return key + std::string("\1\1\1\1\0", 5);
    }

    // A character's first-level weight from its key: 0 where that level passes
    // it over (hyphen, apostrophe, control character), -1 for more than one.
    static int Weight(const std::string& key)
    {
        if (key.size() == 7 && key.substr(2) == Key({}))
            return (key[0] & 0xFF) << 8 | (key[1] & 0xFF);
        return key.starts_with("\1\1\1\1") ? 0 : -1;
    }

    // The next first-level weight that counts: 0 at the end, or -1.
    int NextWeight(std::string_view text, std::size_t& at) const
    {
        while (at < text.size()) {
            const auto c = static_cast<unsigned char>(text[at++]);
            if (const int weight = c < weights_.size() ? weights_[c] : -1; weight != 0)
                return weight;
        }
        return 0;
    }

    LCID locale_;
    std::array<int, 128> weights_{};
};

} // namespace

void ListBoxLines::Clear()
{
    *this = ListBoxLines(list_);
    cleared_ = true;
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
}

// ASCII lines are sized by the sum of the font's character widths (GDI adds
// no kerning); the others are measured as they are shown.
void ListBoxLines::Add(const SharedText& line)
{
    const std::string_view text = kept_.Keep(line);
    lines_.push_back(text);
    widest_.Add(text, [this] {
        WidestLine::AsciiAdvances advances{};
        const ListDc dc(list_);
        if (!dc.Get() || !GetCharWidth32A(dc.Get(), 0, static_cast<UINT>(advances.size() - 1), advances.data()))
            advances.fill(0);
        return advances;
    });
}

// An empty sorted list box gets the lines in its own order, each at the end;
// one that holds lines already puts each where it belongs.
void ListBoxLines::HandOver()
{
    ApplyExtent();
    if (lines_.empty())
        return;
    std::size_t characters = 0;
    for (const std::string_view line : lines_)
        characters += line.size();
    SendMessageA(list_, LB_INITSTORAGE, lines_.size(), static_cast<LPARAM>(2 * characters));
    if (!FillsListBoxInUtf16()) {
        for (const std::string_view line : lines_)
            if (AddListBoxLine(list_, line) < 0) // LB_ERR or LB_ERRSPACE: the list box takes no more
                break;
        return;
    }
    const bool sorted = (GetWindowLongA(list_, GWL_STYLE) & LBS_SORT) != 0;
    const bool inOrder = !sorted || SendMessageA(list_, LB_GETCOUNT, 0, 0) == 0;
    // Lines the list box finds equal may stand either way round: a sort in place will do.
    if (sorted && inOrder) {
        const ListCollation collation(static_cast<LCID>(SendMessageA(list_, LB_GETLOCALE, 0, 0)));
        std::sort(lines_.begin(), lines_.end(),
                  [&](std::string_view a, std::string_view b) { return collation.Before(a, b); });
    }
    const ListPlace place = inOrder ? ListPlace::End : ListPlace::ListsOwn;
    const WNDPROC procedure = ListBoxProcedure(list_);
    std::wstring wide; // one buffer for every ASCII line: most are
    for (; !lines_.empty(); lines_.pop_front()) {
        const std::string_view line = lines_.front();
        if (IsAscii(line))
            wide.assign(line.begin(), line.end());
        else
            wide = WideFromDisplayText(line);
        if (AddListBoxLine(list_, procedure, wide.c_str(), place) < 0)
            break; // LB_ERR or LB_ERRSPACE: the list box takes no more
    }
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

} // namespace tallowick::win32
