#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <QApplication>

#ifdef TALLOWICK_HAVE_XCB
#include <xcb/xcb.h>
#endif

#include "program/project.h"
#include "platform/linux/side_by_side.h"
#include "platform/linux/wine_drive.h"
#include "platform/qt/qt_forms.h"

namespace {

constexpr char kUsage[] = R"(Usage: tallowick [--help | --version] [Qt option]...

Finds the cookie files that an old Windows web browser kept in the C: drive
of a Wine prefix, lists them in a window and deletes them all when asked.

Options:
  --help       print this help and exit
  --version    print the version and exit
  Qt's own options are taken too, for example -platform offscreen,
  -display :1 or -style fusion.

Environment:
  WINEPREFIX   the Wine prefix whose drive C: is searched (default: ~/.wine)
  DISPLAY      the X display that the window opens on

The manual page tallowick(1) names the folders searched.
)";

// The options that QApplication takes off the command line itself, with one
// dash or two: those followed by a value, those that stand alone, and those
// whose value follows an equals sign.
constexpr std::string_view kQtOptionsWithValue[]{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "session", "display", "name", "visual",
    "style", "stylesheet"};
constexpr std::string_view kQtFlags[]{
    "reverse", "nograb", "dograb", "testability", "widgetcount", "qdebug", "qdevel"};
constexpr std::string_view kQtOptionsWithAttachedValue[]{"style=", "stylesheet=", "qmljsdebugger="};

int Misused(const std::string& why)
{
    std::fprintf(stderr, "tallowick: %s\n\n%s", why.c_str(), kUsage);
    return 2;
}

std::string_view Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Why the window cannot open, or nothing: asked before Qt, which aborts when
// it finds no display. Only X11 is asked about; on any other platform Qt answers.
std::string NoDisplay(std::string_view platform, std::string_view displayOption)
{
    if (platform.empty())
        platform = Environment("QT_QPA_PLATFORM");
    platform = platform.substr(0, platform.find(':'));
    // With no platform chosen, Qt may well start on Wayland.
    if (platform.empty() ? !Environment("WAYLAND_DISPLAY").empty() : platform != "xcb")
        return {};
    const std::string display(displayOption.empty() ? Environment("DISPLAY") : displayOption);
    if (display.empty())
        return "no display (DISPLAY is not set)";
#ifdef TALLOWICK_HAVE_XCB
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!answers)
        return "no display at " + std::string(displayOption.empty() ? "DISPLAY=" : "-display ") + display;
#endif
    return {};
}

// The terminal's conventions, answered before Qt starts, which would abort
// with a core dump where there is no display. Qt's own options pass through.
// Gives the status to end with, or nothing when the window is to be shown.
std::optional<int> AnswerCommandLine(int argc, char** argv)
{
    std::map<std::string_view, std::string_view> values; // of Qt's options, by name
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--version") {
            std::printf("tallowick %s\n", TALLOWICK_VERSION);
            return 0;
        }
        if (!argument.starts_with('-'))
            return Misused("unexpected argument '" + std::string(argument) + "'");
        const std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
        if (std::ranges::find(kQtFlags, name) != std::end(kQtFlags)
            || std::ranges::any_of(kQtOptionsWithAttachedValue,
                                   [name](std::string_view option) { return name.starts_with(option); }))
            continue;
        if (std::ranges::find(kQtOptionsWithValue, name) == std::end(kQtOptionsWithValue))
            return Misused("unknown option '" + std::string(argument) + "'");
        if (++i == argc)
            return Misused("option '" + std::string(argument) + "' needs a value");
        values[name] = argv[i];
    }
    if (const std::string missing = NoDisplay(values["platform"], values["display"]); !missing.empty()) {
        std::fprintf(stderr, "tallowick: cannot open the window: %s\n", missing.c_str());
        return 1;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const auto status = AnswerCommandLine(argc, argv))
        return *status;
    QApplication app(argc, argv);
    // Ties the windows to the installed tallowick.desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tallowick"));
    tallowick::QtForms forms;

    const std::filesystem::path prefix = tallowick::WinePrefix();
    tallowick::Project project(
        forms, [prefix] { return tallowick::OpenWineFileSystem(prefix); },
        [prefix] { return tallowick::OpenWineFileDeletion(prefix); }, tallowick::DeleteSideBySide);

    forms.Show(project.main);
    return forms.Ended() ? forms.ExitCode() : QApplication::exec();
}
