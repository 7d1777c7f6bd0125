#pragma once
// The drawing core behind TrigTable: one routine per variant over a shared set-up of the drawn box
// and the inverse mapping from destination pixels to 16.16 source positions.
#include <cstddef>
#include <cstdint>

class SurfaceBase;

namespace rotated_draw {

enum class Variant {
    Default,         // bilinear colour and coverage through the alpha plane
    Opaque,          // source without a plane
    FastFiltered,    // draw mode 1: nearest coverage, 4-bit bilinear colour
    FastNearest,     // draw mode 0
    AlphaOffset,     // default (or opaque) with the offset added to the coverage
    Mask,            // the colour painted through the coverage
    Additive,        // adds the filtered colour, with a plane
    AdditiveOpaque,  // adds the filtered colour, without one
};

struct Params {
    const SurfaceBase* source = nullptr;
    SurfaceBase* destination = nullptr;
    int32_t x = 0, y = 0;           // centre, 24.8, raw destination coordinates
    int32_t sine = 0, cosine = 0;   // 24.8
    int32_t scale = 65536;          // 16.16
    bool tightBounds = false;
    int alphaOffset = 0;
    uint16_t colour = 0;            // 5:6:5, for the mask
    bool planeOnly = false;         // the mask reads only the alpha plane: colour pixels may be gone
};

// Destination rows y0..y1 and columns x0..x1 (inclusive) and the 16.16 source position of the
// box's top-left pixel with its steps per column and per row.
struct Mapping {
    int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    int64_t u = 0, v = 0;
    int64_t uColumn = 0, vColumn = 0, uRow = 0, vRow = 0;
};

// False when nothing is drawn (missing pixels, scale out of range, box outside the destination);
// a plane-only draw needs just the alpha plane.
bool Setup(const Params& params, Mapping& out);

// The fast bilinear rows unless switched off (benchmarks and tests compare both).
void Draw(Variant variant, const Params& params);
void DrawReference(Variant variant, const Params& params);
void DrawFast(Variant variant, const Params& params);
void SetFastPathsEnabled(bool on);
// The SSE2 rows of the bilinear variants, equal to the reference; false where the build has none
// (or the variant or offset is one it leaves to the reference), and nothing is drawn then.
bool DrawBilinearSse2(Variant variant, const Params& params, const Mapping& m);
// The two fast draw modes.
void DrawFastFiltered(const Params& params, const Mapping& m);
void DrawFastNearest(const Params& params, const Mapping& m);

// 5:6:5 spread into one word: red and blue in the low half, green's top five bits in the high.
inline int32_t Spread(uint32_t p)
{
    return int32_t((p | (p << 16)) & 0x07C0F81Fu);
}
inline uint16_t Unspread(int32_t p)
{
    return uint16_t((uint32_t(p) | (uint32_t(p) >> 16)) & 0xFFFFu);
}
inline int32_t MixSpread(int32_t a, int32_t b, int f)
{
    return (a + (((b - a) * f) >> 4)) & 0x07C0F81F;
}

}  // namespace rotated_draw
