#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallowick {

// The widest of a list's lines, for its horizontal scroll bar. A measure costs
// about 20 µs, too much for 100,000 lines, so ASCII lines are sized by the sum
// of their advances and only the widest of them is measured; any other line
// is measured. Kerning moves a sum by a pixel or two; the measure counts.
class WidestLine {
public:
    using AsciiAdvances = std::array<int, 128>;

    void Clear() { *this = WidestLine(); }

    // `advances` is asked for once, when the first line comes.
    template <typename Advances>
    void Add(std::string_view line, Advances&& advances)
    {
        if (!advances_)
            advances_ = advances();
        int sum = 0;
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= advances_->size()) {
                others_.emplace_back(line);
                return;
            }
            sum += (*advances_)[byte];
        }
        if (sum > widestSum_) {
            widestSum_ = sum;
            widestAscii_.assign(line);
        }
    }

    bool Empty() const { return widestSum_ < 0 && others_.empty(); }

    // The widest line's width, by `measure`, the toolkit's own; 0 for none.
    template <typename Measure>
    int Width(Measure&& measure) const
    {
        int widest = widestSum_ < 0 ? 0 : std::max(widestSum_, measure(std::string_view(widestAscii_)));
        for (const std::string& line : others_)
            widest = std::max(widest, measure(std::string_view(line)));
        return widest;
    }

private:
    std::optional<AsciiAdvances> advances_;
    int widestSum_ = -1;
    std::string widestAscii_;
    std::vector<std::string> others_;
};

} // namespace tallowick
