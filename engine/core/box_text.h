#pragma once
// The text of a message to the player as it is said: every byte a terminal or the box would act on
// or garble written out, and the lines laid out to fit the box on the smallest desktop.
#include <cstddef>

// SDL's box on bare X (xfonts-base) draws 7 pixels a column inside 30 pixels of margins; 80 columns
// make a box of 590 pixels, which fits the smallest desktop the game opens on, 640x480 (any desktop
// display gives at least that; the 800x480 window is shrunk to fit one). Its lines are 15 pixels,
// so the longest text the game says, some 12 lines, stays far below 480 rows.
constexpr int kBoxColumns = 80;
// The most bytes a message keeps once written out (a text with every byte escaped is four times
// its own length); anything past it is cut.
constexpr size_t kSaidBytes = 2048;

// Copies text into out (of size bytes), with each control byte (C0, DEL, C1) and each byte that
// does not belong to UTF-8 written as \xNN: a name read from a file is said as text, never as a
// terminal's command, and the box is never handed bytes it cannot draw.
void EscapeForPlayer(const char* text, char* out, size_t size);

// Copies text into out (of size bytes) laid out in lines of at most `columns` characters: broken at
// spaces, and a word longer than a line after its last folder separator that fits, else where the
// line ends. The first letter is made a capital, as the box begins a sentence (stderr keeps the
// line as it was said).
void LayOutForBox(const char* text, int columns, char* out, size_t size);
