#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <new>
#include <string>

#include "engine/core/application.h"
#include "engine/core/options_record.h"
#include "engine/graphics/surface.h"
#include "platform/files.h"
#include "platform/null/test_hooks.h"

namespace {

// A derived application of the kind the game is, with switches the tests turn.
class TestApp : public Application {
public:
    TestApp() { packsEnabled_ = false; }
    bool ApplyLayout(int width, int height) override
    {
        layoutWidth = width;
        layoutHeight = height;
        return layoutOk;
    }
    OptionsRecord* CreateOptionsRecord() override { return new (std::nothrow) OptionsRecord(); }
    LoadResult LoadLanguage() override { return Result(languageOk); }
    LoadResult LoadStyles() override { return Result(stylesOk); }
    LoadResult LoadExitButton() override { return Result(exitOk); }
    static LoadResult Result(bool ok) { return ok ? LoadResult() : LoadResult::Failed("file", "refused"); }
    bool DerivedCheck() override { return checkOk; }
    int GetBorderWidth() override { return border; }
    int GetBorderHeight() override { return borderHeight; }
    String GetImageFolder() override { return String(); }
    String GetSoundFolder() override { return String(); }
    String GetSaveDirectory() override { return ResolveSaveDirectory("software\\Morvalent\\Kelo", "SaveDir"); }
    String GetCommonPackName() override { return String(commonPack.c_str()); }
    String GetScreenPackName() override { return String(screenPack.c_str()); }

    void UsePacks(bool single)
    {
        packsEnabled_ = true;
        singlePackMode_ = single;
    }
    void AllowRotation(bool force)
    {
        rotationAllowed_ = true;
        forceLandscape_ = force;
    }

    bool layoutOk = true, languageOk = true, stylesOk = true, exitOk = true, checkOk = true;
    int border = 0;
    int borderHeight = 0;
    int layoutWidth = 0, layoutHeight = 0;
    std::string commonPack = "no_such_common.pak", screenPack = "no_such_screen.pak";
};

GameArea Fit(std::initializer_list<std::pair<int, int>> sizes, int w, int h)
{
    TestApp app;
    for (auto [rw, rh] : sizes)
        app.AddSupportedResolution(rw, rh);
    return app.FitGameArea(w, h);
}

}  // namespace

TEST(FitGameArea, ExactMatchWinsUnscaled)
{
    GameArea a = Fit({{640, 480}, {800, 480}}, 800, 480);
    EXPECT_EQ(a.gameWidth, 800);
    EXPECT_EQ(a.drawWidth, 800);
    EXPECT_FALSE(a.scaled);
    a = Fit({{480, 640}, {480, 800}}, 480, 800);
    EXPECT_EQ(a.gameHeight, 800);
    EXPECT_EQ(a.offsetY, 0);
    a = Fit({}, 333, 222);
    EXPECT_EQ(a.gameWidth, 333);
    EXPECT_EQ(a.drawHeight, 222);
}

TEST(FitGameArea, SameWidthIsCentred)
{
    GameArea a = Fit({{480, 640}}, 480, 800);
    EXPECT_EQ(a.gameWidth, 480);
    EXPECT_EQ(a.gameHeight, 640);
    EXPECT_EQ(a.offsetX, 0);
    EXPECT_EQ(a.offsetY, 80);
    EXPECT_FALSE(a.scaled);
    // Equal leftovers: the first registered wins.
    a = Fit({{320, 200}, {280, 240}}, 320, 240);
    EXPECT_EQ(a.gameWidth, 320);
    EXPECT_EQ(a.gameHeight, 200);
    EXPECT_EQ(a.offsetY, 20);
}

TEST(FitGameArea, SameAspectScalesAndNegativeMarginsFallThrough)
{
    GameArea a = Fit({{640, 480}, {320, 240}}, 1024, 768);
    EXPECT_TRUE(a.scaled);
    EXPECT_EQ(a.gameWidth, 640);
    EXPECT_EQ(a.drawWidth, 1024);
    EXPECT_EQ(a.drawHeight, 768);
    // 800 wide but taller than the screen: step 3 must not take it with a negative margin.
    a = Fit({{800, 600}, {400, 240}}, 800, 480);
    EXPECT_TRUE(a.scaled);
    EXPECT_EQ(a.gameWidth, 400);
    EXPECT_EQ(a.drawWidth, 800);
    EXPECT_EQ(a.drawHeight, 480);
}

