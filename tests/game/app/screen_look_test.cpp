// The look of the game's widgets on a panel at every screen size, mid-fade and settled. With
// KELO_LOOK_DIR set the frames are also written there as PNGs to be looked at.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/app/game_widgets.h"
#include "screen_test_app.h"

namespace {

struct Frame {
    int w, h;
    std::vector<uint16_t> pixels;

    uint64_t Brightness() const
    {
        uint64_t sum = 0;
        for (uint16_t p : pixels)
            sum += (p >> 11) + ((p >> 5) & 63) / 2 + (p & 31);
        return sum;
    }
    bool WritePng(const std::string& path) const
    {
        auto samples = fixtures::Fill(w, h, 3, [&](int x, int y, unsigned char* out) {
            uint16_t p = pixels[size_t(y) * size_t(w) + size_t(x)];
            out[0] = static_cast<unsigned char>(((p >> 11) & 31) * 255 / 31);
            out[1] = static_cast<unsigned char>(((p >> 5) & 63) * 255 / 63);
            out[2] = static_cast<unsigned char>((p & 31) * 255 / 31);
        });
        return fixtures::WritePng(path, w, h, PNG_COLOR_TYPE_RGB, 8, samples);
    }
};

Frame Capture(ScreenTestApp& app)
{
    app.Draw();
    Surface* display = app.GetScreenSurface();
    Frame frame{display->GetWidth(), display->GetHeight(), {}};
    frame.pixels.assign(display->GetPixels(), display->GetPixels() + size_t(frame.w) * size_t(frame.h));
    return frame;
}

TEST(ScreenLook, PanelOfWidgetsAtEverySize)
{
    const char* lookDir = std::getenv("KELO_LOOK_DIR");
    const int sizes[6][2] = {{800, 480}, {640, 480}, {320, 320}, {400, 240}, {320, 240}, {240, 240}};
    for (const auto& size : sizes) {
        ScreenTestApp app(size[0], size[1]);
        ASSERT_TRUE(app.LoadLookAssets());
        app.Profiles().mute = true;
        app.roots[kSlotStartMenu] = "root_look";
        ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
        Widget* screen = app.GetScreen(kSlotStartMenu);
        auto* radio = dynamic_cast<ControlRadio*>(ScriptWidget::FindByName(screen, "btn_controls_radio1"));
        auto* tuner = dynamic_cast<GameTuner*>(ScriptWidget::FindByName(screen, "tuner_Sound"));
        auto* hints = dynamic_cast<TickBox*>(ScriptWidget::FindByName(screen, "chk_look_hints"));
        ASSERT_TRUE(radio && tuner && hints);
        radio->SetSelected(true);
        tuner->SetLabels("Sound %d%%", "Off");
        tuner->SetValue(60);
        hints->SetChecked(true);

        for (int i = 0; i < 4; ++i)
            app.Update();
        Frame fading = Capture(app);
        for (int i = 0; i < 4; ++i)
            app.Update();
        Frame settled = Capture(app);
        EXPECT_LT(fading.Brightness(), settled.Brightness()) << size[0] << "x" << size[1];
        // The panel stands in the middle of the screen, its gold rim on its left edge.
        ScriptWidget* panel = ScriptWidget::FindByName(screen, "tbg_panel");
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->GetX(), (size[0] - 224) / 2);
        uint16_t rim = settled.pixels[size_t(panel->GetY() + 100) * size_t(size[0]) + size_t(panel->GetX() + 3)];
        EXPECT_EQ(rim, ((214 >> 3) << 11) | ((172 >> 2) << 5) | (70 >> 3));

        if (lookDir) {
            std::string base = std::string(lookDir) + "/look_" + std::to_string(size[0]) + "x" + std::to_string(size[1]);
            EXPECT_TRUE(fading.WritePng(base + "_fading.png"));
            EXPECT_TRUE(settled.WritePng(base + "_settled.png"));
        }
    }
}

}  // namespace
