// The game's own widgets (dialog on the tiled panel, control radios, tuner, tick boxes, text
// buttons) on the shipped data at every resolution, mid-fade and settled, written to
// look/game_<W>x<H>_fading.png and _settled.png.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <new>
#include <string>

#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/game_widgets.h"
#include "game/app/profile_store.h"
#include "shipped_game_app.h"

namespace {

class LookScreen : public GameScreen {
public:
    using GameScreen::GameScreen;
    bool Create() override { return LoadLayout("game_dialog.txt", "root_game_look"); }
};

// The shipped game with the look pack, whose screen is the widgets' panel.
class LookGameApp : public ShippedGameApp {
public:
    LookGameApp(int width, int height) : ShippedGameApp(width, height, "_look_sample.pak") {}
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotStartMenu ? new (std::nothrow) LookScreen(this) : nullptr;
    }
};

uint64_t Brightness(Surface* screen)
{
    uint64_t sum = 0;
    for (int y = 0; y < screen->GetHeight(); ++y)
        for (int x = 0; x < screen->GetWidth(); ++x) {
            uint16_t p = screen->GetPixels()[y * screen->GetRawWidth() + x];
            sum += (p >> 11) + ((p >> 5) & 63) / 2 + (p & 31);
        }
    return sum;
}

}  // namespace

TEST(ShippedLook, GameDialogFadesInAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        LookGameApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        app.GetProfiles()->mute = true;
        ASSERT_TRUE(app.ShowScreen(kSlotStartMenu));
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
