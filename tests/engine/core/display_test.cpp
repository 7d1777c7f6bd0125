#include "engine/graphics/surface.h"
#include "platform/gdi.h"
#include "tests/support/handheld_fixture.h"

namespace {

constexpr uint16_t kWhite = 0xFFFF;

// A widget over the whole game area that records the stylus.
struct Catcher {
    explicit Catcher(TestApp& app) : app(app), probe(&app) { probe.SetRect(0, 0, 4000, 4000); }
    ~Catcher() { app.RemoveChild(&probe); }
    TestApp& app;
    Probe probe;
};

TEST_F(Handheld, WideScreenWithRawFrameBufferRunsAtFullResolution)
{
    HandheldApp& app = Start(Screen(480, 640, true));
    EXPECT_EQ(app.GetDisplayMode(), 2);
    EXPECT_EQ(g_halfResShift, 0);
    EXPECT_TRUE(g_rawFrameBuffer);
    EXPECT_TRUE(g_directCopy);
    EXPECT_EQ(nullbackend::CallCount("GXOpenDisplay"), 0) << "the raw path opens no GAPI display";
    ASSERT_NE(g_dibBuffer, nullptr);
    EXPECT_EQ(app.GetScreenSurface()->GetPixels(), g_dibBuffer->GetPixels());

    app.GetScreenSurface()->Clear(255, 255, 255);
    Present();
    auto* frame = static_cast<uint16_t*>(g_rawFrame.pFramePointer);
    EXPECT_EQ(frame[0], kWhite);
    EXPECT_EQ(frame[480 * 640 - 1], kWhite);
}

TEST_F(Handheld, WideScreenWithoutRawFrameBufferHalvesThroughGapi)
{
    HandheldApp& app = Start(Screen(480, 640, false));
    EXPECT_EQ(app.GetDisplayMode(), 1);
    EXPECT_EQ(g_halfResShift, 1);
    EXPECT_EQ(app.GetGameArea().gameWidth, 240);
    EXPECT_EQ(app.GetGameArea().gameHeight, 320);
    EXPECT_EQ(g_dibBuffer, nullptr);
    EXPECT_TRUE(nullbackend::IsGapiOpen());

    Catcher catcher(app);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 400));
    ASSERT_EQ(catcher.probe.pointers.size(), 1u);
    EXPECT_EQ(catcher.probe.pointers[0], (PointerEvent{150, 200, 1}));

    app.GetScreenSurface()->Clear(255, 255, 255);
    Present();
    EXPECT_EQ(Pixel(0, 0), kWhite);
    EXPECT_EQ(Pixel(479, 639), kWhite) << "each pixel covers two by two";
}

TEST_F(Handheld, SmallScreenWithoutRawFrameBufferUsesGdi)
{
    HandheldApp& app = Start(Screen(240, 320, false));
    EXPECT_EQ(app.GetDisplayMode(), 0);
    EXPECT_EQ(g_halfResShift, 0);
    EXPECT_EQ(nullbackend::CallCount("GXOpenDisplay"), 1) << "still required on the DIB path";
    ASSERT_NE(g_dibBuffer, nullptr);
    app.GetScreenSurface()->Clear(255, 255, 255);
    int before = GetPresentedFrameCount();
    Present();
    EXPECT_EQ(GetPresentedFrameCount(), before + 1);
    EXPECT_EQ(Pixel(239, 319), kWhite);

    Fresh(Screen(240, 320, false));
    DeviceProfile profile = Screen(240, 320, false);
    profile.gapiOpens = false;
    SetDeviceProfile(profile);
    Open();
    EXPECT_FALSE(AppInit(g_mainWindow)) << "GXOpenDisplay must succeed";
}

// The screen white first, so that only what Present draws is black.
void WhitenScreen()
{
    HDC dc = GetDC(nullptr);
    RECT all{0, 0, 4000, 4000};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(nullptr, dc);
}

