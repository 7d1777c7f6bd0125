#pragma once
// JPEG and PNG files, from the packs or the disk, into surfaces: colour pixels in the surface's
// 16-bit format and an optional alpha plane, both stored turned when the surface is. Each loader
// fills the given target, or a surface it creates (and deletes again on failure), and hands it
// back; null on failure, with why.
#include "engine/core/load_result.h"

class Application;
class Surface;

// The base name (a trailing ".jpg" or ".png" cut off) + ".jpg" with its "_a.jpg" alpha companion,
// else + ".png". A missing companion, or one of another size, leaves the image opaque.
LoadedValue<Surface*> LoadImage(Application* app, const char* path, Surface* target);
// Only the alpha plane: the first channel of base + ".jpg", else the alpha of base + ".png".
LoadedValue<Surface*> LoadAlphaImage(Application* app, const char* path, Surface* target);

// A required size other than 0 x 0 refuses a JPEG of any other size before it is decoded. A plane
// that does not fit the target's pixels is told as missing: it is none of theirs.
LoadedValue<Surface*> LoadJpeg(Application* app, const char* path, Surface* target, int requiredWidth = 0,
                               int requiredHeight = 0);
LoadedValue<Surface*> LoadJpegAlpha(Application* app, const char* path, Surface* target);
LoadedValue<Surface*> LoadPng(Application* app, const char* path, Surface* target);
LoadedValue<Surface*> LoadPngAlpha(Application* app, const char* path, Surface* target);
