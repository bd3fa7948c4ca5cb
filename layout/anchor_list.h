// Named positions: element IDs and anchor names, each pointing at the object
// that knows its Y in the laid-out document.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace lumo {

// What a name points at: anything that knows where it lies in the document.
class TAnchorTarget {
public:
    virtual ~TAnchorTarget() = default;
    // The Y of the object in the laid-out document.
    virtual int YPosition() = 0;
};

class TAnchorList;

// An ID on an element without a layout object of its own: its Y is the Y of
// the source position where the ID appeared.
class TSourcePositionTarget : public TAnchorTarget {
public:
    TSourcePositionTarget(TAnchorList& list, int sourcePos) : SourcePos(sourcePos), List(list) {}
    int YPosition() override;

    int SourcePos;
    TAnchorList& List;
};

// Names are compared without regard to ASCII case. The list owns only its
// TSourcePositionTarget objects; layout objects registered here belong to their cells.
class TAnchorList {
public:
    TAnchorList() = default;
    TAnchorList(const TAnchorList&) = delete;
    TAnchorList& operator=(const TAnchorList&) = delete;

    // The owning document's answer to "the Y of this source position"; set by
    // the document so TSourcePositionTarget can ask it. Without it the Y is 0.
    std::function<int(int)> YOfSourcePosition;

    // The last definition of a name wins.
    void AddObject(std::string_view name, TAnchorTarget* obj);
    void AddSourcePosition(std::string_view name, int pos);
    TAnchorTarget* Find(std::string_view name) const;
    // Forgets the name if it still points at obj (an object going away).
    void RemoveObject(std::string_view name, const TAnchorTarget* obj);
    int Count() const { return static_cast<int>(entries_.size()); }
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        TAnchorTarget* Obj = nullptr;
        std::unique_ptr<TSourcePositionTarget> Owned;
    };
    struct LessText {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::map<std::string, Entry, LessText> entries_;
};

} // namespace lumo
