#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/application.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "image_fixtures.h"
#include "platform/files.h"
#include "support/disk_app.h"

namespace {

std::string FontPath(const char* name)
{
    return hostpath::FromHost(std::string(KELO_TEST_FONTS) + "/" + name);
}

std::vector<uint8_t> Snapshot(const Surface& s)
{
    const auto* bytes = s.GetPixelBytes();
    return std::vector<uint8_t>(bytes, bytes + size_t(s.GetRawWidth()) * s.GetRawHeight() * s.GetBytesPerPixel());
}

int CountNot(const Surface& s, uint16_t value)
{
    int n = 0;
    for (int i = 0; i < s.GetRawWidth() * s.GetRawHeight(); ++i)
        n += s.GetPixels()[i] != value;
    return n;
}

struct Fonts : ::testing::Test {
    DiskApp app;
    Font font{&app};
    void SetUp() override { ASSERT_TRUE(font.Load(FontPath("sans16.jpg").c_str()).ok()); }
    std::unique_ptr<Surface> Canvas(int w, int h, int orientation = 0)
    {
        auto s = std::make_unique<Surface>(&app);
        s->SetOrientation(orientation);
        bool turned = orientation == 1 || orientation == 2;
        EXPECT_TRUE(s->Create(turned ? h : w, turned ? w : h));
        s->Clear(0, 0, 0);
        return s;
    }
};

}  // namespace

TEST_F(Fonts, MadeFontHasWholeAlignedCellsWithBlankMargins)
{
    Surface* glyphs = font.GetGlyphSurface();
    ASSERT_NE(glyphs, nullptr);
    int w = glyphs->GetWidth(), h = glyphs->GetHeight();
    EXPECT_EQ(w % 128, 0);
    EXPECT_EQ(h % 112, 0);
    EXPECT_EQ(font.GetCellWidth(), w / 16);
    EXPECT_EQ(font.GetCellHeight(), h / 14);
    EXPECT_FALSE(font.HasTexture());
    EXPECT_EQ(font.GetSpaceWidth(), font.GetAdvance('_'));
    EXPECT_GT(font.GetLineHeight(), 10);
    EXPECT_LE(font.GetLineHeight(), font.GetCellHeight());
    // Every code's drawn columns stay inside its cell, and nothing is inked beyond them.
    const uint8_t* coverage = glyphs->GetAlpha();
    for (int code = 33; code < 256; ++code) {
        int lead, width, trail;
        font.GetGlyph(code, &lead, &width, &trail);
        int columns = (lead + width) / 4 + 1;
        ASSERT_LT(columns, font.GetCellWidth()) << code;
        int i = code - 32;
        int x0 = (i % 16) * font.GetCellWidth(), y0 = (i / 16) * font.GetCellHeight();
        for (int y = y0; y < y0 + font.GetCellHeight(); ++y)
            for (int x = x0 + std::max(columns, 1); x < x0 + font.GetCellWidth(); ++x)
                ASSERT_LE(coverage[y * w + x], 15) << "code " << code << " at " << x - x0 << "," << y - y0;
    }
    // The letters have ink.
    int lead, width, trail;
    font.GetGlyph('W', &lead, &width, &trail);
    EXPECT_GT(width, 16);
}

TEST_F(Fonts, Measuring)
{
    EXPECT_EQ(font.MeasureText(nullptr), 0);
    EXPECT_EQ(font.MeasureText(""), 0);
    font.SetSpaceWidth(5);
    EXPECT_EQ(font.MeasureText("    "), 20);
    int lead, width, trail;
    font.GetGlyph('A', &lead, &width, &trail);
    int a = font.GetAdvance('A') + (lead >> 2) + font.GetExtraWidth();
    EXPECT_EQ(font.MeasureText("A A"), 2 * a + 5);
    // Codes below 32 add only the extra width.
    EXPECT_EQ(font.MeasureText("\x01\x02"), 2 * font.GetExtraWidth());
    font.SetGlyph('A', 8, 40, 4);
    EXPECT_EQ(font.GetAdvance('A'), 11);
    EXPECT_EQ(font.MeasureText("A"), 11 + 2 + font.GetExtraWidth());
}

