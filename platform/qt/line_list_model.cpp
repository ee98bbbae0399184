#include "platform/qt/line_list_model.h"

#include <algorithm>

#include "platform/text/ascii.h"

namespace tallowick {
namespace {

// The order of the texts with ASCII letters folded to lower case, byte by
// byte as unsigned characters.
int CompareFolded(std::string_view a, std::string_view b)
{
    const std::size_t shorter = std::min(a.size(), b.size());
    for (std::size_t at = FirstDifference(a, b); at < shorter; ++at) {
        const auto x = static_cast<unsigned char>(LowerAscii(a[at]));
        const auto y = static_cast<unsigned char>(LowerAscii(b[at]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace

LineListModel::LineListModel(bool sorted, QObject* parent) : QAbstractListModel(parent), sorted_(sorted) {}

bool LineListModel::ShownBefore(const Line& a, const Line& b)
{
    const int byKey = CompareFolded(a.Key(), b.Key());
    return byKey != 0 ? byKey < 0 : a.Text() < b.Text();
}

void LineListModel::Append(const SharedText& line)
{
    const std::string_view text = kept_.Keep(line);
    Line added;
    added.text = text.data();
    added.textSize = static_cast<std::uint32_t>(text.size());
    // Paths are nearly always ASCII, folded as they are compared; the rest
    // are folded by Qt, once.
    if (sorted_ && !IsAscii(text)) {
        const std::string folded =
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toCaseFolded().toStdString();
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
    if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= lines_.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const std::string_view text = LineText(index.row());
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tallowick
