#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/font.h"
#include "game/app/sound_bank.h"
#include "game/play/floating_text.h"
#include "game/play/track_sparkle.h"
#include "tests/game/play/board_app.h"
#include "tests/game/play/record_io.h"

namespace {

// Straight tracks along y = 100 and y = 200, 450 px long, sampled every 10 px: the sparkle's end
// is 450 - 24 = 426 on 640x480.
class Sparkles : public ::testing::Test {
protected:
    Sparkles()
    {
        app.AddSet("Sparkle", 12, 8, 8);
        auto p = [](int x, int y) { return FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y)); };
        for (int c = 0; c < 2; ++c) {
            curves[c].Bind(&app);
            int y = 100 * (c + 1);
            curves[c].Segment(0).SetPoints(p(0, y), p(150, y), p(300, y), p(450, y));
            curves[c].SetSegmentCount(1);
            curves[c].BuildTable();
            screen.curves[c] = &curves[c];
        }
        screen.curveCount = 2;
    }
    BoardApp app;
    CurvePath curves[2];
    RecordingScreen screen;
};

}  // namespace

TEST_F(Sparkles, PreviewLeavesATrailAndReachesTheHoleOnce)
{
    TrackSparkle sparkle(&app, &screen);
    ASSERT_TRUE(sparkle.Init());
    screen.curveCount = 1;
    sparkle.SetEnds();
    EXPECT_EQ(sparkle.GetEnd(0), Fixed::FromInt(426));
    EXPECT_EQ(sparkle.GetEnd(1), Fixed());
    sparkle.Start(0, Fixed(), TrackSparkle::kPreview);
    sparkle.Start(1, Fixed(), TrackSparkle::kPreview);
    // Speed 40, step 15: the first update adds the points at 15 and 30 to the one at 0.
    sparkle.Update();
    ASSERT_EQ(sparkle.GetRecordCount(0), 3);
    EXPECT_EQ(sparkle.GetRecord(0, 2).x, 30);
    EXPECT_EQ(sparkle.GetRecord(0, 2).y, 100);
    EXPECT_EQ(sparkle.GetRecord(0, 0).life, Fixed::FromInt(1));
    // A curve whose end is 0 is never updated.
    EXPECT_EQ(sparkle.GetRunner(1), Fixed());

    int placed = 3;
    for (int update = 2; update <= 11; ++update) {
        int before = sparkle.GetRecordCount(0);
        sparkle.Update();
        // Points live 12 frames, so none has faded before update 12.
        placed += sparkle.GetRecordCount(0) - before;
    }
    // One point at the start and one per 15 px up to 426: 1 + 28.
    EXPECT_EQ(placed, 29);
    EXPECT_EQ(screen.holesReached, std::vector<int>{0});
    EXPECT_EQ(sparkle.GetRunner(0), Fixed::FromInt(426));
    // The last point, placed on update 11, fades on update 22.
    for (int update = 12; update < 22; ++update)
        sparkle.Update();
    EXPECT_TRUE(sparkle.IsActive(0));
    sparkle.Update();
    EXPECT_FALSE(sparkle.IsActive(0));
    EXPECT_EQ(screen.holesReached.size(), 1u);
}

TEST_F(Sparkles, SweepAwardsEveryStepOnBothCurves)
{
    TrackSparkle sparkle(&app, &screen);
    ASSERT_TRUE(sparkle.Init());
    sparkle.SetEnds();
    sparkle.Start(0, Fixed(), TrackSparkle::kSweep);
    sparkle.Start(1, Fixed(), TrackSparkle::kSweep);
    for (int i = 0; i < 20; ++i)
        sparkle.Update();
    // 426 / 50 steps: 8 per curve.
    ASSERT_EQ(screen.bonuses.size(), 16u);
    ASSERT_EQ(screen.explosions.size(), 16u);
    EXPECT_EQ(screen.explosions[0], (std::vector<int>{50, 100, 0}));
    // At 15 degrees the radius of 20 turns to (-5.18, 19.32) around the track point (50, 100).
    EXPECT_EQ(screen.bonuses[0], (std::vector<int>{44, 119, 100}));
    EXPECT_EQ(app.sound->stopped, (std::vector<int>{kEndPopSound, kEndPopSound}));
    EXPECT_FALSE(sparkle.IsActive(0));
    EXPECT_TRUE(screen.holesReached.empty());
}

