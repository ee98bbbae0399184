#include <optional>
#include <string>
#include <tuple>

#include <windows.h>

#include "platform/win32/files/win32_disk.h"
#include "platform/win32/system/path_text.h"
#include "platform/win32/system/system_function.h"
#include "platform/win32/system/win32_error.h"

namespace tallowick::win32 {
namespace {

// The W functions, fetched at run time rather than imported: on 95 and 98
// they are stubs that fail, and only NT ever calls them.
struct WideFunctions {
    using FindData = WIN32_FIND_DATAW;
    HANDLE(WINAPI* findFirst)(LPCWSTR, LPWIN32_FIND_DATAW) = SystemFunction<decltype(findFirst)>("kernel32.dll", "FindFirstFileW");
    BOOL(WINAPI* findNext)(HANDLE, LPWIN32_FIND_DATAW) = SystemFunction<decltype(findNext)>("kernel32.dll", "FindNextFileW");
    DWORD(WINAPI* getAttributes)(LPCWSTR) = SystemFunction<decltype(getAttributes)>("kernel32.dll", "GetFileAttributesW");
    BOOL(WINAPI* deleteFile)(LPCWSTR) = SystemFunction<decltype(deleteFile)>("kernel32.dll", "DeleteFileW");

    bool Present() const { return findFirst && findNext && getAttributes && deleteFile; }

    // A drive path goes to the system as "\\?\c:\...": the name is then taken
    // exactly as given, so "a.txt " is never trimmed to another file "a.txt",
    // and a path may be longer than MAX_PATH.
    static std::optional<std::wstring> SystemPath(const std::string& path)
    {
        std::optional<std::wstring> wide = WideFromPathText(path);
        if (wide && wide->size() >= 3 && (*wide)[1] == L':' && (*wide)[2] == L'\\')
            wide->insert(0, L"\\\\?\\");
        return wide;
    }

    static std::optional<FoundEntry> Entry(const WIN32_FIND_DATAW& data)
    {
        std::string name = PathTextFromWide(data.cFileName);
        return FoundEntry{name, name, data.dwFileAttributes};
    }
};

// The A functions, as Windows 95 and 98 have them.
struct AnsiFunctions {
    using FindData = WIN32_FIND_DATAA;
    decltype(&FindFirstFileA) findFirst = FindFirstFileA;
    decltype(&FindNextFileA) findNext = FindNextFileA;
    decltype(&GetFileAttributesA) getAttributes = GetFileAttributesA;
    decltype(&DeleteFileA) deleteFile = DeleteFileA;

    static std::optional<std::string> SystemPath(const std::string& path) { return AnsiFromPathText(path); }

    // A long name the A functions would not find again: one with a
    // character outside the code page (reported as "?"), or one ending in a
    // dot or a space, which they trim.
    static bool Addressable(const std::string& ansi)
    {
        return !ansi.empty() && ansi.find('?') == std::string::npos && ansi.back() != '.' && ansi.back() != ' ';
    }

    // The entry with the name that reaches it; nothing when no name does.
    static std::optional<FoundEntry> Entry(const WIN32_FIND_DATAA& data)
    {
        const std::string longName = data.cFileName;
        const std::optional<std::string> name = PathTextFromAnsi(longName);
        const std::string shownName = name ? *name : DisplayTextFromAnsi(longName);
        if (name && (Addressable(longName) || longName == "." || longName == ".."))
            return FoundEntry{shownName, *name, data.dwFileAttributes};

        const std::string shortName = data.cAlternateFileName;
        const std::optional<std::string> pathName = PathTextFromAnsi(shortName);
        if (!pathName || !Addressable(shortName))
            return std::nullopt;
        return FoundEntry{shownName, *pathName, data.dwFileAttributes};
    }
};

// Under Wine, DeleteFile may remove another entry than the one a path
// names. Wine shows a Unix symbolic link to a file as a plain file, and
// removes the file that the link leads to, wherever that is, never the
// link. And where the entry of a name is gone, the name reaches one whose
// name differs from it only in letter case, which a Unix folder may hold
// beside it. So under Wine a file is removed through a handle of its own,
// once the handle is seen to hold the very entry that the path names.
// (Windows marks its own links and removes them as links, and its folders
// hold no such twins.)
class WineRemoval {
public:
    WineRemoval()
    {
        if (SystemFunction<void (*)()>("ntdll.dll", "wine_get_version") == nullptr)
            return;
        createFile_ = SystemFunction<decltype(createFile_)>("kernel32.dll", "CreateFileW");
        finalPath_ = SystemFunction<decltype(finalPath_)>("kernel32.dll", "GetFinalPathNameByHandleW");
        fileInformation_ = SystemFunction<decltype(fileInformation_)>("kernel32.dll", "GetFileInformationByHandle");
        findFirst_ = SystemFunction<decltype(findFirst_)>("kernel32.dll", "FindFirstFileW");
        setInformation_ = SystemFunction<decltype(setInformation_)>("ntdll.dll", "NtSetInformationFile");
        errorOf_ = SystemFunction<decltype(errorOf_)>("ntdll.dll", "RtlNtStatusToDosError");
    }

