#include "platform/qt/qt_forms.h"

#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#ifdef TALLOWICK_HAVE_XCB
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#endif

#include "platform/qt/controls.h"
#include "platform/qt/line_list_model.h"

namespace tallowick {
namespace {

// The stored tab order; the focus goes to the first control that takes it.
void ApplyTabOrder(const WindowLayout& layout, const std::vector<QWidget*>& controls)
{
    const std::vector<const ControlLayout*> rows = ControlsInTabOrder(layout);
    const auto control = [&](const ControlLayout* row) { return controls[static_cast<std::size_t>(row->id)]; };
    for (std::size_t i = 1; i < rows.size(); ++i)
        QWidget::setTabOrder(control(rows[i - 1]), control(rows[i]));
    const auto first = std::ranges::find_if(
        rows, [&](const ControlLayout* row) { return row->visible && (control(row)->focusPolicy() & Qt::TabFocus); });
    if (first != rows.end())
        control(*first)->setFocus();
}

// Qt::Tool makes a window a utility window, which most task lists pass over;
// on X11 _NET_WM_STATE_SKIP_TASKBAR says so outright.
void KeepOffTaskbar([[maybe_unused]] QWidget* window)
{
#ifdef TALLOWICK_HAVE_XCB
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || x11 == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    const auto atom = [connection](const char* name) {
        const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return found;
    };
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom("_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
        return;
    // Set before the window is first mapped; Qt keeps the atoms it finds
    // there when it adds its own.
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
    xcb_flush(connection);
#endif
}

void ShowFailureBox(const Message& message)
{
    QDialog box;
    box.setObjectName(QStringLiteral("FailureBox"));
    box.setWindowTitle(ToQString(kMessageTitle));
    auto* icon = new QLabel(&box);
    const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize));
    auto* text = new QLabel(ToQString(message.text), &box);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    auto* files = new QPlainTextEdit(&box);
    files->setObjectName(QStringLiteral("Files"));
    files->setAccessibleName(QStringLiteral("Files not deleted"));
    files->setReadOnly(true);
    files->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QString lines;
    for (const Message::File& file : message.files)
        lines += ToQString(file.path) + QStringLiteral("\n    ") + ToQString(file.reason) + QLatin1Char('\n');
    files->setPlainText(lines.trimmed());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    buttons->button(QDialogButtonBox::Ok)->setFocus(); // Return and Space close it, as in any message box

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(top);
    layout->addWidget(files, 1);
    layout->addWidget(buttons);

