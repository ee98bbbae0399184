#pragma once

#include <memory>
#include <string_view>

namespace tallowick {

// Whoever keeps the store keeps the text, so a list box needs no copy of its own.
struct SharedText {
    std::string_view text;
    std::shared_ptr<const char[]> store; // null: the text is the caller's, and must be copied
};

} // namespace tallowick
