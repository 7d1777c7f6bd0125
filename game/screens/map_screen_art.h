#pragma once
// What the two map screens share: their pictures loaded from the image folder, the sky that
// drifts sideways in copies side by side, the high-score rows, and a tap given to the child
// under it.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/load_result.h"

class GameApp;
class Surface;
class Widget;
struct ScoreEntry;

// A surface made by the application into slot, filled from the image folder's colour picture and,
// when given, its alpha picture; a failure of any step leaves the slot with what was made.
LoadResult LoadMapArt(GameApp* app, Surface*& slot, const char* colour, const char* alpha);
// Half a pixel a frame to the right, wrapping by the sky's width; nothing without a sky.
void ScrollMapSky(Fixed& offset, const Surface* sky);
// Copies of the sky at y 0 from the offset on while x is left of the display's right edge.
void DrawMapSky(Surface* display, Surface* sky, Fixed offset);
// Rows 1..3 of "txt_hs_name_%d" and "txt_hs_value_%d": the entries' names and scores, or one blank
// in each without entries. A name too long for its row is cut to end before its score.
void FillHighScoreRows(Widget* screen, const ScoreEntry* entries);
// The children from the last to the first: the first that is visible and holds the point or is
// modal becomes the focus child and takes the event. False when none did (result unset).
bool OfferPointerToChildren(Widget* screen, int x, int y, int kind, bool& result);
