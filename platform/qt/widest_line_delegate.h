#pragma once

#include <cstdint>

#include <QStyledItemDelegate>

namespace tallowick {

// Draws a list box's lines as the default delegate does, but gives every
// line the width of the widest one. The list lays out with uniform item
// sizes, taken from one sample line; with this width its horizontal scroll
// bar reaches the end of the widest line, and is shown only when some line
// is wider than the list.
class WidestLineDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Measured once per change of the list's lines.
    mutable std::uint64_t measuredGeneration_ = UINT64_MAX;
    mutable int widest_ = 0;
};

} // namespace tallowick
