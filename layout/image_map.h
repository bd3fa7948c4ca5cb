// Client-side image maps: the AREA tags of one MAP, with the hit test that
// finds the link under a point of the image.
#pragma once

#include "layout/url_target.h"

#include <memory>
#include <string>
#include <vector>

namespace lumo {

class TAttributeList;

enum class AreaShape { Rect, Circle, Poly };

// One area in the image's pixel coordinates. Hit tests are geometric (the
// pixel's centre against the shape), so no area builds a region in memory.
struct TMapArea {
    std::string Link; // "" for NOHREF: covers its shape without leading anywhere
    std::string Target;
    AreaShape Shape = AreaShape::Rect;
    std::vector<int> Coords;

    bool Contains(int X, int Y) const;
};

class TImageMap {
public:
    std::string MapName; // upper case
    std::vector<TMapArea> Areas;

    // Adds the area of one AREA tag; one with too few coordinates adds nothing.
    void AddArea(const TAttributeList& attributes);
    // The link of the first area containing the point, as a new TUrlTarget;
    // false when there is none or that area has no link.
    bool LinkAtPoint(int X, int Y, std::unique_ptr<TUrlTarget>& urlTarget) const;
};

// Coordinates saturate at this magnitude.
inline constexpr int MapCoordLimit = 1000000;

// The numbers of a COORDS value: cut at commas and spaces, each read as an
// integer (0 when it does not read, saturated when huge), at most 301.
std::vector<int> ParseCoords(std::string_view value);

} // namespace lumo
