#pragma once
// The map list: per map its art name, the ground it is painted on, the frog's place and the
// overlays level loading cuts from the level image (names and design top-left corners).
//   map <art>
//     ground <kind> <base #rrggbb> <dark #rrggbb> <accent #rrggbb>
//     roof <#rrggbb>        stone of the tunnel roofs (maps with overlays)
//     moss <0..1>           how much moss grows in the ground's cracks
//     frog <x> <y>
//     overlay <image> <x> <y>
//     nebula                no level image: the map plays on the nebula
//   end
#include <cstdint>
#include <string>
#include <vector>

namespace mapart {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

struct OverlaySpot {
    std::string image;
    int x = 0, y = 0;
    int width = 0, height = 0;  // the design rectangle the track's source gives it; 0 when unknown
};

struct MapArt {
    std::string art;
    int line = 0;
    std::string entry;  // the list's lines from "map" to "end", what the map is painted from
    std::string ground;
    Rgb base, dark, accent;
    Rgb roof{0.72f, 0.66f, 0.56f};
    float moss = 0;
    int frogX = 320, frogY = 240;
    bool nebula = false;
    std::vector<OverlaySpot> overlays;
    uint32_t Seed() const;
};

bool ParseColour(const std::string& text, Rgb& out);
bool KnownGround(const std::string& kind);

// Reads the list; false with "<file>:<line>: <message>" in error.
bool ReadMapList(const std::string& path, std::vector<MapArt>& maps, std::string& error);

// Takes the overlays' sizes from a track source's "overlay <name> <x> <y> <w> <h>" lines; false
// with "<file>:<line>: <message>" when a name is unknown to the map or its corner differs. A missing
// source leaves the sizes unknown.
bool ReadOverlaySizes(const std::string& path, MapArt& map, std::string& error);

}  // namespace mapart
