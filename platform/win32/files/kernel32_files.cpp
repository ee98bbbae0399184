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
// beside it. So under Wine a file is checked before it is removed.
// (Windows marks its own links and removes them as links, and its folders
// hold no such twins.)
class WineEntries {
public:
    WineEntries()
    {
        if (SystemFunction<void (*)()>("ntdll.dll", "wine_get_version") == nullptr)
            return;
        createFile_ = SystemFunction<decltype(createFile_)>("kernel32.dll", "CreateFileW");
        finalPath_ = SystemFunction<decltype(finalPath_)>("kernel32.dll", "GetFinalPathNameByHandleW");
        fileInformation_ = SystemFunction<decltype(fileInformation_)>("kernel32.dll", "GetFileInformationByHandle");
        findFirst_ = SystemFunction<decltype(findFirst_)>("kernel32.dll", "FindFirstFileW");
    }

    // 0 when DeleteFile would remove the very entry that `path` names, else
    // the error that its removal fails with instead.
    unsigned long Check(const std::string& path)
    {
        const std::optional<std::wstring> wide = WideFromPathText(path);
        if (!createFile_ || !finalPath_ || !fileInformation_ || !findFirst_ || !wide)
            return 0;
        const std::wstring file = L"\\\\?\\" + *wide;
        const std::wstring folder = file.substr(0, file.rfind(L'\\'));
        if (folder != folder_) {
            folder_ = folder;
            const std::optional<Opened> opened = Open(folder);
            finalFolder_ = opened ? opened->finalPath : L"";
        }
        const std::optional<Opened> opened = Open(file);
        if (!opened || finalFolder_.empty())
            return 0; // the removal will say why it cannot be done
        // The file opened, where it really is.
        const std::size_t slash = opened->finalPath.rfind(L'\\');
        const std::wstring name = opened->finalPath.substr(slash + 1);
        const bool inFolder = opened->finalPath.substr(0, slash) == finalFolder_;
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
        const std::optional<Opened> namesake = Open(folder + L"\\" + name);
        return namesake && namesake->id == opened->id ? ERROR_NOT_SUPPORTED : 0;
    }

private:
    struct Opened {
        std::wstring finalPath;
        std::tuple<DWORD, DWORD, DWORD> id; // volume and file index
    };

    std::optional<Opened> Open(const std::wstring& path) const
    {
        const HANDLE handle = createFile_(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return std::nullopt;
        Opened opened;
        opened.finalPath.resize(MAX_PATH);
        DWORD length = finalPath_(handle, opened.finalPath.data(), static_cast<DWORD>(opened.finalPath.size()), 0);
        if (length >= opened.finalPath.size()) {
            opened.finalPath.resize(length);
            length = finalPath_(handle, opened.finalPath.data(), static_cast<DWORD>(opened.finalPath.size()), 0);
        }
        BY_HANDLE_FILE_INFORMATION information{};
        const bool identified = fileInformation_(handle, &information);
        CloseHandle(handle);
        if (length == 0 || length >= opened.finalPath.size() || !identified)
            return std::nullopt;
        opened.finalPath.resize(length);
        opened.id = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
        return opened;
    }

    HANDLE(WINAPI* createFile_)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = nullptr;
    DWORD(WINAPI* finalPath_)(HANDLE, LPWSTR, DWORD, DWORD) = nullptr;
    BOOL(WINAPI* fileInformation_)(HANDLE, LPBY_HANDLE_FILE_INFORMATION) = nullptr;
    HANDLE(WINAPI* findFirst_)(LPCWSTR, LPWIN32_FIND_DATAW) = nullptr;
    std::wstring folder_;      // the folder of the last file checked
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
        const auto systemPath = Functions::SystemPath(path);
        if (!systemPath)
            return ERROR_INVALID_NAME;
        if (const unsigned long refused = wineEntries_.Check(path); refused != 0)
            return refused;
        return kernel_.deleteFile(systemPath->c_str()) ? 0 : GetLastError();
    }

private:
    Functions kernel_;
    WineEntries wineEntries_;
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
