#include <gtest/gtest.h>

#include "engine/core/input.h"
#include "engine/core/engine_keys.h"
#include "tests/engine/core/test_app.h"

namespace {

constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

// A screen covering the game area, holding the focus as the current screen does.
struct Screen {
    explicit Screen(TestApp& app, int width = 1000, int height = 1000) : app(app), widget(&app)
    {
        widget.SetRect(0, 0, width, height);
    }
    ~Screen() { app.RemoveChild(&widget); }
    TestApp& app;
    Probe widget;
};

}  // namespace

TEST(Input, ArrowKeysTurnWithTheScreen)
{
    EXPECT_EQ(RotateArrowKey(kLeft), kLeft);  // no application
    TestApp app;
    const int keys[] = {kLeft, kUp, kRight, kDown};
    const int turnedBy1[] = {kUp, kRight, kDown, kLeft};
    const int turnedBy2[] = {kDown, kLeft, kUp, kRight};
    for (int i = 0; i < 4; ++i) {
        app.SetUpArea(240, 320, 0);
        EXPECT_EQ(RotateArrowKey(keys[i]), keys[i]);
        app.SetUpArea(240, 320, 1);
        EXPECT_EQ(RotateArrowKey(keys[i]), turnedBy1[i]);
        app.SetUpArea(240, 320, 2);
        EXPECT_EQ(RotateArrowKey(keys[i]), turnedBy2[i]);
    }
    EXPECT_EQ(RotateArrowKey(32), 32);
    EXPECT_EQ(RotateArrowKey(112), 112);
}

TEST(Input, KeyPathTurnsMapsAndDeliversOncePerHold)
{
    TestApp app;
    app.SetUpArea(240, 320, 1);
    Screen screen(app);

    // Holding right under rotation 1: the map sees down, the widgets get down once.
    EXPECT_TRUE(OnVirtualKey(kRight, true));
    EXPECT_TRUE(OnVirtualKey(kRight, true));
    EXPECT_TRUE(OnVirtualKey(kRight, true));
    EXPECT_TRUE(OnVirtualKey(kRight, false));
    EXPECT_EQ(app.mapped, (std::vector<int>{kDown, kDown, kDown, kDown}));
    EXPECT_EQ(app.GetLastKey(), kDown);
    EXPECT_EQ(screen.widget.keys, (std::vector<KeyEvent>{{4, true}, {4, false}}));
    EXPECT_FALSE(app.IsKeyDown(kKeyDown));

    // The engine's own map answers no key for anything, and no key goes nowhere.
    EXPECT_FALSE(OnVirtualKey('Q', true));
    EXPECT_FALSE(app.OnKey(32, true));
    EXPECT_FALSE(app.OnKey(-1, true));
    EXPECT_EQ(screen.widget.keys.size(), 2u);
}

TEST(Input, HeldDirectionKeysRepeatEveryFifteenUpdates)
{
    TestApp app;
    Screen screen(app);
    app.Update();  // repeat is off by default
    app.EnableRepeat(true);
    app.OnKey(kKeyRight, true);
    app.OnKey(kKeyAction, true);
    for (int i = 0; i < 14; ++i)
        app.Update();
    EXPECT_EQ(screen.widget.keys.size(), 2u);
    app.Update();
    EXPECT_EQ(screen.widget.keys.back(), (KeyEvent{2, true}));
    EXPECT_EQ(screen.widget.keys.size(), 3u);
    for (int i = 0; i < 15; ++i)
        app.Update();
    EXPECT_EQ(screen.widget.keys.size(), 4u);

    // A release restarts the count; a latched key does not repeat.
    app.OnKey(kKeyRight, false);
    app.OnKey(kKeyRight, true);
    app.LatchKey(kKeyRight);
    for (int i = 0; i < 30; ++i)
        app.Update();
    EXPECT_EQ(screen.widget.keys.size(), 6u);

    // Every held key repeats when repeat is not limited to the directions.
    app.ClearKeyLatches();
    app.EnableRepeat(false);
    for (int i = 0; i < 15; ++i)
        app.Update();
    EXPECT_EQ(screen.widget.keys.size(), 8u);
    EXPECT_EQ(screen.widget.keys[6], (KeyEvent{2, true}));
    EXPECT_EQ(screen.widget.keys[7], (KeyEvent{5, true}));
}

