#include "layout/image_map.h"

#include "html/attributes.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>

namespace lumo {

std::vector<int> ParseCoords(std::string_view value) {
    std::vector<int> numbers;
    std::string_view s = Trim(value);
    size_t i = 0;
    while (i < s.size() && numbers.size() < 301) {
        size_t end = s.find_first_of(", ", i);
        if (end == std::string_view::npos) end = s.size();
        std::string_view text = s.substr(i, std::min<size_t>(end - i, 20));
        long long n = 0;
        const char* first = text.data();
        const char* last = text.data() + text.size();
        if (first != last && *first == '+') ++first;
        auto [ptr, ec] = std::from_chars(first, last, n);
        if (ec == std::errc::result_out_of_range)
            n = (first != last && *first == '-') ? -MapCoordLimit : MapCoordLimit;
        else if (ec != std::errc() || ptr != last)
            n = 0;
        numbers.push_back(
            static_cast<int>(std::clamp<long long>(n, -MapCoordLimit, MapCoordLimit)));
        i = end;
        while (i < s.size() && (s[i] == ',' || s[i] == ' '))
            ++i;
    }
    return numbers;
}

namespace {

// The pixel (X, Y) is inside the ellipse inscribed in [l, r) x [t, b) when
// its centre is.
bool InEllipse(double l, double t, double r, double b, int X, int Y) {
    double a = (r - l) / 2, c = (b - t) / 2;
    if (a <= 0 || c <= 0) return false;
    double dx = (X + 0.5 - (l + a)) / a, dy = (Y + 0.5 - (t + c)) / c;
    return dx * dx + dy * dy <= 1.0;
}

// Non-zero winding of the polygon around the pixel's centre.
bool InPolygon(const std::vector<int>& c, int X, int Y) {
    size_t n = c.size() / 2;
    double px = X + 0.5, py = Y + 0.5;
    int winding = 0;
    for (size_t i = 0; i < n; ++i) {
        double x1 = c[2 * i], y1 = c[2 * i + 1];
        double x2 = c[2 * ((i + 1) % n)], y2 = c[2 * ((i + 1) % n) + 1];
        double cross = (x2 - x1) * (py - y1) - (px - x1) * (y2 - y1);
        if (y1 <= py) {
            if (y2 > py && cross > 0) ++winding;
        } else if (y2 <= py && cross < 0) {
            --winding;
        }
    }
    return winding != 0;
}

} // namespace

bool TMapArea::Contains(int X, int Y) const {
    switch (Shape) {
    case AreaShape::Rect: {
        // Both edges are inside: the region runs to x2 + 1, y2 + 1.
        int l = std::min(Coords[0], Coords[2]), r = std::max(Coords[0], Coords[2]) + 1;
        int t = std::min(Coords[1], Coords[3]), b = std::max(Coords[1], Coords[3]) + 1;
        return X >= l && X < r && Y >= t && Y < b;
    }
    case AreaShape::Circle: {
        double x = Coords[0], y = Coords[1], rad = Coords[2];
        double l = std::min(x - rad, x + rad + 1), r = std::max(x - rad, x + rad + 1);
        double t = std::min(y - rad, y + rad + 1), b = std::max(y - rad, y + rad + 1);
        return InEllipse(l, t, r, b, X, Y);
    }
    case AreaShape::Poly: return InPolygon(Coords, X, Y);
    }
    return false;
}

void TImageMap::AddArea(const TAttributeList& attributes) {
    TMapArea area;
    bool haveCoords = false;
    for (const auto& attr : attributes) {
        switch (attr->Which) {
        case HrefTok: area.Link = attr->Name; break;
        case NoHrefTok: area.Link.clear(); break;
        case TargetTok: area.Target = attr->Name; break;
        case ShapeTok: {
            std::string shape = LowerCase(attr->Name).substr(0, 4);
            area.Shape = shape == "circ"   ? AreaShape::Circle
                         : shape == "poly" ? AreaShape::Poly
                                           : AreaShape::Rect;
            break;
        }
        case CoordsTok:
            area.Coords = ParseCoords(attr->Name);
            haveCoords = true;
            break;
        default: break;
        }
    }
    if (!haveCoords) return;
    size_t needed = area.Shape == AreaShape::Rect ? 4 : area.Shape == AreaShape::Circle ? 3 : 6;
    if (area.Coords.size() < needed) return;
    if (area.Shape == AreaShape::Poly && area.Coords.size() % 2) area.Coords.pop_back();
    Areas.push_back(std::move(area));
}

bool TImageMap::LinkAtPoint(int X, int Y, std::unique_ptr<TUrlTarget>& urlTarget) const {
    for (const TMapArea& area : Areas) {
        if (!area.Contains(X, Y)) continue;
        if (area.Link.empty()) return false;
        urlTarget = std::make_unique<TUrlTarget>();
        urlTarget->Assign(area.Link, area.Target);
        return true;
    }
    return false;
}

} // namespace lumo
