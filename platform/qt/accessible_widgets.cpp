#include "platform/qt/accessible_widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tallowick {
namespace {

// The label's text is its accessible name and its text; there is no
// selection and no caret, and nothing can be typed into it.
class FormLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit FormLabelAccessible(FormLabel* label)
        : QAccessibleWidget(label, label->IsStatusLine() ? QAccessible::StatusBar : QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Shown();
        return QAccessibleWidget::text(kind);
    }

    QString text(int start, int end) const override { return Shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Shown().size()); }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}

private:
    QString Shown() const { return static_cast<const QLabel*>(widget())->text(); }
};

QAccessibleInterface* ProgramInterface(const QString& className, QObject* object)
{
    if (auto* label = qobject_cast<FormLabel*>(object))
        return new FormLabelAccessible(label);
    // The program's windows are plain top-level QWidgets.
    if (className == QLatin1String("QWidget"))
        if (auto* window = qobject_cast<QWidget*>(object); window != nullptr && window->isWindow())
            return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces() { QAccessible::installFactory(ProgramInterface); }

void FormLabel::ShowText(const QString& text)
{
    const QString previous = this->text();
    setText(text);
    // Painted at once: a handler never returns to the event loop, and the
    // status line must show "Searching System" during the walk.
    repaint();
    if (text == previous)
        return;
    // QLabel raises the change of name (the text is the name); a screen
    // reader also hears that the text was replaced.
    QAccessibleTextUpdateEvent textChanged(this, 0, previous, text);
    QAccessible::updateAccessibility(&textChanged);
}

} // namespace tallowick
