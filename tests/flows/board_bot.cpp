#include "board_bot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/input.h"
#include "engine/core/widget.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/play/aim_walk.h"
#include "game/play/ball_sprite.h"
#include "game/play/frog.h"
#include "game/play/gameplay_screen.h"
#include "platform/keys.h"

// The bots plan a shot the way the board will play it: the same mouth, the same steps of the same
// length, the same first ball touched (chains in slot order, balls from the head), the same side
// of it, with every ball moved on by the frames the shot takes to get there. Only the speeds are
// guessed: the run at the tail rolls at the chain's speed, a run pulling back keeps its pull, the
// others stand.

namespace {

constexpr int kStylusDown = 1, kStylusUp = 2, kStylusMove = 3;
constexpr int kMaxShotSteps = 4096;
constexpr double kPi = 3.14159265358979323846;
// The keys turn the frog a degree a press: short turns only, and not for ever.
constexpr int kMostKeyTurn = 10;
constexpr int kMostKeyFrames = 40;

Fixed Squared(Fixed dx, Fixed dy)
{
    return dx * dx + dy * dy;
}

Fixed NormalAngle(Fixed angle)
{
    const Fixed turn = Fixed::FromInt(360);
    while (angle.raw < 0)
        angle += turn;
    while (angle >= turn)
        angle -= turn;
    return angle;
}

// Queries on the board's widgets are reads; the widget interface only lacks the const.
GameplayScreen& Mutable(const GameplayScreen& board)
{
    return const_cast<GameplayScreen&>(board);
}

FixedVec2 FrogCentre(const GameplayScreen& board)
{
    const FixedRect& box = board.frog->Bounds();
    return {box.CenterX(), box.CenterY()};
}

// Whether two neighbours of a chain touch and may make a run (both grown into place).
bool Touching(const BallChain& c, int ahead, int behind, Fixed spacing)
{
    const Fixed one = Fixed::FromInt(1);
    const Ball& a = c.balls[ahead];
    const Ball& b = c.balls[behind];
    return a.distance - b.distance <= spacing + one && a.growth >= one && b.growth >= one;
}

// Balls of the colour in a touching row from `from` on, going by `dir` (-1 towards the head).
int RowOf(const BallChain& c, int from, int dir, int colour, Fixed spacing)
{
    int n = 0;
    for (int i = from; i >= 0 && i < c.count; i += dir) {
        if (c.balls[i].colour != colour || c.balls[i].matched)
            break;
        if (i != from && !Touching(c, dir < 0 ? i : i - 1, dir < 0 ? i + 1 : i, spacing))
            break;
        ++n;
    }
    return n;
}

// The run of the colour a ball put in at `index` stands in, against the ball `hit` it touched (the
// chain as it is now): the other neighbour joins only when the two touched already.
int RunWithInsert(const BallChain& c, int index, int hit, int colour, Fixed spacing)
{
    const int ahead = index - 1, behind = index;
    const bool closed = ahead >= 0 && behind < c.count && Touching(c, ahead, behind, spacing);
    int n = 1;
    if (ahead >= 0 && (ahead == hit || closed) && c.balls[ahead].colour == colour)
        n += RowOf(c, ahead, -1, colour, spacing);
    if (behind < c.count && (behind == hit || closed) && c.balls[behind].colour == colour)
        n += RowOf(c, behind, 1, colour, spacing);
    return n;
}

// The frog's angle (degrees) that points at the point, as the board's stylus aim takes it.
Fixed AngleTowards(const GameplayScreen& board, Fixed x, Fixed y)
{
    const FixedVec2 c = FrogCentre(board);
    return NormalAngle(AngleBetweenPoints(c.x, c.y, x, y) - Fixed::FromInt(90));
}

Fixed AngleGap(Fixed a, Fixed b)
{
    Fixed d = NormalAngle(a - b);
    if (d > Fixed::FromInt(180))
        d = d - Fixed::FromInt(360);
    return d;
}

// A stylus point the board takes as aim: inside the screen, off the frog, off every button.
bool FreeForAim(const GameplayScreen& board, int x, int y)
{
    const Surface* display = board.application->GetScreenSurface();
    if (!display || x < 1 || y < 1 || x >= display->GetWidth() - 1 || y >= display->GetHeight() - 1)
        return false;
    // The corner close button takes the stylus before the board does: a release there quits.
    if (board.application->IsOnExitButton(x, y))
        return false;
    const FixedVec2 c = FrogCentre(board);
    const Fixed dx = c.x - Fixed::FromInt(x), dy = c.y - Fixed::FromInt(y);
    const int limit = board.application->GetLayoutTable().ints[kLayoutFrogTouch] + 4;
    if (Fixed::Abs(dx) <= Fixed::FromInt(limit) && Fixed::Abs(dy) <= Fixed::FromInt(limit))
        return false;
    // The application's corner button quits the game: no player aims there.
    if (board.application->IsOnExitButton(x, y))
        return false;
    GameplayScreen& screen = Mutable(board);
    for (int i = 0; i < screen.GetChildCount(); ++i) {
        Widget* child = screen.GetChild(i);
        if (child && child->IsVisible() && child->HitTest(x, y))
            return false;
    }
    return true;
}

// The virtual key that reaches the game as `gameArrow` with the screen turned as it is.
unsigned ArrowKey(unsigned gameArrow)
{
    for (unsigned vk = VK_LEFT; vk <= VK_DOWN; ++vk)
        if (static_cast<unsigned>(RotateArrowKey(static_cast<int>(vk))) == gameArrow)
            return vk;
    return gameArrow;
}

struct Candidate {
    int m = 0, i = 0;
    Fixed left;  // track left to the hole
};

}  // namespace

