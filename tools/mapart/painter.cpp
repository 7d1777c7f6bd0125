#include "tools/mapart/painter.h"

#include <algorithm>
#include <cmath>

#include "tools/mapart/ground.h"
#include "tools/mapart/noise.h"

namespace mapart {

namespace {

// Distance in screen pixels from every pixel centre to the nearest stamped point within reach,
// with a tag of that point.
struct Field {
    int width, height;
    float reach;
    std::vector<float> dist;
    std::vector<int32_t> tag;
    std::vector<float> along;
    Field(int w, int h, float r)
        : width(w), height(h), reach(r), dist(size_t(w) * size_t(h), 1e9f), tag(dist.size(), -1), along(dist.size(), 0.f)
    {
    }

    void Stamp(float sx, float sy, int32_t t, float a = 0)
    {
        int x0 = std::max(0, int(std::floor(sx - reach))), x1 = std::min(width - 1, int(std::ceil(sx + reach)));
        int y0 = std::max(0, int(std::floor(sy - reach))), y1 = std::min(height - 1, int(std::ceil(sy + reach)));
        for (int y = y0; y <= y1; ++y) {
            float dy = float(y) + 0.5f - sy;
            for (int x = x0; x <= x1; ++x) {
                float dx = float(x) + 0.5f - sx;
                float d = dx * dx + dy * dy;
                size_t i = size_t(y) * size_t(width) + size_t(x);
                if (d < dist[i]) {
                    dist[i] = d;
                    tag[i] = t;
                    along[i] = a;
                }
            }
        }
    }
    void Finish()
    {
        for (float& d : dist)
            d = d >= 1e9f ? 1e9f : std::sqrt(d);
    }
    float At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 1e9f;
        return dist[size_t(y) * size_t(width) + size_t(x)];
    }
};

// A stretch of one track under a roof: a tunnel run and the mouths beyond it, in design length.
struct RoofRun {
    size_t track;
    float from, to;
};

std::vector<RoofRun> RoofRuns(const std::vector<Track>& tracks, float extend)
{
    std::vector<RoofRun> runs;
    for (size_t t = 0; t < tracks.size(); ++t) {
        const std::vector<TrackSample>& s = tracks[t].samples;
        for (size_t i = 0; i < s.size();) {
            if (!s[i].tunnel) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j + 1 < s.size() && s[j + 1].tunnel)
                ++j;
            float from = s[i].along - extend, to = s[j].along + extend;
            if (!runs.empty() && runs.back().track == t && from <= runs.back().to)
                runs.back().to = to;
            else
                runs.push_back({t, from, to});
            i = j + 1;
        }
    }
    return runs;
}

int RunOf(const std::vector<RoofRun>& runs, size_t track, float along, float margin = 0)
{
    for (size_t r = 0; r < runs.size(); ++r)
        if (runs[r].track == track && along >= runs[r].from - margin && along <= runs[r].to + margin)
            return int(r);
    return -1;
}

uint8_t Byte(float v)
{
    return uint8_t(std::clamp(v * 255.f + 0.5f, 0.f, 255.f));
}

}  // namespace

int OverlayCorner(int design, int fixedScaleRaw, int offset)
{
    int64_t product = (int64_t(design) * 256 * fixedScaleRaw) >> 8;
    return int(product >> 8) + offset;
}

