// A font from any bytes: a 4-byte little-endian length, that many bytes of glyph mask, and the
// rest as its .fdb; then measured and drawn with every effect on plain and turned surfaces.
#include <cstdint>
#include <cstring>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "fuzz_disk_app.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    uint32_t maskSize = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
    data += 4;
    size -= 4;
    if (maskSize > size)
        maskSize = static_cast<uint32_t>(size);
    FuzzWriteFile("f.jpg", data, maskSize);
    FuzzWriteFile("f.fdb", data + maskSize, size - maskSize);
    DiskFuzzApp app;
    Font font(&app);
    if (!font.Load(FuzzEnginePath("f.jpg").c_str()))
        return 0;
    char text[225];
    for (int i = 0; i < 224; ++i)
        text[i] = static_cast<char>(32 + i);
    text[224] = 0;
    font.MeasureText(text);
    Rect clip{-3, 2, 50, 20};
    for (int orientation = 0; orientation < 3; ++orientation) {
        Surface surface(&app);
        surface.SetOrientation(orientation);
        if (!surface.Create(40, 24))
            continue;
        for (int effect = 0; effect < 7; ++effect)
            font.DrawText(&surface, effect * 7 - 20, effect * 3 - 8, text, 200, 100, 50, effect, effect * 40,
                          effect & 1 ? &clip : nullptr);
    }
    return 0;
}
