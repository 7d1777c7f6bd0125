#pragma once
// The game application on the shipped packs with one player, the real gameplay screen in its
// slot and the screen-change events it reached written down, for the board's looks and its
// whole-screen input.
#include <vector>

#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"
#include "shipped_game_app.h"

class GameplayLookApp : public ShippedGameApp {
public:
    GameplayLookApp(int width, int height) : ShippedGameApp(width, height, "keloui.txt", "root_gameplay")
    {
        tablesBuilt_ = levelTables_.Build();
        ProfileStore* profiles = GetProfiles();
        int index = profiles ? profiles->AddPlayer() : -1;
        if (index >= 0)
            profiles->SetCurrentIndex(index);
        if (profiles)
            profiles->mute = true;
    }
    bool Ready() const { return ShippedGameApp::Ready() && tablesBuilt_ && Player(); }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotGameplay ? GameApp::NewScreen(slot) : ShippedGameApp::NewScreen(slot);
    }
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        events.push_back(code);
        return GameApp::OnEvent(sender, code, name, param);
    }
    PlayerRecord* Player() const
    {
        ProfileStore* profiles = GetProfiles();
        return profiles && profiles->GetPlayerCount() > 0 ? profiles->CurrentPlayer() : nullptr;
    }
    void PlayAdventure(int stage)
    {
        Player()->mode = 0;
        Player()->progress[0].stage = stage;
    }
    void PlayGauntlet(int map, int level, bool survival)
    {
        Player()->mode = 1;
        ModeProgress& progress = Player()->progress[1];
        progress.stage = level;
        progress.gauntletMap = map;
        progress.gauntletKind = survival ? 0 : 1;
    }
    GameplayScreen* Board() const { return dynamic_cast<GameplayScreen*>(GetScreen(kSlotGameplay)); }

    std::vector<int> events;

private:
    bool tablesBuilt_ = false;
};
