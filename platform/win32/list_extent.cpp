#include "platform/win32/list_extent.h"

#include <algorithm>

#include "platform/win32/control_text.h"

namespace tallowick::win32 {
namespace {

// The list box draws its text a pixel in from each side.
int TextInset() { return 2 * GetSystemMetrics(SM_CXBORDER); }

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

} // namespace

void ListExtent::Clear()
{
    cleared_ = true;
    widestAsciiSum_ = 0;
    widestAscii_.clear();
    otherLines_.clear();
}

void ListExtent::FetchAdvances()
{
    haveAdvances_ = true;
    const ListDc dc(list_);
    if (!dc.Get() || !GetCharWidth32A(dc.Get(), 0, static_cast<UINT>(advances_.size() - 1), advances_.data()))
        advances_.fill(0);
}

void ListExtent::Add(std::string_view utf8)
{
    if (!haveAdvances_)
        FetchAdvances();
    const std::optional<int> sum = AsciiWidth(utf8, advances_);
    if (!sum) {
        otherLines_.emplace_back(utf8);
    } else if (*sum > widestAsciiSum_) {
        widestAsciiSum_ = *sum;
        widestAscii_.assign(utf8);
    }
}

void ListExtent::Apply()
{
    int widest = 0;
    if (!widestAscii_.empty() || !otherLines_.empty()) {
        const ListDc dc(list_);
        if (dc.Get()) {
            widest = MeasureText(dc.Get(), widestAscii_);
            for (const std::string& line : otherLines_)
                widest = std::max(widest, MeasureText(dc.Get(), line));
        }
    }
    // Lines added without clearing the list join those already there.
    int extent = cleared_ ? 0 : static_cast<int>(SendMessageA(list_, LB_GETHORIZONTALEXTENT, 0, 0));
    if (widest > 0)
        extent = std::max(extent, widest + TextInset());
    SendMessageA(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

} // namespace tallowick::win32
