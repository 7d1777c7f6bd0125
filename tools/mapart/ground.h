#pragma once
// The temple grounds the levels are painted on, as height and colour at a design-space point.
#include "tools/mapart/map_list.h"

namespace mapart {

struct GroundPoint {
    float height = 0;  // relief, about 0..0.4 (1 is a roof's top)
    Rgb albedo;
    Rgb glow;          // light of its own, unshaded (lava)
};

GroundPoint Ground(const MapArt& map, float x, float y);

inline Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb Scale(const Rgb& a, float k) { return {a.r * k, a.g * k, a.b * k}; }

}  // namespace mapart
