#include "platform/rules/windows_path.h"

#include "platform/text/utf8.h"

namespace tallowick {

// Every byte of a path is looked at here, once for each path deleted: a
// table, not a search, says which are forbidden.
bool IsNameOnDrive(std::string_view name, const NameRules& rules)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    bool ascii = true;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            ascii = false;
            continue;
        }
        if (c == '\\' || c == '\0' || rules.forbids[byte] || (byte < 0x20 && !rules.controlCharacters))
            return false;
    }
    return ascii || IsWellFormedUtf8(name, rules.loneSurrogates);
}

std::optional<WindowsPath> WindowsPath::Parse(std::string_view text, const NameRules& rules)
{
    const char drive = LowerAscii(text.empty() ? '\0' : text[0]);
    if (text.size() < 4 || drive < 'a' || drive > 'z' || text[1] != ':' || text[2] != '\\')
        return std::nullopt;
    WindowsPath path;
    path.text_ = text;
    path.ends_.reserve(8);
    for (std::size_t start = 3; start <= text.size();) {
        std::size_t end = text.find('\\', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (!IsNameOnDrive(text.substr(start, end - start), rules))
            return std::nullopt;
        path.ends_.push_back(end);
        start = end + 1;
    }
    return path;
}

} // namespace tallowick
