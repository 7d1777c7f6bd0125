#pragma once
// Small helpers around surfaces, the sprite sheets, screen geometry and the device.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/load_result.h"
#include "engine/core/widget.h"

class Application;
class Surface;

// Create with the logical size w x h: the raw size is exchanged on a turned screen.
bool CreateSurfaceOriented(Application* app, Surface* surface, int w, int h);
// A new surface of the application's, w x h logically; without keepAlpha its alpha plane is
// dropped. Null on any failure, leaving nothing behind.
Surface* CreateSurfaceSized(Application* app, int w, int h, bool keepAlpha);
// Copies the source to the logical position (x, y) of the destination on a turned screen; a w
// or h of 0 means the source's logical width or height.
void CopySurfaceOriented(Application* app, Surface* source, Surface* destination, int x, int y, int w, int h);
void CopyAlphaOriented(Application* app, Surface* source, Surface* destination, int x, int y, int w, int h);

// Cuts the image folder's file (and afile's alpha) into count frames of a grid of columns. The
// counter, frame count, frames and offsets are the caller's fields: on success the frames (and,
// with makeOffsets, count zeroed pairs of words) are the caller's and the counter is one higher;
// on failure everything made is freed and the counter is as it was. Frames that already exist
// only raise the counter. spare is not read.
LoadResult LoadSpriteSheet(int count, int columns, const char* file, const char* afile, int spare,
                           int32_t& loadCounter, int32_t& frameCount, Surface**& frames, int32_t*& offsets,
                           bool keepAlpha, Application* app, bool makeOffsets);

// Inclusive on both edges; the fixed-point test ignores the point's fraction.
bool FixedPointInRect(const FixedVec2& point, const FixedRect& rect);
bool PointInRect(int x, int y, const Rect& rect);
// The direction of (dx, dy) in whole degrees (0..360) with y pointing down the screen at 90; the
// positive x axis itself gives 360 and (0, 0) gives 270, as the game has always had them.
int AngleDegrees(int dx, int dy);
