#include <gtest/gtest.h>

#include <unistd.h>

#include <initializer_list>

#include "engine/core/pack_memory_file.h"
#include "screen_test_app.h"

namespace {

// Each resumable slot shows the plain root; the current player has id 3.
struct ResumeFixture : ::testing::Test {
    ResumeFixture()
    {
        for (int slot : {kSlotGameplay, kSlotAdventureMap, kSlotGauntletMap, kSlotStageComplete, kSlotTempleComplete,
                         kSlotEnd})
            app.roots[slot] = "root_plain";
    }
    TestScreen* Show(int slot, int32_t state)
    {
        if (app.ShowScreen(slot).failed())
            return nullptr;
        app.Screen(slot)->state = state;
        return app.Screen(slot);
    }
    // The words of a record, or empty when it is absent.
    std::vector<int32_t> Record(int key)
    {
        std::vector<int32_t> words;
        PackMemoryFile* stream = app.GetResumeStore()->ReadRecord(key);
        int32_t word = 0;
        while (stream && stream->ReadInt32(&word) == 4)
            words.push_back(word);
        delete stream;
        return words;
    }
    void WriteRaw(int key, std::initializer_list<int32_t> words)
    {
        PackMemoryFile stream;
        ASSERT_TRUE(stream.Allocate(64));
        for (int32_t word : words)
            stream.WriteInt32(word);
        ASSERT_TRUE(app.GetResumeStore()->WriteRecord(key, &stream, "raw"));
    }
    ScreenTestApp app;
    PlayerRecord& player = app.MakePlayer(3, 0);
};

TEST_F(ResumeFixture, EachScreenKeepsTheRecordOfItsOwnMode)
{
    // The gauntlet map is shown without the player's mode changing: its record is still mode 1.
    ASSERT_NE(Show(kSlotGauntletMap, 17), nullptr);
    EXPECT_TRUE(app.SaveResumeState());
    EXPECT_EQ(Record(7), (std::vector<int32_t>{3, 17}));
    EXPECT_TRUE(Record(6).empty());
    std::string file = fixtures::ReadFile(app.Host("saveresume.dat"));
    EXPECT_NE(file.find("Gauntlet Save"), std::string::npos);
    // The progress the record assumes is on disk too.
    EXPECT_EQ(access(app.Host("global.opt").c_str(), F_OK), 0);

    ASSERT_NE(Show(kSlotStageComplete, 5), nullptr);
    player.mode = 1;
    EXPECT_TRUE(app.SaveResumeState());
    EXPECT_EQ(Record(6), (std::vector<int32_t>{5, 5}));
    EXPECT_EQ(Record(7), (std::vector<int32_t>{3, 17}));

    // A level is saved under the player's mode, and only while it runs.
    ASSERT_NE(Show(kSlotGameplay, 9), nullptr);
    EXPECT_TRUE(app.WriteResumeRecord(1));
    EXPECT_EQ(Record(7), (std::vector<int32_t>{1, 9}));
    app.Screen(kSlotGameplay)->levelRunning = false;
    app.Screen(kSlotGameplay)->state = 10;
    EXPECT_TRUE(app.WriteResumeRecord(1));
    EXPECT_EQ(Record(7), (std::vector<int32_t>{1, 9}));
}

TEST_F(ResumeFixture, AdventureMapOnItsFirstStageWritesNothing)
{
    player.progress[0].stage = 2;
    ASSERT_NE(Show(kSlotAdventureMap, 21), nullptr);
    EXPECT_TRUE(app.SaveResumeState());
    EXPECT_EQ(Record(6), (std::vector<int32_t>{2, 21}));
    player.progress[0].stage = 1;
    app.Screen(kSlotAdventureMap)->state = 22;
    EXPECT_TRUE(app.SaveResumeState());
    EXPECT_EQ(Record(6), (std::vector<int32_t>{2, 21}));
}

TEST_F(ResumeFixture, FailedWritesKeepTheOldRecord)
{
    TestScreen* end = Show(kSlotEnd, 1);
    ASSERT_NE(end, nullptr);
    EXPECT_TRUE(app.WriteResumeRecord(0));
    end->saveBytes = 50000;  // with the id, four bytes too many
    EXPECT_FALSE(app.WriteResumeRecord(0));
    end->saveBytes = 49996;
    EXPECT_TRUE(app.WriteResumeRecord(0));
    EXPECT_EQ(Record(6).size(), 12500u);
    end->saveBytes = 0;
    end->state = 2;
    EXPECT_TRUE(app.WriteResumeRecord(0));
    EXPECT_EQ(Record(6), (std::vector<int32_t>{7, 2}));

    // A store whose folder is a plain file cannot be written.
    ASSERT_TRUE(WriteHostFile(app.Host("plain"), "x", 1));
    app.GetResumeStore()->SetFile((app.Engine("plain") + "\\saveresume.dat").c_str(), nullptr);
    end->state = 3;
    EXPECT_FALSE(app.WriteResumeRecord(0));
}

TEST_F(ResumeFixture, ValidRecordsAndWhatTheyReport)
{
    WriteRaw(6, {0, 5});
    EXPECT_FALSE(app.HasResumeSave(0)) << "a first word of 0 counts as absent";
    int32_t value = -1;
    EXPECT_FALSE(app.ReadResumeInfo(0, value));
    WriteRaw(6, {1, 11, 22});
    EXPECT_TRUE(app.HasResumeSave(0));
    EXPECT_TRUE(app.ReadResumeInfo(0, value));
    EXPECT_EQ(value, 22);
    WriteRaw(7, {3, 11, 22});
    EXPECT_TRUE(app.ReadResumeInfo(1, value));
    EXPECT_EQ(value, 0);
    WriteRaw(7, {1});
    EXPECT_TRUE(app.ReadResumeInfo(1, value));
    EXPECT_EQ(value, 0) << "a short level state reports 0";
}

TEST_F(ResumeFixture, ResumeRestoresTheSavedScreen)
{
    // The door's screen follows door 1.
    player.progress[0].stage = 6;
    ASSERT_NE(Show(kSlotStageComplete, 77), nullptr);
    EXPECT_TRUE(app.WriteResumeRecord(0));
    app.DestroyScreens();
    player.mode = 1;
    EXPECT_TRUE(app.ResumeGame(0));
    EXPECT_EQ(player.mode, 0);
    ASSERT_NE(app.Screen(kSlotStageComplete), nullptr);
    EXPECT_EQ(app.Screen(kSlotStageComplete)->state, 77);

    // Id 4 is no screen: nothing is made and that is no failure.
    WriteRaw(7, {4, 1});
    app.DestroyScreens();
    EXPECT_TRUE(app.ResumeGame(1));
    EXPECT_EQ(app.GetChildCount(), 0);
    // Without a record only the mode changes.
    app.DeleteResumeRecord(0);
    EXPECT_TRUE(app.ResumeGame(0));
    EXPECT_EQ(app.GetChildCount(), 0);
}

TEST_F(ResumeFixture, APlayerIdWithoutAKeyKeepsNoRecord)
{
    EXPECT_EQ(GameApp::ResumeKey(7, 1), 15);
    // Ids a damaged global.opt may hold: twice them does not fit a key.
    EXPECT_EQ(GameApp::ResumeKey(1834287104, 0), -1);
    EXPECT_EQ(GameApp::ResumeKey(INT32_MAX, 1), -1);
    EXPECT_EQ(GameApp::ResumeKey(-4, 1), -1);
    player.id = 1834287104;
    ASSERT_NE(Show(kSlotStageComplete, 5), nullptr);
    EXPECT_TRUE(app.SaveResumeState());
    EXPECT_FALSE(app.HasResumeSave(0));
    EXPECT_TRUE(Record(-1).empty());
    app.DestroyScreens();
    EXPECT_TRUE(app.ResumeGame(0));
    EXPECT_EQ(app.GetChildCount(), 0);
}

TEST_F(ResumeFixture, ScreenThatCannotReadItsStateLeavesNoScreen)
{
    WriteRaw(6, {2, 5});
    // A screen that cannot be set up is no fault of the record: it stays for another try.
    app.onNew = [](TestScreen* screen) { screen->createResult = false; };
    EXPECT_FALSE(app.ResumeGame(0));
    EXPECT_TRUE(app.HasResumeSave(0)) << "the record stays";
    // One that cannot read it back leaves no screen, and the record goes.
    app.onNew = [](TestScreen* screen) { screen->readResult = false; };
    EXPECT_FALSE(app.ResumeGame(0));
    EXPECT_EQ(app.GetScreen(kSlotAdventureMap), nullptr);
    EXPECT_EQ(app.GetChildCount(), 0);
    EXPECT_FALSE(app.HasResumeSave(0)) << "the record was kept";
}

TEST_F(ResumeFixture, NoPlayerMeansNoRecords)
{
    WriteRaw(6, {2, 5});
    app.DeletePlayer(app.Profiles().GetCurrentIndex());
    ASSERT_EQ(app.Profiles().GetPlayerCount(), 0);
    EXPECT_TRUE(Record(6).empty()) << "the deleted player's records went with it";
    WriteRaw(0, {3, 1});
    ASSERT_NE(Show(kSlotGauntletMap, 4), nullptr);
    EXPECT_TRUE(app.SaveResumeState());
    EXPECT_FALSE(app.HasResumeSave(1));
    EXPECT_TRUE(Record(1).empty());
    EXPECT_TRUE(app.ResumeGame(0));
}

TEST_F(ResumeFixture, NewPlayerNeverInheritsAnOldGame)
{
    int other = app.Profiles().AddPlayer();
    app.Profiles().GetPlayer(other)->id = 0;
    // Records of id 1 whose player the profile does not hold (its global.opt was set aside): the
    // newcomer takes the next free id, and they stay for that player to find again.
    WriteRaw(2, {2, 9});
    WriteRaw(3, {3, 9});
    int index = app.AddPlayer();
    ASSERT_GE(index, 0);
    EXPECT_EQ(app.Profiles().GetPlayer(index)->id, 2);
    EXPECT_EQ(Record(2), (std::vector<int32_t>{2, 9}));
    EXPECT_EQ(Record(3), (std::vector<int32_t>{3, 9}));
    WriteRaw(6, {2, 1});
    WriteRaw(7, {3, 1});
    app.DeletePlayer(0);
    EXPECT_TRUE(Record(6).empty());
    EXPECT_TRUE(Record(7).empty());
}

TEST_F(ResumeFixture, NewGameResetsTheModesProgress)
{
    ModeProgress& gauntlet = player.progress[1];
    gauntlet.stage = 9;
    gauntlet.lives = 1;
    gauntlet.score = 5000;
    gauntlet.recentMaps[0] = 4;
    gauntlet.templeShown[2] = 1;
    gauntlet.levelUp = true;
    app.ResetCurrentGame(1, 1);
    EXPECT_EQ(player.mode, 1);
    EXPECT_EQ(gauntlet.stage, 1);
    EXPECT_EQ(gauntlet.lives, 3);
    EXPECT_EQ(gauntlet.score, 0);
    EXPECT_EQ(gauntlet.gauntletKind, 1);
    EXPECT_EQ(gauntlet.recentMaps[0], -1);
    EXPECT_FALSE(gauntlet.levelUp);
    EXPECT_EQ(gauntlet.templeShown[2], 1) << "temple flags outlive a new game";
    app.ResetCurrentGame(0, 1);
    EXPECT_EQ(player.mode, 0);
    EXPECT_EQ(player.progress[0].gauntletKind, 0);
    EXPECT_EQ(player.progress[0].stage, 1);
}

}  // namespace
