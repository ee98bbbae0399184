// The rules for the user's files, once for both platforms, on a scripted
// disk that answers each question as told and records what it was asked.

#include <map>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/rules/rule_book.h"
#include "platform/text/utf8.h"
#include "platform/rules/windows_path.h"

namespace tallowick::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr long kGone = 2;
constexpr long kDenied = 5;
constexpr long kBroken = 31;

struct ScriptedEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
    EntryKind linkTarget = EntryKind::Missing;
};

class ScriptedDisk final : public Disk {
public:
    // Paths are compared exactly; what is not scripted is Missing.
    std::map<std::string, EntryAnswer> entries;
    std::map<std::string, std::vector<ScriptedEntry>> folders;
    std::map<std::string, long> removalErrors;
    std::map<std::string, HeldEntry> held; // what a handle would hold; unscripted: nothing held
    bool removalRefusesReadOnly = false;

    std::vector<std::string> examined;
    std::vector<std::string> removed;

    void Folder(const std::string& path) { entries[path] = {EntryKind::Folder, false, 0}; }
    void File(const std::string& path, bool readOnly = false) { entries[path] = {EntryKind::File, readOnly, 0}; }

    const NameRules& Names() const override { return kWindowsDriveNames; }

    EntryAnswer Examine(const WindowsPath& path, std::size_t depth) override
    {
        const std::string prefix(path.Prefix(depth));
        examined.push_back(prefix);
        const auto found = entries.find(prefix);
        return found == entries.end() ? EntryAnswer{} : found->second;
    }

    long List(const WindowsPath& path, std::string& shownPath, const Take& take) override
    {
        shownPath = path.Text();
        const auto found = folders.find(shownPath);
        if (found == folders.end())
            return kGone;
        for (const ScriptedEntry& entry : found->second)
            take({entry.name, entry.name, entry.kind, entry.linkTarget});
        return 0;
    }

    HeldEntry Hold(const WindowsPath& path) override
    {
        const auto found = held.find(std::string(path.Text()));
        return found == held.end() ? HeldEntry{} : found->second;
    }

    long Remove(const WindowsPath& path) override
    {
        const std::string text(path.Text());
        const auto answer = entries.find(text);
        if (const auto error = removalErrors.find(text); error != removalErrors.end())
            return error->second;
        if (answer == entries.end())
            return kGone;
        if (answer->second.kind == EntryKind::Folder || (removalRefusesReadOnly && answer->second.readOnly))
            return kDenied;
        removed.push_back(text);
        entries.erase(answer);
        return 0;
    }
    bool RemovalRefusesReadOnlyFiles() const override { return removalRefusesReadOnly; }

    bool MeansUnavailable(long error) const override { return error == kGone || error == kDenied; }
    std::string ErrorText(long error) const override { return "system error " + std::to_string(error); }
};

TEST(WindowsPath, IsADriveLetterAndPlainNamesOnly)
{
    const auto path = WindowsPath::Parse("C:\\windows\\Cookies\\a[1].txt", kWindowsDriveNames);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->Drive(), 'c');
    EXPECT_EQ(path->Depth(), 3u);
    EXPECT_EQ(path->Name(1), "Cookies");
    EXPECT_EQ(path->Prefix(0), "C:");
    EXPECT_EQ(path->Prefix(2), "C:\\windows\\Cookies");

    using namespace std::string_literals;
    for (const std::string& text : {"c:"s, "c:\\"s, "c:windows"s, "\\windows"s, "windows\\cookies"s, "1:\\windows"s,
                                   "c:\\windows\\"s, "c:\\\\windows"s, "c:\\windows\\..\\x"s, "c:\\windows\\.\\x"s,
                                   "c:\\windows/cookies"s, "c:\\win\0dows"s, "c:\\caf\xc3"s})
        EXPECT_FALSE(WindowsPath::Parse(text, kUnixDriveNames)) << text;
}

