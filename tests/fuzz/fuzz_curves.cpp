// The curve file reader on any bytes, the first choosing the display mode: a load either fails or
// leaves one or two tracks whose tables answer every lookup, on and off the track.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "game/app/game_app.h"
#include "game/play/curve_file.h"
#include "game/play/curve_path.h"

namespace {

class CurveApp : public GameApp {
public:
    void UseMode(int code)
    {
        LayoutTable::FillInts(layoutTable_, code);
        LayoutTable::FillFixed(layoutTable_, code);
    }
};

struct Mode {
    int code, width, height;
};
const Mode kModes[] = {{5, 640, 480}, {17, 800, 480}, {2, 320, 240}, {15, 400, 240}, {13, 320, 320}, {6, 240, 240}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 8000)
        return 0;
    static CurveApp* app = new CurveApp();
    const Mode& mode = kModes[data[0] % 6];
    app->UseMode(mode.code);
    static CurvePath* curves = new CurvePath[kMaxCurves];
    for (int c = 0; c < kMaxCurves; ++c)
        curves[c].Bind(app);
    // Tables and spans are freed before the input ends: blocks kept into the next input look
    // like a leak to the fuzzer, which then runs each input again under the leak checker.
    struct Freed {
        ~Freed()
        {
            for (int c = 0; c < kMaxCurves; ++c)
                curves[c].Reset();
        }
    } freed;

    PackMemoryFile file;
    void* block = Alloc(size);
    std::memcpy(block, data + 1, size - 1);
    file.SetBuffer(block, static_cast<int32_t>(size - 1));
    int count = 0;
    if (!ReadCurves(&file, {mode.code, mode.width, mode.height}, curves, count))
        return 0;
    if (count < 1 || count > kMaxCurves)
        abort();
    for (int c = 0; c < count; ++c) {
        CurvePath& curve = curves[c];
        Fixed length = curve.Length();
        if (length.raw < 0 || length > Fixed::FromInt(32767) || curve.GetTableCount() < 4)
            abort();
        for (Fixed d : {Fixed::FromInt(-1), Fixed(), length, length + Fixed::FromInt(1), Fixed::FromInt(40000)}) {
            uint8_t tunnel = 0;
            int segment = 0;
            FixedVec2 p = curve.TablePoint(d, &tunnel, &segment);
            if (segment < -1 || segment >= curve.GetSegmentCount() || (segment == -1 && p.x != Fixed::FromInt(-400)))
                abort();
            int visibility = curve.VisibilityAt(d);
            if (visibility < 0 || visibility > 255)
                abort();
            curve.PointAt(d, &tunnel, &segment);
        }
    }
    return 0;
}
