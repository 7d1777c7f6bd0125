// Matches taken off the board, their points, the extra-life rule, the level target (and survival's
// next level on the same board), and the questions the level end asks of the effects.
#include <algorithm>

#include "game/app/game_app.h"
#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/play/gameplay_rules_end.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/play/track_sparkle.h"
#include "game/tables/progression.h"

namespace {

// By combo: 1 (or none), 2, 3, 4 and more.
constexpr int kChimeSounds[4] = {kChime1Sound, kChime2Sound, kChime3Sound, kChime4Sound};
constexpr int kPointsPerLife = 50000;
constexpr int kTailWaitFrames = 32;
constexpr int kTargetFlashFrames = 22;
constexpr int kQuietFramesNeeded = 15;

}  // namespace

void GameplayScreen::PlayRulesSound(int index, bool looped)
{
    SoundBank* sounds = application ? application->GetSoundBank() : nullptr;
    if (!sounds)
        return;
    if (looped)
        sounds->PlayLooped(index);
    else
        sounds->Play(index);
}

Fixed GameplayScreen::CurveHeadDistance(int curve) const
{
    const Hole* hole = curves[curve].GetHole();
    return hole ? hole->furthestHead : Fixed();
}

void GameplayScreen::CollectExploded(BallChain& target)
{
    if (target.count < 1)
        return;
    int removed = 0, gapBonusSum = 0, largestGapCount = 0;
    int matchX = 0, matchY = 0, matchColour = -1;
    bool carried[kPowerUpKinds] = {};
    Fixed bombX, bombY;
    const Fixed settled = Fixed::FromInt(1);

    for (int i = 0; i < target.count;) {
        Ball& ball = target.balls[i];
        if (!ball.matched) {
            // A bonus that was not cashed in by the time the ball settled is gone.
            if (ball.growth >= settled && ball.GetGapBonusPoints() != 0)
                ball.SetGapBonus(0, 0);
            ++i;
            continue;
        }
        gapBonusSum += ball.GetGapBonusPoints();
        largestGapCount = std::max(largestGapCount, static_cast<int>(ball.GetGapBonusCount()));
        ball.SetGapBonus(0, 0);
        if (++removed == 2) {
            matchX = ball.position.x.ToInt();
            matchY = ball.position.y.ToInt();
            matchColour = ball.colour;
        }
        if (ball.colour >= 0 && ball.colour < kBallColours && colourCount[ball.colour] > 0)
            --colourCount[ball.colour];
        SpawnBallExplosion(ball.position.x, ball.position.y, ball.sprite ? ball.sprite->GetColour() : ball.colour);
        if (ball.growth < settled)
            shotPending = 0;
        if (ball.sprite) {
            const int kind = ball.sprite->GetPowerUp();
            if (kind >= 0 && kind < kPowerUpKinds) {
                carried[kind] = true;
                if (kind == kPowerBomb) {
                    const FixedRect& r = ball.sprite->Bounds();
                    bombX = Fixed::FromInt((r.x + r.HalfWidth()).ToInt());
                    bombY = Fixed::FromInt((r.y + r.HalfHeight()).ToInt());
                }
            }
        }
        if (i == target.count - 1) {
            // The tail went: the chain stops and holds still for a while before moving on.
            target.speed = Fixed();
            target.SetTargetSpeed(Fixed(), true);
            target.speedDelay = kTailWaitFrames;
        }
        target.RemoveBall(i);
    }

    if (target.count < 1) {
        const int curve = target.curveIndex >= 0 && target.curveIndex < kBoardCurves ? target.curveIndex : 0;
        endSweepStart[curve] = CurveHeadDistance(curve);
        --chainCount;
        KELO_ASSERT(chainCount >= 0);
    }

    // Reverse and Slow Down never start together: Reverse wins.
    if (carried[kPowerReverse])
        TriggerPowerUp(kPowerReverse, bombX, bombY);
    else if (carried[kPowerSlow])
        TriggerPowerUp(kPowerSlow, bombX, bombY);
    if (carried[kPowerAccuracy])
        TriggerPowerUp(kPowerAccuracy, bombX, bombY);
    if (carried[kPowerBomb])
        TriggerPowerUp(kPowerBomb, bombX, bombY);

    if (removed < 1)
        return;
    if (removed > 1) {
        if (!bombCollecting) {
            ++combo;
            bestCombo = std::max(bestCombo, combo);
            if (combo == 1) {
                ++chain;
                bestChain = std::max(bestChain, chain);
            }
            if (combo == 2)
                ++combos;
        }
        matchedFlag = 1;
    }
    if (gapBonusSum > 0)
        ++gapShots;
    ScoreMatch(matchX, matchY, removed, matchColour, gapBonusSum, largestGapCount);
    CheckTargetReached();

    PlayRulesSound(combo < 3 ? kBallsDestroyedSound : kBallsDestroyedBigSound);
    const int chime = combo >= 4 ? 3 : combo == 3 ? 2 : combo == 2 ? 1 : 0;
    PlayRulesSound(kChimeSounds[chime]);
    if (combo == 1 && chain > 4)
        PlayRulesSound(kChainSound);
}

void GameplayScreen::ScoreMatch(int x, int y, int ballCount, int colour, int gapBonus, int gapCount)
{
    int points = ballCount * 10 + gapBonus;
    if (combo > 1)
        points += (combo - 1) * 100;
    if (chain > 4 && combo == 1)
        points += (chain - 5) * 10 + 100;
    AddScore(points);
    ShowScoreText(points, x, y, colour, combo, combo == 1 ? chain : 0, gapBonus, gapCount);
}

