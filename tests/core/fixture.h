#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "main_window/main_layout.h"
#include "main_window/main_window.h"
#include "platform/event_handler.h"
#include "tests/support/memory_drive.h"
#include "tests/support/recording_forms.h"

namespace tallowick::testing {

// The real main window over an in-memory drive and a windowless runtime.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        forms.Show(main);
    }

    void Click(ControlId button)
    {
        RunEventHandler(forms, [&] { main.Click(button); });
    }

    RecordingForms::ControlState& Control(ControlId id) { return forms.State(main, id); }
    std::string Status() { return Control(main_controls::Label1).caption; }
    std::vector<std::string> Listed() { return Control(main_controls::List1).lines; }
    bool FindVisible() { return Control(main_controls::cmdSrch).visible; }
    bool DeleteVisible() { return Control(main_controls::cmdDelCookies).visible; }

    std::vector<std::string> CookieListItems()
    {
        std::vector<std::string> items;
        for (std::size_t i = 1; i <= main.CookieList().Count(); ++i)
            items.push_back(main.CookieList().Item(i));
        return items;
    }

    MemoryDrive drive;
    std::vector<std::string>& deleted = drive.deletionRequests;
    std::map<std::string, Error>& refusals = drive.refusals;
    RecordingForms forms;
    Main main{forms, drive.FileSystems(), drive.Deletions()};
};

} // namespace tallowick::testing
