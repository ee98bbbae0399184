#pragma once

#include <cstddef>
#include <deque>
#include <stdexcept>
#include <utility>

namespace tallowick {

// An ordered collection numbered from 1, with the four operations the
// commands use. A deque keeps Remove(1), the way the list is emptied, O(1).
template <typename T>
class Collection {
public:
    void Add(T value) { items_.push_back(std::move(value)); }

    std::size_t Count() const { return items_.size(); }

    const T& Item(std::size_t index) const { return items_.at(checked(index)); }

    void Remove(std::size_t index) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(checked(index))); }

private:
    std::size_t checked(std::size_t index) const
    {
        if (index < 1 || index > items_.size())
            throw std::out_of_range("collection index out of range");
        return index - 1;
    }

    std::deque<T> items_;
};

} // namespace tallowick