void GameplayScreen::AddScore(int points)
{
    bool gauntlet = false;
    ModeProgress* progress = CurrentProgress(gauntlet);
    if (IsSurvival() || !progress) {
        levelScore = SaturatedAdd(levelScore, points);
        return;
    }
    // One life per addition, however many multiples it crosses.
    const int64_t before = (int64_t(levelScore) + progress->score) / kPointsPerLife;
    levelScore = SaturatedAdd(levelScore, points);
    const int64_t after = (int64_t(levelScore) + progress->score) / kPointsPerLife;
    if (before != after) {
        ++progress->lives;
        PlayRulesSound(kExtraLifeSound);
    }
}

void GameplayScreen::AddCoinBonus(Fixed x, Fixed y, int points)
{
    AddScore(points);
    ShowCoinBonusText(points, x.ToInt(), y.ToInt());
}

void GameplayScreen::AddPlainBonus(int x, int y, int points)
{
    AddScore(points);
    ShowScoreText(points, x, y, -1, 0, 0, 0, 0);
}

void GameplayScreen::SpawnBallExplosion(Fixed x, Fixed y, int colour)
{
    AddExplosion(x, y, colour, 0);
}

void GameplayScreen::FlashBallSprites()
{
    for (int i = 0; i < ballSprites.Count(); ++i) {
        BallSprite* sprite = ballSprites.Get(i);
        if (sprite && !sprite->IsDead())
            sprite->Flash(kTargetFlashFrames);
    }
}

void GameplayScreen::CheckTargetReached()
{
    if (targetReached || levelScore < targetScore)
        return;
    const int curvesInPlay = std::clamp(curveCount, 0, static_cast<int>(kBoardCurves));
    if (!IsSurvival()) {
        targetReached = 1;
        FlashBallSprites();
        bool pastHalf = false;
        for (int c = 0; c < curvesInPlay; ++c)
            if (CurveHeadDistance(c) > Fixed::ShiftRight(curveLength[c], 1))
                pastHalf = true;
        if (pastHalf)
            TriggerPowerUp(kPowerReverse, Fixed(), Fixed());
        PlayRulesSound(kTargetSound);
        return;
    }

    // Survival: the next level starts on this board, paid for by how far each head still has to go.
    FlashBallSprites();
    bool reverse = false;
    int bonus = 0;
    for (int c = 0; c < curvesInPlay; ++c) {
        const Fixed length = curveLength[c];
        const Fixed head = CurveHeadDistance(c);
        const Fixed d = std::min(head, length);
        if (head <= length && d > Fixed::ShiftRight(length, 1))
            reverse = true;
        if (length.raw > 0)
            bonus += (Fixed::Divide(length - d, length) * Fixed::FromInt(100)).ToInt();
    }
    levelScore = SaturatedAdd(levelScore, bonus);
    gameplay_end::FoldLevelIntoProgress(*this, true);
    bool gauntlet = false;
    if (ModeProgress* progress = CurrentProgress(gauntlet)) {
        progress->stage = SaturatedAdd(progress->stage, 1);
        const int rank = Gauntlet::RankOfLevel(progress->stage);
        ProfileStore* profiles = application->GetProfiles();
        PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
        const int map = progress->gauntletMap;
        if (player && map >= 0 && map < kMapRankCount && player->mapRanks[map] < rank)
            player->mapRanks[map] = static_cast<int8_t>(rank);
    }
    SetupDifficulty();
    ShowTitleBanner();
    if (reverse)
        TriggerPowerUp(kPowerReverse, Fixed(), Fixed());
    PlayRulesSound(kTargetSound);
}

bool GameplayScreen::IsLevelCleared()
{
    if (lifeLost || !targetReached)
        return false;
    for (BallChain* c : chains)
        if (c && c->count > 0 && c->curveIndex >= 0 && c->curveIndex < kBoardCurves)
            return false;
    return true;
}

bool GameplayScreen::NoEffectsPending()
{
    for (int i = 0; i < effects.Count(); ++i) {
        const GameObject* object = effects.Get(i);
        const int type = object ? object->Type() : -1;
        if (type == kObjectStarEmitter || type == kObjectExplosion || type == kObjectCoin)
            return false;
    }
    return true;
}

void GameplayScreen::StartPreviewSweep()
{
    if (!trackSparkle || !(previewSweeps < 1 || curveCount == 2) || previewSweeps < 0 || previewSweeps >= kBoardCurves)
        return;
    trackSparkle->Start(previewSweeps, Fixed(), TrackSparkle::kPreview);
    PlayRulesSound(kTrailSound, true);
}

void GameplayScreen::StartEndSweep()
{
    if (!trackSparkle || !(endSweepCurve < 1 || curveCount == 2) || endSweepCurve < 0 || endSweepCurve >= kBoardCurves)
        return;
    trackSparkle->Start(endSweepCurve, endSweepStart[endSweepCurve], TrackSparkle::kSweep);
    PlayRulesSound(kEndPopSound, true);
}

void GameplayScreen::UpdateEndExplosions()
{
    bool anyAlive = false;
    for (int i = 0; i < effects.Count(); ++i) {
        GameObject* object = effects.Get(i);
        if (!object || object->Type() != kObjectExplosion || object->IsDead())
            continue;
        object->Update();
        if (!object->IsDead())
            anyAlive = true;
    }
    PurgeDeadObjects(effects);
    if (!anyAlive)
        ++quietFrames;
}

bool GameplayScreen::IsEndSweepDone()
{
    if (trackSparkle && (trackSparkle->IsActive(0) || trackSparkle->IsActive(1)))
        return false;
    return quietFrames > kQuietFramesNeeded;
}
