#include "game/app/game_helpers.h"

#include <cstdio>
#include <cstdlib>

#include "engine/graphics/surface.h"
#include "game/play/game_hud.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/tables/progression.h"

String FormatWithCommas(int n)
{
    char digits[16];
    // The sign stays in front of the grouped digits.
    long long value = n;
    bool negative = value < 0;
    snprintf(digits, sizeof digits, "%lld", negative ? -value : value);
    char out[32];
    int length = 0;
    int count = 0;
    for (int i = 0; digits[i]; ++i)
        ++count;
    char reversed[32];
    int taken = 0;
    for (int i = count - 1; i >= 0; --i) {
        reversed[length++] = digits[i];
        if (++taken % 3 == 0 && i > 0)
            reversed[length++] = ',';
    }
    int o = 0;
    if (negative)
        out[o++] = '-';
    while (length > 0)
        out[o++] = reversed[--length];
    out[o] = 0;
    return String(out);
}

void FormatTime(String& out, int seconds)
{
    if (seconds < 60)
        out.Format("00:%02d", seconds);
    else if (seconds < 3600)
        out.Format("%02d:%02d", seconds / 60, seconds % 60);
    else
        out.Format("%02d:%02d:%02d", seconds / 3600, (seconds / 60) % 60, seconds % 60);
}

bool ClipRectTo(const Rect& rect, const Rect& clip, Rect& out)
{
    out = rect;
    bool changed = false;
    if (out.x < clip.x) {
        out.x = clip.x;
        changed = true;
    }
    if (out.y < clip.y) {
        out.y = clip.y;
        changed = true;
    }
    if (out.x + out.w > clip.x + clip.w) {
        out.w = clip.x + clip.w - out.x;
        changed = true;
    }
    if (out.y + out.h > clip.y + clip.h) {
        out.h = clip.y + clip.h - out.y;
        changed = true;
    }
    return changed;
}

namespace {

void BlitClipped(SurfaceBase* destination, Surface* source, int x, int y, int w, int h, int srcX, int srcY,
                 int alphaOffset, const Rect& clip, bool additive)
{
    if (!destination || !source)
        return;
    if (w == 0)
        w = source->GetWidth();
    if (h == 0)
        h = source->GetHeight();
    Rect out;
    if (ClipRectTo(Rect{x, y, w, h}, clip, out)) {
        int dx = out.x - x, dy = out.y - y;
        w = w - dx < out.w ? w - dx : out.w;
        h = h - dy < out.h ? h - dy : out.h;
        // A region clipped away entirely, or shifted past the source position, draws nothing.
        if (w <= 0 || h <= 0)
            return;
        x = out.x;
        y = out.y;
        srcX += dx;
        srcY += dy;
    }
    if (additive)
        source->BlitRegionAdditive(destination, x, y, w, h, srcX, srcY, alphaOffset);
    else
        source->BlitRegion(destination, x, y, w, h, srcX, srcY, alphaOffset);
}

}  // namespace

void BlitRegionClipped(SurfaceBase* destination, Surface* source, int x, int y, int w, int h, int srcX, int srcY,
                       int alphaOffset, const Rect& clip)
{
    BlitClipped(destination, source, x, y, w, h, srcX, srcY, alphaOffset, clip, false);
}

void BlitRegionAdditiveClipped(SurfaceBase* destination, Surface* source, int x, int y, int w, int h, int srcX,
                               int srcY, int alphaOffset, const Rect& clip)
{
    BlitClipped(destination, source, x, y, w, h, srcX, srcY, alphaOffset, clip, true);
}

void ToSurfaceCoords(const SurfaceBase* surface, int& x, int& y)
{
    int orientation = surface->GetOrientation();
    int px = x, py = y;
    if (orientation == 1) {
        x = py;
        y = surface->GetRawHeight() - px - 1;
    } else if (orientation == 2) {
        x = surface->GetRawWidth() - py - 1;
        y = px;
    }
}

