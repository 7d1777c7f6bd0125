// The maps on the shipped data at every resolution, written to look/maps_<W>x<H>_<case>.png:
// the adventure map of a new player, with seven doors open, with temple 4 half risen and at the
// final stage; the gauntlet map on an open, a locked and the random entry, in both modes, and at
// 240x240 in German (the browse buttons' arrows).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <string>

#include "engine/ui/string_table.h"
#include "game/app/game_keys.h"
#include "game/screens/map_widgets.h"
#include "game/tables/progression.h"
#include "maps_app.h"

namespace {

size_t DistinctColours(Surface* screen)
{
    std::set<uint16_t> colours;
    for (int y = 0; y < screen->GetHeight(); ++y)
        for (int x = 0; x < screen->GetWidth(); ++x)
            colours.insert(screen->GetPixels()[y * screen->GetRawWidth() + x]);
    return colours.size();
}

void Shoot(MapsApp& app, const std::string& base, const char* name)
{
    app.Draw();
    Surface* screen = app.GetScreenSurface();
    EXPECT_TRUE(WriteScreenPng(screen, base + name + ".png"));
    EXPECT_GT(DistinctColours(screen), 150u) << name << ": a picture, not a flat fill";
}

}  // namespace

TEST(ShippedLook, MapsAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        std::string base = std::string(KELO_LOOK_DIR) + "/maps_" + ShippedName(r) + "_";
        {
            MapsApp app(r.width, r.height);
            ASSERT_TRUE(app.Usable());
            app.GetProfiles()->ResetHighScores(GameRandom);
            PlayerRecord* player = app.Player();
            player->progress[0].stage = 1;
            ASSERT_NE(app.RestingAdventure(), nullptr);
            Shoot(app, base, "adv_new");

            player->highestStage = static_cast<int8_t>(Adventure::DoorFirstStage(7));
            player->progress[0].stage = Adventure::DoorFirstStage(5);
            player->progress[0].templeShown[1] = player->progress[0].templeShown[2] = 1;
            AdventureMapScreen* map = app.RestingAdventure();
            ASSERT_NE(map, nullptr);
            // The stylus resting on the next door shows its hover.
            Point door = map->GetDoorPosition(6);
            app.OnPointer(door.x + 4, door.y + 4, 3);
            Shoot(app, base, "adv_seven");

            player->highestStage = static_cast<int8_t>(Adventure::DoorFirstStage(10));
            player->progress[0].stage = Adventure::DoorFirstStage(10);
            ASSERT_TRUE(app.ShowScreen(kSlotAdventureMap).ok());
            app.Frames(8 + kRiseUpdates / 2);
            ASSERT_EQ(app.Adventure()->GetUnveilingTemple(), 3) << "still rising";
            Shoot(app, base, "adv_rise");

            player->highestStage = 76;
            player->progress[0].stage = 76;
            ASSERT_NE(app.RestingAdventure(), nullptr);
            Shoot(app, base, "adv_final");
        }
        {
            MapsApp app(r.width, r.height);
            ASSERT_TRUE(app.Usable());
            app.GetProfiles()->ResetHighScores(GameRandom);
            app.Player()->mapRanks[13] = 2;
            GauntletMapScreen* map = app.RestingGauntlet();
            ASSERT_NE(map, nullptr);
            map->SetChosenRank(1);
            Shoot(app, base, "gaunt_open_survival");
            map->GetModeSwitch()->OnKey(kKeyAction, true);
            map->GetModeSwitch()->OnKey(kKeyAction, false);
            ASSERT_EQ(map->GetMode(), 1);
            Shoot(app, base, "gaunt_open_practice");
            map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
            map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
            ASSERT_EQ(map->GetRankReached(), -1);
            Shoot(app, base, "gaunt_locked");
            map->OnEvent(map, kMsgCommand, "btn_gaunt_back", 0);
            map->OnEvent(map, kMsgCommand, "btn_gaunt_back", 0);
            map->OnEvent(map, kMsgCommand, "btn_gaunt_back", 0);
            ASSERT_EQ(map->GetSelectedMap(), kRandomMapEntry);
            Shoot(app, base, "gaunt_random_practice");
        }
        if (r.width == 240) {
            MapsApp app(r.width, r.height);
            ASSERT_TRUE(app.Usable());
            ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(1));
            app.GetProfiles()->ResetHighScores(GameRandom);
            app.Player()->progress[0].stage = 1;
            ASSERT_NE(app.RestingGauntlet(), nullptr);
            Shoot(app, base, "gaunt_german");
            ASSERT_NE(app.RestingAdventure(), nullptr);
            Shoot(app, base, "adv_german");
        }
    }
}
