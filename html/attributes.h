// The attributes of one tag, as the tokenizer reads them.
#pragma once

#include "html/free_list.h"
#include "html/symbols.h"

#include <cstdint>
#include <memory>
#include <string>

namespace lumo {

class TProperties;

struct TAttribute {
    TAttribute(TokenKind which, int32_t value, std::string name)
        : Which(which), Value(value), Name(std::move(name)) {}

    TokenKind Which;  // the attribute's symbol; UnknownAttrTok when unknown
    int32_t Value;    // the number the value reads as; 1 for a bare BORDER
    std::string Name; // the value text
};

class TAttributeList : public TFreeList<TAttribute> {
public:
    TAttributeList();
    ~TAttributeList();
    TAttributeList(TAttributeList&&) noexcept;
    TAttributeList& operator=(TAttributeList&&) noexcept;

    // The first attribute with that symbol, or null.
    const TAttribute* Find(TokenKind sym) const;

    // The value text of the first attribute with that symbol, or "".
    std::string Text(TokenKind sym) const;
    // The CLASS value lower-cased, or "".
    std::string GetClass() const;
    // The ID value lower-cased, or ""; worked out once per tag.
    const std::string& GetID();
    // The STYLE attribute parsed into properties the list keeps until
    // Clear; null without a STYLE attribute. Worked out once per tag.
    TProperties* GetStyle();

    void Clear();

private:
    std::string id_;
    bool idKnown_ = false;
    std::unique_ptr<TProperties> style_;
    bool styleKnown_ = false;
};

} // namespace lumo
