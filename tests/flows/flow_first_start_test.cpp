// The very first start on a fresh save folder: the loader, the name entry typed on the keyboard,
// a second player spelt on the on-screen keys, and the menu greeting the chosen player to music.
#include <gtest/gtest.h>

#include "engine/ui/image_widgets.h"
#include "game/app/profile_store.h"
#include "game/screens/loader_screen.h"
#include "game/screens/start_menu_screen.h"
#include "scripted_game.h"

namespace {

class FirstStart : public ::testing::TestWithParam<FlowSize> {};

std::string PlayerName(ScriptedGame& game, int index)
{
    String name;
    game.Profiles()->GetPlayerName(index, name);
    return name.CStr() ? name.CStr() : "";
}

TEST_P(FirstStart, NamesTwoPlayersAndIsWelcomed)
{
    ScriptedGame game(GetParam().width, GetParam().height);
    ASSERT_TRUE(game.Start());

    // The loader comes first and fills its bar before the menu.
    game.Frames(3);
    ASSERT_NE(game.Screen<LoaderScreen>(kSlotLoader), nullptr);
    EXPECT_TRUE(game.Shows("prog_loader_simple"));
    auto* bar = dynamic_cast<ProgressBarWidget*>(game.Find("prog_loader_simple"));
    ASSERT_NE(bar, nullptr);
    int early = bar->GetValue();
    game.Frames(60);
    ASSERT_NE(game.Screen<LoaderScreen>(kSlotLoader), nullptr) << "the loader is gone too soon to see";
    EXPECT_GT(bar->GetValue(), early) << "the bar fills as the loader works";
    EXPECT_LT(bar->GetValue(), 256);
    EXPECT_TRUE(game.Shot("loader"));

    // No player yet: the menu opens the name entry at once.
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("dlg_EditPlayer") && game.Shows("btnA"); }, 1500));
    EXPECT_EQ(game.Screen<LoaderScreen>(kSlotLoader), nullptr);
    ASSERT_NE(game.Screen<StartMenuScreen>(kSlotStartMenu), nullptr);
    ASSERT_EQ(game.Profiles()->GetPlayerCount(), 1);
    game.Wait(20);
    EXPECT_EQ(game.TextOf("txtName"), "");
    EXPECT_FALSE(game.Shows("btnPlayerOK")) << "no OK for an empty name";
    EXPECT_TRUE(game.Shot("name_entry"));

    // Typed as an input method sends it: letters come out capitals, other characters are dropped.
    game.Type("Itzel!");
    EXPECT_EQ(game.TextOf("txtName"), "ITZEL");
    EXPECT_TRUE(game.Shows("btnPlayerOK"));
    EXPECT_TRUE(game.Shot("name_typed"));
    ASSERT_TRUE(game.TapWidget("btnPlayerOK"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.OpenDialog() == nullptr; }, 200));
    EXPECT_EQ(PlayerName(game, 0), "ITZEL");
    const char* welcome = GetParam().width == 240 ? "txt_welcome240_2" : "txt_welcome";
    EXPECT_NE(game.TextOf(welcome).find("ITZEL"), std::string::npos) << game.TextOf(welcome);

    // A second player, spelt on the on-screen keys from the players list's free row.
    ASSERT_TRUE(game.TapWidget("btn_change_player"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_user_1"); }, 200));
    game.Wait(12);
    EXPECT_EQ(game.TextOf("btn_user_0"), "ITZEL");
    EXPECT_TRUE(game.Shot("players"));
    ASSERT_TRUE(game.TapWidget("btn_user_1"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btnK"); }, 200));
    game.Wait(12);
    EXPECT_EQ(game.TextOf("txtName"), "");
    for (const char* key : {"btnK", "btnA", "btnW", "btnI"})
        ASSERT_TRUE(game.TapWidget(key)) << key;
    // A slip mended with the backspace key on the screen.
    ASSERT_TRUE(game.TapWidget("btnX"));
    ASSERT_TRUE(game.TapWidget("btnBksp"));
    EXPECT_EQ(game.TextOf("txtName"), "KAWI");
    EXPECT_TRUE(game.Shot("second_name"));
    ASSERT_TRUE(game.TapWidget("btnPlayerOK"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.OpenDialog() == nullptr; }, 200));
    ASSERT_EQ(game.Profiles()->GetPlayerCount(), 2);
    EXPECT_EQ(PlayerName(game, 1), "KAWI");
    EXPECT_EQ(game.Profiles()->GetCurrentIndex(), 1);
    EXPECT_NE(game.TextOf(welcome).find("KAWI"), std::string::npos) << game.TextOf(welcome);

    // The menu plays its music.
    uint64_t mark = game.SoundMark();
    game.Wait(60);
    EXPECT_GT(game.AudibleSince(mark), 1000u);
    EXPECT_TRUE(game.Shot("menu"));
    EXPECT_TRUE(game.MatchesStoredHash("menu"));

    EXPECT_EQ(game.Quit(), 0);
    EXPECT_EQ(game.QuitCode(), 0);
}

struct RunResult {
    std::string options, resume;
    uint64_t lastFrame = 0;
};

// A short first start: a name, the menu, the gauntlet's map, the window closed there (so that
// both saved files are written).
RunResult PlayShortScript()
{
    RunResult result;
    FlowFolder folder;
    {
        ScriptedGame game(800, 480, folder.Path());
        EXPECT_TRUE(game.Start());
        EXPECT_TRUE(game.ReachMenu("ITZEL"));
        game.Wait(45);
        EXPECT_TRUE(game.TapWidget("btn_sm_gauntlet"));
        game.Wait(90);
        EXPECT_EQ(game.Quit(), 0);
        result.lastFrame = game.FrameHash();
    }
    result.options = folder.Read("global.opt");
    result.resume = folder.Read("saveresume.dat");
    return result;
}

TEST(FirstStartTwice, TheSameScriptSavesTheSameAndEndsOnTheSamePicture)
{
    RunResult first = PlayShortScript();
    RunResult second = PlayShortScript();
    ASSERT_FALSE(first.options.empty());
    ASSERT_FALSE(first.resume.empty());
    EXPECT_TRUE(first.options == second.options) << "global.opt differs between two runs of one script";
    EXPECT_TRUE(first.resume == second.resume) << "saveresume.dat differs between two runs of one script";
    EXPECT_NE(first.lastFrame, 0u);
    EXPECT_EQ(first.lastFrame, second.lastFrame);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FirstStart, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace
