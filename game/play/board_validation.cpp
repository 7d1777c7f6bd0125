#include "game/play/board_validation.h"

#include <algorithm>

#include "game/play/gameplay_screen.h"

namespace {

const Fixed kMaxPull = Fixed::FromInt(256);

bool Broken(BoardFault* fault, const char* rule, int chain, int ball)
{
    if (fault)
        *fault = BoardFault{rule, chain, ball};
    return false;
}

bool IsFlag(uint8_t flag)
{
    return flag == 0 || flag == 1;
}

// The ball's own fields; the rules between balls are the chain's.
const char* BrokenBallRule(const Ball& ball)
{
    if (ball.colour < 0 || ball.colour >= kBallColours)
        return "colour outside 0..5";
    if (ball.growth < Fixed() || ball.growth > Fixed::FromInt(1))
        return "growth outside 0..1";
    if (!IsFlag(ball.matched) || !IsFlag(ball.tunnel))
        return "match or tunnel flag neither 0 nor 1";
    if (ball.isNew < -1 || ball.isNew > 2)
        return "new flag outside -1..2";
    if (ball.gapCount < 0 || ball.gapCount > kMaxGapsCrossed)
        return "gaps crossed outside 0..5";
    for (int g = 0; g < ball.gapCount; ++g) {
        if (ball.gaps[g].width <= 0)
            return "gap crossed without width";
        for (int h = 0; h < g; ++h)
            if (ball.gaps[h].key == ball.gaps[g].key)
                return "gap crossed twice";
    }
    // A run only ever rolls back to close a gap, and speeds up doing so.
    if (ball.pullSpeed > Fixed() || ball.pullAcceleration < Fixed())
        return "pull speed forward or pull acceleration negative";
    // Far past any closing speed a level sets, and far from where a step of it would wrap.
    if (ball.pullSpeed < -kMaxPull || ball.pullAcceleration > kMaxPull)
        return "pull past 256 px a frame";
    if (ball.serial == 0)
        return "ball without a serial";
    return nullptr;
}

bool ValidateChainIn(const BallChain& chain, int slot, BoardFault* fault)
{
    if (chain.count < 0 || chain.count > kMaxChainBalls)
        return Broken(fault, "count outside 0..200", slot, -1);
    if (chain.curveIndex < 0 || chain.curveIndex >= kBoardCurves)
        return Broken(fault, "curve index outside the board's curves", slot, -1);
    if (chain.speedDelay < 0 || chain.pullBackDelay < 0 || chain.pullRelaxDelay < 0)
        return Broken(fault, "negative delay", slot, -1);
    if (!IsFlag(chain.entering))
        return Broken(fault, "entering flag neither 0 nor 1", slot, -1);
    if (chain.speed != chain.targetSpeed) {
        const bool rising = chain.targetSpeed > chain.speed;
        if (rising ? chain.speedStep <= Fixed() : chain.speedStep >= Fixed())
            return Broken(fault, "speed ramps away from its target", slot, -1);
    }

    int32_t serials[kMaxChainBalls];
    for (int i = 0; i < chain.count; ++i) {
        const Ball& ball = chain.balls[i];
        if (const char* rule = BrokenBallRule(ball))
            return Broken(fault, rule, slot, i);
        // Head first: every ball stands no further along the track than the one before it.
        if (i > 0 && ball.distance > chain.balls[i - 1].distance)
            return Broken(fault, "distances out of order", slot, i);
        serials[i] = ball.serial;
    }
    std::sort(serials, serials + chain.count);
    if (std::adjacent_find(serials, serials + chain.count) != serials + chain.count)
        return Broken(fault, "two balls share a serial", slot, -1);
    return true;
}

}  // namespace

bool ValidateChain(const BallChain& chain, BoardFault* fault)
{
    return ValidateChainIn(chain, -1, fault);
}

bool ValidateBoard(const GameplayScreen& screen, BoardFault* fault)
{
    if (screen.playState < kPlayStart || screen.playState > kPlayLifeLost)
        return Broken(fault, "play state outside 0..6", -1, -1);
    if (screen.curveCount < 0 || screen.curveCount > kBoardCurves)
        return Broken(fault, "curve count outside 0..2", -1, -1);
    if (screen.shotCount < 0 || screen.shotCount > 1)
        return Broken(fault, "shot count outside 0..1", -1, -1);
    if (screen.shotCount == 1 && (screen.shot.colour < 0 || screen.shot.colour >= kBallColours))
        return Broken(fault, "flying shot of no colour", -1, -1);
    // The shot becomes a chain ball as it lands, with all its fields.
    if (screen.shotCount == 1)
        if (const char* rule = BrokenBallRule(screen.shot))
            return Broken(fault, rule, -1, -1);

    int holding = 0, growing = 0;
    int colours[kBallColours] = {};
    const Fixed settled = Fixed::FromInt(1);
    for (int slot = 0; slot < kMaxChains; ++slot) {
        const BallChain* chain = screen.chains[slot];
        if (!chain)
            continue;
        if (!ValidateChainIn(*chain, slot, fault))
            return false;
        if (chain->count == 0)
            continue;
        ++holding;
        if (chain->curveIndex >= screen.curveCount)
            return Broken(fault, "chain on a curve the level lacks", slot, -1);
        if (chain->path && chain->path != &screen.curves[chain->curveIndex])
            return Broken(fault, "chain rolls on another curve's track", slot, -1);
        for (int i = 0; i < chain->count; ++i) {
            const Ball& ball = chain->balls[i];
            ++colours[ball.colour];
            growing += ball.growth < settled ? 1 : 0;
            if (ball.sprite && ball.sprite->IsDead())
                return Broken(fault, "ball sprite killed", slot, i);
            if (ball.sprite && ball.sprite->GetColour() != ball.colour)
                return Broken(fault, "ball sprite of another colour", slot, i);
        }
    }
    if (screen.chainCount != holding)
        return Broken(fault, "chain count differs from the chains holding balls", -1, -1);
    for (int c = 0; c < kBallColours; ++c)
        if (screen.colourCount[c] != colours[c])
            return Broken(fault, "colour count differs from the balls", -1, -1);
    // One shot at a time: it flies, or grows into its chain, until it settles or misses.
    if (growing > 1)
        return Broken(fault, "more than one ball growing into place", -1, -1);
    if (growing == 1 && !screen.shotPending)
        return Broken(fault, "ball growing with no shot pending", -1, -1);
    if (growing == 1 && screen.shotCount == 1)
        return Broken(fault, "shot flying while a ball grows into place", -1, -1);
    if (screen.shotPending && screen.shotCount == 0 && growing == 0)
        return Broken(fault, "shot pending with none flying or growing", -1, -1);
    return true;
}
