#include "platform/win32/files/wine_removal.h"

#include <winternl.h>

#include "platform/win32/system/path_text.h"
#include "platform/win32/system/system_function.h"

namespace tallowick::win32 {

// Looked up at run time: Windows 95 and NT 4.0 lack most of them.
struct WineRemoval::Functions {
    decltype(&CreateFileW) createFile = SystemFunction<decltype(createFile)>("kernel32.dll", "CreateFileW");
    DWORD(WINAPI* finalPath)(HANDLE, LPWSTR, DWORD, DWORD) =
        SystemFunction<decltype(finalPath)>("kernel32.dll", "GetFinalPathNameByHandleW");
    decltype(&GetFileInformationByHandle) fileInformation =
        SystemFunction<decltype(fileInformation)>("kernel32.dll", "GetFileInformationByHandle");
    decltype(&FindFirstFileW) findFirst = SystemFunction<decltype(findFirst)>("kernel32.dll", "FindFirstFileW");
    decltype(&NtSetInformationFile) setInformation = SystemFunction<decltype(setInformation)>("ntdll.dll", "NtSetInformationFile");
    decltype(&RtlNtStatusToDosError) errorOf = SystemFunction<decltype(errorOf)>("ntdll.dll", "RtlNtStatusToDosError");

    bool Present() const { return createFile && finalPath && fileInformation && findFirst && setInformation && errorOf; }

    Handle Open(const std::wstring& path, DWORD access, DWORD flags) const
    {
        const HANDLE opened = createFile(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, flags, nullptr);
        return Handle(opened == INVALID_HANDLE_VALUE ? nullptr : opened, CloseHandle);
    }

    std::wstring FinalPath(HANDLE handle) const
    {
        std::wstring path(MAX_PATH, L'\0');
        DWORD length = finalPath(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length >= path.size()) {
            path.resize(length);
            length = finalPath(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        }
        path.resize(length < path.size() ? length : 0);
        return path;
    }

    bool SameFile(HANDLE a, HANDLE b) const
    {
        BY_HANDLE_FILE_INFORMATION first{};
        BY_HANDLE_FILE_INFORMATION second{};
        return fileInformation(a, &first) && fileInformation(b, &second) &&
               first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
               first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
    }
};

WineRemoval::WineRemoval()
{
    auto functions = std::make_unique<Functions>();
    if (SystemFunction<void (*)()>("ntdll.dll", "wine_get_version") && functions->Present())
        wine_ = std::move(functions);
}

WineRemoval::~WineRemoval() = default;

HeldEntry WineRemoval::Hold(std::string_view path)
{
    held_.reset();
    const std::optional<std::wstring> systemPath = WideSystemPath(path);
    if (!systemPath)
        return {ERROR_INVALID_NAME};
    const std::wstring& file = *systemPath;
    const std::wstring folder = file.substr(0, file.rfind(L'\\'));
    if (folder != folder_) {
        folder_ = folder;
        const Handle opened = wine_->Open(folder, 0, FILE_FLAG_BACKUP_SEMANTICS);
        finalFolder_ = opened ? wine_->FinalPath(opened.get()) : L"";
    }
    // DELETE access and no folder flag: a folder does not open.
    held_ = wine_->Open(file, DELETE, 0);
    if (!held_)
        return {static_cast<long>(GetLastError())};
    heldPath_ = path;
    return Examine(file, folder);
}

// Where the held file really is, and which names the listed name reaches.
HeldEntry WineRemoval::Examine(const std::wstring& file, const std::wstring& folder) const
{
    const std::wstring finalPath = wine_->FinalPath(held_.get());
    if (finalPath.empty() || finalFolder_.empty())
        return {}; // nothing to compare with
    const std::size_t slash = finalPath.rfind(L'\\');
    const std::wstring name = finalPath.substr(slash + 1);
    const bool inFolder = slash == finalFolder_.size() && finalPath.compare(0, slash, finalFolder_) == 0;
    const std::wstring listed = file.substr(folder.size() + 1);
    if (inFolder && name == listed)
        return {};
    WIN32_FIND_DATAW data{};
    const HANDLE found = wine_->findFirst(file.c_str(), &data);
    if (found == INVALID_HANDLE_VALUE)
        return {};
    FindClose(found);
    const std::wstring own = data.cFileName;
    if (listed != own && listed != data.cAlternateFileName)
        return {.otherSpelling = true};
    if (!inFolder || name == own)
        return {.throughLink = !inFolder};
    // Wine drops trailing dots and spaces from the names in a final path: the
    // file is still its own unless the entry bearing the shorter name is the same file.
    if (name != own.substr(0, own.find_last_not_of(L". ") + 1))
        return {.throughLink = true};
    const Handle namesake = wine_->Open(folder + L"\\" + name, 0, 0);
    return {.throughLink = namesake && wine_->SameFile(namesake.get(), held_.get())};
}

unsigned long WineRemoval::RemoveHeld(std::string_view path)
{
    if (!held_ || path != heldPath_)
        return ERROR_INVALID_HANDLE;
    IO_STATUS_BLOCK io{};
    BOOLEAN deleteFile = TRUE;
    const NTSTATUS status =
        wine_->setInformation(held_.get(), &io, &deleteFile, sizeof deleteFile, FileDispositionInformation);
    held_.reset(); // the file goes when its handle closes
    return status == 0 ? 0 : wine_->errorOf(status);
}

} // namespace tallowick::win32
