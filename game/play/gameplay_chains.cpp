#include <memory>

#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/app/sound_bank.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"

// The per-frame rules that move the chains: the tail pushes, touching balls keep one diameter
// apart, new balls come in at each track's start, a run ahead of a same-coloured gap rolls back
// to close it, and runs of three or more that hold a new ball are flagged for removal.

namespace {

// How close a ball must follow the one before it: a ball still growing into place asks for less.
Fixed SpacingFor(const Ball& ball, Fixed collision)
{
    const Fixed one = Fixed::FromInt(1);
    return ball.growth < one ? collision * ball.growth : collision;
}

}  // namespace

int GameplayScreen::ChainsInPlay(BallChain* out[kMaxChains])
{
    int n = 0;
    for (BallChain* c : chains) {
        if (n >= chainCount)
            break;
        if (c && c->count > 0)
            out[n++] = c;
    }
    return n;
}

Fixed GameplayScreen::ChainSpeed(BallChain& target, bool& pause)
{
    // The rule reads the screen's own fields, so that a level's set-up and a test alike steer it
    // through them.
    Difficulty d;
    d.rollInSpeed = rollInSpeed;
    d.normalSpeed = normalSpeed;
    d.endSpeed = endSpeed;
    d.rushSpeed = rushSpeed;
    d.reverseSpeed = reverseSpeed;
    d.rampLength = dangerRampLength;
    for (int c = 0; c < kBoardCurves; ++c) {
        d.rollInDistance[c] = rollInDistance[c];
        d.dangerDistance[c] = dangerPoint[c];
        d.rampFactor[c] = dangerRampReciprocal[c];
    }
    speedState.difficulty = &d;
    speedState.lifeLost = lifeLost != 0;
    speedState.reverseTimer = reverseTimer;
    speedState.slowTimer = slowTimer;
    for (int c = 0; c < kBoardCurves; ++c)
        speedState.rollInActive[c] = rollInActive[c];
    speedState.chainsEntered = chainsEntered;
    const Surface* display = application->GetScreenSurface();
    speedState.screenWidth = display ? display->GetWidth() : 0;
    speedState.screenHeight = display ? display->GetHeight() : 0;
    speedState.chainsOnBoard = ::ChainsOnBoard(chains, kMaxChains, startDistance);
    speedState.collisionDistance = collisionDistance;
    speedState.rollInEnded = false;

    const Fixed speed = ::ChainSpeed(speedState, target, pause);

    for (int c = 0; c < kBoardCurves; ++c)
        rollInActive[c] = speedState.rollInActive[c];
    chainsEntered = speedState.chainsEntered;
    speedState.difficulty = nullptr;
    if (speedState.rollInEnded)
        if (SoundBank* sounds = application->GetSoundBank())
            sounds->Stop(kRollingSound);
    return speed;
}

void GameplayScreen::KeepSpacing()
{
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    const Fixed limit = application->GetLayoutTable().fixed[kLayoutPushLimit];
    for (int k = 0; k < n; ++k) {
        BallChain& c = *list[k];
        for (int i = c.count - 1; i >= 1; --i) {
            const Fixed gap = c.balls[i - 1].distance - c.balls[i].distance;
            if (gap < collisionDistance) {
                Fixed push = collisionDistance - gap;
                if (push > limit)
                    push = limit;
                c.balls[i - 1].distance += push;
            }
        }
    }
}

void GameplayScreen::AdvanceChains()
{
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    for (int k = 0; k < n; ++k) {
        BallChain& c = *list[k];
        // Only chains that hold balls are in play: the head and the tail exist.
        KELO_ASSERT(c.count >= 1 && c.count <= kMaxChainBalls);
        bool pause = false;
        const Fixed s = ChainSpeed(c, pause);
        if (s != c.targetSpeed)
            c.SetTargetSpeed(s, pause);
        c.StepSpeed();
        const Fixed v = c.speed;
        if (v.raw >= 0) {
            // Only the tail moves by itself; the others move when pushed, so a gap stays open.
            c.balls[c.count - 1].distance += v;
            for (int i = c.count - 1; i >= 1; --i) {
                const Fixed need = SpacingFor(c.balls[i], collisionDistance);
                const Fixed gap = c.balls[i - 1].distance - c.balls[i].distance;
                if (gap < need)
                    c.balls[i - 1].distance += need - gap;
            }
        } else {
            c.balls[0].distance += v;
            for (int i = 0; i + 1 < c.count; ++i) {
                const Fixed need = SpacingFor(c.balls[i], collisionDistance);
                const Fixed gap = c.balls[i].distance - c.balls[i + 1].distance;
                if (gap < need)
                    c.balls[i + 1].distance -= need - gap;
            }
        }
    }
}

