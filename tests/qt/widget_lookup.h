#pragma once

#include <QApplication>
#include <QCloseEvent>
#include <QListView>
#include <QRect>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include "tests/support/memory_drive.h"
#include "platform/layout.h"
#include "platform/qt/qt_forms.h"

namespace tallowick::test {

// The loaded top-level window with this object name, or null.
inline QWidget* FindWindow(const QString& name)
{
    QWidget* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            found = widget;
    return found;
}

inline int CountWindows(const QString& name)
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            ++count;
    return count;
}

inline QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

inline QRect PixelRect(const ControlLayout& row)
{
    return {row.left / 15, row.top / 15, row.width / 15, row.height / 15};
}

// The lines a list box shows, read through its model.
inline QStringList ShownLines(QListView* list)
{
    QStringList lines;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        lines << model->data(model->index(row, 0)).toString();
    return lines;
}

inline QStringList ToQStringList(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const std::string& text : texts)
        list << QString::fromStdString(text);
    return list;
}

inline bool IsCentredOnScreen(const QWidget* window)
{
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    const QPoint offset = window->geometry().center() - centre;
    return std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1;
}

// What the window manager sends when the title bar's close box is clicked.
inline void CloseThroughTitleBar(QWidget* window)
{
    QCloseEvent close;
    QApplication::sendEvent(window->windowHandle(), &close);
}

struct RecordedMessage {
    MessageKind kind;
    QString title;
    QString text;
};

// The program's main window on an in-memory disk, with message boxes
// answered at once and recorded.
struct Program {
    testing::MemoryDrive disk;
    QtForms forms;
    Main main{forms, disk.FileSystems(), disk.Deletions()};
    std::vector<RecordedMessage> messages;

    Program()
    {
        forms.SetMessagePresenter([this](MessageKind kind, const QString& title, const QString& text) {
            messages.push_back({kind, title, text});
        });
    }
};

} // namespace tallowick::test

// Lookups that fail the test with the name that was not found.
#define FIND_WINDOW(var, name)                                                                         \
    QWidget* var = ::tallowick::test::FindWindow(name);                                                \
    QVERIFY2(var != nullptr, qPrintable(QStringLiteral("no loaded window named \"%1\"").arg(name)))

#define FIND_CONTROL(var, Type, window, name)                                                          \
    Type* var = (window)->findChild<Type*>(name, Qt::FindDirectChildrenOnly);                          \
    QVERIFY2(var != nullptr, qPrintable(QStringLiteral("no " #Type " named \"%1\" in window \"%2\"")   \
                                            .arg(name, (window)->objectName())))
