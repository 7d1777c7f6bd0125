#pragma once
// The names the high-score tables show before anybody has played: our own invented ones.
#include "game/app/profile_store.h"
#include "game/tables/map_info.h"

constexpr int kDefaultNamePool = 26;

extern const char* const kDefaultAdventureNames[kHighScoreEntries];
extern const char* const kDefaultNamePoolList[kDefaultNamePool];
// Per gauntlet map and place; null where the table leaves the name to the pool.
extern const char* const kDefaultSurvivalNames[MapInfo::kCount][kHighScoreEntries];
