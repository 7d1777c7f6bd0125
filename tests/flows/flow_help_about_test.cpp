// The menu's help: the instructions with their four demonstrations running and the "don't show
// again" box, the credits crawling, dragged and moved by the keys, and the menu's quit.
#include <gtest/gtest.h>

#include "game/app/profile_store.h"
#include "game/help/about_screen.h"
#include "game/help/help_screen.h"
#include "platform/keys.h"
#include "scripted_game.h"

namespace {

class HelpAbout : public ::testing::TestWithParam<FlowSize> {};

// What a demonstration shows: its items, where and how each sprite stands.
int64_t SceneState(const HelpScene* scene)
{
    int64_t state = scene->GetItemCount();
    for (int i = 0; i < scene->GetItemCount(); ++i) {
        if (auto* sprite = dynamic_cast<const HelpSpriteItem*>(scene->GetItem(i)))
            state = state * 31 + sprite->x.raw * 7 + sprite->y.raw * 5 + sprite->frame.raw * 3 + sprite->alpha.raw +
                    sprite->angle.raw;
    }
    return state;
}

bool OpenFromHelpDialog(ScriptedGame& game, const char* button)
{
    if (!game.TapWidget("btn_sm_help") || !game.TapWidget(button))
        return false;
    return game.WaitUntil([&] { return game.CanTap("btn_help_ok"); }, 300);
}

TEST_P(HelpAbout, PagesAnimateTheBoxTogglesAndTheCreditsMove)
{
    ScriptedGame game(GetParam().width, GetParam().height);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu());
    ASSERT_FALSE(game.Profiles()->skipHelp);

    // The instructions: every one of the four demonstrations moves on from frame to frame.
    ASSERT_TRUE(OpenFromHelpDialog(game, "btn_help_instructions"));
    auto* help = game.Screen<HelpScreen>(kSlotHelp);
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(game.IsTicked("chk_dontshow"));
    int64_t before[kHelpPageCount];
    for (int page = 0; page < kHelpPageCount; ++page)
        before[page] = SceneState(help->GetScene(page));
    uint64_t firstPicture = game.FrameHash();
    EXPECT_TRUE(game.Shot("instructions"));
    bool moved[kHelpPageCount] = {};
    for (int step = 0; step < 40; ++step) {
        game.Frames(3);
        for (int page = 0; page < kHelpPageCount; ++page)
            moved[page] = moved[page] || SceneState(help->GetScene(page)) != before[page];
    }
    for (int page = 0; page < kHelpPageCount; ++page)
        EXPECT_TRUE(moved[page]) << "page " << page << " stands still";
    EXPECT_NE(game.FrameHash(), firstPicture);
    EXPECT_TRUE(game.Shot("instructions_later"));
    EXPECT_TRUE(game.MatchesStoredHash("instructions_later"));

    // The tick box follows the stylus both ways and the profile with it.
    ASSERT_TRUE(game.TapWidget("chk_dontshow"));
    EXPECT_TRUE(game.IsTicked("chk_dontshow"));
    EXPECT_TRUE(game.Profiles()->skipHelp);
    ASSERT_TRUE(game.TapWidget("chk_dontshow"));
    EXPECT_FALSE(game.IsTicked("chk_dontshow"));
    EXPECT_FALSE(game.Profiles()->skipHelp);
    ASSERT_TRUE(game.TapWidget("chk_dontshow"));
    EXPECT_TRUE(game.Shot("ticked"));
    ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    EXPECT_TRUE(game.Profiles()->skipHelp) << "the tick outlives the help";

    // The credits crawl up by themselves.
    ASSERT_TRUE(OpenFromHelpDialog(game, "btn_help_about"));
    auto* about = game.Screen<AboutScreen>(kSlotAbout);
    ASSERT_NE(about, nullptr);
    CreditsScroll& scroll = about->GetScroll();
    Fixed start = scroll.position;
    game.Wait(60);
    EXPECT_GT(scroll.position.raw, start.raw) << "the crawl moves the text up";
    EXPECT_TRUE(game.Shot("about"));

    // Dragged up under the stylus by as much as the stylus moved (game pixels), once the text is
    // inside its window where no rubber band pulls at it.
    ASSERT_TRUE(game.WaitUntil([&] { return scroll.position.GreaterThanInt(10); }, 900));
    ASSERT_GT(scroll.maximum.ToInt(), scroll.position.ToInt() + 60) << "credits too short to drag";
    const Rect& clip = about->GetClip();
    int x = clip.x + clip.w / 2, y = clip.y + clip.h * 3 / 4;
    game.Press(x, y);
    Fixed pressed = scroll.position;
    EXPECT_FALSE(scroll.autoScroll) << "the stylus stops the crawl";
    for (int i = 1; i <= 4; ++i)
        game.Drag(x, y - 10 * i);
    EXPECT_NEAR(scroll.position.ToInt() - pressed.ToInt(), 40, 2);
    game.Release(x, y - 40);
    game.Wait(60);
    EXPECT_TRUE(game.Shot("about_dragged"));
    EXPECT_TRUE(game.MatchesStoredHash("about_dragged"));

    // The down key moves the text on while it is held, the up key back.
    Fixed held = scroll.position;
    game.KeyDown(VK_DOWN);
    game.Frames(20);
    game.KeyUp(VK_DOWN);
    EXPECT_GT(scroll.position.raw, held.raw);
    held = scroll.position;
    game.KeyDown(VK_UP);
    game.Frames(10);
    game.KeyUp(VK_UP);
    EXPECT_LT(scroll.position.raw, held.raw);

    ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    EXPECT_TRUE(game.Shot("menu"));
    EXPECT_EQ(game.Quit(), 0);
    EXPECT_EQ(game.QuitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HelpAbout, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace
