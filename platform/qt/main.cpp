#include <QApplication>

#include "program/project.h"
#include "platform/linux/wine_drive.h"
#include "platform/qt/command_line.h"
#include "platform/qt/qt_forms.h"

int main(int argc, char* argv[])
{
    if (const auto status = tallowick::AnswerCommandLine(argc, argv))
        return *status;
    QApplication app(argc, argv);
    // Ties the windows to the installed tallowick.desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tallowick"));
    tallowick::QtForms forms;

    const std::filesystem::path prefix = tallowick::WinePrefix();
    tallowick::Project project(
        forms, [prefix] { return tallowick::OpenWineFileSystem(prefix); },
        [prefix] { return tallowick::OpenWineFileDeletion(prefix); });

    forms.Show(project.main);
    return forms.Ended() ? forms.ExitCode() : QApplication::exec();
}
