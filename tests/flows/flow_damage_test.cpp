// Saved files cut short, as a card pulled mid-write would leave them: the game starts on its
// defaults or without the game to continue, and never falls over.
#include <gtest/gtest.h>

#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/screens/gauntlet_map_screen.h"
#include "scripted_game.h"

namespace {

class Damage : public ::testing::TestWithParam<FlowSize> {};

std::string CurrentName(ScriptedGame& game)
{
    ProfileStore* profiles = game.Profiles();
    String name;
    profiles->GetPlayerName(profiles->GetCurrentIndex(), name);
    return name.CStr() ? name.CStr() : "";
}

const char* WelcomeOf(const FlowSize& size)
{
    return size.width == 240 ? "txt_welcome240_2" : "txt_welcome";
}

// Leaves the folder with a named player and a gauntlet to continue, by closing the window on the
// gauntlet's map.
void MakeSaves(const FlowSize& size, const FlowFolder& folder)
{
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("ITZEL"));
    ASSERT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Screen<GauntletMapScreen>(kSlotGauntletMap) != nullptr; }, 300));
    game.Wait(30);
    game.Close();
    ASSERT_TRUE(game.WaitUntil([&] { return !game.Running(); }, 300));
    EXPECT_EQ(game.QuitCode(), 0);
}

// Starts on the folder and answers whether the gauntlet offers its saved game, leaving the
// program on the menu; the welcome must name the expected player.
bool OffersContinue(ScriptedGame& game, const std::string& player)
{
    EXPECT_EQ(CurrentName(game), player);
    EXPECT_NE(game.TextOf(WelcomeOf(FlowSize{game.Width(), game.Height()})).find(player), std::string::npos);
    EXPECT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    bool asked = false;
    game.WaitUntil(
        [&] {
            asked = game.Shows("dlg_continue_gauntlet");
            return asked || game.Screen<GauntletMapScreen>(kSlotGauntletMap) != nullptr;
        },
        300);
    return asked;
}

TEST_P(Damage, CutSavesGiveDefaultsAndNoContinue)
{
    const FlowSize size = GetParam();
    FlowFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    MakeSaves(size, folder);
    const std::string options = folder.Read("global.opt");
    const std::string resume = folder.Read("saveresume.dat");
    ASSERT_GT(options.size(), 16u);
    ASSERT_GT(resume.size(), 16u);

    {
        SCOPED_TRACE("whole saves");
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        EXPECT_TRUE(OffersContinue(game, "ITZEL")) << "the saves the damage is made from are good";
        EXPECT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_gauntlet_cancel"); }, 100));
        EXPECT_TRUE(game.Shot("continue_offered"));
        ASSERT_TRUE(game.TapWidget("btn_gauntlet_cancel"));
        EXPECT_EQ(game.Quit(), 0);
    }
    {
        SCOPED_TRACE("resume record cut");
        ASSERT_TRUE(folder.Write("global.opt", options));
        ASSERT_TRUE(folder.Write("saveresume.dat", resume.substr(0, resume.size() / 2)));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        EXPECT_FALSE(OffersContinue(game, "ITZEL"));
        EXPECT_EQ(game.Quit(), 0);
    }
    {
        SCOPED_TRACE("options cut");
        ASSERT_TRUE(folder.Write("global.opt", options.substr(0, options.size() / 2)));
        ASSERT_TRUE(folder.Write("saveresume.dat", resume));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        // The defaults hold no player: the name entry opens as on a first start.
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("dlg_EditPlayer") || game.MenuAtRest(); }, 2000));
        EXPECT_TRUE(game.Shows("dlg_EditPlayer"));
        EXPECT_TRUE(game.WaitUntil([&] { return game.CanTap("btnA"); }, 100));
        EXPECT_TRUE(game.Shot("defaults"));
        EXPECT_TRUE(game.MatchesStoredHash("defaults"));
        ASSERT_TRUE(game.ReachMenu("KAWI"));
        EXPECT_EQ(game.Profiles()->GetPlayerCount(), 1);
        EXPECT_EQ(game.Profiles()->skipHelp, false);
        ASSERT_NE(game.Player(), nullptr);
        EXPECT_EQ(game.Player()->highestStage, 1);
        EXPECT_FALSE(OffersContinue(game, "KAWI")) << "a new player never inherits a saved game";
        EXPECT_EQ(game.Quit(), 0);
    }
    {
        SCOPED_TRACE("both cut to nothing but a byte");
        ASSERT_TRUE(folder.Write("global.opt", options.substr(0, 1)));
        ASSERT_TRUE(folder.Write("saveresume.dat", resume.substr(0, 1)));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("KAWI"));
        EXPECT_FALSE(OffersContinue(game, "KAWI"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.Screen<GauntletMapScreen>(kSlotGauntletMap) != nullptr; }, 300));
        game.Wait(30);
        EXPECT_TRUE(game.Shot("gauntlet_map"));
        // Back on the menu by the window's close and a fresh start: the saves written over the
        // damage are whole again.
        game.Close();
        ASSERT_TRUE(game.WaitUntil([&] { return !game.Running(); }, 300));
    }
    EXPECT_GT(folder.Read("global.opt").size(), 16u);
    // The damaged record file was not thrown away unseen: it lies beside the new one.
    EXPECT_TRUE(folder.Read("saveresume.dat.bad") == resume.substr(0, 1));
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("NOBODY"));
    EXPECT_TRUE(OffersContinue(game, "KAWI"));
    ASSERT_TRUE(game.TapWidget("btn_gauntlet_cancel"));
    EXPECT_EQ(game.Quit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Damage, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace
