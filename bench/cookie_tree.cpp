#include "bench/cookie_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace tallowick::bench {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowSystemError(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

// A folder held open, so that its files are made by name alone, without
// the path being walked again for each.
class OpenFolder {
public:
    explicit OpenFolder(const fs::path& folder)
        : path_(folder), fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0)
            ThrowSystemError(folder.string());
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    ~OpenFolder() { ::close(fd_); }

    // An empty file, in one call.
    void MakeFile(const std::string& name) const
    {
        if (::mknodat(fd_, name.c_str(), S_IFREG | 0644, 0) != 0)
            ThrowSystemError((path_ / name).string());
    }

private:
    fs::path path_;
    int fd_;
};

// `cookies` cookie files and as many others in and beside one cookie folder.
void FillCookieFolder(const fs::path& folder, const fs::path& beside, std::size_t cookies, std::size_t first,
                      TreeCounts& counts)
{
    fs::create_directories(folder);
    fs::create_directories(beside);
    const OpenFolder cookieFolder(folder);
    const OpenFolder besideFolder(beside);
    cookieFolder.MakeFile("index.dat");
    ++counts.others;
    for (std::size_t i = 0; i < cookies; ++i) {
        const std::string n = std::to_string(first + i);
        cookieFolder.MakeFile("user@site" + n + "[1].txt");
        ++counts.cookies;
        // Others: a capitalised twin the name test passes over, the rest
        // beside the cookie folder where the walk never looks.
        if (i % 5 == 0) {
            cookieFolder.MakeFile("USER@SITE" + n + "[1].TXT");
            ++counts.others;
        } else if (i + 1 < cookies || cookies == 1) {
            besideFolder.MakeFile("history" + n + ".txt");
            ++counts.others;
        }
    }
}

fs::path WindowsFolder(const fs::path& prefix) { return prefix / "drive_c" / "windows"; }

} // namespace

TreeCounts MakeCookieTree(const fs::path& prefix, const TreeShape& shape)
{
    if (shape.profiles == 0)
        throw std::invalid_argument("a tree needs at least one profile");
    TreeCounts counts;
    const fs::path windows = WindowsFolder(prefix);
    const fs::path driveLink = prefix / "dosdevices" / "c:";
    if (!fs::exists(fs::symlink_status(driveLink))) {
        fs::create_directories(prefix / "dosdevices");
        fs::create_symlink("../drive_c", driveLink);
    }

    // A tenth in windows\Cookies, a tenth in the cache folders, the rest in
    // the profiles.
    const std::size_t direct = shape.cookies / 10;
    const std::size_t cached = shape.cookies / 10;
    const std::size_t inProfiles = shape.cookies - direct - cached;
    std::size_t next = 0;

    FillCookieFolder(windows / "Cookies", windows / "History", direct, next, counts);
    next += direct;

    constexpr std::size_t kCaches = 10;
    for (std::size_t c = 0; c < kCaches; ++c) {
        const std::size_t share = cached / kCaches + (c < cached % kCaches ? 1 : 0);
        const fs::path cache = windows / "Temporary Internet Files" / ("Cache" + std::to_string(c));
        FillCookieFolder(cache / "cookies", cache / "content", share, next, counts);
        next += share;
    }

    for (std::size_t p = 0; p < shape.profiles; ++p) {
        const std::size_t share = inProfiles / shape.profiles + (p < inProfiles % shape.profiles ? 1 : 0);
        const fs::path profile = windows / "Profiles" / ("user" + std::to_string(p));
        FillCookieFolder(profile / "Cookies", profile / "Application Data", share, next, counts);
        next += share;
    }
    return counts;
}

SpareTrees::SpareTrees(fs::path prefix, fs::path folder, const TreeShape& shape)
    : prefix_(std::move(prefix)), folder_(std::move(folder)), shape_(shape)
{
}

void SpareTrees::Add()
{
    MakeCookieTree(folder_ / std::to_string(made_), shape_);
    ++made_;
    ++left_;
}

void SpareTrees::Renew()
{
    fs::path spare;
    if (left_ > 0) {
        spare = folder_ / std::to_string(made_ - left_);
        --left_;
    } else {
        spare = folder_ / "afresh";
        MakeCookieTree(spare, shape_);
    }
    // windows is drive_c's only folder, so it keeps its place there.
    const fs::path fresh = WindowsFolder(spare);
    const fs::path used = WindowsFolder(prefix_);
    if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, used.c_str(), RENAME_EXCHANGE) != 0)
        ThrowSystemError(fresh.string() + " <-> " + used.string());
    fs::remove_all(spare);
}

void SyncFileSystem(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        ThrowSystemError(folder.string());
    const int synced = ::syncfs(fd);
    ::close(fd);
    if (synced != 0)
        ThrowSystemError("syncfs " + folder.string());
}

} // namespace tallowick::bench
