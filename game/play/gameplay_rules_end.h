#pragma once
// What the loss, level-end and board-record files of the gameplay screen share: the player's
// progress of the current mode and the texts set into the statistics dialogs.
#include "engine/core/strings.h"

class GameplayScreen;
class Widget;
struct ModeProgress;
struct PlayerRecord;

namespace gameplay_end {

constexpr int kFramesPerSecond = 33;
constexpr int kMessageFrames = 66;

PlayerRecord* CurrentPlayer(GameplayScreen& screen);
// The progress of the player's current mode, null without a player.
ModeProgress* Progress(GameplayScreen& screen);
// Adds the level's numbers to the mode's totals (a level won, lost, or passed in survival); with
// clear, the level's own become 0.
void FoldLevelIntoProgress(GameplayScreen& screen, bool clear);
// A text widget of the name under the root takes the text; a missing one, or a widget of another
// kind, is skipped.
void SetWidgetText(Widget* root, const char* name, const String& text);
void SetWidgetNumber(Widget* root, const char* name, int value);
// The tip widget of the screen takes the language row Random(rows) after the first row.
void SetTipText(GameplayScreen& screen, const char* firstRow, int rows);

}  // namespace gameplay_end
