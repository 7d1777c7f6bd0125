#include "game/play/curve_file.h"

#include <cmath>
#include <memory>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/play/curve_path.h"
#include "game/tables/display_mode.h"

namespace {

// Beyond these the Fixed points, the sums and the lookup table would overflow.
constexpr int32_t kMaxDesignCoordinate = 16384;
constexpr int64_t kMaxCurveLength = int64_t(32767) << 8;

Fixed ToFixed(float v)
{
    return Fixed::Raw(static_cast<int32_t>(std::trunc(static_cast<double>(v * 256.0f + 0.5f))));
}

}  // namespace

DesignMapping DesignMappingOf(GameApp* application)
{
    DesignMapping mapping;
    Surface* screen = application->GetScreenSurface();
    mapping.width = screen ? screen->GetWidth() : 0;
    mapping.height = screen ? screen->GetHeight() : 0;
    mapping.displayMode = application->GetLayoutIdCached();
    return mapping;
}

void MapDesignPoint(const DesignMapping& mapping, float& x, float& y)
{
    float s = 1.0f;
    int ox = 0, oy = 0;
    switch (mapping.displayMode) {
    case 2:
        s = 0.5f;
        break;
    case 13:
    case 1:
        s = 0.5f;
        oy = 40;
        break;
    case 17:
        ox = (mapping.width - 640) >> 1;
        break;
    case 15:
        s = 0.5f;
        ox = (mapping.width - 320) >> 1;
        break;
    case 6:
        s = 0.375f;
        oy = 30;
        break;
    default:
        break;
    }
    x = x * s + static_cast<float>(ox);
    y = y * s + static_cast<float>(oy);
}

String CurveFilePath(const String& levelsFolder, const DesignMapping& mapping, const char* art)
{
    String path = levelsFolder;
    if (mapping.displayMode == 17 || mapping.displayMode == 15)
        path = Joined(path, "z_wide\\");
    else if (mapping.width <= mapping.height)
        path = Joined(path, "z_square\\");
    path = Joined(path, art);
    return Joined(path, ".pth");
}

bool ReadCurves(Stream* stream, const DesignMapping& mapping, CurvePath* curves, int& curveCount)
{
    for (int c = 0; c < kMaxCurves; ++c)
        curves[c].Reset();
    uint8_t count = 0;
    if (stream->Read(&count, 1) != 1 || count < 1 || count > kMaxCurves)
        return false;
    curveCount = count;
    for (int c = 0; c < count; ++c) {
        CurvePath& curve = curves[c];
        int16_t rawCount = 0;
        if (stream->ReadInt16(&rawCount) != 2)
            return false;
        int pointCount = static_cast<uint16_t>(rawCount);
        if (pointCount < 4 || (pointCount - 1) / 3 > kMaxPathSegments)
            return false;
        FixedVec2 window[4];
        int filled = 0, segments = 0;
        int64_t length = 0;
        for (int i = 0; i < pointCount; ++i) {
            int32_t xy[2];
            for (int32_t& v : xy) {
                if (stream->ReadInt32(&v) != 4)
                    return false;
                if (v < -kMaxDesignCoordinate || v > kMaxDesignCoordinate)
                    return false;
            }
            float x = static_cast<float>(xy[0]), y = static_cast<float>(xy[1]);
            MapDesignPoint(mapping, x, y);
            window[filled++] = FixedVec2(ToFixed(x), ToFixed(y));
            if (filled == 4) {
                PathSegment& segment = curve.Segment(segments);
                if (!segment.SetPoints(window[0], window[1], window[2], window[3]))
                    return false;
                length += segment.GetLength().raw;
                if (length > kMaxCurveLength)
                    return false;
                window[0] = window[3];
                filled = 1;
                ++segments;
            }
        }
        curve.SetSegmentCount(segments);
        for (int i = 0; i < segments; ++i) {
            uint8_t tunnel = 0;
            if (stream->Read(&tunnel, 1) != 1)
                return false;
            curve.Segment(i).tunnel = tunnel != 0 ? 1 : 0;
        }
        if (!curve.BuildTable())
            return false;
    }
    int32_t trailer = 0;
    return stream->ReadInt32(&trailer) == 4 && stream->ReadInt32(&trailer) == 4;
}

LoadResult LoadCurves(GameApp* application, const char* art, CurvePath* curves, int& curveCount)
{
    DesignMapping mapping = DesignMappingOf(application);
    String path = CurveFilePath(application->GetLevelsFolder(), mapping, art);
    std::unique_ptr<PackMemoryFile> file(application->CreatePackMemoryFile());
    if (!file)
        return LoadResult::Failed(path.CStr(), "no memory left");
    LoadResult opened = file->Load(application, path.CStr());
    if (opened.failed())
        return opened;
    if (!ReadCurves(file.get(), mapping, curves, curveCount))
        return file->Refused("damaged: not a curve file that can be read");
    return LoadResult();
}
