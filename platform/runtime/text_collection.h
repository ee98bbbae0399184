#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/interfaces/shared_text.h"

namespace tallowick {

// Texts copied once into blocks that never move. Each text is handed out
// with its block, which lives as long as anyone keeps it.
class TextStore {
public:
    SharedText Add(std::string_view text)
    {
        if (text.size() > size_ - used_) {
            size_ = std::max(text.size(), kBlockSize);
            block_ = std::shared_ptr<char[]>(new char[size_]); // left unwritten: untouched pages cost nothing
            used_ = 0;
        }
        char* stored = block_.get() + used_;
        std::copy(text.begin(), text.end(), stored);
        used_ += text.size();
        return {{stored, text.size()}, block_};
    }
    // The room of the block that the last text went into.
    std::size_t BlockSize() const { return size_; }

private:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 18;

    std::shared_ptr<char[]> block_;
    std::size_t size_ = 0;
    std::size_t used_ = 0;
};

// What keeps a list's texts alive without copying them: the stores they
// came with, each once, and a copy of each text that came without one.
class TextKeeper {
public:
    std::string_view Keep(const SharedText& text)
    {
        SharedText kept = text.store ? text : copies_.Add(text.text);
        if (stores_.empty() || stores_.back() != kept.store)
            stores_.push_back(std::move(kept.store));
        return kept.text;
    }
    std::string_view Copy(std::string_view text) { return Keep({text, nullptr}); }
    void Clear() { *this = TextKeeper(); }

private:
    TextStore copies_;
    std::vector<std::shared_ptr<const char[]>> stores_;
};

// Texts numbered from 1, each stored once and shareable, with the four operations
// the commands use. Removing the first item (how the list is emptied) costs O(1).
class TextCollection {
public:
    void Add(std::string_view text)
    {
        SharedText stored = store_.Add(text);
        if (blocks_.empty() || blocks_.back().chars != stored.store)
            blocks_.push_back({std::move(stored.store), store_.BlockSize()});
        items_.push_back(stored.text);
    }

    std::size_t Count() const { return items_.size(); }

    std::string_view Item(std::size_t index) const { return items_.at(Checked(index)); }
    // The item with the block that holds it: a text knows its block only by
    // where it lies, so that an item takes no room for it.
    SharedText Shared(std::size_t index) const
    {
        const std::string_view item = items_.at(Checked(index));
        const std::less<const char*> before;
        for (const Block& block : blocks_)
            if (!before(item.data(), block.chars.get()) && before(item.data(), block.chars.get() + block.size))
                return {item, block.chars};
        return {item, nullptr};
    }

    void Remove(std::size_t index)
    {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(Checked(index)));
        if (items_.empty())
            *this = TextCollection(); // the blocks go once nobody else keeps them
    }

private:
    struct Block {
        std::shared_ptr<const char[]> chars;
        std::size_t size;
    };

    std::size_t Checked(std::size_t index) const
    {
        if (index < 1 || index > items_.size())
            throw std::out_of_range("collection index out of range");
        return index - 1;
    }

    TextStore store_;
    std::vector<Block> blocks_;
    std::deque<std::string_view> items_;
};

} // namespace tallowick
