#include "platform/qt/line_list_model.h"

#include <algorithm>
#include <iterator>

namespace tallowick {
namespace {

// The case-folded text, or an empty string where folding changes nothing.
// Paths are nearly always ASCII, often all lowercase: those cost no copy.
std::string FoldedIfDifferent(std::string_view text)
{
    bool hasUpper = false;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            std::string folded =
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toCaseFolded().toStdString();
            return folded == text ? std::string() : folded;
        }
        hasUpper = hasUpper || (c >= 'A' && c <= 'Z');
    }
    if (!hasUpper)
        return {};
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

} // namespace

LineListModel::LineListModel(bool sorted, QObject* parent) : QAbstractListModel(parent), sorted_(sorted) {}

bool LineListModel::ShownBefore(const Line& a, const Line& b)
{
    const int byKey = a.Key().compare(b.Key());
    return byKey != 0 ? byKey < 0 : a.text < b.text;
}

void LineListModel::Append(std::string_view text)
{
    pending_.push_back({std::string(text), sorted_ ? FoldedIfDifferent(text) : std::string()});
}

void LineListModel::Clear()
{
    beginResetModel();
    lines_.clear();
    lines_.shrink_to_fit();
    pending_.clear();
    pending_.shrink_to_fit();
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
        lines_.insert(lines_.end(), std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
    if (sorted_ && oldCount > 0)
        std::inplace_merge(lines_.begin(), lines_.begin() + oldCount, lines_.end(), ShownBefore);
    pending_.clear();
    pending_.shrink_to_fit();
    endResetModel();
}

std::vector<std::string> LineListModel::Lines() const
{
    std::vector<std::string> lines;
    lines.reserve(lines_.size());
    for (const Line& line : lines_)
        lines.push_back(line.text);
    return lines;
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
    const std::string& text = lines_[static_cast<std::size_t>(index.row())].text;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tallowick
