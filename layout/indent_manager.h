// The indents that floats and blocks put into the width of an area. All X and
// Y are pixels of the enclosing layout; a record is active at Y when
// YT <= Y < YB and its ID is 0 or the ActiveID.
#pragma once

#include <cstddef>
#include <vector>

namespace lumo {

struct TIndent {
    int X = 0;                // the edge, from LeftEdgeX
    int YT = 0;               // first row the record holds
    int YB = 9999999;         // row where it stops holding; 9999999 while open
    const void* ID = nullptr; // owner of a temporary indent; null for everyone's
    bool Float = false;
};

// A place for a float: where it goes and the indent that limits it.
struct TFloatPlace {
    int Position;
    int Limit;
};

class TIndentManager {
public:
    std::vector<TIndent> L; // left indents
    std::vector<TIndent> R; // right indents
    const void* ActiveID = nullptr;
    int LeftEdgeX = 0; // X of the area's left edge
    int Width = 0;     // the area's width; the right edge where no right indent holds

    void Clear();
    void Reset(int lf, int wd);
    int PushLeftIndent(int X, int Y);
    int PushRightIndent(int X, int Y);
    void PopLeftIndent(int index, int Y);
    void PopRightIndent(int index, int Y);
    int LeftEdgeAt(int Y) const;
    int RightEdgeAt(int Y) const;
    TFloatPlace PlaceLeftFloat(int Y) const;
    TFloatPlace PlaceRightFloat(int Y) const;
    // A float's indent for the rows YT up to (not including) YB.
    int AddLeftFloat(int X, int YT, int YB);
    int AddRightFloat(int X, int YT, int YB);
    // Ends a temporary indent at Y. The most recent record is removed
    // outright, so nested blocks leave no closed records behind and the
    // look-ups stay short however long the document is.
    void ReleaseLeftIndent(int index, int Y);
    void ReleaseRightIndent(int index, int Y);
    // The float queries see only float records: a cell's own open indents
    // run to 9999999 and would send every clear to the end of the world.
    int FloatsBottom() const;
    // How many records there are now. Records only ever go from the end,
    // so the floats at or after a mark are those added since it.
    struct TMark {
        size_t Left = 0, Right = 0;
    };
    TMark Mark() const { return {L.size(), R.size()}; }
    // FloatsBottom of the floats added since mark: those a block laid out
    // since then holds, not those beside it from before.
    int FloatsBottomSince(const TMark& mark) const;
    void ClearY(int& CL, int& CR) const;
    int NextWiderY(int Y) const;
    // The first Y from top where width fits between the floats and inside
    // [left, right). It goes down past at most MaxFloatDrops float
    // bottoms, then stays: thousands of floats cost each a few look-ups.
    int RoomYFrom(int top, int left, int right, int width) const;
    static constexpr int MaxFloatDrops = 64;

    bool Active(const TIndent& r, int Y) const;
};

} // namespace lumo
