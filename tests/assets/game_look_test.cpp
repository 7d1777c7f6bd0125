// The game's own widgets (dialog on the tiled panel, control radios, tuner, tick boxes, text
// buttons) on the shipped data at every resolution, mid-fade and settled, written to
// look/game_<W>x<H>_fading.png and _settled.png.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <new>
#include <string>

#include "engine/core/zip_pack.h"
#include "engine/graphics/resource_list.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/game_widgets.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "platform/files.h"
#include "shipped_app.h"

namespace {

class LookScreen : public GameScreen {
public:
    using GameScreen::GameScreen;
    bool Create() override { return LoadLayout("game_dialog.txt", "root_game_look"); }
};

// The game application as its start-up leaves it on the shipped packs, plus the look pack.
class ShippedGameApp : public GameApp {
public:
    ShippedGameApp(int width, int height)
    {
        char pattern[] = "/tmp/kelo_game_look_XXXXXX";
        const char* made = mkdtemp(pattern);
        scratch_ = made ? made : "";
        SetApplication(this);
        g_application = this;
        options_ = new ProfileStore();
        GameArea area;
        area.gameWidth = area.drawWidth = area.screenWidth = width;
        area.gameHeight = area.drawHeight = area.screenHeight = height;
        SetGameArea(area);
        CreateScreenSurface(width, height, 0, 0);
        ApplyLayout(width, height);
        packsEnabled_ = true;
        singlePackMode_ = false;
        int mode = DisplayModeOf(width, height);
        firstPack_ = OpenPack(CommonPakName());
        secondPack_ = OpenPack(ScreenPakName(mode));
        thirdPack_ = OpenPack("_look_sample.pak");
        spriteList_ = new ResourceList(this, 40);
        ready_ = !scratch_.empty() && firstPack_ && secondPack_ && thirdPack_ && LoadSpriteScripts() &&
                 LoadStyles() && LoadLanguage();
    }
    ~ShippedGameApp() override
    {
        DestroyScreens();
        DeleteAndNull(spriteList_);
        DeleteAndNull(options_);
        if (g_application == this)
            g_application = nullptr;
        if (!scratch_.empty())
            std::system(("rm -rf '" + scratch_ + "'").c_str());
    }

    bool Ready() const { return ready_; }
    String GetExeDirectory() override { return String((hostpath::FromHost(ProgramFolder()) + "\\").c_str()); }
    String GetSaveDirectory() override { return String((hostpath::FromHost(scratch_) + "\\").c_str()); }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotStartMenu ? new (std::nothrow) LookScreen(this) : nullptr;
    }

private:
    ZipPack* OpenPack(const char* name)
    {
        ZipPack* pack = new ZipPack(this);
        std::string path = std::string(GetExeDirectory().CStr()) + name;
        if (pack->Open(path.c_str()) != 1) {
            delete pack;
            return nullptr;
        }
        return pack;
    }

    std::string scratch_;
    bool ready_ = false;
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
        ShippedGameApp app(r.width, r.height);
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
