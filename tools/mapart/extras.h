#pragma once
// The pictures beside the levels: the gauntlet's thumbnails, its "random" entry and the nebula.
#include "tools/mapart/painter.h"

namespace mapart {

// Thumbnail size for a screen (the layout table's thumbnail width and height).
void ThumbnailSize(int screenWidth, int screenHeight, int& width, int& height);

// A reduced view of the level's design area, cropped to the thumbnail's shape, its lower part
// quietened for the map name the game writes there.
Picture Thumbnail(const MapArt& map, const std::vector<Track>& plainTracks, int width, int height);
Picture NebulaThumbnail(int width, int height, float scale);

// The "random" thumbnail: a dark carved spiral, drawn half-opaque over locked maps.
Picture RandomThumbnail(int width, int height);

// A starfield with clouds, seamless both ways.
Picture Nebula(int width, int height, float scale);

}  // namespace mapart
