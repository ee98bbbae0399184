#include "platform/qt/qt_forms.h"

#include <algorithm>
#include <string>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "platform/event_handler.h"
#include "platform/qt/controls.h"
#include "platform/qt/accessible_widgets.h"
#include "platform/qt/form_window.h"
#include "platform/qt/line_list_model.h"
#include "platform/qt/taskbar.h"

namespace tallowick {
namespace {

const QString kProgramIcon = QStringLiteral(":/tallowick/tallowick.png");
const QString kMessageTitle = QStringLiteral("Tallowick");

Qt::WindowFlags WindowFlagsFor(const WindowLayout& layout)
{
    // A tool window has no taskbar button (on X11 KeepOffTaskbar also says so
    // outright). Neither kind has minimise or maximise.
    const Qt::WindowFlags type = layout.taskbarButton ? Qt::Window : Qt::Tool;
    return type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
           Qt::MSWindowsFixedSizeDialogHint;
}

// Chains the controls in their stored tab order and gives the focus to the
// first of them that can take it.
void ApplyTabOrder(const WindowLayout& layout, const std::vector<QWidget*>& controls)
{
    std::vector<const ControlLayout*> rows;
    for (const ControlLayout& row : layout.controls)
        rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
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

void ShowMessageBox(MessageKind kind, const QString& title, const QString& text)
{
    QMessageBox box(kind == MessageKind::Critical ? QMessageBox::Critical : QMessageBox::Information, title, text,
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QtForms::QtForms()
{
    // Tool windows do not count for Qt's rule, so the program's own rule
    // (the last loaded window closed ends it) lives here.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallAccessibleInterfaces();
    if (QFile::exists(kProgramIcon))
        QApplication::setWindowIcon(QIcon(kProgramIcon));
}

QtForms::~QtForms()
{
    for (auto& [form, window] : windows_)
        delete window.widget.data();
    for (const QPointer<FormWindow>& widget : discarded_)
        delete widget.data();
}

QtForms::LoadedWindow& QtForms::Load(Form& form)
{
    const WindowLayout& layout = form.Layout();
    auto* widget = new FormWindow([this, &form] { Unload(form); });
    widget->setObjectName(ToQString(layout.name));
    widget->setWindowTitle(ToQString(layout.caption));
    widget->setWindowFlags(WindowFlagsFor(layout));
    const QSize client(TwipsToPixels(layout.clientWidth), TwipsToPixels(layout.clientHeight));
    widget->setFixedSize(client);

    LoadedWindow window;
    window.widget = widget;
    for (const ControlLayout& row : layout.controls) {
        const auto index = static_cast<std::size_t>(row.id);
        if (window.controls.size() <= index) {
            window.controls.resize(index + 1, nullptr);
            window.lists.resize(index + 1, nullptr);
        }
        QWidget* control = MakeControl(row, widget);
        window.controls[index] = control;
        if (row.kind == ControlKind::ListBox)
            window.lists[index] = static_cast<LineListModel*>(static_cast<QListView*>(control)->model());
        if (row.kind == ControlKind::Button) {
            const ControlId id = row.id;
            connect(static_cast<QPushButton*>(control), &QPushButton::clicked, this, [this, &form, id, control] {
                // A click that an access key set off just before its window
                // was unloaded goes nowhere.
                if (Window(form) == control->window())
                    RunClick(form, id);
            });
        }
    }

    ApplyTabOrder(layout, window.controls);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect geometry(QPoint(0, 0), client);
        geometry.moveCenter(screen->availableGeometry().center());
        widget->setGeometry(geometry);
    }
    if (!layout.taskbarButton)
        KeepOffTaskbar(widget);

    return windows_.emplace(&form, std::move(window)).first->second;
}

QtForms::LoadedWindow& QtForms::Loaded(Form& form)
{
    const auto found = windows_.find(&form);
    return found != windows_.end() ? found->second : Load(form);
}

QWidget* QtForms::Control(Form& form, ControlId id)
{
    LoadedWindow& window = Loaded(form);
    const auto index = static_cast<std::size_t>(id);
    if (id < 0 || index >= window.controls.size() || window.controls[index] == nullptr)
        throw Error(0, "The window " + std::string(form.Layout().name) + " has no control " + std::to_string(id) + ".");
    return window.controls[index];
}

LineListModel& QtForms::List(Form& form, ControlId id)
{
    Control(form, id);
    LineListModel* list = windows_.at(&form).lists[static_cast<std::size_t>(id)];
    if (list == nullptr)
        throw Error(0, "The control " + std::to_string(id) + " of " + std::string(form.Layout().name) +
                           " is not a list box.");
    return *list;
}

void QtForms::SetCaption(Form& form, ControlId label, std::string_view text)
{
    if (ended_)
        return;
    QWidget* control = Control(form, label);
    if (auto* formLabel = qobject_cast<FormLabel*>(control))
        formLabel->ShowText(ToQString(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(ToQString(text));
}

void QtForms::SetVisible(Form& form, ControlId button, bool visible)
{
    if (ended_)
        return;
    Control(form, button)->setVisible(visible);
}

void QtForms::ClearList(Form& form, ControlId list)
{
    if (ended_)
        return;
    List(form, list).Clear();
}

void QtForms::AddListLine(Form& form, ControlId list, std::string_view text)
{
    if (ended_)
        return;
    List(form, list).Append(text);
}

void QtForms::Show(Form& form)
{
    if (ended_)
        return;
    FormWindow* widget = Loaded(form).widget;
    CommitLists();
    if (widget->isVisible())
        widget->raise();
    else
        widget->show();
    widget->activateWindow();
}

void QtForms::Unload(Form& form)
{
    const auto found = windows_.find(&form);
    if (found == windows_.end())
        return;
    FormWindow* widget = found->second.widget;
    windows_.erase(found);
    Discard(widget);
    if (windows_.empty())
        End();
}

void QtForms::End()
{
    if (ended_)
        return;
    ended_ = true;
    const auto windows = std::move(windows_);
    windows_.clear();
    for (const auto& [form, window] : windows)
        Discard(window.widget);
    QCoreApplication::exit(0);
    emit ended();
}

// The widget may be the one whose click is running, so it is deleted only
// once control is back in the event loop; until then it is hidden and
// nameless, and its form no longer knows it.
void QtForms::Discard(FormWindow* widget)
{
    std::erase_if(discarded_, [](const QPointer<FormWindow>& gone) { return gone.isNull(); });
    if (widget == nullptr)
        return;
    widget->setObjectName(QString());
    widget->hide();
    widget->deleteLater();
    discarded_.emplace_back(widget);
}

void QtForms::RunClick(Form& form, ControlId button)
{
    if (ended_)
        return;
    RunEventHandler(*this, [&] { form.Click(button); });
    CommitLists();
}

void QtForms::CommitLists()
{
    for (auto& [form, window] : windows_)
        for (LineListModel* list : window.lists)
            if (list != nullptr)
                list->Commit();
}

void QtForms::Present(MessageKind kind, const QString& text)
{
    CommitLists();
    presenter_(kind, kMessageTitle, text);
}

void QtForms::ShowMessage(std::string_view text)
{
    if (ended_)
        return;
    Present(MessageKind::Information, ToQString(text));
}

void QtForms::ReportError(const Error& error)
{
    if (ended_)
        return;
    Present(MessageKind::Critical, ToQString(FormatErrorReport(error)));
}

void QtForms::SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

QWidget* QtForms::Window(const Form& form) const
{
    const auto found = windows_.find(&form);
    return found != windows_.end() ? found->second.widget.data() : nullptr;
}

std::vector<std::string> QtForms::ListLines(Form& form, ControlId list)
{
    if (windows_.find(&form) == windows_.end())
        return {};
    CommitLists();
    return List(form, list).Lines();
}

} // namespace tallowick
