#include <optional>
#include <string>

#include <windows.h>

#include "platform/win32/files/win32_disk.h"
#include "platform/win32/files/wine_removal.h"
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

    HeldEntry HoldFile(const std::string& path) override
    {
        if (!wine_.Active())
            return {};
        const std::optional<std::wstring> wide = WideFromPathText(path);
        return wide ? wine_.Hold(*wide) : HeldEntry{ERROR_INVALID_NAME};
    }

    unsigned long RemoveFile(const std::string& path) override
    {
        if (wine_.Active()) {
            const std::optional<std::wstring> wide = WideFromPathText(path);
            return wide ? wine_.RemoveHeld(*wide) : ERROR_INVALID_NAME;
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
