#pragma once
// The names the high-score tables show before anybody has played: our own invented ones.
constexpr int kDefaultNamePool = 26;

extern const char* const kDefaultAdventureNames[3];
extern const char* const kDefaultNamePoolList[kDefaultNamePool];
// Per gauntlet map and place; null where the table leaves the name to the pool.
extern const char* const kDefaultSurvivalNames[22][3];
