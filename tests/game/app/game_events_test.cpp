#include <gtest/gtest.h>

#include "engine/core/pack_memory_file.h"
#include "game/app/game_events.h"
#include "screen_test_app.h"

namespace {

// A start menu from the plain root whose events reach the game's own handler.
struct SwitchFixture : ::testing::Test {
    SwitchFixture()
    {
        app.roots[kSlotStartMenu] = "root_plain";
        app.roots[kSlotHelp] = "root_second";
        app.gameEvents = true;
    }
    // The start menu shown and done fading in.
    TestScreen* RestingMenu()
    {
        if (!app.ShowStartMenu())
            return nullptr;
        TestScreen* menu = app.Screen(kSlotStartMenu);
        menu->ClearScreenFadingIn();
        return menu;
    }
    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const ReachedEvent& event : app.reached)
            codes.push_back(event.code);
        return codes;
    }
    void WriteRecord(int key, int32_t id)
    {
        PackMemoryFile stream;
        ASSERT_TRUE(stream.Allocate(16));
        stream.WriteInt32(id);
        stream.WriteInt32(0);
        ASSERT_TRUE(app.GetResumeStore()->WriteRecord(key, &stream, "raw"));
    }
    ScreenTestApp app;
};

TEST_F(SwitchFixture, AFadedRequestArrivesOnTheNinthUpdateAndASecondOneIsDropped)
{
    TestScreen* menu = RestingMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(app.SendEvent(&app, kEventHighScores, nullptr, 0, true));
    EXPECT_TRUE(menu->IsScreenFadingOut());
    EXPECT_TRUE(app.SendEvent(&app, kEventStartMenu, nullptr, 0, true)) << "dropped, yet answered";
    for (int i = 0; i < 8; ++i)
        app.Update();
    EXPECT_TRUE(app.reached.empty());
    app.Update();
    EXPECT_EQ(Codes(), std::vector<int>{kEventHighScores});
    // 1007 makes no screen: the faded-out menu stays.
    EXPECT_EQ(app.GetStartMenu(), menu);
    EXPECT_EQ(app.GetChildCount(), 1);
    // Without the fade flag a request acts at once, fading or not.
    ASSERT_TRUE(app.SendEvent(&app, kEventNothing, nullptr, 0, true));
    EXPECT_TRUE(app.SendEvent(&app, kEventStartMenu, nullptr, 0, false));
    EXPECT_EQ(Codes(), (std::vector<int>{kEventHighScores, kEventStartMenu}));
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_TRUE(app.GetStartMenu()->IsScreenFadingIn()) << "kEventStartMenu builds the menu afresh";
}

TEST_F(SwitchFixture, AnswersByCodeAndName)
{
    ASSERT_NE(RestingMenu(), nullptr);
    EXPECT_TRUE(app.OnEvent(nullptr, kMsgCommand, "btn_unknown", 0));
    EXPECT_FALSE(app.GetStartMenu()->IsScreenFadingOut());
    EXPECT_FALSE(app.OnEvent(nullptr, kMsgTunerChanged, "tuner_other", 40));
    EXPECT_TRUE(app.OnEvent(nullptr, kMsgCheckToggled, "chk_other", 1));
    EXPECT_FALSE(app.GetProfiles()->mute);
    EXPECT_FALSE(app.OnEvent(nullptr, kMsgActionRun, "acn_x", 0));
    // Codes whose screens are not here yet change nothing, so the faded screen stays.
    for (int code : {1006, int(kEventChooseStage), int(kMsgTypedCharacter)})
        EXPECT_FALSE(app.OnEvent(nullptr, code, nullptr, 0)) << code;
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_TRUE(app.OnEvent(nullptr, kEventNothing, nullptr, 0));
    // The help, the help before a stage and the credits are answered, their screens made or not.
    for (int code : {kEventInstructions, kEventHelpBeforePlay, kEventAbout})
        EXPECT_TRUE(app.OnEvent(nullptr, code, nullptr, 0)) << code;
    // The door, temple and end screens are answered even where their screen cannot be made.
    for (int code : {kEventStageComplete, kEventTempleComplete, kEventTheEnd})
        EXPECT_TRUE(app.OnEvent(nullptr, code, nullptr, 0)) << code;
    // A level that cannot be laid out here (no player, no level art) leaves the player on a new
    // menu rather than on no screen at all.
    EXPECT_TRUE(app.OnEvent(nullptr, kEventPlayLevel, nullptr, 0));
    EXPECT_EQ(app.GetGameplayScreen(), nullptr);
    ASSERT_NE(app.GetStartMenu(), nullptr);
    EXPECT_TRUE(app.GetStartMenu()->IsScreenFadingIn());
}

