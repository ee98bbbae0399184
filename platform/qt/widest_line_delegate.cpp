#include "platform/qt/widest_line_delegate.h"

#include <QFontMetrics>

#include "platform/qt/controls.h"
#include "platform/qt/line_list_model.h"
#include "platform/runtime/widest_line.h"

namespace tallowick {

QSize WidestLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const auto* model = qobject_cast<const LineListModel*>(index.model());
    if (model == nullptr)
        return size;
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

} // namespace tallowick
