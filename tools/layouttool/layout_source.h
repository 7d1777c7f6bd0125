#pragma once
// The layout source: the game's UI layout script written once in 640x480 design units, turned
// into the keloui.txt of each resolution.
//
// Lines are the layout script's own, with these additions:
//   include "other.txt"            reads another source file here (top level only)
//   size / position / offsetLeft / offsetRight / textOffset / row_add_dy
//                                  numbers in design units, scaled for the resolution
//   area_position: x, y            a position on the design area: scaled, then moved by the
//                                  area's offset on the screen (800x480 and 400x240 sit it in
//                                  the middle, 320x320 and 240x240 lower)
//   [240x240] key: value           only for the listed resolutions, replacing the same key of
//   [!240x240] key: value          the same block; "!" lists the resolutions left out
#include <set>
#include <string>
#include <vector>

#include "tools/common/resolutions.h"

namespace layouttool {

struct SourceLine {
    std::string file;
    int line = 0;
    std::string text;  // trimmed, Windows-1252
};

// Reads the source and its includes into one list of lines; records every file read.
bool ReadLayoutSource(const std::string& path, std::vector<SourceLine>& out, std::vector<std::string>& files);

// The design-to-screen mapping of one resolution.
struct DesignMapping {
    int numerator, denominator;  // scale of design units
    int areaX, areaY;            // offset of the design area on the screen
};
DesignMapping MappingOf(const DataResolution& resolution);
int ScaleDesign(int value, const DesignMapping& mapping);

// Writes the layout script of one resolution; checks the blocks and that every child,
// background and bound action names something the script holds.
bool WriteLayout(const std::vector<SourceLine>& source, const DataResolution& resolution, std::string& out);

}  // namespace layouttool
