#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/linux/wine_drive.h"
#include "tests/linux/wine_prefix.h"

namespace tallowick::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

std::vector<std::string> FileNames(Folder& folder)
{
    std::vector<std::string> names;
    for (const FileEntry& file : folder.Files())
        names.emplace_back(file.name);
    return Sorted(names);
}

std::vector<std::string> FilePaths(Folder& folder)
{
    std::vector<std::string> paths;
    for (const FileEntry& file : folder.Files())
        paths.emplace_back(file.path);
    return Sorted(paths);
}

class WineFileSystemTest : public ::testing::Test {
protected:
    std::unique_ptr<FileSystem> Open() { return OpenWineFileSystem(disk.Prefix()); }

    TempWinePrefix disk;
};

TEST_F(WineFileSystemTest, DriveIsWhereDosdevicesPointsElseDriveC)
{
    disk.File(disk.Drive("windows/cookies/in-drive_c.txt"));
    EXPECT_TRUE(Open()->FolderExists("c:\\windows\\cookies"));

    // Once dosdevices/c: exists it is the drive, wherever it leads.
    disk.File(disk.At("elsewhere/windows/cookies/elsewhere.txt"));
    disk.Link(disk.Prefix() / "dosdevices/c:", "../../elsewhere");
    auto fileSystem = Open();
    ASSERT_TRUE(fileSystem->FolderExists("c:\\windows\\cookies"));
    EXPECT_EQ(FileNames(*fileSystem->GetFolder("c:\\windows\\cookies")), std::vector<std::string>{"elsewhere.txt"});

    // A mapping that leads nowhere is a drive that is not there.
    fs::remove(disk.Prefix() / "dosdevices/c:");
    disk.Link(disk.Prefix() / "dosdevices/c:", "../../gone");
    EXPECT_FALSE(Open()->FolderExists("c:\\windows"));
}

TEST_F(WineFileSystemTest, MissingPrefixHasNoFolders)
{
    auto fileSystem = OpenWineFileSystem(disk.At("no-such-prefix"));
    EXPECT_FALSE(fileSystem->FolderExists("c:"));
    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows"));
    EXPECT_THROW(fileSystem->GetFolder("c:\\windows"), FolderUnavailable);
}

TEST_F(WineFileSystemTest, OnlyDriveCInEitherCaseIsMapped)
{
    disk.Folder(disk.Drive("windows"));
    auto fileSystem = Open();
    EXPECT_TRUE(fileSystem->FolderExists("c:\\windows"));
    EXPECT_TRUE(fileSystem->FolderExists("C:\\windows"));
    EXPECT_FALSE(fileSystem->FolderExists("d:\\windows"));
    EXPECT_FALSE(fileSystem->FolderExists("windows"));
    EXPECT_FALSE(fileSystem->FolderExists("\\windows"));
}

TEST_F(WineFileSystemTest, ComponentsMatchRegardlessOfCaseAndReportOnDiskNames)
{
    disk.File(disk.Drive("windows/Cookies/a.txt"));
    disk.Folder(disk.Drive("windows/Cookies/Old"));
    auto fileSystem = Open();

    ASSERT_TRUE(fileSystem->FolderExists("c:\\WINDOWS\\cookies"));
    auto cookies = fileSystem->GetFolder("c:\\windows\\cookies");
    EXPECT_EQ(FilePaths(*cookies), std::vector<std::string>{"c:\\windows\\Cookies\\a.txt"});
    EXPECT_EQ(cookies->SubFolders(), std::vector<std::string>{"c:\\windows\\Cookies\\Old"});
    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows\\cookie"));
}

TEST_F(WineFileSystemTest, ExactNameWinsOverCaseTwinsAndTwinsPickSmallestName)
{
    disk.File(disk.Drive("windows/cookies/exact.txt"));
    disk.File(disk.Drive("windows/Cookies/twin.txt"));
    disk.File(disk.Drive("windows/Profiles/upper.txt"));
    disk.File(disk.Drive("windows/profileS/lower.txt"));
    auto fileSystem = Open();

    EXPECT_EQ(FilePaths(*fileSystem->GetFolder("c:\\windows\\cookies")),
              std::vector<std::string>{"c:\\windows\\cookies\\exact.txt"});
    EXPECT_EQ(FilePaths(*fileSystem->GetFolder("c:\\windows\\Cookies")),
              std::vector<std::string>{"c:\\windows\\Cookies\\twin.txt"});
    // "Profiles" < "profileS" in byte order.
    EXPECT_EQ(FilePaths(*fileSystem->GetFolder("c:\\windows\\profiles")),
              std::vector<std::string>{"c:\\windows\\Profiles\\upper.txt"});
}

