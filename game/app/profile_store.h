#pragma once
// The game's options record: the engine's settings, then up to 8 players, the high-score tables
// and the game's own settings, all in global.opt.
#include <cstdint>

#include "engine/core/options_record.h"
#include "game/app/player_record.h"
#include "game/tables/progression.h"

class String;

// The application's random source: 0 for n < 2, else a number in 0..n-1.
using RandomSource = int (*)(int n);
int GameRandom(int n);

constexpr int kMaxPlayers = 8;
constexpr int kHighScoreEntries = 3;
constexpr int kPracticeTimeLevels = 28;
// The graphics quality setting's range; the highest draws the ball shadows.
constexpr int kLowestQuality = 0;
constexpr int kHighestQuality = 2;

// A best-time record: the time in seconds (-1 none) and the name of who set it.
struct BestTime {
    int32_t seconds = 0;
    char name[kPlayerNameBytes] = {};
};

class ProfileStore : public OptionsRecord {
public:
    ProfileStore();

    void SetDefaultKeys() override;
    void SetDefaults() override;
    bool UsesArchiveForm() override { return true; }
    bool Serialize(Stream* stream, bool saving) override;

    // A current index outside 0..7 is set to 0 first; the count is not consulted.
    PlayerRecord* CurrentPlayer();
    PlayerRecord* GetPlayer(int index) { return index >= 0 && index < kMaxPlayers ? &players_[index] : nullptr; }
    int GetPlayerCount() const { return count_; }
    int GetCurrentIndex() const { return current_; }
    void SetCurrentIndex(int index) { current_ = index; }

    // The new player's id is the smallest that no player in use has and none of the `taken` ids
    // (those of saved games whose player this store does not hold) is.
    int AddPlayer(const int32_t* taken = nullptr, int takenCount = 0);
    void DeletePlayer(int index);
    void SetPlayerName(int index, const String& name);
    void GetPlayerName(int index, String& out) const;

    bool InsertHighScore(int32_t score);
    ScoreEntry* AdventureScores() { return adventureScores_; }
    // Survival (kind 0) or practice tables of a gauntlet map; null outside 0..21.
    ScoreEntry* GauntletScores(int kind, int map);
    BestTime* AdventureTime(int stage);  // 1-based; null outside 1..76
    BestTime* PracticeTime(int map, int level);  // level index capped at 27

    void ResetHighScores(RandomSource random);
    void FillDefaultNames(RandomSource random);
    int PickRandomGauntletMap(RandomSource random);
    int PickAnyUnlockedMap(RandomSource random);

    bool defaultNamesFilled = false;
    int32_t reserved = 0;
    bool skipHelp = false;
    int32_t graphicsQuality = 1;
    int32_t autoOrientation = 1;
    int32_t language = 0;

private:
    bool SerializeGameBlock(Stream* stream, bool saving);
    // False, with the word noted, when the players' words would lose or mix up a player's data.
    bool PlayersWhole();
    // False, with the reason noted, for a file refused; the words read tolerantly are held in range.
    bool CheckLoadedGameValues();
    bool IdInUse(int id) const;

    uint32_t blockStart_;
    uint32_t gameVersion_ = 1;
    PlayerRecord players_[kMaxPlayers];
    int32_t count_ = 0;
    int32_t current_ = -1;
    ScoreEntry adventureScores_[kHighScoreEntries];
    ScoreEntry survivalScores_[MapInfo::kCount][kHighScoreEntries];
    ScoreEntry practiceScores_[MapInfo::kCount][kHighScoreEntries];
    BestTime adventureTimes_[kAdventureStageCount];
    BestTime practiceTimes_[MapInfo::kCount][kPracticeTimeLevels];
    uint32_t blockEnd_;
};
