#pragma once
// A region of one surface copied over another as it stands, its alpha plane unread: the HUD's
// edge bands and the clean board under the holes.
class Surface;
class SurfaceBase;

// Clipped to both surfaces; 16-bit surfaces only (anything else is left alone).
void CopyRegionOpaque(Surface* source, SurfaceBase* destination, int x, int y, int w, int h, int sourceX,
                      int sourceY);
