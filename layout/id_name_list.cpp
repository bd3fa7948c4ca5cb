#include "layout/id_name_list.h"

#include "platform/text.h"

#include <algorithm>

namespace lumo {

int TChPosObj::YPosition() {
    return List.YOfSourcePosition ? List.YOfSourcePosition(ChPos) : 0;
}

bool TIDNameList::LessText::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(AsciiUpper(x)) <
               static_cast<unsigned char>(AsciiUpper(y));
    });
}

void TIDNameList::AddObject(std::string_view name, TIDObject* obj) {
    auto it = entries_.find(name);
    if (it != entries_.end()) entries_.erase(it);
    entries_.emplace(std::string(name), Entry{obj, nullptr});
}

void TIDNameList::AddChPosObject(std::string_view name, int pos) {
    auto owned = std::make_unique<TChPosObj>(*this, pos);
    TIDObject* obj = owned.get();
    auto it = entries_.find(name);
    if (it != entries_.end()) entries_.erase(it);
    entries_.emplace(std::string(name), Entry{obj, std::move(owned)});
}

void TIDNameList::RemoveObject(std::string_view name, const TIDObject* obj) {
    auto it = entries_.find(name);
    if (it != entries_.end() && it->second.Obj == obj) entries_.erase(it);
}

TIDObject* TIDNameList::Find(std::string_view name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.Obj;
}

} // namespace lumo
