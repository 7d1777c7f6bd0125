#pragma once
// Builds module fixtures with our writer and drives a player one frame at a time, recording
// where ticks and rows begin.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/sound/module_player.h"

// Writes tests/data/modules/<name>.txt into a module with modwriter and returns its bytes
// (empty when the writer fails).
std::vector<uint8_t> BuildModule(const std::string& name);
// Writes the module to a file of this process's own and returns its path (empty on failure).
std::string WriteModuleFile(const std::string& name);

struct PlayedRow {
    int order;
    int row;
    long frame;  // first frame rendered with the row's cells applied
};

class PlayerRun {
public:
    // Loads and starts at 22050 Hz, 16-bit mono, full module volume; `loaded` says whether it did.
    explicit PlayerRun(const std::vector<uint8_t>& bytes, bool loop = false, int rate = 22050);
    // Renders one frame at a time, at most `frames`, stopping early once the player stops.
    void Run(long frames);
    // Runs until `rows` more rows were read (or the song stops).
    void RunRows(int rows);

    ModulePlayer player;
    bool loaded = false;
    long frame = 0;
    std::vector<int16_t> output;
    std::vector<PlayedRow> rows;
    std::vector<long> tickStarts;
    // Per frame, the 22.10 position of channel 0 after the frame.
    std::vector<uint32_t> positions;
};