TEST_F(SwitchFixture, TheMapAndEndCodesShowTheirScreensOrFallBackToTheMenu)
{
    app.roots[kSlotAdventureMap] = "root_second";
    app.roots[kSlotGauntletMap] = "root_plain";
    app.MakePlayer(4, 0);
    ASSERT_NE(RestingMenu(), nullptr);
    EXPECT_TRUE(app.OnEvent(nullptr, kEventGauntletMap, nullptr, 0));
    EXPECT_NE(app.Screen(kSlotGauntletMap), nullptr);
    EXPECT_EQ(app.GetStartMenu(), nullptr);
    EXPECT_TRUE(app.OnEvent(nullptr, kEventAdventureMap, nullptr, 0));
    EXPECT_NE(app.Screen(kSlotAdventureMap), nullptr);
    // A screen that cannot be made leaves the player on the menu, not on nothing.
    EXPECT_TRUE(app.OnEvent(nullptr, kEventTheEnd, nullptr, 0));
    EXPECT_NE(app.GetStartMenu(), nullptr);

    // A new adventure: the progress and its record go, and the map shows at once.
    PlayerRecord* player = app.GetProfiles()->CurrentPlayer();
    player->progress[0].stage = 30;
    player->progress[0].score = 9000;
    WriteRecord(GameApp::ResumeKey(4, 0), kScreenIdAdventureMap);
    ASSERT_TRUE(app.HasResumeSave(0));
    EXPECT_TRUE(app.OnEvent(nullptr, kEventNewAdventure, nullptr, 0));
    EXPECT_EQ(player->progress[0].stage, 1);
    EXPECT_EQ(player->progress[0].score, 0);
    EXPECT_FALSE(app.HasResumeSave(0));
    EXPECT_NE(app.Screen(kSlotAdventureMap), nullptr);
}

TEST_F(SwitchFixture, ModeButtonsStartANewGameOrOfferToContinue)
{
    app.MakePlayer(3, 0);
    ASSERT_NE(RestingMenu(), nullptr);
    app.OnEvent(nullptr, kMsgCommand, "btn_sm_gauntlet", 0);
    EXPECT_TRUE(app.GetStartMenu()->IsScreenFadingOut());
    app.Frames(9);
    ASSERT_FALSE(app.reached.empty());
    EXPECT_EQ(app.reached.back().code, kEventGauntletMap);

    // With an adventure record the menu asks instead of switching.
    WriteRecord(GameApp::ResumeKey(3, 0), kScreenIdAdventureMap);
    ASSERT_NE(RestingMenu(), nullptr);
    app.reached.clear();
    EXPECT_TRUE(app.OnEvent(nullptr, kMsgCommand, "btn_sm_adventure", 0));
    EXPECT_FALSE(app.GetStartMenu()->IsScreenFadingOut());
    EXPECT_EQ(Codes(), (std::vector<int>{kMsgCommand, kMsgActionRun}));
    EXPECT_EQ(app.reached.back().name, "acn_confirm_adventure");

    struct Row {
        const char* button;
        int value, code, delivered;
    } rows[] = {{"btn_new_adventure", 5, kEventNewAdventure, 0},
                {"btn_continue_gauntlet", 5, kEventContinueGauntlet, 0},
                {"btn_help_instructions", 5, kEventInstructions, 5},
                {"btn_help_about", 7, kEventAbout, 7},
                {"btn_main_hiscores", 5, kEventHighScores, 0}};
    for (const Row& row : rows) {
        ASSERT_NE(RestingMenu(), nullptr);
        int values = 0;
        app.onEvent = [&](int code) {
            if (code == row.code)
                ++values;
        };
        app.reached.clear();
        EXPECT_TRUE(app.OnEvent(nullptr, kMsgCommand, row.button, row.value));
        app.Frames(9);
        ASSERT_EQ(values, 1) << row.button;
    }
    app.onEvent = nullptr;
}

