#include <QApplication>

#include "program/project.h"
#include "platform/linux/wine_drive.h"
#include "platform/qt/qt_forms.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Ties the windows to the installed tallowick.desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tallowick"));
    tallowick::QtForms forms;

    std::filesystem::path prefix;
    try {
        prefix = tallowick::WinePrefix();
    } catch (const tallowick::Error& error) {
        forms.ReportError(error);
        return 1;
    }
    tallowick::Project project(
        forms, [prefix] { return tallowick::OpenWineFileSystem(prefix); },
        [prefix] { return tallowick::OpenWineFileDeletion(prefix); });

    forms.Show(project.main);
    if (forms.Ended())
        return 0;
    return QApplication::exec();
}