TEST(Input, LatchedActionKeySwallowsOnePressAndItsReleaseClearsEveryLatch)
{
    TestApp app;
    Screen screen(app);
    app.LatchKey(kKeyAction);
    app.LatchKey(kKeyUp);
    app.LatchKey(40);  // not an engine key
    EXPECT_FALSE(app.IsKeyLatched(40));
    EXPECT_TRUE(OnVirtualKey(32, true));
    EXPECT_TRUE(screen.widget.keys.empty());
    EXPECT_TRUE(OnVirtualKey(32, false));
    EXPECT_TRUE(screen.widget.keys.empty());
    EXPECT_FALSE(app.IsKeyLatched(kKeyUp));
    OnVirtualKey(32, true);
    OnVirtualKey(32, false);
    EXPECT_EQ(screen.widget.keys, (std::vector<KeyEvent>{{5, true}, {5, false}}));
}

TEST(Input, KeyHeldWhenLatchedIsReleasedByItsSwallowedRelease)
{
    TestApp app;
    Screen screen(app);
    app.OnKey(kKeyAction, true);
    app.LatchKey(kKeyAction);  // the window is switched away while the key is down
    EXPECT_TRUE(app.OnKey(kKeyAction, false));
    EXPECT_FALSE(app.IsKeyDown(kKeyAction));
    EXPECT_TRUE(app.OnKey(kKeyAction, true));
    EXPECT_EQ(screen.widget.keys, (std::vector<KeyEvent>{{5, true}, {5, true}}));
}

TEST(Input, SoftKeys)
{
    TestApp app;
    app.SetLastKey(112);
    EXPECT_TRUE(app.IsLeftSoftKey());
    EXPECT_FALSE(app.IsRightSoftKey());
    app.SetLastKey(113);
    EXPECT_TRUE(app.IsRightSoftKey());
    app.SetLastKey(194);
    EXPECT_FALSE(app.IsLeftSoftKey());
    app.SetSoftKeyQuirk(true);
    EXPECT_TRUE(app.IsLeftSoftKey());
    app.SetLastKey(195);
    EXPECT_TRUE(app.IsRightSoftKey());
}

TEST(Input, StylusIsMovedIntoTheGameAreaAndClamped)
{
    TestApp app;
    app.SetUpArea(320, 240);
    GameArea area = app.GetGameArea();
    area.offsetX = 40;
    area.offsetY = 0;
    app.SetGameArea(area);
    Screen screen(app);

    EXPECT_TRUE(app.OnPointer(10, 5, 1));
    EXPECT_TRUE(app.IsPointerDown());
    EXPECT_TRUE(app.OnPointer(400, 300, 2));
    EXPECT_FALSE(app.IsPointerDown());
    EXPECT_TRUE(app.OnPointer(100, 50, 3));
    EXPECT_EQ(screen.widget.pointers, (std::vector<PointerEvent>{{0, 5, 1}, {319, 239, 2}, {60, 50, 3}}));

    // Kind 4 is accepted and goes nowhere.
    EXPECT_TRUE(app.OnPointer(100, 50, 4));
    EXPECT_EQ(screen.widget.pointers.size(), 3u);

    // A scaled area: 320x240 drawn at 640x480.
    area = app.GetGameArea();
    area.offsetX = 0;
    area.scaled = true;
    area.drawWidth = 640;
    area.drawHeight = 480;
    app.SetGameArea(area);
    app.OnPointer(301, 99, 1);
    EXPECT_EQ(screen.widget.pointers.back(), (PointerEvent{150, 49, 1}));
}

TEST(Input, StylusTurnsWithTheScreen)
{
    TestApp app;
    app.SetUpArea(240, 320, 1);  // the window is 240 wide, the picture 320 wide
    Screen screen(app);
    app.OnPointer(10, 20, 1);
    EXPECT_EQ(screen.widget.pointers.back(), (PointerEvent{320 - 1 - 20, 10, 1}));
    app.SetUpArea(240, 320, 2);
    app.OnPointer(10, 20, 1);
    EXPECT_EQ(screen.widget.pointers.back(), (PointerEvent{20, 240 - 1 - 10, 1}));
}

