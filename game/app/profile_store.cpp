#include "game/app/profile_store.h"

#include <algorithm>
#include <cstring>

#include "engine/core/archive.h"
#include "engine/core/strings.h"
#include "game/app/default_names.h"
#include "game/app/game_keys.h"
#include "game/tables/progression.h"
#include "platform/crt.h"

namespace {

constexpr int32_t kDefaultScores[kHighScoreEntries] = {10000, 5000, 1000};

void CopyName(char (&field)[kPlayerNameBytes], const char* text)
{
    memset(field, 0, sizeof field);
    if (text)
        strncpy(field, text, sizeof field);
}

void SerializeScores(Archive& archive, ScoreEntry* entries)
{
    for (int i = 0; i < kHighScoreEntries; ++i) {
        archive.SerializeValue(entries[i].score);
        archive.SerializeBytes(entries[i].name, kPlayerNameBytes);
    }
}

}  // namespace

int GameRandom(int n)
{
    return n < 2 ? 0 : crt::rand() % n;
}

ProfileStore::ProfileStore() : blockStart_(MakeFourCC("DRVS")), blockEnd_(MakeFourCC("DRVE")) {}

void ProfileStore::SetDefaultKeys()
{
    OptionsRecord::SetDefaultKeys();
    keyCodes[kKeyBack] = 0;
    keyFlags[kKeyBack] = 0;
}

void ProfileStore::SetDefaults()
{
    OptionsRecord::SetDefaults();
    gameVersion_ = 1;
    // A file that failed half way must leave nothing of itself in the slots.
    for (PlayerRecord& player : players_)
        player.Reset();
    count_ = 0;
    current_ = -1;
    ResetHighScores(nullptr);
    defaultNamesFilled = false;
    reserved = 0;
    skipHelp = false;
    graphicsQuality = 1;
    autoOrientation = 1;
    language = 0;
    rotation = -2;
}

bool ProfileStore::Serialize(Stream* stream, bool saving)
{
    if (!OptionsRecord::Serialize(stream, saving))
        return false;
    return SerializeGameBlock(stream, saving);
}

bool ProfileStore::SerializeGameBlock(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    if (saving)
        gameVersion_ = 1;
    archive.SerializeInt32(gameVersion_);
    if (!saving && gameVersion_ != 1) {
        NoteTolerated("the game block's version word is %u, taken as 1", gameVersion_);
        gameVersion_ = 1;
    }
    archive.SerializeValue(count_);
    archive.SerializeValue(current_);
    for (PlayerRecord& player : players_) {
        player.Serialize(archive);
        if (!archive.Succeeded())
            return saving ? false : Refuse("cut short");
    }
    SerializeScores(archive, adventureScores_);
    for (auto& table : survivalScores_)
        SerializeScores(archive, table);
    for (auto& table : practiceScores_)
        SerializeScores(archive, table);
    archive.SerializeBool(defaultNamesFilled);
    archive.SerializeValue(reserved);
    archive.SerializeBool(skipHelp);
    archive.SerializeValue(graphicsQuality);
    archive.SerializeValue(autoOrientation);
    archive.SerializeValue(language);
    if (!archive.Succeeded())
        return saving ? false : Refuse("cut short");
    if (saving)
        return true;
    NoteLooseFlag(archive);
    return CheckLoadedGameValues();
}

// The game never writes a file that fails these: a new one holds no player and none current, and
// a deleted player's slot is cleared. Taking such a file would lose or mix up a player's data.
bool ProfileStore::PlayersWhole()
{
    if (count_ < 0 || count_ > kMaxPlayers)
        return Refuse("the player count %d is outside 0..%d", count_, kMaxPlayers);
    if (current_ < -1 || current_ >= count_ || (current_ == -1 && count_ > 0))
        return Refuse("the current player %d is outside %d..%d", current_, count_ > 0 ? 0 : -1, count_ - 1);
    for (int i = 0; i < kMaxPlayers; ++i) {
        const PlayerRecord& player = players_[i];
        if (i >= count_) {
            if (player.name[0] != 0 || player.id >= 0)
                return Refuse("slot %d, past the player count %d, holds a player", i + 1, count_);
            continue;
        }
        if (player.id < 0 || player.id >= kPlayerIdLimit)
            return Refuse("player %d's id %d is outside 0..%d", i + 1, player.id, kPlayerIdLimit - 1);
        for (int k = 0; k < i; ++k) {
            if (players_[k].id == player.id)
                return Refuse("players %d and %d share the id %d", k + 1, i + 1, player.id);
        }
    }
    return true;
}