// The board seen ahead of time for one decision: every ball's speed along its track.
class BoardForecast {
public:
    explicit BoardForecast(const GameplayScreen& board) : board_(board)
    {
        app_ = board.application;
        trig_ = app_->GetRenderer();
        const Surface* display = app_->GetScreenSurface();
        width_ = Fixed::FromInt(display ? display->GetWidth() : 0);
        height_ = Fixed::FromInt(display ? display->GetHeight() : 0);
        moves_ = board.accuracyTimer > 0 ? 5 : 2;
        for (BallChain* c : board.chains) {
            if (count_ >= board.chainCount)
                break;
            if (c && c->count > 0)
                chains_[count_++] = c;
        }
        const Fixed spacing = board.collisionDistance + Fixed::FromInt(1);
        for (int m = 0; m < count_; ++m) {
            const BallChain& c = *chains_[m];
            std::vector<Fixed>& speeds = speeds_[m];
            speeds.assign(c.count, Fixed());
            // Runs from the tail forwards; the chain's own speed drives the tail's run (the
            // head's when it rolls back), a pulled run keeps its pull.
            for (int j = c.count - 1; j >= 0;) {
                const int k = BallChain::FindRunStart(c.balls, j, spacing);
                Fixed v;
                if (c.speed.raw >= 0 && j == c.count - 1)
                    v = c.speed;
                else if (c.speed.raw < 0 && k == 0)
                    v = c.speed;
                if (c.balls[k].pullSpeed.raw < 0)
                    v = v + c.balls[k].pullSpeed;
                for (int i = k; i <= j; ++i)
                    speeds[i] = v;
                j = k - 1;
            }
        }
        for (int i = 0; i < board.effects.Count(); ++i) {
            const GameObject* object = board.effects.Get(i);
            if (object && object->Type() == kObjectCoin && !object->IsDead())
                coins_.push_back(object->Bounds());
        }
    }

