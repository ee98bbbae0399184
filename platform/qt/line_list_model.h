#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QAbstractListModel>

namespace tallowick {

// The lines of a list box, kept as UTF-8 and turned into QStrings only for
// the rows the view asks for. Appending emits nothing: the lines appended
// since the last Commit are sorted once and merged in, and the view is reset
// once, so filling the list with n lines costs O(n log n).
class LineListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    LineListModel(bool sorted, QObject* parent);

    void Append(std::string_view text);
    void Clear();
    // Shows the lines appended since the last commit.
    void Commit();
    bool HasUncommitted() const { return !pending_.empty(); }

    // The committed lines in the order they are shown.
    std::vector<std::string> Lines() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Line {
        std::string text;
        std::string folded; // case-folded text; empty when it equals `text`
        const std::string& Key() const { return folded.empty() ? text : folded; }
    };
    // Case-insensitive, ties broken by the exact text.
    static bool ShownBefore(const Line& a, const Line& b);

    bool sorted_;
    std::vector<Line> lines_;
    std::vector<Line> pending_;
};

} // namespace tallowick