Painted PaintLevel(const MapArt& map, const std::vector<Track>& tracks, const View& view, bool overlays)
{
    const int w = view.width, h = view.height;
    const float s = view.scale;
    Painted out;
    float extend = view.mouthStretch / s + kRoofMargin;
    std::vector<RoofRun> runs = RoofRuns(tracks, extend);

    float reach = (kRoofHalfWidth + 4) * s + 1;
    Field open(w, h, (kGrooveRadius + 6) * s + 1), over(w, h, (kGrooveRadius + 6) * s + 1), roof(w, h, reach);
    for (size_t t = 0; t < tracks.size(); ++t)
        for (const TrackSample& p : tracks[t].samples) {
            float sx = p.x * s + view.offsetX, sy = p.y * s + view.offsetY;
            if (sx < -reach || sy < -reach || sx > float(w) + reach || sy > float(h) + reach)
                continue;
            int run = RunOf(runs, t, p.along);
            if (run >= 0)
                roof.Stamp(sx, sy, run, p.along);
            if (!p.tunnel)
                open.Stamp(sx, sy, int32_t(t));
            // Track that crosses a roof keeps its groove there; its own mouths do not cut it.
            if (!p.tunnel && RunOf(runs, t, p.along, kRoofHalfWidth + kGrooveRadius) < 0)
                over.Stamp(sx, sy, int32_t(t));
        }
    open.Finish();
    over.Finish();
    roof.Finish();

    // Height and colour, then light from the top left over the relief.
    std::vector<float> height(size_t(w) * size_t(h));
    std::vector<Rgb> albedo(height.size()), glow(height.size());
    std::vector<float> shade(height.size(), 1.f);
    const float shadowX = 7 * s, shadowY = 9 * s;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * size_t(w) + size_t(x);
            float dx = (float(x) + 0.5f - view.offsetX) / s, dy = (float(y) + 0.5f - view.offsetY) / s;
            GroundPoint g = Ground(map, dx, dy);
            float H = g.height;
            Rgb a = g.albedo, e = g.glow;

            // The frog's dais: a round plate with a carved ring.
            float fr = std::hypot(dx - float(map.frogX), dy - float(map.frogY));
            float plate = 1 - Smooth(60.f, 63.f, fr);
            if (plate > 0) {
                Rgb stone = Scale(Mix(map.base, map.roof, 0.4f), 0.95f + 0.1f * Fractal(dx / 5.f, dy / 5.f, 77, 2));
                a = Mix(a, stone, plate);
                e = Scale(e, 1 - plate);
                float ring = 1 - Smooth(1.f, 2.5f, std::fabs(fr - 52.f));
                H = H + (0.35f - H) * plate - 0.12f * ring;
                a = Mix(a, Scale(map.dark, 0.6f), ring * 0.6f);
            }

            // The groove along the open track.
            float og = open.dist[i] / s;
            float in = 1 - Smooth(kGrooveRadius - 2.5f, kGrooveRadius + 0.5f, og);
            float lip = (1 - Smooth(0.f, 4.f, std::fabs(og - kGrooveRadius - 2.5f))) * (1 - in);
            float floorH = -0.5f + 0.35f * (og / kGrooveRadius) * (og / kGrooveRadius);
            Rgb channel = Scale(Mix(map.dark, map.base, 0.35f), 0.6f + 0.12f * Fractal(dx / 12.f, dy / 12.f, 55, 3));
            Rgb grooveColour = Mix(Scale(Mix(a, map.dark, 0.55f), 0.6f), channel, 0.88f);
            H = H + (floorH - H) * in + 0.06f * lip;
            a = Mix(a, grooveColour, in);
            e = Scale(e, 1 - in);
            // Darker along the walls, worn lighter down the middle where the balls roll.
            if (in > 0)
                shade[i] *= 1 - in * (0.32f * (og / kGrooveRadius) * (og / kGrooveRadius) - 0.08f);

            // Roofs over the tunnels, laid in blocks across the track.
            float rd = roof.dist[i] / s;
            float covered = 1 - Smooth(kRoofHalfWidth - 1.f, kRoofHalfWidth + 0.5f, rd);
            if (covered > 0) {
                float bevel = Smooth(0.f, 7.f, kRoofHalfWidth - rd);
                float speck = Fractal(dx / 7.f, dy / 7.f, map.Seed() + 40, 3);
                Rgb stone = Scale(map.roof, 0.82f + 0.3f * speck);
                float band = 1 - Smooth(1.f, 2.5f, std::fabs(rd - (kRoofHalfWidth - 9.f)));
                stone = Mix(stone, Scale(map.roof, 0.55f), band * 0.6f);
                // Blocks across the track, joints every few ball widths.
                float along = roof.along[i];
                float local = std::fmod(along + 1000.f, 26.f);
                float joint = (1 - Smooth(0.6f, 1.8f, std::min(local, 26.f - local))) * bevel;
                uint32_t block = Hash(int(std::floor((along + 1000.f) / 26.f)), roof.tag[i], map.Seed());
                stone = Scale(stone, 0.9f + 0.2f * Unit(block));
                stone = Mix(stone, Scale(map.roof, 0.45f), joint * 0.7f);
                float rH = 0.75f + 0.3f * bevel - 0.08f * band - 0.1f * joint;
                // The mouths: where the roof's round end meets the groove it swallows, a dark arch.
                const RoofRun& run = runs[size_t(roof.tag[i])];
                if (along <= run.from + 2.f || along >= run.to - 2.f) {
                    float arch = (1 - Smooth(kGrooveRadius - 4.f, kGrooveRadius, og)) * Smooth(kRoofHalfWidth - 10.f, kRoofHalfWidth - 2.f, rd);
                    stone = Mix(stone, Scale(map.dark, 0.18f), arch);
                    rH -= 0.6f * arch;
                }
                H = H + (rH - H) * covered;
                a = Mix(a, stone, covered);
                e = Scale(e, 1 - covered);
                // A bridge: open track crossing over the roof keeps its groove.
                float bg = over.dist[i] / s;
                float bin = (1 - Smooth(kGrooveRadius - 2.5f, kGrooveRadius + 0.5f, bg)) * covered;
                if (bin > 0) {
                    float bf = 0.3f + 0.35f * (bg / kGrooveRadius) * (bg / kGrooveRadius);
                    H = H + (bf - H) * bin;
                    a = Mix(a, Scale(map.roof, 0.42f), bin);
                }
            } else {
                // The roof's shadow on the ground.
                float sd = roof.At(int(float(x) - shadowX), int(float(y) - shadowY)) / s;
                shade[i] *= 1 - 0.4f * (1 - Smooth(kRoofHalfWidth - 3.f, kRoofHalfWidth + 3.f, sd));
            }
            height[i] = H;
            albedo[i] = a;
            glow[i] = e;
        }

    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;
    const float relief = 10.f;  // design units of one unit of height
    out.picture.width = w;
    out.picture.height = h;
    out.picture.rgb.resize(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * size_t(w) + size_t(x);
            auto H = [&](int xx, int yy) {
                xx = std::clamp(xx, 0, w - 1);
                yy = std::clamp(yy, 0, h - 1);
                return height[size_t(yy) * size_t(w) + size_t(xx)];
            };
            float gx = (H(x + 1, y) - H(x - 1, y)) * relief * s / 2, gy = (H(x, y + 1) - H(x, y - 1)) * relief * s / 2;
            float len = std::sqrt(gx * gx + gy * gy + 1);
            float lit = (-gx * lx - gy * ly + lz) / len / lz;
            float light = std::clamp(0.3f + 0.7f * lit, 0.15f, 1.6f) * shade[i];
            float u = (float(x) + 0.5f) / float(w) - 0.5f, v = (float(y) + 0.5f) / float(h) - 0.5f;
            light *= 1 - 0.35f * (u * u + v * v);
            uint8_t* p = &out.picture.rgb[i * 3];
            p[0] = Byte(albedo[i].r * light + glow[i].r);
            p[1] = Byte(albedo[i].g * light + glow[i].g);
            p[2] = Byte(albedo[i].b * light + glow[i].b);
        }

    if (!overlays)
        return out;
    // Each roof goes to the overlay whose rectangle loses the least of it (ties: the nearer corner).
    const int scaleRaw = int(std::lround(s * 256));
    const int baseX = int(std::lround(view.offsetX)), baseY = int(std::lround(view.offsetY));
    std::vector<std::pair<int, int>> corners, ends;
    for (const OverlaySpot& o : map.overlays) {
        corners.push_back({OverlayCorner(o.x, scaleRaw, baseX), OverlayCorner(o.y, scaleRaw, baseY)});
        // The far corner of the overlay's rectangle when the track's source gives one.
        ends.push_back({o.width ? int(std::ceil(float(o.x + o.width) * s + view.offsetX)) : w,
                        o.height ? int(std::ceil(float(o.y + o.height) * s + view.offsetY)) : h});
    }
    // A roof's pixels outside each overlay's rectangle. What lies above or left of the corner the
    // mask cannot hold; the data tests check that no tunnelled ball shows there.
    std::vector<std::vector<long>> lost(runs.size(), std::vector<long>(corners.size(), 0));
    std::vector<long> area(runs.size(), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * size_t(w) + size_t(x);
            if (roof.tag[i] < 0 || roof.dist[i] / s > kRoofHalfWidth)
                continue;
            ++area[size_t(roof.tag[i])];
            for (size_t o = 0; o < corners.size(); ++o)
                if (x < corners[o].first || y < corners[o].second || x >= ends[o].first || y >= ends[o].second)
                    ++lost[size_t(roof.tag[i])][o];
        }
    std::vector<int> owner(runs.size(), -1);
    for (size_t r = 0; r < runs.size(); ++r) {
        if (!area[r] || corners.empty())
            continue;
        size_t best = 0;
        for (size_t o = 1; o < corners.size(); ++o) {
            long a = lost[r][o], b = lost[r][best];
            if (a < b || (a == b && corners[o].first + corners[o].second > corners[best].first + corners[best].second))
                best = o;
        }
        owner[r] = int(best);
    }
    for (size_t o = 0; o < corners.size(); ++o) {
        OverlayMask mask;
        mask.image = map.overlays[o].image;
        mask.x = corners[o].first;
        mask.y = corners[o].second;
        int right = mask.x, bottom = mask.y;
        for (int y = std::max(0, mask.y); y < h; ++y)
            for (int x = std::max(0, mask.x); x < w; ++x) {
                size_t i = size_t(y) * size_t(w) + size_t(x);
                if (roof.tag[i] >= 0 && owner[size_t(roof.tag[i])] == int(o) && roof.dist[i] / s < kRoofHalfWidth + 0.5f) {
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
            }
        if (right == mask.x || bottom == mask.y) {
            out.warnings.push_back(map.art + ": overlay " + mask.image + " covers no tunnel");
            right = std::min(w, mask.x + 8);
            bottom = std::min(h, mask.y + 8);
        }
        mask.width = std::max(1, right - mask.x);
        mask.height = std::max(1, bottom - mask.y);
        mask.alpha.assign(size_t(mask.width) * size_t(mask.height), 0);
        for (int y = 0; y < mask.height; ++y)
            for (int x = 0; x < mask.width; ++x) {
                int sx = mask.x + x, sy = mask.y + y;
                if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                    continue;
                size_t i = size_t(sy) * size_t(w) + size_t(sx);
                if (roof.tag[i] < 0 || owner[size_t(roof.tag[i])] != int(o))
                    continue;
                float rd = roof.dist[i] / s;
                mask.alpha[size_t(y) * size_t(mask.width) + size_t(x)] =
                    Byte(1 - Smooth(kRoofHalfWidth - 1.f, kRoofHalfWidth + 0.5f, rd));
            }
        out.overlays.push_back(std::move(mask));
    }
    return out;
}

Picture Halve(const Picture& p)
{
    Picture out;
    out.width = p.width / 2;
    out.height = p.height / 2;
    out.rgb.resize(size_t(out.width) * size_t(out.height) * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int xx, int yy) { return int(p.rgb[(size_t(yy) * size_t(p.width) + size_t(xx)) * 3 + size_t(c)]); };
                int sum = at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1);
                out.rgb[(size_t(y) * size_t(out.width) + size_t(x)) * 3 + size_t(c)] = uint8_t((sum + 2) / 4);
            }
    return out;
}

}  // namespace mapart
