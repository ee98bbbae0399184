#include "tests/win32/drive_c.h"

#include <stdexcept>

#include <windows.h>

#include "main_window/main_window.h"
#include "platform/rules/rule_book.h"
#include "platform/win32/system/path_text.h"
#include "platform/win32/system/win32_error.h"

namespace tallowick::testing {
namespace drive_c {
namespace {

std::wstring Exact(const std::string& path)
{
    const std::optional<std::wstring> wide = win32::WideFromPathText(path);
    if (!wide)
        throw std::invalid_argument("not UTF-8: " + path);
    return L"\\\\?\\" + *wide;
}

[[noreturn]] void Fail(const std::string& what) { throw LastError(what); }

} // namespace

void MakeFolders(const std::string& path)
{
    for (std::size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (!CreateDirectoryW(Exact(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            Fail("making folder " + folder);
        if (end == std::string::npos)
            return;
    }
}

void MakeFile(const std::string& path, unsigned long attributes)
{
    MakeFolders(path.substr(0, path.rfind('\\')));
    const HANDLE file = CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail("making file " + path);
    DWORD written = 0;
    WriteFile(file, "cookie", 6, &written, nullptr);
    CloseHandle(file);
    if (attributes != 0 && !SetFileAttributesW(Exact(path).c_str(), attributes))
        Fail("setting attributes of " + path);
}

unsigned long Attributes(const std::string& path) { return GetFileAttributesW(Exact(path).c_str()); }

bool Exists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path)
{
    const unsigned long attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ShortName(const std::string& path)
{
    WIN32_FIND_DATAW data{};
    const HANDLE found = FindFirstFileW(Exact(path).c_str(), &data);
    if (found == INVALID_HANDLE_VALUE)
        Fail("finding " + path);
    FindClose(found);
    return win32::PathTextFromWide(data.cAlternateFileName);
}

void RemoveTree(const std::string& path)
{
    const unsigned long attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        throw std::runtime_error("refusing to remove the linked folder " + path);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        SetFileAttributesW(Exact(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(Exact(path).c_str()))
            Fail("removing " + path);
        return;
    }

    std::vector<std::string> entries;
    WIN32_FIND_DATAW data{};
    const HANDLE found = FindFirstFileW((Exact(path) + L"\\*").c_str(), &data);
    if (found != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = win32::PathTextFromWide(data.cFileName);
            if (name != "." && name != "..")
                entries.push_back(path + "\\" + name);
        } while (FindNextFileW(found, &data));
        FindClose(found);
    }
    for (const std::string& entry : entries)
        RemoveTree(entry);
    if (!RemoveDirectoryW(Exact(path).c_str()))
        Fail("removing folder " + path);
}

bool FitsAnsiCodePage(const std::string& text) { return win32::AnsiFromPathText(text).has_value(); }

} // namespace drive_c

WindowOnDriveC::WindowOnDriveC(win32::FileNames names)
    : RecordedMain([names] { return OpenDriveFileSystem(win32::OpenWin32Disk(names)); },
                   [names] { return OpenDriveDeletion(win32::OpenWin32Disk(names)); })
{
}

namespace {

void RemoveSearchedFolders()
{
    for (const char* folder :
         {"c:\\windows\\cookies", "c:\\windows\\profiles", "c:\\windows\\Temporary Internet Files", "c:\\winnt"})
        drive_c::RemoveTree(folder);
}

} // namespace

void DriveCTest::SetUp() { RemoveSearchedFolders(); }

void DriveCTest::TearDown() { RemoveSearchedFolders(); }

} // namespace tallowick::testing