TEST(WindowsPath, EachDriveHasItsOwnAlphabet)
{
    // A Unix name may hold wildcards and control characters, but must be UTF-8.
    EXPECT_TRUE(IsNameOnDrive("a*?[1].txt", kUnixDriveNames));
    EXPECT_TRUE(IsNameOnDrive("tab\there.txt", kUnixDriveNames));
    EXPECT_FALSE(IsNameOnDrive("\xff\xfe.txt", kUnixDriveNames));
    EXPECT_FALSE(IsNameOnDrive("\xed\xa0\x80.txt", kUnixDriveNames)); // a lone surrogate
    // A Windows name never holds a wildcard, but may hold a lone surrogate.
    for (const char* name : {"a*.txt", "a?.txt", "a:b.txt", "a\"b", "a<b", "a|b", "tab\there.txt"})
        EXPECT_FALSE(IsNameOnDrive(name, kWindowsDriveNames)) << name;
    EXPECT_TRUE(IsNameOnDrive("\xed\xa0\x80.txt", kWindowsDriveNames));
    EXPECT_TRUE(IsNameOnDrive("caf\xc3\xa9 [1].txt", kWindowsDriveNames));
}

TEST(Utf8, DecodesShortestFormsOnly)
{
    std::size_t pos = 0;
    EXPECT_EQ(DecodeUtf8("\xe2\x82\xac", pos), char32_t{0x20AC});
    EXPECT_EQ(pos, 3u);
    for (const char* bad : {"\xc0\xaf", "\xe0\x80\xaf", "\xf4\x90\x80\x80", "\x80", "\xe2\x82"}) {
        pos = 0;
        EXPECT_FALSE(DecodeUtf8(bad, pos)) << bad;
    }
}

class DeletionRules : public ::testing::Test {
protected:
    DeletionRules()
    {
        disk.Folder("c:\\windows");
        disk.Folder("c:\\windows\\cookies");
    }

    DeletionResult Delete(const std::string& path)
    {
        if (!deletion)
            deletion = OpenDriveDeletion(std::unique_ptr<Disk>(owned.release()));
        return deletion->DeleteFile(path);
    }

    std::unique_ptr<ScriptedDisk> owned = std::make_unique<ScriptedDisk>();
    ScriptedDisk& disk = *owned;
    std::unique_ptr<FileDeletion> deletion;
};

TEST_F(DeletionRules, EachRefusalHasOneWordingAndTheSystemsNumber)
{
    disk.File("c:\\windows\\cookies\\locked.txt", true);
    disk.Folder("c:\\windows\\cookies\\folder.txt");
    disk.entries["c:\\windows\\linked"] = {EntryKind::Link, false, 0};

    DeletionResult result = Delete("c:\\windows\\cookies\\locked.txt");
    EXPECT_EQ(result.outcome, DeletionOutcome::Failed);
    EXPECT_EQ(result.error.number(), 0); // the program's own words carry no system number
    EXPECT_EQ(result.error.description(), "c:\\windows\\cookies\\locked.txt: The file is read-only.");

    result = Delete("c:\\windows\\cookies\\folder.txt");
    EXPECT_EQ(result.error.description(), "c:\\windows\\cookies\\folder.txt: It is a folder, not a file.");

    result = Delete("c:\\windows\\linked\\cookies\\x.txt");
    EXPECT_EQ(result.outcome, DeletionOutcome::Failed);
    EXPECT_EQ(result.error.description(), "c:\\windows\\linked\\cookies\\x.txt: The folder c:\\windows\\linked is a "
                                          "link; nothing behind a link is searched or deleted.");

    result = Delete("c:\\windows\\cookies\\*.txt");
    EXPECT_EQ(result.error.number(), 0);
    EXPECT_THAT(result.error.description(), ::testing::StartsWith("c:\\windows\\cookies\\*.txt: It is not a plain path"));

    EXPECT_THAT(disk.removed, IsEmpty());
    EXPECT_TRUE(disk.entries.count("c:\\windows\\cookies\\locked.txt"));
}

