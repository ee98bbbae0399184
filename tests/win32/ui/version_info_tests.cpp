// The version record of Tallowick.exe, read back the way Explorer reads it.
// TALLOWICK_EXE names the file (a Unix path under Wine).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>



namespace {

std::string ProgramPath()
{
    const char* path = std::getenv("TALLOWICK_EXE");
    if (!path)
        return {};
    std::string windowsPath = path;
    if (!windowsPath.empty() && windowsPath[0] == '/') {
        for (char& c : windowsPath)
            c = c == '/' ? '\\' : c;
        windowsPath = "Z:" + windowsPath; // Wine's drive for the Unix root
    }
    return windowsPath;
}

std::string StringValue(const std::vector<char>& record, const char* name)
{
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(const_cast<char*>(record.data()), key.c_str(), reinterpret_cast<void**>(&value), &length)
        || !value)
        return "(missing)";
    return std::string(value, length > 0 ? length - 1 : 0);
}

} // namespace

TEST(ProgramFile, VersionRecordOfTheProgram)
{
    const std::string path = ProgramPath();
    ASSERT_TRUE(!path.empty());
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_TRUE(size > 0);
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength) && fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u); // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);          // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);

    // One string table: US English (0x0409), Unicode (1200).
    WORD* translation = nullptr;
    UINT translationLength = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                           &translationLength));
    ASSERT_TRUE(translationLength >= 4);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(StringValue(record, "FileVersion"), std::string("1.00"));
    EXPECT_EQ(StringValue(record, "ProductVersion"), std::string("1.00"));
    EXPECT_EQ(StringValue(record, "InternalName"), std::string("Tallowick"));
    EXPECT_EQ(StringValue(record, "OriginalFilename"), std::string("Tallowick.exe"));
    const std::string product = StringValue(record, "ProductName");
    const std::string company = StringValue(record, "CompanyName");
    EXPECT_TRUE(!product.empty() && product != "(missing)");
    EXPECT_TRUE(!company.empty() && company != "(missing)");
}

TEST(ProgramFile, ProgramIconIsResourceOne)
{
    const std::string path = ProgramPath();
    ASSERT_TRUE(!path.empty());
    const HMODULE program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program != nullptr);
    const auto icon = static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
    EXPECT_TRUE(icon != nullptr);
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        BITMAP colour{};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 32L);
        EXPECT_TRUE(info.hbmMask != nullptr); // transparent corners
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(program);
}