TEST_F(Fonts, SpacesAndUnknownEffectsDrawNothing)
{
    auto s = Canvas(64, 32);
    auto before = Snapshot(*s);
    font.DrawText(s.get(), 4, 4, "    ", 255, 255, 255, 0, 255, nullptr);
    font.DrawText(s.get(), 4, 4, "Hello", 255, 255, 255, 6, 255, nullptr);
    font.DrawText(s.get(), 4, 4, "Hello", 255, 255, 255, 0, 0, nullptr);
    EXPECT_EQ(Snapshot(*s), before);
    font.DrawText(s.get(), 4, 4, "Hello", 255, 255, 255, 0, 255, nullptr);
    EXPECT_NE(Snapshot(*s), before);
}

TEST_F(Fonts, SolidCoverageWritesTheExactColourAndEffectsDrawAround)
{
    auto s = Canvas(64, 40);
    font.DrawText(s.get(), 10, 8, "I", 200, 100, 50, 0, 255, nullptr);
    uint16_t colour = static_cast<uint16_t>(((200 >> 3) << 11) | ((100 >> 2) << 5) | (50 >> 3));
    int exact = 0;
    for (int i = 0; i < 64 * 40; ++i)
        exact += s->GetPixels()[i] == colour;
    EXPECT_GT(exact, 10);  // the stem of the I

    // The border draws black around white text on white.
    auto plain = Canvas(64, 40);
    plain->Clear(255, 255, 255);
    auto bordered = Canvas(64, 40);
    bordered->Clear(255, 255, 255);
    font.DrawText(plain.get(), 10, 8, "I", 255, 255, 255, 0, 255, nullptr);
    font.DrawText(bordered.get(), 10, 8, "I", 255, 255, 255, 2, 255, nullptr);
    EXPECT_EQ(CountNot(*plain, 0xFFFF), 0);
    EXPECT_GT(CountNot(*bordered, 0xFFFF), 10);

    // Glow passes at alpha 224 or less have alpha 0: only the text is drawn.
    auto glow = Canvas(64, 40);
    auto none = Canvas(64, 40);
    font.DrawText(glow.get(), 10, 8, "Hi", 255, 0, 0, 3, 200, nullptr);
    font.DrawText(none.get(), 10, 8, "Hi", 255, 0, 0, 0, 200, nullptr);
    EXPECT_EQ(Snapshot(*glow), Snapshot(*none));
}

TEST_F(Fonts, ClippingKeepsGlyphsInsideTheSurfaceAndTheClip)
{
    auto s = Canvas(40, 30);
    // A clip far larger than the surface and glyphs hanging off every edge.
    Rect huge{-1000, -1000, 5000, 5000};
    for (int x : {-30, -5, 30, 38})
        for (int y : {-20, -3, 20, 28})
            font.DrawText(s.get(), x, y, "Wg", 255, 255, 255, 3, 255, &huge);
    font.DrawText(s.get(), 2147483000, 0, "WWWW", 255, 255, 255, 0, 255, nullptr);

    auto clipped = Canvas(40, 30);
    Rect clip{0, 0, 6, 30};
    font.DrawText(clipped.get(), 2, 2, "WWW", 255, 255, 255, 0, 255, &clip);
    for (int y = 0; y < 30; ++y)
        for (int x = 6; x < 40; ++x)
            ASSERT_EQ(clipped->GetPixels()[y * 40 + x], 0) << x << "," << y;

    // A glyph ending exactly at the right edge is drawn whole.
    int lead, width, trail;
    font.GetGlyph('I', &lead, &width, &trail);
    int columns = (lead + width) / 4 + 1;
    auto edge = Canvas(40, 30);
    auto room = Canvas(80, 30);
    int x = 40 - columns - (lead >> 2);
    font.DrawText(edge.get(), x, 2, "I", 255, 255, 255, 0, 255, nullptr);
    font.DrawText(room.get(), x, 2, "I", 255, 255, 255, 0, 255, nullptr);
    for (int y = 0; y < 30; ++y)
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(edge->GetPixels()[y * 40 + i], room->GetPixels()[y * 80 + i]);
}

