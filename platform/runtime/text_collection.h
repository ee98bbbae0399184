#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
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

private:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 18;

    std::shared_ptr<char[]> block_;
    std::size_t size_ = 0;
    std::size_t used_ = 0;
};

// An ordered collection of texts numbered from 1, with the four operations
// the commands use; each text is stored once and can be shared. Removing
// the first item, the way the list is emptied, costs O(1).
class TextCollection {
public:
    void Add(std::string_view text)
    {
        SharedText stored = store_.Add(text);
        if (blocks_.empty() || blocks_.back() != stored.store)
            blocks_.push_back(std::move(stored.store));
        items_.push_back({stored.text.data(), static_cast<std::uint32_t>(text.size()),
                          static_cast<std::uint32_t>(blocks_.size() - 1)});
    }

    std::size_t Count() const { return items_.size(); }

    std::string_view Item(std::size_t index) const { return items_.at(Checked(index)).Text(); }
    SharedText Shared(std::size_t index) const
    {
        const Entry& item = items_.at(Checked(index));
        return {item.Text(), blocks_[item.block]};
    }

    void Remove(std::size_t index)
    {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(Checked(index)));
        if (items_.empty())
            *this = TextCollection(); // the blocks go once nobody else keeps them
    }

private:
    struct Entry {
        const char* text;
        std::uint32_t size;
        std::uint32_t block; // in blocks_
        std::string_view Text() const { return {text, size}; }
    };

    std::size_t Checked(std::size_t index) const
    {
        if (index < 1 || index > items_.size())
            throw std::out_of_range("collection index out of range");
        return index - 1;
    }

    TextStore store_;
    std::vector<std::shared_ptr<const char[]>> blocks_;
    std::deque<Entry> items_;
};

} // namespace tallowick
