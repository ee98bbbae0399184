#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "about/about.h"
#include "widget_lookup.h"

#ifdef TALLOWICK_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    auto* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// The atoms of a window's _NET_WM_STATE property.
std::vector<xcb_atom_t> WindowState(QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    auto* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, Atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64),
        nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply != nullptr) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return atoms;
}

} // namespace
#endif

using namespace tallowick;
using namespace tallowick::test;

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void buildsFromItsStoredLayout()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");
        QTest::mouseClick(about, Qt::LeftButton);
        FIND_WINDOW(window, "About");

        QCOMPARE(window->windowTitle(), QStringLiteral("About"));
        QCOMPARE(window->size(), QSize(312, 198));
        QCOMPARE(window->minimumSize(), window->size());
        QCOMPARE(window->maximumSize(), window->size());
        QVERIFY(window->parentWidget() == nullptr);
        // No taskbar button: a tool window, skipped by the task list.
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!window->isModal());
        QVERIFY(IsCentredOnScreen(window));

        std::vector<QWidget*> controls;
        for (const ControlLayout& row : AboutLayout().controls) {
            FIND_CONTROL(control, QWidget, window, Text(row.name));
            QCOMPARE(control->geometry(), PixelRect(row));
            if (row.font) {
                QCOMPARE(control->font().family(), Text(row.font->face));
                QCOMPARE(control->font().pointSizeF(), row.font->points);
                QCOMPARE(control->font().weight(), static_cast<QFont::Weight>(row.font->weight));
                QCOMPARE(control->font().underline(), row.font->underline);
            } else {
                QCOMPARE(control->font(), window->font());
            }
            if (auto* label = qobject_cast<QLabel*>(control)) {
                QCOMPARE(label->text(), Text(row.caption));
                QCOMPARE(label->frameShape(), QFrame::NoFrame);
                QVERIFY(!label->autoFillBackground());
                QVERIFY(label->alignment() & Qt::AlignLeft);
                QCOMPARE(label->wordWrap(), row.wordWrap);
                QCOMPARE(label->focusPolicy(), Qt::NoFocus);
                if (row.textColour) {
                    const Colour colour = *row.textColour;
                    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(colour.red, colour.green, colour.blue));
                }
            }
            controls.push_back(control);
        }
        for (std::size_t i = 0; i < controls.size(); ++i)
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + " overlaps " + controls[j]->objectName()));

        FIND_CONTROL(notice, QLabel, window, "Label3");
        QVERIFY(notice->wordWrap());
        FIND_CONTROL(link, QLabel, window, "Label4");
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        FIND_CONTROL(close, QPushButton, window, "Command1");
        QCOMPARE(close->text(), QStringLiteral("Close"));
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(QApplication::focusWidget(), close);
    }

    void closeThenAboutLoadsItAfreshCentred()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");

        QTest::mouseClick(about, Qt::LeftButton);
        About* const aboutObject = MainProbe::AboutWindow(program.project);
        QVERIFY(aboutObject != nullptr);
        FIND_WINDOW(first, "About");
        first->move(5, 7);
        FIND_CONTROL(close, QPushButton, first, "Command1");
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(FindWindow("About") == nullptr);
        QVERIFY(!program.forms.Ended());
        QCOMPARE(FindWindow("Main"), mainWindow);

        QTest::mouseClick(about, Qt::LeftButton);
        FIND_WINDOW(second, "About");
        QCOMPARE(CountWindows("About"), 1);
        QCOMPARE(MainProbe::AboutWindow(program.project), aboutObject);
        QVERIFY(second->isVisible());
        QVERIFY(IsCentredOnScreen(second));
        FIND_CONTROL(title, QLabel, second, "Label1");
        QCOMPARE(title->text(), QStringLiteral("Velmora 1.0"));
    }

    void aboutWhileShownKeepsTheOneWindowWhereItIs()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");

        QTest::mouseClick(about, Qt::LeftButton);
        FIND_WINDOW(window, "About");
        window->move(11, 13);
        const QPoint placed = window->pos();

        QTest::mouseClick(about, Qt::LeftButton);

        QCOMPARE(CountWindows("About"), 1);
        QCOMPARE(FindWindow("About"), window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->pos(), placed);
    }

    void escapeAndTheWebAddressDoNothingSpaceCloses()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");
        QTest::mouseClick(about, Qt::LeftButton);
        FIND_WINDOW(window, "About");
        QVERIFY(QTest::qWaitForWindowActive(window));
        const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());

        QTest::keyClick(window, Qt::Key_Escape);
        FIND_CONTROL(link, QLabel, window, "Label4");
        QTest::mouseClick(link, Qt::LeftButton);

        QCOMPARE(FindWindow("About"), window);
        QVERIFY(window->isVisible());
        QCOMPARE(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
        QVERIFY(program.messages.empty());

        FIND_CONTROL(close, QPushButton, window, "Command1");
        QCOMPARE(QApplication::focusWidget(), close);
        QTest::keyClick(close, Qt::Key_Space);
        QVERIFY(FindWindow("About") == nullptr);
        QVERIFY(!program.forms.Ended());
    }

    void closingAboutLeavesTheMainWindowAsItWas()
    {
        Program program;
        program.disk.AddFile("c:\\windows\\cookies\\a.txt");
        program.disk.AddFile("c:\\windows\\cookies\\b.txt");
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(list, QListView, mainWindow, "List1");
        FIND_CONTROL(status, QLabel, mainWindow, "Label1");
        FIND_CONTROL(find, QPushButton, mainWindow, "cmdSrch");
        FIND_CONTROL(remove, QPushButton, mainWindow, "cmdDelCookies");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");
        QTest::mouseClick(find, Qt::LeftButton);
        const QStringList lines = ShownLines(list);
        QCOMPARE(lines.size(), 2);

        // Once through its button, once through its title bar.
        for (int way = 0; way < 2; ++way) {
            QTest::mouseClick(about, Qt::LeftButton);
            FIND_WINDOW(window, "About");
            QVERIFY(QTest::qWaitForWindowExposed(window));
            if (way == 0) {
                FIND_CONTROL(close, QPushButton, window, "Command1");
                QTest::mouseClick(close, Qt::LeftButton);
            } else {
                CloseThroughTitleBar(window);
            }
            QVERIFY(FindWindow("About") == nullptr);
            QVERIFY(!program.forms.Ended());
            QCOMPARE(ShownLines(list), lines);
            QCOMPARE(program.main.CookieList().Count(), std::size_t{2});
            QCOMPARE(status->text(), QStringLiteral("2 Cookies found."));
            QVERIFY(find->isHidden());
            QVERIFY(!remove->isHidden());
        }
    }

    void mainCloseWithAboutOpenEndsTheProgram()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");
        FIND_CONTROL(close, QPushButton, mainWindow, "cmdExt");
        QTest::mouseClick(about, Qt::LeftButton);
        FIND_WINDOW(aboutWindow, "About");
        const QPointer<QWidget> mainGone = mainWindow;
        const QPointer<QWidget> aboutGone = aboutWindow;

        QTest::mouseClick(close, Qt::LeftButton);

        QVERIFY(program.forms.Ended());
        QVERIFY(FindWindow("Main") == nullptr);
        QVERIFY(FindWindow("About") == nullptr);
        QVERIFY(!aboutWindow->isVisible());
        QTRY_VERIFY(mainGone.isNull() && aboutGone.isNull());
    }

    void titleBarCloseOfMainWaitsForAbout()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");
        QTest::mouseClick(about, Qt::LeftButton);
        FIND_WINDOW(aboutWindow, "About");
        QVERIFY(QTest::qWaitForWindowExposed(mainWindow));

        CloseThroughTitleBar(mainWindow);

        QVERIFY(!program.forms.Ended());
        QVERIFY(FindWindow("Main") == nullptr);
        QCOMPARE(FindWindow("About"), aboutWindow);
        QVERIFY(aboutWindow->isVisible());

        FIND_CONTROL(close, QPushButton, aboutWindow, "Command1");
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(program.forms.Ended());
        QVERIFY(FindWindow("About") == nullptr);
    }

    // Run on an X server: the task list is told outright to pass over About,
    // and not over Main.
    void noTaskbarButtonOnX11()
    {
#ifdef TALLOWICK_HAVE_XCB
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(mainWindow, "Main");
        FIND_CONTROL(about, QPushButton, mainWindow, "Command1");
        QTest::mouseClick(about, Qt::LeftButton);
        FIND_WINDOW(aboutWindow, "About");
        QVERIFY(QTest::qWaitForWindowExposed(aboutWindow));

        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        const xcb_atom_t skipTaskbar = Atom(x11->connection(), "_NET_WM_STATE_SKIP_TASKBAR");
        QVERIFY(skipTaskbar != XCB_ATOM_NONE);
        const std::vector<xcb_atom_t> aboutState = WindowState(aboutWindow);
        QVERIFY(std::find(aboutState.begin(), aboutState.end(), skipTaskbar) != aboutState.end());
        const std::vector<xcb_atom_t> mainState = WindowState(mainWindow);
        QVERIFY(std::find(mainState.begin(), mainState.end(), skipTaskbar) == mainState.end());
#else
        QSKIP("built without xcb");
#endif
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
