// The address and target of a link. Every Assign draws a new ID from one
// counter for the whole program, so the text runs of one link share an ID
// that no other link has.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

class TUrlTarget {
public:
    std::string Url;
    std::string Target;
    int ID = 0;

    void Assign(std::string_view url, std::string_view target);
    void Clear();
};

} // namespace lumo
