// The four power-ups: when they come onto chain balls, what each does when its ball is matched
// away, their timers, and the proximity bomb's reach and pattern of delayed blasts.
#include <memory>
#include <new>

#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/app/sound_bank.h"
#include "game/play/explosion.h"
#include "game/play/gameplay_screen.h"

namespace {

constexpr int kAccuracyFrames = 660;
constexpr int kBombDelayRange = 8;

}  // namespace

void GameplayScreen::SpawnPowerUps()
{
    if (ballSprites.Count() < 1)
        return;
    const int now = frameCounter;
    for (int kind = 0; kind < kPowerUpKinds; ++kind) {
        const int interval = powerUpInterval[kind];
        if (interval <= 0)
            continue;
        // The draw comes before the wait test, so every frame takes one number per kind.
        if (GameApp::Random(interval) != 0)
            continue;
        if (!(interval < now - lastSpawnFrame[kind]))
            continue;
        AttachPowerUp(kind);
        lastSpawnFrame[kind] = now;
    }
}

void GameplayScreen::AttachPowerUp(int kind)
{
    if (ballSprites.Count() < 1)
        return;
    BallSprite* sprite = ballSprites.Get(GameApp::Random(ballSprites.Count()));
    if (sprite && sprite->GetPowerUp() == -1)
        sprite->SetPowerUp(kind);
}

void GameplayScreen::TriggerPowerUp(int kind, Fixed x, Fixed y)
{
    switch (kind) {
    case kPowerAccuracy:
        StartAccuracy();
        break;
    case kPowerReverse:
        StartReverse();
        break;
    case kPowerBomb:
        DetonateBomb(x, y);
        break;
    case kPowerSlow:
        StartSlowDown();
        break;
    default:
        break;
    }
    ++powerUpsUsed;
}

void GameplayScreen::StartAccuracy()
{
    accuracyTimer = kAccuracyFrames;
    PlayRulesSound(kAccuracySound);
}

void GameplayScreen::StartReverse()
{
    reverseTimer = reverseDuration;
    slowTimer = 0;
    PlayRulesSound(kReverseSound);
}

void GameplayScreen::StartSlowDown()
{
    slowTimer = slowDuration;
    reverseTimer = 0;
    PlayRulesSound(kSlowDownSound);
}

void GameplayScreen::UpdatePowerUpTimers()
{
    if (ChainsOnBoard()) {
        if (reverseTimer > 0)
            --reverseTimer;
        if (slowTimer > 0)
            --slowTimer;
    } else {
        reverseTimer = 0;
        slowTimer = 0;
    }
    if (accuracyTimer > 0)
        --accuracyTimer;
}

bool GameplayScreen::ChainsOnBoard()
{
    return ::ChainsOnBoard(chains, kMaxChains, startDistance);
}

bool GameplayScreen::FindBombTargets(Fixed x, Fixed y)
{
    bombTargets.Clear();
    const int r = application->GetLayoutTable().ints[kLayoutBombRadius];
    const Fixed radius = Fixed::FromInt(r);
    const Fixed left = x - radius, top = y - radius, right = x + radius, bottom = y + radius;
    const Fixed reachSquared = radius * radius;
    for (BallChain* c : chains) {
        if (!c || c->count < 1)
            continue;
        for (int i = 0; i < c->count; ++i) {
            Ball& ball = c->balls[i];
            const FixedVec2& p = ball.position;
            if (p.x < left || p.x >= right || p.y < top || p.y >= bottom)
                continue;
            const Fixed dx = p.x - x, dy = p.y - y;
            if (dx * dx + dy * dy < reachSquared)
                bombTargets.Append(&ball);
        }
    }
    return bombTargets.Count() > 0;
}

void GameplayScreen::DetonateBomb(Fixed x, Fixed y)
{
    if (!FindBombTargets(x, y))
        return;
    for (int i = 0; i < bombTargets.Count(); ++i)
        (*bombTargets.At(i))->matched = 1;
    // A bomb set off by this bomb's removal must not end the outer removal's no-combo state.
    const uint8_t collectingBefore = bombCollecting;
    for (BallChain* c : chains) {
        if (!c || c->count < 1)
            continue;
        const int chainBefore = chain;
        bombCollecting = 1;
        CollectExploded(*c);
        bombCollecting = collectingBefore;
        chain = chainBefore;
    }
    SpawnBombExplosions(x, y);
    PlayRulesSound(kBombSound);
}

void GameplayScreen::BuildBombPattern()
{
    bombOffsets.Clear();
    bombDelays.Clear();
    const int n = bombPatternSize;
    if (n < 1)
        return;
    const Fixed step = Fixed::DivByInt(Fixed::FromInt(360), n);
    const int ring = application->GetLayoutTable().ints[kLayoutBombRing];
    const TrigTable* trig = application->GetRenderer();
    Fixed angle;
    for (int i = 0; i < n; ++i) {
        const int r = GameApp::Random(ring);
        Fixed ox = Fixed::FromInt(r), oy;
        if (trig)
            RotateAround(*trig, Fixed(), Fixed(), Fixed::FromInt(r), Fixed(), angle, ox, oy, nullptr);
        bombOffsets.Append(ItemPair{ox.ToInt(), oy.ToInt()});
        bombDelays.Append(static_cast<uint32_t>(GameApp::Random(kBombDelayRange)));
        angle += step;
    }
}

void GameplayScreen::SpawnBombExplosions(Fixed x, Fixed y)
{
    const int n = bombPatternSize;
    if (bombOffsets.Count() < n || bombDelays.Count() < n)
        return;
    for (int i = 0; i < n; ++i) {
        const ItemPair& offset = *bombOffsets.At(i);
        SpawnDelayedExplosion(x + Fixed::FromInt(offset.first), y + Fixed::FromInt(offset.second),
                              static_cast<int>(*bombDelays.At(i)));
    }
}

void GameplayScreen::SpawnDelayedExplosion(Fixed x, Fixed y, int delay)
{
    AddExplosion(x, y, Explosion::kBomb, delay);
}

void GameplayScreen::AddExplosion(Fixed x, Fixed y, int colour, int delay)
{
    std::unique_ptr<Explosion> explosion(new (std::nothrow) Explosion(application));
    if (!explosion || !explosion->Init())
        return;
    explosion->SetColour(colour);
    explosion->SetDelay(delay);
    explosion->CentreOn(x, y);
    if (effects.Append(explosion.get()))
        explosion.release();
}
