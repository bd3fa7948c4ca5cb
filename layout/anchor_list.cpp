#include "layout/anchor_list.h"

#include "platform/text.h"

#include <algorithm>

namespace lumo {

int TSourcePositionTarget::YPosition() {
    return List.YOfSourcePosition ? List.YOfSourcePosition(SourcePos) : 0;
}

bool TAnchorList::LessText::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(AsciiUpper(x)) <
               static_cast<unsigned char>(AsciiUpper(y));
    });
}

void TAnchorList::AddObject(std::string_view name, TAnchorTarget* obj) {
    auto it = entries_.find(name);
    if (it != entries_.end()) entries_.erase(it);
    entries_.emplace(std::string(name), Entry{obj, nullptr});
}

void TAnchorList::AddSourcePosition(std::string_view name, int pos) {
    auto owned = std::make_unique<TSourcePositionTarget>(*this, pos);
    TAnchorTarget* obj = owned.get();
    auto it = entries_.find(name);
    if (it != entries_.end()) entries_.erase(it);
    entries_.emplace(std::string(name), Entry{obj, std::move(owned)});
}

void TAnchorList::RemoveObject(std::string_view name, const TAnchorTarget* obj) {
    auto it = entries_.find(name);
    if (it != entries_.end() && it->second.Obj == obj) entries_.erase(it);
}

TAnchorTarget* TAnchorList::Find(std::string_view name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.Obj;
}

} // namespace lumo
