#include "game/play/difficulty.h"

#include <cmath>

#include "game/app/player_record.h"
#include "game/tables/layout_table.h"
#include "game/tables/level_tables.h"
#include "game/tables/progression.h"

namespace {
// The decimal constants of the rules, as 24.8 rounded to the nearest 1/256.
constexpr Fixed kPoint7 = Fixed::Raw(179);
constexpr Fixed kPoint75 = Fixed::Raw(192);
constexpr Fixed kPoint8 = Fixed::Raw(205);
constexpr Fixed kPoint95 = Fixed::Raw(243);
constexpr Fixed kOnePoint2 = Fixed::Raw(307);
constexpr Fixed kPoint05 = Fixed::Raw(13);

void FloorAtOne(Fixed& v)
{
    if (v.raw == 0)
        v = Fixed::Raw(1);
}

// The speeds both scalings touch; the roll-in speed is left out of the product but not the floor.
void ScaleMovingSpeeds(Difficulty& d, Fixed factor)
{
    for (Fixed* v : {&d.rushSpeed, &d.reverseSpeed, &d.normalSpeed, &d.endSpeed, &d.gapClosing[0],
                     &d.gapClosing[1], &d.gapClosing[2]})
        *v = *v * factor;
    for (Fixed* v : {&d.rollInSpeed, &d.rushSpeed, &d.reverseSpeed, &d.normalSpeed, &d.endSpeed,
                     &d.gapClosing[0], &d.gapClosing[1], &d.gapClosing[2]})
        FloorAtOne(*v);
}

int ColoursInPlay(bool gauntlet, int number)
{
    int n = 4;
    if (gauntlet) {
        int rank = Gauntlet::RankOfLevel(number);
        n += (rank >= 1) + (rank >= 2);
    } else {
        int door = Adventure::DoorOfStage(number);
        n += (door >= 4) + (door >= 7);
    }
    return n;
}
}  // namespace

int CurrentLevelMap(bool gauntlet, const ModeProgress& progress)
{
    if (gauntlet)
        return progress.gauntletMap >= 0 && progress.gauntletMap < MapInfo::kCount ? progress.gauntletMap : -1;
    return AdventureStageMap(progress.stage);
}

bool SetupDifficulty(Difficulty& out, const DifficultyInput& in)
{
    if (!in.layout || !in.tables || !in.progress)
        return false;
    const ModeProgress& progress = *in.progress;
    const MapInfo* map = in.tables->maps.Find(CurrentLevelMap(in.gauntlet, progress));
    if (!map)
        return false;
    const LevelSettings* record = in.tables->SettingsFor(!in.gauntlet, progress.stage, map);
    if (!record)
        return false;

    Difficulty d;
    const auto& lf = in.layout->fixed;
    const Fixed s = lf[kLayoutDesignScale];
    d.rollInSpeed = lf[kLayoutRollInSpeed];
    d.normalSpeed = lf[kLayoutNormalSpeed];
    d.endSpeed = lf[kLayoutEndSpeed];
    d.rushSpeed = lf[kLayoutRushSpeed];
    d.reverseSpeed = lf[kLayoutReverseSpeed];
    for (int i = 0; i < 3; ++i)
        d.gapClosing[i] = lf[kLayoutGapClosing + i];

    const bool survival = in.gauntlet && progress.gauntletKind == 0;
    const int colours = ColoursInPlay(in.gauntlet, progress.stage);
    for (int c = 0; c < kBallColours; ++c)
        d.colourAllowed[c] = c < colours ? 1 : 0;
    d.repeatChance = record->repeatColourPercent;

    int points = survival ? 1250 : record->pointsNeeded;
    points = (Fixed::FromInt(points) * kPoint75).ToInt();
    d.scoreTarget = SaturatedAdd(in.levelScore, points);
    d.progressFactor = Fixed::FromInt(256) / Fixed::FromInt(points);

    d.parTime = record->parTime;
    if (d.parTime < 1) {
        Fixed t = Fixed::FromInt(35) * Fixed::FromInt(points) / Fixed::FromInt(1000);
        if (map->twoCurves)
            t = t * kPoint95;
        d.parTime = ((t.ToInt() + 4) / 5) * 5;
    }

    for (int i = 0; i < kPowerUpKinds; ++i) {
        d.powerUpEnabled[i] = 1;
        d.powerUpInterval[i] = record->powerUpInterval;
    }
    d.coinInterval = record->coinInterval;

    const Fixed k = in.curveCount >= 2 ? kOnePoint2 : Fixed::FromInt(1);
    const Fixed fill = Fixed::FromInt(record->fillPercent) / Fixed::FromInt(100);
    d.rampLength = Fixed::FromInt(record->dangerRampLength) * s * k;
    const int curves = in.curveCount < 0 ? 0 : in.curveCount > kBoardCurves ? kBoardCurves : in.curveCount;
    for (int c = 0; c < curves; ++c) {
        const Fixed length = in.curveLength[c];
        d.rollInDistance[c] = length * fill * kPoint8 * kPoint75;
        d.dangerDistance[c] = length - Fixed::FromInt(record->dangerDistance) * s * k;
        if (d.rollInDistance[c] > d.dangerDistance[c])
            d.rollInDistance[c] = d.dangerDistance[c];
        d.rampFactor[c] = Fixed::FromInt(1) / Fixed::Raw(d.rampLength.ToInt());
    }

    ComputeRollInSpeed(d, record->chainSpeed * s * Fixed::FromInt(3));
    d.endSpeed = d.normalSpeed / record->endSpeedDivisor;
    d.reverseDuration = record->reverseDuration;
    d.slowDuration = record->slowDuration;
    ScaleSpeeds(d);
    ScaleSpeedsForTwoCurves(d, in.curveCount);
    out = d;
    return true;
}

Fixed RollInSpeedFor(Fixed v, Fixed rollInDistance)
{
    // The positive root of x * x + b * x + c = 0.
    const Fixed b = v + Fixed::FromInt(20);
    const Fixed c = Fixed::FromInt(-20) * rollInDistance;
    const Fixed discriminant = b * b - Fixed::FromInt(4) * c;
    const double root = discriminant.raw > 0 ? std::sqrt(discriminant.ToDouble()) : 0.0;
    const Fixed x = Fixed::DivByInt(Fixed::FromDouble(root) - b, 2);
    return v + (x + Fixed::FromInt(18)) * kPoint05;
}

void ComputeRollInSpeed(Difficulty& d, Fixed normalSpeed)
{
    d.normalSpeed = normalSpeed;
    d.rollInSpeed = RollInSpeedFor(normalSpeed, d.rollInDistance[0]);
}

void ScaleSpeeds(Difficulty& d)
{
    ScaleMovingSpeeds(d, kPoint7);
}

void ScaleSpeedsForTwoCurves(Difficulty& d, int curveCount)
{
    if (curveCount >= 2)
        ScaleMovingSpeeds(d, kPoint75);
}
