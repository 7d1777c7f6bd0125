#pragma once
// A busy board saved as the resume store holds a level (the screen id 1, then the board's own
// record), with the player the record needs to come back.
#include <cstdint>
#include <vector>

struct BusyRecord {
    std::vector<uint8_t> bytes;
    int mode = 0;         // 0 adventure, 1 gauntlet
    int stage = 0;
    int gauntletMap = 0;  // the gauntlet's map
};

// The made-up busy board of the gameplay benchmarks, at the benchmarks' screen size; false when
// the board could not be set up.
bool SaveBusyBoardRecord(BusyRecord& record);
