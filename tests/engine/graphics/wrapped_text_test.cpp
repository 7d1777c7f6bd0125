#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/wrapped_text.h"
#include "platform/files.h"
#include "support/disk_app.h"

namespace {

// Every code 10 pixels wide, no extra width; the space as given.
struct TenFont : Font {
    explicit TenFont(int space) : Font(nullptr)
    {
        for (int c = 33; c < 256; ++c)
            SetGlyph(c, 0, 40, 0);
        SetExtraWidth(0);
        SetSpaceWidth(space);
    }
};

std::vector<std::string> Lines(const WrappedText& w)
{
    std::vector<std::string> lines;
    for (int i = 0; i < w.GetLineCount(); ++i)
        lines.push_back(w.GetLine(i)->CStr() ? w.GetLine(i)->CStr() : "");
    return lines;
}

std::vector<std::string> Wrap(int width, const char* text, int space = 5)
{
    TenFont font(space);
    WrappedText w;
    w.SetText(width, &font, text);
    return Lines(w);
}

using L = std::vector<std::string>;

}  // namespace

TEST(WrappedText, ForcedBreaks)
{
    EXPECT_EQ(Wrap(500, "ab\ncd"), (L{"ab", "cd"}));
    EXPECT_EQ(Wrap(500, "ab\r\ncd"), (L{"ab", "cd"}));
    EXPECT_EQ(Wrap(500, "ab\\ncd"), (L{"ab", "cd"}));
    EXPECT_EQ(Wrap(500, "ab\n\ncd"), (L{"ab", "", "cd"}));
    EXPECT_EQ(Wrap(500, "ab\n"), (L{"ab", ""}));
    EXPECT_EQ(Wrap(500, "  ab  cd"), (L{"ab  cd"}));
}

TEST(WrappedText, BreaksWhereTheNextWordReachesTheWidth)
{
    // "aaaa" 40 + "bbbb" 40 + space 5: breaks at 85, fits at 86.
    EXPECT_EQ(Wrap(85, "aaaa bbbb"), (L{"aaaa", "bbbb"}));
    EXPECT_EQ(Wrap(86, "aaaa bbbb"), (L{"aaaa bbbb"}));
    // A space width of 14 counts as 10.
    EXPECT_EQ(Wrap(90, "aaaa bbbb", 14), (L{"aaaa", "bbbb"}));
    EXPECT_EQ(Wrap(91, "aaaa bbbb", 14), (L{"aaaa bbbb"}));
    EXPECT_EQ(Wrap(30, "abcdefgh"), (L{"abcdefgh"}));
    EXPECT_EQ(Wrap(30, "abcdefgh xy"), (L{"abcdefgh", "xy"}));
    // A forced break whose word does not fit stores the word alone.
    EXPECT_EQ(Wrap(50, "aaa bbb\ncc"), (L{"aaa", "bbb", "cc"}));
}

TEST(WrappedText, LinesAccumulateAndIndexIsChecked)
{
    TenFont font(5);
    WrappedText w;
    EXPECT_FALSE(w.SetText(100, &font, ""));
    EXPECT_FALSE(w.SetText(100, &font, nullptr));
    EXPECT_EQ(w.GetHeight(&font, 3), 0);
    ASSERT_TRUE(w.SetText(100, &font, "one"));
    ASSERT_TRUE(w.SetText(100, &font, "two"));
    EXPECT_EQ(Lines(w), (L{"one", "two"}));
    EXPECT_EQ(w.GetLine(2), nullptr);
    EXPECT_EQ(w.GetLine(-1), nullptr);
    EXPECT_EQ(w.GetHeight(&font, 3), 2 * (font.GetLineHeight() + 3));
    w.Clear();
    EXPECT_EQ(w.GetLineCount(), 0);
}

TEST(WrappedText, AlignmentPlacesEachLine)
{
    DiskApp app;
    Font font(&app);
    ASSERT_TRUE(font.Load(hostpath::FromHost(std::string(KELO_TEST_FONTS) + "/sans16.jpg").c_str()).ok());
    auto canvas = [&] {
        auto s = std::make_unique<Surface>(&app);
        s->SetOrientation(0);
        EXPECT_TRUE(s->Create(160, 60));
        s->Clear(0, 0, 0);
        return s;
    };
    const char* text = "Wide words\nhi";
    for (int alignment : {0, 1, 2}) {
        WrappedText w;
        w.alignment = alignment;
        w.width = 100;
        ASSERT_TRUE(w.SetText(100, &font, text));
        auto drawn = canvas();
        w.Draw(drawn.get(), 10, 4, &font, 255, 255, 255, 0, 255, 2, nullptr);
        auto expected = canvas();
        for (int i = 0; i < w.GetLineCount(); ++i) {
            const char* line = w.GetLine(i)->CStr();
            int width = font.MeasureText(line);
            int x = alignment == 0 ? 10 : alignment == 1 ? 10 + 50 - (width >> 1) : 10 + 100 - width;
            font.DrawText(expected.get(), x, 4 + i * (font.GetLineHeight() + 2), line, 255, 255, 255, 0, 255, nullptr);
        }
        EXPECT_EQ(memcmp(drawn->GetPixels(), expected->GetPixels(), 160 * 60 * 2), 0) << alignment;
    }
    WrappedText odd;
    odd.alignment = 3;
    ASSERT_TRUE(odd.SetText(100, &font, "x"));
    auto s = canvas();
    odd.Draw(s.get(), 10, 4, &font, 255, 255, 255, 0, 255, 0, nullptr);
    for (int i = 0; i < 160 * 60; ++i)
        ASSERT_EQ(s->GetPixels()[i], 0);
}
