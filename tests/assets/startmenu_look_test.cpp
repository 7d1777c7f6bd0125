// The loader and the start menu on the shipped data at every resolution: the loader half way,
// the menu at rest and with each of its dialogs open, written to
// look/startmenu_<W>x<H>_{loader,menu,help,support,options,continue}.png.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <string>

#include "engine/ui/image_widgets.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/screens/loader_screen.h"
#include "game/screens/start_menu_screen.h"
#include "shipped_game_app.h"

namespace {

// The shipped game with its own loader and menu.
class MenuLookApp : public ShippedGameApp {
public:
    MenuLookApp(int width, int height) : ShippedGameApp(width, height, "", "") {}
    GameScreen* NewScreen(int slot) override { return GameApp::NewScreen(slot); }
    StartMenuScreen* Menu() { return dynamic_cast<StartMenuScreen*>(GetStartMenu()); }
    // A fresh menu, faded in and still.
    StartMenuScreen* RestingMenu()
    {
        if (!ShowStartMenu())
            return nullptr;
        Frames(40);
        return Menu();
    }
};

std::vector<uint16_t> Pixels(Surface* screen)
{
    std::vector<uint16_t> out;
    for (int y = 0; y < screen->GetHeight(); ++y)
        for (int x = 0; x < screen->GetWidth(); ++x)
            out.push_back(screen->GetPixels()[y * screen->GetRawWidth() + x]);
    return out;
}

size_t DistinctColours(const std::vector<uint16_t>& pixels)
{
    return std::set<uint16_t>(pixels.begin(), pixels.end()).size();
}

// Pixels that differ inside the widget's rectangle.
int ChangedInside(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b, int width, ScriptWidget* widget)
{
    Rect r;
    widget->GetRect(r);
    int changed = 0;
    for (int y = std::max(0, r.y); y < r.y + r.h && y * width < int(a.size()); ++y)
        for (int x = std::max(0, r.x); x < std::min(width, r.x + r.w); ++x)
            changed += a[size_t(y * width + x)] != b[size_t(y * width + x)];
    return changed;
}

}  // namespace

TEST(ShippedLook, StartMenuAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MenuLookApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        std::string base = std::string(KELO_LOOK_DIR) + "/startmenu_" + ShippedName(r) + "_";
        Surface* screen = app.GetScreenSurface();

        ASSERT_TRUE(app.ShowLoader());
        auto* loader = dynamic_cast<LoaderScreen*>(app.GetScreen(kSlotLoader));
        ASSERT_NE(loader, nullptr);
        while (loader->GetBar()->GetValue() < 128 && !loader->IsScreenFadingOut())
            app.Update();
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(screen, base + "loader.png"));
        EXPECT_GT(DistinctColours(Pixels(screen)), 16u) << "the loader shows its title";
        int frames = 0;
        while (!loader->IsScreenFadingOut() && !app.IsQuitRequested() && frames++ < 1000)
            app.Update();
        ASSERT_FALSE(app.IsQuitRequested());
        ASSERT_TRUE(loader->IsScreenFadingOut());
        EXPECT_EQ(loader->GetBar()->GetValue(), 256) << "the bar is full when the menu is asked for";
        app.Frames(9);
        ASSERT_NE(app.Menu(), nullptr);

        // At rest: a picture, not a flat fill.
        app.Frames(40);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(screen, base + "menu.png"));
        std::vector<uint16_t> rest = Pixels(screen);
        EXPECT_GT(DistinctColours(rest), 200u);

        StartMenuScreen* menu = app.Menu();

        struct Dialog {
            const char* file;
            const char* name;
        } dialogs[] = {{"help", "dlg_help"},
                       {"support", "dlg_support"},
                       {"options", "dlg_options"},
                       {"continue", "dlg_continue_adventure"}};
        for (const Dialog& d : dialogs) {
            SCOPED_TRACE(d.name);
            menu = app.RestingMenu();
            ASSERT_NE(menu, nullptr);
            std::string file = d.file;
            if (file == "help" || file == "support")
                menu->OnEvent(nullptr, kMsgCommand, "btn_sm_help", 0);
            if (file == "support") {
                app.Frames(20);
                menu->OnEvent(nullptr, kMsgCommand, "btn_help_support", 0);
            }
            if (file == "options")
                menu->OnEvent(nullptr, kMsgCommand, "btn_sm_options", 0);
            if (file == "continue") {
                PlayerRecord* player = app.GetProfiles()->CurrentPlayer();
                player->progress[0].stage = 23;
                player->progress[0].score = 48250;
                menu->RunActionFromFile("keloui.txt", "acn_confirm_adventure");
            }
            app.Frames(30);
            ScriptWidget* dialog = ScriptWidget::FindByName(menu, d.name);
            ASSERT_NE(dialog, nullptr);
            app.Draw();
            EXPECT_TRUE(WriteScreenPng(screen, base + d.file + ".png"));
            Rect area;
            dialog->GetRect(area);
            EXPECT_GT(ChangedInside(rest, Pixels(screen), r.width, dialog), area.w * area.h / 4)
                << "the dialog's panel is drawn over the menu";
        }
    }
}