TEST_F(DeletionRules, WhatIsGoneCountsAsDeletedAndOtherFailuresKeepTheSystemsWords)
{
    disk.File("c:\\windows\\cookies\\a.txt");
    disk.File("c:\\windows\\cookies\\busy.txt");
    disk.File("c:\\windows\\profiles"); // a file where a folder was
    disk.removalErrors["c:\\windows\\cookies\\busy.txt"] = kBroken;
    disk.entries["c:\\winnt"] = {EntryKind::Unreadable, false, kDenied};

    EXPECT_EQ(Delete("c:\\windows\\cookies\\a.txt").outcome, DeletionOutcome::Deleted);
    EXPECT_EQ(Delete("c:\\windows\\cookies\\never.txt").outcome, DeletionOutcome::AlreadyGone);
    EXPECT_EQ(Delete("c:\\windows\\nofolder\\a.txt").outcome, DeletionOutcome::AlreadyGone);
    EXPECT_EQ(Delete("c:\\windows\\profiles\\u\\cookies\\a.txt").outcome, DeletionOutcome::AlreadyGone);

    DeletionResult busy = Delete("c:\\windows\\cookies\\busy.txt");
    EXPECT_EQ(busy.outcome, DeletionOutcome::Failed);
    EXPECT_EQ(busy.error.number(), kBroken);
    EXPECT_EQ(busy.error.description(), "c:\\windows\\cookies\\busy.txt: system error 31");

    DeletionResult unreadable = Delete("c:\\winnt\\cookies\\a.txt");
    EXPECT_EQ(unreadable.error.number(), kDenied);
    EXPECT_EQ(unreadable.error.description(), "c:\\winnt: system error 5");
    EXPECT_THAT(disk.removed, ElementsAre("c:\\windows\\cookies\\a.txt"));
}

// A name that reached its entry only through another spelling (Wine's
// lookup ignores letter case) reached a twin: the listed file is gone. A
// held file that lies behind a link is refused in the rules' words.
TEST_F(DeletionRules, OnlyTheEntrySpelledAsListedIsTakenAndNeverThroughALink)
{
    disk.File("c:\\windows\\cookies\\a.txt");
    disk.entries["c:\\windows\\cookies\\a.txt"].otherSpelling = true;
    disk.Folder("c:\\windows\\profiles");
    disk.entries["c:\\windows\\profiles"].otherSpelling = true;
    disk.File("c:\\windows\\profiles\\b.txt");
    disk.File("c:\\windows\\cookies\\twin.txt");
    disk.held["c:\\windows\\cookies\\twin.txt"] = {.otherSpelling = true};
    disk.File("c:\\windows\\cookies\\link.txt");
    disk.held["c:\\windows\\cookies\\link.txt"] = {.throughLink = true};

    EXPECT_EQ(Delete("c:\\windows\\cookies\\a.txt").outcome, DeletionOutcome::AlreadyGone);
    EXPECT_EQ(Delete("c:\\windows\\profiles\\b.txt").outcome, DeletionOutcome::AlreadyGone);
    EXPECT_EQ(Delete("c:\\windows\\cookies\\twin.txt").outcome, DeletionOutcome::AlreadyGone);
    const DeletionResult link = Delete("c:\\windows\\cookies\\link.txt");
    EXPECT_EQ(link.outcome, DeletionOutcome::Failed);
    EXPECT_EQ(link.error.description(),
              "c:\\windows\\cookies\\link.txt: It is a link; nothing behind a link is searched or deleted.");
    EXPECT_THAT(disk.removed, IsEmpty());
}

// Where the system's removal refuses read-only files itself, a file is not
// examined first; it is examined only to explain a failure, and the refusal
// reads the same.
TEST_F(DeletionRules, AFileIsExaminedFirstOnlyWhereTheRemovalWouldNotRefuse)
{
    disk.removalRefusesReadOnly = true;
    disk.File("c:\\windows\\cookies\\a.txt");
    disk.File("c:\\windows\\cookies\\locked.txt", true);

    EXPECT_EQ(Delete("c:\\windows\\cookies\\a.txt").outcome, DeletionOutcome::Deleted);
    const DeletionResult locked = Delete("c:\\windows\\cookies\\locked.txt");
    EXPECT_EQ(locked.error.description(), "c:\\windows\\cookies\\locked.txt: The file is read-only.");
    EXPECT_THAT(disk.examined, ElementsAre("c:\\windows", "c:\\windows\\cookies", "c:\\windows\\cookies\\locked.txt"));
}

