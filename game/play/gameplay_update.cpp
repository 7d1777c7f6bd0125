#include <cstdio>

#include "engine/graphics/particle_manager.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/app/player_record.h"
#include "game/app/sound_bank.h"
#include "game/play/ball_sprite.h"
#include "game/play/board_validation.h"
#include "game/play/floating_text.h"
#include "game/play/frog.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/play/track_sparkle.h"

// One logic frame of the board: the intro with its banner and preview sweeps, then every step of
// play in a fixed order (shots before chains, chains before matches, the level-end tests last),
// and the small routines the frame uses.

namespace {

constexpr int kIntroSparkleFrame = 65;
constexpr int kIntroLastFrame = 131;
constexpr int kTitleFrames = 99;
constexpr int kSecondLineFrame = 67;
constexpr Fixed kTitleFade = Fixed::Raw(8 << 8);
constexpr Fixed kOpaque = Fixed::Raw(255 << 8);
constexpr Fixed kTurnRateStep = Fixed::Raw(128);
constexpr Fixed kTurnRateMost = Fixed::Raw(15 << 8);

void PlaySound(GameApp* app, int index, bool looped)
{
    SoundBank* sounds = app ? app->GetSoundBank() : nullptr;
    if (!sounds)
        return;
    if (looped)
        sounds->PlayLooped(index);
    else
        sounds->Play(index);
}

Fixed RaiseAlpha(Fixed alpha)
{
    return alpha + kTitleFade > kOpaque ? kOpaque : alpha + kTitleFade;
}

}  // namespace

void GameplayScreen::Update()
{
    UpdateBoard();
#if KELO_ASSERTS_ACTIVE
    // Every fuzzed record and every debug session meets the board's rules, not only the tests.
    BoardFault fault;
    if (!ValidateBoard(*this, &fault)) {
        char rule[160];
        snprintf(rule, sizeof rule, "board rule: %s (chain %d, ball %d)", fault.rule, fault.chain, fault.ball);
        KeloAssertFailed(rule, __FILE__, __LINE__);
    }
#endif
}

void GameplayScreen::UpdateBoard()
{
    UpdateChildren();
    // A dialog over the board freezes it, the frame counter and so every interval with it.
    if (FindModalChild()) {
        if (playState == kPlayStatistics && levelFinished)
            ReadAheadOfNextStage();
        return;
    }
    KELO_ASSERT(playState >= kPlayStart && playState <= kPlayLifeLost);
    ++frameCounter;
    if (playState == kPlayPlaying)
        ++levelTime;
    GameApp* app = application;
    OnFrameHook();
    if (playState == kPlayStart) {
        playState = kPlayIntro;
        ShowTitleBanner();
        PlaySound(app, kLevelStartSound, false);
        return;
    }
    if (playState == kPlayIntro) {
        UpdateIntro();
        return;
    }

    if (frogReloadTimer == 0) {
        ReloadFrog();
        if (frog)
            SetAim(frog->GetAngle());
        frogReloadTimer = -1;
    } else if (frogReloadTimer > 0) {
        --frogReloadTimer;
    }
    if (frog && !(keysHeld[0] && keysHeld[1])) {
        if (keysHeld[0])
            SetAim(frog->GetAngle() - keyTurnRate);
        else if (keysHeld[1])
            SetAim(frog->GetAngle() + keyTurnRate);
        keyTurnRate = keyTurnRate + kTurnRateStep > kTurnRateMost ? kTurnRateMost : keyTurnRate + kTurnRateStep;
    }

    if (shotPending)
        HoldLoadedBall();
    KeepPreviousShotPositions();
    const int moves = accuracyTimer > 0 ? 5 : 2;
    for (int i = 0; i < moves; ++i)
        UpdateShots();

    if (!lifeLost) {
        KeepSpacing();
        AdvanceChains();
        FeedChains();
        CloseGaps();
        FindMatches();
        RemoveUnenteredBalls();
        if (!shotPending && frogReloadTimer < 0 && !currentBall && !levelFinished) {
            ReloadFrog();
            PlaceFrogBalls();
        }
        for (int i = 0; i < kMaxChains; ++i) {
            if (!chains[i] || chains[i]->count < 1)
                continue;
            CollectExploded(*chains[i]);
            chains[i]->Update(this);
        }
        UpdatePowerUpTimers();
    } else {
        LoseLifeSequence();
    }

    UpdateBoardObjects();
    if (ParticleManager* particles = app->GetParticleManager())
        particles->UpdateAll();
    UpdateTitleBanner();
    if (trackSparkle)
        trackSparkle->Update();
    CheckHole();
    FeedTrackSparkle();
    UpdateCoins();
    UpdateNebula();

    if (UpdateLevelEnd())
        return;
    FinishFrame();
}

