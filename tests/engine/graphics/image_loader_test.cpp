#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "image_fixtures.h"
#include "surface_test_support.h"
#include "support/disk_app.h"

namespace {

uint16_t Rgb565(int r, int g, int b)
{
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// Left half red, right half blue, in whole 8x8 blocks so the JPEG keeps them flat.
std::vector<unsigned char> Halves(int w, int h)
{
    return fixtures::Fill(w, h, 3, [w](int x, int, unsigned char* p) {
        p[0] = x < w / 2 ? 255 : 0;
        p[1] = 0;
        p[2] = x < w / 2 ? 0 : 255;
    });
}

std::vector<unsigned char> Grey(int w, int h, unsigned char value)
{
    return fixtures::Fill(w, h, 1, [value](int, int, unsigned char* p) { p[0] = value; });
}

struct Images : ::testing::Test {
    DiskApp app;
    std::string E(const std::string& name) { return app.Engine(name); }
    std::unique_ptr<Surface> Load(const std::string& name)
    {
        return std::unique_ptr<Surface>(LoadImage(&app, E(name).c_str(), nullptr).value);
    }
};

}  // namespace

TEST_F(Images, NamesWithAndWithoutExtensionFindTheSameFiles)
{
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("pic.jpg"), 16, 8, 3, Halves(16, 8)));
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("pic_a.jpg"), 16, 8, 1, Grey(16, 8, 128)));
    for (const char* name : {"pic", "pic.jpg", "pic.png"}) {
        auto s = Load(name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_EQ(s->GetWidth(), 16);
        ASSERT_NE(s->GetAlpha(), nullptr) << name;
        EXPECT_EQ(s->GetAlpha()[0], 128);
        EXPECT_EQ(s->GetPixels()[0], Rgb565(255, 0, 0));
        EXPECT_EQ(s->GetPixels()[15], Rgb565(0, 0, 255));
    }
    // An upper-case extension is part of the name.
    EXPECT_EQ(Load("pic.JPG"), nullptr);

    ASSERT_TRUE(fixtures::WritePng(app.Host("only.png"), 2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60}));
    for (const char* name : {"only", "only.jpg", "only.png"}) {
        auto s = Load(name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_EQ(s->GetPixels()[1], Rgb565(40, 50, 60));
        EXPECT_EQ(s->GetAlpha(), nullptr);  // opaque PNG: no plane
    }
    EXPECT_EQ(Load("missing"), nullptr);
}

TEST_F(Images, AlphaImagesTakeTheFirstChannel)
{
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("grey.jpg"), 8, 8, 1, Grey(8, 8, 77)));
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("colour.jpg"), 16, 8, 3, Halves(16, 8)));
    std::unique_ptr<Surface> grey(LoadAlphaImage(&app, E("grey").c_str(), nullptr).value);
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->GetAlpha()[63], 77);
    EXPECT_EQ(grey->GetPixels(), nullptr);
    std::unique_ptr<Surface> colour(LoadAlphaImage(&app, E("colour.png").c_str(), nullptr).value);
    ASSERT_NE(colour, nullptr);
    EXPECT_NEAR(colour->GetAlpha()[0], 255, 2);  // red
    EXPECT_EQ(colour->GetAlpha()[15], 0);

    ASSERT_TRUE(fixtures::WritePng(app.Host("a.png"), 2, 1, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 40, 5, 6, 7, 255}));
    std::unique_ptr<Surface> png(LoadAlphaImage(&app, E("a").c_str(), nullptr).value);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->GetAlpha()[0], 40);
    EXPECT_EQ(png->GetAlpha()[1], 255);
}

TEST_F(Images, MismatchedCompanionLeavesTheImageOpaque)
{
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("m.jpg"), 16, 8, 3, Halves(16, 8)));
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("m_a.jpg"), 8, 8, 1, Grey(8, 8, 9)));
    auto s = Load("m");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetAlpha(), nullptr);
    EXPECT_EQ(s->GetWidth(), 16);
}