    bool Usable() const { return board_.frog && trig_ && board_.shotSpeed > 0; }
    int ChainCount() const { return count_; }
    const BallChain& Chain(int m) const { return *chains_[m]; }
    int Slot(int m) const
    {
        for (int s = 0; s < kMaxChains; ++s)
            if (board_.chains[s] == chains_[m])
                return s;
        return -1;
    }
    Fixed SpeedOf(int m, int i) const { return speeds_[m][i]; }
    // Where the ball will stand after `frames` frames; false in a tunnel or off the track.
    bool PositionOf(int m, int i, int frames, FixedVec2& at) const
    {
        const BallChain& c = *chains_[m];
        if (!c.path)
            return false;
        const Fixed d = c.balls[i].distance + Fixed::Raw(speeds_[m][i].raw * frames);
        const PathPoint* entry = c.path->TableEntry(d);
        if (!entry || (entry->flags & 1))
            return false;
        at = FixedVec2(entry->x, entry->y);
        return true;
    }
    // The balls a shot can touch after `frames` frames, in the order the board tries them; kept
    // once worked out, since every aim of a decision asks for the same frames.
    struct Spot {
        int m, i;
        FixedVec2 at;
    };
    const std::vector<Spot>& SpotsAt(int frames) const
    {
        frames = std::max(frames, 0);
        if (static_cast<size_t>(frames) >= known_.size()) {
            spots_.resize(frames + 1);
            known_.resize(frames + 1, false);
        }
        std::vector<Spot>& spots = spots_[frames];
        if (known_[frames])
            return spots;
        known_[frames] = true;
        for (int m = 0; m < count_; ++m) {
            if (chains_[m]->count >= kMaxChainBalls)
                continue;  // a full chain takes no shot
            for (int i = 0; i < chains_[m]->count; ++i) {
                FixedVec2 at;
                if (PositionOf(m, i, frames, at))
                    spots.push_back({m, i, at});
            }
        }
        return spots;
    }
    FixedVec2 MouthFor(Fixed angle) const
    {
        const FixedVec2 c = FrogCentre(board_);
        FixedVec2 mouth;
        RotateAround(*trig_, c.x, c.y, Fixed(), Fixed::FromInt(app_->GetLayoutTable().ints[kLayoutMouthDistance]),
                     angle, mouth.x, mouth.y, nullptr);
        return mouth;
    }
    // The shot's step along the angle, as the board's aim makes it.
    FixedVec2 StepFor(const FixedVec2& mouth, Fixed angle) const
    {
        Fixed x, y;
        RotateAround(*trig_, mouth.x, mouth.y, Fixed(), Fixed::FromInt(128), angle, x, y, nullptr);
        FixedVec2 v(x - mouth.x, y - mouth.y);
        v.Normalize();
        v.Scale(Fixed::FromInt(board_.shotSpeed));
        return v;
    }
    int Moves() const { return moves_; }

    ShotOutcome Predict(Fixed angle, int colour, int lag) const
    {
        ShotOutcome out;
        const FixedVec2 mouth = MouthFor(angle);
        const FixedVec2 v = StepFor(mouth, angle);
        if (v.x.raw == 0 && v.y.raw == 0)
            return out;
        const Fixed reach = board_.collisionDistanceSquared;
        const Fixed radius = board_.collisionDistance;
        int hitM = -1, hitI = -1, frames = 0;
        FixedVec2 at;
        const FixedVec2 start(mouth.x + v.x, mouth.y + v.y);
        const Fixed margin = Fixed::FromInt(10);
        WalkAimLine(start, v, width_ + margin, height_ + margin, kMaxShotSteps,
                    [&](const FixedVec2& p, int n) {
                        frames = lag + (n + moves_ - 1) / moves_;
                        const std::vector<Spot>& spots = SpotsAt(frames);
                        for (const Spot& spot : spots) {
                            if (Squared(spot.at.x - p.x, spot.at.y - p.y) < reach) {
                                hitM = spot.m;
                                hitI = spot.i;
                                at = p;
                                return true;
                            }
                        }
                        for (const FixedRect& r : coins_)
                            if (p.x + radius >= r.x && p.x - radius <= r.Right() && p.y + radius >= r.y &&
                                p.y - radius <= r.Bottom()) {
                                hitM = -2;
                                return true;
                            }
                        return false;
                    },
                    &out.steps);
        if (hitM < 0)
            return out;
        const BallChain& c = *chains_[hitM];
        const Fixed d = c.balls[hitI].distance + Fixed::Raw(speeds_[hitM][hitI].raw * frames);
        const FixedVec2 ahead = c.path->TablePoint(d + board_.collisionDistance, nullptr, nullptr);
        const FixedVec2 behind = c.path->TablePoint(d - board_.collisionDistance, nullptr, nullptr);
        const bool after = Squared(behind.x - at.x, behind.y - at.y) < Squared(ahead.x - at.x, ahead.y - at.y);
        out.chain = Slot(hitM);
        out.ball = hitI;
        out.insertAt = after ? hitI + 1 : hitI;
        out.run = RunWithInsert(c, out.insertAt, hitI, colour, board_.collisionDistance);
        return out;
    }

