// Megapixels per second of the drawing routines on an 800x480 target. For the region blits, the
// blended fill and the bilinear turned draws, argument 0 (the last one where there are two) runs the
// scalar reference and 1 the fast path.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#if defined(KELO_PEER_PIXMAN)
#include <pixman.h>
#endif

#include "engine/graphics/blend_rows.h"
#include "engine/graphics/fill_lines.h"
#include "engine/graphics/rotated_draw.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "thread_clock.h"

namespace {

constexpr int kWidth = 800, kHeight = 480;

// How a test picture's alpha plane is laid out.
enum class AlphaPlane {
    // A quarter 0, a quarter 255 and half random, in 32-pixel blocks: long runs a fast path may
    // skip or copy.
    Blocks,
    // Every pixel between 1 and 254, as the soft edges and glows of antialiased sprites have.
    EveryPixel,
};

std::unique_ptr<Surface> MixedPicture(int w, int h, unsigned seed, AlphaPlane plane = AlphaPlane::Blocks)
{
    auto s = std::make_unique<Surface>(nullptr);
    s->Create(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * w + x;
            s->GetPixels()[i] = uint16_t(rng());
            uint8_t& alpha = s->GetAlpha()[i];
            if (plane == AlphaPlane::EveryPixel) {
                alpha = uint8_t(1 + rng() % 254);
                continue;
            }
            int kind = (x / 32 + y / 32) % 4;
            alpha = kind == 0 ? 0 : kind == 1 ? 255 : uint8_t(rng());
        }
    return s;
}

std::unique_ptr<Surface> Target()
{
    auto s = std::make_unique<Surface>(nullptr);
    s->Create(kWidth, kHeight);
    s->FreeAlpha();
    s->Clear(40, 80, 120);
    return s;
}

void SetRate(benchmark::State& state, double pixels)
{
    state.counters["Mpx/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

struct Mode {
    explicit Mode(benchmark::State& state, int argument = 0)
    {
        bool fast = state.range(argument) == 1;
        blend_rows::SetFastPathsEnabled(fast);
        rotated_draw::SetFastPathsEnabled(fast);
    }
    ~Mode()
    {
        blend_rows::SetFastPathsEnabled(true);
        rotated_draw::SetFastPathsEnabled(true);
    }
};

void BlitAlpha(benchmark::State& state, AlphaPlane plane)
{
    Mode mode(state);
    auto source = MixedPicture(kWidth, kHeight, 1, plane);
    auto target = Target();
    for (auto _ : state) {
        source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    SetRate(state, kWidth * kHeight);
}

void BM_BlitRegionAlpha(benchmark::State& state)
{
    BlitAlpha(state, AlphaPlane::Blocks);
}

void BM_BlitRegionAlphaEveryPixel(benchmark::State& state)
{
    BlitAlpha(state, AlphaPlane::EveryPixel);
}

void BM_BlitRegionAlphaOffset(benchmark::State& state)
{
    Mode mode(state);
    auto source = MixedPicture(kWidth, kHeight, 2);
    auto target = Target();
    for (auto _ : state) {
        source->BlitRegion(target.get(), -3, 5, 0, 0, 7, 0, -64);
        benchmark::ClobberMemory();
    }
    SetRate(state, (kWidth - 10) * (kHeight - 5));
}

void BM_BlitRegionOpaqueFaded(benchmark::State& state)
{
    Mode mode(state);
    auto source = MixedPicture(kWidth, kHeight, 3);
    source->FreeAlpha();
    auto target = Target();
    for (auto _ : state) {
        source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, -100);
        benchmark::ClobberMemory();
    }
    SetRate(state, kWidth * kHeight);
}

void BM_BlitRegionAdditive(benchmark::State& state)
{
    Mode mode(state);
    auto source = MixedPicture(kWidth, kHeight, 4);
    auto target = Target();
    for (auto _ : state) {
        source->BlitRegionAdditive(target.get(), 0, 0, 0, 0, 0, 0, -20);
        benchmark::ClobberMemory();
        // A fresh screen for every pass, so the sums never saturate; its clearing is not timed.
        state.PauseTiming();
        target->Clear(40, 80, 120);
        state.ResumeTiming();
    }
    SetRate(state, kWidth * kHeight);
}

void BM_BlitRegionTinted(benchmark::State& state)
{
    Mode mode(state);
    auto source = MixedPicture(kWidth, kHeight, 5);
    auto target = Target();
    for (auto _ : state) {
        source->BlitRegionTinted(target.get(), 255, 160, 64, 0, 0, 0, 0, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    SetRate(state, kWidth * kHeight);
}

void BM_FillRectRotatedBlend(benchmark::State& state)
{
    Mode mode(state);
    auto target = Target();
    for (auto _ : state) {
        FillRectRotatedBlend(nullptr, target.get(), 0, 0, kWidth, kHeight, 0, 0, 0, 128);
        target->Clear(40, 80, 120);
        benchmark::ClobberMemory();
    }
    SetRate(state, kWidth * kHeight);
}

void BM_FullScreenCopy(benchmark::State& state)
{
    auto source = MixedPicture(kWidth, kHeight, 6);
    source->FreeAlpha();
    auto target = Target();
    for (auto _ : state) {
        source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    SetRate(state, kWidth * kHeight);
}

void BM_FullScreenClear(benchmark::State& state)
{
    auto target = Target();
    for (auto _ : state) {
        target->Clear(1, 2, 3);
        benchmark::ClobberMemory();
    }
    SetRate(state, kWidth * kHeight);
}

// One 256x256 picture turned by 30 degrees in the draw mode of argument 0.
void BM_DrawRotated(benchmark::State& state)
{
    Mode mode(state, 1);
    TrigTable table(nullptr, 5760);
    table.Build();
    table.SetDrawMode(int(state.range(0)));
    auto source = MixedPicture(256, 256, 7);
    auto target = Target();
    for (auto _ : state) {
        table.DrawRotated(source.get(), target.get(), Fixed::FromInt(400), Fixed::FromInt(240), 30 * 256,
                          Fixed16::Raw(65536));
        benchmark::ClobberMemory();
    }
    SetRate(state, 256 * 256);
}

// The bilinear variants on the same picture, turned by 30 degrees and scaled by 1.25, with or
// without its plane; the rate counts the source's pixels.
template <class Draw>
void TurnedVariant(benchmark::State& state, bool plane, Draw draw)
{
    Mode mode(state);
    TrigTable table(nullptr, 5760);
    table.Build();
    auto source = MixedPicture(256, 256, 9);
    if (!plane)
        source->FreeAlpha();
    auto target = Target();
    for (auto _ : state) {
        draw(table, source.get(), target.get(), Fixed::FromInt(400), Fixed::FromInt(240), 30 * 256,
             Fixed16::Raw(81920));
        benchmark::ClobberMemory();
    }
    SetRate(state, 256 * 256);
}

void BM_DrawRotatedOpaque(benchmark::State& state)
{
    TurnedVariant(state, false, [](TrigTable& t, Surface* s, Surface* d, Fixed x, Fixed y, int a, Fixed16 k) {
        t.DrawRotated(s, d, x, y, a, k);
    });
}

void BM_DrawRotatedAlpha(benchmark::State& state)
{
    TurnedVariant(state, true, [](TrigTable& t, Surface* s, Surface* d, Fixed x, Fixed y, int a, Fixed16 k) {
        t.DrawRotatedAlpha(s, d, x, y, a, k, -100);
    });
}

void BM_DrawRotatedPivot(benchmark::State& state)
{
    TurnedVariant(state, true, [](TrigTable& t, Surface* s, Surface* d, Fixed x, Fixed y, int a, Fixed16 k) {
        t.DrawRotatedPivot(s, d, x, y, a, Fixed::FromInt(40), Fixed::FromInt(200), k, 0);
    });
}

void BM_DrawRotatedTinted(benchmark::State& state)
{
    TurnedVariant(state, true, [](TrigTable& t, Surface* s, Surface* d, Fixed x, Fixed y, int a, Fixed16 k) {
        t.DrawRotatedTinted(s, d, x, y, a, k, 255, 160, 64, -30);
    });
}

void BM_DrawRotatedAdditive(benchmark::State& state)
{
    TurnedVariant(state, true, [](TrigTable& t, Surface* s, Surface* d, Fixed x, Fixed y, int a, Fixed16 k) {
        t.DrawRotatedAdditive(s, d, x, y, a, k, 0, 0, 0, -20);
    });
}

void BM_DrawRotatedAdditiveOpaque(benchmark::State& state)
{
    TurnedVariant(state, false, [](TrigTable& t, Surface* s, Surface* d, Fixed x, Fixed y, int a, Fixed16 k) {
        t.DrawRotatedAdditive(s, d, x, y, a, k, 0, 0, 0, -20);
    });
}

// 100 round 32x32 balls at seeded positions and angles, as the board draws them.
void BM_RotatedBalls(benchmark::State& state)
{
    Mode mode(state, 1);
    TrigTable table(nullptr, 5760);
    table.Build();
    table.SetDrawMode(int(state.range(0)));
    table.SetTightBounds(true);
    auto ball = std::make_unique<Surface>(nullptr);
    ball->Create(32, 32);
    std::mt19937 rng(8);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int dx = 2 * x - 31, dy = 2 * y - 31, r2 = dx * dx + dy * dy;
            ball->GetPixels()[y * 32 + x] = uint16_t(rng());
            ball->GetAlpha()[y * 32 + x] = r2 < 900 ? 255 : r2 < 1024 ? uint8_t(1024 - r2) : 0;
        }
    struct Place {
        int x, y, angle;
    } places[100];
    for (Place& p : places)
        p = {int(rng() % (kWidth * 256)), int(rng() % (kHeight * 256)), int(rng() % kFullTurn)};
    auto target = Target();
    for (auto _ : state) {
        for (const Place& p : places)
            table.DrawRotated(ball.get(), target.get(), Fixed::Raw(p.x), Fixed::Raw(p.y), p.angle, Fixed16::Raw(65536));
        benchmark::ClobberMemory();
    }
    SetRate(state, 100 * 32 * 32);
}

#if defined(KELO_PEER_PIXMAN)
// The full-screen 5:6:5 picture with its alpha plane over a 5:6:5 target, against pixman's OVER of
// the same picture through the same plane (r5g6b5 source, a8 mask, r5g6b5 target) on the same
// buffers, both timed in thread CPU time in the same loop. The first argument is the plane (0
// blocks, 1 every pixel); the second what draws ours: 0 the surface's own blit (the kernels the
// game runs), 1 the SSE2 row kernel, 2 the AVX2 one. The time is ours; times_pixman says how many
// times faster than pixman it is.
void BM_PeerBlitAlphaPixman(benchmark::State& state)
{
    const AlphaPlane plane = state.range(0) == 1 ? AlphaPlane::EveryPixel : AlphaPlane::Blocks;
    const blend_rows::Kernels* table = state.range(1) == 1   ? blend_rows::Sse2Kernels()
                                       : state.range(1) == 2 ? blend_rows::Avx2Kernels()
                                                             : nullptr;
    if (state.range(1) != 0 && !table) {
        state.SkipWithError("no such kernel on this build or processor");
        return;
    }
    auto source = MixedPicture(kWidth, kHeight, 1, plane);
    auto target = Target();
    const int stride = kWidth * 2;
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_r5g6b5, kWidth, kHeight,
                                                   reinterpret_cast<uint32_t*>(source->GetPixels()), stride);
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, kWidth, kHeight,
                                                    reinterpret_cast<uint32_t*>(source->GetAlpha()), kWidth);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_r5g6b5, kWidth, kHeight,
                                                   reinterpret_cast<uint32_t*>(target->GetPixels()), stride);
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        double t0 = ThreadSeconds();
        if (table) {
            for (int y = 0; y < kHeight; ++y)
                table->alpha(target->GetPixels() + y * kWidth, source->GetPixels() + y * kWidth,
                             source->GetAlpha() + y * kWidth, kWidth);
        } else {
            source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, 0);
        }
        benchmark::ClobberMemory();
        double t1 = ThreadSeconds();
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
        double t2 = ThreadSeconds();
        ours += t1 - t0;
        theirs += t2 - t1;
        state.SetIterationTime(t1 - t0);
    }
    pixman_image_unref(src);
    pixman_image_unref(mask);
    pixman_image_unref(dst);
    const double pixels = double(kWidth) * kHeight * double(state.iterations());
    state.counters["Mpx/s"] = ours > 0 ? pixels / ours / 1e6 : 0;
    state.counters["pixman_Mpx/s"] = theirs > 0 ? pixels / theirs / 1e6 : 0;
    state.counters["times_pixman"] = ours > 0 ? theirs / ours : 0;
}
#endif

}  // namespace

