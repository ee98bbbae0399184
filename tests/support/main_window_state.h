#pragma once

// Reading the main window's state, written once for every suite: each suite
// says how it reads one control (what a recording runtime kept, a Qt widget,
// a Win32 control), and the tests ask the same questions of all of them.

#include <string>
#include <utility>
#include <vector>

#include "main_window/main_window.h"
#include "program/project.h"
#include "platform/runtime/toolkit_forms.h"
#include "tests/support/recording_forms.h"

namespace tallowick {

// What the window does not show, for the tests that need it.
class MainProbe {
public:
    static bool HasCookieList(const Main& main) { return main.cookieList_ != nullptr; }
    // The program's one About window object, or null before the first About.
    static About* AboutWindow(const Project& project) { return project.about_.get(); }
};

namespace testing {

class MainWindowState {
public:
    virtual ~MainWindowState() = default;

    std::string Status() const { return Caption(main_controls::Label1); }
    std::vector<std::string> Listed() const { return Lines(main_controls::List1); }
    bool FindVisible() const { return Visible(main_controls::cmdSrch); }
    bool DeleteVisible() const { return Visible(main_controls::cmdDelCookies); }

private:
    virtual std::string Caption(ControlId id) const = 0;
    virtual std::vector<std::string> Lines(ControlId id) const = 0; // in the order shown
    virtual bool Visible(ControlId id) const = 0;
};

// The real main window over the given drive, on a windowless runtime that
// records what each control would show.
class RecordedMain : public MainWindowState {
public:
    RecordedMain(FileSystemFactory files, FileDeletionFactory deletions, DeleteInParts inParts = DeleteAsOnePart)
        : project(forms, std::move(files), std::move(deletions), std::move(inParts))
    {
        forms.Show(main);
    }

    // A click as the runtime delivers it: an escaping error is reported.
    void Click(ControlId button)
    {
        RunEventHandler(forms, [&] { main.Click(button); });
    }

    std::vector<std::string> CookieListItems()
    {
        std::vector<std::string> items;
        for (std::size_t i = 1; i <= main.CookieList().Count(); ++i)
            items.emplace_back(main.CookieList().Item(i));
        return items;
    }

    RecordingForms forms;
    Project project;
    Main& main = project.main;

private:
    std::string Caption(ControlId id) const override { return State(id).caption; }
    std::vector<std::string> Lines(ControlId id) const override { return State(id).lines; }
    bool Visible(ControlId id) const override { return State(id).visible; }
    const RecordingForms::ControlState& State(ControlId id) const { return forms.State(main, id); }
};

} // namespace testing
} // namespace tallowick