TEST_F(Images, TurnedSurfacesStoreTheImageTurned)
{
    // 16 x 8: (0, 0) red, (15, 0) blue.
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("t.jpg"), 16, 8, 3, Halves(16, 8)));
    for (int orientation : {1, 2}) {
        Surface target(&app);
        target.SetOrientation(orientation);
        ASSERT_EQ(LoadImage(&app, E("t").c_str(), &target).value, &target);
        EXPECT_EQ(target.GetWidth(), 16);
        EXPECT_EQ(target.GetRawWidth(), 8);
        const uint16_t* p = target.GetPixels();
        if (orientation == 1) {
            EXPECT_EQ(p[(16 - 1) * 8], Rgb565(255, 0, 0));  // (0, 0) at raw (w - 1) * h
            EXPECT_EQ(p[0], Rgb565(0, 0, 255));             // (15, 0)
        } else {
            EXPECT_EQ(p[7], Rgb565(255, 0, 0));              // (0, 0) at raw h - 1
            EXPECT_EQ(p[15 * 8 + 7], Rgb565(0, 0, 255));
        }
    }
    // Exact per-pixel placement through a PNG of distinct pixels.
    auto samples = fixtures::Fill(3, 2, 4, [](int x, int y, unsigned char* p) {
        p[0] = static_cast<unsigned char>(x * 80);
        p[1] = static_cast<unsigned char>(y * 200);
        p[2] = 8;
        p[3] = static_cast<unsigned char>(10 + x + 3 * y);
    });
    ASSERT_TRUE(fixtures::WritePng(app.Host("d.png"), 3, 2, PNG_COLOR_TYPE_RGBA, 8, samples));
    for (int orientation : {0, 1, 2}) {
        Surface target(&app);
        target.SetOrientation(orientation);
        ASSERT_NE(LoadImage(&app, E("d").c_str(), &target).value, nullptr);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                size_t at = orientation == 1 ? size_t(3 - 1 - x) * 2 + y : orientation == 2 ? size_t(x) * 2 + (2 - 1 - y) : size_t(y) * 3 + x;
                EXPECT_EQ(target.GetAlpha()[at], 10 + x + 3 * y);
                EXPECT_EQ(target.GetPixels()[at], Rgb565(x * 80, y * 200, 8));
            }
    }
}

TEST_F(Images, BrokenJpegs)
{
    ASSERT_TRUE(app.Write("empty.jpg", ""));
    EXPECT_EQ(LoadJpeg(&app, E("empty.jpg").c_str(), nullptr).value, nullptr);
    ASSERT_TRUE(app.Write("junk.jpg", std::string(100, 'x')));
    EXPECT_EQ(LoadJpeg(&app, E("junk.jpg").c_str(), nullptr).value, nullptr);

    // A file cut short is damaged, however much of it is there; extra bytes before a marker, which
    // files made elsewhere carry, keep a whole picture readable.
    // Noise on the right keeps most of the file in the scan data.
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("whole.jpg"), 64, 64, 3,
                                    fixtures::Fill(64, 64, 3, [](int x, int y, unsigned char* p) {
                                        p[0] = x < 32 ? 255 : static_cast<unsigned char>(x * 37 ^ y * 91);
                                        p[1] = x < 32 ? 0 : static_cast<unsigned char>(x * y * 13);
                                        p[2] = x < 32 ? 0 : static_cast<unsigned char>(x + y * 57);
                                    })));
    std::string whole = fixtures::ReadFile(app.Host("whole.jpg"));
    for (size_t kept : {whole.size() / 2, whole.size() - 4, whole.size() - 1}) {
        ASSERT_TRUE(app.Write("cut.jpg", whole.substr(0, kept)));
        LoadedValue<Surface*> cut = LoadJpeg(&app, E("cut.jpg").c_str(), nullptr);
        EXPECT_EQ(cut.value, nullptr) << kept;
        EXPECT_STREQ(cut.why.Reason(), "damaged: the picture is cut short") << kept;
        EXPECT_EQ(LoadJpegAlpha(&app, E("cut.jpg").c_str(), nullptr).value, nullptr) << kept;
    }
    ASSERT_TRUE(app.Write("padded.jpg", whole.substr(0, whole.size() - 2) + "\x12\x34" + whole.substr(whole.size() - 2)));
    std::unique_ptr<Surface> padded(LoadJpeg(&app, E("padded.jpg").c_str(), nullptr).value);
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->GetWidth(), 64);
    EXPECT_EQ(padded->GetPixels()[0], Rgb565(255, 0, 0));

    // Four components are refused, and a given target survives a failure.
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("cmyk.jpg"), 8, 8, 4, std::vector<unsigned char>(256, 100)));
    Surface target(&app);
    ASSERT_TRUE(target.Create(4, 4));
    EXPECT_EQ(LoadJpeg(&app, E("cmyk.jpg").c_str(), &target).value, nullptr);
    EXPECT_EQ(target.GetWidth(), 4);
    EXPECT_NE(target.GetPixels(), nullptr);

    // A required size refuses any other.
    EXPECT_EQ(LoadJpeg(&app, E("whole.jpg").c_str(), &target, 32, 64).value, nullptr);
    EXPECT_EQ(LoadJpeg(&app, E("whole.jpg").c_str(), &target, 64, 64).value, &target);
}

