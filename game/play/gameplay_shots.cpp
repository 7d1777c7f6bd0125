#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/app/sound_bank.h"
#include "game/play/coin.h"
#include "game/play/frog.h"
#include "game/play/gameplay_screen.h"

// The flying shot and the frog's two balls: a shot flies straight from the mouth, notes the gaps
// it passes over on its way, and joins the first chain ball it touches on the nearer side.

namespace {

constexpr int kParked = -1001;  // where an inserted shot waits to be removed
constexpr int kScreenMargin = 10;

Fixed DistanceSquared(const FixedVec2& a, const FixedVec2& b)
{
    const Fixed dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

bool IsParked(const Ball& shot)
{
    return shot.position.x == Fixed::FromInt(kParked) && shot.position.y == Fixed::FromInt(kParked);
}

// Places the sprite so that its centre is the point (its size halved in whole pixels).
void CentreSprite(BallSprite* sprite, const FixedVec2& point)
{
    FixedRect bounds;
    sprite->GetBounds(bounds);
    bounds.x = point.x - Fixed::FromInt(bounds.w.ToInt() >> 1);
    bounds.y = point.y - Fixed::FromInt(bounds.h.ToInt() >> 1);
    sprite->SetBounds(bounds);
}

// A fresh frog ball faces straight up with its roll at the start.
void Unroll(BallSprite* sprite)
{
    sprite->SetRoll(0, Fixed());
    sprite->SetStartFrame(Fixed());
}

}  // namespace

void GameplayScreen::AimVector(FixedVec2& out)
{
    out = FixedVec2();
    const TrigTable* trig = application->GetRenderer();
    if (!frog || !trig)
        return;
    Fixed x, y;
    RotateAround(*trig, mouthPoint.x, mouthPoint.y, Fixed(), Fixed::FromInt(128), frog->GetAngle(), x, y, nullptr);
    out = FixedVec2(x - mouthPoint.x, y - mouthPoint.y);
    out.Normalize();
    out.Scale(Fixed::FromInt(shotSpeed));
}

void GameplayScreen::ShootBall()
{
    if (lifeLost || levelFinished || !currentBall || shotPending || shotCount >= 1)
        return;
    // The sprite flies in the effect list; without room there the ball stays in the mouth.
    if (!effects.Append(currentBall))
        return;
    holeCountdown = 10;
    shotPending = 1;
    FixedVec2 v;
    AimVector(v);
    shot.Reset();
    shot.position = FixedVec2(mouthPoint.x + v.x, mouthPoint.y + v.y);
    shot.previousPosition = shot.position;
    shot.velocity = v;
    shot.isNew = 1;
    shot.serial = Ball::NewSerial();
    if (frog)
        frog->StartRecoil();
    shot.sprite = currentBall;
    shot.colour = currentBall->GetColour();
    ++shotCount;
    combo = 0;
    ++shotsTaken;
    currentBall = nullptr;
    if (SoundBank* sounds = application->GetSoundBank())
        sounds->Play(kShotSound);
}

void GameplayScreen::UpdateShots()
{
    for (int i = 0; i < shotCount; ++i) {
        Ball* flying = GetShot(i);
        if (!flying)
            continue;
        Ball& s = *flying;
        s.position.x += s.velocity.x;
        s.position.y += s.velocity.y;
        if (s.sprite)
            CentreSprite(s.sprite, s.position);
        if (ShotHitsChain(s)) {
            s.sprite = nullptr;  // it belongs to the chain now
            s.position = FixedVec2(Fixed::FromInt(kParked), Fixed::FromInt(kParked));
        } else {
            RecordCrossings(s);
        }
    }
    const Surface* display = application->GetScreenSurface();
    const Fixed left = Fixed::FromInt(-kScreenMargin), top = left;
    const Fixed right = Fixed::FromInt((display ? display->GetWidth() : 0) + kScreenMargin);
    const Fixed bottom = Fixed::FromInt((display ? display->GetHeight() : 0) + kScreenMargin);
    for (int i = shotCount - 1; i >= 0; --i) {
        const Ball* flying = GetShot(i);
        if (!flying)
            continue;
        const FixedVec2& p = flying->position;
        if (p.x < left || p.x > right || p.y < top || p.y > bottom)
            RemoveShot(i);
    }
}

void GameplayScreen::KeepPreviousShotPositions()
{
    for (int i = 0; i < shotCount; ++i)
        if (Ball* s = GetShot(i))
            s->previousPosition = s->position;
}

void GameplayScreen::RemoveShot(int index)
{
    Ball* removed = GetShot(index);
    if (!removed || index >= shotCount)
        return;
    Ball& s = *removed;
    if (s.sprite)
        s.sprite->Kill();  // the effect list deletes it
    const bool missed = !IsParked(s);
    // One shot flies at a time, so nothing moves down; the record lets go of its sprite.
    s.sprite = nullptr;
    --shotCount;
    if (missed) {
        shotPending = 0;
        matchedFlag = 0;
    }
}

bool GameplayScreen::ShotHitsChain(Ball& s)
{
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    BallChain* hitChain = nullptr;
    int hit = -1;
    for (int m = 0; m < n && !hitChain; ++m) {
        BallChain& c = *list[m];
        // A full chain takes no shot: it flies on.
        if (c.count >= kMaxChainBalls)
            continue;
        for (int i = 0; i < c.count; ++i) {
            const Ball& ball = c.balls[i];
            if (!ball.tunnel && DistanceSquared(ball.position, s.position) < collisionDistanceSquared) {
                hitChain = &c;
                hit = i;
                break;
            }
        }
    }
    if (!hitChain)
        return false;

    int g = s.SmallestGapCrossed();
    const int gaps = s.GetGapsCrossed();
    if (g > 0) {
        g = g - 64 > 0 ? g - 64 : 0;
        const int base = IsSurvival() ? 250 : 500;
        int bonus = gapBonusScale > 0 ? base * (gapBonusScale - g) / gapBonusScale : base;
        bonus = bonus / 10 * 10;
        if (bonus < 10)
            bonus = 10;
        if (gaps > 1)
            bonus *= gaps;
        s.SetGapBonus(bonus, gaps);
    }

    // The nearer side: behind the hit ball when the shot is closer to the track behind it.
    BallChain& c = *hitChain;
    const Ball& b = c.balls[hit];
    bool inserted = false;
    if (c.path) {
        const FixedVec2 ahead = c.path->TablePoint(b.distance + collisionDistance, nullptr, nullptr);
        const FixedVec2 behind = c.path->TablePoint(b.distance - collisionDistance, nullptr, nullptr);
        if (DistanceSquared(behind, s.position) < DistanceSquared(ahead, s.position))
            inserted = c.InsertAfter(s, hit);
        else
            inserted = c.InsertAt(s, hit);
    } else {
        inserted = c.InsertAt(s, hit);
    }
    // The chain had room and the hit ball is in it, so the insert cannot be refused.
    KELO_ASSERT(inserted);
    if (!inserted)
        return false;

    // The sprite moves from the effect list to the ball sprites, which now own it.
    if (s.sprite && ballSprites.Append(s.sprite)) {
        for (int i = effects.Count() - 1; i >= 0; --i)
            if (effects.Get(i) == s.sprite) {
                effects.RemoveAt(i);
                break;
            }
    }
    if (SoundBank* sounds = application->GetSoundBank())
        sounds->Play(kHitSound);
    if (s.colour >= 0 && s.colour < kBallColours)
        ++colourCount[s.colour];
    return true;
}

void GameplayScreen::RecordCrossings(Ball& s)
{
    const Fixed r = application->GetLayoutTable().fixed[kLayoutBallRadius];
    const Fixed r2 = r * r;
    const int step = r.ToInt() > 0 ? r.ToInt() : 1;
    for (int c = 0; c < curveCount && c < kBoardCurves; ++c) {
        CurvePath& path = curves[c];
        const int over = s.GetTrackDistance(c);
        if (over >= 0) {
            // Once the shot has left the track, a later pass over it is found again.
            if (DistanceSquared(path.TablePoint(Fixed::FromInt(over), nullptr, nullptr), s.position) >= r2)
                s.SetTrackDistance(c, -1);
            continue;
        }
        const int length = path.Length().ToInt();
        int found = -1;
        for (int d = 0; d < length; d += step) {
            uint8_t tunnel = 0;
            const FixedVec2 p = path.TablePoint(Fixed::FromInt(d), &tunnel, nullptr);
            if (!tunnel && DistanceSquared(p, s.position) < r2) {
                found = d;
                break;
            }
        }
        if (found < 0)
            continue;
        s.SetTrackDistance(c, found);
        Ball* behind = nullptr;
        Ball* ahead = nullptr;
        FindBallsAroundDistance(c, Fixed::FromInt(found), behind, ahead);
        if (!behind || !ahead)
            continue;
        const int width = (ahead->distance - behind->distance).ToInt();
        if (width > 0)
            s.AddGapCrossed(c, width, behind->serial);
    }
}

void GameplayScreen::FindBallsAroundDistance(int curve, Fixed distance, Ball*& behind, Ball*& ahead)
{
    behind = ahead = nullptr;
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    for (int m = 0; m < n; ++m) {
        BallChain& c = *list[m];
        if (c.curveIndex != curve)
            continue;
        for (int i = 0; i < c.count; ++i) {
            if (c.balls[i].distance >= distance)
                continue;
            if (i > 0 && c.balls[i - 1].distance > distance) {
                behind = &c.balls[i];
                ahead = &c.balls[i - 1];
            }
            return;
        }
        return;
    }
}

Coin* GameplayScreen::CoinAtPoint(const FixedVec2& p)
{
    for (int i = effects.Count() - 1; i >= 0; --i) {
        GameObject* object = effects.Get(i);
        if (!object || object->Type() != kObjectCoin || object->IsDead())
            continue;
        const FixedRect& r = object->Bounds();
        if (p.x >= r.x && p.x <= r.Right() && p.y >= r.y && p.y <= r.Bottom())
            return static_cast<Coin*>(object);
    }
    return nullptr;
}

Ball* GameplayScreen::ChainBallNear(const FixedVec2& p)
{
    BallChain* list[kMaxChains];
    const int n = ChainsInPlay(list);
    for (int m = 0; m < n; ++m) {
        BallChain& c = *list[m];
        for (int i = 0; i < c.count; ++i) {
            Ball& ball = c.balls[i];
            if (!ball.matched && !ball.tunnel && DistanceSquared(ball.position, p) < collisionDistanceSquared)
                return &ball;
        }
    }
    return nullptr;
}

void GameplayScreen::PlaceFrogBalls()
{
    if (currentBall)
        CentreSprite(currentBall, mouthPoint);
    loadedBallPoint = mouthPoint;
    const int degrees = frog ? (frog->GetAngle().ToInt() % 360 + 360) % 360 : 0;
    if (currentBall)
        currentBall->SetRoll(degrees, Fixed());
    if (nextBall)
        nextBall->SetRoll(degrees, Fixed());
}

void GameplayScreen::RefreshFrogBalls()
{
    PlaceFrogBalls();
}

void GameplayScreen::HoldLoadedBall()
{
    if (shotPending > 0 && currentBall)
        CentreSprite(currentBall, loadedBallPoint);
}

void GameplayScreen::SwapBalls()
{
    if (!currentBall || !nextBall)
        return;
    BallSprite* was = currentBall;
    currentBall = nextBall;
    nextBall = was;
    PlaceFrogBalls();
}

bool GameplayScreen::ReloadFrog()
{
    const int colour = PickBoardColour();
    if (!currentBall) {
        if (nextBall) {
            currentBall = nextBall;
            nextBall = nullptr;
            currentBall->SetStartFrame(Fixed());
        } else {
            const int first = PickBoardColour();
            if (first >= 0) {
                currentBall = CreateBallSprite(first);
                if (!currentBall)
                    return false;
                Unroll(currentBall);
            }
        }
    }
    if (!nextBall && colour >= 0) {
        nextBall = CreateBallSprite(colour);
        if (!nextBall)
            return false;
        Unroll(nextBall);
    }
    return true;
}

void GameplayScreen::UpdateNextBall()
{
    if (nextBall && !nextBall->IsDead())
        nextBall->Update();
}

void GameplayScreen::SetLevelScore(int points)
{
    levelScore = points;
}
