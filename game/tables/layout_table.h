#pragma once
// The per-display-mode table of screen positions, sizes, speeds and distances that the screens,
// board objects and rules read by entry number. Filled once at start-up for the game area's
// display-mode code, then only read.
#include <array>
#include <cstdint>

#include "engine/core/fixed.h"

class LayoutTable {
public:
    static constexpr int kIntCount = 188;
    static constexpr int kFixedCount = 54;

    // Writes the 188 integers of the code's set; a code without a set leaves them as they were.
    static void FillInts(LayoutTable& table, int displayModeCode);
    // Writes the Fixed values of the code's set; a code without a set leaves them as they were.
    static void FillFixed(LayoutTable& table, int displayModeCode);

    std::array<int32_t, kIntCount> ints{};
    std::array<Fixed, kFixedCount> fixed{};
};
