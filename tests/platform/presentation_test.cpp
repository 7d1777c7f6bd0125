#include <gtest/gtest.h>
#include <SDL_keycode.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/handheld_internal.h"
#include "platform/keys.h"
#include "platform/sdl/picture_fit.h"
#include "platform/sdl/pixel_rows.h"
#include "platform/sdl/pixel_rows_way.h"

using sdlbackend::FitPicture;
using sdlbackend::PictureRect;

namespace {

struct WindowCase {
    int width, height;            // the handheld's screen
    int onLarge[2], onSmall[2];   // the window on a 1024x768 and on an 800x600 desktop
};

// Worked by hand: the largest whole multiple that fits, else the tighter side filled and the other
// rounded to keep the aspect (480x800 on 768 rows: 480 * 768 / 800 = 460.8 -> 461).
const WindowCase kWindows[] = {
    {800, 480, {800, 480}, {800, 480}}, {480, 800, {461, 768}, {360, 600}},
    {640, 480, {640, 480}, {640, 480}}, {480, 640, {480, 640}, {450, 600}},
    {320, 320, {640, 640}, {320, 320}}, {400, 240, {800, 480}, {800, 480}},
    {240, 400, {240, 400}, {240, 400}}, {320, 240, {960, 720}, {640, 480}},
    {240, 320, {480, 640}, {240, 320}}, {240, 240, {720, 720}, {480, 480}},
};

TEST(WindowFit, EveryScreenOnTwoDesktops)
{
    for (const WindowCase& c : kWindows) {
        std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
        PictureRect large = FitPicture(0, 0, 1024, 768, c.width, c.height);
        EXPECT_EQ(large.w, c.onLarge[0]) << name;
        EXPECT_EQ(large.h, c.onLarge[1]) << name;
        EXPECT_EQ(large.x, (1024 - large.w) / 2) << name;
        EXPECT_EQ(large.y, (768 - large.h) / 2) << name;
        PictureRect small = FitPicture(0, 0, 800, 600, c.width, c.height);
        EXPECT_EQ(small.w, c.onSmall[0]) << name;
        EXPECT_EQ(small.h, c.onSmall[1]) << name;
        EXPECT_GE(small.x, 0) << name;
        EXPECT_GE(small.y, 0) << name;
    }
}

TEST(WindowFit, StaysInsideTheUsableArea)
{
    // A desktop of 1024x768 with a 27-row panel at the top: 480 * 741 / 800 = 444.6 -> 445 wide.
    PictureRect tall = FitPicture(0, 27, 1024, 741, 480, 800);
    EXPECT_EQ(tall.w, 445);
    EXPECT_EQ(tall.h, 741);
    EXPECT_EQ(tall.x, 289);
    EXPECT_EQ(tall.y, 27);
    // The second monitor to the left of the first, with negative coordinates.
    PictureRect left = FitPicture(-1280, 0, 1280, 1024, 800, 480);
    EXPECT_EQ(left.w, 800);
    EXPECT_EQ(left.x, -1280 + 240);
    // Twice 400x240 would need 480 rows of the 450 there are: once, centred.
    PictureRect wide = FitPicture(0, 0, 800, 450, 400, 240);
    EXPECT_EQ(wide.w, 400);
    EXPECT_EQ(wide.h, 240);
    // Narrower than the picture: the width fills, 480 * 300 / 800 = 180 rows.
    PictureRect narrow = FitPicture(10, 20, 300, 1000, 800, 480);
    EXPECT_EQ(narrow.w, 300);
    EXPECT_EQ(narrow.h, 180);
    EXPECT_EQ(narrow.x, 10);
    EXPECT_EQ(narrow.y, 20 + 410);
    PictureRect none = FitPicture(0, 0, 0, 600, 800, 480);
    EXPECT_EQ(none.w, 0) << "an empty area holds no picture";
}

TEST(WindowFit, StylusMapsBackToDevicePixels)
{
    int x = -1, y = -1;
    // 3x: window pixels 3i..3i+2 are device pixel i.
    PictureRect triple = FitPicture(0, 0, 1024, 768, 320, 240);
    ASSERT_EQ(triple.x, 32);
    sdlbackend::MapToDevice(triple, 320, 240, 32, 24, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    sdlbackend::MapToDevice(triple, 320, 240, 32 + 3 * 7 + 2, 24 + 3 * 5, &x, &y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 5);
    sdlbackend::MapToDevice(triple, 320, 240, 32 + 959, 24 + 719, &x, &y);
    EXPECT_EQ(x, 319);
    EXPECT_EQ(y, 239);

    // Shrunk 480x800 in 461x768 (0.96): the picture's first and last pixels reach the screen's;
    // window column 230 is device column 230.5 x 480 / 461 = 240 exactly, and window row 384 is
    // device row 384.5 / 0.96 = 400.5 -> 400.
    PictureRect shrunk = FitPicture(0, 0, 461, 768, 480, 800);
    ASSERT_EQ(shrunk.w, 461);
    sdlbackend::MapToDevice(shrunk, 480, 800, 0, 0, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    sdlbackend::MapToDevice(shrunk, 480, 800, 460, 767, &x, &y);
    EXPECT_EQ(x, 479);
    EXPECT_EQ(y, 799);
    sdlbackend::MapToDevice(shrunk, 480, 800, 230, 384, &x, &y);
    EXPECT_EQ(x, 240);
    EXPECT_EQ(y, 400);
    int last = -1;
    for (int wy = 0; wy < 768; ++wy) {
        sdlbackend::MapToDevice(shrunk, 480, 800, 0, wy, &x, &y);
        EXPECT_GE(y, last) << "rows map in order";
        EXPECT_LE(y - last, 2) << "no device row is skipped by more than the scale allows";
        last = y;
    }

    // Points in the black bars stay on the screen's edge.
    sdlbackend::MapToDevice(triple, 320, 240, 5, 760, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 239);
}

// A full screen takes the largest scale that keeps the shape; only an exact multiple counts as whole.
TEST(WindowFit, FullScreenFillsTheTighterSide)
{
    PictureRect wide = sdlbackend::FillPicture(0, 0, 1280, 800, 800, 480);
    EXPECT_EQ(wide.w, 1280);
    EXPECT_EQ(wide.h, 768) << "1.6 times, not once in a black frame";
    EXPECT_EQ(wide.y, 16);
    EXPECT_EQ(sdlbackend::WholeScale(wide, 800, 480), 0);
    // 800 * 1000 / 480 = 1666.7 -> 1667 columns, centred.
    PictureRect tall = sdlbackend::FillPicture(0, 0, 1700, 1000, 800, 480);
    EXPECT_EQ(tall.w, 1667);
    EXPECT_EQ(tall.h, 1000);
    EXPECT_EQ(tall.x, 16);
    PictureRect twice = sdlbackend::FillPicture(0, 0, 1280, 1024, 640, 480);
    EXPECT_EQ(twice.w, 1280);
    EXPECT_EQ(twice.h, 960);
    EXPECT_EQ(sdlbackend::WholeScale(twice, 640, 480), 2);
    EXPECT_EQ(sdlbackend::WholeScale(FitPicture(0, 0, 1024, 768, 320, 240), 320, 240), 3);
    EXPECT_EQ(sdlbackend::WholeScale(FitPicture(0, 0, 461, 768, 480, 800), 480, 800), 0);
    // The stylus at 1.6: window column 640 shows device column 640.5 / 1.6 = 400.3 -> 400.
    int x = -1, y = -1;
    sdlbackend::MapToDevice(wide, 800, 480, 640, 16 + 384, &x, &y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 240);
    sdlbackend::MapToDevice(wide, 800, 480, 1279, 16 + 767, &x, &y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 479);
}

TEST(VideoDriver, GpuOnlyWhereARenderNodeIs)
{
    char folder[] = "/tmp/kelo_dri_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string card = std::string(folder) + "/card0", node = std::string(folder) + "/renderD128";
    EXPECT_FALSE(sdlbackend::WantsGpuRenderer(folder, nullptr)) << "no device at all";
    fclose(fopen(card.c_str(), "w"));
    EXPECT_FALSE(sdlbackend::WantsGpuRenderer(folder, nullptr)) << "a display card alone renders nothing";
    fclose(fopen(node.c_str(), "w"));
    EXPECT_TRUE(sdlbackend::WantsGpuRenderer(folder, nullptr));
    EXPECT_FALSE(sdlbackend::WantsGpuRenderer(folder, "1")) << "GL asked to run on the processor";
    EXPECT_FALSE(sdlbackend::WantsGpuRenderer("/nonexistent/dri", nullptr));
    unlink(node.c_str());
    unlink(card.c_str());
    rmdir(folder);
}

TEST(VideoDriver, OnlyDriversThatShowSomethingCount)
{
    EXPECT_TRUE(sdlbackend::IsVisibleVideoDriver("x11"));
    EXPECT_TRUE(sdlbackend::IsVisibleVideoDriver("wayland"));
    EXPECT_TRUE(sdlbackend::IsVisibleVideoDriver("KMSDRM"));
    EXPECT_FALSE(sdlbackend::IsVisibleVideoDriver("offscreen"));
    EXPECT_FALSE(sdlbackend::IsVisibleVideoDriver("dummy"));
    EXPECT_FALSE(sdlbackend::IsVisibleVideoDriver("Dummy"));
    EXPECT_FALSE(sdlbackend::IsVisibleVideoDriver("evdev"));
    EXPECT_FALSE(sdlbackend::IsVisibleVideoDriver(""));
    EXPECT_FALSE(sdlbackend::IsVisibleVideoDriver(nullptr));
}

TEST(VideoDriver, OpenGlOnTheProcessorIsPassedOver)
{
    EXPECT_TRUE(sdlbackend::IsEmulatedGl("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(sdlbackend::IsEmulatedGl("Software Rasterizer"));
    EXPECT_TRUE(sdlbackend::IsEmulatedGl("softpipe"));
    EXPECT_FALSE(sdlbackend::IsEmulatedGl("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(sdlbackend::IsEmulatedGl("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
    EXPECT_FALSE(sdlbackend::IsEmulatedGl(nullptr));
}

// A desktop player's Escape backs out as the right soft key does; the handheld's Escape code,
// which the engine ignores, never reaches the program from the keyboard.
TEST(KeyMap, EscapeStandsForTheRightSoftKey)
{
    EXPECT_EQ(sdlbackend::VirtualKeyFromKeycode(SDLK_ESCAPE), VK_F2);
    EXPECT_EQ(sdlbackend::VirtualKeyFromKeycode(SDLK_F2), VK_F2);
    EXPECT_EQ(sdlbackend::VirtualKeyFromKeycode(SDLK_F1), VK_F1);
}

TEST(PixelRows, WidensEachChannelByItsTopBits)
{
    const uint16_t in[] = {0x0000, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410, 0x0821};
    // 0x8410: red 16 -> 128 | 4 = 0x84, green 32 -> 128 | 2 = 0x82, blue 16 -> 0x84.
    // 0x0821: red 1 -> 8 | 0 = 0x08, green 1 -> 4 | 0 = 0x04, blue 1 -> 0x08.
    const uint32_t expected[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x848284, 0x080408};
    uint32_t out[7] = {};
    sdlbackend::Rgb565ToXrgb8888Reference(out, in, 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(out[i], expected[i]) << i;
}

// Rows of every length up to two blocks past a multiple of eight, and a full screen row, filled from
// a seeded generator; the fast path must equal the reference pixel for pixel and leave the words
// past the row alone.
TEST(PixelRows, FastPathEqualsTheReference)
{
    std::mt19937 rng(565);
    std::vector<int> lengths;
    for (int n = 0; n <= 25; ++n)
        lengths.push_back(n);
    lengths.push_back(800);
    lengths.push_back(803);
    for (int n : lengths) {
        for (int offset = 0; offset < 2; ++offset) {
            std::vector<uint16_t> in(static_cast<size_t>(n + offset));
            for (uint16_t& p : in)
                p = static_cast<uint16_t>(rng());
            std::vector<uint32_t> slow(static_cast<size_t>(n) + 1, 0xDEADBEEF), fast(slow);
            sdlbackend::Rgb565ToXrgb8888Reference(slow.data(), in.data() + offset, n);
            sdlbackend::Rgb565ToXrgb8888Fast(fast.data(), in.data() + offset, n);
            uint64_t sumSlow = 0, sumFast = 0;
            for (size_t i = 0; i < slow.size(); ++i) {
                sumSlow = sumSlow * 1000003u + slow[i];
                sumFast = sumFast * 1000003u + fast[i];
            }
            EXPECT_EQ(sumFast, sumSlow) << "length " << n << ", offset " << offset;
            EXPECT_EQ(fast[static_cast<size_t>(n)], 0xDEADBEEFu) << "length " << n;
        }
    }
    // Every 5:6:5 value once.
    std::vector<uint16_t> all(65536);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<uint16_t>(i);
    std::vector<uint32_t> slow(all.size()), fast(all.size());
    sdlbackend::Rgb565ToXrgb8888Reference(slow.data(), all.data(), 65536);
    sdlbackend::Rgb565ToXrgb8888Fast(fast.data(), all.data(), 65536);
    EXPECT_EQ(fast, slow);
}

uint32_t* Aligned16(uint32_t* p)
{
    return p + (16 - reinterpret_cast<uintptr_t>(p) % 16) % 16 / 4;
}

// Each scale of a whole-multiple window, two rows of the frame of lengths around the blocks of
// eight, a padded pitch and one of whole 64-byte lines (as a window's rows are), rows starting at
// each pixel of a 16-byte block: the reference must repeat each converted pixel scale x scale
// times, the fast path must equal it, written through the cache or past it, and neither may write
// past its rows.
TEST(PixelRows, ScaledRowsEqualTheReference)
{
    std::mt19937 rng(2565);
    for (int scale = 1; scale <= 5; ++scale) {
        for (int n : {0, 1, 7, 8, 9, 15, 16, 17, 23, 800, 803}) {
            std::vector<uint16_t> in(2 * static_cast<size_t>(n) + 1);
            for (uint16_t& p : in)
                p = static_cast<uint16_t>(rng());
            std::vector<uint32_t> plain(in.size());
            sdlbackend::Rgb565ToXrgb8888Reference(plain.data(), in.data() + 1, 2 * n);
            for (ptrdiff_t pitch : {ptrdiff_t(n) * scale + 3, (ptrdiff_t(n) * scale + 3 + 16) / 16 * 16}) {
                for (int start = 0; start < 4; ++start) {
                    for (bool pastCache : {false, true}) {
                        const size_t size = static_cast<size_t>(2 * pitch * scale + 4);
                        std::vector<uint32_t> slowBuffer(size + 3, 0xDEADBEEF), fastBuffer(slowBuffer);
                        uint32_t* slow = Aligned16(slowBuffer.data());
                        uint32_t* fast = Aligned16(fastBuffer.data());
                        for (int row = 0; row < 2; ++row)
                            sdlbackend::Rgb565ToXrgb8888ScaledReference(slow + start + row * scale * pitch, pitch,
                                                                        in.data() + 1 + row * n, n, scale);
                        sdlbackend::Rgb565ToXrgb8888ScaledFast(fast + start, pitch, in.data() + 1, n, n, 2, scale,
                                                               pastCache);
                        uint64_t sumSlow = 0, sumFast = 0;
                        int wrong = 0;
                        for (ptrdiff_t i = 0; i < ptrdiff_t(size); ++i) {
                            sumSlow = sumSlow * 1000003u + slow[i];
                            sumFast = sumFast * 1000003u + fast[i];
                            ptrdiff_t column = (i - start) % pitch, row = (i - start) / pitch / scale;
                            bool inRow = i >= start && i < start + 2 * pitch * scale && column < ptrdiff_t(n) * scale;
                            wrong += slow[i] != (inRow ? plain[row * n + column / scale] : 0xDEADBEEF);
                        }
                        EXPECT_EQ(wrong, 0) << "scale " << scale << ", length " << n << ", start " << start;
                        EXPECT_EQ(sumFast, sumSlow) << "scale " << scale << ", length " << n << ", pitch " << pitch
                                                    << ", start " << start << ", past the cache " << pastCache;
                    }
                }
            }
        }
    }
}

// Presents fed to the timing until it settles, each taking `cache` or `past` seconds by the way it
// was written, the first two through the cache ten times slower (a busy spell); with `recovery`,
// the cache's way pays that share more for the first ten presents after a streamed one, as it
// does while the window's memory comes back into the cache. The way chosen.
bool SettledWay(sdlbackend::RowWriteWay& way, double cache, double past, double recovery = 0)
{
    int presents = 0, throughCache = 0, pastCache = 0, sinceStreamed = 100;
    for (; presents < 1000 && (presents < sdlbackend::RowWriteWay::kWarmUpPresents || way.TimesNext()); ++presents) {
        if (!way.TimesNext()) {
            way.Presented(100.0);
            continue;
        }
        const bool streamed = way.PastCache();
        const int seen = streamed ? pastCache++ : throughCache++;
        sinceStreamed = streamed ? 0 : sinceStreamed + 1;
        const double recovering = sinceStreamed <= 10 ? 1 + recovery : 1;
        way.Presented(streamed ? past : cache * (seen < 2 ? 10 : 1) * recovering);
    }
    EXPECT_LT(presents, 1000) << "the timing ends";
    EXPECT_GE(throughCache, sdlbackend::RowWriteWay::kTimedPresents);
    EXPECT_GE(pastCache, sdlbackend::RowWriteWay::kTimedPresents);
    return way.PastCache();
}

// The way past the cache only where its median beats the cache's by the margin; warm-up presents
// untimed on the starting way; each layout timed afresh, and one with a single way never.
TEST(PixelRows, WayPastTheCacheOnlyWhereTimedClearlyFaster)
{
    sdlbackend::RowWriteWay way;
    way.Restart(false, true);
    EXPECT_FALSE(way.TimesNext());
    EXPECT_TRUE(SettledWay(way, 1.0, 0.85));
    EXPECT_FALSE(way.TimesNext());
    way.Restart(true, true);
    EXPECT_TRUE(way.PastCache()) << "the starting way until the timing decides";
    EXPECT_FALSE(SettledWay(way, 1.0, 0.95)) << "faster by less than the margin";
    way.Restart(true, true);
    EXPECT_FALSE(SettledWay(way, 0.8, 1.0));
    way.Restart(false, true);
    EXPECT_FALSE(SettledWay(way, 1.0, 1.05, 0.6)) << "the cache's way timed while it recovers from a stream";
    way.Restart(true, false);
    for (int present = 0; present < 100; ++present)
        way.Presented(1.0);
    EXPECT_FALSE(way.TimesNext());
    EXPECT_TRUE(way.PastCache());
}

// A virtual machine's caches as sysfs lists them: the last level is the highest one listed, by its
// own size, and a listing with nothing readable says nothing.
TEST(PixelRows, LastLevelCacheIsTheHighestListed)
{
    char folder[] = "/tmp/kelo_cache_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string root = folder;
    const char* caches[][2] = {{"1", "48K"}, {"1", "32K"}, {"3", "32768K"}, {"2", "1024K"}, {"", "8M"}};
    for (size_t i = 0; i < std::size(caches); ++i) {
        std::string index = root + "/index" + std::to_string(i);
        ASSERT_EQ(mkdir(index.c_str(), 0755), 0);
        for (const char* part : {"level", "size"}) {
            FILE* out = fopen((index + "/" + part).c_str(), "w");
            ASSERT_NE(out, nullptr);
            fprintf(out, "%s\n", caches[i][part[0] == 's']);
            fclose(out);
        }
    }
    EXPECT_EQ(sdlbackend::ListedCacheBytes(folder), size_t(32) << 20);
    EXPECT_EQ(sdlbackend::ListedCacheBytes((root + "/index0").c_str()), 0u);
    std::filesystem::remove_all(root);
}

// Frames that differ in scattered pixels, in one pixel at a corner, and not at all: the rectangle
// sent to the desktop holds every difference and is no larger (each edge has one).
TEST(ChangedPart, HoldsEveryDifferenceAndNoMore)
{
    const int width = 37, height = 23;
    std::mt19937 rng(1104);
    std::vector<uint16_t> shown(size_t(width) * height);
    for (uint16_t& p : shown)
        p = static_cast<uint16_t>(rng());
    for (int round = 0; round < 200; ++round) {
        std::vector<uint16_t> next(shown);
        int changes = round % 5 == 4 ? 0 : 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < changes; ++i)
            next[rng() % next.size()] ^= static_cast<uint16_t>(1 + rng() % 0xFFFF);
        if (round == 3)
            next.back() ^= 1;
        RECT want{width, height, 0, 0};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (shown[size_t(y) * width + x] != next[size_t(y) * width + x]) {
                    want = RECT{std::min<LONG>(want.left, x), std::min<LONG>(want.top, y),
                                std::max<LONG>(want.right, x + 1), std::max<LONG>(want.bottom, y + 1)};
                }
            }
        }
        if (want.right == 0)
            want = RECT{0, 0, 0, 0};
        RECT got = platform_internal::ChangedRect(shown.data(), next.data(), width, height);
        EXPECT_EQ(got.left, want.left) << round;
        EXPECT_EQ(got.top, want.top) << round;
        EXPECT_EQ(got.right, want.right) << round;
        EXPECT_EQ(got.bottom, want.bottom) << round;
        shown = next;
    }
}

TEST(DesktopTimer, TicksMissedInASleepFollowOnWaking)
{
    using platform_internal::NextTimerDue;
    // Due at 100 with a 1 ms period, served at 105 after a 5 ms sleep: the next is due at 101, so the
    // four missed ticks come at once.
    EXPECT_EQ(NextTimerDue(100, 1, 105, true), 101u);
    EXPECT_EQ(NextTimerDue(100, 1, 100, true), 101u);
    EXPECT_EQ(NextTimerDue(100, 30, 149, true), 130u);
    EXPECT_EQ(NextTimerDue(100, 1, 150, true), 151u) << "a 50 ms stall is not made up";
    EXPECT_EQ(NextTimerDue(0xFFFFFFFE, 1, 3, true), 0xFFFFFFFFu) << "across the clock's wrap";
    EXPECT_EQ(NextTimerDue(100, 1, 105, false), 106u) << "the null back end's clock waits for the program";

    // Sleeps end a tenth of a millisecond past the next multiple of 5 ms at least the wait ahead.
    using platform_internal::GrainSleep;
    EXPECT_EQ(GrainSleep(1000, 0, 1, 5), 5100000);
    EXPECT_EQ(GrainSleep(1002, 300000, 1, 5), 2800000) << "from 1002.3 to 1005.1";
    EXPECT_EQ(GrainSleep(1004, 999999, 1, 5), 100001) << "the boundary a hair away";
    EXPECT_EQ(GrainSleep(1000, 0, 5, 5), 5100000);
    EXPECT_EQ(GrainSleep(1000, 0, 7, 5), 10100000);
    EXPECT_EQ(GrainSleep(1003, 0, 0, 5), 2100000);
    EXPECT_EQ(GrainSleep(1003, 0, 2, 1), 2100000) << "a grain of 1 waits the time asked";
}

}  // namespace