TEST_F(Sparkles, RepeatRestartsThePreviewAndTheRecordRoundTrips)
{
    TrackSparkle sparkle(&app, &screen);
    ASSERT_TRUE(sparkle.Init());
    sparkle.SetEnds();
    // Rate 0.25 from a timer of 1: restarts on updates 1, 5, 9...
    sparkle.SetRepeat(0, Fixed::FromDouble(0.25), Fixed::FromInt(100));
    sparkle.Update();
    EXPECT_EQ(sparkle.GetRunner(0), Fixed::FromInt(140));
    for (int i = 0; i < 3; ++i)
        sparkle.Update();
    EXPECT_EQ(sparkle.GetRunner(0), Fixed::FromInt(260));
    sparkle.Update();
    EXPECT_EQ(sparkle.GetRunner(0), Fixed::FromInt(140));

    PackMemoryFile out;
    out.Allocate(4096);
    ASSERT_TRUE(sparkle.Serialize(&out, true));
    auto* data = static_cast<uint8_t*>(out.GetBuffer());
    std::vector<uint8_t> bytes(data, data + out.Tell());
    // 8 speeds, per curve 4 + 2 + 5 * 4 + a count of 4 and 12 a record, then 1 + 16.
    int records = sparkle.GetRecordCount(0) + sparkle.GetRecordCount(1);
    ASSERT_EQ(bytes.size(), size_t(32 + 2 * 30 + 12 * records + 17));

    TrackSparkle copy(&app, &screen);
    ASSERT_TRUE(copy.Init());
    PackMemoryFile in;
    FillStream(in, bytes);
    ASSERT_TRUE(copy.Serialize(&in, false));
    EXPECT_EQ(copy.GetRecordCount(0), sparkle.GetRecordCount(0));
    EXPECT_EQ(copy.GetRunner(0), sparkle.GetRunner(0));
    sparkle.Update();
    copy.Update();
    EXPECT_EQ(copy.GetRunner(0), sparkle.GetRunner(0));
    EXPECT_EQ(copy.GetRecordCount(0), sparkle.GetRecordCount(0));

    // A record count larger than the bytes that follow is refused before anything grows.
    std::vector<uint8_t> bad = bytes;
    bad[32 + 26] = bad[32 + 27] = bad[32 + 28] = 0xFF;
    PackMemoryFile badIn;
    FillStream(badIn, bad);
    EXPECT_FALSE(copy.Serialize(&badIn, false));
    // A restored step of one raw unit walks at most 256 steps an update instead of hanging.
    std::vector<uint8_t> tiny = bytes;
    tiny[12] = 1;
    tiny[13] = tiny[14] = tiny[15] = 0;
    PackMemoryFile tinyIn;
    FillStream(tinyIn, tiny);
    ASSERT_TRUE(copy.Serialize(&tinyIn, false));
    int before = copy.GetRecordCount(0);
    copy.Update();
    EXPECT_LE(copy.GetRecordCount(0), before + 256);
    EXPECT_GE(copy.GetRecordCount(0), before + 200);

    // A damaged record may put a trail point at the end of the int range: it is drawn nowhere.
    ASSERT_GT(sparkle.GetRecordCount(0), 0);
    std::vector<uint8_t> far = bytes;
    far[32 + 30 + 4] = far[32 + 30 + 5] = far[32 + 30 + 6] = 0;
    far[32 + 30 + 7] = 0x80;
    PackMemoryFile farIn;
    FillStream(farIn, far);
    ASSERT_TRUE(copy.Serialize(&farIn, false));
    std::unique_ptr<Surface> target(app.CreateImage());
    ASSERT_TRUE(target->Create(64, 64));
    target->Clear(0, 0, 0);
    copy.Draw(target.get());
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(target->GetPixels()[i * target->GetRawWidth() + i], 0);

    bytes.pop_back();
    PackMemoryFile shortIn;
    FillStream(shortIn, bytes);
    EXPECT_FALSE(copy.Serialize(&shortIn, false));
}

TEST(FloatingText, RisesFadesAndKeepsLongCaptions)
{
    BoardApp app;
    Font font(&app);
    for (int code = 33; code < 127; ++code)
        font.SetGlyph(code, 0, 24, 0);
    font.SetSpaceWidth(6);
    font.SetExtraHeight(10);
    std::unique_ptr<Surface> surface(app.CreateImage());
    ASSERT_TRUE(surface->Create(200, 100));

    FloatingText text(&app);
    text.Start(100, 50, "", "x", 255, 255, 255, &font, surface.get());
    EXPECT_EQ(text.GetLife(), 0);

    text.Start(100, 50, "DOUBLE GAP BONUS", nullptr, 255, 200, 0, &font, surface.get());
    EXPECT_STREQ(text.GetLine(0), "DOUBLE GAP BONUS");
    EXPECT_EQ(text.GetLife(), 32);
    int lineHeight = font.GetLineHeight();
    EXPECT_EQ(text.GetLineY(0), Fixed::FromInt(50 - lineHeight / 2));
    EXPECT_EQ(text.GetLineX(1), -100);
    int width = font.MeasureText("DOUBLE GAP BONUS");
    EXPECT_EQ(text.GetLineX(0), 100 - width / 2);

    text.Update();
    EXPECT_EQ(text.GetLife(), 31);
    EXPECT_EQ(text.GetAlpha(), 249);
    EXPECT_EQ(text.GetLineY(0), Fixed::FromInt(50 - lineHeight / 2) - Fixed::FromDouble(1.5));
    for (int i = 0; i < 30; ++i)
        text.Update();
    EXPECT_EQ(text.GetAlpha(), 9);
    text.Update();
    EXPECT_EQ(text.GetLife(), 0);
    text.Update();
    EXPECT_EQ(text.GetLife(), 0);

    // Two lines; a line wider than the surface sits at W - width, left of the edge.
    std::string wide(31, 'W');
    text.Start(190, 60, "a", wide.c_str(), 0, 0, 0, &font, surface.get());
    EXPECT_EQ(text.GetLineY(0), Fixed::FromInt(60 - lineHeight));
    EXPECT_EQ(text.GetLineY(1), Fixed::FromInt(60));
    EXPECT_EQ(std::string(text.GetLine(1)), wide);
    EXPECT_EQ(text.GetLineX(1), 200 - font.MeasureText(wide.c_str()));
    EXPECT_LT(text.GetLineX(1), 0);
    std::string longer(40, 'Q');
    text.Start(0, 60, longer.c_str(), nullptr, 0, 0, 0, &font, surface.get());
    EXPECT_EQ(std::string(text.GetLine(0)), std::string(31, 'Q'));
    EXPECT_EQ(text.GetLineX(0), 200 - font.MeasureText(text.GetLine(0)));
}
