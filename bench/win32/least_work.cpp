// The least a Win32 program must do for Tallowick's Find and Delete, the
// baseline of bench.sh:
//
//   least_work walk EXPECTED     FindFirstFileW over the folders Tallowick
//                                searches, collecting the same full paths
//   least_work delete EXPECTED   the same walk (not timed), then DeleteFileW
//                                on each path
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

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "walk" && mode != "delete") {
        std::fprintf(stderr, "usage: least_work walk|delete EXPECTED\n");
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
    }
    if (cookies.size() != expected || done != expected) {
        std::fprintf(stderr, "least_work %s: %zu of %zu files, expected %zu\n", mode.c_str(), done, cookies.size(),
                     expected);
        return 1;
    }
    std::printf("%.3f\n", Milliseconds(start, stop));
    return 0;
}
