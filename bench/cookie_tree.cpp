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

std::string CookieName(std::size_t n) { return "user@site" + std::to_string(n) + "[1].txt"; }

// One folder of cookie files (numbered from `first`) and the folder beside
// it where more files lie, both under drive_c/windows.
struct CookieFolder {
    fs::path folder;
    fs::path beside;
    std::size_t cookies = 0;
    std::size_t first = 0;
};

// The tree's cookie folders, in the order they are made: a tenth of the
// files in windows\Cookies, a tenth in the cache folders, the rest in the
// profiles.
template <typename Visit>
void ForEachCookieFolder(const TreeShape& shape, Visit&& visit)
{
    if (shape.profiles == 0)
        throw std::invalid_argument("a tree needs at least one profile");
    const std::size_t direct = shape.cookies / 10;
    const std::size_t cached = shape.cookies / 10;
    const std::size_t inProfiles = shape.cookies - direct - cached;
    std::size_t next = 0;
    const auto take = [&](fs::path folder, fs::path beside, std::size_t share) {
        visit(CookieFolder{std::move(folder), std::move(beside), share, next});
        next += share;
    };

    take("Cookies", "History", direct);
    constexpr std::size_t kCaches = 10;
    for (std::size_t c = 0; c < kCaches; ++c) {
        const fs::path cache = fs::path("Temporary Internet Files") / ("Cache" + std::to_string(c));
        take(cache / "cookies", cache / "content", cached / kCaches + (c < cached % kCaches ? 1 : 0));
    }
    for (std::size_t p = 0; p < shape.profiles; ++p) {
        const fs::path profile = fs::path("Profiles") / ("user" + std::to_string(p));
        take(profile / "Cookies", profile / "Application Data",
             inProfiles / shape.profiles + (p < inProfiles % shape.profiles ? 1 : 0));
    }
}

fs::path WindowsFolder(const fs::path& prefix) { return prefix / "drive_c" / "windows"; }

// The cookie folder `plan` made at `folder`: index.dat, the cookie files and
// their capitalised twins, which the name test passes over; and the other
// files in `beside`, where the walk never looks.
void FillCookieFolder(const fs::path& folder, const fs::path& beside, const CookieFolder& plan, TreeCounts& counts)
{
    fs::create_directories(folder);
    fs::create_directories(beside);
    const OpenFolder cookies(folder);
    const OpenFolder others(beside);
    cookies.MakeFile("index.dat");
    ++counts.others;
    for (std::size_t i = 0; i < plan.cookies; ++i) {
        const std::string n = std::to_string(plan.first + i);
        cookies.MakeFile(CookieName(plan.first + i));
        ++counts.cookies;
        if (i % 5 == 0) {
            cookies.MakeFile("USER@SITE" + n + "[1].TXT");
            ++counts.others;
        } else if (i + 1 < plan.cookies || plan.cookies == 1) {
            others.MakeFile("history" + n + ".txt");
            ++counts.others;
        }
    }
}

} // namespace

TreeCounts MakeCookieTree(const fs::path& prefix, const TreeShape& shape)
{
    TreeCounts counts;
    const fs::path driveLink = prefix / "dosdevices" / "c:";
    if (!fs::exists(fs::symlink_status(driveLink))) {
        fs::create_directories(prefix / "dosdevices");
        fs::create_symlink("../drive_c", driveLink);
    }
    const fs::path windows = WindowsFolder(prefix);
    ForEachCookieFolder(shape, [&](const CookieFolder& plan) {
        FillCookieFolder(windows / plan.folder, windows / plan.beside, plan, counts);
    });
    return counts;
}

SpareCookieFolders::SpareCookieFolders(fs::path prefix, fs::path folder, const TreeShape& shape)
    : prefix_(std::move(prefix)), folder_(std::move(folder)), shape_(shape)
{
}

// A set: the tree's cookie folders, numbered in the order they are made.
// The files beside each are made with it, though never put in the tree:
// the files of a folder then lie as far apart on disk and in memory as in
// a new tree, which makes deleting them as fast or slow.
fs::path SpareCookieFolders::MakeSet(const std::string& name) const
{
    const fs::path set = folder_ / name;
    std::size_t index = 0;
    TreeCounts counts;
    ForEachCookieFolder(shape_, [&](const CookieFolder& plan) {
        const std::string folder = std::to_string(index++);
        FillCookieFolder(set / folder, set / (folder + "-beside"), plan, counts);
    });
    return set;
}

void SpareCookieFolders::Add()
{
    MakeSet(std::to_string(made_));
    ++made_;
    ++left_;
}

void SpareCookieFolders::PutBack()
{
    fs::path set;
    if (left_ > 0) {
        set = folder_ / std::to_string(made_ - left_);
        --left_;
    } else {
        set = MakeSet("afresh");
    }
    // Exchanged, each takes the other's place in its parent folder: the
    // tree's folders keep their order.
    const fs::path windows = WindowsFolder(prefix_);
    std::size_t index = 0;
    ForEachCookieFolder(shape_, [&](const CookieFolder& plan) {
        const fs::path spare = set / std::to_string(index++);
        const fs::path folder = windows / plan.folder;
        if (::renameat2(AT_FDCWD, spare.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE) != 0)
            ThrowSystemError(spare.string() + " <-> " + folder.string());
    });
    fs::remove_all(set);
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
