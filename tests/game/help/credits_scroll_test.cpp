// The credits' scroll: the crawl, the keys, the drag, the fling and the rubber band at both ends.
#include <gtest/gtest.h>

#include "game/help/credits_scroll.h"

namespace {

CreditsScroll Scroll(int textHeight, int windowHeight)
{
    CreditsScroll scroll;
    scroll.SetSpeeds(Fixed::FromInt(1), Fixed::FromInt(2));
    scroll.Start(textHeight, windowHeight);
    return scroll;
}

}  // namespace

TEST(CreditsScroll, AShortTextCrawlsUntilItsTopMeetsTheWindowsTop)
{
    CreditsScroll scroll = Scroll(100, 190);
    EXPECT_EQ(scroll.maximum.raw, 0);
    EXPECT_EQ(scroll.position, Fixed::FromInt(-190));
    for (int frame = 0; frame < 189; ++frame)
        scroll.Update();
    EXPECT_TRUE(scroll.autoScroll);
    scroll.Update();
    EXPECT_FALSE(scroll.autoScroll);
    EXPECT_EQ(scroll.position.raw, 0);
    for (int frame = 0; frame < 50; ++frame)
        scroll.Update();
    EXPECT_EQ(scroll.position.raw, 0);
}

TEST(CreditsScroll, APressBelowTheTopStopsTheCrawlAndPullsUpByFiveOrMore)
{
    CreditsScroll scroll = Scroll(400, 190);
    scroll.Update();
    scroll.Press(50);
    scroll.Release(50);
    EXPECT_FALSE(scroll.autoScroll);
    Fixed last = scroll.position;
    int frames = 0;
    while (scroll.position.raw < 0 && frames < 100) {
        scroll.Update();
        Fixed step = scroll.position - last;
        if (scroll.position.raw < 0) {
            EXPECT_GE(step, Fixed::FromInt(5)) << frames;
        }
        last = scroll.position;
        ++frames;
    }
    // The last pull of at least 5 may end a little inside the top.
    EXPECT_LE(scroll.position, Fixed::FromInt(5));
    // 0.4 of the overshoot while that is more than 5: far fewer frames than 189 / 5.
    EXPECT_LT(frames, 16);
}

TEST(CreditsScroll, TheKeysMoveByTheirSpeedAndStopExactlyAtTheEnds)
{
    CreditsScroll scroll = Scroll(205, 100);  // maximum 105: not a multiple of the key speed 2
    scroll.SetKeyDirection(1);
    EXPECT_FALSE(scroll.autoScroll);
    scroll.position = Fixed();
    scroll.Update();
    EXPECT_EQ(scroll.position, Fixed::FromInt(2));
    for (int frame = 0; frame < 100; ++frame) {
        scroll.Update();
        EXPECT_LE(scroll.position, scroll.maximum);
    }
    EXPECT_EQ(scroll.position, Fixed::FromInt(105));
    scroll.SetKeyDirection(-1);
    for (int frame = 0; frame < 100; ++frame)
        scroll.Update();
    EXPECT_EQ(scroll.position.raw, 0);
    scroll.SetKeyDirection(0);
    scroll.Update();
    EXPECT_EQ(scroll.position.raw, 0);
}

TEST(CreditsScroll, ADragFollowsEveryMoveOnceAndStopsWithThePointer)
{
    CreditsScroll scroll = Scroll(1000, 100);
    scroll.position = Fixed::FromInt(300);
    scroll.Press(200);
    // Three moves within one frame, as a mouse sends them: the text follows all of them.
    scroll.Move(195);
    scroll.Move(190);
    scroll.Move(180);
    EXPECT_EQ(scroll.position, Fixed::FromInt(320));
    for (int frame = 0; frame < 5; ++frame) {
        scroll.Update();
        EXPECT_EQ(scroll.position, Fixed::FromInt(320)) << "the text runs on under a still pointer";
    }
    scroll.Move(190);
    EXPECT_EQ(scroll.position, Fixed::FromInt(310));
}

TEST(CreditsScroll, AFlingTakesTheLastMovesDeltaAndDecaysByOneAFrame)
{
    CreditsScroll scroll = Scroll(1000, 100);
    scroll.position = Fixed::FromInt(300);
    scroll.Press(200);
    scroll.Move(190);
    scroll.Move(184);  // the last move: 6 up
    scroll.Release(184);
    Fixed start = scroll.position;
    const int steps[] = {5, 4, 3, 2, 1, 0, 0};
    for (int step : steps) {
        scroll.Update();
        EXPECT_EQ(scroll.position - start, Fixed::FromInt(step));
        start = scroll.position;
    }
}

TEST(CreditsScroll, WindowsSmallerThanTheMinimumPullComeToRestWithinTheEnds)
{
    for (int maximum = 0; maximum <= 4; ++maximum) {
        for (int start = -30; start <= 30; start += 3) {
            for (int fling = -12; fling <= 12; fling += 4) {
                SCOPED_TRACE(std::to_string(maximum) + " " + std::to_string(start) + " " + std::to_string(fling));
                CreditsScroll scroll = Scroll(100 + maximum, 100);
                scroll.position = Fixed::FromInt(start);
                scroll.Press(100);
                scroll.Move(100 - fling);
                scroll.Release(100 - fling);
                for (int frame = 0; frame < 80; ++frame) {
                    Fixed before = scroll.position;
                    scroll.Update();
                    // A pull never throws the text past the other end.
                    if (before.raw < 0 && scroll.velocity.raw <= 0) {
                        EXPECT_LE(scroll.position, scroll.maximum) << frame;
                    }
                    if (before > scroll.maximum && scroll.velocity.raw >= 0) {
                        EXPECT_GE(scroll.position.raw, 0) << frame;
                    }
                }
                Fixed rest = scroll.position;
                EXPECT_GE(rest.raw, 0);
                EXPECT_LE(rest, scroll.maximum);
                scroll.Update();
                EXPECT_EQ(scroll.position, rest) << "still moving";
            }
        }
    }
}
