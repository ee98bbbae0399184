#include "platform/linux/wine_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tallowick::wine {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

UniqueFd::~UniqueFd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Wine's own rule: dosdevices/c: is the drive, wherever it leads. Only a
// prefix without that entry falls back to the usual drive_c beside it.
int OpenDriveFolder(const std::filesystem::path& prefix, UniqueFd& fd)
{
    const std::filesystem::path mapping = prefix / "dosdevices" / "c:";
    struct stat entry {};
    const std::filesystem::path& folder = ::lstat(mapping.c_str(), &entry) == 0 ? mapping : prefix / "drive_c";
    fd = UniqueFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() ? 0 : errno;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = FoldAscii(c);
    return folded;
}

bool IsDotOrDotDot(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (size - i < length)
            return false;
        if (bytes[i + 1] < low || bytes[i + 1] > high)
            return false;
        for (std::size_t k = 2; k < length; ++k)
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF)
                return false;
        i += length;
    }
    return true;
}

} // namespace

Drive OpenDrive(const std::filesystem::path& prefix)
{
    Drive drive;
    const int error = OpenDriveFolder(prefix, drive.fd);
    // A prefix, mapping or drive folder that is not there is a drive that
    // is not there; anything else is a failure to report.
    if (error != 0 && error != ENOENT && error != ENOTDIR && error != ELOOP)
        drive.error = error;
    return drive;
}

bool IsReportableName(std::string_view name)
{
    return name.find('\\') == std::string_view::npos && IsValidUtf8(name);
}

bool IsPlainComponent(std::string_view component)
{
    return !component.empty() && component != "." && component != ".." &&
           component.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// One resolved folder. The index of names by folded case is read from disk
// the first time a name is not found exactly, and kept while the level is.
struct FolderResolver::Level {
    std::string name; // the component as the path gave it
    UniqueFd fd;
    std::size_t actualEnd = 0; // end of this level's part of `actual_`
    bool indexed = false;
    std::unordered_map<std::string, std::string> byFoldedName;
};

FolderResolver::FolderResolver(int drive) : drive_(drive) {}

FolderResolver::~FolderResolver() = default;

int FolderResolver::Fd() const { return levels_.at(depth_)->fd.get(); }

int FolderResolver::Resolve(std::string_view path)
{
    // A run of files in one folder asks for the same folder again and again.
    if (resolved_ && path == resolvedPath_)
        return 0;
    resolved_ = false;
    depth_ = 0;
    if (path.size() < 2 || path[1] != ':' || (path.size() > 2 && path[2] != '\\'))
        return EINVAL;
    const char letter = FoldAscii(path[0]);
    if (letter < 'a' || letter > 'z')
        return EINVAL;

    std::vector<std::string_view> components;
    for (std::size_t start = 3; start <= path.size() && path.size() > 2;) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        components.push_back(path.substr(start, end - start));
        if (!IsPlainComponent(components.back()))
            return EINVAL;
        start = end + 1;
    }
    if (letter != 'c' || drive_ < 0)
        return ENOENT;

    if (levels_.empty()) {
        levels_.push_back(std::make_unique<Level>());
        // Every level owns its descriptor; the root's is a copy of the drive's.
        levels_[0]->fd = UniqueFd(::fcntl(drive_, F_DUPFD_CLOEXEC, 0));
        if (!levels_[0]->fd.valid()) {
            levels_.clear();
            return errno;
        }
    }
    if (driveText_ != path.substr(0, 2)) {
        driveText_ = std::string(path.substr(0, 2));
        actual_.replace(0, std::min<std::size_t>(actual_.size(), 2), driveText_);
        levels_[0]->actualEnd = 2;
    }

    // Keep the levels this path shares with the last one.
    std::size_t kept = 0;
    while (kept < components.size() && kept + 1 < levels_.size() && levels_[kept + 1]->name == components[kept])
        ++kept;
    levels_.resize(kept + 1);
    actual_.resize(levels_[kept]->actualEnd);

    for (std::size_t i = kept; i < components.size(); ++i) {
        auto child = std::make_unique<Level>();
        const int error = OpenChild(*levels_[i], std::string(components[i]), *child);
        if (error != 0)
            return error;
        levels_.push_back(std::move(child));
    }
    depth_ = components.size();
    resolvedPath_ = path;
    resolved_ = true;
    return 0;
}

int FolderResolver::OpenChild(Level& parent, std::string name, Level& child)
{
    std::string found = name;
    child.fd = UniqueFd(::openat(parent.fd.get(), found.c_str(), kFolderFlags));
    if (!child.fd.valid() && errno == ENOENT) {
        const int error = FindFolded(parent, name, found);
        if (error != 0)
            return error;
        child.fd = UniqueFd(::openat(parent.fd.get(), found.c_str(), kFolderFlags));
    }
    if (!child.fd.valid())
        return errno == ELOOP ? ENOTDIR : errno;
    actual_ += '\\';
    actual_ += found;
    child.name = std::move(name);
    child.actualEnd = actual_.size();
    return 0;
}

int FolderResolver::FindFolded(Level& level, const std::string& name, std::string& found)
{
    if (!level.indexed) {
        const int readable = ::openat(level.fd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (readable < 0)
            return errno;
        DIR* folder = ::fdopendir(readable);
        if (folder == nullptr) {
            const int error = errno;
            ::close(readable);
            return error;
        }
        errno = 0;
        while (const dirent* item = ::readdir(folder)) {
            if (!IsDotOrDotDot(item->d_name)) {
                auto [slot, added] = level.byFoldedName.try_emplace(Folded(item->d_name), item->d_name);
                if (!added && slot->second > item->d_name)
                    slot->second = item->d_name;
            }
            errno = 0;
        }
        const int error = errno;
        ::closedir(folder);
        if (error != 0) {
            level.byFoldedName.clear();
            return error;
        }
        level.indexed = true;
    }
    const auto match = level.byFoldedName.find(Folded(name));
    if (match == level.byFoldedName.end())
        return ENOENT;
    found = match->second;
    return 0;
}

std::string FolderResolver::FindFoldedEntry(const std::string& name, int& error)
{
    std::string found;
    error = FindFolded(*levels_.at(depth_), name, found);
    if (error == ENOENT)
        error = 0;
    return found;
}

} // namespace tallowick::wine
