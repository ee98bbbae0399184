#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <QAbstractListModel>

#include "platform/interfaces/shared_text.h"
#include "platform/runtime/text_collection.h"

namespace tallowick {

// The lines of a list box in UTF-8, turned into QStrings only for the rows
// the view asks for; a text that comes with its store is kept with it, not
// copied. Lines appended wait for Commit, which sorts them once, merges them
// in and resets the view once: filling the list with n lines is O(n log n).
class LineListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    LineListModel(bool sorted, QObject* parent) : QAbstractListModel(parent), sorted_(sorted) {}

    void Append(const SharedText& line);
    void Clear();
    // Shows the lines appended since the last commit.
    void Commit();
    std::string_view LineText(int row) const { return lines_[static_cast<std::size_t>(row)].Text(); }
    // Changes with every Clear and every Commit that adds lines.
    std::uint64_t Generation() const { return generation_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // A line's text, and its case-folded sort key where folding changes
    // more than ASCII letters (only a line with other characters has one).
    struct Line {
        const char* text = nullptr;
        const char* key = nullptr;
        std::uint32_t textSize = 0;
        std::uint32_t keySize = 0;

        std::string_view Text() const { return {text, textSize}; }
        std::string_view Key() const { return key ? std::string_view(key, keySize) : Text(); }
    };

    // Case-insensitive, ties broken by the exact text.
    static bool ShownBefore(const Line& a, const Line& b);

    bool sorted_;
    TextKeeper kept_; // the lines' texts, and their sort keys
    std::vector<Line> lines_;
    std::vector<Line> pending_;
    std::uint64_t generation_ = 0;
};

} // namespace tallowick
