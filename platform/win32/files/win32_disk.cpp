#include "platform/win32/files/win32_disk.h"

#include <windows.h>

#include "platform/rules/rule_book.h"
#include "platform/win32/system/win32_error.h"

namespace tallowick::win32 {
namespace {

bool IsGone(unsigned long error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Junctions and symbolic links are reparse points; a folder link carries the
// folder attribute as well.
EntryKind KindOf(unsigned long attributes)
{
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return EntryKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
}

} // namespace

EntryAnswer Win32Disk::Examine(const WindowsPath& path, std::size_t depth)
{
    unsigned long attributes = 0;
    if (const unsigned long error = GetAttributes(std::string(path.Prefix(depth)), attributes); error != 0)
        return IsGone(error) ? EntryAnswer{EntryKind::Missing, false, 0}
                             : EntryAnswer{EntryKind::Unreadable, false, static_cast<long>(error)};
    return {KindOf(attributes), (attributes & FILE_ATTRIBUTE_READONLY) != 0, 0};
}

long Win32Disk::List(const WindowsPath& path, std::string& shownPath, const Take& take)
{
    shownPath = path.Text();
    entries_.clear();
    if (const unsigned long error = ListFolder(shownPath, entries_); error != 0)
        return static_cast<long>(error);
    for (const FoundEntry& found : entries_) {
        if (found.name == "." || found.name == "..")
            continue;
        const EntryKind kind = KindOf(found.attributes);
        const bool folder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        take({found.name, found.pathName, kind,
              kind != EntryKind::Link ? EntryKind::Missing : folder ? EntryKind::Folder : EntryKind::File});
    }
    return 0;
}

long Win32Disk::Remove(const WindowsPath& path) { return static_cast<long>(RemoveFile(std::string(path.Text()))); }

bool Win32Disk::MeansUnavailable(long error) const
{
    return IsGone(static_cast<unsigned long>(error)) || error == ERROR_DIRECTORY || error == ERROR_ACCESS_DENIED;
}

std::string Win32Disk::ErrorText(long error) const { return SystemErrorText(static_cast<unsigned long>(error)); }

long Win32Disk::NumberFor(Refusal refusal) const
{
    switch (refusal) {
    case Refusal::NotAPlainPath: return ERROR_INVALID_NAME;
    case Refusal::Link: return ERROR_NOT_SUPPORTED; // this system would remove the target
    default: return ERROR_ACCESS_DENIED;
    }
}

} // namespace tallowick::win32

namespace tallowick {

std::unique_ptr<FileSystem> OpenWin32FileSystem()
{
    return OpenDriveFileSystem(win32::OpenWin32Disk(win32::FileNames::SystemChoice));
}

std::unique_ptr<FileDeletion> OpenWin32FileDeletion()
{
    return OpenDriveDeletion(win32::OpenWin32Disk(win32::FileNames::SystemChoice));
}

} // namespace tallowick
