#include <gtest/gtest.h>

#include "engine/core/frame_timing.h"
#include "platform/clock.h"
#include "platform/null/test_hooks.h"
#include "tests/engine/core/test_app.h"

namespace {

int g_presents = 0;

class FrameTiming : public ::testing::Test {
protected:
    void SetUp() override { Reset(1000); }
    void TearDown() override
    {
        SetPresentHook(nullptr);
        g_timerRunning = false;
    }
    // The window's state as it stands when the message loop starts at the given time.
    static void Reset(uint32_t now)
    {
        nullbackend::SetClock(now);
        g_suspended = false;
        g_paintThrough = false;
        g_resumeCountdown = 0;
        g_displayRecheckCountdown = -1;
        g_delayedSuspendCountdown = -1;
        g_lastFrameTick = now;
        g_quitPosted = false;
        // The window timer needs a window; these tests drive the ticks themselves.
        g_timerRunning = true;
        g_presents = 0;
        SetPresentHook([] { ++g_presents; });
    }
    static void TickAfter(uint32_t milliseconds)
    {
        nullbackend::AdvanceClock(milliseconds);
        OnTimerTick(nullptr);
    }
};

}  // namespace

TEST_F(FrameTiming, FrameIntervalFollowsTheRate)
{
    TestApp app;
    EXPECT_EQ(app.GetFrameInterval(), 30);
    const int cases[][2] = {{29, 34}, {30, 30}, {33, 30}, {34, 30}, {35, 28}, {60, 16}};
    for (const auto& c : cases) {
        app.SetFrameRate(c[0], true, false);
        EXPECT_EQ(app.GetFrameInterval(), c[1]) << c[0] << " fps";
    }
    // Rates no 1 ms timer can serve keep a usable interval instead of dividing by zero later.
    app.SetFrameRate(0, true, false);
    EXPECT_EQ(app.GetFrameInterval(), 1000);
    app.SetFrameRate(5000, true, false);
    EXPECT_EQ(app.GetFrameInterval(), 1);

    nullbackend::SetClock(4242);
    app.SetFrameRate(33, true, true);
    EXPECT_TRUE(app.IsFixedStep());
    EXPECT_FALSE(app.IsLimiterOn());
    EXPECT_EQ(app.GetStepClock(), 4242u);
    app.SetFrameRate(33, false, false);
    EXPECT_FALSE(app.IsLimiterOn());
}

TEST_F(FrameTiming, VariableStepWaitsForTheIntervalThenUpdatesDrawsAndPresents)
{
    TestApp app;
    TickAfter(29);
    EXPECT_EQ(app.ticks, 0);
    TickAfter(1);
    EXPECT_EQ(app.updates, 1);
    EXPECT_EQ(app.draws, 1);
    EXPECT_EQ(g_presents, 1);
    EXPECT_EQ(g_lastFrameTick, 1030u);
    TickAfter(1);
    EXPECT_EQ(app.ticks, 1);

    // Without the limiter every tick is a frame.
    app.SetFrameRate(33, false, false);
    TickAfter(1);
    TickAfter(0);
    EXPECT_EQ(app.updates, 3);
    EXPECT_EQ(g_presents, 3);
}

TEST_F(FrameTiming, FixedStepTickBeforeTheIntervalUpdatesOnceAndDrawsNothing)
{
    TestApp app;
    app.SetFrameRate(33, true, true);
    TickAfter(25);
    EXPECT_EQ(app.updates, 1);
    EXPECT_EQ(app.draws, 0);
    EXPECT_EQ(g_presents, 0);
    EXPECT_TRUE(app.IsEarlyStep());

    TickAfter(3);
    EXPECT_EQ(app.updates, 1);
    EXPECT_EQ(app.draws, 0);
    EXPECT_EQ(g_presents, 0);

    // The step's update already ran: the tick that completes the interval only draws.
    TickAfter(2);
    EXPECT_EQ(app.updates, 1);
    EXPECT_EQ(app.draws, 1);
    EXPECT_EQ(g_presents, 1);
    EXPECT_EQ(app.GetStepClock(), 1030u);
    EXPECT_FALSE(app.IsEarlyStep());
}

