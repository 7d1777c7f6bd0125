#include "engine/graphics/colour_adjust.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <climits>

#include "engine/core/application.h"
#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/surface.h"

namespace {

constexpr double kOneIn255 = 0.00392156862745098;

int Truncate255(double v)
{
    return static_cast<int>(v * 255);
}

// Truncated and clamped; large deltas must not overflow the conversion.
int ToChannel(double v)
{
    double scaled = v * 255;
    if (!(scaled > 0))
        return 0;
    return scaled >= 255 ? 255 : static_cast<int>(scaled);
}

int SaturatingAdd(int a, int b)
{
    return static_cast<int>(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}

// Hue sums of AdjustHsl wrap into 0..254, negative ones upward.
int WrapHue(int64_t h)
{
    int64_t wrapped = h % 255;
    return static_cast<int>(wrapped < 0 ? wrapped + 255 : wrapped);
}

void AdjustRgb(int& r, int& g, int& b, int hueDelta, int saturationDelta, int luminanceDelta)
{
    int h, s, l;
    RgbToHsl(r, g, b, h, s, l);
    HslToRgb(WrapHue(int64_t(h) + hueDelta), SaturatingAdd(s, saturationDelta), SaturatingAdd(l, luminanceDelta), r,
             g, b);
}

inline int Widened(int channel, int amount)
{
    return static_cast<int>(std::min<int64_t>(channel + ((int64_t(channel) * amount) >> 8), 255));
}

}  // namespace

void RgbToHsl(int r, int g, int b, int& h, int& s, int& l)
{
    double R = r * kOneIn255, G = g * kOneIn255, B = b * kOneIn255;
    double max = std::max({R, G, B}), min = std::min({R, G, B});
    double L = (max + min) * 0.5;
    h = s = 0;
    l = Truncate255(L);
    if (L <= 0)
        return;
    double delta = max - min;
    if (delta <= 0) {
        s = Truncate255(delta);
        return;
    }
    double S = L <= 0.5 ? delta / (max + min) : delta / (2 - max - min);
    double r2 = (max - R) / delta, g2 = (max - G) / delta, b2 = (max - B) / delta;
    double H;
    if (R == max)
        H = G == min ? 5 + b2 : 1 - g2;
    else if (G == max)
        H = B == min ? 1 + r2 : 3 - b2;
    else
        H = R == min ? 3 + g2 : 5 - r2;
    h = Truncate255(H / 6) % 255;
    s = Truncate255(S);
}

void HslToRgb(int h, int s, int l, int& r, int& g, int& b)
{
    double H = h * kOneIn255, S = s * kOneIn255, L = l * kOneIn255;
    double V = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    double R = L, G = L, B = L;
    if (V > 0) {
        double m = 2 * L - V;
        double sv = (V - m) / V;
        double six = 6 * H;
        int sextant = static_cast<int>(six);
        double fract = six - sextant;
        double vsf = V * sv * fract;
        double mid1 = m + vsf, mid2 = V - vsf;
        switch (sextant) {
        case 0: R = V; G = mid1; B = m; break;
        case 1: R = mid2; G = V; B = m; break;
        case 2: R = m; G = V; B = mid1; break;
        case 3: R = m; G = mid2; B = V; break;
        case 4: R = mid1; G = m; B = V; break;
        case 5: R = V; G = m; B = mid2; break;
        default: break;
        }
    }
    r = ToChannel(R);
    g = ToChannel(G);
    b = ToChannel(B);
}

void Surface::AdjustHsl(int hueDelta, int saturationDelta, int luminanceDelta)
{
    if (!pixels_ || rawWidth_ <= 0 || rawHeight_ <= 0 || format_ == 4)
        return;
    size_t count = size_t(rawWidth_) * size_t(rawHeight_);
    if (format_ == 3) {
        for (size_t i = 0; i < count; ++i) {
            uint8_t* p = pixels_ + i * 3;
            int r = p[2], g = p[1], b = p[0];
            AdjustRgb(r, g, b, hueDelta, saturationDelta, luminanceDelta);
            p[0] = uint8_t(b);
            p[1] = uint8_t(g);
            p[2] = uint8_t(r);
        }
        return;
    }
    if (format_ < 0 || format_ > 2)
        return;
    uint16_t* p = GetPixels();
    for (size_t i = 0; i < count; ++i) {
        int r, g, b;
        uint32_t v = p[i];
        if (format_ == 2) {
            r = (v >> 8) & 0xF8;
            g = (v >> 3) & 0xFC;
            b = (v << 3) & 0xFF;
        } else if (format_ == 1) {
            r = (v >> 7) & 0xF8;
            g = (v >> 2) & 0xF8;
            b = (v << 3) & 0xFF;
        } else {
            r = (v >> 4) & 0xF0;
            g = v & 0xF0;
            b = (v << 4) & 0xFF;
        }
        AdjustRgb(r, g, b, hueDelta, saturationDelta, luminanceDelta);
        p[i] = format_ == 2   ? pixel::Format565::Pack(r, g, b)
               : format_ == 1 ? pixel::Format555::Pack(r, g, b)
                              : pixel::Format444::Pack(r, g, b);
    }
}

void Surface::Brighten(int amount)
{
    if (!pixels_ || rawWidth_ <= 0 || rawHeight_ <= 0 || amount < 0 || (format_ != 0 && format_ != 2))
        return;
    size_t count = size_t(rawWidth_) * size_t(rawHeight_);
    uint16_t* p = GetPixels();
    if (format_ == 0) {
        for (size_t i = 0; i < count; ++i) {
            int r = Widened(((p[i] >> 8) & 15) << 4, amount);
            int g = Widened(((p[i] >> 4) & 15) << 4, amount);
            int b = Widened((p[i] & 15) << 4, amount);
            p[i] = uint16_t(((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
        }
        return;
    }
    if (application_ && application_->GetScreenSurface() == this) {
        // The screen's own path works on the packed channels, one multiply each.
        const int64_t factor = int64_t(amount) + 256;
        for (size_t i = 0; i < count; ++i) {
            int64_t r = std::min<int64_t>((pixel::Format565::Red(p[i]) * factor) >> 8, 31);
            int64_t g = std::min<int64_t>((pixel::Format565::Green(p[i]) * factor) >> 8, 63);
            int64_t b = std::min<int64_t>((pixel::Format565::Blue(p[i]) * factor) >> 8, 31);
            p[i] = pixel::Format565::Make(int(r), int(g), int(b));
        }
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        int r = Widened(pixel::Format565::Red(p[i]) << 3, amount);
        int g = Widened(pixel::Format565::Green(p[i]) << 2, amount);
        int b = Widened(pixel::Format565::Blue(p[i]) << 3, amount);
        p[i] = pixel::Format565::Pack(r, g, b);
    }
}
