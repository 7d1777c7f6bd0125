#pragma once
// A gameplay screen on the board's test application with a 640x480 display, ball sprites, and
// straight tracks, for playing the rules of rolling chains and flying shots with numbers worked
// out by hand. Track c runs along y = 100 + 200 c from x = -300, so distance d stands at
// x = d - 300; it is 1200 px long and comes on screen 300 px along.
#include <initializer_list>
#include <memory>

#include "engine/graphics/surface.h"
#include "game/app/profile_store.h"
#include "game/play/frog.h"
#include "game/play/gameplay_screen.h"
#include "tests/game/play/board_app.h"
#include "tests/game/play/board_valid.h"

class DisplayBoardApp : public BoardApp {
public:
    explicit DisplayBoardApp(bool ballSets = true)
    {
        auto* display = new Surface(this);
        display->Create(640, 480);
        screenSurface_ = display;  // the application deletes it
        setsLoaded = !ballSets || AddBallSets(4);
    }
    ~DisplayBoardApp() override { DeleteAndNull(options_); }
    // A player in gauntlet survival.
    void PlaySurvival()
    {
        auto* profiles = new ProfileStore();
        options_ = profiles;
        profiles->SetCurrentIndex(profiles->AddPlayer());
        profiles->CurrentPlayer()->mode = 1;
        profiles->CurrentPlayer()->CurrentModeProgress()->gauntletKind = 0;
    }
    bool setsLoaded = false;
};

inline Fixed F(int n)
{
    return Fixed::FromInt(n);
}

inline FixedVec2 P(int x, int y)
{
    return FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
}

class RollingBoard {
public:
    explicit RollingBoard(bool ballSets = true) : app(ballSets), board(std::make_unique<GameplayScreen>(&app))
    {
        GameplayScreen& b = *board;
        b.collisionDistance = F(32);
        b.collisionDistanceSquared = F(32 * 32);
        b.shotSpeed = 9;
        b.gapBonusScale = app.Layout().ints[kLayoutGapBonusScale];
        b.gapClosingSpeeds[0] = F(2);
        b.gapClosingSpeeds[1] = Fixed::Raw(64);  // 0.25
        b.gapClosingSpeeds[2] = Fixed::Raw(64);
        b.repeatPercent = 0;
        for (int c = 0; c < 6; ++c)
            b.colourEnabled[c] = c < 4;
        // A steady board: normal speed 1, no roll-in, the danger far beyond the tracks.
        b.normalSpeed = F(1);
        b.endSpeed = F(4);
        b.rushSpeed = F(8);
        b.reverseSpeed = F(2);
        b.rollInSpeed = F(6);
        b.dangerRampLength = F(100);
        for (int c = 0; c < kBoardCurves; ++c) {
            b.dangerPoint[c] = F(5000);
            b.dangerRampReciprocal[c] = Fixed::Raw(256 / 100);
            b.rollInActive[c] = 0;
        }
        b.targetScore = 100000;
    }
    ~RollingBoard()
    {
        // The chains and frog balls go here, whichever destructor the screen has.
        for (BallChain*& chain : board->chains)
            DeleteBallChain(chain);
        DeleteAndNull(board->currentBall);
        DeleteAndNull(board->nextBall);
        DeleteAndNull(board->frog);
        board.reset();
    }

    // Lays the tracks (with a tunnel over distances 700..900 of track 0 when asked) and binds a
    // chain to each.
    bool Tracks(int count, bool tunnel = false)
    {
        GameplayScreen& b = *board;
        for (int c = 0; c < count; ++c) {
            CurvePath& path = b.curves[c];
            const int y = 100 + 200 * c;
            if (tunnel && c == 0) {
                if (!path.Segment(0).SetPoints(P(-300, y), P(-100, y), P(200, y), P(400, y)) ||
                    !path.Segment(1).SetPoints(P(400, y), P(450, y), P(550, y), P(600, y)) ||
                    !path.Segment(2).SetPoints(P(600, y), P(700, y), P(800, y), P(900, y)))
                    return false;
                path.Segment(1).tunnel = 1;
                path.SetSegmentCount(3);
            } else {
                if (!path.Segment(0).SetPoints(P(-300, y), P(100, y), P(500, y), P(900, y)))
                    return false;
                path.SetSegmentCount(1);
            }
            if (!path.BuildTable())
                return false;
            b.chains[c] = new BallChain(&app);
            b.chains[c]->SetPath(&path, c);
            b.curveLength[c] = path.Length();
        }
        b.curveCount = count;
        return true;
    }

    // Puts balls of the colours at the distances (head first) on chain c, settled and placed on
    // the track; the chain counts as in play.
    BallChain& Lay(int c, std::initializer_list<int> distances, std::initializer_list<int> colours)
    {
        BallChain& chain = *board->chains[c];
        chain.LayOut(static_cast<int>(distances.size()), F(0));
        auto colour = colours.begin();
        int i = 0;
        for (int d : distances) {
            chain.balls[i].distance = F(d);
            chain.balls[i].colour = colour != colours.end() ? *colour++ : 0;
            ++board->colourCount[chain.balls[i].colour];
            ++i;
        }
        chain.Update(nullptr);
        board->chainCount = 0;
        for (BallChain* each : board->chains)
            board->chainCount += each && each->count > 0;
        return chain;
    }

    DisplayBoardApp app;
    std::unique_ptr<GameplayScreen> board;
};
