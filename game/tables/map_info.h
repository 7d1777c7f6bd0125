#pragma once
// The 22 maps (boards) and the map each adventure stage is played on. Coordinates are in the
// 640x480 design space; level loading turns them into screen coordinates.
#include <cstdint>
#include <span>

#include "game/tables/record_table.h"
#include "game/tables/progression.h"

// A spot where a treasure coin may appear. A percentage is a distance along that curve in
// percent of its length that the chain must have passed; 0 sets no condition on the curve.
struct TreasurePoint {
    int16_t x = 0;
    int16_t y = 0;
    int16_t curve1Percent = 0;
    int16_t curve2Percent = 0;
};

// An image drawn over the track where it runs through a tunnel; its alpha companion carries "_a".
struct OverlayImage {
    const char* image = nullptr;
    int16_t x = 0;
    int16_t y = 0;
};

struct MapInfo {
    static constexpr int kCount = 22;

    const char* name = nullptr;  // level folder, holding the overlay images
    const char* art = nullptr;   // base name of the curve file and the level images
    int8_t number = -1;          // the record's index once filled
    int16_t frogX = 0;
    int16_t frogY = 0;
    uint8_t nebula = 0;     // no level images: the animated nebula is the background
    uint8_t twoCurves = 0;  // two tracks: the gauntlet takes the two-curve difficulty table
    std::span<const TreasurePoint> treasure;  // in table order
    std::span<const OverlayImage> overlays;   // in table order
};

using MapTable = RecordTable<MapInfo>;

// Map numbers of adventure stages 1..76, by stage - 1.
extern const int32_t AdventureStageMaps[kAdventureStageCount];

// The map of an adventure stage, or -1 for a stage outside 1..76.
int AdventureStageMap(int stage);
