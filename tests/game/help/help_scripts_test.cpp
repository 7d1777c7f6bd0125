// The help pages' demonstrations played frame by frame on the layout table's values, with the
// numbers worked out by hand for 640x480, and every item kept on the screen at each resolution.
#include <gtest/gtest.h>

#include <vector>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "game/help/help_scene.h"
#include "game/help/help_scripts.h"
#include "game/play/frog.h"
#include "game/tables/display_mode.h"
#include "tests/game/play/board_app.h"

namespace {

// A board application with every set the pages use and a layout entry that can be changed.
class HelpApp : public BoardApp {
public:
    explicit HelpApp(int mode = kDisplayMode640x480) : BoardApp(mode)
    {
        ready = AddSet("Ball1", 50, 8, 8) && AddSet("Ball2", 50, 8, 8) && AddSet("Ball3", 50, 8, 8) &&
                AddSet("BallShadow", 1, 8, 8) && AddSet("BallExplosion", 12, 8, 8) && AddSet("Coin", 24, 8, 8) &&
                AddSet("Tap", 1, 8, 8) && AddSet("Frog", 1, 20, 20) && AddSet("NextToShoot", 6, 6, 6) &&
                AddSet("EyeBlink", 2, 8, 4) && AddSet("Tongue", 2, 6, 8) && AddSet("FrogNose", 1, 6, 6) &&
                AddSet("FrogAll", 1, 20, 20);
        tap = spriteList_->FindByName("Tap");
        ready = ready && tap && tap->Load().ok();
    }
    ~HelpApp() override
    {
        if (tap && ready)
            tap->Release();
    }
    void SetInt(int entry, int value) { layoutTable_.ints[static_cast<size_t>(entry)] = value; }
    Surface* TapImage() const { return tap->GetFrame(0); }

    ResourceEntry* tap = nullptr;
    bool ready = false;
};

HelpSpriteItem* Sprite(HelpScene& scene, const char* name)
{
    HelpItem* item = scene.FindItem(name);
    return item && item->Kind() == kHelpItemSprite ? static_cast<HelpSpriteItem*>(item) : nullptr;
}

HelpFrogItem* FrogItem(HelpScene& scene)
{
    HelpItem* item = scene.FindItem("frog");
    return item && item->Kind() == kHelpItemFrog ? static_cast<HelpFrogItem*>(item) : nullptr;
}

struct Point2 {
    int x, y;
    bool operator==(const Point2&) const = default;
};

Point2 At(const HelpSpriteItem* item)
{
    return {item->x.ToInt(), item->y.ToInt()};
}

}  // namespace

TEST(HelpScripts, ChainPageShotFliesIntoTheMiddleOfTheOpenedGap)
{
    HelpApp app;
    ASSERT_TRUE(app.ready);
    HelpScene scene(&app, 1, nullptr, 0, 0);
    ASSERT_TRUE(RunHelpScript(scene, 1, app.TapImage(), "Tap"));
    std::vector<Point2> path;
    Point2 blue1{}, blue2{};
    for (int frame = 0; frame < 400 && (path.empty() || Sprite(scene, "blue4")); ++frame) {
        scene.Update();
        if (HelpSpriteItem* shot = Sprite(scene, "blue4")) {
            path.push_back(At(shot));
            blue1 = At(Sprite(scene, "blue1"));
            blue2 = At(Sprite(scene, "blue2"));
        }
    }
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), (Point2{384, 76}));
    // 68 down and right at 2 a frame, then the last 32 while the row opens by 16 each way.
    EXPECT_EQ(path[34], (Point2{452, 144}));
    EXPECT_EQ(path.back(), (Point2{484, 176}));
    EXPECT_EQ(blue1, (Point2{452, 176}));
    EXPECT_EQ(blue2, (Point2{516, 176}));
}

