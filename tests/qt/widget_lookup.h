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

#include <QAbstractButton>
#include <QLabel>

#include "platform/interfaces/layout.h"
#include "platform/qt/qt_forms.h"
#include "tests/support/main_window_state.h"
#include "tests/support/memory_drive.h"

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

// The program's main window on an in-memory disk, with message boxes
// answered at once and recorded. Its state is read from the widgets.
struct Program : testing::MainWindowState {
    testing::MemoryDrive disk;
    QtForms forms;
    Project project{forms, disk.FileSystems(), disk.Deletions()};
    Main& main = project.main;
    std::vector<Message> messages;

    Program()
    {
        forms.SetMessagePresenter([this](const Message& message) { messages.push_back(message); });
    }

private:
    QWidget* Control(ControlId id) const
    {
        QWidget* window = forms.Window(main);
        const auto name = main.Layout().controls[static_cast<std::size_t>(id)].name;
        return window ? window->findChild<QWidget*>(Text(name), Qt::FindDirectChildrenOnly) : nullptr;
    }
    std::string Caption(ControlId id) const override
    {
        QWidget* control = Control(id);
        if (auto* label = qobject_cast<QLabel*>(control))
            return label->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            return button->text().toStdString();
        return {};
    }
    std::vector<std::string> Lines(ControlId id) const override
    {
        std::vector<std::string> lines;
        if (auto* list = qobject_cast<QListView*>(Control(id)))
            for (const QString& line : ShownLines(list))
                lines.push_back(line.toStdString());
        return lines;
    }
    bool Visible(ControlId id) const override
    {
        QWidget* control = Control(id);
        return control != nullptr && !control->isHidden();
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
