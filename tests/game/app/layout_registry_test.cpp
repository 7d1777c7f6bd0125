#include "game/app/layout_registry.h"

#include <gtest/gtest.h>

#include "screen_test_app.h"

namespace {

TEST(LayoutRegistry, ScreensShareOneParse)
{
    ScreenTestApp app;
    app.roots[kSlotStartMenu] = "root_plain";
    app.roots[kSlotHelp] = "root_second";
    LayoutRegistry& registry = app.GetLayoutRegistry();
    ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
    ASSERT_EQ(registry.Count(), 1);
    UiLayout* document = registry.Find(kScreensFile);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(app.Screen(kSlotStartMenu)->GetLayout(), document);
    // The first screen goes; its document stays for the next.
    ASSERT_TRUE(app.ShowScreen(kSlotHelp).ok());
    EXPECT_EQ(app.Screen(kSlotHelp)->GetLayout(), document);
    EXPECT_TRUE(app.Screen(kSlotHelp)->RunActionFromFile(kScreensFile, "acn_toast"));
    EXPECT_NE(ScriptWidget::FindByName(app.Screen(kSlotHelp), "btn_plain"), nullptr);
    EXPECT_EQ(registry.Count(), 1);

    // Another spelling is another entry, parsed again.
    UiLayout* upper = registry.Get("SCREENS.txt").value;
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(upper, document);
    EXPECT_EQ(registry.Count(), 2);
    EXPECT_EQ(registry.Find(kScreensFile), document);
}

// What a screen's file lacks is that file's damage, said once the screen is made.
TEST(LayoutRegistry, MissingFilesAndActionsFailAndTheFileIsNamed)
{
    ScreenTestApp app;
    app.roots[kSlotStartMenu] = "root_plain";
    app.roots[kSlotAbout] = "root_absent";
    ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
    TestScreen* screen = app.Screen(kSlotStartMenu);
    app.reached.clear();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(screen->RunActionFromFile(kScreensFile, "acn_absent"));
    EXPECT_FALSE(screen->RunActionFromFile("absent.txt", "acn_toast"));
    EXPECT_TRUE(app.reached.empty()) << "no kMsgActionRun for an action never run";
    EXPECT_EQ(screen->CreateChildFromFile(kScreensFile, "dlg_absent", 0, 0, 0, 0, 0, 0, false, Fixed(), Fixed(), false,
                                          Fixed(), Fixed()),
              nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("screens.txt: damaged: it lacks \"acn_absent\""), std::string::npos) << said;
    EXPECT_NE(said.find("screens.txt: damaged: it lacks \"dlg_absent\""), std::string::npos) << said;
    EXPECT_EQ(app.GetLayoutRegistry().Count(), 1) << "a file that does not parse leaves no entry";
    EXPECT_FALSE(screen->LoadLayout("absent.txt", nullptr));
    // A root the file lacks fails the screen's set-up.
    EXPECT_TRUE(app.ShowScreen(kSlotAbout).failed());
    EXPECT_EQ(app.GetChildCount(), 0);
}

TEST(QuakePieces, PiecesHoldThePictureTheyCover)
{
    ScreenTestApp app(320, 240);
    app.roots[kSlotStageComplete] = "root_plain";
    EXPECT_TRUE(app.CaptureQuakePieces().failed()) << "nothing to capture";
    ASSERT_TRUE(app.ShowScreen(kSlotStageComplete).ok());
    // Four quarter masks, each 160 x 120, at the quarters' corners.
    const int offsets[4][2] = {{0, 0}, {160, 0}, {0, 120}, {160, 120}};
    for (int i = 0; i < 4; ++i) {
        app.Layout().ints[kLayoutQuakeX + i] = offsets[i][0];
        app.Layout().ints[kLayoutQuakeY + i] = offsets[i][1];
        app.Layout().fixed[kLayoutQuakeSpeedX + i] = Fixed::FromInt(i - 2);
        app.Layout().fixed[kLayoutQuakeSpeedY + i] = Fixed::FromInt(3);
        auto mask = fixtures::Fill(160, 120, 2, [](int, int, unsigned char* p) {
            p[0] = 0;
            p[1] = 255;
        });
        char name[32];
        snprintf(name, sizeof name, "quake%02d_a.png", i + 1);
        ASSERT_TRUE(fixtures::WritePng(app.Host(name), 160, 120, PNG_COLOR_TYPE_GRAY_ALPHA, 8, mask));
    }
    ASSERT_TRUE(app.CaptureQuakePieces().ok());
    for (int i = 0; i < 4; ++i) {
        Surface* piece = app.GetQuakeImage(i);
        ASSERT_NE(piece, nullptr);
        ASSERT_EQ(piece->GetWidth(), 160);
        for (int y : {0, 57, 119})
            for (int x : {0, 33, 159})
                EXPECT_EQ(piece->GetPixels()[y * 160 + x], TestScreen::CapturePixel(x + offsets[i][0], y + offsets[i][1]))
                    << i << " " << x << "," << y;
        EXPECT_EQ(app.QuakePosition(i), FixedVec2(Fixed::FromInt(offsets[i][0]), Fixed::FromInt(offsets[i][1])));
        EXPECT_EQ(app.QuakeSpeed(i), FixedVec2(Fixed::FromInt(i - 2), Fixed::FromInt(3)));
    }
    // A missing mask fails the capture.
    unlink(app.Host("quake03_a.png").c_str());
    EXPECT_TRUE(app.CaptureQuakePieces().failed());
}

}  // namespace
