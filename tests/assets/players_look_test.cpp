// The player and options dialogs over the start menu on the shipped data, as the program starts
// at every resolution and on a portrait screen: the name entry with its caret, the list of three
// with ticks and a brightened row, the remove question, graphics and language, written to
// look/players_<W>x<H>_<dialog>.png.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/image_widgets.h"
#include "flows/layout_check.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/screens/name_entry_dialog.h"
#include "game/screens/players_dialog.h"
#include "platform/files.h"
#include "shipped_app.h"

namespace {

// The game as the program starts it on the build's packs, its saves in a scratch folder.
class StartedGame : public GameApp {
public:
    StartedGame()
    {
        char pattern[] = "/tmp/kelo_players_look_XXXXXX";
        const char* made = mkdtemp(pattern);
        scratch_ = made ? made : "";
        setenv("KELO_SAVE_DIR", scratch_.c_str(), 1);
        SetApplication(this);
    }
    ~StartedGame() override
    {
        DestroyScreens();
        unsetenv("KELO_SAVE_DIR");
        if (!scratch_.empty())
            std::system(("rm -rf '" + scratch_ + "'").c_str());
    }
    String GetExeDirectory() override { return String((hostpath::FromHost(ProgramFolder()) + "\\").c_str()); }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            Update();
    }
    // Through the loader to the menu at rest.
    GameScreen* RunToMenu()
    {
        if (!ShowLoader())
            return nullptr;
        for (int i = 0; i < 2000 && !IsQuitRequested() && !(GetStartMenu() && !GetStartMenu()->IsScreenFading()); ++i)
            Update();
        return GetStartMenu();
    }
    GameScreen* Open(const char* action)
    {
        GameScreen* menu = GetStartMenu();
        if (menu && menu->RunActionFromFile("keloui.txt", action))
            Frames(30);
        return menu;
    }
    void CloseDialog(const char* name)
    {
        if (Widget* dialog = ScriptWidget::FindByName(GetStartMenu(), name))
            DetachAndDeleteWidget(dialog);
    }

private:
    std::string scratch_;
};

// The frame as the device shows it: the buffer as it lies, turned or not.
bool WriteFramePng(Surface* screen, const std::string& path)
{
    int w = screen->GetRawWidth(), h = screen->GetRawHeight();
    const uint16_t* pixels = screen->GetPixels();
    auto samples = fixtures::Fill(w, h, 3, [&](int x, int y, unsigned char* p) {
        uint16_t v = pixels[y * w + x];
        p[0] = static_cast<unsigned char>(((v >> 11) & 31) * 255 / 31);
        p[1] = static_cast<unsigned char>(((v >> 5) & 63) * 255 / 63);
        p[2] = static_cast<unsigned char>((v & 31) * 255 / 31);
    });
    return fixtures::WritePng(path, w, h, PNG_COLOR_TYPE_RGB, 8, samples);
}

std::vector<uint16_t> Frame(Surface* screen)
{
    const uint16_t* p = screen->GetPixels();
    return std::vector<uint16_t>(p, p + screen->GetRawWidth() * screen->GetRawHeight());
}

// Pixels that differ between two frames.
int Changed(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b)
{
    int changed = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        changed += a[i] != b[i];
    return changed;
}

void Capture(StartedGame& app, const std::string& base, const char* what, const std::vector<uint16_t>& rest)
{
    app.Draw();
    Surface* screen = app.GetScreenSurface();
    EXPECT_TRUE(WriteFramePng(screen, base + what + ".png"));
    // A dialog covers a good part of the menu.
    EXPECT_GT(Changed(rest, Frame(screen)), int(rest.size() / 8)) << what;
}

