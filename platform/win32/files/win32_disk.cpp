#include "platform/win32/files/win32_disk.h"

#include <optional>
#include <string>

#include <windows.h>

#include "platform/rules/rule_book.h"
#include "platform/win32/files/wine_removal.h"
#include "platform/win32/system/path_text.h"
#include "platform/win32/system/system_function.h"
#include "platform/win32/system/win32_error.h"

namespace tallowick::win32 {
namespace {

// One entry of a folder listing, UTF-8.
struct FoundEntry {
    std::string name;     // as the system reports it
    std::string pathName; // what reaches it where the name cannot (its short name); empty: the name
};

// The W functions, looked up at run time: 95 and 98 have them only as stubs that fail.
struct WideFunctions {
    using FindData = WIN32_FIND_DATAW;
    HANDLE(WINAPI* findFirst)(LPCWSTR, LPWIN32_FIND_DATAW) = SystemFunction<decltype(findFirst)>("kernel32.dll", "FindFirstFileW");
    BOOL(WINAPI* findNext)(HANDLE, LPWIN32_FIND_DATAW) = SystemFunction<decltype(findNext)>("kernel32.dll", "FindNextFileW");
    DWORD(WINAPI* getAttributes)(LPCWSTR) = SystemFunction<decltype(getAttributes)>("kernel32.dll", "GetFileAttributesW");
    BOOL(WINAPI* deleteFile)(LPCWSTR) = SystemFunction<decltype(deleteFile)>("kernel32.dll", "DeleteFileW");

    bool Present() const { return findFirst && findNext && getAttributes && deleteFile; }

    static std::optional<std::wstring> SystemPath(std::string_view path) { return WideSystemPath(path); }

    static std::optional<FoundEntry> Entry(const WIN32_FIND_DATAW& data)
    {
        return FoundEntry{PathTextFromWide(data.cFileName), {}};
    }
};

// The A functions, as Windows 95 and 98 have them.
struct AnsiFunctions {
    using FindData = WIN32_FIND_DATAA;
    decltype(&FindFirstFileA) findFirst = FindFirstFileA;
    decltype(&FindNextFileA) findNext = FindNextFileA;
    decltype(&GetFileAttributesA) getAttributes = GetFileAttributesA;
    decltype(&DeleteFileA) deleteFile = DeleteFileA;

    static std::optional<std::string> SystemPath(std::string_view path) { return AnsiFromPathText(path); }

    // Whether the A functions find a name again: not one with a character outside
    // the code page (reported as "?"), nor one ending in a dot or a space, which they trim.
    static bool Addressable(std::string_view ansi)
    {
        return !ansi.empty() && ansi.find('?') == std::string_view::npos && !ansi.ends_with('.') && !ansi.ends_with(' ');
    }

    // The entry with the name that reaches it; nothing when no name does.
    static std::optional<FoundEntry> Entry(const WIN32_FIND_DATAA& data)
    {
        const std::optional<std::string> name = PathTextFromAnsi(data.cFileName);
        std::string shownName = name ? *name : DisplayTextFromAnsi(data.cFileName);
        if (name && Addressable(data.cFileName))
            return FoundEntry{std::move(shownName), *name};
        const std::optional<std::string> shortName = PathTextFromAnsi(data.cAlternateFileName);
        if (!shortName || !Addressable(data.cAlternateFileName))
            return std::nullopt;
        return FoundEntry{std::move(shownName), *shortName};
    }
};

bool IsGone(unsigned long error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Junctions and symbolic links are reparse points; a folder link is marked a folder too.
EntryKind KindOf(DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return EntryKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
}

// The drive, through kernel32's file functions in their W or their A kind.
template <typename Functions>
class KernelDisk final : public Disk {
public:
    explicit KernelDisk(Functions functions) : kernel_(functions) {}

    const NameRules& Names() const override { return kWindowsDriveNames; }

    EntryAnswer Examine(const WindowsPath& path, std::size_t depth) override
    {
        const auto systemPath = Functions::SystemPath(path.Prefix(depth));
        if (!systemPath)
            return {EntryKind::Unreadable, false, ERROR_INVALID_NAME};
        const DWORD attributes = kernel_.getAttributes(systemPath->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            return IsGone(error) ? EntryAnswer{} : EntryAnswer{EntryKind::Unreadable, false, static_cast<long>(error)};
        }
        return {KindOf(attributes), (attributes & FILE_ATTRIBUTE_READONLY) != 0, 0};
    }

    // An empty folder is no error. The only pattern is "<folder>\*".
    long List(const WindowsPath& path, std::string& shownPath, const Take& take) override
    {
        shownPath = path.Text();
        const auto pattern = Functions::SystemPath(shownPath + "\\*");
        if (!pattern)
            return ERROR_INVALID_NAME;
        typename Functions::FindData data{};
        const HANDLE found = kernel_.findFirst(pattern->c_str(), &data);
        if (found == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : static_cast<long>(error);
        }
        do {
            const std::optional<FoundEntry> entry = Functions::Entry(data);
            if (!entry || entry->name == "." || entry->name == "..")
                continue;
            const EntryKind kind = KindOf(data.dwFileAttributes);
            const EntryKind target = KindOf(data.dwFileAttributes & ~FILE_ATTRIBUTE_REPARSE_POINT);
            const std::string& pathName = entry->pathName.empty() ? entry->name : entry->pathName;
            take({entry->name, pathName, kind, kind == EntryKind::Link ? target : EntryKind::Missing});
        } while (kernel_.findNext(found, &data));
        const DWORD error = GetLastError();
        FindClose(found);
        return error == ERROR_NO_MORE_FILES ? 0 : static_cast<long>(error);
    }

    HeldEntry Hold(const WindowsPath& path) override { return wine_.Active() ? wine_.Hold(path.Text()) : HeldEntry{}; }

    long Remove(const WindowsPath& path) override
    {
        if (wine_.Active())
            return static_cast<long>(wine_.RemoveHeld(path.Text()));
        const auto systemPath = Functions::SystemPath(path.Text());
        if (!systemPath)
            return ERROR_INVALID_NAME;
        return kernel_.deleteFile(systemPath->c_str()) ? 0 : static_cast<long>(GetLastError());
    }

    // DeleteFile fails on a read-only file, as on a folder.
    bool RemovalRefusesReadOnlyFiles() const override { return true; }

    bool MeansUnavailable(long error) const override
    {
        return IsGone(static_cast<unsigned long>(error)) || error == ERROR_DIRECTORY || error == ERROR_ACCESS_DENIED;
    }

    std::string ErrorText(long error) const override { return SystemErrorText(static_cast<unsigned long>(error)); }

private:
    Functions kernel_;
    WineRemoval wine_;
};

} // namespace

std::unique_ptr<Disk> OpenWin32Disk(FileNames names)
{
    const bool unicode = names == FileNames::Unicode || (names == FileNames::SystemChoice && RunsOnNt());
    if (const WideFunctions wide; unicode && wide.Present())
        return std::make_unique<KernelDisk<WideFunctions>>(wide);
    if (names == FileNames::Unicode)
        throw SystemError(ERROR_PROC_NOT_FOUND, "kernel32.dll has no Unicode file functions");
    return std::make_unique<KernelDisk<AnsiFunctions>>(AnsiFunctions{});
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