void GameplayScreen::UpdateIntro()
{
    ++introFrames;
    bool busy = UpdateTitleBanner();
    if (introFrames > kIntroSparkleFrame && trackSparkle) {
        if (!SparkleRunning() && (previewSweeps == 0 || (previewSweeps == 1 && curveCount == 2))) {
            StartPreviewSweep();
            ++previewSweeps;
        }
        trackSparkle->Update();
    }
    for (int c = 0; c < curveCount; ++c) {
        if (Hole* hole = curves[c].GetHole()) {
            hole->Update();
            busy = busy || hole->GetGlow().raw > 0;
        }
    }
    busy = busy || SparkleRunning();
    HudFrame();
    if (!busy && introFrames > kIntroLastFrame) {
        playState = kPlayPlaying;
        PlaySound(application, kRollingSound, true);
    }
    UpdateNebula();
}

// Every live ball sprite, the frog and its loaded ball, then the board's effects; coins move in
// their own step.
void GameplayScreen::UpdateBoardObjects()
{
    for (int i = 0; i < ballSprites.Count(); ++i) {
        GameObject* sprite = ballSprites.Get(i);
        if (sprite && !sprite->IsDead())
            sprite->Update();
    }
    if (frog)
        frog->Update();
    if (currentBall)
        currentBall->Update();
    for (int i = 0; i < effects.Count(); ++i) {
        GameObject* object = effects.Get(i);
        if (object && !object->IsDead() && object->Type() != kObjectCoin)
            object->Update();
    }
}

// The end of every frame but the statistics one: dead objects go, the frog's balls keep to
// colours on the board, the aim guide follows, a requested shot leaves and the display updates.
void GameplayScreen::FinishFrame()
{
    PurgeDeadBallSprites();
    PurgeDeadObjects(effects);
    if (!lifeLost && !levelFinished) {
        if (frogReloadTimer < 1)
            RecolourFrogBalls();
    } else {
        DeleteAndNull(currentBall);
    }
    PlaceFrogBalls();
    UpdateAimGuide();
    if (shootRequest) {
        ShootBall();
        shootRequest = 0;
    }
    SpawnPowerUps();
    for (FloatingText* text : floatingTexts)
        if (text && text->GetLife() > 0)
            text->Update();
    if (nextBall && !nextBall->IsDead())
        nextBall->Update();
    HudFrame();
}

void GameplayScreen::PurgeDeadBallSprites()
{
    for (int i = ballSprites.Count() - 1; i >= 0; --i) {
        BallSprite* sprite = ballSprites.Get(i);
        if (!sprite || sprite->IsDead())
            ballSprites.DeleteAt(i);
    }
}