bool ProfileStore::CheckLoadedGameValues()
{
    if (!PlayersWhole())
        return false;
    // The words read tolerantly keep their reading, and the first is said.
    for (int i = 0; i < kMaxPlayers; ++i) {
        PlayerRecord& player = players_[i];
        if (i >= count_) {
            player.Reset();
        } else if (player.mode < 0 || player.mode > 1) {
            NoteTolerated("player %d's game mode %d is outside 0..1, taken as 0", i + 1, player.mode);
            player.mode = 0;
        }
    }
    if (graphicsQuality < kLowestQuality || graphicsQuality > kHighestQuality) {
        NoteTolerated("the graphics quality %d is outside %d..%d, taken as %d", graphicsQuality, kLowestQuality,
                      kHighestQuality, kLowestQuality);
        graphicsQuality = kLowestQuality;
    }
    // Used at start when a portrait screen is turned: any other word would fail every start there.
    if (autoOrientation < 0 || autoOrientation > 2) {
        NoteTolerated("the remembered orientation %d is outside 0..2, taken as 1", autoOrientation);
        autoOrientation = 1;
    }
    // Past the table's last column is known once the table is loaded (GameApp::LoadLanguage).
    if (language < 0) {
        NoteTolerated("the language %d is not in the table, taken as 0", language);
        language = 0;
    }
    return true;
}

PlayerRecord* ProfileStore::CurrentPlayer()
{
    if (current_ < 0 || current_ >= kMaxPlayers)
        current_ = 0;
    return &players_[current_];
}

bool ProfileStore::IdInUse(int id) const
{
    for (int i = 0; i < count_; ++i) {
        if (players_[i].id == id)
            return true;
    }
    return false;
}

int ProfileStore::AddPlayer(const int32_t* taken, int takenCount)
{
    if (count_ < 0)
        count_ = 0;
    if (count_ >= kMaxPlayers)
        return -1;
    PlayerRecord& player = players_[count_];
    ++count_;
    player.Reset();
    auto isTaken = [&](int id) {
        for (int i = 0; taken && i < takenCount; ++i) {
            if (taken[i] == id)
                return true;
        }
        return false;
    };
    int id = 0;
    while (IdInUse(id) || isTaken(id))
        ++id;
    player.id = id;
    if (current_ < 0)
        current_ = 0;
    return count_ - 1;
}

void ProfileStore::DeletePlayer(int index)
{
    if (index < 0 || index >= count_)
        return;
    for (int i = index; i + 1 < count_; ++i)
        players_[i] = players_[i + 1];
    players_[count_ - 1].Reset();
    --count_;
    if (current_ > index)
        --current_;
    if (current_ >= count_)
        current_ = count_ - 1;
}

void ProfileStore::SetPlayerName(int index, const String& name)
{
    if (index < 0 || index >= count_)
        return;
    char* field = players_[index].name;
    memset(field, 0, kPlayerNameBytes);
    const char* text = name.CStr() ? name.CStr() : "";
    // A name of 24 characters or more fills the field without a terminator.
    memcpy(field, text, std::min<size_t>(strlen(text), kPlayerNameBytes));
}

void ProfileStore::GetPlayerName(int index, String& out) const
{
    if (index < 0 || index >= count_) {
        out.Assign("");
        return;
    }
    char text[kPlayerNameBytes + 1] = {};
    memcpy(text, players_[index].name, kPlayerNameBytes);
    out.Assign(text);
}

ScoreEntry* ProfileStore::GauntletScores(int kind, int map)
{
    if (map < 0 || map >= MapInfo::kCount)
        return nullptr;
    return kind == 0 ? survivalScores_[map] : practiceScores_[map];
}

BestTime* ProfileStore::AdventureTime(int stage)
{
    return stage >= 1 && stage <= kAdventureStageCount ? &adventureTimes_[stage - 1] : nullptr;
}

BestTime* ProfileStore::PracticeTime(int map, int level)
{
    if (map < 0 || map >= MapInfo::kCount || level < 0)
        return nullptr;
    return &practiceTimes_[map][std::min(level, kPracticeTimeLevels - 1)];
}

