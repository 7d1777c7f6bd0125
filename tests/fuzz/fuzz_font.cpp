// A font from any bytes: a 4-byte little-endian length, that many bytes of glyph mask, and the
// rest as its .fdb; then measured over every character and drawn with every effect on plain and
// turned surfaces, every glyph placed at least once. Large masks are passed over.
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
    if (font.Load(FuzzEnginePath("f.jpg").c_str()).failed())
        return 0;
    // Every character once, plain, a third on each surface; then every effect (and one more than
    // there are) on three characters, each effect on one of the surfaces. The effects repeat the
    // plain glyph routine at offsets, up to nine times a glyph, so they get few characters.
    constexpr int kFirst = 32, kCharacters = 224, kThird = (kCharacters + 2) / 3, kShort = 3;
    char text[kCharacters + 1];
    for (int i = 0; i < kCharacters; ++i)
        text[i] = static_cast<char>(kFirst + i);
    text[kCharacters] = 0;
    font.MeasureText(text);
    Rect clip{-3, 2, 50, 20};
    for (int orientation = 0; orientation < 3; ++orientation) {
        Surface surface(app);
        surface.SetOrientation(orientation);
        if (!surface.Create(40, 24))
            continue;
        int count = 0;
        for (int c = kFirst + orientation * kThird; c < kFirst + kCharacters && count < kThird; ++c)
            text[count++] = static_cast<char>(c);
        text[count] = 0;
        font.DrawText(&surface, orientation * 5 - 20, orientation * 3 - 8, text, 200, 100, 50, kEffectNone, 255,
                      orientation == 1 ? &clip : nullptr);
        for (int effect = orientation; effect <= kEffectCount; effect += 3) {
            for (int i = 0; i < kShort; ++i)
                text[i] = static_cast<char>(kFirst + effect * kShort + i);
            text[kShort] = 0;
            font.DrawText(&surface, effect * 7 - 20, effect * 3 - 8, text, 200, 100, 50, effect, effect * 40,
                          effect & 1 ? &clip : nullptr);
        }
    }
    return 0;
}
