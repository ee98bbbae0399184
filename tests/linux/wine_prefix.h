#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace tallowick::testing {

// A Wine-style prefix on the real disk, in a fresh folder under the system's
// temporary folder, removed with everything in it when the test ends.
// Relative paths are taken from the temporary folder, so "prefix/drive_c"
// is drive C: and "outside" lies beyond the prefix.
class TempWinePrefix {
public:
    TempWinePrefix();
    ~TempWinePrefix();
    TempWinePrefix(const TempWinePrefix&) = delete;
    TempWinePrefix& operator=(const TempWinePrefix&) = delete;

    const std::filesystem::path& Prefix() const { return prefix_; }
    std::filesystem::path At(std::string_view relative) const { return root_ / relative; }
    // Below drive_c: `Drive("windows/Cookies")`.
    std::filesystem::path Drive(std::string_view relative) const { return prefix_ / "drive_c" / relative; }

    // Each makes the missing folders on the way.
    void File(const std::filesystem::path& path, std::string_view content = "cookie") const;
    void Folder(const std::filesystem::path& path) const;
    void Link(const std::filesystem::path& path, const std::filesystem::path& target) const;

    // Every entry under the temporary folder, one line each: its relative
    // path and its kind (a link with its target, a file with its content).
    std::set<std::string> Listing() const;

private:
    std::filesystem::path root_;
    std::filesystem::path prefix_;
};

bool Exists(const std::filesystem::path& path); // the entry itself, links not followed

} // namespace tallowick::testing