BENCHMARK(BM_BlitRegionAlpha)->Arg(0)->Arg(1);
BENCHMARK(BM_BlitRegionAlphaEveryPixel)->Arg(0)->Arg(1);
BENCHMARK(BM_BlitRegionAlphaOffset)->Arg(0)->Arg(1);
BENCHMARK(BM_BlitRegionOpaqueFaded)->Arg(0)->Arg(1);
BENCHMARK(BM_BlitRegionAdditive)->Arg(0)->Arg(1);
BENCHMARK(BM_BlitRegionTinted)->Arg(0)->Arg(1);
BENCHMARK(BM_FillRectRotatedBlend)->Arg(0)->Arg(1);
BENCHMARK(BM_FullScreenCopy);
BENCHMARK(BM_FullScreenClear);
// The first argument is the draw mode: 2 bilinear, 1 fast filtered, 0 fast nearest.
BENCHMARK(BM_DrawRotated)->Args({2, 0})->Args({2, 1})->Args({1, 1})->Args({0, 1});
BENCHMARK(BM_DrawRotatedOpaque)->Arg(0)->Arg(1);
BENCHMARK(BM_DrawRotatedAlpha)->Arg(0)->Arg(1);
BENCHMARK(BM_DrawRotatedPivot)->Arg(0)->Arg(1);
BENCHMARK(BM_DrawRotatedTinted)->Arg(0)->Arg(1);
BENCHMARK(BM_DrawRotatedAdditive)->Arg(0)->Arg(1);
BENCHMARK(BM_DrawRotatedAdditiveOpaque)->Arg(0)->Arg(1);
BENCHMARK(BM_RotatedBalls)->Args({2, 0})->Args({2, 1})->Args({1, 1})->Args({0, 1});
#if defined(KELO_PEER_PIXMAN)
BENCHMARK(BM_PeerBlitAlphaPixman)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
#endif
