#pragma once
// What a run paints again. The build runs the tool when its stamp is older than anything its depfile
// names or something there is gone. A map is then painted again only when what it is painted from
// differs from the last run's record (its entry in the list, its track source, its curve files at
// this screen), or when a file the last run wrote for it is gone or newer than the stamp; "random"
// and the nebula only for the latter. A tool newer than the stamp paints everything, since the
// painter, its textures and the screens' table are its own code.
#include <string>
#include <vector>

#include "tools/mapart/map_list.h"

namespace mapart {

// Where a map's pictures go below the image folder, without ".jpg".
std::string LevelFile(const MapArt& map);
std::string MaskFile(const MapArt& map, const std::string& image);
std::string ThumbFile(const MapArt& map);
constexpr const char* kRandomFile = "thumbs/random";
constexpr const char* kNebulaFile = "nebula";

// The sources' fingerprint: the entry's text and the bytes of each file (one gone counts too).
std::string Fingerprint(const MapArt& map, const std::vector<std::string>& files);

struct Repaint {
    std::vector<bool> maps;  // one flag per map of the list
    bool random = true, nebula = true;
    std::vector<std::string> kept;  // files of the last run that stay as they are, below the stage
};

// Everything is painted without a stamp or its record. prints: each map's fingerprint.
Repaint WhatToRepaint(const std::vector<MapArt>& maps, const std::vector<std::string>& prints,
                      const std::string& stamp, const std::string& stage, const std::string& folder);

// The record of the fingerprints lies beside the stamp, named like it with ".sources"; it is written
// before the stamp, so a run that stops between the two leaves its pictures newer than the stamp.
bool WriteRecord(const std::string& stamp, const std::vector<MapArt>& maps, const std::vector<std::string>& prints,
                 std::string& error);

}  // namespace mapart
