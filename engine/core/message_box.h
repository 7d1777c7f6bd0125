#pragma once
// The engine's one way to show an error to the player: a box over the window, and a line on stderr.
void ShowMessageBox(const char* text);