TEST_F(Fonts, TurnedSurfacesShowTheSameText)
{
    auto flat = Canvas(60, 30);
    font.DrawText(flat.get(), 3, 4, "Kelo!", 250, 120, 30, 2, 180, nullptr);
    for (int orientation : {1, 2}) {
        auto turned = Canvas(60, 30, orientation);
        font.DrawText(turned.get(), 3, 4, "Kelo!", 250, 120, 30, 2, 180, nullptr);
        int rawW = turned->GetRawWidth(), rawH = turned->GetRawHeight();
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x) {
                size_t at = orientation == 1 ? size_t(rawH - 1 - x) * rawW + y : size_t(x) * rawW + (rawW - 1 - y);
                ASSERT_EQ(turned->GetPixels()[at], flat->GetPixels()[y * 60 + x]) << orientation << " " << x << "," << y;
            }
    }
}

TEST_F(Fonts, OtherDepths)
{
    auto make = [&](int bits, int format) {
        DisplayProperties p;
        p.bitsPerPixel = bits;
        p.formatFlags = format;
        auto s = std::make_unique<Surface>(&app, p);
        s->SetOrientation(0);
        EXPECT_TRUE(s->Create(40, 30));
        memset(s->GetPixelBytes(), 0, size_t(40) * 30 * s->GetBytesPerPixel());
        return s;
    };
    auto s32 = make(32, 4);
    if (s32->GetBytesPerPixel() == 4) {
        for (int i = 0; i < 40 * 30; ++i)
            s32->GetPixelBytes()[i * 4 + 3] = 77;
        font.DrawText(s32.get(), 2, 2, "I", 10, 20, 30, 0, 255, nullptr);
        int solid = 0;
        for (int i = 0; i < 40 * 30; ++i) {
            const uint8_t* p = s32->GetPixelBytes() + i * 4;
            ASSERT_EQ(p[3], 77);
            solid += p[0] == 30 && p[1] == 20 && p[2] == 10;
        }
        EXPECT_GT(solid, 5);
    }
    auto s24 = make(24, 3);
    font.DrawText(s24.get(), 2, 2, "I", 10, 20, 30, 1, 255, nullptr);
    int solid = 0;
    for (int i = 0; i < 40 * 30; ++i) {
        const uint8_t* p = s24->GetPixelBytes() + i * 3;
        solid += p[0] == 30 && p[1] == 20 && p[2] == 10;
    }
    EXPECT_GT(solid, 5);
    for (int bits : {15, 12}) {
        auto s = make(bits, bits == 15 ? 1 : 0);
        font.DrawText(s.get(), 2, 2, "I", 255, 255, 255, 0, 255, nullptr);
        uint16_t white = bits == 15 ? 0x7FFF : 0x0FFF;
        int n = 0;
        for (int i = 0; i < 40 * 30; ++i)
            n += s->GetPixels()[i] == white;
        EXPECT_GT(n, 5) << bits;
        // An effect above 5 draws nothing on these depths either.
        auto before = Snapshot(*s);
        font.DrawText(s.get(), 2, 2, "I", 255, 0, 0, 7, 255, nullptr);
        EXPECT_EQ(Snapshot(*s), before);
    }
}