TEST(FitGameArea, SmallestMarginUniformScale)
{
    // 1000x700: 640x480 scales to 933x700 (leftover 67), 320x320 to 700x700 (leftover 300).
    GameArea a = Fit({{320, 320}, {640, 480}}, 1000, 700);
    EXPECT_TRUE(a.scaled);
    EXPECT_EQ(a.gameWidth, 640);
    EXPECT_EQ(a.drawWidth, 933);
    EXPECT_EQ(a.drawHeight, 700);
    EXPECT_EQ(a.offsetX, 33);
    EXPECT_EQ(a.offsetY, 0);
}

TEST(ApplicationInit, ErrorCodesInOrder)
{
    struct Case {
        const char* what;
        void (*setup)(TestApp&);
        int code;
    };
    const Case cases[] = {
        {"layout", [](TestApp& a) { a.layoutOk = false; }, kInitBadRotation},
        {"screen surface", [](TestApp&) { nullbackend::FailAllocations(1, 800 * 480); }, kInitScreenSurface},
        // The screen keeps 800x80; each border is 800x200, the only blocks this large.
        {"border surfaces", [](TestApp& a) { a.borderHeight = 200; nullbackend::FailAllocations(1, 800 * 200); }, kInitBorderSurfaces},
        {"single pack", [](TestApp& a) { a.UsePacks(true); }, kInitSinglePackOpen},
        {"first pack", [](TestApp& a) { a.UsePacks(false); }, kInitFirstPackOpen},
        {"derived check", [](TestApp& a) { a.checkOk = false; }, kInitDerivedCheck},
        {"styles", [](TestApp& a) { a.stylesOk = false; }, kInitStyles},
        {"language", [](TestApp& a) { a.languageOk = false; }, kInitLanguage},
        {"exit button", [](TestApp& a) { a.exitOk = false; }, kInitExitButton},
    };
    for (const Case& c : cases) {
        TestApp app;
        app.LoadOptions();
        c.setup(app);
        EXPECT_FALSE(app.Init(800, 480)) << c.what;
        EXPECT_EQ(app.GetInitError(), c.code) << c.what;
        EXPECT_EQ(app.GetPack(0), nullptr) << c.what;  // a pack that failed to open is deleted
        nullbackend::FailAllocations(0);
    }
    nullbackend::ClearMessageBoxes();

    TestApp ok;
    ok.LoadOptions();
    ok.border = 10;
    ASSERT_TRUE(ok.Init(800, 480));
    EXPECT_EQ(ok.GetInitError(), kInitOk);
    EXPECT_EQ(ok.GetScreenSurface()->GetWidth(), 780);
    EXPECT_EQ(ok.GetBorderSurface(0)->GetWidth(), 10);
    EXPECT_EQ(ok.GetBorderSurface(1)->GetHeight(), 480);
    EXPECT_NE(ok.GetSoundManager(), nullptr);
}

TEST(ApplicationInit, PacksOpenFromTheProgramFolder)
{
    TestApp probe;
    String exeDir = probe.GetExeDirectory();
    ASSERT_GT(exeDir.Length(), 1u);
    std::string hostDir = hostpath::ToHost(exeDir.CStr());
    std::string name = "kelo_test_common_" + std::to_string(getpid()) + ".pak";
    // A real pack made by the zip tool stands in the program's folder as the common pack.
    std::string copy = "cp '" KELO_TEST_DATA "/packs/zip_tool.pak' '" + hostDir + "/" + name + "'";
    ASSERT_EQ(system(copy.c_str()), 0);

    TestApp app;
    app.LoadOptions();
    app.UsePacks(false);
    app.commonPack = name;
    EXPECT_FALSE(app.Init(640, 480));
    EXPECT_EQ(app.GetInitError(), kInitSecondPackOpen);
    EXPECT_NE(app.GetPack(0), nullptr);
    EXPECT_EQ(app.GetPack(1), nullptr);
    unlink((hostDir + "/" + name).c_str());
}

