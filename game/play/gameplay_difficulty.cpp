#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/play/difficulty.h"
#include "game/play/gameplay_screen.h"

// The level's working values, worked out by the difficulty rules into the screen's record and
// copied into the fields that the speed, feeding, target, coin and power-up rules read.

void GameplayScreen::ApplyDifficulty()
{
    const Difficulty& d = difficulty;
    for (int c = 0; c < kBallColours; ++c)
        colourEnabled[c] = d.colourAllowed[c];
    repeatPercent = d.repeatChance;
    targetScore = d.scoreTarget;
    progressScale = d.progressFactor;
    parTime = d.parTime;
    for (int i = 0; i < kPowerUpKinds; ++i)
        powerUpInterval[i] = d.powerUpInterval[i];
    coinInterval = d.coinInterval;
    for (int c = 0; c < kBoardCurves; ++c) {
        rollInDistance[c] = d.rollInDistance[c];
        dangerPoint[c] = d.dangerDistance[c];
        dangerRampReciprocal[c] = d.rampFactor[c];
    }
    dangerRampLength = d.rampLength;
    rollInSpeed = d.rollInSpeed;
    normalSpeed = d.normalSpeed;
    endSpeed = d.endSpeed;
    rushSpeed = d.rushSpeed;
    reverseSpeed = d.reverseSpeed;
    for (int i = 0; i < 3; ++i)
        gapClosingSpeeds[i] = d.gapClosing[i];
    reverseDuration = d.reverseDuration;
    slowDuration = d.slowDuration;
}

bool GameplayScreen::SetupDifficulty()
{
    bool gauntlet = false;
    const ModeProgress* progress = CurrentProgress(gauntlet);
    if (!progress)
        return false;
    DifficultyInput in;
    in.layout = &application->GetLayoutTable();
    in.tables = &application->GetLevelTables();
    in.gauntlet = gauntlet;
    in.progress = progress;
    in.curveCount = curveCount;
    for (int c = 0; c < kBoardCurves; ++c)
        in.curveLength[c] = c < curveCount ? curves[c].Length() : Fixed();
    in.levelScore = levelScore;
    if (!::SetupDifficulty(difficulty, in))
        return false;
    ApplyDifficulty();
    return true;
}

LoadResult GameplayScreen::DifficultyFailure() const
{
    bool gauntlet = false;
    const ModeProgress* progress = CurrentProgress(gauntlet);
    String what;
    what.Format("the difficulty of %s level %d", gauntlet ? "gauntlet" : "adventure", progress ? progress->stage : 0);
    return LoadResult::Unmade(what.CStr(), "no settings for it in the level tables");
}

void GameplayScreen::ComputeRollInSpeed(Fixed speed)
{
    ::ComputeRollInSpeed(difficulty, speed);
    ApplyDifficulty();
}

void GameplayScreen::ScaleSpeeds()
{
    ::ScaleSpeeds(difficulty);
    ApplyDifficulty();
}

void GameplayScreen::ScaleSpeedsForTwoCurves()
{
    ::ScaleSpeedsForTwoCurves(difficulty, curveCount);
    ApplyDifficulty();
}

bool GameplayScreen::IsSurvival() const
{
    bool gauntlet = false;
    const ModeProgress* progress = CurrentProgress(gauntlet);
    return gauntlet && progress && progress->gauntletKind == 0;
}