TEST(FontFiles, OutOfRangeRecordsFallBackOnTheSpace)
{
    DiskApp app;
    std::string mask = fixtures::ReadFile(std::string(KELO_TEST_FONTS) + "/sans16.jpg");
    ASSERT_TRUE(app.Write("f.jpg", mask));
    auto record = [](std::string& fdb, int code, int lead, int width, int trail) {
        int32_t v[3] = {lead, width, trail};
        for (int k = 0; k < 3; ++k)
            for (int b = 0; b < 4; ++b)
                fdb[size_t(code - 32) * 12 + size_t(k) * 4 + size_t(b)] = static_cast<char>(uint32_t(v[k]) >> (8 * b));
    };
    std::string fdb(2692, '\0');
    record(fdb, 32, 5000, -8, 24);   // the space fixes itself up to lead 0, width 0
    record(fdb, 'A', 1001, -4, 8);   // takes the space's lead and width
    record(fdb, 'B', -1001, 2000, 8);
    record(fdb, 'C', -1000, 1000, 8);  // in range: kept
    record(fdb, 'D', 4, 40, 2000000000);
    ASSERT_TRUE(app.Write("f.fdb", fdb));
    Font font(&app);
    ASSERT_TRUE(font.Load(app.Engine("f.jpg").c_str()).ok());
    int lead, width, trail;
    font.GetGlyph(' ', &lead, &width, &trail);
    EXPECT_EQ(lead, 0);
    EXPECT_EQ(width, 0);
    font.GetGlyph('A', &lead, &width, &trail);
    EXPECT_EQ(lead, 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(trail, 8);
    font.GetGlyph('B', &lead, &width, nullptr);
    EXPECT_EQ(lead, 0);
    EXPECT_EQ(width, 0);
    font.GetGlyph('C', &lead, &width, nullptr);
    EXPECT_EQ(lead, -1000);
    EXPECT_EQ(width, 1000);
    // Huge advances neither overflow the measure nor the pen.
    EXPECT_GT(font.MeasureText("DDDDDDDDDDDDDDDD"), 0);
    auto s = std::make_unique<Surface>(&app);
    s->SetOrientation(0);
    ASSERT_TRUE(s->Create(32, 32));
    font.DrawText(s.get(), 0, 0, "CDCDCDCD", 255, 255, 255, 0, 255, nullptr);

    // A table cut short is damaged, by as little as its trim: its missing glyphs would draw as
    // nothing. So is one zeroed, which holds no glyph at all.
    for (const std::string& damaged : {fdb.substr(0, 12 * 40 + 6), fdb.substr(0, 12 * 224 + 2),
                                       fdb.substr(0, 12 * 224), std::string(2692, '\0')}) {
        ASSERT_TRUE(app.Write("f.fdb", damaged));
        LoadResult refused = font.Load(app.Engine("f.jpg").c_str());
        EXPECT_TRUE(refused.failed() && !refused.IsMissing()) << damaged.size();
        EXPECT_EQ(std::string(refused.File()), app.Engine("f.fdb"));
    }

    // The metrics may also sit at the path with ".fdb" appended; without either the load fails.
    std::remove(app.Host("f.fdb").c_str());
    EXPECT_TRUE(font.Load(app.Engine("f.jpg").c_str()).failed());
    ASSERT_TRUE(app.Write("f.jpg.fdb", fdb));
    EXPECT_TRUE(font.Load(app.Engine("f.jpg").c_str()).ok());
    EXPECT_TRUE(font.Load(app.Engine("none.jpg").c_str()).failed());
}

TEST(FontFiles, TextureOfTheMaskSizeOnly)
{
    DiskApp app;
    Font gold(&app);
    ASSERT_TRUE(gold.Load(FontPath("gold12.jpg").c_str()).ok());
    EXPECT_TRUE(gold.HasTexture());
    auto s = std::make_unique<Surface>(&app);
    s->SetOrientation(0);
    ASSERT_TRUE(s->Create(60, 30));
    s->Clear(0, 0, 0);
    gold.DrawText(s.get(), 2, 2, "Gold", 255, 255, 255, 0, 255, nullptr);
    EXPECT_GT(CountNot(*s, 0), 10);
    // Drawn on a turned surface through the inline textured routine.
    auto t = std::make_unique<Surface>(&app);
    t->SetOrientation(1);
    ASSERT_TRUE(t->Create(30, 60));
    t->Clear(0, 0, 0);
    gold.DrawText(t.get(), 2, 2, "Gold", 255, 255, 255, 0, 200, nullptr);
    EXPECT_GT(CountNot(*t, 0), 10);

    ASSERT_TRUE(app.Write("g.jpg", fixtures::ReadFile(std::string(KELO_TEST_FONTS) + "/gold12.jpg")));
    ASSERT_TRUE(app.Write("g.fdb", fixtures::ReadFile(std::string(KELO_TEST_FONTS) + "/gold12.fdb")));
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("g_eff.jpg"), 16, 16, 3, std::vector<unsigned char>(768, 200)));
    Font odd(&app);
    ASSERT_TRUE(odd.Load(app.Engine("g.jpg").c_str()).ok());
    EXPECT_FALSE(odd.HasTexture());
    ASSERT_NE(odd.GetGlyphSurface()->GetAlpha(), nullptr);
    EXPECT_EQ(odd.GetGlyphSurface()->GetWidth(), gold.GetGlyphSurface()->GetWidth());
}
