#pragma once
// Watching for the end of the desktop session (session_end.cpp).
namespace sdlbackend {
// Before SDL starts its events: the session's signals close the window. Once per process.
void WatchSessionSignals();
// Once SDL's video runs: on X, the display lost ends the program after its save.
void WatchDisplay();
}  // namespace sdlbackend