bool GameplayScreen::UpdateLevelEnd()
{
    if (playState == kPlayPlaying && IsLevelCleared()) {
        levelFinished = 1;
        for (int c = 0; c < kBoardCurves; ++c) {
            if (trackSparkle)
                trackSparkle->SetRepeat(c, Fixed(), Fixed());
            if (Hole* hole = curves[c].GetHole())
                hole->ResetCoverTarget();
        }
        if (trackSparkle)
            trackSparkle->EndPreviews();
        // A plain addition: the time bonus never earns an extra life.
        timeBonus = TimeBonus(levelTime, parTime * 33);
        levelScore = SaturatedAdd(levelScore, timeBonus);
        RecordBestTime();
        playState = kPlayWon;
    }
    if (playState == kPlayWon && NoEffectsPending()) {
        endSweepCurve = 0;
        quietFrames = 0;
        StartEndSweep();
        playState = kPlayEndSweep;
    }
    if (playState == kPlayEndSweep) {
        UpdateEndExplosions();
        if (IsEndSweepDone()) {
            if (endSweepCurve == 0 && curveCount == 2) {
                endSweepCurve = 1;
                quietFrames = 0;
                StartEndSweep();
            } else {
                if (SoundBank* sounds = application->GetSoundBank())
                    sounds->Stop(kEndPopSound);
                if (NoEffectsPending()) {
                    playState = kPlayStatistics;
                    statisticsClosed = 0;
                }
            }
        }
    }
    if (playState != kPlayStatistics)
        return false;
    // The open dialog holds the board until it closes; its closing sets the flag.
    if (!statisticsClosed) {
        PlaySound(application, kStatisticsSound, false);
        ShowStatsDialog();
    } else {
        statisticsClosed = 0;
        LevelEnd();
    }
    return true;
}

bool GameplayScreen::SparkleRunning() const
{
    return trackSparkle && (trackSparkle->IsActive(0) || trackSparkle->IsActive(1));
}

void GameplayScreen::ShowTitleBanner()
{
    BuildLevelTitle();
    titleTimer = kTitleFrames;
    titleActive = 1;
}

bool GameplayScreen::UpdateTitleBanner()
{
    bool shows;
    if (titleTimer >= 1) {
        titleAlphas[0] = RaiseAlpha(titleAlphas[0]);
        if (titleTimer < kSecondLineFrame)
            titleAlphas[1] = RaiseAlpha(titleAlphas[1]);
        --titleTimer;
        shows = true;
    } else {
        shows = titleAlphas[0].raw > 0 || titleAlphas[1].raw > 0;
        for (Fixed& alpha : titleAlphas)
            if (alpha.raw > 0)
                alpha = alpha > kTitleFade ? alpha - kTitleFade : Fixed();
    }
    titleActive = shows ? 1 : 0;
    return shows;
}

void GameplayScreen::UpdateNebula()
{
    if (!nebula)
        return;
    nebulaScroll += application->GetLayoutTable().fixed[kLayoutNebulaScroll];
    if (nebulaScroll.raw >= 0)
        nebulaScroll -= Fixed::FromInt(nebula->GetHeight());
}

bool GameplayScreen::CheckFrogColours(int& current, int& next)
{
    bool kept = true;
    for (int* colour : {&current, &next}) {
        KELO_ASSERT(*colour < kBallColours);  // a frog ball's colour, or -1 for none
        if (*colour >= 0 && colourCount[*colour] < 1) {
            *colour = PickBoardColour();
            kept = false;
        }
    }
    return kept;
}

void GameplayScreen::RecolourFrogBalls()
{
    BallSprite** balls[2] = {&currentBall, &nextBall};
    int before[2], after[2];
    for (int i = 0; i < 2; ++i)
        before[i] = after[i] = *balls[i] ? (*balls[i])->GetColour() : -1;
    if (CheckFrogColours(after[0], after[1]))
        return;
    for (int i = 0; i < 2; ++i) {
        if (after[i] == before[i])
            continue;
        FixedRect rect;
        if (*balls[i])
            (*balls[i])->GetBounds(rect);
        DeleteAndNull(*balls[i]);
        if (after[i] < 0)
            continue;
        BallSprite* made = CreateBallSprite(after[i]);
        if (!made)
            return;
        made->SetBounds(rect);
        *balls[i] = made;
    }
}