    // The frames a shot takes to reach the point from the mouth.
    int FramesTo(const FixedVec2& p, int lag) const
    {
        const FixedVec2 c = FrogCentre(board_);
        const double dx = (p.x - c.x).ToDouble(), dy = (p.y - c.y).ToDouble();
        const double steps = std::sqrt(dx * dx + dy * dy) / board_.shotSpeed;
        return lag + static_cast<int>(std::ceil(steps / moves_));
    }

private:
    const GameplayScreen& board_;
    GameApp* app_ = nullptr;
    const TrigTable* trig_ = nullptr;
    Fixed width_, height_;
    int moves_ = 2;
    BallChain* chains_[kMaxChains] = {};
    int count_ = 0;
    std::vector<Fixed> speeds_[kMaxChains];
    std::vector<FixedRect> coins_;
    mutable std::vector<std::vector<Spot>> spots_;
    mutable std::vector<bool> known_;
};


namespace {

// A stylus point in the screen, clear of the frog and the screen's buttons, that aims the frog
// as close to `angle` as whole pixels allow; false when there is none.
bool PointForAngle(const GameplayScreen& board, double angle, int& x, int& y)
{
    const Surface* display = board.application->GetScreenSurface();
    if (!display)
        return false;
    const FixedVec2 c = FrogCentre(board);
    const double cx = c.x.ToDouble(), cy = c.y.ToDouble();
    const double a = (angle + 90) * kPi / 180;
    const double dx = std::cos(a), dy = std::sin(a);
    const Fixed want = NormalAngle(Fixed::FromDouble(angle));
    const double far = display->GetWidth() + display->GetHeight();
    bool found = false;
    int bestError = 0;
    // The further the point, the finer whole pixels turn the frog.
    for (double r = far; r > 8; r -= 3) {
        const int px = static_cast<int>(std::lround(cx + dx * r));
        const int py = static_cast<int>(std::lround(cy + dy * r));
        if (!FreeForAim(board, px, py))
            continue;
        const int error = std::abs(AngleGap(AngleTowards(board, Fixed::FromInt(px), Fixed::FromInt(py)), want).raw);
        if (!found || error < bestError) {
            found = true;
            bestError = error;
            x = px;
            y = py;
        }
        if (bestError == 0)
            break;
    }
    return found;
}

// A stylus point aiming near `want` along which the shot touches no ball, whether it leaves on the
// next frame or the one after.
bool ClearAim(const BoardForecast& forecast, const GameplayScreen& board, int colour, double want, int& x, int& y)
{
    if (!PointForAngle(board, want, x, y))
        return false;
    const Fixed angle = AngleTowards(board, Fixed::FromInt(x), Fixed::FromInt(y));
    return forecast.Predict(angle, colour, 0).chain == -1 && forecast.Predict(angle, colour, 1).chain == -1;
}

}  // namespace

// What both bots share.

bool BoardBot::ReadyToShoot(const GameplayScreen& board)
{
    if (board.playState != kPlayPlaying || board.lifeLost || board.levelFinished || !board.frog ||
        !board.currentBall || board.shotCount > 0 || board.shotPending || board.shootRequest ||
        board.IsScreenFading())
        return false;
    return Mutable(board).FindModalChild() == nullptr;
}


void BoardBot::PressStylus(const GameplayScreen& board, BotHands& hands, int x, int y)
{
    // The press lands a little off the aim and the drag brings it towards it, as a hand does.
    int px = x + static_cast<int>(Next() % 17) - 8, py = y + static_cast<int>(Next() % 17) - 8;
    if (!FreeForAim(board, px, py)) {
        px = x;
        py = y;
    }
    hands.Stylus(kStylusDown, px, py);
    hands.Stylus(kStylusMove, (px + x) / 2, (py + y) / 2);
    pressed_ = true;
    pressX_ = px;
    pressY_ = py;
}

void BoardBot::ReleaseStylus(BotHands& hands, int x, int y)
{
    hands.Stylus(kStylusMove, x, y);
    hands.Stylus(kStylusUp, x, y);
    pressed_ = false;
    ++shots_;
    wait_ = 1;
}

void BoardBot::FireByStylus(const GameplayScreen& board, BotHands& hands, int x, int y)
{
    PressStylus(board, hands, x, y);
    ReleaseStylus(hands, x, y);
}