TEST_F(Images, EveryPngColourTypeLoads)
{
    struct Case {
        const char* name;
        int type, depth;
        std::vector<unsigned char> row;  // two pixels
        uint16_t first;
        int alpha0;
    };
    const Case cases[] = {
        {"g1", PNG_COLOR_TYPE_GRAY, 1, {0x80}, Rgb565(255, 255, 255), 255},
        {"g2", PNG_COLOR_TYPE_GRAY, 2, {0xC0}, Rgb565(255, 255, 255), 255},
        {"g4", PNG_COLOR_TYPE_GRAY, 4, {0x30}, Rgb565(0x33, 0x33, 0x33), 255},
        {"g8", PNG_COLOR_TYPE_GRAY, 8, {200, 10}, Rgb565(200, 200, 200), 255},
        {"g16", PNG_COLOR_TYPE_GRAY, 16, {200, 0, 10, 0}, Rgb565(200, 200, 200), 255},
        {"ga8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, {90, 30, 1, 2}, Rgb565(90, 90, 90), 30},
        {"ga16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {90, 0, 30, 0, 1, 0, 2, 0}, Rgb565(90, 90, 90), 30},
        {"rgb8", PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 1, 2, 3}, Rgb565(10, 20, 30), 255},
        {"rgb16", PNG_COLOR_TYPE_RGB, 16, {10, 0, 20, 0, 30, 0, 1, 0, 2, 0, 3, 0}, Rgb565(10, 20, 30), 255},
        {"rgba8", PNG_COLOR_TYPE_RGBA, 8, {10, 20, 30, 99, 1, 2, 3, 4}, Rgb565(10, 20, 30), 99},
        {"rgba16", PNG_COLOR_TYPE_RGBA, 16, {10, 0, 20, 0, 30, 0, 99, 0, 1, 0, 2, 0, 3, 0, 4, 0}, Rgb565(10, 20, 30), 99},
    };
    for (const Case& c : cases) {
        std::string file = std::string(c.name) + ".png";
        ASSERT_TRUE(fixtures::WritePng(app.Host(file), 2, 1, c.type, c.depth, c.row)) << c.name;
        auto s = Load(file);
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(s->GetWidth(), 2);
        EXPECT_EQ(s->GetPixels()[0], c.first) << c.name;
        if (c.alpha0 == 255) {
            EXPECT_EQ(s->GetAlpha(), nullptr) << c.name;
        } else {
            ASSERT_NE(s->GetAlpha(), nullptr) << c.name;
            EXPECT_EQ(s->GetAlpha()[0], c.alpha0) << c.name;
        }
    }
    // Palettes, with and without transparency.
    std::vector<png_color> palette = {{255, 0, 0}, {0, 255, 0}};
    for (int depth : {1, 2, 4, 8}) {
        std::vector<unsigned char> row = {static_cast<unsigned char>(depth == 8 ? 1 : 1 << (8 - depth)), 0};
        std::string file = "p" + std::to_string(depth) + ".png";
        ASSERT_TRUE(fixtures::WritePng(app.Host(file), 2, 1, PNG_COLOR_TYPE_PALETTE, depth, row, false, palette, {255, 40}));
        auto s = Load(file);
        ASSERT_NE(s, nullptr) << depth;
        EXPECT_EQ(s->GetPixels()[0], Rgb565(0, 255, 0)) << depth;
        ASSERT_NE(s->GetAlpha(), nullptr);
        EXPECT_EQ(s->GetAlpha()[0], 40);
        EXPECT_EQ(s->GetAlpha()[1], 255);
    }
}

TEST_F(Images, BrokenAndRefusedPngs)
{
    ASSERT_TRUE(app.Write("empty.png", ""));
    EXPECT_EQ(Load("empty.png"), nullptr);
    ASSERT_TRUE(fixtures::WritePng(app.Host("whole.png"), 64, 64, PNG_COLOR_TYPE_RGB, 8,
                                   fixtures::Fill(64, 64, 3, [](int x, int y, unsigned char* p) {
                                       p[0] = static_cast<unsigned char>(x * 7 + y);
                                       p[1] = static_cast<unsigned char>(y * 13);
                                       p[2] = static_cast<unsigned char>(x ^ y);
                                   })));
    std::string whole = fixtures::ReadFile(app.Host("whole.png"));
    for (size_t keep : {size_t(8), size_t(30), whole.size() / 2, whole.size() - 5}) {
        ASSERT_TRUE(app.Write("cut.png", whole.substr(0, keep)));
        EXPECT_EQ(Load("cut.png"), nullptr) << keep;
    }
    ASSERT_TRUE(fixtures::WritePng(app.Host("laced.png"), 4, 4, PNG_COLOR_TYPE_RGB, 8, std::vector<unsigned char>(48, 7), true));
    EXPECT_EQ(Load("laced.png"), nullptr);

    // More than 4096 x 2048 pixels are refused before anything is allocated for them; a long side
    // alone is not.
    ASSERT_TRUE(fixtures::WritePng(app.Host("wide.png"), 4097, 8, PNG_COLOR_TYPE_GRAY, 8, std::vector<unsigned char>(4097 * 8, 1)));
    EXPECT_NE(Load("wide.png"), nullptr);
    ASSERT_TRUE(fixtures::WritePng(app.Host("edge.png"), 1, 4096, PNG_COLOR_TYPE_GRAY, 8, std::vector<unsigned char>(4096, 1)));
    EXPECT_NE(Load("edge.png"), nullptr);
    ASSERT_TRUE(fixtures::WritePng(app.Host("big.png"), 2049, 4096, PNG_COLOR_TYPE_GRAY, 8,
                                   std::vector<unsigned char>(2049 * 4096, 1)));
    EXPECT_EQ(Load("big.png"), nullptr);
}

TEST_F(Images, JpegsDeclaringHugeSizesAreRefused)
{
    // An 8 x 8 JPEG whose frame header is rewritten to declare another size: the scan data then
    // ends long before the image, which the loader would otherwise fill in as a truncated file.
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("small.jpg"), 8, 8, 1, Grey(8, 8, 90)));
    std::string small = fixtures::ReadFile(app.Host("small.jpg"));
    size_t frame = small.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    auto declaring = [&](int width, int height) {
        std::string bytes = small;
        bytes[frame + 5] = static_cast<char>(height >> 8);
        bytes[frame + 6] = static_cast<char>(height);
        bytes[frame + 7] = static_cast<char>(width >> 8);
        bytes[frame + 8] = static_cast<char>(width);
        return bytes;
    };
    ASSERT_LT(small.size(), 1024u);
    ASSERT_TRUE(app.Write("huge.jpg", declaring(16384, 4096)));
    EXPECT_EQ(LoadJpeg(&app, E("huge.jpg").c_str(), nullptr).value, nullptr);
    EXPECT_EQ(LoadJpegAlpha(&app, E("huge.jpg").c_str(), nullptr).value, nullptr);
    ASSERT_TRUE(app.Write("wide.jpg", declaring(4224, 180)));
    std::unique_ptr<Surface> wide(LoadJpeg(&app, E("wide.jpg").c_str(), nullptr).value);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->GetWidth(), 4224);
    ASSERT_TRUE(app.Write("big.jpg", declaring(4096, 2056)));
    EXPECT_EQ(LoadJpeg(&app, E("big.jpg").c_str(), nullptr).value, nullptr);
    // At the limit the short file still loads, grey where its data is.
    ASSERT_TRUE(app.Write("edge.jpg", declaring(4096, 8)));
    std::unique_ptr<Surface> edge(LoadJpeg(&app, E("edge.jpg").c_str(), nullptr).value);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->GetWidth(), 4096);
    EXPECT_EQ(edge->GetPixels()[0], Rgb565(90, 90, 90));
}

