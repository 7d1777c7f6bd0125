#pragma once
// One difficulty step: how the chain rolls in and moves, what the level asks for and how often
// coins and power-ups come. Every record starts from these defaults and sets only its own values.
#include <cstdint>

#include "engine/core/fixed.h"
#include "game/tables/progression.h"
#include "game/tables/record_table.h"

struct LevelSettings {
    const char* name = nullptr;     // label only: "lvl" door position, "level" n or "dual" n
    int32_t coinInterval = 300;     // frames
    int32_t parTime = 0;            // seconds; below 1 the set-up derives it from pointsNeeded
    int32_t fillPercent = 40;       // share of each curve the chain rolls in to
    int32_t dangerDistance = 600;   // design pixels back from a curve's end
    Fixed chainSpeed = Fixed::Raw(128);  // 0.5
    int32_t repeatColourPercent = 40;
    Fixed endSpeedDivisor = Fixed::Raw(4 << 8);
    int32_t dangerRampLength = 500;  // design pixels
    int32_t pointsNeeded = 1000;
    int32_t reverseDuration = 99;  // frames
    int32_t slowDuration = 363;    // frames
    int32_t powerUpInterval = 990;  // frames
};

using SettingsTable = RecordTable<LevelSettings>;

inline constexpr int kGauntletSettingsCount = 30;
inline constexpr int kDualSettingsCount = 24;
