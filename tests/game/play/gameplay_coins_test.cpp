#include <gtest/gtest.h>

#include <vector>

#include "game/play/coin.h"
#include "game/app/sound_bank.h"
#include "tests/game/play/rules_board.h"

namespace {

// One coin point at design (200, 150) with the two guards; an interval of 1 makes the chance
// draw always 0, so the wait and the guards alone decide.
struct CoinBoard : RulesBoard {
    CoinBoard(int guard0 = 0, int guard1 = 0)
    {
        points.Append(ItemPair{200, 150});
        guards[0].Append(Fixed::FromInt(guard0));
        guards[1].Append(Fixed::FromInt(guard1));
        screen->coinPoints = &points;
        screen->coinGuards[0] = &guards[0];
        screen->coinGuards[1] = &guards[1];
        screen->coinInterval = 1;
        screen->frameCounter = 10;
        screen->lastCoinFrame = -330;
    }
    ~CoinBoard()
    {
        screen->coinPoints = nullptr;
        screen->coinGuards[0] = screen->coinGuards[1] = nullptr;
    }
    std::vector<Coin*> Coins()
    {
        std::vector<Coin*> coins;
        for (int i = 0; i < screen->effects.Count(); ++i)
            if (screen->effects.Get(i)->Type() == kObjectCoin)
                coins.push_back(static_cast<Coin*>(screen->effects.Get(i)));
        return coins;
    }
    // One frame of the coin step.
    size_t Step()
    {
        ++screen->frameCounter;
        screen->UpdateCoins();
        return Coins().size();
    }

    PairArray points;
    FixedArray guards[2];
};

}  // namespace

TEST(Coins, NeverTwoAndAGoneCoinRestartsTheWait)
{
    CoinBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    s.UpdateCoins();
    std::vector<Coin*> coins = board.Coins();
    ASSERT_EQ(coins.size(), 1u);
    EXPECT_EQ(board.app.sound->played, std::vector<int>{kCoinAppearSound});
    float x = 200, y = 150;
    s.MapDesignPoint(x, y);
    EXPECT_EQ(coins[0]->Bounds().CenterX(), Fixed::FromInt(static_cast<int>(x)));
    EXPECT_EQ(coins[0]->Bounds().CenterY(), Fixed::FromInt(static_cast<int>(y)));
    EXPECT_EQ(coins[0]->GetAge(), 0);

    // The coin on the board lives its 330 frames and no second one comes.
    int frames = 0;
    while (board.Step() == 1 && frames < 1000)
        ++frames;
    EXPECT_EQ(frames + 1, Coin::kLifetime);
    EXPECT_EQ(s.lastCoinFrame, s.frameCounter);
    // More than the interval must pass before the next.
    EXPECT_EQ(board.Step(), 0u);
    EXPECT_EQ(board.Step(), 1u);
}

TEST(Coins, AnUnreachedGuardSkipsItsPoint)
{
    CoinBoard board(500, 0);
    ASSERT_TRUE(board.setsMade);
    board.holes[0]->furthestHead = Fixed::FromInt(499);
    EXPECT_EQ(board.Step(), 0u);
    board.holes[0]->furthestHead = Fixed::FromInt(500);
    EXPECT_EQ(board.Step(), 1u);

    // The second track's guard counts only on a two-track map.
    CoinBoard second(0, 500);
    ASSERT_TRUE(second.setsMade);
    second.screen->curveCount = 2;
    EXPECT_EQ(second.Step(), 0u);
    second.screen->curveCount = 1;
    EXPECT_EQ(second.Step(), 1u);

    // A map without points, or with guards for fewer points, shows none.
    CoinBoard none;
    none.guards[1].Clear();
    EXPECT_EQ(none.Step(), 0u);
    none.points.Clear();
    EXPECT_EQ(none.Step(), 0u);
}

TEST(Coins, ALossOrAWinTakesTheCoinAndTheTargetStopsNewOnes)
{
    for (int end = 0; end < 2; ++end) {
        CoinBoard board;
        ASSERT_TRUE(board.setsMade);
        GameplayScreen& s = *board.screen;
        ASSERT_EQ(board.Step(), 1u);
        (end == 0 ? s.lifeLost : s.levelFinished) = 1;
        EXPECT_EQ(board.Step(), 0u);
        EXPECT_EQ(s.lastCoinFrame, s.frameCounter);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(board.Step(), 0u);
    }

    CoinBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    ASSERT_EQ(board.Step(), 1u);
    s.targetReached = 1;
    EXPECT_EQ(board.Step(), 1u);
    EXPECT_EQ(board.Coins()[0]->GetAge(), 1);
    board.Coins()[0]->Kill();
    EXPECT_EQ(board.Step(), 0u);
    EXPECT_EQ(board.Step(), 0u);
    EXPECT_EQ(board.Step(), 0u);
}
