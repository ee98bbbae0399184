#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "platform/runtime/toolkit_forms.h"

namespace tallowick {

class LineListModel;

// One modal message box. A warning about files keeps to the screen: a short
// text over a scrollable list of the files, each path wrapped, never cut.
void ShowMessageBox(const Message& message);

// The forms runtime on Qt Widgets. Each window is built from its layout when
// it is loaded: one top-level widget, one child control per layout row, each
// named as the layout names it. The program ends when End() is called or
// when its last loaded window is closed.
class QtForms final : public QObject, public ToolkitForms {
    Q_OBJECT
public:
    QtForms();
    ~QtForms() override;

    void SetCaption(Form& form, ControlId label, std::string_view text) override;
    void SetVisible(Form& form, ControlId button, bool visible) override;
    void ClearList(Form& form, ControlId list) override;
    void AddListLine(Form& form, ControlId list, const SharedText& line) override;

    void Show(Form& form) override;
    void Unload(Form& form) override;
    void End() override;

    // Closing a window through its title bar unloads it.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The loaded window of `form`, or null.
    QWidget* Window(const Form& form) const
    {
        const auto found = windows_.find(&form);
        return found != windows_.end() ? found->second.widget.data() : nullptr;
    }

private:
    struct LoadedWindow {
        Form* form = nullptr;
        QPointer<QWidget> widget;
        std::vector<QWidget*> controls; // by ControlId
    };

    // The window of `form`, built from its layout first if it is not loaded.
    LoadedWindow& Loaded(Form& form);
    // Null once the program has ended: what a handler still changes goes nowhere.
    QWidget* Control(Form& form, ControlId id);
    LineListModel* List(Form& form, ControlId id);
    void Discard(QWidget* widget);
    void ShowHeldBack() override;
    std::vector<std::string> ListLines(Form& form, ControlId list) override;

    std::unordered_map<const Form*, LoadedWindow> windows_;
};

} // namespace tallowick
