#pragma once
// The game's built-in tables of maps and difficulty steps, built once at start-up and then only
// read: the map records, then the adventure, gauntlet and two-curve difficulty tables.
#include "game/tables/level_settings.h"
#include "game/tables/map_info.h"

class LevelTables {
public:
    // Each builder replaces the table it is given. BuildMaps is false, and a settings builder
    // answers 0, only when the storage cannot be had.
    static bool BuildMaps(MapTable& out);
    static int BuildAdventureSettings(SettingsTable& out);
    static int BuildGauntletSettings(SettingsTable& out);
    static int BuildDualSettings(SettingsTable& out);

    // All four, in the order above; false when any of them fails.
    bool Build();

    // The difficulty step of a level: in the adventure the record of the stage; in the gauntlet
    // the record of the level, from the two-curve table on a map with two tracks. Stages and
    // levels past a table's end keep its last record; those below 1 (a damaged save) take the
    // first. Null only while the table is empty.
    const LevelSettings* SettingsFor(bool adventure, int stageOrLevel, const MapInfo* map) const;

    MapTable maps;
    SettingsTable adventure;
    SettingsTable gauntlet;
    SettingsTable dual;
};