bool GameplayScreen::AddChainBall(BallChain& c, Fixed distance)
{
    // Room is left for one shot: a fed chain never holds more than 199 balls.
    if (c.count >= kMaxChainBalls - 1)
        return false;
    const int colour = NextChainColour();
    std::unique_ptr<BallSprite> owned(CreateBallSprite(colour));
    if (!owned || !ballSprites.Append(owned.get()))
        return false;
    BallSprite* sprite = owned.release();
    KELO_ASSERT(colour >= 0 && colour < kBallColours);  // a sprite was made for it
    ++colourCount[colour];
    sprite->SetPositionAndSize(FixedVec2(Fixed::FromInt(-400), Fixed::FromInt(-400)),
                               FixedVec2(sprite->Bounds().w, sprite->Bounds().h));
    // The slot may still hold a removed ball's leftovers (its pull speed among them).
    Ball& ball = c.balls[c.count];
    ball.Reset();
    ball.sprite = sprite;
    ball.colour = colour;
    ball.distance = distance;
    ball.serial = Ball::NewSerial();
    ++c.count;
    return true;
}

void GameplayScreen::FeedChains()
{
    if (targetReached)
        return;
    const Fixed d = collisionDistance;
    for (int curve = 0; curve < curveCount && curve < kBoardCurves && curve < kMaxChains; ++curve) {
        BallChain* c = chains[curve];
        if (!c || c->speed.raw < 0)
            continue;
        if (!c->path)
            c->SetPath(&curves[curve], curve);
        const Fixed s = startDistance[curve];
        if (c->count == 0) {
            // The chain counts again only once its ball is really there.
            if (!AddChainBall(*c, s))
                return;
            ++chainCount;
            continue;
        }
        if (c->count >= kMaxChainBalls - 1)
            continue;
        const Fixed tail = c->balls[c->count - 1].distance;
        if (tail >= s + d) {
            const Fixed at = tail - d < s + d ? tail - d : s + d;
            if (!AddChainBall(*c, at))
                return;
        }
    }
}

bool GameplayScreen::SameColourAcrossGap(BallChain& c, int i)
{
    if (i < 0 || i >= c.count - 1)
        return false;
    const Fixed one = Fixed::FromInt(1);
    const Ball& a = c.balls[i];
    const Ball& b = c.balls[i + 1];
    if (a.growth < one || b.growth < one)
        return false;
    return a.colour == b.colour;
}

void GameplayScreen::CloseGaps()
{
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    const Fixed relaxRate = gapClosingSpeeds[1] * Fixed::Raw(448);  // 1.75 times
    for (int m = 0; m < n; ++m) {
        BallChain& c = *list[m];
        int j = c.count - 1;
        bool sameBehind = false;
        for (;;) {
            const int k = BallChain::FindRunStart(c.balls, j, collisionDistance);
            KELO_ASSERT(k >= 0 && k <= j && j < c.count);
            Ball& front = c.balls[k];
            Fixed p = front.pullSpeed;
            Fixed a = front.pullAcceleration;
            if (sameBehind) {
                if (c.pullBackDelay < 1) {
                    a += gapClosingSpeeds[2];
                    p -= a;
                    if (p < -gapClosingSpeeds[0])
                        p = -gapClosingSpeeds[0];
                } else {
                    --c.pullBackDelay;
                }
            } else if (p.raw < 0) {
                if (c.pullRelaxDelay < 1) {
                    a = Fixed();
                    p += relaxRate;
                    if (p.raw >= 0) {
                        p = Fixed();
                        c.speed = Fixed();
                        bool pause = false;
                        c.SetTargetSpeed(ChainSpeed(c, pause), false);
                    }
                } else {
                    --c.pullRelaxDelay;
                }
            }
            front.pullSpeed = p;
            front.pullAcceleration = a;

            // The run never moves back past the first ball behind it.
            Fixed step = p;
            if (j < c.count - 1) {
                const Fixed room = c.balls[j + 1].distance - c.balls[j].distance;
                if (room > step)
                    step = room;
            }
            if (step.raw < 0)
                for (int i = k; i <= j; ++i)
                    c.balls[i].distance += step;

            j = k - 1;
            if (j < 0)
                break;
            sameBehind = SameColourAcrossGap(c, j);
            // The ball the returning run will touch counts as new, so a match there goes on
            // counting the combo.
            if (sameBehind && c.balls[k].isNew != -1)
                c.balls[k].isNew = 2;
        }
    }
}

