#include "game/tables/level_tables.h"

#include <algorithm>

bool LevelTables::Build()
{
    return BuildMaps(maps) && BuildAdventureSettings(adventure) > 0 && BuildGauntletSettings(gauntlet) > 0 &&
           BuildDualSettings(dual) > 0;
}

const LevelSettings* LevelTables::SettingsFor(bool adventureMode, int stageOrLevel, const MapInfo* map) const
{
    const SettingsTable& table = adventureMode ? adventure : (map && map->twoCurves ? dual : gauntlet);
    if (table.Count() < 1)
        return nullptr;
    int index = stageOrLevel < 1 ? 0 : std::min(stageOrLevel - 1, table.Count() - 1);
    return table.Find(index);
}
