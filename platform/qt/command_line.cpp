#include "platform/qt/command_line.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#ifdef TALLOWICK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace tallowick {
namespace {

constexpr std::string_view kUsage =
    "Usage: tallowick [--help | --version] [Qt option]...\n"
    "\n"
    "Finds the cookie files that an old Windows web browser kept in the C: drive\n"
    "of a Wine prefix, lists them in a window and deletes them all when asked.\n"
    "\n"
    "Options:\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    "  Qt's own options are taken too, for example -platform offscreen,\n"
    "  -display :1 or -style fusion.\n"
    "\n"
    "Environment:\n"
    "  WINEPREFIX   the Wine prefix whose drive C: is searched (default: ~/.wine)\n"
    "  DISPLAY      the X display that the window opens on\n"
    "\n"
    "The manual page tallowick(1) names the folders searched.\n";

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
    std::fprintf(stderr, "tallowick: %s\n\n%.*s", why.c_str(), static_cast<int>(kUsage.size()), kUsage.data());
    return 2;
}

std::string_view Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Whether an X server takes connections at that display name.
bool XServerAnswers([[maybe_unused]] const std::string& display)
{
#ifdef TALLOWICK_HAVE_XCB
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
#else
    return true; // Qt finds out for itself
#endif
}

// Why the window cannot open, or nothing. Qt aborts when its platform finds
// no display; the same question asked first gives one line instead. Only
// the X11 platform is asked about: on any other one chosen, Qt answers.
std::string NoDisplay(std::string_view platform, std::string_view displayOption)
{
    if (platform.empty())
        platform = Environment("QT_QPA_PLATFORM");
    platform = platform.substr(0, platform.find(':'));
    if (!platform.empty() && platform != "xcb")
        return {};
    if (platform.empty() && !Environment("WAYLAND_DISPLAY").empty())
        return {}; // Qt may well start on Wayland
    const std::string display(displayOption.empty() ? Environment("DISPLAY") : displayOption);
    if (display.empty())
        return "no display (DISPLAY is not set)";
    if (!XServerAnswers(display))
        return "no display at " + std::string(displayOption.empty() ? "DISPLAY=" : "-display ") + display;
    return {};
}

} // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv)
{
    std::string_view platform;
    std::string_view display;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
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
        if (name == "platform")
            platform = argv[i];
        else if (name == "display")
            display = argv[i];
    }
    if (const std::string missing = NoDisplay(platform, display); !missing.empty()) {
        std::fprintf(stderr, "tallowick: cannot open the window: %s\n", missing.c_str());
        return 1;
    }
    return std::nullopt;
}

} // namespace tallowick
