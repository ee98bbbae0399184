#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractListModel>

namespace tallowick {

// The lines of a list box, kept as UTF-8 in blocks of text and turned into
// QStrings only for the rows the view asks for. Appending emits nothing: the
// lines appended since the last Commit are sorted once and merged in, and
// the view is reset once, so filling the list with n lines costs O(n log n)
// and no allocation per line.
class LineListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    LineListModel(bool sorted, QObject* parent);

    void Append(std::string_view text);
    void Clear();
    // Shows the lines appended since the last commit.
    void Commit();
    std::string_view LineText(int row) const { return Text(lines_[static_cast<std::size_t>(row)]); }
    // Changes with every Clear and every Commit that adds lines.
    std::uint64_t Generation() const { return generation_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // A line's text and its case-folded sort key, both in `blocks_`. The key
    // is the text itself where folding changes nothing.
    struct Line {
        const char* text = nullptr;
        const char* key = nullptr;
        std::uint32_t textSize = 0;
        std::uint32_t keySize = 0;
    };

    static std::string_view Text(const Line& line) { return {line.text, line.textSize}; }
    static std::string_view Key(const Line& line) { return {line.key, line.keySize}; }
    // Case-insensitive, ties broken by the exact text.
    static bool ShownBefore(const Line& a, const Line& b);
    // Room for `size` more characters that never moves: texts are copied
    // once, and the memory grows without copying what is there.
    char* Store(std::size_t size);

    bool sorted_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* blockNext_ = nullptr;
    std::size_t blockFree_ = 0;
    std::vector<Line> lines_;
    std::vector<Line> pending_;
    std::uint64_t generation_ = 0;
};

} // namespace tallowick
