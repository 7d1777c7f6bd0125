#pragma once
// The engine's one way to show an error to the player: a box over the window, and a line on stderr.
// The texts come through TellPlayer (tell_player.h), which says each cause once.
void ShowMessageBox(const char* text);

// While a run's frame runs, a box waits to be shown over a drawn screen: one asked for while the
// screen fades (the player on the way to the menu) or before the first picture is shown over the
// screen that comes. On turns the waiting on; off shows what waits and shows later boxes at once,
// as at the run's end, while the window still holds its last picture.
void HoldMessageBoxes(bool on);
// After each picture shown: the boxes that wait are shown once the screen is at rest, or after a
// few seconds of frames whatever the screen does.
void ShowHeldMessageBoxes(bool screenAtRest);
// Forgets the boxes that wait and stops waiting, without showing them (a test's fresh handheld).
void DropHeldMessageBoxes();
