#include "game/screens/loader_screen.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/graphics/particle_manager.h"
#include "engine/graphics/resource_entry.h"
#include "engine/ui/image_widgets.h"
#include "game/app/game_events.h"
#include "tests/game/app/screen_test_app.h"

namespace {

// The game's own loader on the test layouts, over a sprite list of the test's making whose sets
// use a 256-pixel bar picture (so the bar's filled width is its value) or a missing file.
class LoaderApp : public ScreenTestApp {
public:
    LoaderApp(int width = 320, int height = 240) : ScreenTestApp(width, height)
    {
        auto pixels = fixtures::Fill(256, 4, 3, [](int x, int, unsigned char* p) { p[0] = p[1] = p[2] = uint8_t(x); });
        fixtures::WritePng(Host("bar.png"), 256, 4, PNG_COLOR_TYPE_RGB, 8, pixels);
    }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotLoader ? GameApp::NewScreen(slot) : ScreenTestApp::NewScreen(slot);
    }
    String GetUiFolder() override { return ui.empty() ? ScreenTestApp::GetUiFolder() : String(ui.c_str()); }
    // Sets named as given; a name ending in '!' has no picture.
    bool AddSets(std::initializer_list<std::string> names)
    {
        std::string script;
        for (std::string name : names) {
            bool missing = !name.empty() && name.back() == '!';
            if (missing)
                name.pop_back();
            script += "set = " + name + "\nfile = " + (missing ? "nothing" : "bar") + "\nend\n";
        }
        return WriteHostFile(Host("sets.txt"), script.data(), script.size()) &&
               LoadSpriteScript(this, Engine("sets.txt").c_str()).ok();
    }
    void DropSound()
    {
        DeleteAndNull(soundManager_);
        sound = nullptr;
    }
    LoaderScreen* Loader() { return dynamic_cast<LoaderScreen*>(GetScreen(kSlotLoader)); }
    // Updates until the loader asks for the menu, the run ends or the limit passes; the count.
    int RunUntilDone(int limit = 400)
    {
        for (int i = 1; i <= limit; ++i) {
            Update();
            LoaderScreen* loader = Loader();
            if (IsQuitRequested() || !loader || loader->IsScreenFadingOut())
                return i;
        }
        return -1;
    }
    std::string ui;
};

// Updates until the first items load, checking that the frames before move the bar and load
// nothing; the number of updates, the loading one included.
int WaitForLoading(LoaderApp& app)
{
    LoaderScreen* loader = app.Loader();
    int frames = 0;
    while (loader->GetNextItem() == 0 && frames < 100) {
        EXPECT_TRUE(frames == 0 || loader->IsAnyBusy());
        EXPECT_EQ(loader->GetFramesElapsed(), frames);
        EXPECT_EQ(loader->GetBar()->GetValue(), frames * 256 / loader->GetExpectedFrames());
        app.Update();
        ++frames;
    }
    return frames;
}

TEST(Loader, WithNoSetsLoadsTheEffectsAndTheParticlesAtItemTen)
{
    LoaderApp app;
    app.gameEvents = true;
    app.roots[kSlotStartMenu] = "root_plain";
    ASSERT_TRUE(app.ShowLoader());
    LoaderScreen* loader = app.Loader();
    ASSERT_NE(loader, nullptr);
    EXPECT_FALSE(loader->IsScreenFadingIn()) << "the loader shows without a fade from black";
    EXPECT_EQ(loader->GetWidth(), 320);
    EXPECT_EQ(loader->GetTotalItems(), 38);
    EXPECT_EQ(loader->GetExpectedFrames(), 10 + 132);
    // A quarter second's fade at 33 frames a second: 8 waiting frames, then the first load.
    int first = WaitForLoading(app);
    EXPECT_GE(first, 8);
    EXPECT_LE(first, 10);
    EXPECT_EQ(loader->GetNextItem(), 4);
    app.Update();
    EXPECT_EQ(loader->GetNextItem(), 8);
    EXPECT_EQ(app.GetParticleManager(), nullptr);
    app.Update();
    EXPECT_EQ(loader->GetNextItem(), 12);
    EXPECT_NE(app.GetParticleManager(), nullptr);
    // Effects 0..11 are loaded (33 was already); the last two come with the finish on frame 10.
    EXPECT_EQ(app.sound->next, 12 + 1);
    for (int frame = 4; frame <= 9; ++frame)
        app.Update();
    int busy = first - 1;
    EXPECT_FALSE(loader->IsScreenFadingOut());
    app.Update();
    EXPECT_EQ(loader->GetNextItem(), 38);
    EXPECT_TRUE(loader->IsScreenFadingOut());
    EXPECT_EQ(loader->GetFramesElapsed(), busy + 9) << "the finishing frame does not count";
    EXPECT_TRUE(app.IsFixedStep());
    EXPECT_EQ(app.GetFramesPerSecond(), 33);
    EXPECT_FALSE(app.IsQuitRequested());
    for (int i = 0; i < 9; ++i)
        app.Update();
    ASSERT_FALSE(app.reached.empty());
    EXPECT_EQ(app.reached.back().code, kEventLoaded);
    // The delivery replaced the loader from inside its own step.
    EXPECT_EQ(app.GetScreen(kSlotLoader), nullptr);
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_EQ(app.GetChildCount(), 1);
}

