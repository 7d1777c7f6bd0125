#include "game/tables/level_settings.h"

#include <iterator>
#include <span>

#include "game/tables/level_tables.h"

namespace {

struct AdventureRow {
    const char* name;
    int32_t parTime;
    int32_t fillPercent;
    double chainSpeed;
    double endSpeedDivisor;
    int32_t pointsNeeded;
};

// By stage: "lvl" followed by the door and the stage's place in it.
constexpr AdventureRow kAdventure[] = {
    {"lvl11", 25, 35, 0.5, 4, 1000},     {"lvl12", 35, 35, 0.5, 4, 1000},
    {"lvl13", 35, 40, 0.6, 4, 1500},     {"lvl14", 60, 40, 0.6, 4, 1500},
    {"lvl15", 135, 35, 0.6, 4, 3500},    {"lvl21", 60, 50, 0.75, 4, 2500},
    {"lvl22", 75, 50, 0.75, 4, 2500},    {"lvl23", 100, 55, 0.8, 4, 3000},
    {"lvl24", 75, 55, 0.8, 4, 3000},     {"lvl25", 80, 30, 0.55, 4, 3000},
    {"lvl31", 70, 65, 0.85, 4, 3500},    {"lvl32", 70, 65, 0.9, 4, 3500},
    {"lvl33", 80, 70, 0.9, 4, 4000},     {"lvl34", 90, 60, 0.9, 4, 4500},
    {"lvl35", 130, 45, 0.6, 4, 4500},    {"lvl41", 70, 45, 0.7, 4, 2000},
    {"lvl42", 70, 45, 0.7, 4, 2000},     {"lvl43", 70, 50, 0.75, 3.5, 2500},
    {"lvl44", 95, 55, 0.75, 4, 3000},    {"lvl45", 110, 35, 0.55, 3.5, 3500},
    {"lvl46", 90, 55, 0.7, 3.5, 3500},   {"lvl51", 130, 55, 0.75, 4, 3500},
    {"lvl52", 120, 60, 0.8, 4, 3500},    {"lvl53", 110, 60, 0.8, 3.5, 4000},
    {"lvl54", 150, 65, 0.85, 4, 4000},   {"lvl55", 130, 40, 0.65, 4, 4000},
    {"lvl56", 130, 65, 0.85, 4, 4000},   {"lvl61", 140, 70, 0.9, 4, 4500},
    {"lvl62", 160, 65, 0.95, 4, 4500},   {"lvl63", 140, 75, 0.9, 3.5, 4500},
    {"lvl64", 150, 55, 0.9, 3.5, 4500},  {"lvl65", 180, 45, 0.65, 4.2, 4000},
    {"lvl66", 180, 65, 0.9, 3.5, 4500},  {"lvl71", 100, 55, 0.7, 3.5, 2500},
    {"lvl72", 90, 55, 0.7, 4, 2500},     {"lvl73", 115, 55, 0.75, 3.5, 3000},
    {"lvl74", 125, 50, 0.75, 3.5, 3500}, {"lvl75", 155, 40, 0.6, 4, 3500},
    {"lvl76", 160, 60, 0.75, 3.5, 3500}, {"lvl77", 150, 60, 0.85, 4, 3500},
    {"lvl81", 135, 60, 0.8, 4, 3500},    {"lvl82", 135, 60, 0.85, 4, 4000},
    {"lvl83", 155, 65, 0.85, 3.5, 4000}, {"lvl84", 155, 70, 0.85, 3.5, 4500},
    {"lvl85", 130, 45, 0.6, 4, 4000},    {"lvl86", 170, 65, 0.9, 4, 4500},
    {"lvl87", 170, 70, 0.9, 4, 4500},    {"lvl91", 170, 70, 0.9, 3.5, 4500},
    {"lvl92", 155, 70, 0.9, 3.5, 4500},  {"lvl93", 155, 70, 0.95, 3.5, 4500},
    {"lvl94", 180, 65, 0.9, 3, 4500},    {"lvl95", 180, 50, 0.7, 4, 4500},
    {"lvl96", 170, 65, 0.9, 3, 4500},    {"lvl97", 165, 65, 0.9, 2.5, 4500},
    {"lvl101", 160, 60, 0.75, 3, 5000},  {"lvl102", 155, 60, 0.75, 3.5, 5000},
    {"lvl103", 170, 65, 0.8, 3.5, 5000}, {"lvl104", 160, 65, 0.8, 3.5, 5000},
    {"lvl105", 195, 55, 0.6, 3.5, 5000}, {"lvl106", 200, 70, 0.85, 3.5, 5000},
    {"lvl107", 195, 75, 0.9, 4, 5000},   {"lvl111", 170, 70, 0.9, 4, 5000},
    {"lvl112", 165, 70, 0.9, 4, 5000},   {"lvl113", 170, 75, 0.95, 3.5, 5000},
    {"lvl114", 145, 75, 0.95, 4, 5000},  {"lvl115", 180, 45, 0.65, 3.5, 5000},
    {"lvl116", 200, 80, 0.95, 4, 5000},  {"lvl117", 195, 80, 0.95, 4, 5000},
    {"lvl121", 190, 75, 1, 3, 5000},     {"lvl122", 180, 70, 1, 3, 5000},
    {"lvl123", 180, 70, 1, 3, 5000},     {"lvl124", 180, 70, 1, 3, 5000},
    {"lvl125", 180, 45, 0.78, 3.5, 5000}, {"lvl126", 180, 65, 0.95, 2, 5000},
    {"lvl127", 165, 65, 0.95, 2, 5000},  {"lvl131", 240, 50, 0.85, 3, 10000},
};
static_assert(std::size(kAdventure) == kAdventureStageCount);

// The first two stages give more repeated colours; "lvl35" shorter Reverse and Slow Down.
constexpr int kEasyColourRecords[] = {0, 1};
constexpr int kShortPowerUpRecord = 14;

// The gauntlet rows: par time is always derived from the points.
struct GauntletRow {
    const char* name;
    int32_t fillPercent;
    double chainSpeed;
    int32_t repeatColourPercent;
    double endSpeedDivisor;
    int32_t pointsNeeded;
    int32_t powerUpInterval;
};

constexpr GauntletRow kGauntlet[] = {
    {"level1", 35, 0.5, 50, 4, 1000, 990},    {"level2", 40, 0.6, 40, 4, 1500, 990},
    {"level3", 45, 0.7, 40, 4, 2000, 990},    {"level4", 50, 0.75, 40, 4, 2500, 990},
    {"level5", 55, 0.8, 40, 4, 3000, 990},    {"level6", 60, 0.85, 40, 4, 3500, 990},
    {"level7", 65, 0.9, 40, 4, 4000, 990},    {"level8", 70, 0.95, 40, 4, 4500, 990},
    {"level9", 75, 0.95, 40, 3.5, 5000, 990}, {"level10", 75, 1, 40, 3, 5000, 990},
    {"level11", 70, 1, 40, 2.5, 5000, 990},   {"level12", 65, 0.95, 40, 2, 5000, 990},
    {"level13", 60, 0.8, 40, 1.5, 5000, 990}, {"level14", 55, 0.75, 40, 1, 5000, 990},
    {"level15", 50, 0.8, 40, 1, 5000, 990},   {"level16", 40, 0.85, 40, 1, 5000, 825},
    {"level17", 35, 0.95, 40, 1, 5000, 759},  {"level18", 35, 1, 40, 1, 5000, 693},
    {"level19", 40, 1, 40, 1, 5000, 627},     {"level20", 45, 1.05, 40, 1, 5000, 561},
    {"level21", 50, 1.05, 40, 1, 5000, 495},  {"level22", 55, 1.1, 40, 1, 5000, 495},
    {"level23", 60, 1.15, 40, 1, 5000, 462},  {"level24", 65, 1.2, 40, 1, 5000, 429},
    {"level25", 70, 1.25, 40, 1, 5000, 396},  {"level26", 75, 1.3, 40, 1, 5000, 363},
    {"level27", 80, 1.35, 40, 1, 5000, 330},  {"level28", 80, 1.4, 40, 1, 5000, 330},
    {"level29", 80, 1.45, 40, 1, 5000, 330},  {"level30", 80, 1.5, 40, 1, 5000, 330},
};
static_assert(std::size(kGauntlet) == kGauntletSettingsCount);

constexpr GauntletRow kDual[] = {
    {"dual1", 20, 0.45, 40, 4, 2000, 990},   {"dual2", 25, 0.5, 40, 4, 2500, 990},
    {"dual3", 30, 0.55, 40, 4, 3000, 990},   {"dual4", 35, 0.6, 40, 4, 3500, 990},
    {"dual5", 40, 0.65, 40, 4, 4000, 990},   {"dual6", 45, 0.7, 40, 4, 4500, 990},
    {"dual7", 50, 0.75, 40, 4, 5000, 990},   {"dual8", 50, 0.8, 40, 4, 4500, 990},
    {"dual9", 50, 0.8, 40, 3.5, 4500, 990},  {"dual10", 45, 0.85, 40, 3.5, 4500, 990},
    {"dual11", 45, 0.8, 40, 3, 4500, 990},   {"dual12", 40, 0.85, 40, 3, 4500, 990},
    {"dual13", 45, 0.8, 40, 2.5, 4500, 957}, {"dual14", 50, 0.8, 40, 2.5, 5000, 924},
    {"dual15", 45, 0.8, 42, 2, 5000, 891},   {"dual16", 50, 0.8, 44, 2, 5000, 858},
    {"dual17", 40, 0.7, 46, 1, 5000, 825},   {"dual18", 40, 0.75, 48, 1, 5000, 792},
    {"dual19", 45, 0.75, 50, 1, 5000, 759},  {"dual20", 45, 0.8, 50, 1, 5000, 726},
    {"dual21", 50, 0.85, 50, 1, 5000, 693},  {"dual22", 55, 0.9, 45, 1, 5000, 825},
    {"dual23", 55, 0.95, 40, 1, 5000, 792},  {"dual24", 60, 1, 40, 1, 5000, 759},
};
static_assert(std::size(kDual) == kDualSettingsCount);

int BuildGauntletTable(SettingsTable& out, std::span<const GauntletRow> rows)
{
    if (!out.Allocate(static_cast<int>(rows.size())))
        return 0;
    for (int i = 0; i < out.Count(); ++i) {
        const GauntletRow& row = rows[i];
        LevelSettings record;
        record.name = row.name;
        record.fillPercent = row.fillPercent;
        record.chainSpeed = Fixed::FromDouble(row.chainSpeed);
        record.repeatColourPercent = row.repeatColourPercent;
        record.endSpeedDivisor = Fixed::FromDouble(row.endSpeedDivisor);
        record.pointsNeeded = row.pointsNeeded;
        record.powerUpInterval = row.powerUpInterval;
        out[i] = record;
    }
    return out.Count();
}

}  // namespace

int LevelTables::BuildAdventureSettings(SettingsTable& out)
{
    if (!out.Allocate(kAdventureStageCount))
        return 0;
    for (int i = 0; i < kAdventureStageCount; ++i) {
        const AdventureRow& row = kAdventure[i];
        LevelSettings record;
        record.name = row.name;
        record.parTime = row.parTime;
        record.fillPercent = row.fillPercent;
        record.chainSpeed = Fixed::FromDouble(row.chainSpeed);
        record.endSpeedDivisor = Fixed::FromDouble(row.endSpeedDivisor);
        record.pointsNeeded = row.pointsNeeded;
        out[i] = record;
    }
    for (int i : kEasyColourRecords)
        out[i].repeatColourPercent = 50;
    out[kShortPowerUpRecord].reverseDuration = 66;
    out[kShortPowerUpRecord].slowDuration = 165;
    return kAdventureStageCount;
}

int LevelTables::BuildGauntletSettings(SettingsTable& out)
{
    return BuildGauntletTable(out, kGauntlet);
}

int LevelTables::BuildDualSettings(SettingsTable& out)
{
    return BuildGauntletTable(out, kDual);
}
