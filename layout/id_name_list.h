// Named positions: element IDs and anchor names, each pointing at the object
// that knows its Y in the laid-out document.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace lumo {

class TIDObject {
public:
    virtual ~TIDObject() = default;
    // The Y of the object in the laid-out document.
    virtual int YPosition() = 0;
};

class TIDNameList;

// An ID on an element without a layout object of its own: its Y is the Y of
// the source position where the ID appeared.
class TChPosObj : public TIDObject {
public:
    TChPosObj(TIDNameList& list, int chPos) : ChPos(chPos), List(list) {}
    int YPosition() override;

    int ChPos;
    TIDNameList& List;
};

// Names are compared without regard to ASCII case. The list owns only its
// TChPosObj objects; layout objects registered here belong to their cells.
class TIDNameList {
public:
    TIDNameList() = default;
    TIDNameList(const TIDNameList&) = delete;
    TIDNameList& operator=(const TIDNameList&) = delete;

    // The owning document's answer to "the Y of this source position"; set by
    // the document so TChPosObj can ask it. Without it the Y is 0.
    std::function<int(int)> YOfSourcePosition;

    // The last definition of a name wins.
    void AddObject(std::string_view name, TIDObject* obj);
    void AddChPosObject(std::string_view name, int pos);
    TIDObject* Find(std::string_view name) const;
    // Forgets the name if it still points at obj (an object going away).
    void RemoveObject(std::string_view name, const TIDObject* obj);
    int Count() const { return static_cast<int>(entries_.size()); }
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        TIDObject* Obj = nullptr;
        std::unique_ptr<TChPosObj> Owned;
    };
    struct LessText {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::map<std::string, Entry, LessText> entries_;
};

} // namespace lumo