    // Twelve lines of files at most before the list scrolls, and never more
    // than the screen holds.
    const QFontMetrics metrics(files->font());
    const int shownLines = std::min<int>(12, 2 * static_cast<int>(message.files.size()));
    files->setMinimumHeight(metrics.lineSpacing() * (shownLines + 1));
    box.resize(metrics.averageCharWidth() * 72, box.sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        box.setMaximumSize(screen->availableGeometry().size());
    box.exec();
}

} // namespace

void ShowMessageBox(const Message& message)
{
    if (!message.files.empty())
        return ShowFailureBox(message);
    QMessageBox box(QMessageBox::Critical, ToQString(kMessageTitle), ToQString(message.text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QtForms::QtForms() : ToolkitForms(ShowMessageBox)
{
    // Tool windows do not count for Qt's rule, so the program's own rule
    // (the last loaded window closed ends it) lives here.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallAccessibleInterfaces();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tallowick/tallowick.png")));
}

QtForms::~QtForms()
{
    for (auto& [form, window] : windows_)
        delete window.widget.data();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // and those discarded
}

QtForms::LoadedWindow& QtForms::Loaded(Form& form)
{
    if (const auto found = windows_.find(&form); found != windows_.end())
        return found->second;
    const WindowLayout& layout = form.Layout();
    // A plain QWidget, not a QDialog, so Escape closes nothing. A tool window
    // has no taskbar button. Neither kind has minimise or maximise.
    const Qt::WindowFlags kind = layout.taskbarButton ? Qt::Window : Qt::Tool;
    auto* widget = new QWidget(nullptr, kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    widget->installEventFilter(this);
    widget->setObjectName(ToQString(layout.name));
    widget->setWindowTitle(ToQString(layout.caption));
    const QSize client(TwipsToPixels(layout.clientWidth), TwipsToPixels(layout.clientHeight));
    widget->setFixedSize(client);

    LoadedWindow window{.form = &form, .widget = widget};
    for (const ControlLayout& row : layout.controls) { // a row's id is its index
        QWidget* control = MakeControl(row, widget);
        window.controls.push_back(control);
        if (row.kind == ControlKind::Button) {
            connect(static_cast<QPushButton*>(control), &QPushButton::clicked, this, [this, &form, id = row.id, control] {
                // A click that an access key set off just before its window
                // was unloaded goes nowhere.
                if (Window(form) == control->window())
                    DeliverClick(form, id);
            });
        }
    }
    ApplyTabOrder(layout, window.controls);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        widget->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, client, screen->availableGeometry()));
    if (!layout.taskbarButton)
        KeepOffTaskbar(widget);
    return windows_.emplace(&form, std::move(window)).first->second;
}

QWidget* QtForms::Control(Form& form, ControlId id)
{
    if (Ended())
        return nullptr;
    const std::vector<QWidget*>& controls = Loaded(form).controls;
    if (id < 0 || static_cast<std::size_t>(id) >= controls.size())
        ThrowNoSuchControl(form, id);
    return controls[static_cast<std::size_t>(id)];
}

LineListModel* QtForms::List(Form& form, ControlId id)
{
    QWidget* control = Control(form, id);
    const auto* view = qobject_cast<QListView*>(control);
    if (control != nullptr && view == nullptr)
        ThrowNoSuchControl(form, id);
    return view != nullptr ? static_cast<LineListModel*>(view->model()) : nullptr;
}

void QtForms::SetCaption(Form& form, ControlId label, std::string_view text)
{
    QWidget* control = Control(form, label);
    if (auto* formLabel = qobject_cast<QLabel*>(control)) {
        const QString previous = formLabel->text();
        formLabel->setText(ToQString(text));
        // Painted at once: a handler never returns to the event loop, and the
        // status line must show "Searching System" during the walk.
        formLabel->repaint();
        // QLabel raises the change of name (the text is the name); a screen
        // reader also hears that the text was replaced.
        if (formLabel->text() != previous) {
            QAccessibleTextUpdateEvent textChanged(formLabel, 0, previous, formLabel->text());
            QAccessible::updateAccessibility(&textChanged);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(ToQString(text));
    }
}

void QtForms::SetVisible(Form& form, ControlId button, bool visible)
{
    if (QWidget* control = Control(form, button))
        control->setVisible(visible);
}

void QtForms::ClearList(Form& form, ControlId list)
{
    if (LineListModel* model = List(form, list))
        model->Clear();
}

void QtForms::AddListLine(Form& form, ControlId list, const SharedText& line)
{
    if (LineListModel* model = List(form, list))
        model->Append(line);
}

void QtForms::Show(Form& form)
{
    if (Ended())
        return;
    QWidget* widget = Loaded(form).widget;
    ShowHeldBack();
    widget->show();
    widget->raise();
    widget->activateWindow();
}

void QtForms::Unload(Form& form)
{
    const auto unloaded = windows_.extract(&form);
    if (unloaded.empty())
        return;
    Discard(unloaded.mapped().widget);
    if (windows_.empty())
        End();
}

void QtForms::End()
{
    if (!BeginEnd())
        return;
    for (const auto& [form, window] : std::exchange(windows_, {}))
        Discard(window.widget);
    QApplication::exit(ExitCode());
}

// The widget may be the one whose click is running, so it is deleted only
// once control is back in the event loop; until then it is hidden and
// nameless, and its form no longer knows it.
void QtForms::Discard(QWidget* widget)
{
    if (widget == nullptr)
        return;
    widget->setObjectName(QString());
    widget->hide();
    widget->deleteLater();
}

std::vector<std::string> QtForms::ListLines(Form& form, ControlId list)
{
    std::vector<std::string> lines;
    if (const LineListModel* model = List(form, list))
        for (int row = 0; row < model->rowCount(); ++row)
            lines.emplace_back(model->LineText(row));
    return lines;
}

void QtForms::ShowHeldBack()
{
    for (auto& [form, window] : windows_)
        for (LineListModel* model : window.widget->findChildren<LineListModel*>())
            model->Commit();
}

bool QtForms::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close)
        for (auto& [form, window] : windows_)
            if (window.widget == watched) {
                Unload(*window.form);
                break;
            }
    return false;
}

} // namespace tallowick