TEST(HelpScripts, AnOddSpacingMovesTheLeftHalfOnePixelFurther)
{
    HelpApp app;
    ASSERT_TRUE(app.ready);
    app.SetInt(kLayoutHelpSpacing, 25);
    HelpScene scene(&app, 1, nullptr, 0, 0);
    RunHelpScript(scene, 1, app.TapImage(), "Tap");
    int yellowStart = 0, redStart = 0;
    for (int frame = 0; frame < 200 && !Sprite(scene, "exp1"); ++frame) {
        scene.Update();
        if (frame == 0) {
            yellowStart = Sprite(scene, "yellow1")->x.ToInt();
            redStart = Sprite(scene, "red1")->x.ToInt();
        }
    }
    ASSERT_NE(Sprite(scene, "exp1"), nullptr);
    EXPECT_EQ(yellowStart - Sprite(scene, "yellow1")->x.ToInt(), 13);
    EXPECT_EQ(Sprite(scene, "red1")->x.ToInt() - redStart, 12);
}

TEST(HelpScripts, AimPageShotsAndTurnsTakeTheirFrames)
{
    HelpApp app;
    ASSERT_TRUE(app.ready);
    HelpScene scene(&app, 3, nullptr, 0, 0);
    RunHelpScript(scene, 3, app.TapImage(), "Tap");
    std::vector<int> turnRuns;  // frames of each run of turning, signed by direction
    Fixed lastAngle = Fixed::FromInt(270);
    int yellowFirst = -1, yellowLast = -1, redFrames = 0;
    Point2 redStart{};
    for (int frame = 0; frame < 600 && scene.IsBusy(); ++frame) {
        scene.Update();
        HelpFrogItem* frog = FrogItem(scene);
        ASSERT_NE(frog, nullptr);
        ASSERT_NE(frog->GetFrog(), nullptr);
        Fixed angle = frog->GetFrog()->GetAngle();
        int direction = angle > lastAngle ? 1 : angle < lastAngle ? -1 : 0;
        if (direction != 0) {
            if (turnRuns.empty() || (turnRuns.back() > 0) != (direction > 0))
                turnRuns.push_back(0);
            turnRuns.back() += direction;
        }
        lastAngle = angle;
        if (HelpSpriteItem* red = Sprite(scene, "red")) {
            if (redFrames++ == 0)
                redStart = At(red);
        }
        if (HelpSpriteItem* yellow = Sprite(scene, "yellow")) {
            if (yellowFirst < 0) {
                EXPECT_EQ(At(yellow), (Point2{90, 150}));
                yellowFirst = frame;
            }
            if (yellow->x.EqualsInt(286) && yellowLast < 0)
                yellowLast = frame;
            EXPECT_EQ(yellow->y, Fixed::FromInt(150));
        }
    }
    EXPECT_FALSE(scene.IsBusy());
    EXPECT_EQ(turnRuns, (std::vector<int>{-10, 20, -10}));
    EXPECT_EQ(yellowLast - yellowFirst, 28);
    // The red shot leaves the mouth of the frog turned to 250: up and to the right of the frog.
    EXPECT_GT(redStart.x, 70);
    EXPECT_LT(redStart.y, 150);
}

TEST(HelpScripts, SwapPageGoesIdleAfter127FramesAndTheCoinNever)
{
    HelpApp app;
    ASSERT_TRUE(app.ready);
    HelpScene swap(&app, 2, nullptr, 0, 0);
    RunHelpScript(swap, 2, app.TapImage(), "Tap");
    int frames = 0;
    while (swap.IsBusy() && frames < 1000) {
        swap.Update();
        ++frames;
    }
    EXPECT_EQ(frames, 127);
    HelpFrogItem* frog = FrogItem(swap);
    ASSERT_NE(frog, nullptr);
    // Swapped once: yellow loaded, red next.
    EXPECT_EQ(frog->GetColour(), 1);
    EXPECT_EQ(frog->GetNextColour(), 2);

    HelpScene coin(&app, 0, nullptr, 0, 0);
    RunHelpScript(coin, 0, app.TapImage(), "Tap");
    for (int frame = 0; frame < 500; ++frame)
        coin.Update();
    EXPECT_TRUE(coin.IsBusy());
    // The coin spins on at 0.75 frames an update, wrapping over its 24 frames.
    EXPECT_EQ(Sprite(coin, "coin")->frame, Fixed::FromDouble(0.75 * 500 - 15 * 24));
}