void BoardBot::SwapByStylus(const GameplayScreen& board, BotHands& hands)
{
    const FixedVec2 c = FrogCentre(board);
    hands.Stylus(kStylusDown, c.x.ToInt(), c.y.ToInt());
    hands.Stylus(kStylusUp, c.x.ToInt(), c.y.ToInt());
    ++swaps_;
    wait_ = 1;
}

void BoardBot::ReleaseKeys(BotHands& hands)
{
    if (keyHeld_) {
        hands.Key(static_cast<unsigned>(keyHeld_), false);
        keyHeld_ = 0;
    }
}

void BoardBot::LetGo(BotHands& hands)
{
    ReleaseKeys(hands);
    if (pressed_)
        ReleaseStylus(hands, pressX_, pressY_);
}

uint32_t BoardBot::Next()
{
    // xorshift32: the same seed plays the same game.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
}

// The winner.

bool WinnerBot::FindRun(const BoardForecast& forecast, const GameplayScreen& board, int colour, int run,
                        Plan& plan) const
{
    if (!forecast.Usable() || colour < 0)
        return false;
    const Fixed spacing = board.collisionDistance;
    std::vector<Candidate> candidates;
    for (int m = 0; m < forecast.ChainCount(); ++m) {
        const BallChain& c = forecast.Chain(m);
        for (int i = 0; i < c.count; ++i) {
            const Ball& b = c.balls[i];
            if (b.colour != colour || b.matched || b.tunnel || b.growth < Fixed::FromInt(1))
                continue;
            // A ball of a run one short of the aim; a pair is built where the chain has longest to go.
            const int own = RowOf(c, i, -1, colour, spacing) + RowOf(c, i, 1, colour, spacing) - 1;
            if (run >= 3 ? own < run - 1 : own != run - 1)
                continue;
            const int curve = c.curveIndex >= 0 && c.curveIndex < kBoardCurves ? c.curveIndex : 0;
            candidates.push_back({m, i, board.curveLength[curve] - b.distance});
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [run](const Candidate& a, const Candidate& b) {
        return run >= 3 ? a.left < b.left : a.left > b.left;
    });
    // A plan must hold whether the shot leaves on the next frame or the one after; failing that,
    // on the next frame only.
    for (int strict = 1; strict >= 0; --strict) {
        for (const Candidate& k : candidates) {
            const BallChain& c = forecast.Chain(k.m);
            for (double shift : {0.0, 0.3, -0.3, 0.6, -0.6}) {
                // Lead the ball: where it will be when a shot aimed at it gets there.
                FixedVec2 target;
                int frames = 1;
                bool seen = true;
                for (int pass = 0; pass < 3 && seen; ++pass) {
                    const Fixed d = c.balls[k.i].distance + Fixed::Raw(forecast.SpeedOf(k.m, k.i).raw * frames) +
                                    Fixed::FromDouble(shift * spacing.ToDouble());
                    const PathPoint* entry = c.path ? c.path->TableEntry(d) : nullptr;
                    seen = entry && !(entry->flags & 1);
                    if (seen) {
                        target = FixedVec2(entry->x, entry->y);
                        frames = forecast.FramesTo(target, 0);
                    }
                }
                if (!seen)
                    continue;
                const double want = AngleTowards(board, target.x, target.y).ToDouble();
                int x = 0, y = 0;
                if (!PointForAngle(board, want, x, y))
                    continue;
                const Fixed angle = AngleTowards(board, Fixed::FromInt(x), Fixed::FromInt(y));
                const ShotOutcome now = forecast.Predict(angle, colour, 0);
                if (now.run < run)
                    continue;
                if (strict && forecast.Predict(angle, colour, 1).run < run)
                    continue;
                plan.angle = angle.ToDouble();
                plan.x = x;
                plan.y = y;
                plan.outcome = now;
                return true;
            }
        }
    }
    return false;
}

bool WinnerBot::FindFiller(const BoardForecast& forecast, const GameplayScreen& board, int colour, Plan& plan) const
{
    if (FindRun(forecast, board, colour, 2, plan))
        return true;
    // Into nothing: the ball is lost, the chains gain none.
    for (int tries = 0; tries < 72; ++tries) {
        if (ClearAim(forecast, board, colour, tries * 5.0, plan.x, plan.y)) {
            plan.angle = AngleTowards(board, Fixed::FromInt(plan.x), Fixed::FromInt(plan.y)).ToDouble();
            plan.outcome = ShotOutcome();
            return true;
        }
    }
    return false;
}


bool WinnerBot::ActWithKeys(const GameplayScreen& board, BotHands& hands)
{
    BoardForecast forecast(board);
    const int colour = board.currentBall->GetColour();
    if (!forecast.Usable() || ++keyFrames_ > kMostKeyFrames)
        return false;
    // A press turns the frog one degree on the next frame: the nearest turn that matches wins,
    // counting the frames the turning takes.
    const Fixed now = board.frog->GetAngle();
    for (int k = 0; k <= kMostKeyTurn; ++k) {
        for (int sign : {1, -1}) {
            if (k == 0 && sign < 0)
                continue;
            const Fixed angle = NormalAngle(now + Fixed::FromInt(sign * k));
            if (forecast.Predict(angle, colour, k).run < 3 || forecast.Predict(angle, colour, k + 1).run < 3)
                continue;
            if (k == 0) {
                keyHeld_ = VK_RETURN;
                keyMode_ = false;
                ++keyShots_;
                ++shots_;
                wait_ = 1;
            } else {
                keyHeld_ = static_cast<int>(ArrowKey(sign > 0 ? VK_RIGHT : VK_LEFT));
            }
            hands.Key(static_cast<unsigned>(keyHeld_), true);
            return true;
        }
    }
    return false;
}

void WinnerBot::Act(const GameplayScreen& board, BotHands& hands)
{
    ReleaseKeys(hands);
    if (pressed_) {
        // The aim is taken again as the stylus lets go: the chains moved since the press.
        Plan plan;
        const BoardForecast forecast(board);
        const int colour = board.currentBall ? board.currentBall->GetColour() : -1;
        const bool found = colour >= 0 && (FindRun(forecast, board, colour, 3, plan) ||
                                           FindFiller(forecast, board, colour, plan));
        ReleaseStylus(hands, found ? plan.x : pressX_, found ? plan.y : pressY_);
        return;
    }
    if (wait_ > 0) {
        --wait_;
        return;
    }
    if (!ReadyToShoot(board)) {
        keyMode_ = false;
        return;
    }
    if (keyMode_) {
        if (ActWithKeys(board, hands))
            return;
        keyMode_ = false;
    }
    const int current = board.currentBall->GetColour();
    const int next = board.nextBall ? board.nextBall->GetColour() : -1;
    Plan plan;
    const BoardForecast forecast(board);
    if (FindRun(forecast, board, current, 3, plan)) {
        swappedForShot_ = false;
        // Now and then the keys turn the frog instead, when the turn is short.
        if (Next() % 4 == 0 && std::abs(AngleGap(Fixed::FromDouble(plan.angle), board.frog->GetAngle()).ToInt()) <
                                   kMostKeyTurn) {
            keyMode_ = true;
            keyFrames_ = 0;
            if (ActWithKeys(board, hands))
                return;
            keyMode_ = false;
        }
        PressStylus(board, hands, plan.x, plan.y);
        return;
    }
    if (next >= 0 && next != current && !swappedForShot_ && FindRun(forecast, board, next, 3, plan)) {
        if (Next() % 3 == 0) {
            keyHeld_ = static_cast<int>(ArrowKey(VK_UP));
            hands.Key(static_cast<unsigned>(keyHeld_), true);
            ++swaps_;
            wait_ = 1;
        } else {
            SwapByStylus(board, hands);
        }
        swappedForShot_ = true;
        return;
    }
    if (FindFiller(forecast, board, current, plan)) {
        PressStylus(board, hands, plan.x, plan.y);
        swappedForShot_ = false;
    }
}

// The loser.

void LoserBot::Act(const GameplayScreen& board, BotHands& hands)
{
    if (wait_ > 0) {
        --wait_;
        return;
    }
    if (!ReadyToShoot(board))
        return;
    BoardForecast forecast(board);
    if (!forecast.Usable())
        return;
    const int colour = board.currentBall->GetColour();
    for (int tries = 0; tries < 36; ++tries) {
        int x = 0, y = 0;
        if (ClearAim(forecast, board, colour, static_cast<double>(Next() % 360), x, y)) {
            FireByStylus(board, hands, x, y);
            break;
        }
    }
    wait_ = 15;
}
