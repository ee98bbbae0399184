#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/ascii.h"

namespace tallowick {

// What the names on one kind of drive may hold, beyond what every path
// keeps to: no empty name, no "." or "..", no NUL, and '\' only between
// names.
struct NameRules {
    constexpr NameRules(std::string_view forbidden, bool controls, bool surrogates)
        : controlCharacters(controls), loneSurrogates(surrogates)
    {
        for (const char c : forbidden)
            forbids[static_cast<unsigned char>(c)] = true;
    }

    std::array<bool, 128> forbids{}; // ASCII characters no name may hold
    bool controlCharacters = false;  // U+0001 to U+001F
    bool loneSurrogates = false;     // kept as their own three bytes (WTF-8)
};

// A Wine drive on a Unix file system: any Unix name but one holding '/'
// (which Unix reads as a separator) or one that is not UTF-8.
inline constexpr NameRules kUnixDriveNames{"/", true, false};
// A Windows drive: no wildcard, so a path never names more than one entry,
// and nothing the system would read as a separator or a device.
inline constexpr NameRules kWindowsDriveNames{"/:*?\"<>|", false, true};

bool IsNameOnDrive(std::string_view name, const NameRules& rules);

// A full path in Windows form, a drive letter, ":\" and one or more names
// ("c:\windows\cookies"): no relative or network path, nothing that climbs.
// A view into the text it was parsed from, which must outlive it.
class WindowsPath {
public:
    static std::optional<WindowsPath> Parse(std::string_view text, const NameRules& rules);

    std::string_view Text() const { return text_; }
    char Drive() const { return LowerAscii(text_[0]); }
    std::size_t Depth() const { return ends_.size(); } // how many names
    std::string_view Name(std::size_t index) const // from 0
    {
        const std::size_t start = index == 0 ? 3 : ends_[index - 1] + 1;
        return text_.substr(start, ends_[index] - start);
    }
    // The first `depth` names with the drive: "c:\windows" for 1, "c:" for 0.
    std::string_view Prefix(std::size_t depth) const { return text_.substr(0, depth == 0 ? 2 : ends_[depth - 1]); }

private:
    std::string_view text_;
    std::vector<std::size_t> ends_; // where each name ends
};

} // namespace tallowick
