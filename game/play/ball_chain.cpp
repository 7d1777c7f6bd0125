#include "game/play/ball_chain.h"

#include "engine/graphics/surface_helpers.h"
#include "game/app/game_app.h"
#include "game/play/ball_sprite.h"
#include "game/play/board_screen.h"
#include "game/play/curve_path.h"

void Ball::Reset()
{
    distance = Fixed();
    position = previousPosition = velocity = insertStart = FixedVec2();
    radius = pullSpeed = pullAcceleration = Fixed();
    growth = Fixed::FromInt(1);
    matched = 0;
    isNew = 0;
    colour = 0;
    tunnel = 0;
    sprite = nullptr;
    for (GapCrossed& gap : gaps)
        gap = GapCrossed();
    gapCount = 0;
    for (int32_t& d : trackDistance)
        d = -1;
    gapBonusPoints = gapBonusCount = 0;
    serial = 0;
}

int32_t Ball::NewSerial()
{
    static int32_t last = 0;
    last = last == INT32_MAX ? 1 : last + 1;
    return last;
}

void Ball::SetTrackDistance(int curve, int d)
{
    if (curve >= 0 && curve < 3)
        trackDistance[curve] = d;
}

int Ball::GetTrackDistance(int curve) const
{
    return curve >= 0 && curve < 3 ? trackDistance[curve] : -1;
}

bool Ball::AddGapCrossed(int curve, int width, int key)
{
    for (int i = 0; i < gapCount; ++i)
        if (gaps[i].key == key)
            return false;
    if (gapCount < kMaxGapsCrossed)
        gaps[gapCount++] = {curve, width, key};
    return true;
}

int Ball::SmallestGapCrossed() const
{
    if (gapCount == 0)
        return 0;
    int smallest = gaps[0].width;
    for (int i = 1; i < gapCount; ++i)
        if (gaps[i].width < smallest)
            smallest = gaps[i].width;
    return smallest;
}

void Ball::SetGapBonus(int points, int count)
{
    gapBonusPoints = static_cast<int16_t>(points);
    gapBonusCount = static_cast<int16_t>(count);
}

BallChain::BallChain(GameApp* application_) : application(application_)
{
    const LayoutTable& layout = application->GetLayoutTable();
    ballRadius = layout.fixed[kLayoutBallRadius];
    growthStep = layout.fixed[kLayoutGrowthStep];
    lookAhead = layout.fixed[kLayoutLookAhead];
    ballDiameter = layout.fixed[kLayoutBallDiameter];
    Reset();
}

void BallChain::Reset()
{
    for (Ball& ball : balls)
        ball.Reset();
    count = 0;
    speed = targetSpeed = speedStep = Fixed();
    speedDelay = pullBackDelay = pullRelaxDelay = 0;
    pathLength = Fixed();
    entering = 1;
}

void BallChain::LayOut(int n, Fixed startDistance)
{
    count = n < kMaxChainBalls ? (n < 0 ? 0 : n) : kMaxChainBalls - 1;
    Fixed diameter = ballRadius + ballRadius;
    for (int i = 0; i < count; ++i) {
        Ball& ball = balls[i];
        ball.Reset();
        ball.radius = ballRadius;
        ball.distance = startDistance - Fixed::MultiplyInt(diameter, i);
        ball.isNew = 0;
        ball.serial = Ball::NewSerial();
    }
}

