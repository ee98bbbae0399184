#include "tests/linux/tree_disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tallowick::testing::trees {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    const int error = errno;
    throw std::runtime_error(what + " " + path + ": " + std::strerror(error));
}

void WriteFile(const std::string& path, const std::string& content, mode_t mode)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 || ::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
        Fail("writing", path);
    ::close(fd);
}

void MakeFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        Fail("making folder", path);
}

void ListInto(const std::string& top, const std::string& relative, Listing& listing)
{
    DIR* folder = ::opendir((top + "/" + relative).c_str());
    if (folder == nullptr)
        Fail("listing", top + "/" + relative);
    while (const dirent* item = ::readdir(folder)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = relative.empty() ? name : relative + "/" + name;
        const std::string full = top + "/" + path;
        struct stat status {};
        if (::lstat(full.c_str(), &status) != 0)
            Fail("examining", full);
        std::string what = std::to_string(status.st_mode & 07777) + " ";
        if (S_ISDIR(status.st_mode)) {
            listing[path] = what + "folder";
            ListInto(top, path, listing);
            continue;
        }
        what += std::to_string(status.st_ctim.tv_sec) + "." + std::to_string(status.st_ctim.tv_nsec) + " ";
        if (S_ISLNK(status.st_mode)) {
            std::string text(4096, '\0');
            const ssize_t length = ::readlink(full.c_str(), text.data(), text.size());
            if (length < 0)
                Fail("reading link", full);
            text.resize(static_cast<std::size_t>(length));
            listing[path] = what + "link -> " + text;
        } else {
            std::string content(static_cast<std::size_t>(status.st_size), '\0');
            const int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::read(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
                Fail("reading", full);
            ::close(fd);
            listing[path] = what + "file = " + content;
        }
    }
    ::closedir(folder);
}

} // namespace

void MakeTree(const std::filesystem::path& top, const Tree& tree)
{
    for (const Entry& entry : tree.entries) {
        const std::string path = (top / entry.path).string();
        switch (entry.kind) {
        case Entry::Kind::Folder: MakeFolder(path); break;
        // Wine's read-only mark, which the rules read even where root could write.
        case Entry::Kind::File: WriteFile(path, entry.content, entry.readOnly ? 0444 : 0644); break;
        case Entry::Kind::Link:
            if (::symlink(entry.target.c_str(), path.c_str()) != 0)
                Fail("linking", path);
            break;
        }
    }
}

void ChangeAfterFind(const std::filesystem::path& top, const Tree& tree)
{
    for (const std::string& vanishing : tree.vanishing)
        if (::unlink((top / vanishing).c_str()) != 0)
            Fail("removing", vanishing);
    for (const auto* folders : {&tree.becomingFolders, &tree.becomingEmptyFolders})
        for (const std::string& becoming : *folders) {
            if (::unlink((top / becoming).c_str()) != 0)
                Fail("removing", becoming);
            MakeFolder((top / becoming).string());
            if (folders == &tree.becomingFolders)
                WriteFile((top / becoming / "inside.txt").string(), "in the folder", 0644);
        }
}

std::vector<std::string> ReadOrder(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    DIR* stream = ::opendir(folder.c_str());
    if (stream == nullptr)
        return names;
    while (const dirent* item = ::readdir(stream))
        names.emplace_back(item->d_name);
    ::closedir(stream);
    return names;
}

Listing ListTree(const std::filesystem::path& top)
{
    Listing listing;
    ListInto(top.string(), "", listing);
    return listing;
}

} // namespace tallowick::testing::trees
