#include "game/app/profile_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/pack_memory_file.h"
#include "engine/core/strings.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Save(ProfileStore& store)
{
    PackMemoryFile file;
    EXPECT_TRUE(file.Allocate(15000));
    EXPECT_TRUE(store.Serialize(&file, true));
    auto* data = static_cast<uint8_t*>(file.GetBuffer());
    return Bytes(data, data + file.Tell());
}

bool Load(ProfileStore& store, const Bytes& bytes)
{
    PackMemoryFile file;
    EXPECT_TRUE(file.Allocate(static_cast<int32_t>(bytes.size())));
    file.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    file.Seek(0, kSeekStart);
    return store.Serialize(&file, false);
}

int32_t WordAt(const Bytes& bytes, size_t offset)
{
    return static_cast<int32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

void PutWord(Bytes& bytes, size_t offset, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

// A source that hands out the numbers it was given, in turn.
std::vector<int> scripted;
size_t scriptedNext = 0;
int Scripted(int n)
{
    int value = scripted[scriptedNext++ % scripted.size()];
    return n < 2 ? 0 : value % n;
}

}  // namespace

TEST(ProfileStore, DefaultFileIsByteExact)
{
    ProfileStore store;
    store.SetDefaults();
    Bytes bytes = Save(store);
    ASSERT_EQ(bytes.size(), 5749u);
    EXPECT_EQ(WordAt(bytes, 15), -2);      // automatic orientation option
    EXPECT_EQ(WordAt(bytes, 195), 1);      // game block version
    EXPECT_EQ(WordAt(bytes, 199), 0);      // no players
    EXPECT_EQ(WordAt(bytes, 203), -1);     // none current
    EXPECT_EQ(bytes[207 + 24], 1);         // first slot: highest stage 1
    EXPECT_EQ(bytes[207 + 25 + 3], 0);     // map 3 open
    EXPECT_EQ(bytes[207 + 25 + 4], 0xFF);  // map 4 locked
    EXPECT_EQ(WordAt(bytes, 207 + 218 - 4), -1);  // slot id unassigned
    EXPECT_EQ(WordAt(bytes, 1951), 10000);  // adventure table, first place
    EXPECT_EQ(WordAt(bytes, 1951 + 28), 5000);
    EXPECT_EQ(bytes[5731], 0);              // default names not yet drawn
    EXPECT_EQ(WordAt(bytes, 5737), 1);      // graphics quality
    EXPECT_EQ(WordAt(bytes, 5741), 1);      // automatic orientation
    EXPECT_EQ(WordAt(bytes, 5745), 0);      // language
    // Without a random source the practice names stay empty.
    EXPECT_EQ(bytes[1951 + 84 + 22 * 84 + 4], 0);
}

TEST(ProfileStore, RoundTripKeepsPlayersAndTables)
{
    scripted = {7, 3, 11};
    ProfileStore store;
    store.SetDefaults();
    store.FillDefaultNames(Scripted);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(store.AddPlayer(), i);
    store.SetPlayerName(0, String("Ana"));
    store.SetPlayerName(1, String("ABCDEFGHIJKLMNOPQRSTUVWX"));  // exactly 24: no terminator
    store.SetPlayerName(2, String("Moss"));
    store.SetCurrentIndex(1);
    PlayerRecord* player = store.CurrentPlayer();
    player->mode = 1;
    player->progress[1].gauntletMap = 5;
    player->progress[1].gauntletKind = 1;
    player->progress[1].holePositions[1] = FixedVec2(Fixed::Raw(-300), Fixed::Raw(77));
    player->progress[0].randomMap = true;
    player->mapRanks[7] = 2;
    EXPECT_TRUE(store.InsertHighScore(6000));
    store.language = 2;
    store.skipHelp = true;
    Bytes first = Save(store);

    ProfileStore loaded;
    loaded.SetDefaults();
    ASSERT_TRUE(Load(loaded, first));
    EXPECT_EQ(Save(loaded), first);
    String name;
    loaded.GetPlayerName(1, name);
    EXPECT_STREQ(name.CStr(), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(loaded.GauntletScores(1, 5)[1].score, 6000);
    EXPECT_EQ(memcmp(loaded.GauntletScores(1, 5)[1].name, "ABCDEFGHIJKLMNOPQRSTUVWX", 24), 0);
    EXPECT_EQ(loaded.GetPlayer(1)->progress[1].holePositions[1].x.raw, -300);
    EXPECT_EQ(loaded.GetPlayer(1)->mapRanks[7], 2);
    EXPECT_EQ(loaded.GetPlayer(1)->id, 1);
    EXPECT_EQ(loaded.language, 2);
}

TEST(ProfileStore, DamagedFilesAreRefusedOrClamped)
{
    ProfileStore store;
    store.SetDefaults();
    store.AddPlayer();
    store.AddPlayer();
    Bytes bytes = Save(store);

    ProfileStore cut;
    cut.SetDefaults();
    EXPECT_FALSE(Load(cut, Bytes(bytes.begin(), bytes.begin() + 5000)));

    // Every word that would lose or mix up a player's data refuses the file.
    constexpr size_t kCount = 199, kCurrent = 203, kSlot = 207, kSlotBytes = 218, kId = kSlotBytes - 4;
    const std::pair<size_t, int32_t> refused[] = {
        {kCount, 9}, {kCount, -7}, {kCount, 200}, {kCount, 1},  // slot 2 would hold a player past the count
        {kCurrent, 2}, {kCurrent, -2}, {kCurrent, -1},          // none current among two
        {kSlot + kId, -1}, {kSlot + kId, kPlayerIdLimit},       // ids that key no save
        {kSlot + kId, 1},                                       // both players' id
        {kSlot + 2 * kSlotBytes + kId, 5},                      // an id in a slot past the count
        {kSlot + 2 * kSlotBytes, 'A'},                          // a name there
    };
    for (const auto& [at, value] : refused) {
        Bytes damaged = bytes;
        PutWord(damaged, at, value);
        ProfileStore loaded;
        loaded.SetDefaults();
        EXPECT_FALSE(Load(loaded, damaged)) << "word at " << at << " set to " << value;
    }

    // The words read tolerantly keep their reading, and the first is noted to be said.
    Bytes damaged = bytes;
    PutWord(damaged, kSlot + 50, 3);  // the first player's mode
    PutWord(damaged, 5737, 7);        // graphics quality
    PutWord(damaged, 5745, -4);       // language
    ProfileStore tolerant;
    tolerant.SetDefaults();
    ASSERT_TRUE(Load(tolerant, damaged));
    EXPECT_EQ(tolerant.GetPlayerCount(), 2);
    EXPECT_EQ(tolerant.GetPlayer(0)->mode, 0);
    EXPECT_EQ(tolerant.graphicsQuality, 0);
    EXPECT_EQ(tolerant.language, 0);
    EXPECT_NE(std::string(tolerant.ToleratedWord()).find("mode 3"), std::string::npos) << tolerant.ToleratedWord();
}

TEST(ProfileStore, HighScoreTablesKeepTheirOrder)
{
    ProfileStore store;
    store.SetDefaults();
    store.AddPlayer();
    store.SetPlayerName(0, String("Tiko"));
    EXPECT_TRUE(store.InsertHighScore(5000));
    ScoreEntry* table = store.AdventureScores();
    EXPECT_EQ(table[0].score, 10000);
    EXPECT_EQ(table[1].score, 5000);
    EXPECT_STREQ(table[1].name, "Tiko");
    EXPECT_EQ(table[2].score, 5000);
    EXPECT_STREQ(table[2].name, "Tahu Greenleaf");  // the old second place moved down; 1000 dropped out
    EXPECT_FALSE(store.InsertHighScore(4999));
    EXPECT_EQ(table[2].score, 5000);

    store.CurrentPlayer()->mode = 1;
    store.CurrentPlayer()->progress[1].gauntletMap = 22;
    EXPECT_FALSE(store.InsertHighScore(50000));
    store.CurrentPlayer()->progress[1].gauntletMap = 21;
    EXPECT_TRUE(store.InsertHighScore(50000));
    EXPECT_EQ(store.GauntletScores(0, 21)[0].score, 50000);
    EXPECT_EQ(store.GauntletScores(0, 21)[1].score, 10000);
    EXPECT_EQ(store.GauntletScores(1, 21)[0].score, 10000);
}

TEST(ProfileStore, PlayersKeepIdsAndTheCurrentIndex)
{
    ProfileStore store;
    store.SetDefaults();
    EXPECT_EQ(store.AddPlayer(), 0);
    EXPECT_EQ(store.GetCurrentIndex(), 0);
    store.AddPlayer();
    store.AddPlayer();
    EXPECT_EQ(store.GetPlayer(2)->id, 2);
    store.SetPlayerName(1, String("Gone"));
    store.SetCurrentIndex(2);
    store.DeletePlayer(1);
    EXPECT_EQ(store.GetPlayerCount(), 2);
    EXPECT_EQ(store.GetCurrentIndex(), 1);
    EXPECT_EQ(store.GetPlayer(1)->id, 2);
    EXPECT_EQ(store.GetPlayer(2)->id, -1);  // the freed slot is a fresh record
    EXPECT_EQ(store.GetPlayer(2)->name[0], 0);
    EXPECT_EQ(store.AddPlayer(), 2);
    EXPECT_EQ(store.GetPlayer(2)->id, 1);
    for (int i = 3; i < 8; ++i)
        EXPECT_EQ(store.AddPlayer(), i);
    EXPECT_EQ(store.AddPlayer(), -1);

    ProfileStore single;
    single.SetDefaults();
    single.AddPlayer();
    single.DeletePlayer(0);
    EXPECT_EQ(single.GetPlayerCount(), 0);
    EXPECT_EQ(single.GetCurrentIndex(), -1);
    EXPECT_EQ(single.CurrentPlayer(), single.GetPlayer(0));
    EXPECT_EQ(single.GetCurrentIndex(), 0);
    String name("x");
    single.GetPlayerName(0, name);
    EXPECT_EQ(name.Length(), 0u);

    PlayerRecord fresh;
    EXPECT_EQ(fresh.mapRanks[3], 0);
    EXPECT_EQ(fresh.mapRanks[13], 0);
    EXPECT_EQ(fresh.mapRanks[22], 0);
    EXPECT_EQ(fresh.mapRanks[4], -1);
    EXPECT_EQ(fresh.mapRanks[21], -1);
}

TEST(ProfileStore, GauntletMapChoiceAvoidsRecentMaps)
{
    ProfileStore store;
    store.SetDefaults();
    store.AddPlayer();
    store.CurrentPlayer()->mode = 1;
    int8_t* recent = store.CurrentPlayer()->progress[1].recentMaps;
    recent[0] = 13;
    scripted = {0, 1};
    scriptedNext = 0;
    EXPECT_EQ(store.PickRandomGauntletMap(Scripted), 3);
    EXPECT_EQ(recent[0], 3);
    EXPECT_EQ(recent[1], 13);
    EXPECT_EQ(recent[2], -1);

    // Both maps recently played: draws repeat until the last one is avoided.
    scripted = {0, 0, 1};
    scriptedNext = 0;
    EXPECT_EQ(store.PickRandomGauntletMap(Scripted), 13);
    EXPECT_EQ(recent[0], 13);
    EXPECT_EQ(recent[1], 3);
    EXPECT_EQ(recent[2], -1);

    // A source stuck on one answer still ends.
    scripted = {1};
    EXPECT_EQ(store.PickRandomGauntletMap(Scripted), 3);

    memset(store.CurrentPlayer()->mapRanks, -1, kMapRankCount);
    EXPECT_EQ(store.PickAnyUnlockedMap(Scripted), 0);
    store.CurrentPlayer()->mapRanks[9] = 1;
    EXPECT_EQ(store.PickRandomGauntletMap(Scripted), 0);  // fewer than two to choose from
    EXPECT_EQ(store.PickAnyUnlockedMap(Scripted), 9);
}