TEST_F(FrameTiming, FixedStepCatchesUpAtMostSixStepsAndDropsTheRest)
{
    TestApp app;
    app.SetFrameRate(33, true, true);
    TickAfter(30);
    EXPECT_EQ(app.updates, 1);
    EXPECT_EQ(app.draws, 1);
    EXPECT_EQ(app.GetStepClock(), 1030u);

    // 45 ms late: the step is due, no whole extra interval, the clock keeps its rhythm.
    TickAfter(45);
    EXPECT_EQ(app.updates, 2);
    EXPECT_EQ(app.draws, 2);
    EXPECT_EQ(app.GetStepClock(), 1060u);

    app.SetFrameRate(33, true, true);
    app.updates = app.draws = 0;
    g_presents = 0;
    TickAfter(400);
    EXPECT_EQ(app.updates, 7);
    EXPECT_EQ(app.draws, 1);
    EXPECT_EQ(g_presents, 1);
    EXPECT_EQ(app.GetStepClock(), GetTickCount() - 10);
}

TEST_F(FrameTiming, TicksSurviveTheClockWrapping)
{
    Reset(0xFFFFFFF0u);
    TestApp app;
    TickAfter(20);  // the clock now reads 4
    EXPECT_EQ(app.ticks, 0);
    TickAfter(10);
    EXPECT_EQ(app.ticks, 1);
    EXPECT_EQ(g_lastFrameTick, 14u);

    nullbackend::SetClock(0xFFFFFF00u);
    app.SetFrameRate(33, true, true);
    TickAfter(0x100 + 14);  // 270 ms across the wrap, eight steps behind: six are caught up
    EXPECT_EQ(GetTickCount(), 14u);
    EXPECT_EQ(app.updates, 1 + 7);
    EXPECT_EQ(app.GetStepClock(), 14u);
    TickAfter(30);
    EXPECT_EQ(app.updates, 1 + 7 + 1);
    EXPECT_EQ(app.GetStepClock(), GetTickCount());
}

TEST_F(FrameTiming, QuitRequestIsServedByTheNextAcceptedTickBeforeAnyFrame)
{
    TestApp app;
    app.RequestQuit(2);
    TickAfter(10);
    EXPECT_FALSE(g_quitPosted);
    TickAfter(20);
    EXPECT_TRUE(g_quitPosted);
    EXPECT_FALSE(g_timerRunning);
    EXPECT_EQ(app.ticks, 0);
    EXPECT_EQ(g_presents, 0);
    EXPECT_EQ(app.GetExitCode(), 2);
}

TEST_F(FrameTiming, NoFrameWhileSuspendedStoppedOrResuming)
{
    TestApp app;
    g_suspended = true;
    TickAfter(100);
    g_suspended = false;
    StopTimer();
    TickAfter(100);
    EXPECT_EQ(app.ticks, 0);
    g_timerRunning = true;

    g_resumeCountdown = 3;
    app.ClearFullRedraw();
    TickAfter(100);
    TickAfter(100);
    EXPECT_EQ(app.suspends, 0);
    TickAfter(100);
    EXPECT_EQ(app.suspends, 1);
    EXPECT_EQ(g_resumeCountdown, 0);
    EXPECT_EQ(g_displayRecheckCountdown, 30);
    EXPECT_TRUE(app.IsFullRedrawRequested());
    EXPECT_EQ(app.ticks, 0);
    TickAfter(100);
    EXPECT_EQ(app.ticks, 1);
    EXPECT_EQ(g_displayRecheckCountdown, 29);
}

TEST_F(FrameTiming, CountdownsRunOnAcceptedTicks)
{
    TestApp app;
    g_delayedSuspendCountdown = 1;
    g_displayRecheckCountdown = 2;
    app.ClearFullRedraw();
    TickAfter(5);  // refused by the limiter: nothing counts
    EXPECT_EQ(g_delayedSuspendCountdown, 1);
    TickAfter(25);
    EXPECT_EQ(app.suspends, 1);
    EXPECT_EQ(g_delayedSuspendCountdown, -1);
    EXPECT_EQ(g_displayRecheckCountdown, 1);
    // With the timer stopped the steps still run but no frame consumes the redraw request.
    app.ClearFullRedraw();
    StopTimer();
    TickAfter(30);
    EXPECT_EQ(g_displayRecheckCountdown, -1);
    EXPECT_EQ(app.suspends, 1);
    EXPECT_TRUE(app.IsFullRedrawRequested());
}

