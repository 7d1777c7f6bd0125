#pragma once
// The rules a map's tracks keep on one screen, checked on the paths the game builds from its curve
// file: each broken rule is one message naming map, screen, curve, rule and place.
#include <string>
#include <vector>

#include "game/play/curve_path.h"
#include "game/tables/layout_table.h"
#include "game/tables/map_info.h"

class Surface;

// One screen: its size, display mode and layout table.
struct TrackScreen {
    std::string name;  // "640x480"...
    int width = 640;
    int height = 480;
    int mode = 5;
    const LayoutTable* layout = nullptr;
};

// An overlay's opaque shape at its place on the screen.
struct TrackMask {
    int x = 0, y = 0;
    const Surface* alpha = nullptr;  // alpha plane; null when the pack holds none
};

struct CurveFigures {
    double length = 0, rollIn = 0, danger = 0, frogDistance = 0, meanShot = 0, hiddenShare = 0;
    std::vector<double> coinGuards;  // each coin spot's guard distance on this curve
};

struct TrackCheck {
    std::vector<std::string> faults;
    std::vector<CurveFigures> figures;
};

// Checks everything but the overlay masks; fill is the largest fill share a record plays the map with.
TrackCheck CheckTracks(const MapInfo& map, CurvePath* curves, int count, const TrackScreen& screen, double fill);

// Each tunnel segment and the stretch beyond each mouth lie in the opaque part of one mask; the coin
// spots lie in none.
std::vector<std::string> CheckMasks(const MapInfo& map, CurvePath* curves, int count, const TrackScreen& screen,
                                    const std::vector<TrackMask>& masks);

// A design point on the screen, as level loading maps it.
void DesignToScreen(const TrackScreen& screen, double& x, double& y);
