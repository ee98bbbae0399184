#include "tests/linux/wine_prefix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tallowick::testing {

TempWinePrefix::TempWinePrefix()
{
    std::string pattern = (fs::temp_directory_path() / "tallowick-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    prefix_ = root_ / "prefix";
    fs::create_directories(prefix_ / "drive_c");
}

TempWinePrefix::~TempWinePrefix()
{
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void TempWinePrefix::File(const fs::path& path, std::string_view content) const
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

void TempWinePrefix::Folder(const fs::path& path) const { fs::create_directories(path); }

void TempWinePrefix::Link(const fs::path& path, const fs::path& target) const
{
    fs::create_directories(path.parent_path());
    fs::create_symlink(target, path);
}

std::set<std::string> TempWinePrefix::Listing() const
{
    std::set<std::string> lines;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root_)) {
        std::string line = entry.path().lexically_relative(root_).string();
        if (entry.is_symlink()) {
            line += " -> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_directory()) {
            line += "/";
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            line += " = " + std::string(std::istreambuf_iterator<char>(in), {});
        }
        lines.insert(line);
    }
    return lines;
}

bool Exists(const fs::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

} // namespace tallowick::testing
