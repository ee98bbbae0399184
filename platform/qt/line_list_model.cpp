#include "platform/qt/line_list_model.h"

#include <algorithm>

#include "platform/text/ascii.h"

namespace tallowick {
namespace {

bool HasUpperAscii(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

constexpr std::size_t kBlockSize = 1 << 20;

} // namespace

LineListModel::LineListModel(bool sorted, QObject* parent) : QAbstractListModel(parent), sorted_(sorted) {}

bool LineListModel::ShownBefore(const Line& a, const Line& b)
{
    const int byKey = Key(a).compare(Key(b));
    return byKey != 0 ? byKey < 0 : Text(a) < Text(b);
}

char* LineListModel::Store(std::size_t size)
{
    if (size > blockFree_) {
        const std::size_t blockSize = std::max(size, kBlockSize);
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
        blockNext_ = blocks_.back().get();
        blockFree_ = blockSize;
    }
    char* room = blockNext_;
    blockNext_ += size;
    blockFree_ -= size;
    return room;
}

void LineListModel::Append(std::string_view text)
{
    Line line;
    line.textSize = static_cast<std::uint32_t>(text.size());
    char* stored = Store(text.size());
    std::copy(text.begin(), text.end(), stored);
    line.text = stored;
    line.key = line.text;
    line.keySize = line.textSize;
    // Paths are nearly always ASCII: those are folded here, the rest by Qt.
    if (sorted_ && !IsAscii(text)) {
        const std::string folded =
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toCaseFolded().toStdString();
        if (folded != text) {
            char* key = Store(folded.size());
            std::copy(folded.begin(), folded.end(), key);
            line.key = key;
            line.keySize = static_cast<std::uint32_t>(folded.size());
        }
    } else if (sorted_ && HasUpperAscii(text)) {
        char* key = Store(text.size());
        std::transform(text.begin(), text.end(), key, [](char c) { return LowerAscii(c); });
        line.key = key;
    }
    pending_.push_back(line);
}

void LineListModel::Clear()
{
    beginResetModel();
    blocks_.clear();
    blocks_.shrink_to_fit();
    blockNext_ = nullptr;
    blockFree_ = 0;
    lines_.clear();
    lines_.shrink_to_fit();
    pending_.clear();
    pending_.shrink_to_fit();
    ++generation_;
    endResetModel();
}

void LineListModel::Commit()
{
    if (pending_.empty())
        return;
    beginResetModel();
    const auto shownBefore = [this](const Line& a, const Line& b) { return ShownBefore(a, b); };
    if (sorted_)
        std::sort(pending_.begin(), pending_.end(), shownBefore);
    const auto oldCount = static_cast<std::ptrdiff_t>(lines_.size());
    if (lines_.empty())
        lines_.swap(pending_);
    else
        lines_.insert(lines_.end(), pending_.begin(), pending_.end());
    if (sorted_ && oldCount > 0)
        std::inplace_merge(lines_.begin(), lines_.begin() + oldCount, lines_.end(), shownBefore);
    pending_.clear();
    pending_.shrink_to_fit();
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
    const std::string_view text = Text(lines_[static_cast<std::size_t>(index.row())]);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tallowick
