#include "platform/qt/line_list_model.h"

#include <algorithm>

#include "platform/text/ascii.h"

namespace tallowick {

bool LineListModel::ShownBefore(const Line& a, const Line& b)
{
    // ASCII letters folded to lower case, byte by byte as unsigned characters.
    const auto folded = [](char c) { return static_cast<unsigned char>(LowerAscii(c)); };
    const std::string_view x = a.Key();
    const std::string_view y = b.Key();
    const std::size_t same = FirstDifference(x, y);
    const auto byKey = std::lexicographical_compare_three_way(
        x.begin() + same, x.end(), y.begin() + same, y.end(), [&](char p, char q) { return folded(p) <=> folded(q); });
    return byKey != 0 ? byKey < 0 : a.Text() < b.Text();
}

void LineListModel::Append(const SharedText& line)
{
    const std::string_view text = kept_.Keep(line);
    Line added{.text = text.data(), .textSize = static_cast<std::uint32_t>(text.size())};
    // Paths are nearly always ASCII, folded as they are compared; the rest
    // are folded by Qt, once.
    if (sorted_ && !IsAscii(text)) {
        const std::string folded = QString::fromUtf8(text).toCaseFolded().toStdString();
        if (folded != LowerAscii(text)) {
            const std::string_view key = kept_.Copy(folded);
            added.key = key.data();
            added.keySize = static_cast<std::uint32_t>(key.size());
        }
    }
    pending_.push_back(added);
}

void LineListModel::Clear()
{
    beginResetModel();
    kept_.Clear();
    lines_ = {};
    pending_ = {};
    ++generation_;
    endResetModel();
}

void LineListModel::Commit()
{
    if (pending_.empty())
        return;
    beginResetModel();
    if (sorted_)
        std::sort(pending_.begin(), pending_.end(), ShownBefore);
    const auto oldCount = static_cast<std::ptrdiff_t>(lines_.size());
    if (lines_.empty())
        lines_.swap(pending_);
    else
        lines_.insert(lines_.end(), pending_.begin(), pending_.end());
    if (sorted_ && oldCount > 0)
        std::inplace_merge(lines_.begin(), lines_.begin() + oldCount, lines_.end(), ShownBefore);
    pending_ = {};
    ++generation_;
    endResetModel();
}

int LineListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant LineListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    return QString::fromUtf8(LineText(index.row()));
}

} // namespace tallowick
