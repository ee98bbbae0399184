#include "platform/qt/widest_line.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include <QFontMetrics>

#include "platform/qt/line_list_model.h"
#include "platform/runtime/line_width.h"

namespace tallowick {
namespace {

// Shaping a text costs about 20 µs, too much for 100,000 lines. Each line
// is first sized as the sum of its characters' advances, from a table; only
// the line that comes out widest is shaped. Kerning moves the two by a pixel
// or two, and the larger is kept.
class LineWidths {
public:
    explicit LineWidths(const QFontMetrics& metrics) : metrics_(metrics)
    {
        for (char16_t c = 0; c < ascii_.size(); ++c)
            ascii_[c] = metrics.horizontalAdvance(QChar(c));
    }

    int Estimate(std::string_view text)
    {
        const std::optional<int> ascii = AsciiWidth(text, ascii_);
        return ascii ? *ascii : EstimateUnicode(text);
    }

    int Shaped(std::string_view text) const
    {
        return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

private:
    int EstimateUnicode(std::string_view text)
    {
        int width = 0;
        for (const QChar c : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))) {
            auto [found, added] = other_.try_emplace(c.unicode(), 0);
            if (added)
                found->second = metrics_.horizontalAdvance(c);
            width += found->second;
        }
        return width;
    }

    const QFontMetrics& metrics_;
    AsciiAdvances ascii_{};
    std::unordered_map<char16_t, int> other_;
};

int WidestLine(const LineListModel& model, const QFontMetrics& metrics)
{
    LineWidths widths(metrics);
    int widestEstimate = 0;
    int widestRow = -1;
    for (int row = 0; row < model.rowCount(); ++row) {
        const int estimate = widths.Estimate(model.LineText(row));
        if (estimate > widestEstimate) {
            widestEstimate = estimate;
            widestRow = row;
        }
    }
    return widestRow < 0 ? 0 : std::max(widestEstimate, widths.Shaped(model.LineText(widestRow)));
}

} // namespace

QSize WidestLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const auto* model = qobject_cast<const LineListModel*>(index.model());
    if (model == nullptr)
        return size;
    if (measuredGeneration_ != model->Generation()) {
        widest_ = WidestLine(*model, option.fontMetrics);
        measuredGeneration_ = model->Generation();
    }
    // The sample line's own margins, around the widest text.
    const int sampleWidth = option.fontMetrics.horizontalAdvance(index.data().toString());
    size.setWidth(size.width() - sampleWidth + widest_);
    return size;
}

} // namespace tallowick
