#include "platform/win32/list_box_lines.h"

#include <algorithm>
#include <numeric>

#include "platform/win32/control_text.h"

namespace tallowick::win32 {

void ListBoxLines::Add(std::string_view utf8)
{
    texts_.append(utf8);
    ends_.push_back(texts_.size());
}

std::string_view ListBoxLines::Line(std::size_t index) const
{
    const std::size_t start = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(texts_).substr(start, ends_[index] - start);
}

std::vector<std::uint32_t> ListBoxLines::SortedOrder(HWND list) const
{
    const auto locale = static_cast<LCID>(SendMessageA(list, LB_GETLOCALE, 0, 0));
    std::string keys;
    keys.reserve(2 * texts_.size() + 16 * ends_.size());
    std::vector<std::size_t> keyEnds;
    keyEnds.reserve(ends_.size());
    for (std::size_t i = 0; i < ends_.size(); ++i) {
        if (!AppendListSortKey(locale, Line(i), keys))
            return {};
        keyEnds.push_back(keys.size());
    }
    const auto key = [&](std::uint32_t i) {
        const std::size_t start = i == 0 ? 0 : keyEnds[i - 1];
        return std::string_view(keys).substr(start, keyEnds[i] - start);
    };
    std::vector<std::uint32_t> order(ends_.size());
    std::iota(order.begin(), order.end(), 0u);
    // Lines that compare equal keep the order they were added in.
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
    return order;
}

void ListBoxLines::HandTo(HWND list) const
{
    // An empty sorted list box gets the lines in its own order, each at the
    // end. Into one that holds lines already, or when the system gives no
    // sort key, each line goes where the list box puts it.
    const bool sorted = (GetWindowLongA(list, GWL_STYLE) & LBS_SORT) != 0;
    std::vector<std::uint32_t> order;
    if (sorted && SendMessageA(list, LB_GETCOUNT, 0, 0) == 0)
        order = SortedOrder(list);
    const bool atTheEnd = !sorted || !order.empty();
    if (order.empty()) {
        order.resize(ends_.size());
        std::iota(order.begin(), order.end(), 0u);
    }

    SendMessageA(list, LB_INITSTORAGE, order.size(), static_cast<LPARAM>(2 * texts_.size()));
    for (const std::uint32_t i : order) {
        const LRESULT added = atTheEnd ? AppendListBoxLine(list, Line(i)) : AddListBoxLine(list, Line(i));
        if (added < 0) // LB_ERR or LB_ERRSPACE: the list box takes no more
            break;
    }
}

} // namespace tallowick::win32