TEST_F(Images, LongStripsLoadTurnedAndDraw)
{
    // Strips of the shapes other programs make, and the longest each decoder takes: red on the
    // left, blue on the right; the PNGs have a clear column in the middle, so they keep a plane.
    struct Strip {
        std::string name;
        int w, h;
    } strips[] = {{"strip.jpg", 4224, 180}, {"long.jpg", 65500, 8}, {"band.png", 4097, 8}, {"line.png", 1000000, 1}};
    for (const Strip& s : strips) {
        if (s.name.find(".jpg") != std::string::npos) {
            ASSERT_TRUE(fixtures::WriteJpeg(app.Host(s.name), s.w, s.h, 3, Halves(s.w, s.h))) << s.name;
            continue;
        }
        int w = s.w;
        ASSERT_TRUE(fixtures::WritePng(app.Host(s.name), s.w, s.h, PNG_COLOR_TYPE_RGBA, 8,
                                       fixtures::Fill(s.w, s.h, 4, [w](int x, int, unsigned char* p) {
                                           p[0] = x < w / 2 ? 255 : 0;
                                           p[1] = 0;
                                           p[2] = x < w / 2 ? 0 : 255;
                                           p[3] = x == w / 2 ? 0 : 255;
                                       })))
            << s.name;
    }
    const uint16_t red = Rgb565(255, 0, 0), blue = Rgb565(0, 0, 255);
    TrigTable trig(&app, 5760);
    ASSERT_TRUE(trig.Build());
    for (int orientation : {0, 1, 2}) {
        for (const Strip& s : strips) {
            SCOPED_TRACE(s.name + " turned " + std::to_string(orientation));
            Surface strip(&app);
            strip.SetOrientation(orientation);
            ASSERT_EQ(LoadImage(&app, E(s.name).c_str(), &strip).value, &strip);
            EXPECT_EQ(strip.GetWidth(), s.w);
            EXPECT_EQ(strip.GetHeight(), s.h);
            EXPECT_EQ(strip.GetAlpha() != nullptr, s.name.find(".png") != std::string::npos);
            // A 640 x 480 screen turned as the strip is.
            auto screen = drawing_test::Make565(orientation ? 480 : 640, orientation ? 640 : 480, orientation, false);
            drawing_test::Fill(*screen, 0);
            strip.Blit(screen.get(), 0, 0, 0, 0, 0);
            EXPECT_EQ(drawing_test::Logical(*screen, 0, 0), red);
            strip.Blit(screen.get(), 640 - s.w, 200, 0, 0, 0);
            EXPECT_EQ(drawing_test::Logical(*screen, 639, 200), blue);
            strip.Blit(screen.get(), 640 - s.w, 210, 0, 0, kMirrorLeftRight);
            EXPECT_EQ(drawing_test::Logical(*screen, 639, 210), red);
            strip.BlitRegion(screen.get(), 600, 300, 40, 1, s.w - 40, 0, 0);
            EXPECT_EQ(drawing_test::Logical(*screen, 600, 300), blue);
            // Turned half a turn about its middle, the right end lies on the screen's left edge (half
            // covered where the strip is one pixel high).
            Fixed x = Fixed::FromInt(s.w / 2), y = Fixed::FromInt(400);
            if (orientation)
                MapFixedPoint(screen.get(), x, y);
            trig.DrawRotated(&strip, screen.get(), x, y, kFullTurn / 2, Fixed16::FromInt(1));
            uint16_t turned = drawing_test::Logical(*screen, 2, 400);
            EXPECT_GT(drawing_test::Blue(turned), 8);
            EXPECT_EQ(drawing_test::Red(turned), 0);
            if (orientation == 0) {
                strip.StretchBlit(screen.get(), 0, 450, 640, 1, 0, 0, 0, 0, 0, 0);
                EXPECT_EQ(drawing_test::Logical(*screen, 0, 450), red);
                EXPECT_EQ(drawing_test::Logical(*screen, 639, 450), blue);
            }
        }
    }
}

