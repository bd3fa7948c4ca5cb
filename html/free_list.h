// An owning list: clearing or destroying it frees every item.
#pragma once

#include <memory>
#include <vector>

namespace lumo {

template <class T>
class TFreeList : public std::vector<std::unique_ptr<T>> {
public:
    // Takes the item and returns it, still usable by the caller.
    T* Add(std::unique_ptr<T> item) {
        this->push_back(std::move(item));
        return this->back().get();
    }
};

} // namespace lumo
