#pragma once
// JPEG and PNG files, from the packs or the disk, into surfaces: colour pixels in the surface's
// 16-bit format and an optional alpha plane, both stored turned when the surface is. Each loader
// fills the given target, or a surface it creates (and deletes again on failure); null on failure.
class Application;
class Surface;

// The base name (a trailing ".jpg" or ".png" cut off) + ".jpg" with its "_a.jpg" alpha companion,
// else + ".png".
Surface* LoadImage(Application* app, const char* path, Surface* target);
// Only the alpha plane: the first channel of base + ".jpg", else the alpha of base + ".png".
Surface* LoadAlphaImage(Application* app, const char* path, Surface* target);

// A required size other than 0 x 0 refuses a JPEG of any other size before it is decoded.
Surface* LoadJpeg(Application* app, const char* path, Surface* target, int requiredWidth = 0, int requiredHeight = 0);
Surface* LoadJpegAlpha(Application* app, const char* path, Surface* target);
Surface* LoadPng(Application* app, const char* path, Surface* target);
Surface* LoadPngAlpha(Application* app, const char* path, Surface* target);