TEST(Loader, AWholeNumberOfFramesFinishesOnTheNextFrame)
{
    LoaderApp app;
    ASSERT_TRUE(app.AddSets({"a", "b"}));
    ASSERT_TRUE(app.ShowLoader());
    LoaderScreen* loader = app.Loader();
    EXPECT_EQ(loader->GetTotalItems(), 40);
    int busy = WaitForLoading(app) - 1;
    for (int i = 1; i < 10; ++i)
        app.Update();
    EXPECT_EQ(loader->GetNextItem(), 40);
    EXPECT_FALSE(loader->IsScreenFadingOut());
    int value = loader->GetBar()->GetValue();
    EXPECT_EQ(value, (busy + 10) * 256 / 142);
    app.Update();
    EXPECT_TRUE(loader->IsScreenFadingOut());
    EXPECT_EQ(loader->GetFramesElapsed(), busy + 10);
    EXPECT_EQ(loader->GetBar()->GetValue(), value);
    EXPECT_EQ(app.GetSpriteList()->Get(1)->GetLoadCount(), 1);
}

TEST(Loader, TheSmallPanelMayBeMissingExceptOn240x240)
{
    for (int size : {240, 320}) {
        LoaderApp app(size, 240);
        ASSERT_TRUE(app.AddSets({"a", "mini_dlg_22!", "b"}));
        ASSERT_TRUE(app.ShowLoader());
        testing::internal::CaptureStderr();
        app.RunUntilDone();
        std::string said = testing::internal::GetCapturedStderr();
        if (size == 240) {
            EXPECT_TRUE(app.IsQuitRequested());
            EXPECT_EQ(app.GetExitCode(), 1);
            EXPECT_NE(said.find("mini_dlg_22"), std::string::npos) << said;
            EXPECT_EQ(app.Loader()->GetNextItem(), 1) << "nothing after the failed item";
        } else {
            EXPECT_FALSE(app.IsQuitRequested());
            EXPECT_TRUE(app.Loader()->IsScreenFadingOut());
            EXPECT_EQ(said, "");
        }
    }
}

TEST(Loader, AnyOtherMissingSetEndsTheRunNamingIt)
{
    LoaderApp app;
    ASSERT_TRUE(app.AddSets({"a", "btn_big!"}));
    ASSERT_TRUE(app.ShowLoader());
    testing::internal::CaptureStderr();
    app.RunUntilDone();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(app.GetExitCode(), 1);
    EXPECT_NE(said.find("btn_big"), std::string::npos) << said;
    EXPECT_TRUE(LoaderScreen::IsOptionalSet("mini_dlg_33"));
    EXPECT_FALSE(LoaderScreen::IsOptionalSet("mini_dlg_34"));
}

TEST(Loader, WithoutASoundServiceTheEffectsAndMusicCountAsLoaded)
{
    LoaderApp app;
    app.DropSound();
    ASSERT_TRUE(app.ShowLoader());
    EXPECT_GT(app.RunUntilDone(), 0);
    EXPECT_FALSE(app.IsQuitRequested());
    EXPECT_TRUE(app.Loader()->IsScreenFadingOut());
    EXPECT_NE(app.GetParticleManager(), nullptr);
}

TEST(Loader, ABarOfTheWrongKindGivesTheMenuWithParticles)
{
    LoaderApp app;
    std::string layout = "root = \"root_loader_simple\"\n    child = \"prog_loader_simple\"\n"
                         "        position = 0, 0\n    end\nend\n"
                         "image = \"prog_loader_simple\"\n    file = \"bar\"\nend\n";
    std::string menu = "root = \"root_plain\"\n    color = 1, 2, 3\nend\n";
    ASSERT_TRUE(WriteHostFile(app.Host("keloui.txt"), layout.data(), layout.size()));
    ASSERT_TRUE(WriteHostFile(app.Host(kScreensFile), menu.data(), menu.size()));
    app.ui = app.Engine("") + "\\";
    app.roots[kSlotStartMenu] = "root_plain";
    EXPECT_TRUE(app.ShowLoader());
    EXPECT_EQ(app.GetScreen(kSlotLoader), nullptr);
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_NE(app.GetParticleManager(), nullptr);
}

}  // namespace
