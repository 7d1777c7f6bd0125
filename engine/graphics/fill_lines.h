#pragma once
// Fills over a logical rectangle of a 16-bit surface, mapped for its orientation and clipped.
class Application;
class SurfaceBase;

// Adds r >> 3, g >> 2, b >> 3 to every pixel, each channel saturating.
void FillRectRotatedAdditive(Application* application, SurfaceBase* surface, int x, int y, int w, int h, int r,
                             int g, int b);
// Blends every pixel towards the colour by alpha; 255 and above is the surface's FillRect.
void FillRectRotatedBlend(Application* application, SurfaceBase* surface, int x, int y, int w, int h, int r, int g,
                          int b, int alpha);
