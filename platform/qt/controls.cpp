#include "platform/qt/controls.h"

#include <cstdint>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QListView>
#include <QPalette>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "platform/qt/line_list_model.h"
#include "platform/runtime/widest_line.h"

namespace tallowick {
namespace {

// A label of a layout carries the role that screen readers read it with:
// static text, or the window's status bar.
constexpr char kLabelRole[] = "tallowickLabelRole";

// The label's text is its accessible name and its text; there is no
// selection and no caret, and nothing can be typed into it.
class LabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    LabelAccessible(QLabel* label, QAccessible::Role role) : QAccessibleWidget(label, role) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
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
    if (const QVariant role = object->property(kLabelRole); role.isValid())
        return new LabelAccessible(static_cast<QLabel*>(object), role.value<QAccessible::Role>());
    // The program's windows are plain top-level QWidgets.
    if (auto* window = qobject_cast<QWidget*>(object); className == QLatin1String("QWidget") && window->isWindow())
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

// Gives every line the width of the widest: the list takes its uniform item
// size from one sample line, and so its horizontal scroll bar reaches the end
// of the widest line, and shows only when some line is wider than the list.
class WidestLineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const auto* model = static_cast<const LineListModel*>(index.model());
        const QFontMetrics& metrics = option.fontMetrics;
        if (measuredGeneration_ != model->Generation()) {
            const auto advances = [&] {
                WidestLine::AsciiAdvances table{};
                for (char16_t c = 0; c < table.size(); ++c)
                    table[c] = metrics.horizontalAdvance(QChar(c));
                return table;
            };
            WidestLine lines;
            for (int row = 0; row < model->rowCount(); ++row)
                lines.Add(model->LineText(row), advances);
            widest_ = lines.Width([&](std::string_view line) { return metrics.horizontalAdvance(ToQString(line)); });
            measuredGeneration_ = model->Generation();
        }
        // The sample line's own margins, around the widest text.
        size.setWidth(size.width() - metrics.horizontalAdvance(index.data().toString()) + widest_);
        return size;
    }

private:
    // Measured once per change of the list's lines.
    mutable std::uint64_t measuredGeneration_ = UINT64_MAX;
    mutable int widest_ = 0;
};

QFont MakeFont(const Font& font)
{
    QFont qtFont(ToQString(font.face));
    // Arial's metric twin (Liberation Sans) stands in where Arial is missing.
    qtFont.setStyleHint(QFont::SansSerif);
    qtFont.setPointSizeF(font.points);
    qtFont.setWeight(static_cast<QFont::Weight>(font.weight));
    qtFont.setUnderline(font.underline);
    return qtFont;
}

// The row's own colours, in the palette roles that this kind of control
// paints its background and its text with.
void ApplyColours(QWidget* control, const ControlLayout& row, QPalette::ColorRole background,
                  QPalette::ColorRole text)
{
    const auto qtColour = [](Colour colour) { return QColor(colour.red, colour.green, colour.blue); };
    QPalette palette = control->palette();
    if (row.background)
        palette.setColor(background, qtColour(*row.background));
    if (row.textColour)
        palette.setColor(text, qtColour(*row.textColour));
    control->setPalette(palette);
}

QWidget* MakeListBox(const ControlLayout& row, QWidget* window)
{
    auto* list = new QListView(window);
    list->setModel(new LineListModel(row.sorted, list));
    list->setSelectionMode(row.extendedSelection ? QAbstractItemView::ExtendedSelection
                                                 : QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setItemDelegate(new WidestLineDelegate(list));
    list->setTextElideMode(Qt::ElideNone);
    ApplyColours(list, row, QPalette::Base, QPalette::Text);
    return list;
}

QWidget* MakeLabel(const ControlLayout& row, QWidget* window)
{
    auto* label = new QLabel(window);
    label->setProperty(kLabelRole, QVariant::fromValue(row.statusLine ? QAccessible::StatusBar : QAccessible::StaticText));
    label->setTextFormat(Qt::PlainText);
    label->setText(ToQString(row.caption));
    label->setAlignment((row.alignment == TextAlignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setWordWrap(row.wordWrap);
    if (row.border)
        label->setFrameStyle(QFrame::Box | QFrame::Plain); // one pixel wide
    label->setAutoFillBackground(row.background.has_value());
    ApplyColours(label, row, QPalette::Window, QPalette::WindowText);
    return label;
}

} // namespace

void InstallAccessibleInterfaces() { QAccessible::installFactory(ProgramInterface); }

QWidget* MakeControl(const ControlLayout& row, QWidget* window)
{
    QWidget* control = nullptr;
    switch (row.kind) {
    case ControlKind::ListBox: control = MakeListBox(row, window); break;
    case ControlKind::Label: control = MakeLabel(row, window); break;
    // '&' in the caption gives the button its Alt access key. Outside a dialog
    // a button is never the default one, so Return presses none of them.
    case ControlKind::Button: control = new QPushButton(ToQString(row.caption), window); break;
    }
    control->setObjectName(ToQString(row.name));
    control->setGeometry(TwipsToPixels(row.left), TwipsToPixels(row.top), TwipsToPixels(row.width),
                         TwipsToPixels(row.height));
    if (row.font)
        control->setFont(MakeFont(*row.font));
    if (!row.accessibleName.empty())
        control->setAccessibleName(ToQString(row.accessibleName));
    if (!row.accessibleDescription.empty())
        control->setAccessibleDescription(ToQString(row.accessibleDescription));
    if (!row.visible)
        control->hide();
    return control;
}

} // namespace tallowick
