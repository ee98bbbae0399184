#pragma once

#include <string_view>

namespace tallowick {

// A cookie file is any file whose name holds ".txt", exactly in that case,
// anywhere in it ("old.txt.bak" is one, "B[2].TXT" is not).
inline bool IsCookieName(std::string_view name) { return name.find(".txt") != std::string_view::npos; }

} // namespace tallowick