TEST_F(SwitchFixture, TheSoundTunerPreviewsAtMostOnceInElevenUpdates)
{
    ProfileStore& profiles = app.Profiles();
    profiles.soundOn = true;
    profiles.soundVolume = 50;
    ASSERT_TRUE(app.GetSoundBank()->LoadByIndex(2).ok());
    EXPECT_TRUE(app.OnEvent(nullptr, kMsgTunerChanged, "tuner_Sound", 140));
    EXPECT_EQ(profiles.soundVolume, 100);
    EXPECT_EQ(app.sound->sfxVolume, 100);
    ASSERT_EQ(app.sound->played.size(), 1u);
    EXPECT_EQ(app.GetVolumePreviewCountdown(), 11);
    // A change inside the pause, and an unchanged value after it, play nothing.
    app.OnEvent(nullptr, kMsgTunerChanged, "tuner_Sound", 60);
    for (int i = 0; i < 11; ++i)
        app.Update();
    app.OnEvent(nullptr, kMsgTunerChanged, "tuner_Sound", 60);
    EXPECT_EQ(app.sound->played.size(), 1u);
    app.OnEvent(nullptr, kMsgTunerChanged, "tuner_Sound", -3);
    EXPECT_EQ(profiles.soundVolume, 0);
    EXPECT_EQ(app.sound->played.size(), 2u);
    // Muted, the value still moves but nothing sounds.
    for (int i = 0; i < 11; ++i)
        app.Update();
    profiles.mute = true;
    app.OnEvent(nullptr, kMsgTunerChanged, "tuner_Sound", 30);
    EXPECT_EQ(profiles.soundVolume, 30);
    EXPECT_EQ(app.sound->played.size(), 2u);

    EXPECT_TRUE(app.OnEvent(nullptr, kMsgTunerChanged, "tuner_Music", 250));
    EXPECT_EQ(profiles.musicVolume, 100);
    EXPECT_EQ(app.sound->musicVolume, 100);
    EXPECT_EQ(app.sound->played.size(), 2u);
}

TEST_F(SwitchFixture, MuteStopsTheMusicAndUnmuteRestartsItOnlyWhenMusicIsOn)
{
    ProfileStore& profiles = app.Profiles();
    profiles.soundOn = profiles.musicOn = true;
    profiles.soundVolume = 40;
    profiles.musicVolume = 70;
    app.GetSoundBank()->PlayMusic();
    int starts = app.sound->musicStarts;
    EXPECT_TRUE(app.OnEvent(nullptr, kMsgCheckToggled, "chk_mute", 1));
    EXPECT_TRUE(profiles.mute);
    EXPECT_FALSE(app.sound->sfxOn);
    EXPECT_FALSE(app.sound->musicOn);
    EXPECT_EQ(app.sound->sfxVolume, 40);
    EXPECT_EQ(app.sound->musicVolume, 70);
    EXPECT_EQ(app.GetSoundBank()->GetMusicState(), -1);
    app.OnEvent(nullptr, kMsgCheckToggled, "chk_mute", 0);
    EXPECT_TRUE(app.sound->musicOn);
    EXPECT_EQ(app.sound->musicStarts, starts + 1);
    EXPECT_EQ(app.GetSoundBank()->GetMusicState(), 0);
    // Music switched off in the options: unmuting leaves it silent.
    app.OnEvent(nullptr, kMsgCheckToggled, "chk_mute", 1);
    profiles.musicOn = false;
    app.OnEvent(nullptr, kMsgCheckToggled, "chk_mute", 0);
    EXPECT_TRUE(app.sound->sfxOn);
    EXPECT_FALSE(app.sound->musicOn);
    EXPECT_EQ(app.sound->musicStarts, starts + 1);
}

