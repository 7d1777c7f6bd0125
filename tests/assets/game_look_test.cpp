// The game's own widgets (dialog on the tiled panel, control radios, tuner, tick boxes, text
// buttons) on the shipped data at every resolution, mid-fade and settled, written to
// look/game_<W>x<H>_fading.png and _settled.png.
#include <gtest/gtest.h>

#include "engine/ui/string_table.h"
#include "game/app/game_widgets.h"
#include "shipped_game_app.h"

TEST(ShippedLook, GameDialogFadesInAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedGameApp app(r.width, r.height, "game_dialog.txt", "root_game_look");
        ASSERT_TRUE(app.Ready());
        app.GetProfiles()->mute = true;
        ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
        Widget* screen = app.GetScreen(kSlotStartMenu);
        auto* radio = dynamic_cast<ControlRadio*>(ScriptWidget::FindByName(screen, "btn_controls_radio1"));
        auto* tuner = dynamic_cast<GameTuner*>(ScriptWidget::FindByName(screen, "tuner_Sound"));
        auto* mute = dynamic_cast<TickBox*>(ScriptWidget::FindByName(screen, "chk_game_look_mute"));
        ASSERT_TRUE(radio && tuner && mute);
        radio->SetSelected(true);
        tuner->SetLabels("Sound %d%%", "Off");
        tuner->SetValue(60);
        mute->SetChecked(true);

        std::string base = std::string(KELO_LOOK_DIR) + "/game_" + ShippedName(r);
        for (int i = 0; i < 4; ++i)
            app.Update();
        app.Draw();
        uint64_t fading = Brightness(app.GetScreenSurface());
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), base + "_fading.png"));
        for (int i = 0; i < 4; ++i)
            app.Update();
        app.Draw();
        EXPECT_LT(fading, Brightness(app.GetScreenSurface()));
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), base + "_settled.png"));
    }
}
