#pragma once
// The player and options dialogs on a plain menu screen of tests/data/players, over the screen
// tests' art and fonts, a red 6 x 6 "tick" and a language table of the test's making.
#include <string>

#include "engine/core/input.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "tests/game/app/screen_test_app.h"

class PlayersMenu : public GameScreen {
public:
    using GameScreen::GameScreen;
    bool Create() override { return LoadLayout("keloui.txt", "root_menu"); }
};

class PlayersApp : public ScreenTestApp {
public:
    explicit PlayersApp(int width = 320, int height = 240) : ScreenTestApp(width, height)
    {
        looks = LoadLookAssets() && AddTick();
    }
    String GetUiFolder() override
    {
        return String((hostpath::FromHost(std::string(KELO_TEST_DATA) + "/players") + "\\").c_str());
    }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotStartMenu ? new (std::nothrow) PlayersMenu(this) : ScreenTestApp::NewScreen(slot);
    }
    bool AddTick()
    {
        auto red = fixtures::Fill(6, 6, 3, [](int, int, unsigned char* p) {
            p[0] = 255;
            p[1] = p[2] = 0;
        });
        std::string script = "set = tick\nfile = tick\nend\n";
        return fixtures::WritePng(Host("tick.png"), 6, 6, PNG_COLOR_TYPE_RGB, 8, red) &&
               WriteHostFile(Host("ticks.txt"), script.data(), script.size()) &&
               LoadSpriteScript(this, Engine("ticks.txt").c_str()).ok() && LoadSet("tick");
    }
    // The loader has every set in memory before the menu shows.
    bool LoadSet(const char* name)
    {
        ResourceEntry* entry = GetSpriteList()->FindByName(name);
        return entry && entry->Load().ok();
    }
    // Whether the menu still holds the dialog after the updates its close takes.
    bool StillOpen(const char* name)
    {
        for (int i = 0; i < 3; ++i)
            Update();
        return Find(name) != nullptr;
    }
    // The codes of the events that reached the application, but the actions run and closes seen on the way.
    std::vector<int> Requests() const
    {
        std::vector<int> codes;
        for (const ReachedEvent& event : reached)
            if (event.code != kMsgActionRun && event.code != kMsgChildClosed)
                codes.push_back(event.code);
        return codes;
    }
    // A language file of the given language columns, each text tagged with its column's name.
    bool LoadLanguages(const std::vector<std::string>& names, int selected = 0)
    {
        std::string csv = "id", labels = "label";
        for (const std::string& n : names) {
            csv += "," + n;
            labels += ",Lang " + n;
        }
        csv += "\r\n" + labels + "\r\n";
        for (const char* key : {"STR_QUALITY_1", "STR_QUALITY_2", "STR_QUALITY_3"}) {
            csv += key;
            for (const std::string& n : names)
                csv += std::string(",") + key + "." + n;
            csv += "\r\n";
        }
        csv += "STR_GRAPHICS_QUALITY,Quality: %s\r\n";
        // Large enough that only reading it in asks for so much memory.
        csv += "STR_FILLER," + std::string(20000, 'x') + "\r\n";
        csvSize = csv.size();
        return WriteHostFile(Host("kelo.csv"), csv.data(), csv.size()) &&
               CreateLanguageTable(Engine("kelo.csv").c_str()).ok() &&
               (selected < 0 || GetLanguageTable()->SelectLanguage(selected));
    }
    // The menu, settled: its fade-in is over, so it sends events.
    GameScreen* Menu()
    {
        if (!GetStartMenu() && ShowScreen(kSlotStartMenu).ok())
            GetStartMenu()->ClearScreenFadingIn();
        return GetStartMenu();
    }
    template <typename T = ScriptWidget>
    T* Find(const char* name)
    {
        GameScreen* menu = GetStartMenu();
        return dynamic_cast<T*>(menu ? ScriptWidget::FindByName(menu, name) : nullptr);
    }
    // Runs the action on the menu and gives back the dialog it opened.
    template <typename T>
    T* Open(const char* action, const char* dialog)
    {
        GameScreen* menu = Menu();
        if (!menu || !menu->RunActionFromFile("keloui.txt", action))
            return nullptr;
        return Find<T>(dialog);
    }
    // A press and release of a widget's command, as a tap gives it.
    static void Tap(Widget* dialog, const char* name) { dialog->OnEvent(nullptr, kMsgCommand, name, 0); }
    void AddNamed(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            int index = AddPlayer();
            GetProfiles()->SetPlayerName(index, String(name));
        }
    }
    // The pixel as 8-bit channels of the 5:6:5 word.
    uint16_t Pixel(int x, int y) const { return GetScreenSurface()->GetPixels()[y * GetScreenSurface()->GetRawWidth() + x]; }

    bool looks = false;
    size_t csvSize = 0;
};

inline std::string Text(const String& s)
{
    return s.CStr() ? s.CStr() : "";
}