TEST_F(SwitchFixture, LoadedHandsOverTheExitButtonAndShowsTheMenu)
{
    ASSERT_TRUE(app.ShowScreen(kSlotHelp).ok());
    app.SetPendingExit(8);
    Surface* normal = app.GetPendingExitImage(0);
    // While loading, the corner is no button.
    app.OnPointer(315, 3, 1);
    app.OnPointer(315, 3, 2);
    EXPECT_FALSE(app.IsQuitRequested());
    app.reached.clear();
    // The help screen plays the loader: it asks for 1008 and is deleted by its own delivery.
    app.Screen(kSlotHelp)->ClearScreenFadingIn();
    app.Screen(kSlotHelp)->SendEvent(nullptr, kEventLoaded, nullptr, 0, true);
    app.Frames(9);
    EXPECT_EQ(Codes(), std::vector<int>{kEventLoaded});
    EXPECT_EQ(app.GetScreen(kSlotHelp), nullptr);
    ASSERT_NE(app.GetStartMenu(), nullptr);
    EXPECT_EQ(app.GetStartMenu()->GetWidth(), 320);
    EXPECT_EQ(app.GetStartMenu()->GetHeight(), 240);
    EXPECT_EQ(app.GetPendingExitImage(0), nullptr);
    EXPECT_EQ(app.GetPendingExitImage(1), nullptr);
    EXPECT_EQ(app.ExitImage(), normal);
    // The corner button now ends the program.
    app.OnPointer(315, 3, 1);
    app.OnPointer(315, 3, 2);
    EXPECT_TRUE(app.IsQuitRequested());
}

TEST_F(SwitchFixture, ScreensThatCannotBeMadeFallBack)
{
    // No loader: the menu shows instead.
    EXPECT_TRUE(app.ShowLoader());
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_FALSE(app.IsQuitRequested());
    // A menu whose set-up fails ends the program as a failure with no screen left.
    app.onNew = [](TestScreen* screen) { screen->createResult = false; };
    EXPECT_FALSE(app.ShowLoader());
    EXPECT_EQ(app.GetChildCount(), 0);
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(app.GetExitCode(), 1);
}

TEST_F(SwitchFixture, AContinueThatCannotBePlayedBackLeavesThePlayerOnTheMenu)
{
    app.roots[kSlotGauntletMap] = "root_second";
    app.MakePlayer(3, 0);
    ASSERT_NE(RestingMenu(), nullptr);
    // A gauntlet map record whose saved state is missing cannot be restored.
    PackMemoryFile stream;
    ASSERT_TRUE(stream.Allocate(8));
    stream.WriteInt32(kScreenIdGauntletMap);
    ASSERT_TRUE(app.GetResumeStore()->WriteRecord(GameApp::ResumeKey(3, 1), &stream, "raw"));
    EXPECT_TRUE(app.OnEvent(nullptr, kEventContinueGauntlet, nullptr, 0));
    EXPECT_EQ(app.GetScreen(kSlotGauntletMap), nullptr);
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_EQ(app.Profiles().CurrentPlayer()->mode, 1);
}

TEST_F(SwitchFixture, AContinueWhoseRecordNamesNoScreenBringsAFreshMenu)
{
    app.MakePlayer(3, 0);
    TestScreen* menu = RestingMenu();
    ASSERT_NE(menu, nullptr);
    menu->state = 99;  // stands for the open continue dialog
    WriteRecord(GameApp::ResumeKey(3, 0), 4);
    ASSERT_TRUE(app.HasResumeSave(0));
    EXPECT_TRUE(app.OnEvent(nullptr, kEventContinueAdventure, nullptr, 0));
    ASSERT_NE(app.GetStartMenu(), nullptr);
    EXPECT_NE(app.Screen(kSlotStartMenu)->state, 99) << "the old menu stayed with its dialog";
    EXPECT_FALSE(app.ShowsResumableScreen());
    // A record that does restore its screen keeps it.
    app.roots[kSlotAdventureMap] = "root_second";
    WriteRecord(GameApp::ResumeKey(3, 0), kScreenIdAdventureMap);
    EXPECT_TRUE(app.OnEvent(nullptr, kEventContinueAdventure, nullptr, 0));
    EXPECT_NE(app.GetScreen(kSlotAdventureMap), nullptr);
    EXPECT_EQ(app.GetStartMenu(), nullptr);
    EXPECT_TRUE(app.ShowsResumableScreen());
}

}  // namespace
