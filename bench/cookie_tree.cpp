#include "bench/cookie_tree.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace tallowick::bench {
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& file, TreeCounts& counts, bool cookie)
{
    const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), file.string());
    ::close(fd);
    ++(cookie ? counts.cookies : counts.others);
}

// `cookies` cookie files and as many others in and beside one cookie folder.
void FillCookieFolder(const fs::path& folder, const fs::path& beside, std::size_t cookies, std::size_t first,
                      TreeCounts& counts)
{
    fs::create_directories(folder);
    fs::create_directories(beside);
    Touch(folder / "index.dat", counts, false);
    for (std::size_t i = 0; i < cookies; ++i) {
        const std::string n = std::to_string(first + i);
        Touch(folder / ("user@site" + n + "[1].txt"), counts, true);
        // Others: a capitalised twin the name test passes over, the rest
        // beside the cookie folder where the walk never looks.
        if (i % 5 == 0)
            Touch(folder / ("USER@SITE" + n + "[1].TXT"), counts, false);
        else if (i + 1 < cookies || cookies == 1)
            Touch(beside / ("history" + n + ".txt"), counts, false);
    }
}

} // namespace

TreeCounts MakeCookieTree(const fs::path& prefix, const TreeShape& shape)
{
    if (shape.profiles == 0)
        throw std::invalid_argument("a tree needs at least one profile");
    TreeCounts counts;
    const fs::path drive = prefix / "drive_c";
    const fs::path windows = drive / "windows";
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
    // Timings start once the new tree is on disk, not while the kernel is
    // still writing it back.
    ::sync();
    return counts;
}

} // namespace tallowick::bench
