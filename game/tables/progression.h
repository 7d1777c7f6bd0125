#pragma once
// How the two game modes group their levels: the adventure's 76 stages behind 13 doors, three
// doors to a temple, and the gauntlet's ranks of seven levels. Pure functions of their argument.
class Application;
class String;

// The adventure's stages are 1..kAdventureStageCount; the last one stands alone behind door 13.
inline constexpr int kAdventureStageCount = 76;
// Where a won adventure's progress stands: past the last stage, and never further.
inline constexpr int kAdventureWonStage = kAdventureStageCount + 1;

namespace Adventure {
// Place of the stage inside its door, from 1; 0 outside 1..76.
int StageInDoor(int stage);
// Door 1..12, 13 for stage 76 and beyond, 0 below stage 1.
int DoorOfStage(int stage);
// 1 for the first stage of a door, else 0; 0 outside 1..76.
int IsFirstStageOfDoor(int stage);
// First stage of door 1..13, 0 for any other door.
int DoorFirstStage(int door);
// Temple 0..3 of door 1..12, -1 for door 13, 3 beyond it, 0 below door 1.
int TempleOfDoor(int door);
}  // namespace Adventure

namespace Gauntlet {
// -1 for level 0 or below, then one rank per seven levels, at most 3.
int RankOfLevel(int level);
// First level of rank 0..3 (ranks above 3 give rank 3's); 0 for ranks below 0.
int RankFirstLevel(int rank);
}  // namespace Gauntlet

// The display name of map 0..21, or of the gauntlet's random-map entry 22, in the current
// language; " " for any other number.
String& MapDisplayName(String& out, Application* application, int map);