TEST(ApplicationInit, PortraitRotationFromOptions)
{
    TestApp app;
    app.LoadOptions();
    EXPECT_TRUE(app.OptionsDefaultsUsed());
    app.AllowRotation(false);
    app.GetOptions()->rotation = 0;
    ASSERT_TRUE(app.Init(480, 640));
    EXPECT_EQ(app.GetRotation(), 1);  // the requested rotation
    EXPECT_EQ(app.GetOptions()->rotation, -2);
    EXPECT_EQ(app.layoutWidth, 640);  // laid out turned
    EXPECT_EQ(app.layoutHeight, 480);

    TestApp landscape;
    landscape.LoadOptions();
    landscape.AllowRotation(true);
    EXPECT_TRUE(landscape.SetScreenRotation(0));
    EXPECT_EQ(landscape.GetRequestedRotation(), 1);  // forced landscape never asks for upright
    ASSERT_TRUE(landscape.Init(800, 480));
    EXPECT_EQ(landscape.GetRotation(), 0);  // a wide area is never turned
}

TEST(ApplicationFolders, SaveDirectoryResolvedOnceAndCreated)
{
    char pattern[] = "/tmp/kelo_save_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string base = pattern;
    std::string target = base + "/deep/saves";
    setenv("KELO_SAVE_DIR", target.c_str(), 1);

    TestApp app;
    String first = app.GetSaveDirectory();
    EXPECT_STREQ(first.CStr(), (hostpath::FromHost(target) + "\\").c_str());
    struct stat info;
    EXPECT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));

    setenv("KELO_SAVE_DIR", "/elsewhere", 1);
    String second = app.ResolveSaveDirectory("software\\Other", "Nothing");
    EXPECT_TRUE(second.Equals(first));  // the first answer is kept

    TestApp fallback;
    String exe = fallback.GetExeDirectory();
    EXPECT_TRUE(fallback.ResolveSaveDirectory("software\\Other", "SaveDir").Equals(exe));
    unsetenv("KELO_SAVE_DIR");
    std::string cleanup = "rm -rf '" + base + "'";
    EXPECT_EQ(system(cleanup.c_str()), 0);
}

// A folder that cannot be made (nothing can be made under /proc) leaves the saves in the program's
// folder, and the player is told which folder failed, why, and where the saves go.
TEST(ApplicationFolders, AFolderThatCannotBeMadeIsSaidWithWhereSavesGo)
{
    setenv("KELO_SAVE_DIR", "/proc/kelo_saves", 1);
    TestApp app;
    testing::internal::CaptureStderr();
    String folder = app.GetSaveDirectory();
    std::string said = testing::internal::GetCapturedStderr();
    unsetenv("KELO_SAVE_DIR");
    EXPECT_TRUE(folder.Equals(app.GetExeDirectory()));
    std::string exe = hostpath::ToHost(app.GetExeDirectory().CStr());
    EXPECT_NE(said.find("cannot make the save folder /proc/kelo_saves: No such file or directory; saves go to " + exe),
              std::string::npos)
        << said;
}

TEST(ApplicationFolders, LongSaveFolderIsTakenWhole)
{
    char pattern[] = "/tmp/kelo_save_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string base = pattern;
    std::string target = base + "/" + std::string(120, 'a') + "/" + std::string(120, 'b') + "/saves";
    ASSERT_GT(target.size(), 260u);
    setenv("KELO_SAVE_DIR", target.c_str(), 1);

    TestApp app;
    EXPECT_STREQ(app.GetSaveDirectory().CStr(), (hostpath::FromHost(target) + "\\").c_str());
    struct stat info;
    EXPECT_EQ(stat(target.c_str(), &info), 0);
    unsetenv("KELO_SAVE_DIR");
    std::string cleanup = "rm -rf '" + base + "'";
    EXPECT_EQ(system(cleanup.c_str()), 0);
}

TEST(ApplicationFactories, ImageListAndResolutions)
{
    TestApp app;
    Surface* loose = app.CreateImage();
    EXPECT_EQ(app.GetImageList().Count(), 0);
    app.SetImageListEnabled(true);
    Surface* listed = app.CreateImage();
    EXPECT_EQ(app.GetImageList().Count(), 1);
    EXPECT_EQ(app.GetImageList().At(0), listed);
    delete loose;
    delete listed;

    EXPECT_TRUE(app.AddSupportedResolution(320, 240));
    nullbackend::FailAllocations(1);
    EXPECT_FALSE(app.AddSupportedResolution(240, 320));
    nullbackend::FailAllocations(0);
    EXPECT_EQ(app.GetResolutions().Count(), 1);
    nullbackend::ClearMessageBoxes();
}
