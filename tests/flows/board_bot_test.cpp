// The two scripted players on shipped levels: the winner clears its stage without paying a life
// within a frame budget at a large and a small screen; the loser lets the chains take a life.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "assets/gameplay_rules_app.h"
#include "bot_hands.h"
#include "platform/crt.h"

namespace {


struct Level {
    const char* name;
    int stage;     // adventure stage, or 0 for the gauntlet
    int map = 0;   // the gauntlet's map (practice, its first level)
};

void PrintTo(const Level& level, std::ostream* out)
{
    *out << level.name;
}

struct Played {
    bool won = false;
    bool lifeLost = false;
    int frames = 0;
};

bool StartLevel(RulesApp& app, const Level& level)
{
    if (level.stage > 0)
        app.PlayAdventure(level.stage);
    else
        app.PlayGauntlet(level.map, 1, false);
    return app.ShowBoard(true);
}

// Plays until the level is won or a life is lost; frames are let run six at a time while a shot
// is on its way, as a player waiting for it would.
template <class Bot>
Played Play(RulesApp& app, Bot& bot, int budget)
{
    AppHands hands(app);
    Played out;
    while (out.frames < budget) {
        GameplayScreen* board = app.Board();
        if (!board)
            break;
        if (board->playState >= kPlayWon && board->playState <= kPlayStatistics) {
            out.won = true;
            break;
        }
        if (board->lifeLost) {
            out.lifeLost = true;
            break;
        }
        bot.Act(*board, hands);
        const int updates = board->shotCount > 0 || board->playState != kPlayPlaying ? 6 : 1;
        for (int i = 0; i < updates; ++i)
            app.Update();
        out.frames += updates;
    }
    bot.LetGo(hands);
    return out;
}

class WinnerTest : public ::testing::TestWithParam<std::tuple<Level, int>> {};

TEST_P(WinnerTest, ClearsTheLevelWithoutPayingALife)
{
    const auto& [level, width] = GetParam();
    const int height = width == 640 ? 480 : 240;
    crt::srand(7);
    RulesApp app(width, height);
    ASSERT_TRUE(app.Ready());
    app.GetProfiles()->skipHelp = true;
    ASSERT_TRUE(StartLevel(app, level));
    WinnerBot bot(11);
    // Three and a half minutes of play at the game's 30 frames a second.
    const Played played = Play(app, bot, 6300);
    EXPECT_TRUE(played.won) << played.frames << " frames";
    EXPECT_FALSE(played.lifeLost);
}

const Level kLevels[] = {{"stage1", 1}, {"stage8", 8}, {"stage15", 15}, {"snakepit", 0, 18}};

INSTANTIATE_TEST_SUITE_P(Levels, WinnerTest, ::testing::Combine(::testing::ValuesIn(kLevels), ::testing::Values(640, 240)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(LoserBot, LetsTheChainsTakeALife)
{
    crt::srand(7);
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(StartLevel(app, {"stage1", 1}));
    LoserBot bot(5);
    const Played played = Play(app, bot, 6300);
    EXPECT_TRUE(played.lifeLost);
    EXPECT_FALSE(played.won);
    EXPECT_GT(bot.Shots(), 0);
}

}  // namespace