TEST_F(FrameTiming, FixedStepStatisticsText)
{
    TestApp app;
    app.SetStatistics(true);
    app.SetFrameRate(33, true, true);
    for (int i = 0; i < 100; ++i)
        TickAfter(30);
    // 100 updates and 99 draws in the 2970 ms since the first counted tick.
    EXPECT_STREQ(app.GetStatisticsText().CStr(), "Run-33.67/Draw-33.33");
}

TEST_F(FrameTiming, StatisticsWaitForTimeToPass)
{
    // The counters run while the statistics are off; switched on, the first report has no time
    // behind it yet.
    TestApp app;
    app.SetFrameRate(33, true, true);
    for (int i = 0; i < 100; ++i)
        TickAfter(30);
    app.SetStatistics(true);
    app.Tick();
    EXPECT_TRUE(app.GetStatisticsText().IsEmpty());
    TickAfter(30);
    EXPECT_STREQ(app.GetStatisticsText().CStr(), "Run-3366.67/Draw-3333.33");
}

TEST_F(FrameTiming, VariableStepFrameRateText)
{
    FrameRateText counter;
    for (uint32_t i = 0; i < 100; ++i)
        counter.CountFrame(1000 + 30 * i);
    // 100 x 256 / 2970 = 8 in whole frames per 256 ms: 8000 in 8.8, shown by its whole part.
    EXPECT_EQ(counter.GetRate(), 8000);
    EXPECT_STREQ(counter.GetText().CStr(), "31.00 fps");

    FrameRateText stalled;
    for (int i = 0; i < 100; ++i)
        stalled.CountFrame(5);
    EXPECT_TRUE(stalled.GetText().IsEmpty());
    stalled.CountFrame(105);
    EXPECT_STREQ(stalled.GetText().CStr(), "1007.00 fps");

    // Present counts only in variable step with statistics on.
    TestApp app;
    for (int i = 0; i < 100; ++i)
        TickAfter(30);
    EXPECT_TRUE(GetFrameRateText().GetText().IsEmpty());
    app.SetStatistics(true);
    for (int i = 0; i < 100; ++i)
        TickAfter(30);
    EXPECT_STREQ(GetFrameRateText().GetText().CStr(), "31.00 fps");
}

TEST_F(FrameTiming, UpdateTurnsTheScreenAndUpdatesTheFocusChild)
{
    TestApp app;
    Probe screen(&app);
    app.Update();
    EXPECT_EQ(screen.updates, 1);
    EXPECT_EQ(app.TurnAngle(), -23040);

    app.StartTurn(0, 2);
    for (int i = 0; i < 11; ++i)
        app.Update();
    EXPECT_EQ(app.TurnAngle(), 11 * 2048);
    EXPECT_EQ(app.TurnPhase(), 0);
    app.Update();
    EXPECT_EQ(app.TurnAngle(), 23040);
    EXPECT_EQ(app.TurnPhase(), 3);
    app.Update();
    EXPECT_EQ(app.TurnAngle(), 23040);

    app.RemoveChild(&screen);
}

TEST_F(FrameTiming, DrawFrameDrawsTheTreeAndTheExitButtonAndEndsTheFullRedraw)
{
    TestApp app;
    app.SetUpArea(100, 80);
    app.AddExitButton(8);
    Probe screen(&app);
    app.DrawFrame();
    EXPECT_EQ(screen.draws, 1);
    EXPECT_FALSE(app.IsFullRedrawRequested());

    const uint16_t* pixels = app.GetScreenSurface()->GetPixels();
    const uint16_t red = 0xF800;
    EXPECT_EQ(pixels[99], red);
    EXPECT_EQ(pixels[92], red);
    EXPECT_EQ(pixels[91], 0);
    EXPECT_EQ(pixels[7 * 100 + 99], red);
    EXPECT_EQ(pixels[8 * 100 + 99], 0);

    EXPECT_TRUE(app.OnPointer(95, 3, 1));
    app.DrawFrame();
    EXPECT_EQ(pixels[99], 0x001F);
    app.RemoveChild(&screen);
}
