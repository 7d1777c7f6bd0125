#pragma once
// What the player is told: each cause once in a run, said as text, on stderr at once and in the
// engine's message box over the window (a headless run, which has no box, says it on stderr only).

// Says the formatted text, unless this run has said it already. Every message to the player comes
// this way; the text is the cause, so the same failure met again (a picture on every lap of a
// map, a save on every write) is said once, and each other one still is.
void TellPlayer(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A new run says everything again.
void ForgetWhatWasSaid();
// Whether this run has said anything yet.
bool SaidAnything();
