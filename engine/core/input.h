#pragma once
// Keys and stylus on their way from the window procedure to the application. Application's own
// share (OnKey, OnPointer, the key tables) lives in application.h.

// Turns the arrow keys with the screen rotation of the process's application.
int RotateArrowKey(int virtualKey);

// The key path of one WM_KEYDOWN or WM_KEYUP that passed the window procedure's filters: the key
// is turned, remembered as the last key, mapped and handed to the application.
bool OnVirtualKey(int virtualKey, bool down);
