#include "game/play/chain_speed.h"

#include "game/play/ball_chain.h"
#include "game/play/curve_path.h"

namespace {
bool OnScreen(const FixedVec2& p, int width, int height)
{
    return p.x.raw >= 0 && p.x < Fixed::FromInt(width) && p.y.raw >= 0 && p.y < Fixed::FromInt(height);
}

// Normal speed before the ramp, the end speed past the danger point, and a straight blend of the
// two over the ramp, by the share of the ramp the tail has covered.
Fixed RampSpeed(const Difficulty& d, int curve, Fixed tail, bool& atEnd)
{
    const Fixed danger = d.dangerDistance[curve];
    const Fixed rampStart = danger - d.rampLength;
    atEnd = false;
    if (tail < rampStart)
        return d.normalSpeed;
    if (tail < danger) {
        const Fixed t = Fixed::Raw(((tail - rampStart) * d.rampFactor[curve]).raw >> 8);
        return d.normalSpeed + t * (d.endSpeed - d.normalSpeed);
    }
    atEnd = true;
    return d.endSpeed;
}
}  // namespace

Fixed ChainSpeed(ChainSpeedState& state, BallChain& chain, bool& pause)
{
    pause = false;
    const Difficulty& d = *state.difficulty;
    if (chain.speedDelay >= 1)
        return chain.targetSpeed;
    if (state.lifeLost)
        return d.rushSpeed;
    if (!chain.entering && state.reverseTimer > 0)
        return -d.reverseSpeed;
    if (chain.count < 1 || !chain.path)
        return chain.targetSpeed;

    if (chain.pathLength.raw == 0)
        chain.pathLength = chain.path->Length();
    const int k = BallChain::FindRunStart(chain.balls, chain.count - 1, state.collisionDistance);
    if (chain.balls[k].pullSpeed.raw < 0) {
        pause = true;
        return Fixed();
    }
    const Fixed tail = chain.balls[k].distance;
    if (chain.entering && OnScreen(chain.path->PointAt(tail, nullptr, nullptr), state.screenWidth, state.screenHeight)) {
        ++state.chainsEntered;
        chain.entering = 0;
    }
    if (!state.chainsOnBoard)
        return d.normalSpeed * Fixed::FromInt(4);

    const int curve = chain.curveIndex < 0 ? 0 : chain.curveIndex >= kBoardCurves ? kBoardCurves - 1 : chain.curveIndex;
    Fixed speed;
    bool atEnd = false;
    if (tail < d.rollInDistance[curve] && state.rollInActive[curve]) {
        speed = d.rollInSpeed;
    } else {
        if (state.rollInActive[curve]) {
            state.rollInActive[curve] = 0;
            state.rollInEnded = true;
        }
        speed = RampSpeed(d, curve, tail, atEnd);
    }
    if (state.slowTimer > 0) {
        speed = Fixed::ShiftRight(speed, 2);
        if (atEnd && speed.raw == 0)
            speed = Fixed::Raw(1);
    }
    return speed;
}

bool ChainsOnBoard(const BallChain* const* chains, int count, const Fixed* startDistances)
{
    for (int i = 0; i < count; ++i) {
        const BallChain* chain = chains[i];
        if (!chain || chain->count < 1)
            continue;
        const int curve = chain->curveIndex < 0 || chain->curveIndex >= kBoardCurves ? 0 : chain->curveIndex;
        if (chain->balls[0].distance > startDistances[curve])
            return true;
    }
    return false;
}

Fixed CurveStartDistance(CurvePath& path, int width, int height, Fixed back)
{
    const Fixed length = path.Length();
    for (int d = 0; Fixed::FromInt(d) < length; ++d) {
        if (OnScreen(path.PointAt(Fixed::FromInt(d), nullptr, nullptr), width, height)) {
            const Fixed start = Fixed::FromInt(d) - back;
            return start.raw > 0 ? start : Fixed();
        }
    }
    return Fixed();
}
