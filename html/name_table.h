// Look-up in constant tables of {Name, ...} entries: the answer a scan in
// table order gives (the first entry of a name wins), by binary search.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo {

template <class Entry, size_t N>
const Entry* FindByName(const Entry (&table)[N], std::string_view name) {
    static const auto index = [&table] {
        std::vector<std::pair<std::string_view, size_t>> sorted;
        for (size_t i = 0; i < N; ++i)
            sorted.emplace_back(table[i].Name, i);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        sorted.erase(std::unique(sorted.begin(), sorted.end(),
                                 [](const auto& a, const auto& b) { return a.first == b.first; }),
                     sorted.end());
        return sorted;
    }();
    auto it = std::lower_bound(index.begin(), index.end(), name,
                               [](const auto& e, std::string_view n) { return e.first < n; });
    return it != index.end() && it->first == name ? &table[it->second] : nullptr;
}

} // namespace lumo
