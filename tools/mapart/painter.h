#pragma once
// Paints a level: the map's ground, a carved groove along every open stretch of track, stone roofs
// over the tunnels and their mouths, the frog's dais. The roofs are also cut out as the overlays'
// alpha masks, one canvas for both, since the game takes the overlays' colour from the level image.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mapart/map_list.h"
#include "tools/mapart/track.h"

namespace mapart {

// Where the design space lands on a picture: screen = design * scale + offset.
struct View {
    int width = 640, height = 480;
    float scale = 1, offsetX = 0, offsetY = 0;
    // Screen pixels of track beyond each tunnel mouth along which balls are drawn under the roofs.
    float mouthStretch = 0;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

struct OverlayMask {
    std::string image;
    int x = 0, y = 0;  // screen top-left
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
};

struct Painted {
    Picture picture;
    std::vector<OverlayMask> overlays;  // in the map's order
    std::vector<std::string> warnings;
};

// Design units a roof reaches beyond the track's centre line, and beyond the mouth stretch along it.
constexpr float kRoofHalfWidth = 30;
constexpr float kRoofMargin = 4;
constexpr float kGrooveRadius = 21;

// Screen top-left of an overlay: the design corner times the design scale, whole, plus the
// design area's place on the screen (as level loading computes it, in 24.8 fixed point).
int OverlayCorner(int design, int fixedScaleRaw, int offset);

// tracks must be flattened. Overlays are cut only when `overlays` is set.
Painted PaintLevel(const MapArt& map, const std::vector<Track>& tracks, const View& view, bool overlays);

// Halves a picture's size by averaging 2x2 blocks.
Picture Halve(const Picture& p);

}  // namespace mapart
