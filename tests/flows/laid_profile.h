#pragma once
// Save files laid in a folder before the game starts on it: a global.opt written by the game's
// own profile code, and a resume store holding records the game itself would have written.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/app/profile_store.h"

// A store with one player of the given name, the current one, shaped further by the edit; its
// bytes as the game writes them, or empty when serializing failed.
std::vector<uint8_t> ProfileBytes(const std::string& name, const std::function<void(ProfileStore&)>& edit);
// Writes the bytes to folder/file; false when the file could not be written whole.
bool LayFile(const std::string& folder, const char* file, const std::vector<uint8_t>& bytes);

struct LaidRecord {
    int32_t key = 0;  // player id * 2 + mode
    std::string name;
    std::vector<uint8_t> data;
};
// The bytes of a saveresume.dat holding the records in the store's own layout: the count, then
// each record's size and offset, then each record's key, name and data.
std::vector<uint8_t> ResumeStoreBytes(const std::vector<LaidRecord>& records);
// A resume record's data: the screen id, then the screen's 32-bit words.
std::vector<uint8_t> ScreenRecord(int32_t screenId, const std::vector<int32_t>& words);

// A player who has just finished the fourth temple: at the final stage, with these totals.
namespace laid_final {
constexpr int kStage = kAdventureStageCount;
constexpr int32_t kScore = 400000;
constexpr int32_t kLives = 2;
constexpr int32_t kCombos = 500;
constexpr int32_t kCoins = 40;
constexpr int32_t kGapShots = 60;
constexpr int32_t kFrames = 33 * 3600;  // an hour of play
}  // namespace laid_final
void AtFinalStage(ProfileStore& store);
// That player's global.opt and the temple screen's record as the game saves them, laid in the
// folder for a screen of width x height; false when a file could not be written.
bool LayFinalSaves(const std::string& folder, int width, int height);
