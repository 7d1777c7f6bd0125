#include "laid_profile.h"

#include <cstdio>

#include "engine/core/fixed.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/strings.h"
#include "game/app/game_app.h"

namespace {

void PutLe32(std::vector<uint8_t>& bytes, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> ProfileBytes(const std::string& name, const std::function<void(ProfileStore&)>& edit)
{
    ProfileStore store;
    store.SetDefaults();
    int index = store.AddPlayer();
    if (index < 0)
        return {};
    store.SetPlayerName(index, String(name.c_str()));
    store.SetCurrentIndex(index);
    if (edit)
        edit(store);
    PackMemoryFile file;
    if (!file.Allocate(15000) || !store.Serialize(&file, true))
        return {};
    const auto* data = static_cast<const uint8_t*>(file.GetBuffer());
    return std::vector<uint8_t>(data, data + file.Tell());
}

bool LayFile(const std::string& folder, const char* file, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return false;
    std::string path = folder + "/" + file;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool whole = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && whole;
}

std::vector<uint8_t> ResumeStoreBytes(const std::vector<LaidRecord>& records)
{
    std::vector<uint8_t> bytes;
    PutLe32(bytes, static_cast<int32_t>(records.size()));
    int32_t at = 4 + 8 * static_cast<int32_t>(records.size());
    for (const LaidRecord& record : records) {
        PutLe32(bytes, static_cast<int32_t>(record.data.size()));
        PutLe32(bytes, at);
        at += 8 + static_cast<int32_t>(record.name.size() + record.data.size());
    }
    for (const LaidRecord& record : records) {
        PutLe32(bytes, record.key);
        PutLe32(bytes, static_cast<int32_t>(record.name.size()));
        bytes.insert(bytes.end(), record.name.begin(), record.name.end());
        bytes.insert(bytes.end(), record.data.begin(), record.data.end());
    }
    return bytes;
}

std::vector<uint8_t> ScreenRecord(int32_t screenId, const std::vector<int32_t>& words)
{
    std::vector<uint8_t> bytes;
    PutLe32(bytes, screenId);
    for (int32_t word : words)
        PutLe32(bytes, word);
    return bytes;
}

void AtFinalStage(ProfileStore& store)
{
    PlayerRecord& player = *store.CurrentPlayer();
    player.mode = 0;
    player.highestStage = laid_final::kStage;
    // Every map the adventure passed is open in the gauntlet.
    for (int map = 0; map < kMapRankCount; ++map)
        player.mapRanks[map] = 0;
    ModeProgress& adventure = player.progress[0];
    adventure.stage = laid_final::kStage;
    adventure.score = laid_final::kScore;
    adventure.lives = laid_final::kLives;
    adventure.totalFrames = laid_final::kFrames;
    adventure.totalCombos = laid_final::kCombos;
    adventure.totalCoins = laid_final::kCoins;
    adventure.gapShots = laid_final::kGapShots;
    adventure.bestCombo = 4;
    adventure.bestChain = 12;
    for (uint8_t& shown : adventure.templeShown)
        shown = 1;
}

bool LayFinalSaves(const std::string& folder, int width, int height)
{
    // The temple screen as the game saves it: its frog's centre and angle.
    LaidRecord temple;
    temple.key = 0;  // the first player's adventure
    temple.name = "Adventure Save";
    temple.data =
        ScreenRecord(kScreenIdTempleComplete, {Fixed::FromInt(width / 2).raw, Fixed::FromInt(height / 2).raw, 0});
    return LayFile(folder, "global.opt", ProfileBytes("ITZEL", AtFinalStage)) &&
           LayFile(folder, "saveresume.dat", ResumeStoreBytes({temple}));
}