TEST(HelpScripts, ShootingHidesTheLoadedBallForOneFrameAndSwapsTheColours)
{
    HelpApp app;
    ASSERT_TRUE(app.ready);
    HelpScene scene(&app, 3, nullptr, 0, 0);
    scene.AddCreateFrog("frog", 100, 100, 2, 1, Fixed::FromInt(270));
    scene.BlockOnLast();
    scene.AddShoot("frog");
    scene.Update();
    HelpFrogItem* frog = FrogItem(scene);
    ASSERT_NE(frog, nullptr);
    // Aimed at 270 the mouth lies the layout's mouth distance to the right of the centre.
    EXPECT_EQ(frog->GetMouthX().ToInt(), 100 + app.Layout().ints[kLayoutMouthDistance]);
    EXPECT_EQ(frog->GetMouthY().ToInt(), 100);
    scene.Update();
    EXPECT_EQ(frog->GetColour(), 1);
    EXPECT_EQ(frog->GetNextColour(), 2);
    // Set to 1 by the shot and counted down by the frog's update in the same frame.
    EXPECT_EQ(frog->GetShotCounter(), 0);
    EXPECT_LT(frog->GetFrog()->GetRecoilOffset().raw, 0);
}

TEST(HelpScripts, EveryItemStaysOnTheScreenAtEveryResolution)
{
    struct Mode {
        int code, width, height;
    };
    const Mode kModes[] = {{kDisplayMode640x480, 640, 480}, {kDisplayMode800x480, 800, 480},
                           {kDisplayMode320x240, 320, 240}, {kDisplayMode400x240, 400, 240},
                           {kDisplayMode320x320, 320, 320}, {kDisplayMode240x240, 240, 240}};
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.width * 1000 + mode.height);
        HelpApp app(mode.code);
        ASSERT_TRUE(app.ready);
        for (int page = 0; page < 4; ++page) {
            SCOPED_TRACE(page);
            HelpScene scene(&app, page, nullptr, 0, 0);
            RunHelpScript(scene, page, app.TapImage(), "Tap");
            int seen = 0;
            for (int frame = 0; frame < 700 && scene.IsBusy(); ++frame) {
                scene.Update();
                for (int i = 0; i < scene.GetItemCount(); ++i) {
                    HelpItem* item = scene.GetItem(i);
                    int x = 0, y = 0;
                    if (item->Kind() == kHelpItemSprite) {
                        auto* sprite = static_cast<HelpSpriteItem*>(item);
                        x = sprite->x.ToInt();
                        y = sprite->y.ToInt();
                    } else if (item->Kind() == kHelpItemFrog) {
                        auto* frog = static_cast<HelpFrogItem*>(item);
                        ASSERT_NE(frog->GetFrog(), nullptr);
                        const FixedRect& bounds = frog->GetFrog()->Bounds();
                        int cx = bounds.CenterX().ToInt(), cy = bounds.CenterY().ToInt();
                        ASSERT_TRUE(cx >= 0 && cx < mode.width && cy >= 0 && cy < mode.height) << cx << "," << cy;
                        x = frog->GetMouthX().ToInt();
                        y = frog->GetMouthY().ToInt();
                    }
                    ++seen;
                    ASSERT_TRUE(x >= 0 && x < mode.width && y >= 0 && y < mode.height)
                        << item->GetName().CStr() << " at " << x << "," << y << " frame " << frame;
                }
            }
            EXPECT_GT(seen, 0);
        }
    }
}