    bool Active() const
    {
        return createFile_ && finalPath_ && fileInformation_ && findFirst_ && setInformation_ && errorOf_;
    }

    // Removes the entry that the path `wide` names: 0, or the system's error.
    unsigned long Remove(const std::wstring& wide)
    {
        const std::wstring file = L"\\\\?\\" + wide;
        const std::wstring folder = file.substr(0, file.rfind(L'\\'));
        if (folder != folder_) {
            folder_ = folder;
            const Handle opened(Open(folder, 0, FILE_FLAG_BACKUP_SEMANTICS));
            finalFolder_ = opened.valid() ? FinalPath(opened.get()) : L"";
        }
        // DELETE access and no folder flag: a folder does not open.
        const Handle opened(Open(file, DELETE, 0));
        if (!opened.valid())
            return GetLastError();
        if (const unsigned long refused = Check(opened.get(), file, folder); refused != 0)
            return refused;
        struct {
            BOOLEAN deleteFile = TRUE;
        } disposition;
        struct {
            LONG_PTR status;
            ULONG_PTR information;
        } io{};
        constexpr ULONG kFileDispositionInformation = 13;
        const LONG status = setInformation_(opened.get(), &io, &disposition, sizeof disposition, kFileDispositionInformation);
        return status == 0 ? 0 : errorOf_(status); // the file goes when the handle closes
    }

private:
    class Handle {
    public:
        explicit Handle(HANDLE handle) : handle_(handle) {}
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;
        ~Handle()
        {
            if (valid())
                CloseHandle(handle_);
        }
        bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
        HANDLE get() const { return handle_; }

    private:
        HANDLE handle_;
    };

    HANDLE Open(const std::wstring& path, DWORD access, DWORD flags) const
    {
        return createFile_(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, flags, nullptr);
    }

