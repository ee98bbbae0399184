#include "bench/program_run.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "program/project.h"
#include "platform/linux/side_by_side.h"
#include "platform/linux/wine_drive.h"
#include "platform/qt/qt_forms.h"

namespace tallowick::bench {
namespace {

long StatusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

template <typename Widget>
Widget* Find(QWidget* window, const char* name)
{
    auto* widget = window->findChild<Widget*>(name);
    if (!widget)
        throw std::runtime_error(std::string("no control named ") + name);
    return widget;
}

// Clicks the button and waits until the window has taken in the result.
double TimedClick(QPushButton* button)
{
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

void Expect(bool holds, const std::string& what)
{
    if (!holds)
        throw std::runtime_error(what);
}

} // namespace

ProgramFigures RunProgram(const std::filesystem::path& self, const std::string& mode,
                          const std::filesystem::path& prefix, std::size_t expected)
{
    const std::string command = "'" + self.string() + "' --program " + mode + " '" + prefix.string() + "' " +
                                std::to_string(expected);
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot start " + command);
    char buffer[256] = {};
    const bool read = std::fgets(buffer, sizeof buffer, pipe) != nullptr;
    if (::pclose(pipe) != 0 || !read)
        throw std::runtime_error("the program run failed: " + command);
    ProgramFigures figures;
    std::istringstream(buffer) >> figures.milliseconds >> figures.idleKiB >> figures.peakKiB;
    return figures;
}

int RunProgramChild(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    const std::string mode = argv[2];
    const std::filesystem::path prefix = argv[3];
    const std::size_t expected = std::stoul(argv[4]);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    try {
        QtForms forms;
        Project project(forms, [&] { return OpenWineFileSystem(prefix); }, [&] { return OpenWineFileDeletion(prefix); },
                        DeleteSideBySide);
        Main& main = project.main;
        forms.Show(main);
        QCoreApplication::processEvents();
        QWidget* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "Main")
                window = top;
        Expect(window != nullptr, "no main window");
        auto* status = Find<QLabel>(window, "Label1");
        auto* list = Find<QAbstractItemView>(window, "List1");
        const long idle = StatusKiB("VmRSS");

        double milliseconds = TimedClick(Find<QPushButton>(window, "cmdSrch"));
        Expect(status->text() == QString::number(expected) + " Cookies found.",
               "status after Find: " + status->text().toStdString());
        Expect(static_cast<std::size_t>(list->model()->rowCount()) == expected, "List1 is not filled");
        const long peak = StatusKiB("VmHWM");

        if (mode == "delete") {
            milliseconds = TimedClick(Find<QPushButton>(window, "cmdDelCookies"));
            Expect(status->text() == "Cookies eaten...yum!", "status after Delete: " + status->text().toStdString());
            Expect(list->model()->rowCount() == 0, "List1 is not empty after Delete");
        }
        std::printf("%.3f %ld %ld\n", milliseconds, idle, peak);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "bench program: " << error.what() << "\n";
        return 1;
    }
}

} // namespace tallowick::bench