TEST(Input, CloseButtonPressedThenReleasedElsewhereIsCancelled)
{
    TestApp app;
    app.SetUpArea(320, 240);
    app.AddExitButton(16);
    Screen screen(app);
    app.ClearFullRedraw();

    // The corner: right - 16 <= x < right and 0 < y <= 16.
    EXPECT_TRUE(app.IsOnExitButton(304, 16));
    EXPECT_FALSE(app.IsOnExitButton(303, 16));
    EXPECT_FALSE(app.IsOnExitButton(310, 0));
    EXPECT_FALSE(app.IsOnExitButton(310, 17));
    EXPECT_TRUE(app.OnPointer(310, 0, 1));
    EXPECT_FALSE(app.IsExitButtonPressed());
    EXPECT_EQ(screen.widget.pointers.size(), 1u);
    app.OnPointer(310, 0, 2);

    EXPECT_TRUE(app.OnPointer(304, 16, 1));
    EXPECT_TRUE(app.IsExitButtonPressed());
    EXPECT_TRUE(app.IsFullRedrawRequested());
    app.ClearFullRedraw();
    EXPECT_TRUE(app.OnPointer(100, 100, 3));
    EXPECT_TRUE(app.OnPointer(100, 100, 2));
    EXPECT_FALSE(app.IsExitButtonPressed());
    EXPECT_TRUE(app.IsFullRedrawRequested());
    EXPECT_FALSE(app.IsQuitRequested());
    EXPECT_EQ(screen.widget.pointers.size(), 2u);

    // Pressed and released on the button: quit with code 2.
    app.OnPointer(319, 1, 1);
    EXPECT_TRUE(app.OnPointer(315, 5, 2));
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(app.GetExitCode(), 2);
    EXPECT_EQ(screen.widget.pointers.size(), 2u);
}

TEST(Input, CloseButtonNeedsBothImagesAndFollowsTheTurnedWidth)
{
    TestApp app;
    app.SetUpArea(240, 320, 1);
    app.AddExitButton(16);
    Screen screen(app);
    // Under rotation the right edge is the area's height: window (5, 5) turns to (314, 5).
    EXPECT_TRUE(app.OnPointer(5, 5, 1));
    EXPECT_TRUE(app.IsExitButtonPressed());
    EXPECT_TRUE(screen.widget.pointers.empty());
}

TEST(Input, ExitButtonQueryAgreesWithTheStylusPath)
{
    TestApp app;
    app.SetUpArea(320, 240);
    EXPECT_FALSE(app.IsOnExitButton(315, 5)) << "no button without its images";
    app.AddExitButton(16);
    Screen screen(app);
    // Each point: what the query says, then what a press there does.
    const int points[][2] = {{304, 16}, {319, 1}, {303, 16}, {310, 0}, {315, 17}, {100, 100}};
    for (const auto& p : points) {
        const bool on = app.IsOnExitButton(p[0], p[1]);
        app.OnPointer(p[0], p[1], 1);
        EXPECT_EQ(on, app.IsExitButtonPressed()) << p[0] << "," << p[1];
        app.OnPointer(150, 150, 3);
        app.OnPointer(150, 150, 2);
    }
    EXPECT_FALSE(app.IsQuitRequested());
    // Turned, the button follows the area's height.
    app.SetUpArea(240, 320, 1);
    EXPECT_TRUE(app.IsOnExitButton(314, 5));
    EXPECT_FALSE(app.IsOnExitButton(230, 5));
}

TEST(Input, ModalWidgetTakesEveryStylusEvent)
{
    TestApp app;
    app.SetUpArea(320, 240);
    Screen screen(app);
    Probe* button = new Probe(&screen.widget);
    button->SetRect(0, 0, 10, 10);
    button->pointerResult = false;
    app.SetModalWidget(button);
    EXPECT_FALSE(app.OnPointer(200, 200, 3));
    EXPECT_EQ(button->pointers, (std::vector<PointerEvent>{{200, 200, 3}}));
    EXPECT_TRUE(screen.widget.pointers.empty());

    // A modal widget deleted while it holds the capture gives it back.
    screen.widget.RemoveChild(button);
    delete button;
    EXPECT_EQ(app.GetModalWidget(), nullptr);
    EXPECT_TRUE(app.OnPointer(200, 200, 3));
    EXPECT_EQ(screen.widget.pointers.size(), 1u);
}
