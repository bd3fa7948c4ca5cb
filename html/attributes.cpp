#include "html/attributes.h"

#include "html/properties.h"
#include "html/style_sheet.h"
#include "platform/text.h"

namespace lumo {

TAttributeList::TAttributeList() = default;
TAttributeList::~TAttributeList() = default;
TAttributeList::TAttributeList(TAttributeList&&) noexcept = default;
TAttributeList& TAttributeList::operator=(TAttributeList&&) noexcept = default;

const TAttribute* TAttributeList::Find(TokenKind sym) const {
    for (const auto& attr : *this)
        if (attr->Which == sym) return attr.get();
    return nullptr;
}

std::string TAttributeList::Text(TokenKind sym) const {
    const TAttribute* attr = Find(sym);
    return attr ? attr->Name : std::string();
}

std::string TAttributeList::GetClass() const {
    return LowerCase(Text(ClassTok));
}

const std::string& TAttributeList::GetID() {
    if (!idKnown_) {
        id_ = LowerCase(Text(IDTok));
        idKnown_ = true;
    }
    return id_;
}

TProperties* TAttributeList::GetStyle() {
    if (!styleKnown_) {
        styleKnown_ = true;
        if (const TAttribute* attr = Find(StyleTok)) {
            style_ = std::make_unique<TProperties>();
            ReadPropertyText(attr->Name, *style_);
        }
    }
    return style_.get();
}

void TAttributeList::Clear() {
    clear();
    id_.clear();
    idKnown_ = false;
    style_.reset();
    styleKnown_ = false;
}

} // namespace lumo
