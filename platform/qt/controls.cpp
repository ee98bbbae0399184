#include "platform/qt/controls.h"

#include <QFont>
#include <QListView>
#include <QPalette>
#include <QPushButton>

#include "platform/qt/accessible_widgets.h"
#include "platform/qt/line_list_model.h"
#include "platform/qt/widest_line_delegate.h"

namespace tallowick {
namespace {

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

QColor ToQColor(Colour colour) { return QColor(colour.red, colour.green, colour.blue); }

// The row's own colours, in the palette roles that this kind of control
// paints its background and its text with.
void ApplyColours(QWidget* control, const ControlLayout& row, QPalette::ColorRole background,
                  QPalette::ColorRole text)
{
    QPalette palette = control->palette();
    if (row.background)
        palette.setColor(background, ToQColor(*row.background));
    if (row.textColour)
        palette.setColor(text, ToQColor(*row.textColour));
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
    // A path wider than the list can be scrolled into view; while every
    // line fits there is no horizontal scroll bar.
    list->setItemDelegate(new WidestLineDelegate(list));
    list->setTextElideMode(Qt::ElideNone);
    ApplyColours(list, row, QPalette::Base, QPalette::Text);
    return list;
}

QWidget* MakeLabel(const ControlLayout& row, QWidget* window)
{
    auto* label = new FormLabel(row.statusLine, window);
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