TEST_F(WineFileSystemTest, AnExactEntryThatIsAFileIsNoFolder)
{
    disk.File(disk.Drive("windows/cookies"));
    disk.File(disk.Drive("windows/Cookies/hidden.txt"));
    EXPECT_FALSE(Open()->FolderExists("c:\\windows\\cookies"));
}

TEST_F(WineFileSystemTest, MalformedPathsNameNoFolder)
{
    disk.Folder(disk.Drive("windows/cookies"));
    disk.Folder(disk.At("prefix/dosdevices"));
    auto fileSystem = Open();
    for (const char* path : {"c:\\windows\\..\\windows", "c:\\windows\\.", "c:\\windows\\\\cookies",
                             "c:\\windows\\", "c:\\", "c:\\..", "c:\\..\\dosdevices", "c:/windows",
                             "c:\\windows/cookies", "c:windows", "1:\\windows"}) {
        EXPECT_FALSE(fileSystem->FolderExists(path)) << path;
    }
    EXPECT_TRUE(fileSystem->FolderExists("c:\\windows\\cookies"));
}

TEST_F(WineFileSystemTest, FolderLinksAreNeitherWalkedNorListed)
{
    disk.File(disk.At("outside/cookies/secret.txt"));
    disk.Folder(disk.Drive("windows/Profiles/user1/cookies"));
    disk.Link(disk.Drive("windows/Profiles/linked"), disk.At("outside"));
    disk.Link(disk.Drive("windows/cookies"), disk.At("outside/cookies"));
    auto fileSystem = Open();

    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows\\cookies"));
    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows\\Profiles\\linked\\cookies"));
    EXPECT_EQ(fileSystem->GetFolder("c:\\windows\\Profiles")->SubFolders(),
              std::vector<std::string>{"c:\\windows\\Profiles\\user1"});
}

TEST_F(WineFileSystemTest, FilesAreRegularFilesAndLinksStandingWhereFilesAre)
{
    const fs::path folder = disk.Drive("windows/cookies");
    disk.File(folder / "plain.txt");
    disk.File(disk.At("outside/target.txt"));
    disk.Link(folder / "to-file.txt", disk.At("outside/target.txt"));
    disk.Link(folder / "dangling.txt", disk.At("outside/nothing"));
    disk.Link(folder / "to-folder.txt", disk.At("outside"));
    disk.Folder(folder / "folder.txt");
    ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0600), 0);

    auto cookies = Open()->GetFolder("c:\\windows\\cookies");
    EXPECT_EQ(FileNames(*cookies), (std::vector<std::string>{"dangling.txt", "plain.txt", "to-file.txt"}));
    EXPECT_EQ(cookies->SubFolders(), std::vector<std::string>{"c:\\windows\\cookies\\folder.txt"});
}

TEST_F(WineFileSystemTest, NamesThatCouldAliasAnotherPathAreNotReported)
{
    const fs::path folder = disk.Drive("windows/cookies");
    disk.File(folder / "sub\\x.txt");
    disk.Folder(folder / "bad\\dir");
    disk.File(folder / "\xff\xfe.txt");
    disk.File(folder / "\xc0\xaf.txt"); // overlong "/"
    disk.File(folder / "caf\xc3\xa9.txt");

    auto cookies = Open()->GetFolder("c:\\windows\\cookies");
    EXPECT_EQ(FileNames(*cookies), std::vector<std::string>{"caf\xc3\xa9.txt"});
    EXPECT_TRUE(cookies->SubFolders().empty());
}

TEST_F(WineFileSystemTest, AFolderGoneBeforeItIsOpenedIsUnavailable)
{
    disk.Folder(disk.Drive("windows/cookies"));
    auto fileSystem = Open();
    ASSERT_TRUE(fileSystem->FolderExists("c:\\windows\\cookies"));
    fs::remove_all(disk.Drive("windows"));
    auto other = Open();
    try {
        other->GetFolder("c:\\windows\\cookies");
        FAIL() << "a vanished folder was opened";
    } catch (const FolderUnavailable& error) {
        EXPECT_EQ(error.number(), ENOENT);
        EXPECT_NE(error.description().find("c:\\windows\\cookies"), std::string::npos) << error.description();
    }
}

TEST(WinePrefixTest, ComesFromWineprefixElseHome)
{
    auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto prefix = saved("WINEPREFIX");
    const auto home = saved("HOME");

    ::setenv("WINEPREFIX", "/srv/wine/games", 1);
    ::setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(WinePrefix(), fs::path("/srv/wine/games"));
    ::unsetenv("WINEPREFIX");
    EXPECT_EQ(WinePrefix(), fs::path("/home/ann/.wine"));
    ::setenv("WINEPREFIX", "", 1);
    EXPECT_EQ(WinePrefix(), fs::path("/home/ann/.wine"));

    auto restore = [](const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    };
    restore("WINEPREFIX", prefix);
    restore("HOME", home);
}

} // namespace
} // namespace tallowick::testing