bool ProfileStore::InsertHighScore(int32_t score)
{
    PlayerRecord* player = CurrentPlayer();
    ScoreEntry* table = adventureScores_;
    if (player->mode != 0) {
        const ModeProgress& gauntlet = player->progress[1];
        table = GauntletScores(gauntlet.gauntletKind, gauntlet.gauntletMap);
        if (!table)
            return false;
    }
    int place = 0;
    while (place < kHighScoreEntries && score < table[place].score)
        ++place;
    if (place == kHighScoreEntries)
        return false;
    for (int i = kHighScoreEntries - 1; i > place; --i)
        table[i] = table[i - 1];
    table[place].score = score;
    memcpy(table[place].name, player->name, kPlayerNameBytes);
    return true;
}

void ProfileStore::ResetHighScores(RandomSource random)
{
    for (int i = 0; i < kHighScoreEntries; ++i) {
        adventureScores_[i].score = kDefaultScores[i];
        CopyName(adventureScores_[i].name, kDefaultAdventureNames[i]);
    }
    auto poolName = [random]() { return random ? kDefaultNamePoolList[random(kDefaultNamePool)] : nullptr; };
    for (int map = 0; map < MapInfo::kCount; ++map) {
        for (int i = 0; i < kHighScoreEntries; ++i) {
            practiceScores_[map][i].score = kDefaultScores[i];
            CopyName(practiceScores_[map][i].name, poolName());
        }
    }
    for (int map = 0; map < MapInfo::kCount; ++map) {
        for (int i = 0; i < kHighScoreEntries; ++i) {
            const char* name = kDefaultSurvivalNames[map][i];
            survivalScores_[map][i].score = kDefaultScores[i];
            CopyName(survivalScores_[map][i].name, name ? name : poolName());
        }
    }
    for (BestTime& time : adventureTimes_)
        time = BestTime{-1, {}};
    for (auto& map : practiceTimes_) {
        for (int level = 0; level < kPracticeTimeLevels; ++level)
            map[level] = BestTime{level < 3 ? -1 : 0, {}};
    }
}

void ProfileStore::FillDefaultNames(RandomSource random)
{
    ResetHighScores(random);
    defaultNamesFilled = true;
}

int ProfileStore::PickAnyUnlockedMap(RandomSource random)
{
    int candidates[MapInfo::kCount];
    int n = 0;
    PlayerRecord* player = CurrentPlayer();
    for (int map = 0; map < MapInfo::kCount; ++map) {
        if (player->mapRanks[map] != -1)
            candidates[n++] = map;
    }
    if (n == 0)
        return 0;
    return candidates[random ? random(n) : 0];
}

int ProfileStore::PickRandomGauntletMap(RandomSource random)
{
    PlayerRecord* player = CurrentPlayer();
    ModeProgress* progress = player->CurrentModeProgress();
    int8_t* recent = progress->recentMaps;
    int candidates[MapInfo::kCount];
    int n = 0;
    for (int map = 0; map < MapInfo::kCount; ++map) {
        if (player->mapRanks[map] != -1)
            candidates[n++] = map;
    }
    int recentCount = 0;
    for (int i = 0; i < kRecentMapCount; ++i)
        recentCount += recent[i] != -1;
    if (n < 2)
        return 0;
    auto pick = [random](int count) { return random ? random(count) : 0; };
    int chosen;
    if (n > recentCount) {
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            bool played = false;
            for (int r = 0; r < recentCount && !played; ++r)
                played = recent[r] == candidates[i];
            if (!played)
                candidates[kept++] = candidates[i];
        }
        chosen = candidates[pick(kept)];
    } else {
        // Every candidate was played lately: any but the last one. A source that keeps giving
        // the same answer must not hang the game, so the draws are bounded.
        chosen = candidates[pick(n)];
        for (int tries = 0; chosen == recent[0] && tries < 1000; ++tries)
            chosen = candidates[pick(n)];
        if (chosen == recent[0])
            chosen = candidates[0] == recent[0] ? candidates[1] : candidates[0];
    }
    int8_t rest[kRecentMapCount];
    int kept = 0;
    for (int i = 0; i < kRecentMapCount; ++i) {
        if (recent[i] != chosen)
            rest[kept++] = recent[i];
    }
    recent[0] = static_cast<int8_t>(chosen);
    for (int i = 1; i < kRecentMapCount; ++i)
        recent[i] = i - 1 < kept ? rest[i - 1] : -1;
    return chosen;
}
