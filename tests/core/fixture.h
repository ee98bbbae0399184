#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/main_window_state.h"
#include "tests/support/memory_drive.h"

namespace tallowick::testing {

// Made before the window that searches it.
struct WithMemoryDrive {
    MemoryDrive drive;
};

// The real main window over an in-memory drive and a windowless runtime.
class MainWindowTest : public ::testing::Test, protected WithMemoryDrive, public RecordedMain {
protected:
    MainWindowTest() : RecordedMain(drive.FileSystems(), drive.Deletions()) {}

    RecordingForms::ControlState& Control(ControlId id) { return forms.State(main, id); }

    std::vector<std::string>& deleted = drive.deletionRequests;
    std::map<std::string, Error>& refusals = drive.refusals;
};

} // namespace tallowick::testing
