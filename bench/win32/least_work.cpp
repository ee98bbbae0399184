// The least a Win32 program must do for Tallowick's Find and Delete, the
// baseline of bench.sh:
//
//   least_work walk EXPECTED      FindFirstFileW over the folders Tallowick
//                                 searches, collecting the same full paths
//   least_work delete EXPECTED    the same walk (not timed), then DeleteFileW
//                                 on each path
//   least_work careful EXPECTED   the same walk (not timed), then each file
//                                 deleted with the care Tallowick.exe takes
//                                 under Wine: opened for DELETE, its final
//                                 path compared with the listed one, marked
//                                 for deletion, closed
//
// Prints the milliseconds of the timed part; exits 1 unless EXPECTED files
// were found (and deleted).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER stop)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool IsDots(const wchar_t* name) { return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0; }

// The files of `folder` whose names hold ".txt" go to `cookies`; its
// subfolders to `subfolders`, when asked for.
void ListFolder(const std::wstring& folder, std::vector<std::wstring>& cookies, std::vector<std::wstring>* subfolders)
{
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return; // a missing folder
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (subfolders && !IsDots(data.cFileName))
                subfolders->push_back(folder + L"\\" + data.cFileName);
        } else if (std::wcsstr(data.cFileName, L".txt")) {
            cookies.push_back(folder + L"\\" + data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// Each fixed folder's own files, then the cookies folder of each of its
// immediate subfolders.
std::vector<std::wstring> Walk()
{
    std::vector<std::wstring> cookies;
    for (const wchar_t* root : {L"c:\\windows", L"c:\\winnt"}) {
        for (const wchar_t* fixed : {L"\\cookies", L"\\profiles", L"\\Temporary Internet Files"}) {
            std::vector<std::wstring> subfolders;
            ListFolder(std::wstring(root) + fixed, cookies, &subfolders);
            for (const std::wstring& subfolder : subfolders)
                ListFolder(subfolder + L"\\cookies", cookies, nullptr);
        }
    }
    return cookies;
}

// Wine's DeleteFileW removes what a Unix link leads to, and a case twin of
// a name whose file is gone; a program that must not do either deletes
// through a handle once it knows the handle holds the listed entry.
class CarefulDeletion {
public:
    CarefulDeletion()
    {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        finalPath_ = reinterpret_cast<decltype(finalPath_)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "GetFinalPathNameByHandleW")));
        setInformation_ = reinterpret_cast<decltype(setInformation_)>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtSetInformationFile")));
    }

    bool Present() const { return finalPath_ && setInformation_; }

    bool Delete(const std::wstring& path)
    {
        const std::size_t slash = path.rfind(L'\\');
        const std::wstring folder = L"\\\\?\\" + path.substr(0, slash);
        if (folder != folder_) {
            folder_ = folder;
            const HANDLE opened = Open(folder, 0, FILE_FLAG_BACKUP_SEMANTICS);
            finalFolder_ = FinalPath(opened);
            CloseHandle(opened);
        }
        const HANDLE opened = Open(folder + path.substr(slash), DELETE, 0);
        if (opened == INVALID_HANDLE_VALUE)
            return false;
        bool deleted = FinalPath(opened) == finalFolder_ + path.substr(slash);
        if (deleted) {
            BOOLEAN disposition = TRUE;
            struct {
                LONG_PTR status;
                ULONG_PTR information;
            } io{};
            constexpr ULONG kFileDispositionInformation = 13;
            deleted = setInformation_(opened, &io, &disposition, sizeof disposition, kFileDispositionInformation) == 0;
        }
        CloseHandle(opened); // the file goes with its last handle
        return deleted;
    }

private:
    static HANDLE Open(const std::wstring& path, DWORD access, DWORD flags)
    {
        return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, flags, nullptr);
    }

    std::wstring FinalPath(HANDLE handle) const
    {
        wchar_t path[MAX_PATH * 2];
        const DWORD length = finalPath_(handle, path, MAX_PATH * 2, 0);
        return length > 0 && length < MAX_PATH * 2 ? std::wstring(path, length) : std::wstring();
    }

    DWORD(WINAPI* finalPath_)(HANDLE, LPWSTR, DWORD, DWORD) = nullptr;
    LONG(WINAPI* setInformation_)(HANDLE, void*, void*, ULONG, ULONG) = nullptr;
    std::wstring folder_;      // the folder of the last file deleted
    std::wstring finalFolder_; // and its final path
};

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "walk" && mode != "delete" && mode != "careful") {
        std::fprintf(stderr, "usage: least_work walk|delete|careful EXPECTED\n");
        return 2;
    }
    const std::size_t expected = std::strtoul(argv[2], nullptr, 10);

    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    const std::vector<std::wstring> cookies = Walk();
    QueryPerformanceCounter(&stop);
    std::size_t done = cookies.size();

    if (mode == "delete") {
        done = 0;
        QueryPerformanceCounter(&start);
        for (const std::wstring& path : cookies)
            done += DeleteFileW(path.c_str()) ? 1 : 0;
        QueryPerformanceCounter(&stop);
    } else if (mode == "careful") {
        CarefulDeletion careful;
        if (!careful.Present()) {
            std::fprintf(stderr, "least_work careful: the system lacks GetFinalPathNameByHandleW\n");
            return 1;
        }
        done = 0;
        QueryPerformanceCounter(&start);
        for (const std::wstring& path : cookies)
            done += careful.Delete(path) ? 1 : 0;
        QueryPerformanceCounter(&stop);
    }
    if (cookies.size() != expected || done != expected) {
        std::fprintf(stderr, "least_work %s: %zu of %zu files, expected %zu\n", mode.c_str(), done, cookies.size(),
                     expected);
        return 1;
    }
    std::printf("%.3f\n", Milliseconds(start, stop));
    return 0;
}
