#include "game/app/game_widgets.h"

#include <gtest/gtest.h>

#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "game/app/game_dialog.h"
#include "game/app/game_keys.h"
#include "screen_test_app.h"

namespace {

uint16_t Packed(int r, int g, int b)
{
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// A settled screen of the test layout with the look's art and fonts.
struct WidgetFixture : ::testing::Test {
    TestScreen* Show(const char* root)
    {
        if (!app.LoadLookAssets())
            return nullptr;
        app.roots[kSlotStartMenu] = root;
        if (app.ShowScreen(kSlotStartMenu).failed())
            return nullptr;
        for (int i = 0; i < 8; ++i)
            app.Update();
        return app.Screen(kSlotStartMenu);
    }
    uint16_t Pixel(int x, int y)
    {
        Surface* display = app.GetScreenSurface();
        return display->GetPixels()[y * display->GetRawWidth() + x];
    }
    ScreenTestApp app;
};

TEST_F(WidgetFixture, ButtonSoundPlaysBeforeThePressReachesAnyone)
{
    TestScreen* screen = Show("root_plain");
    ASSERT_NE(screen, nullptr);
    auto* go = dynamic_cast<TextButton*>(ScriptWidget::FindByName(screen, "btn_go"));
    ASSERT_NE(go, nullptr);
    go->OnKey(kKeyAction, true);
    ASSERT_EQ(app.reached.size(), 1u);
    EXPECT_EQ(app.reached[0].code, kMsgPressed);
    EXPECT_EQ(app.reached[0].soundsPlayed, 1u);
    EXPECT_EQ(app.sound->played, std::vector<int>{0});
    go->OnKey(kKeyAction, false);
    EXPECT_EQ(app.sound->played.size(), 1u) << "the release plays nothing";
    // The release ran the bound action, which made the plain button.
    EXPECT_NE(ScriptWidget::FindByName(screen, "btn_plain"), nullptr);
}

TEST_F(WidgetFixture, CaptionOffsetsFollowTheFontAndTheLetterKeys)
{
    app.Layout().ints[kLayoutCaptionX] = 3;
    app.Layout().ints[kLayoutCaptionY] = -2;
    app.Layout().ints[kLayoutLetterCaptionX] = 5;
    app.Layout().ints[kLayoutLetterCaptionY] = 7;
    TestScreen* screen = Show("root_look");
    ASSERT_NE(screen, nullptr);
    auto* ok = dynamic_cast<TextButton*>(ScriptWidget::FindByName(screen, "btn_look_ok"));
    auto* back = dynamic_cast<TextButton*>(ScriptWidget::FindByName(screen, "btn_look_back"));
    ASSERT_TRUE(ok && back);
    EXPECT_EQ(ok->GetCaptionOffsetX(), 3);
    EXPECT_EQ(ok->GetCaptionOffsetY(), -2);
    // The small font on a screen under 480 high moves 2 right.
    EXPECT_EQ(back->GetCaptionOffsetX(), 2);
    EXPECT_EQ(back->GetCaptionOffsetY(), 0);

    app.roots[kSlotHelp] = "root_plain";
    ASSERT_TRUE(app.ShowScreen(kSlotHelp).ok());
    auto* letter = dynamic_cast<TextButton*>(ScriptWidget::FindByName(app.GetScreen(kSlotHelp), "btn_letter_a"));
    ASSERT_NE(letter, nullptr);
    EXPECT_EQ(letter->GetCaptionOffsetX(), 5);
    EXPECT_EQ(letter->GetCaptionOffsetY(), 7);
}

TEST_F(WidgetFixture, FactoriesMakeTheGameClassesByTypeAndName)
{
    TestScreen* screen = Show("root_look");
    ASSERT_NE(screen, nullptr);
    EXPECT_NE(dynamic_cast<GameDialog*>(ScriptWidget::FindByName(screen, "dlg_look")), nullptr);
    EXPECT_NE(dynamic_cast<GameTiledBg*>(ScriptWidget::FindByName(screen, "tbg_panel")), nullptr);
    EXPECT_NE(dynamic_cast<ControlRadio*>(ScriptWidget::FindByName(screen, "btn_controls_radio2")), nullptr);
    EXPECT_EQ(dynamic_cast<ControlRadio*>(ScriptWidget::FindByName(screen, "btn_look_ok")), nullptr);
    EXPECT_NE(dynamic_cast<GameTuner*>(ScriptWidget::FindByName(screen, "tuner_Sound")), nullptr);
    EXPECT_NE(dynamic_cast<TickBox*>(ScriptWidget::FindByName(screen, "chk_look_shake")), nullptr);

    // The test buttons of the pause dialog are hidden; the rest shows.
    ScriptWidget* pause = screen->CreateChildFromFile(kScreensFile, "dlg_pause", 0, 0, 0, 0, 0, 0, false, Fixed(),
                                                      Fixed(), false, Fixed(), Fixed());
    ASSERT_NE(pause, nullptr);
    EXPECT_FALSE(ScriptWidget::FindByName(pause, "btn_beta_win_level")->IsVisible());
    EXPECT_TRUE(ScriptWidget::FindByName(pause, "btn_go")->IsVisible());
}

TEST_F(WidgetFixture, OptionsDialogTakesTheSoundSettings)
{
    TestScreen* screen = Show("root_plain");
    ASSERT_NE(screen, nullptr);
    app.Profiles().soundVolume = 30;
    app.Profiles().musicVolume = 70;
    app.Profiles().mute = true;
    app.reached.clear();
    EXPECT_TRUE(screen->RunActionFromFile(kScreensFile, "acn_open_options"));
    ASSERT_EQ(app.reached.size(), 1u);
    EXPECT_EQ(app.reached[0].code, kMsgActionRun);
    auto* sound = dynamic_cast<GameTuner*>(ScriptWidget::FindByName(screen, "tuner_Sound"));
    auto* music = dynamic_cast<GameTuner*>(ScriptWidget::FindByName(screen, "tuner_Music"));
    auto* mute = dynamic_cast<TickBox*>(ScriptWidget::FindByName(screen, "chk_mute"));
    ASSERT_TRUE(sound && music && mute);
    EXPECT_EQ(sound->GetValue(), 30);
    EXPECT_EQ(music->GetValue(), 70);
    EXPECT_TRUE(mute->IsChecked());
    EXPECT_TRUE(sound->IsVolume());
}

TEST_F(WidgetFixture, TunerLabels)
{
    TestScreen* screen = Show("root_look");
    ASSERT_NE(screen, nullptr);
    auto* tuner = dynamic_cast<GameTuner*>(ScriptWidget::FindByName(screen, "tuner_Sound"));
    ASSERT_NE(tuner, nullptr);
    tuner->SetValue(0);
    EXPECT_TRUE(tuner->GetLabel().IsEmpty());
    tuner->SetLabels("Volume %d%%", "Off");
    EXPECT_STREQ(tuner->GetLabel().CStr(), "Off");
    tuner->SetValue(40);
    EXPECT_STREQ(tuner->GetLabel().CStr(), "Volume 40%");
    tuner->SetLabels("Volume %d%%", "");
    tuner->SetValue(0);
    EXPECT_STREQ(tuner->GetLabel().CStr(), "Volume 0%");
    // A format that wants other arguments is shown as written, never formatted.
    tuner->SetLabels("%s at %d", "");
    EXPECT_STREQ(tuner->GetLabel().CStr(), "%s at %d");
}

TEST_F(WidgetFixture, FadingWidgetsShowOnlyInTheSecondHalf)
{
    EXPECT_EQ(RemappedAlpha(128 << 8), 0);
    EXPECT_EQ(RemappedAlpha(129 << 8), 2);
    EXPECT_EQ(RemappedAlpha(200 << 8), 144);
    EXPECT_EQ(RemappedAlpha(254 << 8), 252);
    EXPECT_EQ(RemappedAlpha(kAlphaOpaque), 255);

    TestScreen* screen = Show("root_look");
    ASSERT_NE(screen, nullptr);
    auto* tuner = dynamic_cast<GameTuner*>(ScriptWidget::FindByName(screen, "tuner_Sound"));
    ASSERT_NE(tuner, nullptr);
    Surface* display = app.GetScreenSurface();
    display->Clear(0, 0, 0);
    tuner->SetAlpha(128 << 8);
    tuner->Draw();
    EXPECT_EQ(Pixel(tuner->GetX() + 20, tuner->GetY() + 6), 0);
    tuner->SetAlpha(kAlphaOpaque);
    tuner->Draw();
    EXPECT_NE(Pixel(tuner->GetX() + 20, tuner->GetY() + 6), 0);
}

TEST_F(WidgetFixture, SelectedRadioShowsItsPressedFrame)
{
    TestScreen* screen = Show("root_look");
    ASSERT_NE(screen, nullptr);
    auto* radio = dynamic_cast<ControlRadio*>(ScriptWidget::FindByName(screen, "btn_controls_radio2"));
    ASSERT_NE(radio, nullptr);
    radio->SetSelected(true);
    app.Draw();
    Surface* pressed = radio->GetImage().entry->GetFrame(2);
    ASSERT_NE(pressed, nullptr);
    Point centre;
    radio->GetCenter(centre);
    int left = centre.x - pressed->GetWidth() / 2, top = centre.y - pressed->GetHeight() / 2;
    EXPECT_EQ(Pixel(left + 4, top + 15), pressed->GetPixels()[15 * pressed->GetRawWidth() + 4]);
    EXPECT_FALSE(radio->IsPressed());
}

// The underline starts layout int 165 left of the box's right edge and runs in 6-pixel tiles
// until the caption's end, then its end tile.
TEST_F(WidgetFixture, UnderlineStartsAtItsLayoutOffset)
{
    app.Layout().ints[kLayoutUnderlineLead] = 10;
    TestScreen* screen = Show("root_look");
    ASSERT_NE(screen, nullptr);
    auto* box = dynamic_cast<TickBox*>(ScriptWidget::FindByName(screen, "chk_look_hints"));
    ASSERT_NE(box, nullptr);
    app.Draw();
    int x = box->GetX(), y = box->GetY() + 18;
    EXPECT_EQ(Pixel(x + 10, y), Packed(200, 160, 64));
    EXPECT_NE(Pixel(x + 9, y), Packed(200, 160, 64));
    int textEnd = x + 20 + box->GetTextGap() + app.GetSmallFont()->MeasureText("Show hints");
    int start = x + 20 - 10;
    int tiles = (textEnd - start + 5) / 6;
    EXPECT_EQ(Pixel(start + 6 * tiles, y), Packed(240, 200, 90));
    EXPECT_EQ(Pixel(start + 6 * tiles - 2, y), Packed(60, 48, 20));
}

}  // namespace
