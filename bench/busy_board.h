#pragma once
// The made-up busy board of the gameplay benchmarks, saved as the game saves a level for resume.
#include <cstdint>
#include <vector>

// The player the record needs: the gauntlet's map 14 at stage 5.
constexpr int kBusyBoardMode = 1;
constexpr int kBusyBoardStage = 5;
constexpr int kBusyBoardMap = 14;

// The screen id 1 and the board's own saved state; false when the board could not be set up.
bool SaveBusyBoardRecord(std::vector<uint8_t>& record);