void BallChain::Update(BoardScreen* screen, bool grow)
{
    KELO_ASSERT(count >= 0 && count <= kMaxChainBalls);
    for (int i = 0; i < count; ++i) {
        Ball& ball = balls[i];
        Fixed d = ball.distance;
        const PathPoint* entry = path ? path->TableEntry(d) : nullptr;
        FixedVec2 point(Fixed::FromInt(-400), Fixed::FromInt(-400));
        int flags = 0, visibility = 255;
        if (entry) {
            point = FixedVec2(entry->x, entry->y);
            flags = entry->flags;
            visibility = entry->visibility;
        }
        ball.position = point;
        ball.tunnel = flags & 1;

        BallSprite* sprite = ball.sprite;
        if (sprite) {
            sprite->SetHidden(flags & 1);
            sprite->SetPathAndSegment(curveIndex, -1);
            sprite->SetVisibility(visibility);
            sprite->SetSelfDrawn(flags & 2);
            sprite->SetOffsetDrawn(flags & 4);
        }

        FixedVec2 drawAt = point;
        if (ball.growth < Fixed::FromInt(1)) {
            if (grow)
                ball.growth += growthStep;
            if (ball.growth >= Fixed::FromInt(1)) {
                ball.growth = Fixed::FromInt(1);
                if (screen)
                    screen->OnInsertedBallSettled();
            }
            drawAt.x = ball.insertStart.x + Fixed::Multiply(point.x - ball.insertStart.x, ball.growth);
            drawAt.y = ball.insertStart.y + Fixed::Multiply(point.y - ball.insertStart.y, ball.growth);
        }
        // A ball without a sprite is still placed; only its drawing is skipped.
        if (!sprite)
            continue;

        int rotation = sprite->GetRotation();
        if (path && d + lookAhead < path->Length()) {
            FixedVec2 ahead = path->TablePoint(d + lookAhead, nullptr, nullptr);
            int degrees = AngleDegrees((ahead.x - drawAt.x).ToInt(), (ahead.y - drawAt.y).ToInt());
            rotation = ((degrees - 90) % 360 + 360) % 360;
        }
        sprite->SetRoll(rotation, d);
        FixedRect bounds;
        sprite->GetBounds(bounds);
        bounds.x = drawAt.x - Fixed::FromInt(bounds.w.ToInt() / 2);
        bounds.y = drawAt.y - Fixed::FromInt(bounds.h.ToInt() / 2);
        sprite->SetBounds(bounds);
    }
}

void BallChain::SetTargetSpeed(Fixed target, bool holdGaps)
{
    targetSpeed = target;
    int32_t step = (target - speed).raw >> 4;
    if (step == 0)
        step = target > speed ? 1 : -1;
    speedStep = Fixed::Raw(step);
    speedDelay = speed.raw == 0 ? 8 : 0;
    if (holdGaps)
        speedDelay = pullBackDelay = 8;
}

void BallChain::StepSpeed()
{
    if (speedDelay >= 1) {
        --speedDelay;
        return;
    }
    if (speed == targetSpeed)
        return;
    Fixed next = speed + speedStep;
    bool rising = targetSpeed > speed;
    if ((rising && next >= targetSpeed) || (!rising && next <= targetSpeed)) {
        speed = targetSpeed;
        speedStep = Fixed();
    } else {
        speed = next;
    }
}

void BallChain::RemoveBall(int index)
{
    KELO_ASSERT(count >= 0 && count <= kMaxChainBalls);
    if (index < 0 || index >= count)
        return;
    if (balls[index].sprite)
        balls[index].sprite->Kill();
    for (int i = index; i + 1 < count; ++i)
        balls[i].Assign(balls[i + 1]);
    --count;
}

void BallChain::ClearRemovalFlags()
{
    for (int i = 0; i < count; ++i)
        balls[i].matched = 0;
}

bool BallChain::InsertAt(const Ball& ball, int index)
{
    if (count >= kMaxChainBalls || index < 0 || index > count)
        return false;
    Fixed d;
    if (index == 0)
        d = balls[0].distance + ballDiameter;
    else if (index < count)
        d = balls[index].distance;
    else
        d = balls[count - 1].distance;
    for (int i = count; i > index; --i)
        balls[i].Assign(balls[i - 1]);
    Ball& placed = balls[index];
    placed.Assign(ball);
    placed.distance = d;
    placed.growth = Fixed();
    placed.insertStart = ball.position;
    ++count;
    return true;
}

bool BallChain::InsertAfter(const Ball& ball, int index)
{
    if (index < 0 || index > count - 1)
        return false;
    Fixed d = balls[index].distance - ballDiameter;
    if (!InsertAt(ball, index + 1))
        return false;
    balls[index + 1].distance = d;
    return true;
}

int BallChain::FindRunStart(const Ball* balls, int i, Fixed spacing)
{
    for (int k = i; k >= 1; --k)
        if (balls[k - 1].distance - balls[k].distance > spacing)
            return k;
    return 0;
}

void DeleteBallChain(BallChain*& chain)
{
    delete chain;
    chain = nullptr;
}