namespace {

// One side of the triangle, walked a row at a time with integer steps (Bresenham's error term).
struct TriangleEdge {
    int direction;  // -1 left edge, +1 right edge
    int vertex = 0;  // where the current segment ends
    int x = 0, step = 0, remainder = 0, error = 0, sign = 1, dy = 1, rows = 0;
};

// Starts the edge's next segment that spans rows; false when the bottom vertex is reached first.
bool NextSegment(TriangleEdge& edge, const int* xs, const int* ys, int from, int bottom)
{
    for (;;) {
        if (from == bottom)
            return false;
        int to = (from + edge.direction + 3) % 3;
        int rows = ys[to] - ys[from];
        if (rows > 0) {
            int dx = xs[to] - xs[from];
            int magnitude = dx < 0 ? -dx : dx;
            edge.vertex = to;
            edge.rows = rows;
            edge.dy = rows;
            edge.x = xs[from];
            edge.remainder = magnitude % rows;
            if (dx >= 0) {
                edge.sign = 1;
                edge.step = magnitude / rows;
                edge.error = 0;
            } else {
                edge.sign = -1;
                edge.step = -(magnitude / rows);
                edge.error = 1 - rows;
            }
            return true;
        }
        from = to;
    }
}

// One row down; false when the edge has reached the bottom vertex.
bool StepEdge(TriangleEdge& edge, const int* xs, const int* ys, int bottom)
{
    if (--edge.rows > 0) {
        edge.x += edge.step;
        edge.error += edge.remainder;
        if (edge.error > 0) {
            edge.x += edge.sign;
            edge.error -= edge.dy;
        }
        return true;
    }
    return NextSegment(edge, xs, ys, edge.vertex, bottom);
}

}  // namespace

void FillTriangleBlended(SurfaceBase* surface, const FixedVec2& p1, const FixedVec2& p2, const FixedVec2& p3, int r,
                         int g, int b, int alpha)
{
    int a = alpha + 255;
    if (a > 255)
        a = 255;
    if (a <= 0 || !surface || !surface->GetPixels())
        return;
    int xs[3] = {p1.x.raw >> 8, p2.x.raw >> 8, p3.x.raw >> 8};
    int ys[3] = {p1.y.raw >> 8, p2.y.raw >> 8, p3.y.raw >> 8};
    for (int i = 0; i < 3; ++i)
        ToSurfaceCoords(surface, xs[i], ys[i]);
    uint32_t colour = static_cast<uint32_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    int top = 0, bottom = 0;
    for (int i = 1; i < 3; ++i) {
        if (ys[i] < ys[top])
            top = i;
        if (ys[i] > ys[bottom])
            bottom = i;
    }
    if (ys[top] == ys[bottom])
        return;
    int width = surface->GetRawWidth(), height = surface->GetRawHeight();
    TriangleEdge left{-1}, right{+1};
    if (!NextSegment(left, xs, ys, top, bottom) || !NextSegment(right, xs, ys, top, bottom))
        return;
    uint32_t colourRb = ((colour & 0xF800) << 5) | (colour & 0x1F);
    uint16_t* pixels = surface->GetPixels();
    for (int y = ys[top]; y < height; ++y) {
        if (y >= 0) {
            int from = left.x < 0 ? 0 : left.x;
            int to = right.x > width ? width : right.x;
            uint16_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
            for (int x = from; x < to; ++x) {
                uint32_t old = row[x];
                uint32_t oldRb = ((old & 0xF800) << 5) | (old & 0x1F);
                uint32_t rb = ((oldRb * static_cast<uint32_t>(256 - a) + colourRb * static_cast<uint32_t>(a)) >> 8) &
                              0x1F001F;
                row[x] = static_cast<uint16_t>(((rb >> 5) & 0xF800) | (colour & 0x07E0) | (rb & 0x1F));
            }
        }
        if (!StepEdge(left, xs, ys, bottom) || !StepEdge(right, xs, ys, bottom))
            return;
    }
}

void DeleteGameHud(GameHud*& hud)
{
    delete hud;
    hud = nullptr;
}

PlayerRecord* CurrentPlayerOf(GameApp* app)
{
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    return profiles ? profiles->CurrentPlayer() : nullptr;
}

ModeProgress* CurrentProgressOf(GameApp* app)
{
    PlayerRecord* player = CurrentPlayerOf(app);
    return player ? player->CurrentModeProgress() : nullptr;
}

int32_t WonLivesBonus(GameApp* app)
{
    PlayerRecord* player = CurrentPlayerOf(app);
    if (!player || player->mode != 0 || player->progress[0].stage <= kAdventureStageCount)
        return 0;
    // Lives are taken as saved: the bonus is held to the int range.
    return SaturatedAdd(0, static_cast<int64_t>(player->progress[0].lives) * kLivesBonusEach);
}
