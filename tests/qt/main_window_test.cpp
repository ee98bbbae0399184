#include <QDialog>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "main_window/main_window.h"
#include "platform/qt/qt_forms.h"
#include "widget_lookup.h"

using namespace tallowick;
using namespace tallowick::test;

namespace {

// Records the text a label shows each time it is painted.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == label_ && event->type() == QEvent::Paint)
            painted << label_->text();
        return false;
    }

private:
    QLabel* label_;
};

// Walk order: B.txt, a.txt, then the winnt profile; sorted without regard
// to case, a.txt comes first.
const std::vector<std::string> kWalkOrder{
    "c:\\windows\\cookies\\B.txt",
    "c:\\windows\\cookies\\a.txt",
    "c:\\winnt\\profiles\\user1\\cookies\\c[1].txt",
};
const QStringList kShownOrder{
    "c:\\windows\\cookies\\a.txt",
    "c:\\windows\\cookies\\B.txt",
    "c:\\winnt\\profiles\\user1\\cookies\\c[1].txt",
};

void AddCookies(testing::MemoryDrive& disk)
{
    for (const std::string& path : kWalkOrder)
        disk.AddFile(path);
    disk.AddFile("c:\\windows\\cookies\\index.dat");
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsFromItsStoredLayout()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");

        QCOMPARE(window->windowTitle(), QStringLiteral("Tallowick"));
        QCOMPARE(window->size(), QSize(372, 219));
        QCOMPARE(window->minimumSize(), window->size());
        QCOMPARE(window->maximumSize(), window->size());
        QCOMPARE(window->windowType(), Qt::Window);
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(window->parentWidget() == nullptr);
        QVERIFY(IsCentredOnScreen(window));
        // The program's icon is compiled in and is the window's.
        QVERIFY(QFile::exists(":/tallowick/tallowick.png"));
        QCOMPARE(window->windowIcon().pixmap(32).toImage(),
                 QIcon(":/tallowick/tallowick.png").pixmap(32).toImage());

        std::vector<QWidget*> controls;
        for (const ControlLayout& row : MainLayout().controls) {
            FIND_CONTROL(control, QWidget, window, Text(row.name));
            QCOMPARE(control->geometry(), PixelRect(row));
            QCOMPARE(!control->isHidden(), row.visible);
            if (row.font) {
                QCOMPARE(control->font().family(), Text(row.font->face));
                QCOMPARE(control->font().pointSizeF(), row.font->points);
                QCOMPARE(control->font().weight(), static_cast<QFont::Weight>(row.font->weight));
                QCOMPARE(control->font().underline(), row.font->underline);
                // Arial itself or its metric twin, never some other face.
                const QString face = QFontInfo(control->font()).family();
                QVERIFY2(face == "Arial" || face == "Liberation Sans", qPrintable(face));
            } else {
                QCOMPARE(control->font(), window->font());
            }
            if (!row.accessibleName.empty())
                QCOMPARE(control->accessibleName(), Text(row.accessibleName));
            controls.push_back(control);
        }
        for (std::size_t i = 0; i < controls.size(); ++i)
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + " overlaps " + controls[j]->objectName()));

        FIND_CONTROL(list, QListView, window, "List1");
        FIND_CONTROL(status, QLabel, window, "Label1");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        FIND_CONTROL(remove, QPushButton, window, "cmdDelCookies");
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(list->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(status->text(), QString());
        QVERIFY(status->autoFillBackground());
        QCOMPARE(status->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(status->frameShape(), QFrame::Box);
        QCOMPARE(status->lineWidth(), 1);
        QVERIFY(status->alignment() & Qt::AlignHCenter);
        QCOMPARE(find->text(), QStringLiteral("Find Cookies"));
        QCOMPARE(remove->text(), QStringLiteral("&Delete Cookies"));
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            QVERIFY(!button->isDefault());
            QVERIFY(!button->autoDefault());
        }

        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(QApplication::focusWidget(), find);
    }

    // Tab walks the controls that can take the focus in their stored tab
    // order, passing over the hidden Delete button.
    void tabFollowsTheStoredOrder()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        QVERIFY(QTest::qWaitForWindowActive(window));

        std::vector<const ControlLayout*> rows;
        for (const ControlLayout& row : MainLayout().controls)
            if (row.kind != ControlKind::Label && row.visible)
                rows.push_back(&row);
        std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
        QStringList expected;
        for (const ControlLayout* row : rows)
            expected << Text(row->name);
        expected << expected.first();

        QStringList visited{QApplication::focusWidget()->objectName()};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void findListsEveryCookieFileSorted()
    {
        Program program;
        AddCookies(program.disk);
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(list, QListView, window, "List1");
        FIND_CONTROL(status, QLabel, window, "Label1");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        FIND_CONTROL(remove, QPushButton, window, "cmdDelCookies");

        QTest::mouseClick(find, Qt::LeftButton);

        QCOMPARE(status->text(), QStringLiteral("3 Cookies found."));
        QCOMPARE(ShownLines(list), kShownOrder);
        QCOMPARE(ToQStringList(program.Listed()), kShownOrder);
        QCOMPARE(QString::fromStdString(program.Status()), QStringLiteral("3 Cookies found."));
        QVERIFY(!program.FindVisible() && program.DeleteVisible());
        QVERIFY(find->isHidden());
        QVERIFY(!remove->isHidden());
        QVERIFY(program.messages.empty());
    }

    void findWithNothingFoundStaysReady()
    {
        Program program;
        program.disk.AddFile("c:\\windows\\cookies\\index.dat");
        program.disk.AddFile("c:\\windows\\cookies\\B[2].TXT");
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(list, QListView, window, "List1");
        FIND_CONTROL(status, QLabel, window, "Label1");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        FIND_CONTROL(remove, QPushButton, window, "cmdDelCookies");

        for (int search = 1; search <= 2; ++search) {
            QTest::mouseClick(find, Qt::LeftButton);
            QCOMPARE(program.disk.fileSystemsOpened, search);
            QCOMPARE(status->text(), QStringLiteral("0 cookies found."));
            QCOMPARE(list->model()->rowCount(), 0);
            QVERIFY(!find->isHidden());
            QVERIFY(remove->isHidden());
        }
    }

    void findOneFile()
    {
        Program program;
        program.disk.AddFile("c:\\windows\\profiles\\readme.txt");
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(list, QListView, window, "List1");
        FIND_CONTROL(status, QLabel, window, "Label1");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        FIND_CONTROL(remove, QPushButton, window, "cmdDelCookies");

        QTest::mouseClick(find, Qt::LeftButton);

        QCOMPARE(status->text(), QStringLiteral("1 Cookies found."));
        QCOMPARE(ShownLines(list), QStringList{"c:\\windows\\profiles\\readme.txt"});
        QVERIFY(find->isHidden());
        QVERIFY(!remove->isHidden());
    }

    // The status line is painted before the walk starts, although the
    // handler never returns to the event loop until the walk is done.
    void searchingSystemShowsDuringTheWalk()
    {
        Program program;
        AddCookies(program.disk);
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(status, QLabel, window, "Label1");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        QVERIFY(QTest::qWaitForWindowExposed(window));
        PaintRecorder recorder(status);

        QStringList paintedAtFirstTest;
        bool first = true;
        program.disk.onFolderExists = [&](std::string_view) {
            if (first)
                paintedAtFirstTest = recorder.painted;
            first = false;
        };
        QTest::mouseClick(find, Qt::LeftButton);

        QVERIFY(!first);
        QCOMPARE(paintedAtFirstTest, QStringList{"Searching System"});
        QCOMPARE(status->text(), QStringLiteral("3 Cookies found."));
    }

    void accessKeyDeletesOnlyWhileShown()
    {
        Program program;
        AddCookies(program.disk);
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(list, QListView, window, "List1");
        FIND_CONTROL(status, QLabel, window, "Label1");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        FIND_CONTROL(remove, QPushButton, window, "cmdDelCookies");
        QVERIFY(QTest::qWaitForWindowActive(window));

        QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
        QVERIFY(!remove->isDown());
        QCOMPARE(program.disk.deletionsOpened, 0);
        QCOMPARE(status->text(), QString());

        QTest::mouseClick(find, Qt::LeftButton);
        QVERIFY(!remove->isHidden());
        QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
        // An access key presses the button at once and clicks it shortly after.
        QVERIFY(remove->isDown());
        QTRY_VERIFY(!program.disk.deletionRequests.empty());

        // Deleted in the order found, not in the order shown.
        QCOMPARE(program.disk.deletionRequests, kWalkOrder);
        for (const std::string& path : kWalkOrder)
            QVERIFY2(!program.disk.HasFile(path), path.c_str());
        QVERIFY(program.disk.HasFile("c:\\windows\\cookies\\index.dat"));
        QCOMPARE(status->text(), QStringLiteral("Cookies eaten...yum!"));
        QCOMPARE(list->model()->rowCount(), 0);
        QVERIFY(!find->isHidden());
        QVERIFY(remove->isHidden());
        QVERIFY(program.messages.empty());

        QTest::mouseClick(find, Qt::LeftButton);
        QCOMPARE(status->text(), QStringLiteral("0 cookies found."));
        QCOMPARE(list->model()->rowCount(), 0);
        QVERIFY(!find->isHidden());
        QVERIFY(remove->isHidden());
    }

    // A path wider than the list gets a horizontal scroll bar that brings its
    // end into view; while every line fits there is none.
    void aLongPathCanBeScrolledIntoView()
    {
        const std::string shortPath = "c:\\windows\\cookies\\a.txt";
        const std::string longPath =
            "c:\\windows\\profiles\\" + std::string(40, 'W') + "\\cookies\\" + std::string(30, 'm') + "[1].txt";
        for (const bool withLongPath : {false, true}) {
            Program program;
            program.disk.AddFile(shortPath);
            // Listed last, so the long line is not the one a list with
            // uniform line sizes takes its width from.
            program.disk.AddFile("c:\\winnt\\cookies\\z.txt");
            if (withLongPath)
                program.disk.AddFile(longPath);
            program.forms.Show(program.main);
            FIND_WINDOW(window, "Main");
            FIND_CONTROL(list, QListView, window, "List1");
            FIND_CONTROL(find, QPushButton, window, "cmdSrch");
            const QRect listGeometry = list->geometry();
            QTest::mouseClick(find, Qt::LeftButton);
            QTRY_VERIFY(list->visualRect(list->model()->index(0, 0)).isValid());
            QCoreApplication::processEvents();
            QCOMPARE(list->geometry(), listGeometry);
            QScrollBar* bar = list->horizontalScrollBar();
            if (!withLongPath) {
                QCOMPARE(bar->maximum(), 0);
                QVERIFY(!bar->isVisible());
                continue;
            }

            QVERIFY(bar->isVisible());
            const QModelIndex longRow = list->model()->index(1, 0);
            QCOMPARE(list->model()->data(longRow).toString(), Text(longPath));
            const int textWidth = list->fontMetrics().horizontalAdvance(Text(longPath));
            QVERIFY(list->visualRect(longRow).left() + textWidth > list->viewport()->width());
            bar->setValue(bar->maximum());
            QVERIFY2(list->visualRect(longRow).left() + textWidth <= list->viewport()->width(),
                     qPrintable(QStringLiteral("the line ends at %1, the list shows up to %2")
                                    .arg(list->visualRect(longRow).left() + textWidth)
                                    .arg(list->viewport()->width())));
        }
    }

    void deletionFailureKeepsTheFileListed()
    {
        Program program;
        AddCookies(program.disk);
        // Refused in the walk's order B, a; the list shows a, B.
        const std::string refused = kWalkOrder[1];
        program.disk.refusals.emplace(kWalkOrder[0], Error(0, kWalkOrder[0], "The file is read-only."));
        program.disk.refusals.emplace(refused, Error(5, refused, "Access is denied."));
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(list, QListView, window, "List1");
        FIND_CONTROL(status, QLabel, window, "Label1");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        FIND_CONTROL(remove, QPushButton, window, "cmdDelCookies");

        QTest::mouseClick(find, Qt::LeftButton);
        QTest::mouseClick(remove, Qt::LeftButton);

        QCOMPARE(program.disk.deletionRequests, kWalkOrder);
        QVERIFY(program.disk.HasFile(kWalkOrder[0]));
        QVERIFY(program.disk.HasFile(refused));
        QVERIFY(!program.disk.HasFile(kWalkOrder[2]));
        QCOMPARE(status->text(), QStringLiteral("2 Cookies not deleted."));
        QCOMPARE(ShownLines(list), (QStringList{kShownOrder[0], kShownOrder[1]}));
        QVERIFY(find->isHidden());
        QVERIFY(!remove->isHidden());

        QCOMPARE(program.messages.size(), std::size_t{1});
        const Message& message = program.messages.front();
        QCOMPARE(message.kind, MessageKind::Warning);
        QCOMPARE(message.text, std::string("These 2 files could not be deleted. They stay in the list."));
        QCOMPARE(message.files.size(), std::size_t{2});
        QCOMPARE(message.files[0].path, refused); // as the list shows them
        QCOMPARE(message.files[0].reason, std::string("Error 5: Access is denied."));
        QCOMPARE(message.files[1].path, kWalkOrder[0]);
        QCOMPARE(message.files[1].reason, std::string("The file is read-only."));
        QVERIFY(!program.forms.Ended());
        QCOMPARE(FindWindow("Main"), window);
    }

    // The real box, at 1, 20 and 500 failures, with paths of 10 and of 250
    // characters: it keeps to the screen, its OK button on it, and each
    // path can be read whole, in the order given.
    void failureBoxKeepsToTheScreen_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("length");
        for (const int count : {1, 20, 500})
            for (const int length : {10, 250})
                QTest::addRow("%d files of %d characters", count, length) << count << length;
    }

    void failureBoxKeepsToTheScreen()
    {
        QFETCH(int, count);
        QFETCH(int, length);
        Message message{MessageKind::Warning, "These files could not be deleted. They stay in the list.", {}};
        for (int i = 0; i < count; ++i) {
            std::string path = "c:\\" + std::to_string(i) + "\\";
            const int padding = std::max(1, length - static_cast<int>(path.size()) - 4);
            path += std::string(static_cast<std::size_t>(padding), 'x') + ".txt";
            message.files.push_back({path, "Error 5: Access is denied."});
        }
        QRect screen;
        QRect box;
        QRect ok;
        QString files;
        bool widthFits = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            screen = dialog->screen()->availableGeometry();
            box = dialog->frameGeometry();
            auto* button = dialog->findChild<QPushButton*>();
            ok = QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
            auto* list = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Files"));
            files = list->toPlainText();
            widthFits = list->horizontalScrollBar()->maximum() == 0; // every line wrapped within it
            dialog->accept();
        });
        ShowMessageBox(message);

        QVERIFY2(screen.contains(box), qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
        QVERIFY(screen.contains(ok));
        QVERIFY(widthFits);
        qsizetype at = 0;
        for (const Message::File& file : message.files) {
            at = files.indexOf(QString::fromStdString(file.path), at);
            QVERIFY2(at >= 0, file.path.c_str());
        }
    }

    void unhandledErrorIsReportedThenTheProgramEnds()
    {
        Program program;
        AddCookies(program.disk);
        program.disk.folderExistsError = Error(5, "Access is denied.");
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(find, QPushButton, window, "cmdSrch");
        const QPointer<QWidget> mainWindow = window;

        QTest::mouseClick(find, Qt::LeftButton);

        QCOMPARE(program.messages.size(), std::size_t{1});
        QCOMPARE(program.messages.front().kind, MessageKind::Error);
        QCOMPARE(program.messages.front().text, std::string("Error 5: Access is denied."));
        QVERIFY(program.forms.Ended());
        QCOMPARE(program.forms.ExitCode(), 1); // a failure, to whoever started it
        QVERIFY(FindWindow("Main") == nullptr);
        QTRY_VERIFY(mainWindow.isNull());
    }

    void closeEndsTheProgram()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        FIND_CONTROL(close, QPushButton, window, "cmdExt");
        const QPointer<QWidget> mainWindow = window;

        QTest::mouseClick(close, Qt::LeftButton);

        QVERIFY(program.forms.Ended());
        QCOMPARE(program.forms.ExitCode(), 0);
        QVERIFY(FindWindow("Main") == nullptr);
        QTRY_VERIFY(mainWindow.isNull());
        // An ended program shows nothing more.
        program.forms.Show(program.main);
        QVERIFY(FindWindow("Main") == nullptr);
    }

    void closingTheOnlyWindowThroughItsTitleBarEndsTheProgram()
    {
        Program program;
        program.forms.Show(program.main);
        FIND_WINDOW(window, "Main");
        QVERIFY(QTest::qWaitForWindowExposed(window));

        CloseThroughTitleBar(window);

        QVERIFY(program.forms.Ended());
        QVERIFY(FindWindow("Main") == nullptr);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
