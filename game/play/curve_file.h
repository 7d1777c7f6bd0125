#pragma once
// The curve files (".pth"): one or two tracks of cubic Bezier segments in the 640x480 design space,
// mapped to the screen by display mode as they are read.
#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class CurvePath;
class GameApp;
class Stream;

constexpr int kMaxCurves = 2;

// The screen's view of the design space: the display mode code and the display's size.
struct DesignMapping {
    int displayMode = 5;
    int width = 640;
    int height = 480;
};

DesignMapping DesignMappingOf(GameApp* application);
void MapDesignPoint(const DesignMapping& mapping, float& x, float& y);

// "z_levels\" of the program folder, then "z_wide\" or "z_square\" by screen, then art ".pth".
String CurveFilePath(const String& levelsFolder, const DesignMapping& mapping, const char* art);

// Reads the curves into paths already bound; false on a short or out-of-range file. The paths are
// reset first; what was read before a failure stays until the next reset.
bool ReadCurves(Stream* stream, const DesignMapping& mapping, CurvePath* curves, int& curveCount);

// Opens the map's curve file through the packs (or the disk) and reads it; a file that cannot be
// read as curves is told as damaged.
LoadResult LoadCurves(GameApp* application, const char* art, CurvePath* curves, int& curveCount);
