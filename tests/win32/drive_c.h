#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/files/win32_disk.h"
#include "tests/support/main_window_state.h"

namespace tallowick::testing {

// Drive C: of the Wine prefix the tests run in, through the W functions and
// "\\?\" paths so that every name is made and checked exactly. Paths are
// UTF-8, in Windows form.
namespace drive_c {

void MakeFolders(const std::string& path);
// A small file, its folders made first; `attributes` such as hidden or
// read-only are set after it is written.
void MakeFile(const std::string& path, unsigned long attributes = 0);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
unsigned long Attributes(const std::string& path); // INVALID_FILE_ATTRIBUTES if none
// The 8.3 name the file system gave the entry, empty if it has none.
std::string ShortName(const std::string& path);
// Removes a folder and everything in it, read-only files included; a linked
// folder inside is never entered, so nothing behind a link is touched.
void RemoveTree(const std::string& path);
// Whether `text` survives the ANSI code page both ways.
bool FitsAnsiCodePage(const std::string& text);

} // namespace drive_c

// The main window over the real Windows file system, with a windowless
// forms runtime that records what the window shows.
struct WindowOnDriveC : RecordedMain {
    explicit WindowOnDriveC(win32::FileNames names = win32::FileNames::SystemChoice);
};

// Every test starts and ends with none of the searched folders on drive C:
// ("c:\windows" itself stays; it is the prefix's own).
class DriveCTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace tallowick::testing
