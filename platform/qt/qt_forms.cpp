#include "platform/qt/qt_forms.h"

#include <QApplication>
#include <QIcon>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "platform/qt/controls.h"
#include "platform/qt/accessible_widgets.h"
#include "platform/qt/line_list_model.h"
#include "platform/qt/message_box.h"
#include "platform/qt/taskbar.h"

namespace tallowick {
namespace {

// Chains the controls in their stored tab order and gives the focus to the
// first of them that can take it.
void ApplyTabOrder(const WindowLayout& layout, const std::vector<QWidget*>& controls)
{
    const std::vector<const ControlLayout*> rows = ControlsInTabOrder(layout);
    const auto control = [&](const ControlLayout* row) { return controls[static_cast<std::size_t>(row->id)]; };

    for (std::size_t i = 1; i < rows.size(); ++i)
        QWidget::setTabOrder(control(rows[i - 1]), control(rows[i]));
    for (const ControlLayout* row : rows) {
        if (row->visible && (control(row)->focusPolicy() & Qt::TabFocus)) {
            control(row)->setFocus();
            return;
        }
    }
}

} // namespace

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
    for (const QPointer<QWidget>& widget : discarded_)
        delete widget.data();
}

QtForms::LoadedWindow& QtForms::Loaded(Form& form)
{
    if (const auto found = windows_.find(&form); found != windows_.end())
        return found->second;
    const WindowLayout& layout = form.Layout();
    // A plain QWidget, not a QDialog, so Escape closes nothing. A tool window
    // has no taskbar button (on X11 KeepOffTaskbar also says so outright).
    // Neither kind has minimise or maximise.
    const Qt::WindowFlags kind = layout.taskbarButton ? Qt::Window : Qt::Tool;
    auto* widget = new QWidget(nullptr, kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                                            | Qt::MSWindowsFixedSizeDialogHint);
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
    const std::vector<QWidget*>& controls = Loaded(form).controls;
    if (id < 0 || static_cast<std::size_t>(id) >= controls.size())
        ThrowNoSuchControl(form, id);
    return controls[static_cast<std::size_t>(id)];
}

LineListModel& QtForms::List(Form& form, ControlId id)
{
    const auto* view = qobject_cast<QListView*>(Control(form, id));
    if (view == nullptr)
        ThrowNoSuchControl(form, id);
    return *static_cast<LineListModel*>(view->model());
}

void QtForms::SetCaption(Form& form, ControlId label, std::string_view text)
{
    if (Ended())
        return;
    QWidget* control = Control(form, label);
    if (auto* formLabel = qobject_cast<FormLabel*>(control))
        formLabel->ShowText(ToQString(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(ToQString(text));
}

void QtForms::SetVisible(Form& form, ControlId button, bool visible)
{
    if (Ended())
        return;
    Control(form, button)->setVisible(visible);
}

void QtForms::ClearList(Form& form, ControlId list)
{
    if (Ended())
        return;
    List(form, list).Clear();
}

void QtForms::AddListLine(Form& form, ControlId list, const SharedText& line)
{
    if (Ended())
        return;
    List(form, list).Append(line);
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
    const auto windows = std::exchange(windows_, {});
    for (const auto& [form, window] : windows)
        Discard(window.widget);
    QApplication::exit(ExitCode());
}

// The widget may be the one whose click is running, so it is deleted only
// once control is back in the event loop; until then it is hidden and
// nameless, and its form no longer knows it.
void QtForms::Discard(QWidget* widget)
{
    std::erase_if(discarded_, [](const QPointer<QWidget>& gone) { return gone.isNull(); });
    if (widget == nullptr)
        return;
    widget->setObjectName(QString());
    widget->hide();
    widget->deleteLater();
    discarded_.emplace_back(widget);
}

std::vector<std::string> QtForms::ListLines(Form& form, ControlId list)
{
    const LineListModel& model = List(form, list);
    std::vector<std::string> lines;
    for (int row = 0; row < model.rowCount(); ++row)
        lines.emplace_back(model.LineText(row));
    return lines;
}

void QtForms::ShowHeldBack()
{
    for (auto& [form, window] : windows_)
        for (QWidget* control : window.controls)
            if (const auto* view = qobject_cast<QListView*>(control))
                static_cast<LineListModel*>(view->model())->Commit();
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

QWidget* QtForms::Window(const Form& form) const
{
    const auto found = windows_.find(&form);
    return found != windows_.end() ? found->second.widget.data() : nullptr;
}

} // namespace tallowick
