#pragma once
// Steps a player takes through the menu's dialogs, by the stylus only, with the waits a player
// makes for a dialog to fade in or out.
class ScriptedGame;

// Taps `button` and waits until `dialog` takes input, fully faded in; false when it never does.
bool OpenBy(ScriptedGame& game, const char* button, const char* dialog);
// Taps `button` of the open dialog and waits until that dialog is gone; false when it stays.
bool CloseBy(ScriptedGame& game, const char* button);
// Whether `dialog` is the dialog taking input, at rest (not fading in or out).
bool DialogAtRest(const ScriptedGame& game, const char* dialog);
// From the menu: Adventure, Play, the help's OK when it shows, until the board and its menu
// button are up; false when they never are.
bool PlayFirstStage(ScriptedGame& game);

// The value a tuner shows; -1 when there is none.
int TunerValue(const ScriptedGame& game, const char* tuner);
// Presses the tuner at `from` per mille of its length, drags and lets go at `to` (values below 0
// or above 1000 lie beyond its ends).
bool SlideTuner(ScriptedGame& game, const char* tuner, int from, int to);
