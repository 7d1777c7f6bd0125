// The typed text in the shipped main font: a second's delay, then a character an update; a
// centred text shows whole once anything shows; a left-aligned one reveals its lines in order.
#include <gtest/gtest.h>

#include <vector>

#include "engine/graphics/font.h"
#include "game/screens/typewriter_label.h"
#include "progress_app.h"

namespace {

// Pixels of the display's rows [y0, y1) that differ from black after drawing the text, drawn as
// any wrapped text is.
int Lit(ProgressApp& app, const WrappedText& text, int y0, int y1)
{
    Surface* display = app.GetScreenSurface();
    display->Clear(0, 0, 0);
    text.Draw(display, 10, 10, app.GetMainFont(), 255, 255, 255, 0, 255, 0, nullptr);
    int lit = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < display->GetWidth(); ++x)
            lit += display->GetPixels()[y * display->GetRawWidth() + x] != 0 ? 1 : 0;
    return lit;
}

void Advance(TypewriterText& text, int updates)
{
    for (int i = 0; i < updates; ++i)
        text.Advance(Fixed::FromInt(1));
}

}  // namespace

TEST(TypewriterText, TenCharactersAreDoneOnThe43rdUpdate)
{
    ProgressApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    for (int alignment : {0, 1}) {
        TypewriterText text;
        text.alignment = alignment;
        ASSERT_TRUE(text.SetText(600, app.GetMainFont(), "abcdefghij"));
        text.CountTotal();
        EXPECT_EQ(text.GetTotal(), 10);
        Advance(text, 42);
        EXPECT_FALSE(text.IsDone());
        Advance(text, 1);
        EXPECT_TRUE(text.IsDone());
        EXPECT_EQ(text.GetShown(), Fixed::FromInt(10));
    }
}

TEST(TypewriterText, CentredTextShowsWholeOnThe34thUpdate)
{
    ProgressApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    TypewriterText text;
    text.alignment = 1;
    ASSERT_TRUE(text.SetText(600, app.GetMainFont(), "Ribbit ribbit"));
    text.CountTotal();
    Advance(text, 33);
    EXPECT_EQ(Lit(app, text, 0, 480), 0);
    Advance(text, 1);
    int first = Lit(app, text, 0, 480);
    Advance(text, 20);
    EXPECT_GT(first, 0);
    EXPECT_EQ(Lit(app, text, 0, 480), first);
}

TEST(TypewriterText, SecondLineWaitsForTheFirst)
{
    ProgressApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    TypewriterText text;
    text.alignment = 0;
    ASSERT_TRUE(text.SetText(600, app.GetMainFont(), "first line\\nsecond"));
    text.CountTotal();
    ASSERT_EQ(text.GetLineCount(), 2);
    EXPECT_EQ(text.GetTotal(), 16);
    int h = app.GetMainFont()->GetLineHeight();
    int firstRows[2] = {10, 10 + h}, secondRows[2] = {10 + h, 10 + 2 * h};
    // 33 updates of delay, then the ten characters of the first line one by one.
    Advance(text, 33 + 5);
    int half = Lit(app, text, firstRows[0], firstRows[1]);
    EXPECT_GT(half, 0);
    EXPECT_EQ(Lit(app, text, secondRows[0], secondRows[1]), 0);
    Advance(text, 5);
    EXPECT_GT(Lit(app, text, firstRows[0], firstRows[1]), half);
    EXPECT_EQ(Lit(app, text, secondRows[0], secondRows[1]), 0);
    Advance(text, 1);
    EXPECT_GT(Lit(app, text, secondRows[0], secondRows[1]), 0);
}

TEST(TypewriterText, EmptyTextIsDoneOnThe33rdUpdateAndDrawsNothing)
{
    ProgressApp app(320, 240);
    ASSERT_TRUE(app.Ready());
    TypewriterText text;
    text.CountTotal();
    EXPECT_EQ(text.GetTotal(), 0);
    EXPECT_EQ(text.GetLineCount(), 0);
    Advance(text, 32);
    EXPECT_FALSE(text.IsDone());
    Advance(text, 1);
    EXPECT_TRUE(text.IsDone());
    EXPECT_EQ(Lit(app, text, 0, 240), 0);
}
