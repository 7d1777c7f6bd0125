#pragma once
// The shipped game showing its adventure and gauntlet maps: one named player, the built-in
// tables, and stand-in screens for the level (1000) and the help before it (1012), so that what
// a map starts can be seen to arrive.
#include <new>

#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/profile_store.h"
#include "game/screens/adventure_map_screen.h"
#include "game/screens/gauntlet_map_screen.h"
#include "shipped_game_app.h"

class MapsApp : public ShippedGameApp {
public:
    MapsApp(int width, int height) : ShippedGameApp(width, height, "keloui.txt", "root_adventure")
    {
        usable_ = Ready() && levelTables_.Build();
        ProfileStore* profiles = GetProfiles();
        int index = profiles->AddPlayer();
        profiles->SetCurrentIndex(index);
        profiles->SetPlayerName(index, "Itzel");
        // The help screen is not the maps' business: play goes straight to the level.
        profiles->skipHelp = true;
    }
    bool Usable() const { return usable_; }
    GameScreen* NewScreen(int slot) override
    {
        if (slot == kSlotGameplay || slot == kSlotHelp)
            return new (std::nothrow) LookScreen(this, "keloui.txt", "root_adventure");
        return GameApp::NewScreen(slot);
    }
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        if (code == kEventPlayLevel || code == kEventHelpBeforePlay) {
            arrived = code;
            EXPECT_TRUE(ShowScreen(code == kEventPlayLevel ? kSlotGameplay : kSlotHelp).ok());
            return true;
        }
        return GameApp::OnEvent(sender, code, name, param);
    }
    PlayerRecord* Player() { return GetProfiles()->CurrentPlayer(); }
    // Takes a set out of the list, as a sprite script that lost its block would leave it.
    void Undeclare(const char* set)
    {
        for (int i = 0; i < spriteList_->GetCount(); ++i)
            if (spriteList_->Get(i) == spriteList_->FindByName(set))
                spriteList_->RemoveAt(i);
    }
    // Points a map at pictures the packs do not hold.
    void LosePictures(int map) { const_cast<MapInfo*>(levelTables_.maps.Find(map))->art = "lost"; }
    AdventureMapScreen* Adventure() { return dynamic_cast<AdventureMapScreen*>(GetScreen(kSlotAdventureMap)); }
    GauntletMapScreen* Gauntlet() { return dynamic_cast<GauntletMapScreen*>(GetScreen(kSlotGauntletMap)); }
    // The map shown and done fading in; null when it could not be made.
    AdventureMapScreen* RestingAdventure()
    {
        if (ShowScreen(kSlotAdventureMap).failed())
            return nullptr;
        Frames(12);
        return Adventure();
    }
    GauntletMapScreen* RestingGauntlet()
    {
        if (ShowScreen(kSlotGauntletMap).failed())
            return nullptr;
        Frames(12);
        return Gauntlet();
    }
    // A tap: down and up at one point, through the application as the stylus would.
    void Tap(int x, int y)
    {
        OnPointer(x, y, 1);
        OnPointer(x, y, 2);
    }

    int arrived = 0;

private:
    bool usable_ = false;
};
