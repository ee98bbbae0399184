#include <utility>

#include <windows.h>

#include "platform/rules/drive_deletion.h"
#include "platform/rules/drive_file_system.h"
#include "platform/win32/files/win32_file_api.h"
#include "platform/win32/files/win32_file_system.h"
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

// The drive the program runs on, answering the rules' questions with the
// kernel32 file functions.
class Win32Disk final : public Disk {
public:
    explicit Win32Disk(std::unique_ptr<FileApi> api) : api_(std::move(api)) {}

    const NameRules& Names() const override { return kWindowsDriveNames; }

    EntryAnswer Examine(const WindowsPath& path, std::size_t depth) override
    {
        unsigned long attributes = 0;
        if (const unsigned long error = api_->GetAttributes(std::string(path.Prefix(depth)), attributes); error != 0)
            return IsGone(error) ? EntryAnswer{EntryKind::Missing, false, 0}
                                 : EntryAnswer{EntryKind::Unreadable, false, static_cast<long>(error)};
        return {KindOf(attributes), (attributes & FILE_ATTRIBUTE_READONLY) != 0, 0};
    }

    long List(const WindowsPath& path, std::string& shownPath, const Take& take) override
    {
        shownPath = path.Text();
        entries_.clear();
        if (const unsigned long error = api_->ListFolder(shownPath, entries_); error != 0)
            return static_cast<long>(error);
        for (const FoundEntry& found : entries_) {
            if (found.name == "." || found.name == "..")
                continue;
            const EntryKind kind = KindOf(found.attributes);
            const EntryKind target = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder
                                                                                         : EntryKind::File;
            take({found.name, found.pathName, kind, kind == EntryKind::Link ? target : EntryKind::Missing});
        }
        return 0;
    }

    long Remove(const WindowsPath& path) override { return static_cast<long>(api_->RemoveFile(std::string(path.Text()))); }

    // DeleteFile fails on a read-only file, as on a folder.
    bool RemovalRefusesReadOnlyFiles() const override { return true; }

    bool MeansUnavailable(long error) const override
    {
        return IsGone(static_cast<unsigned long>(error)) || error == ERROR_DIRECTORY || error == ERROR_ACCESS_DENIED;
    }
    std::string ErrorText(long error) const override { return SystemErrorText(static_cast<unsigned long>(error)); }
    long NumberFor(Refusal refusal) const override
    {
        return refusal == Refusal::NotAPlainPath ? ERROR_INVALID_NAME : ERROR_ACCESS_DENIED;
    }

private:
    std::unique_ptr<FileApi> api_;
    std::vector<FoundEntry> entries_;
};

} // namespace

std::unique_ptr<FileSystem> OpenWin32FileSystem(std::unique_ptr<FileApi> api)
{
    return OpenDriveFileSystem(std::make_unique<Win32Disk>(std::move(api)));
}

std::unique_ptr<FileDeletion> OpenWin32FileDeletion(std::unique_ptr<FileApi> api)
{
    return OpenDriveDeletion(std::make_unique<Win32Disk>(std::move(api)));
}

} // namespace tallowick::win32

namespace tallowick {

std::unique_ptr<FileSystem> OpenWin32FileSystem()
{
    return win32::OpenWin32FileSystem(win32::OpenFileApi(win32::FileNames::SystemChoice));
}

std::unique_ptr<FileDeletion> OpenWin32FileDeletion()
{
    return win32::OpenWin32FileDeletion(win32::OpenFileApi(win32::FileNames::SystemChoice));
}

} // namespace tallowick
