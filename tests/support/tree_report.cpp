#include "tests/support/tree_report.h"

#include <cstdlib>
#include <string_view>

namespace tallowick::testing::trees {

std::vector<std::uint32_t> SeedsToRun(std::uint32_t count)
{
    const auto number = [](const char* name, std::uint32_t otherwise) {
        const char* text = std::getenv(name);
        return text && *text ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)) : otherwise;
    };
    if (std::getenv("TALLOWICK_TREE_SEED"))
        return {number("TALLOWICK_TREE_SEED", 1)};
    std::vector<std::uint32_t> seeds(number("TALLOWICK_TREE_SEEDS", count));
    for (std::uint32_t i = 0; i < seeds.size(); ++i)
        seeds[i] = number("TALLOWICK_TREE_FIRST_SEED", 1) + i;
    return seeds;
}

namespace {

std::string Printable(std::string_view text)
{
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            const char digits[] = "0123456789abcdef";
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 15];
        }
    }
    return shown;
}

} // namespace

std::string ListDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    if (expected == actual)
        return "";
    std::string report = "expected " + std::to_string(expected.size()) + ":\n";
    for (const std::string& line : expected)
        report += "  " + Printable(line) + "\n";
    report += "got " + std::to_string(actual.size()) + ":\n";
    for (const std::string& line : actual)
        report += "  " + Printable(line) + "\n";
    return report;
}

std::string ListingDifference(const Listing& expected, const Listing& actual)
{
    std::string report;
    for (const auto& [path, what] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end())
            report += "  gone: " + Printable(path) + " (" + Printable(what) + ")\n";
        else if (found->second != what)
            report += "  changed: " + Printable(path) + " (" + Printable(what) + " -> " + Printable(found->second) + ")\n";
    }
    for (const auto& [path, what] : actual)
        if (!expected.count(path))
            report += "  new: " + Printable(path) + " (" + Printable(what) + ")\n";
    return report;
}

Listing Without(Listing listing, const std::set<std::string>& removed)
{
    for (const std::string& path : removed)
        listing.erase(path);
    return listing;
}

} // namespace tallowick::testing::trees