void CaptureAll(int width, int height)
{
    std::string name = std::to_string(width) + "x" + std::to_string(height);
    SCOPED_TRACE(name);
    std::string base = std::string(KELO_LOOK_DIR) + "/players_" + name + "_";
    StartedGame app;
    ASSERT_TRUE(app.LoadOptions());
    ASSERT_TRUE(app.Init(width, height)) << app.GetInitError();
    ASSERT_NE(app.RunToMenu(), nullptr);
    Surface* screen = app.GetScreenSurface();

    // A first run opens the name entry at once; typed letters and the caret show in it.
    auto* entry = dynamic_cast<NameEntryDialog*>(ScriptWidget::FindByName(app.GetStartMenu(), "dlg_EditPlayer"));
    ASSERT_NE(entry, nullptr);
    for (char c : std::string("Ana"))
        app.OnChar(c);
    while (!entry->IsCaretShown())
        app.Update();
    app.Draw();
    std::vector<uint16_t> withCaret = Frame(screen);
    EXPECT_TRUE(WriteFramePng(screen, base + "name.png"));
    app.GetStartMenu()->OnEvent(entry, kMsgCommand, "btnPlayerOK", 0);
    app.Frames(30);
    app.Draw();
    std::vector<uint16_t> rest = Frame(screen);
    EXPECT_GT(Changed(rest, withCaret), int(rest.size() / 8));

    ProfileStore* profiles = app.GetProfiles();
    for (const char* other : {"Bo", "Cyrielle"})
        profiles->SetPlayerName(app.AddPlayer(), String(other));
    profiles->SetCurrentIndex(1);
    app.Open("acn_players_on");
    auto* list = dynamic_cast<PlayersDialog*>(ScriptWidget::FindByName(app.GetStartMenu(), "dlg_players"));
    ASSERT_NE(list, nullptr);
    list->SetFocusChild(list->GetRow(2));
    Capture(app, base, "players", rest);
    app.Open("acn_remove_on");
    Capture(app, base, "remove", rest);
    app.CloseDialog("dlg_remove_user");
    app.CloseDialog("dlg_players");
    app.Open("acn_options_2_graphics");
    Capture(app, base, "graphics", rest);
    // On a turned screen the hands are offered too: they keep apart.
    ExpectLaidOutWith(&app, ScriptWidget::FindByName(app.GetStartMenu(), "dlg_graphics"),
                      name + " graphics");
    app.CloseDialog("dlg_graphics");
    app.Open("acn_options_2_lang");
    Capture(app, base, "language", rest);
}

}  // namespace

TEST(ShippedLook, PlayerAndOptionDialogsAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions)
        CaptureAll(r.width, r.height);
    // Held on its side: the picture is turned, and the graphics dialog offers the hands.
    CaptureAll(480, 640);
}

// Without the hands (an unturned screen) the graphics dialog holds the quality alone: no empty
// band between the tuner and OK, and OK inside a shorter panel. Held on its side it keeps all.
TEST(ShippedLook, TheGraphicsDialogIsLaidOutForWhatItHolds)
{
    struct Case {
        int width, height;
        bool hands;
    };
    int turnedHeight = 0, flatHeight = 0;
    for (const Case& c : {Case{640, 480, false}, Case{240, 240, false}, Case{480, 640, true}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        StartedGame app;
        ASSERT_TRUE(app.LoadOptions());
        ASSERT_TRUE(app.Init(c.width, c.height)) << app.GetInitError();
        ASSERT_NE(app.RunToMenu(), nullptr);
        app.Open("acn_options_2_graphics");
        ScriptWidget* dialog = ScriptWidget::FindByName(app.GetStartMenu(), "dlg_graphics");
        ASSERT_NE(dialog, nullptr);
        auto* panel = dynamic_cast<TiledBgWidget*>(dialog->GetBackgroundWidget());
        ScriptWidget* tuner = ScriptWidget::FindByName(dialog, "tuner_graphics_quality");
        ScriptWidget* ok = ScriptWidget::FindByName(dialog, "btn_graphics_ok");
        ASSERT_TRUE(panel && tuner && ok);
        EXPECT_EQ(ScriptWidget::FindByName(dialog, "rad_orient_auto")->IsVisible(), c.hands);
        Rect p, t, o;
        panel->GetLayoutRect(p);
        tuner->GetLayoutRect(t);
        ok->GetLayoutRect(o);
        EXPECT_LE(o.y + o.h, p.y + p.h - panel->GetCenterTileHeight() / 2) << "OK stands inside the frame";
        if (!c.hands) {
            EXPECT_LE(o.y - (t.y + t.h), 2 * panel->GetCenterTileHeight()) << "no empty band above OK";
        }
        // 640x480 and 480x640 share one layout.
        if (c.width == 640)
            flatHeight = p.h;
        if (c.hands)
            turnedHeight = p.h;
    }
    EXPECT_LT(flatHeight, turnedHeight);
}
