// The board's rule moments at every resolution on the shipped data, seeded, written to
// look/gameplay_rules_<W>x<H>_<moment>.png: the Accuracy beam over the chains, a bomb going off,
// a head near its hole with the warning running, the loss message, and the end sweep.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/play/ball_chain.h"
#include "game/play/explosion.h"
#include "game/play/frog.h"
#include "game/play/hole.h"
#include "game/play/track_sparkle.h"
#include "gameplay_rules_app.h"
#include "platform/crt.h"

namespace {

std::string LookPath(const ShippedResolution& r, const char* moment)
{
    return std::string(KELO_LOOK_DIR) + "/gameplay_rules_" + ShippedName(r) + "_" + moment + ".png";
}

std::vector<uint16_t> Snapshot(RulesApp& app)
{
    app.Draw();
    Surface* screen = app.GetScreenSurface();
    const uint16_t* pixels = screen->GetPixels();
    return std::vector<uint16_t>(pixels, pixels + screen->GetRawWidth() * screen->GetRawHeight());
}

int CountDiffering(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += a[i] != b[i];
    return n;
}

int BombExplosions(GameplayScreen& board)
{
    int n = 0;
    for (int i = 0; i < board.effects.Count(); ++i) {
        GameObject* object = board.effects.Get(i);
        if (object && object->Type() == kObjectExplosion && !object->IsDead() &&
            static_cast<Explosion*>(object)->GetColour() == Explosion::kBomb)
            ++n;
    }
    return n;
}

// A fresh first stage, past its intro, with the chains rolling.
bool StartPlaying(RulesApp& app, unsigned seed)
{
    crt::srand(seed);
    app.PlayAdventure(1);
    if (!app.ShowBoard(true))
        return false;
    app.BoardFrames(260);
    return app.Board()->playState == kPlayPlaying;
}

}  // namespace

TEST(GameplayRulesLook, RuleMomentsAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        RulesApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());

        // The Accuracy beam: the same frame drawn with and without it differs.
        ASSERT_TRUE(StartPlaying(app, 5));
        GameplayScreen* board = app.Board();
        // Aimed by the stylus at the fourth ball of the first chain, so that the beam meets it.
        const Ball& aimed = board->chains[0]->balls[3];
        const Fixed angleBefore = board->frog->GetAngle();
        board->OnPointer(aimed.position.x.ToInt() * r.width / 640, aimed.position.y.ToInt() * r.height / 480, 3);
        board->Update();
        EXPECT_NE(board->frog->GetAngle(), angleBefore);
        std::vector<uint16_t> plain = Snapshot(app);
        board->StartAccuracy();
        EXPECT_GT(board->accuracyTimer, 0);
        EXPECT_GT(CountDiffering(plain, Snapshot(app)), 50);
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "accuracy")));

        // A bomb in the middle of the first chain, its explosions half way through.
        ASSERT_TRUE(StartPlaying(app, 6));
        board = app.Board();
        BallChain& chain = *board->chains[0];
        ASSERT_GT(chain.count, 4);
        const int before = chain.count;
        const Ball& middle = chain.balls[chain.count / 2];
        board->DetonateBomb(middle.position.x, middle.position.y);
        app.BoardFrames(6);
        EXPECT_LT(board->chains[0]->count, before);
        EXPECT_GT(BombExplosions(*board), 0);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "bomb")));

        // A head two balls short of its hole: the hole opens towards it and the warning runs.
        ASSERT_TRUE(StartPlaying(app, 7));
        board = app.Board();
        Hole* hole = board->curves[0].GetHole();
        ASSERT_NE(hole, nullptr);
        EXPECT_EQ(hole->GetCoverTarget(), 0);
        BallChain& near = *board->chains[0];
        const Fixed twoBalls = board->collisionDistance + board->collisionDistance;
        const Fixed shift = near.path->Length() - twoBalls - near.balls[0].distance;
        for (int i = 0; i < near.count; ++i)
            near.balls[i].distance += shift;
        app.BoardFrames(12);
        EXPECT_EQ(board->lifeLost, 0);
        EXPECT_GT(hole->GetCoverTarget(), 0);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "warning")));

        // The loss: the chains drain into the hole, then the message shows.
        ASSERT_TRUE(StartPlaying(app, 8));
        board = app.Board();
        app.Player()->progress[0].lives = 3;
        board->LoseLife();
        for (int i = 0; i < 3000 && !board->waitingAfterLoss; ++i)
            board->LoseLifeSequence();
        ASSERT_TRUE(board->waitingAfterLoss);
        for (int i = 0; i < 20; ++i)
            board->LoseLifeSequence();
        EXPECT_EQ(board->playState, kPlayLifeLost);
        EXPECT_FALSE(board->lossMessage.IsEmpty());
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "loss")));

        // The end sweep: the target reached and every ball gone, the sparkle runs the track.
        ASSERT_TRUE(StartPlaying(app, 9));
        board = app.Board();
        board->targetReached = 1;
        for (BallChain* c : board->chains) {
            if (!c || c->count < 1)
                continue;
            for (int i = 0; i < c->count; ++i)
                c->balls[i].matched = 1;
            board->CollectExploded(*c);
        }
        for (int i = 0; i < 600 && board->playState != kPlayEndSweep; ++i)
            board->Update();
        ASSERT_EQ(board->playState, kPlayEndSweep);
        app.BoardFrames(25);
        EXPECT_EQ(board->playState, kPlayEndSweep);
        EXPECT_TRUE(board->trackSparkle->IsActive(0));
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "endsweep")));
    }
}