    std::wstring FinalPath(HANDLE handle) const
    {
        std::wstring path(MAX_PATH, L'\0');
        DWORD length = finalPath_(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length >= path.size()) {
            path.resize(length);
            length = finalPath_(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        }
        path.resize(length < path.size() ? length : 0);
        return path;
    }

    std::tuple<DWORD, DWORD, DWORD> IdOf(HANDLE handle) const // volume and file index
    {
        BY_HANDLE_FILE_INFORMATION information{};
        fileInformation_(handle, &information);
        return {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    }

    // 0 when `opened` holds the very entry that `file` names, else the error
    // that its removal fails with instead.
    unsigned long Check(HANDLE opened, const std::wstring& file, const std::wstring& folder) const
    {
        const std::wstring finalPath = FinalPath(opened);
        if (finalPath.empty() || finalFolder_.empty())
            return 0; // nothing to compare with: the removal says what it says
        // The file opened, where it really is.
        const std::size_t slash = finalPath.rfind(L'\\');
        const std::wstring name = finalPath.substr(slash + 1);
        const bool inFolder = finalPath.compare(0, slash, finalFolder_) == 0 && slash == finalFolder_.size();
        const std::wstring listed = file.substr(folder.size() + 1);
        if (inFolder && name == listed)
            return 0;
        // The entry that the name reached, by its own names.
        WIN32_FIND_DATAW data{};
        const HANDLE found = findFirst_(file.c_str(), &data);
        if (found == INVALID_HANDLE_VALUE)
            return 0;
        FindClose(found);
        const std::wstring own = data.cFileName;
        if (listed != own && listed != data.cAlternateFileName)
            return ERROR_FILE_NOT_FOUND;
        if (!inFolder)
            return ERROR_NOT_SUPPORTED; // a link, which this system cannot remove without its target
        if (name == own)
            return 0;
        // Wine drops the trailing dots and spaces of the names in a final
        // path: the file is still its own unless the entry that bears the
        // shorter name is the very same file.
        if (name != own.substr(0, own.find_last_not_of(L". ") + 1))
            return ERROR_NOT_SUPPORTED;
        const Handle namesake(Open(folder + L"\\" + name, 0, 0));
        return namesake.valid() && IdOf(namesake.get()) == IdOf(opened) ? ERROR_NOT_SUPPORTED : 0;
    }

    HANDLE(WINAPI* createFile_)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = nullptr;
    DWORD(WINAPI* finalPath_)(HANDLE, LPWSTR, DWORD, DWORD) = nullptr;
    BOOL(WINAPI* fileInformation_)(HANDLE, LPBY_HANDLE_FILE_INFORMATION) = nullptr;
    HANDLE(WINAPI* findFirst_)(LPCWSTR, LPWIN32_FIND_DATAW) = nullptr;
    LONG(WINAPI* setInformation_)(HANDLE, void*, void*, ULONG, ULONG) = nullptr;
    ULONG(WINAPI* errorOf_)(LONG) = nullptr;
    std::wstring folder_;      // the folder of the last file removed
    std::wstring finalFolder_; // and its final path
};

template <typename Functions>
class KernelDisk final : public Win32Disk {
public:
    explicit KernelDisk(Functions functions) : kernel_(functions) {}

    unsigned long GetAttributes(const std::string& path, unsigned long& attributes) override
    {
        const auto systemPath = Functions::SystemPath(path);
        if (!systemPath)
            return ERROR_INVALID_NAME;
        attributes = kernel_.getAttributes(systemPath->c_str());
        return attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    }

    // A folder with nothing in it is no error.
    unsigned long ListFolder(const std::string& folder, std::vector<FoundEntry>& entries) override
    {
        auto pattern = Functions::SystemPath(folder);
        if (!pattern)
            return ERROR_INVALID_NAME;
        pattern->push_back('\\');
        pattern->push_back('*');
        typename Functions::FindData data{};
        const HANDLE found = kernel_.findFirst(pattern->c_str(), &data);
        if (found == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
        }
        do {
            if (std::optional<FoundEntry> entry = Functions::Entry(data))
                entries.push_back(std::move(*entry));
        } while (kernel_.findNext(found, &data));
        const DWORD error = GetLastError();
        FindClose(found);
        return error == ERROR_NO_MORE_FILES ? 0 : error;
    }

    unsigned long RemoveFile(const std::string& path) override
    {
        if (wine_.Active()) {
            const std::optional<std::wstring> wide = WideFromPathText(path);
            return wide ? wine_.Remove(*wide) : ERROR_INVALID_NAME;
        }
        const auto systemPath = Functions::SystemPath(path);
        if (!systemPath)
            return ERROR_INVALID_NAME;
        return kernel_.deleteFile(systemPath->c_str()) ? 0 : GetLastError();
    }

private:
    Functions kernel_;
    WineRemoval wine_;
};

} // namespace

std::unique_ptr<Win32Disk> OpenWin32Disk(FileNames names)
{
    if (names == FileNames::Ansi || (names == FileNames::SystemChoice && !RunsOnNt()))
        return std::make_unique<KernelDisk<AnsiFunctions>>(AnsiFunctions{});
    if (const WideFunctions wide; wide.Present())
        return std::make_unique<KernelDisk<WideFunctions>>(wide);
    if (names == FileNames::SystemChoice)
        return std::make_unique<KernelDisk<AnsiFunctions>>(AnsiFunctions{});
    throw SystemError(ERROR_PROC_NOT_FOUND, "kernel32.dll has no Unicode file functions");
}

} // namespace tallowick::win32