// Each folder on the way is asked about once a round, when the first file in
// it is deleted: never at the search, so a folder made a link since is refused.
TEST_F(DeletionRules, FoldersAreAskedOnceARoundWhenTheirFirstFileGoes)
{
    disk.Folder("c:\\windows\\profiles");
    disk.Folder("c:\\windows\\profiles\\u");
    disk.Folder("c:\\windows\\profiles\\u\\cookies");
    for (const char* file : {"c:\\windows\\cookies\\1.txt", "c:\\windows\\cookies\\2.txt",
                             "c:\\windows\\profiles\\u\\cookies\\3.txt", "c:\\windows\\cookies\\4.txt"})
        disk.File(file);

    for (const char* file : {"c:\\windows\\cookies\\1.txt", "c:\\windows\\cookies\\2.txt",
                             "c:\\windows\\profiles\\u\\cookies\\3.txt", "c:\\windows\\cookies\\4.txt"})
        EXPECT_EQ(Delete(file).outcome, DeletionOutcome::Deleted) << file;

    std::vector<std::string> folders;
    for (const std::string& asked : disk.examined)
        if (!asked.ends_with(".txt"))
            folders.push_back(asked);
    EXPECT_THAT(folders, ElementsAre("c:\\windows", "c:\\windows\\cookies", "c:\\windows\\profiles",
                                     "c:\\windows\\profiles\\u", "c:\\windows\\profiles\\u\\cookies"));

    // A new round asks again, and finds the link.
    disk.entries["c:\\windows\\cookies"] = {EntryKind::Link, false, 0};
    disk.File("c:\\windows\\cookies\\5.txt");
    deletion = OpenDriveDeletion(std::make_unique<ScriptedDisk>(disk));
    EXPECT_EQ(Delete("c:\\windows\\cookies\\5.txt").outcome, DeletionOutcome::Failed);
}

TEST(SearchRules, FilesAreFilesAndLinksToFilesSubfoldersAreRealFolders)
{
    auto disk = std::make_unique<ScriptedDisk>();
    disk->Folder("c:\\windows");
    disk->Folder("c:\\windows\\cookies");
    disk->folders["c:\\windows\\cookies"] = {
        {"a.txt", EntryKind::File},
        {"sub", EntryKind::Folder},
        {"tofile.txt", EntryKind::Link, EntryKind::File},
        {"dangling.txt", EntryKind::Link, EntryKind::Missing},
        {"tofolder.txt", EntryKind::Link, EntryKind::Folder},
        {"pipe.txt", EntryKind::Other},
        {"wild*.txt", EntryKind::File}, // no Windows path could name it alone
    };
    const auto fileSystem = OpenDriveFileSystem(std::move(disk));

    ASSERT_TRUE(fileSystem->FolderExists("c:\\windows\\cookies"));
    const auto folder = fileSystem->GetFolder("c:\\windows\\cookies");
    std::vector<std::string> files;
    for (const FileEntry& file : folder->Files())
        files.emplace_back(file.path);
    EXPECT_THAT(files, ElementsAre("c:\\windows\\cookies\\a.txt", "c:\\windows\\cookies\\tofile.txt",
                                   "c:\\windows\\cookies\\dangling.txt"));
    EXPECT_THAT(folder->SubFolders(), ElementsAre("c:\\windows\\cookies\\sub"));
}

TEST(SearchRules, LinkedMissingAndUnreadableFoldersAreNoFoldersOtherFailuresEndTheSearch)
{
    auto owned = std::make_unique<ScriptedDisk>();
    ScriptedDisk& disk = *owned;
    disk.Folder("c:\\windows");
    disk.entries["c:\\windows\\cookies"] = {EntryKind::Link, false, 0};
    disk.entries["c:\\windows\\profiles"] = {EntryKind::Unreadable, false, kDenied};
    disk.entries["c:\\windows\\Temporary Internet Files"] = {EntryKind::Unreadable, false, kBroken};
    disk.File("c:\\winnt");
    const auto fileSystem = OpenDriveFileSystem(std::move(owned));

    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows\\cookies"));
    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows\\cookies\\u\\cookies"));
    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows\\profiles"));
    EXPECT_FALSE(fileSystem->FolderExists("c:\\winnt"));
    EXPECT_FALSE(fileSystem->FolderExists("c:\\windows\\*"));
    EXPECT_THROW(fileSystem->FolderExists("c:\\windows\\Temporary Internet Files"), Error);
    // Opened directly, a linked folder is never listed.
    EXPECT_THROW(fileSystem->GetFolder("c:\\windows\\cookies"), FolderUnavailable);
    EXPECT_THROW(fileSystem->GetFolder("c:\\windows\\gone"), FolderUnavailable);
}

} // namespace
} // namespace tallowick::testing