TEST_F(Handheld, OffsetAreaUsesGdiWithBarsToTheScreensEdge)
{
    Fresh(Screen(801, 480, true));
    HandheldApp& app = Open();
    app.AddSupportedResolution(640, 480);
    ASSERT_TRUE(AppInit(g_mainWindow));
    EXPECT_EQ(app.GetDisplayMode(), 0) << "only GDI can place the picture";
    EXPECT_EQ(app.GetGameArea().offsetX, 80);
    WhitenScreen();
    app.GetScreenSurface()->Clear(0, 0, 255);
    Present();
    EXPECT_EQ(Pixel(79, 0), 0);
    EXPECT_EQ(Pixel(80, 0), 0x001F);
    EXPECT_EQ(Pixel(719, 479), 0x001F);
    EXPECT_EQ(Pixel(720, 0), 0);
    EXPECT_EQ(Pixel(800, 479), 0) << "the odd margin's last column is barred too";
}

TEST_F(Handheld, HalvedAreaOnTheGdiPathIsDoubledAndTapsLandRight)
{
    Fresh(Screen(800, 480, false));
    HandheldApp& app = Open();
    app.AddSupportedResolution(320, 240);
    ASSERT_TRUE(AppInit(g_mainWindow));
    EXPECT_EQ(app.GetDisplayMode(), 0);
    EXPECT_EQ(g_halfResShift, 1);
    EXPECT_EQ(app.GetGameArea().offsetX, 40);
    WhitenScreen();
    app.GetScreenSurface()->Clear(0, 0, 255);
    Present();
    EXPECT_EQ(Pixel(79, 0), 0);
    EXPECT_EQ(Pixel(80, 0), 0x001F);
    EXPECT_EQ(Pixel(719, 479), 0x001F) << "the picture fills the screen's height";
    EXPECT_EQ(Pixel(720, 0), 0);

    Catcher catcher(app);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 240));
    ASSERT_EQ(catcher.probe.pointers.size(), 1u);
    EXPECT_EQ(catcher.probe.pointers[0], (PointerEvent{160, 120, 1}));
}

TEST_F(Handheld, DisplayTurnedAtStartIsTurnedBackAndTheGameTurns)
{
    DeviceProfile profile = Screen(480, 640, true);
    profile.displayOrientation = DMDO_270;
    HandheldApp& app = Start(profile);
    EXPECT_EQ(app.GetRequestedRotation(), 2);
    EXPECT_EQ(nullbackend::CurrentOrientation(), DMDO_0);
    EXPECT_EQ(app.GetGameArea().screenWidth, 480) << "the size is read again";
    EXPECT_EQ(app.GetGameArea().screenHeight, 640);

    profile = Screen(800, 480, true);
    profile.displayOrientation = DMDO_180;
    HandheldApp& half = Start(profile);
    EXPECT_EQ(half.GetRequestedRotation(), 0) << "half a turn has no rotation of its own";
    EXPECT_EQ(nullbackend::CurrentOrientation(), DMDO_0);

    nullbackend::TurnDisplay(DMDO_180);
    RecheckDisplayOrientation();
    EXPECT_EQ(nullbackend::CurrentOrientation(), DMDO_0);
    EXPECT_TRUE(half.rotations.empty());
}

TEST_F(Handheld, PaintingGoesThroughWmPaintAfterASuspend)
{
    HandheldApp& app = Start(Screen(240, 320, true));
    g_paintThrough = true;
    app.GetScreenSurface()->Clear(255, 255, 255);
    int before = GetPresentedFrameCount();
    Present();
    EXPECT_EQ(GetPresentedFrameCount(), before) << "only the window is invalidated";
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    ASSERT_EQ(msg.message, WM_PAINT);
    DispatchMessage(&msg);
    EXPECT_EQ(GetPresentedFrameCount(), before + 1);
    EXPECT_EQ(Pixel(0, 0), kWhite);

    Send(WM_KEYUP, 'Q');
    EXPECT_FALSE(g_paintThrough) << "input ends painting through WM_PAINT";
}

}  // namespace
