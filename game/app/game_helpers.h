#pragma once
// Small services the game's screens share: number and clock texts, clipped region blits and the
// blended flat triangle.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/strings.h"
#include "engine/core/widget.h"

class GameHud;
class GameApp;
class Surface;
struct ModeProgress;
struct PlayerRecord;
class SurfaceBase;

// Deletes the in-game display when there is one and nulls the pointer.
void DeleteGameHud(GameHud*& hud);

// The current player of the application and the progress of its mode; null without one.
PlayerRecord* CurrentPlayerOf(GameApp* app);
ModeProgress* CurrentProgressOf(GameApp* app);

// Points for each life left when the adventure is won.
constexpr int kLivesBonusEach = 50000;
// The lives bonus of the current player's won adventure (its stage past the last), paid into the
// score together with that stage; 0 before, and in the gauntlet.
int32_t WonLivesBonus(GameApp* app);

// Decimal text with a comma every three digits from the right: 1234567 gives 1,234,567.
String FormatWithCommas(int n);
// 00:SS below a minute, MM:SS below an hour, else HH:MM:SS.
void FormatTime(String& out, int seconds);
// Narrows out (a copy of rect) to the clip's right and bottom edges and moves its left and top
// edges in; true when anything changed. Width and height are not reduced when x or y move.
bool ClipRectTo(const Rect& rect, const Rect& clip, Rect& out);
// The source's region (srcX, srcY, w, h) drawn at (x, y), clipped; a w or h of 0 means the
// source's width or height.
void BlitRegionClipped(SurfaceBase* destination, Surface* source, int x, int y, int w, int h, int srcX, int srcY,
                       int alphaOffset, const Rect& clip);
void BlitRegionAdditiveClipped(SurfaceBase* destination, Surface* source, int x, int y, int w, int h, int srcX,
                               int srcY, int alphaOffset, const Rect& clip);
// A logical point of the surface in its own buffer's coordinates.
void ToSurfaceCoords(const SurfaceBase* surface, int& x, int& y);
// A flat triangle blended into a 16-bit 5:6:5 surface at alpha + 255 (at most 255); vertices in
// 24.8, clockwise on the screen, or nothing is drawn.
void FillTriangleBlended(SurfaceBase* surface, const FixedVec2& p1, const FixedVec2& p2, const FixedVec2& p3, int r,
                         int g, int b, int alpha);
