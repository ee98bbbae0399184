#include <optional>

#include <windows.h>

#include "platform/win32/system/path_text.h"
#include "platform/win32/system/win32_error.h"
#include "platform/win32/files/win32_file_api.h"
#include "platform/win32/system/system_function.h"

namespace tallowick::win32 {
namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() { FindClose(handle_); }

private:
    HANDLE handle_;
};

// Hands every entry that FindFirstFile and FindNextFile, of either kind, list
// for `pattern` to `take`. Answers a Windows error number, 0 for success; a
// folder with nothing in it is no error.
template <typename FindData, typename Char, typename FindFirst, typename FindNext, typename Take>
unsigned long ListEntries(const Char* pattern, FindFirst findFirst, FindNext findNext, Take take)
{
    FindData data{};
    const HANDLE handle = findFirst(pattern, &data);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
    }
    const FindHandle closer(handle);
    do
        take(data);
    while (findNext(handle, &data));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

// The W functions, fetched at run time rather than imported: on 95 and 98
// they are stubs that fail, and only NT ever calls them.
class UnicodeFileApi final : public FileApi {
public:
    static std::unique_ptr<UnicodeFileApi> Open()
    {
        auto api = std::unique_ptr<UnicodeFileApi>(new UnicodeFileApi);
        if (!api->findFirst_ || !api->findNext_ || !api->getAttributes_ || !api->deleteFile_)
            return nullptr;
        return api;
    }

    unsigned long GetAttributes(const std::string& path, unsigned long& attributes) override
    {
        const std::optional<std::wstring> wide = SystemPath(path);
        if (!wide)
            return ERROR_INVALID_NAME;
        attributes = getAttributes_(wide->c_str());
        return attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    }

    unsigned long ListFolder(const std::string& folder, std::vector<FoundEntry>& entries) override
    {
        const std::optional<std::wstring> wide = SystemPath(folder);
        if (!wide)
            return ERROR_INVALID_NAME;
        const std::wstring pattern = *wide + L"\\*";
        const auto take = [&](const WIN32_FIND_DATAW& data) {
            std::string name = PathTextFromWide(data.cFileName);
            entries.push_back({name, name, data.dwFileAttributes});
        };
        return ListEntries<WIN32_FIND_DATAW>(pattern.c_str(), findFirst_, findNext_, take);
    }

    unsigned long RemoveFile(const std::string& path) override
    {
        const std::optional<std::wstring> wide = SystemPath(path);
        if (!wide)
            return ERROR_INVALID_NAME;
        return deleteFile_(wide->c_str()) ? 0 : GetLastError();
    }

private:
    UnicodeFileApi() = default;

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

    using FindFirstFileWFunction = HANDLE(WINAPI*)(LPCWSTR, LPWIN32_FIND_DATAW);
    using FindNextFileWFunction = BOOL(WINAPI*)(HANDLE, LPWIN32_FIND_DATAW);
    using GetFileAttributesWFunction = DWORD(WINAPI*)(LPCWSTR);
    using DeleteFileWFunction = BOOL(WINAPI*)(LPCWSTR);

    FindFirstFileWFunction findFirst_ = SystemFunction<FindFirstFileWFunction>("kernel32.dll", "FindFirstFileW");
    FindNextFileWFunction findNext_ = SystemFunction<FindNextFileWFunction>("kernel32.dll", "FindNextFileW");
    GetFileAttributesWFunction getAttributes_ = SystemFunction<GetFileAttributesWFunction>("kernel32.dll", "GetFileAttributesW");
    DeleteFileWFunction deleteFile_ = SystemFunction<DeleteFileWFunction>("kernel32.dll", "DeleteFileW");
};

// The A functions, as Windows 95 and 98 have them.
class AnsiFileApi final : public FileApi {
public:
    unsigned long GetAttributes(const std::string& path, unsigned long& attributes) override
    {
        const std::optional<std::string> ansi = AnsiFromPathText(path);
        if (!ansi)
            return ERROR_INVALID_NAME;
        attributes = GetFileAttributesA(ansi->c_str());
        return attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    }

    unsigned long ListFolder(const std::string& folder, std::vector<FoundEntry>& entries) override
    {
        const std::optional<std::string> ansi = AnsiFromPathText(folder);
        if (!ansi)
            return ERROR_INVALID_NAME;
        const std::string pattern = *ansi + "\\*";
        const auto take = [&](const WIN32_FIND_DATAA& data) {
            if (std::optional<FoundEntry> entry = Entry(data))
                entries.push_back(std::move(*entry));
        };
        return ListEntries<WIN32_FIND_DATAA>(pattern.c_str(), FindFirstFileA, FindNextFileA, take);
    }

    unsigned long RemoveFile(const std::string& path) override
    {
        const std::optional<std::string> ansi = AnsiFromPathText(path);
        if (!ansi)
            return ERROR_INVALID_NAME;
        return DeleteFileA(ansi->c_str()) ? 0 : GetLastError();
    }

private:
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

} // namespace

std::unique_ptr<FileApi> OpenFileApi(FileNames names)
{
    if (names == FileNames::Ansi || (names == FileNames::SystemChoice && !RunsOnNt()))
        return std::make_unique<AnsiFileApi>();
    if (std::unique_ptr<UnicodeFileApi> unicode = UnicodeFileApi::Open())
        return unicode;
    if (names == FileNames::SystemChoice)
        return std::make_unique<AnsiFileApi>();
    throw SystemError(ERROR_PROC_NOT_FOUND, "kernel32.dll has no Unicode file functions");
}

} // namespace tallowick::win32
