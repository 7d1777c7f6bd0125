// A font from any bytes: a 4-byte little-endian length, that many bytes of glyph mask, and the
// rest as its .fdb; then measured over every character and drawn with every effect on plain and
// turned surfaces, each drawing a different slice of the characters so that every glyph is
// drawn once. Large masks are passed over.
#include <cstdint>
#include <cstring>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "fuzz_disk_app.h"
#include "fuzz_image_size.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    uint32_t maskSize = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
    data += 4;
    size -= 4;
    if (maskSize > size)
        maskSize = static_cast<uint32_t>(size);
    if (fuzz_image::DecodesLarge(data, maskSize))
        return 0;
    FuzzWriteFile("f.jpg", data, maskSize);
    FuzzWriteFile("f.fdb", data + maskSize, size - maskSize);
    // Kept for the whole run: a font holds nothing of it once deleted.
    static DiskFuzzApp* app = new DiskFuzzApp();
    Font font(app);
    if (!font.Load(FuzzEnginePath("f.jpg").c_str()))
        return 0;
    constexpr int kSlice = 11;
    char text[3 * 7 * kSlice + 1];
    for (int i = 0; i < 3 * 7 * kSlice; ++i)
        text[i] = static_cast<char>(32 + i % 224);
    text[3 * 7 * kSlice] = 0;
    text[224] = 0;
    font.MeasureText(text);
    text[224] = static_cast<char>(32);
    Rect clip{-3, 2, 50, 20};
    for (int orientation = 0; orientation < 3; ++orientation) {
        Surface surface(app);
        surface.SetOrientation(orientation);
        if (!surface.Create(40, 24))
            continue;
        for (int effect = 0; effect < 7; ++effect) {
            char* slice = text + (orientation * 7 + effect) * kSlice;
            char kept = slice[kSlice];
            slice[kSlice] = 0;
            font.DrawText(&surface, effect * 7 - 20, effect * 3 - 8, slice, 200, 100, 50, effect, effect * 40,
                          effect & 1 ? &clip : nullptr);
            slice[kSlice] = kept;
        }
    }
    return 0;
}