void GameplayScreen::RemoveUnenteredBalls()
{
    if (!targetReached)
        return;
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    const Fixed one = Fixed::FromInt(1);
    for (int m = 0; m < n; ++m) {
        BallChain& c = *list[m];
        const int curve = c.curveIndex >= 0 && c.curveIndex < kBoardCurves ? c.curveIndex : 0;
        const Fixed s = startDistance[curve];
        for (int i = c.count - 1; i >= 0; --i) {
            const Ball& ball = c.balls[i];
            if (ball.distance >= s)
                continue;
            if (ball.colour >= 0 && ball.colour < kBallColours && colourCount[ball.colour] > 0)
                --colourCount[ball.colour];
            if (ball.growth < one)
                shotPending = 0;
            c.RemoveBall(i);
        }
        if (c.count == 0) {
            if (const Hole* hole = curves[curve].GetHole())
                endSweepStart[curve] = hole->furthestHead;
            --chainCount;
            KELO_ASSERT(chainCount >= 0);
        }
    }
}

void GameplayScreen::FindMatches()
{
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    const Fixed one = Fixed::FromInt(1);
    const Fixed nearest = collisionDistance - one, farthest = collisionDistance + one;
    for (int m = 0; m < n; ++m) {
        BallChain& c = *list[m];
        int runColour = -1, runLength = 0, blocked = -1;
        Fixed last;
        bool hasNew = false, found = false;
        for (int i = 0; i < c.count; ++i) {
            const Ball& ball = c.balls[i];
            const int colour = ball.colour;
            const Fixed gap = last - ball.distance;
            if (colour == runColour && gap >= nearest && gap <= farthest && ball.growth >= one && colour != blocked) {
                blocked = -1;
                last = ball.distance;
                c.FlagForRemoval(i);
                ++runLength;
                if (ball.isNew >= 1)
                    hasNew = true;
                continue;
            }
            if (colour == runColour) {
                // Same colour but apart, growing or behind a same-coloured gap: the run restarts
                // here until the gap has closed.
                blocked = colour;
                runLength = 0;
            } else if (runLength >= 3 && hasNew) {
                found = true;
                break;
            }
            c.ClearRemovalFlags();
            if (ball.growth < one) {
                runLength = 0;
                runColour = -1;
                last = Fixed();
                hasNew = false;
                continue;
            }
            c.FlagForRemoval(i);
            runLength = 1;
            runColour = colour;
            last = ball.distance;
            hasNew = ball.isNew >= 1;
        }
        if (!found && (runLength < 3 || !hasNew))
            c.ClearRemovalFlags();
        else
            GapAfterMatch(c);
    }
}

void GameplayScreen::GapAfterMatch(BallChain& c)
{
    int first = -1, last = -1;
    for (int i = 0; i < c.count; ++i) {
        if (!c.balls[i].matched)
            continue;
        if (first < 0)
            first = i;
        last = i;
    }
    if (first < 0)
        return;
    const int behind = last + 1 < c.count ? last + 1 : c.count - 1;
    const int k = BallChain::FindRunStart(c.balls, first, collisionDistance);
    const Fixed p = c.balls[k].pullSpeed;
    if (p.raw >= 0)
        return;
    // The balls behind the match take over the backward motion; when the two sides of the removed
    // run match, the run ahead slows to a quarter and waits before it pulls again.
    c.balls[behind].pullSpeed = p;
    if (first - 1 >= 0 && c.balls[behind].colour == c.balls[first - 1].colour) {
        c.balls[k].pullSpeed = Fixed::Raw(p.raw / 4);
        c.pullBackDelay = 8;
    }
}

void GameplayScreen::OnInsertedBallSettled()
{
    if (!matchedFlag)
        chain = 0;
    matchedFlag = 0;
    shotPending = 0;
}
