// The adventure and gauntlet maps on the shipped data: every door and rank tier answers a tap at
// every resolution, what play starts arrives with the right progress, and the resume records of
// the maps come back through the application's restore.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/screens/map_widgets.h"
#include "game/tables/progression.h"
#include "maps_app.h"

namespace {

Surface* SealedFrame(ResourceEntry* set)
{
    return set ? set->GetFrame(0) : nullptr;
}

std::string TextOf(Widget* screen, const char* name)
{
    auto* text = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(screen, name));
    return text && text->GetText().CStr() ? text->GetText().CStr() : "";
}

// Every row's name ends before its score, and the score stays whole.
void ExpectNamesClearOfScores(Widget* map, const std::string& score)
{
    for (int row = 1; row <= 3; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        std::string n = std::to_string(row);
        auto* name = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(map, ("txt_hs_name_" + n).c_str()));
        auto* value = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(map, ("txt_hs_value_" + n).c_str()));
        ASSERT_NE(name, nullptr);
        ASSERT_NE(value, nullptr);
        Rect nameArea, valueArea;
        name->GetLayoutRect(nameArea);
        value->GetLayoutRect(valueArea);
        EXPECT_LT(nameArea.x + nameArea.w, valueArea.x) << TextOf(map, ("txt_hs_name_" + n).c_str());
        EXPECT_EQ(TextOf(map, ("txt_hs_value_" + n).c_str()), score);
        EXPECT_EQ(TextOf(map, ("txt_hs_name_" + n).c_str()).substr(0, 2), "It");
    }
}

// The gauntlet map at rest, browsed two maps on to map 17; null when it is not.
GauntletMapScreen* BrowsedToMap17(MapsApp& app)
{
    GauntletMapScreen* map = app.RestingGauntlet();
    if (!map)
        return nullptr;
    map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
    map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
    return map->GetSelectedMap() == 17 ? map : nullptr;
}

}  // namespace

TEST(AdventureMap, EveryDoorAnswersATapAtEveryResolution)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MapsApp app(r.width, r.height);
        ASSERT_TRUE(app.Usable());
        app.Player()->highestStage = 76;
        app.Player()->progress[0].stage = 76;
        AdventureMapScreen* map = app.RestingAdventure();
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->GetDoorsOpen(), 12);
        EXPECT_EQ(map->GetSelectedDoor(), 13) << "the final stage has a door of its own";
        for (int door = 1; door <= 12; ++door) {
            SCOPED_TRACE(door);
            Surface* sealed = SealedFrame(map->GetDoorSprite(door));
            ASSERT_NE(sealed, nullptr);
            Point at = map->GetDoorPosition(door);
            int x = at.x + sealed->GetWidth() / 2, y = at.y + sealed->GetHeight() / 2;
            ASSERT_LT(x, r.width);
            ASSERT_LT(y, r.height);
            EXPECT_EQ(map->DoorAt(x, y), door);
            // No widget lies over the door: the tap reaches the map and chooses it.
            app.Tap(x, y);
            EXPECT_EQ(map->GetSelectedDoor(), door);
            EXPECT_EQ(TextOf(map, "txt_adv_stage_n"), std::to_string(door));
        }
    }
}

TEST(AdventureMap, DoorAtKeepsToTheSealedFrameAndTheOpenDoors)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    app.Player()->highestStage = static_cast<int8_t>(Adventure::DoorFirstStage(4));
    AdventureMapScreen* map = app.RestingAdventure();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->GetDoorsOpen(), 4);
    Surface* sealed = SealedFrame(map->GetDoorSprite(2));
    ASSERT_NE(sealed, nullptr);
    Point at = map->GetDoorPosition(2);
    int w = sealed->GetWidth(), h = sealed->GetHeight();
    EXPECT_EQ(map->DoorAt(at.x, at.y), 2);
    EXPECT_EQ(map->DoorAt(at.x + w - 1, at.y + h - 1), 2);
    EXPECT_EQ(map->DoorAt(at.x - 1, at.y), 0);
    EXPECT_EQ(map->DoorAt(at.x + w, at.y + h / 2), 0);
    EXPECT_EQ(map->DoorAt(at.x + w / 2, at.y + h), 0);
    Point fifth = map->GetDoorPosition(5);
    EXPECT_EQ(map->DoorAt(fifth.x + 2, fifth.y + 2), 0) << "a door beyond those open is no door";
    // A tap on it changes nothing.
    int before = map->GetSelectedDoor();
    app.Tap(fifth.x + 2, fifth.y + 2);
    EXPECT_EQ(map->GetSelectedDoor(), before);
}

TEST(AdventureMap, SecondTapStartsTheDoorsFirstStageAndTheDeliveryReplacesTheMap)
{
    MapsApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    app.Player()->highestStage = 30;
    app.Player()->progress[0].stage = 30;
    AdventureMapScreen* map = app.RestingAdventure();
    ASSERT_NE(map, nullptr);
    Point at = map->GetDoorPosition(2);
    app.Tap(at.x + 3, at.y + 3);
    ASSERT_EQ(map->GetSelectedDoor(), 2);
    EXPECT_EQ(app.arrived, 0);
    app.Tap(at.x + 3, at.y + 3);
    EXPECT_TRUE(map->IsScreenFadingOut());
    // The fade ends in 1017 to the map, which posts the level unfaded: the map is gone after it.
    app.Frames(20);
    EXPECT_EQ(app.arrived, kEventPlayLevel);
    EXPECT_EQ(app.Adventure(), nullptr);
    EXPECT_EQ(app.Player()->progress[0].stage, Adventure::DoorFirstStage(2)) << "an earlier door sets the stage back";
}

TEST(AdventureMap, PlayGoesThroughTheHelpUnlessItIsSkipped)
{
    MapsApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    app.GetProfiles()->skipHelp = false;
    // A progress at stage 0 chooses no door, and play then starts nothing.
    AdventureMapScreen* map = app.RestingAdventure();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->GetSelectedDoor(), 0);
    map->OnEvent(map, kMsgCommand, "btn_adv_play", 0);
    EXPECT_FALSE(map->IsScreenFadingOut());
    app.Player()->progress[0].stage = 1;
    map = app.RestingAdventure();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->GetSelectedDoor(), 1);
    map->OnKey(kKeyAction, true);
    map->OnKey(kKeyAction, false);
    map->SetFocusChildDirect(ScriptWidget::FindByName(map, "txt_adv_stage"));
    map->OnKey(kKeyAction, true);
    map->OnKey(kKeyAction, false);
    app.Frames(20);
    EXPECT_EQ(app.arrived, kEventHelpBeforePlay);
    EXPECT_EQ(app.Player()->progress[0].stage, 1);
}

TEST(AdventureMap, TheFinalStageSelectsDoorThirteen)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    app.Player()->highestStage = 76;
    app.Player()->progress[0].stage = 76;
    AdventureMapScreen* map = app.RestingAdventure();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(TextOf(map, "txt_adv_stage_n"), "13");
    String expected;
    app.GetLanguageTable()->Lookup(expected, "STR_ADV_DESC_13");
    ASSERT_FALSE(expected.IsEmpty());
    EXPECT_EQ(TextOf(map, "txt_adv_stage_desc"), expected.CStr());
    map->SetFocusChildDirect(ScriptWidget::FindByName(map, "txt_adv_stage"));
    for (int key = 1; key <= 4; ++key) {
        map->OnKey(key, true);
        EXPECT_EQ(map->GetSelectedDoor(), 13) << "key " << key;
    }
    map->OnEvent(map, kMsgCommand, "btn_adv_play", 0);
    app.Frames(20);
    EXPECT_EQ(app.arrived, kEventPlayLevel);
    EXPECT_EQ(app.Player()->progress[0].stage, 76);
}

TEST(AdventureMap, KeysWalkTheOpenDoorsAndTheButtons)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    app.Player()->highestStage = static_cast<int8_t>(Adventure::DoorFirstStage(7));
    app.Player()->progress[0].stage = Adventure::DoorFirstStage(3);
    AdventureMapScreen* map = app.RestingAdventure();
    ASSERT_NE(map, nullptr);
    ScriptWidget* stage = ScriptWidget::FindByName(map, "txt_adv_stage");
    ScriptWidget* play = ScriptWidget::FindByName(map, "btn_adv_play");
    ScriptWidget* menu = ScriptWidget::FindByName(map, "btn_adv_menu");
    EXPECT_EQ(map->GetFocusChild(), play);
    map->OnKey(kKeyLeft, true);
    EXPECT_EQ(map->GetFocusChild(), menu);
    map->OnKey(kKeyUp, true);
    EXPECT_EQ(map->GetSelectedDoor(), 1);
    EXPECT_EQ(map->GetFocusChild(), stage);
    map->OnKey(kKeyRight, true);
    map->OnKey(kKeyRight, true);
    EXPECT_EQ(map->GetSelectedDoor(), 3);
    map->OnKey(kKeyRight, true);
    EXPECT_EQ(map->GetSelectedDoor(), 7) << "right from door 3 reaches the third temple";
    map->OnKey(kKeyUp, true);
    EXPECT_EQ(map->GetSelectedDoor(), 7) << "up finds nothing before door 10 is open";
    map->OnKey(kKeyDown, true);
    EXPECT_EQ(map->GetSelectedDoor(), 3);
    map->OnKey(kKeyDown, true);
    EXPECT_EQ(map->GetFocusChild(), play);
}

TEST(AdventureMap, TheMenuButtonSavesTheMapAndItComesBack)
{
    MapsApp app(400, 240);
    ASSERT_TRUE(app.Usable());
    app.Player()->highestStage = 12;
    app.Player()->progress[0].stage = 12;
    AdventureMapScreen* map = app.RestingAdventure();
    ASSERT_NE(map, nullptr);
    map->OnKey(kKeyBack, true);
    map->OnKey(kKeyBack, false);
    ASSERT_TRUE(app.HasResumeSave(0));
    app.Frames(20);
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_EQ(app.Adventure(), nullptr);
    ASSERT_TRUE(app.ResumeGame(0));
    map = app.Adventure();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetSelectedDoor(), Adventure::DoorOfStage(12));
}

TEST(AdventureMap, RestoreTakesTheIdAloneAndRefusesNothingElse)
{
    MapsApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    for (int id : {2, 3}) {
        SCOPED_TRACE(id);
        PackMemoryFile record;
        ASSERT_TRUE(record.Allocate(16));
        record.WriteInt32(id);
        record.Seek(0, kSeekStart);
        ASSERT_TRUE(app.RestoreScreen(&record));
        EXPECT_NE(id == 2 ? static_cast<GameScreen*>(app.Adventure()) : app.Gauntlet(), nullptr);
    }
    PackMemoryFile cut;
    ASSERT_TRUE(cut.Allocate(2));
    EXPECT_FALSE(app.RestoreScreen(&cut)) << "a record too short for its id";
}

TEST(AdventureMap, FirstVisitToATempleFadesItInOnce)
{
    MapsApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    app.Player()->highestStage = static_cast<int8_t>(Adventure::DoorFirstStage(4));
    ASSERT_TRUE(app.ShowScreen(kSlotAdventureMap).ok());
    AdventureMapScreen* map = app.Adventure();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetUnveilingTemple(), 1);
    EXPECT_EQ(map->GetUnveilFade().ToInt(), -255);
    EXPECT_EQ(app.Player()->progress[0].templeShown[1], 1);
    for (int i = 0; i < 63; ++i)
        map->UpdateUnveil();
    EXPECT_EQ(map->GetUnveilingTemple(), 1);
    map->UpdateUnveil();
    EXPECT_EQ(map->GetUnveilingTemple(), -1) << "the fade lasts 64 updates";
    ASSERT_TRUE(app.ShowScreen(kSlotAdventureMap).ok());
    EXPECT_EQ(app.Adventure()->GetUnveilingTemple(), -1) << "a second visit shows it at rest";
}

TEST(AdventureMap, TempleFourRisesWithItsDoorsAndShakesTheOthers)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    app.Player()->highestStage = static_cast<int8_t>(Adventure::DoorFirstStage(10));
    app.Player()->progress[0].stage = Adventure::DoorFirstStage(10);
    ASSERT_TRUE(app.ShowScreen(kSlotAdventureMap).ok());
    AdventureMapScreen* map = app.Adventure();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->GetUnveilingTemple(), 3);
    EXPECT_EQ(map->GetRiseOffset().ToInt(), 480 - app.GetLayoutTable().ints[kLayoutTemple4Y]);
    int half = app.GetLayoutTable().ints[kLayoutRiseJitter] / 2;
    ASSERT_EQ(map->GetJitterCount(), 10);
    for (int i = 0; i < 10; ++i) {
        Point p = map->GetJitterPoint(i);
        EXPECT_GE(p.x, -half);
        EXPECT_LT(p.x, half);
        EXPECT_GE(p.y, -half);
        EXPECT_LT(p.y, half);
    }
    int updates = 0;
    while (map->GetUnveilingTemple() == 3 && updates < 100) {
        map->UpdateUnveil();
        ++updates;
    }
    // 66 steps of a truncated 66th of the way; the remainder takes one more.
    EXPECT_GE(updates, kRiseUpdates);
    EXPECT_LE(updates, kRiseUpdates + 1);
    EXPECT_EQ(map->GetRiseOffset().raw, 0);
}

TEST(MapScreens, LongNamesEndBeforeTheirScoresAtEveryResolution)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MapsApp app(r.width, r.height);
        ASSERT_TRUE(app.Usable());
        ProfileStore* profiles = app.GetProfiles();
        for (ScoreEntry* table : {profiles->AdventureScores(), profiles->GauntletScores(0, 13)})
            for (int i = 0; i < kHighScoreEntries; ++i) {
                table[i].score = 54321;
                std::snprintf(table[i].name, sizeof table[i].name, "%s", "Itzel Moonstone Greenle");
            }
        AdventureMapScreen* adventure = app.RestingAdventure();
        ASSERT_NE(adventure, nullptr);
        ExpectNamesClearOfScores(adventure, "54321");
        GauntletMapScreen* gauntlet = app.RestingGauntlet();
        ASSERT_NE(gauntlet, nullptr);
        ExpectNamesClearOfScores(gauntlet, "54321");
    }
}

TEST(GauntletMap, TheTextsItDrawsItselfStayOnTheirStonesAndApartAtEveryResolution)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MapsApp app(r.width, r.height);
        ASSERT_TRUE(app.Usable());
        GauntletMapScreen* map = app.RestingGauntlet();
        ASSERT_NE(map, nullptr);
        bool square = r.width == 240;
        Font* font = square ? app.GetSmallFont() : app.GetMainFont();
        for (int language = 0; language < 4; ++language) {
            ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(language));
            for (int g = 0; g < 4; ++g) {
                Surface* tier = SealedFrame(map->GetGemSprite(g));
                ASSERT_NE(tier, nullptr);
                String label;
                app.GetLanguageTable()->LookupOffset(label, "STR_GAUNT_RANK_1", g);
                // Drawn centred on the tier (two pixels right on the smallest screen), inside its rim.
                int width = font->MeasureText(label.CStr());
                int left = (tier->GetWidth() - width) / 2 + (square ? 2 : 0);
                int rim = std::max(1, tier->GetWidth() / 32);
                EXPECT_GE(left, rim) << label.CStr();
                EXPECT_LE(left + width, tier->GetWidth() - rim) << label.CStr();
            }
        }
        // The mode switch's labels: one above the other, both on the plaque.
        GauntletModeSwitch* modeSwitch = map->GetModeSwitch();
        ASSERT_NE(modeSwitch, nullptr);
        EXPECT_FALSE(modeSwitch->GetPracticeLabel().IsEmpty());
        EXPECT_FALSE(modeSwitch->GetSurvivalLabel().IsEmpty());
        Surface* plaque = modeSwitch->CurrentImage();
        ASSERT_NE(plaque, nullptr);
        int line = app.GetSmallFont()->GetLineHeight();
        Point centre;
        modeSwitch->GetCenter(centre);
        int top = centre.y - plaque->GetHeight() / 2;
        EXPECT_LE(modeSwitch->GetPracticeTop() + line, modeSwitch->GetSurvivalTop()) << "practice over survival";
        EXPECT_GE(modeSwitch->GetPracticeTop(), top);
        EXPECT_LE(modeSwitch->GetSurvivalTop() + line, top + plaque->GetHeight());
        if (r.height >= 480) {
            EXPECT_EQ(modeSwitch->GetSurvivalTop(), centre.y + line / 4) << "a quarter line where there is room";
        }
    }
}

TEST(GauntletMap, NoMapNameIsCutByTheThumbnailsLowerEdge)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MapsApp app(r.width, r.height);
        ASSERT_TRUE(app.Usable());
        GauntletMapScreen* map = app.RestingGauntlet();
        ASSERT_NE(map, nullptr);
        for (int language = 0; language < 4; ++language) {
            ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(language));
            for (int i = 0; i < map->GetBrowseList().Count(); ++i) {
                map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
                Surface* thumb = map->GetThumbnail();
                ASSERT_NE(thumb, nullptr);
                // The name is drawn in pure white; the pictures under it hold none.
                const uint16_t* last = thumb->GetPixels() + (thumb->GetHeight() - 1) * thumb->GetRawWidth();
                int white = 0;
                for (int x = 0; x < thumb->GetWidth(); ++x)
                    white += last[x] == 0xFFFF;
                EXPECT_EQ(white, 0) << "language " << language << ", map " << map->GetSelectedMap();
            }
        }
    }
}

// A set a screen asks for that the scripts lack is their damage: the screen's failure names them.
TEST(GauntletMap, ASetTheScriptsLackIsNamedAsTheirDamage)
{
    MapsApp app(800, 480);
    ASSERT_TRUE(app.Usable());
    app.Undeclare("GauntDoor2");
    LoadResult shown = app.ShowScreen(kSlotGauntletMap);
    ASSERT_TRUE(shown.failed());
    EXPECT_NE(std::string(shown.File()).find("sprites.txt"), std::string::npos) << shown.File();
    EXPECT_NE(std::string(shown.Reason()).find("GauntDoor2"), std::string::npos) << shown.Reason();
}

// A map whose picture cannot be read shows a black thumbnail, not the last map's picture and name.
TEST(GauntletMap, AThumbnailThatCannotBeDrawnIsBlack)
{
    MapsApp app(800, 480);
    ASSERT_TRUE(app.Usable());
    GauntletMapScreen* map = app.RestingGauntlet();
    ASSERT_NE(map, nullptr);
    ASSERT_GE(map->GetBrowseList().Count(), 2);
    int shown = map->GetSelectedMap();
    int next = *map->GetBrowseList().At(0) == shown ? *map->GetBrowseList().At(1) : *map->GetBrowseList().At(0);
    app.LosePictures(next);
    for (int i = 0; i < map->GetBrowseList().Count() && map->GetSelectedMap() != next; ++i)
        map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
    ASSERT_EQ(map->GetSelectedMap(), next);
    Surface* thumb = map->GetThumbnail();
    int lit = 0;
    for (int y = 0; y < thumb->GetHeight(); ++y)
        for (int x = 0; x < thumb->GetWidth(); ++x)
            lit += thumb->GetPixels()[y * thumb->GetRawWidth() + x] != 0;
    EXPECT_EQ(lit, 0);
}

TEST(GauntletMap, EveryOpenTierAnswersATapAtEveryResolution)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MapsApp app(r.width, r.height);
        ASSERT_TRUE(app.Usable());
        app.Player()->mapRanks[13] = 3;
        GauntletMapScreen* map = app.RestingGauntlet();
        ASSERT_NE(map, nullptr);
        ASSERT_EQ(map->GetSelectedMap(), 13);
        EXPECT_FALSE(map->GetSurvivalRadio()->IsVisible());
        EXPECT_FALSE(map->GetPracticeRadio()->IsVisible());
        // No rank chosen yet, so each tap chooses rather than starts.
        map->SetChosenRank(-1);
        for (int gem = 0; gem < 4; ++gem) {
            SCOPED_TRACE(gem);
            Surface* sealed = SealedFrame(map->GetGemSprite(gem));
            ASSERT_NE(sealed, nullptr);
            Point at = map->GetGemAnchor(gem);
            int x = at.x + sealed->GetWidth() / 2, y = at.y + sealed->GetHeight() / 2;
            EXPECT_EQ(map->HitRankGem(x, y), gem);
            app.Tap(x, y);
            EXPECT_EQ(map->GetChosenRank(), gem);
        }
    }
}

TEST(GauntletMap, PlayWritesTheStartingLevelAndMap)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    app.Player()->mapRanks[13] = 3;
    const int firstLevels[4] = {1, 8, 15, 22};
    for (int rank = 0; rank < 4; ++rank) {
        SCOPED_TRACE(rank);
        GauntletMapScreen* map = app.RestingGauntlet();
        ASSERT_NE(map, nullptr);
        map->SetChosenRank(rank);
        map->OnEvent(map, kMsgCommand, "btn_gaunt_play", 0);
        app.Frames(20);
        EXPECT_EQ(app.arrived, kEventPlayLevel);
        const ModeProgress& progress = app.Player()->progress[1];
        EXPECT_EQ(app.Player()->mode, 1);
        EXPECT_EQ(progress.stage, firstLevels[rank]);
        EXPECT_EQ(progress.gauntletMap, 13);
        EXPECT_EQ(progress.gauntletKind, 0);
        EXPECT_FALSE(progress.randomMap);
        app.arrived = 0;
    }
}

TEST(GauntletMap, RandomPracticeIsMarkedAndPicksAnOpenMap)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    GauntletMapScreen* map = app.RestingGauntlet();
    ASSERT_NE(map, nullptr);
    map->OnEvent(map, kMsgCommand, "btn_gaunt_back", 0);
    ASSERT_EQ(map->GetSelectedMap(), kRandomMapEntry) << "back from the first entry is the random one";
    EXPECT_EQ(TextOf(map, "txt_hs_name_1"), " ");
    auto* modeSwitch = map->GetModeSwitch();
    ASSERT_NE(modeSwitch, nullptr);
    EXPECT_TRUE(modeSwitch->IsChecked()) << "checked is survival";
    modeSwitch->OnKey(kKeyAction, true);
    modeSwitch->OnKey(kKeyAction, false);
    EXPECT_EQ(map->GetMode(), 1);
    EXPECT_TRUE(map->GetPracticeRadio()->IsChecked());
    EXPECT_FALSE(map->GetSurvivalRadio()->IsChecked());
    map->OnEvent(map, kMsgCommand, "btn_gaunt_play", 0);
    app.Frames(20);
    ASSERT_EQ(app.arrived, kEventPlayLevel);
    const ModeProgress& progress = app.Player()->progress[1];
    EXPECT_TRUE(progress.randomMap);
    EXPECT_EQ(progress.gauntletKind, 1);
    EXPECT_NE(app.Player()->mapRanks[progress.gauntletMap], -1) << "only an open map is picked";
}

TEST(GauntletMap, ALockedMapStartsNothing)
{
    MapsApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    GauntletMapScreen* map = BrowsedToMap17(app);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetRankReached(), -1);
    EXPECT_EQ(map->GetChosenRank(), -1);
    EXPECT_FALSE(ScriptWidget::FindByName(map, "btn_gaunt_play")->IsVisible());
    EXPECT_EQ(map->HitRankGem(map->GetGemAnchor(0).x + 2, map->GetGemAnchor(0).y + 2), -1);
    String locked;
    app.GetLanguageTable()->Lookup(locked, "STR_LOCKEDGAUNTDESC");
    EXPECT_EQ(TextOf(map, "txt_gaunt_desc"), locked.CStr());
    int before = app.Player()->progress[1].stage;
    EXPECT_FALSE(map->StartGame());
    map->OnEvent(map, kMsgCommand, "btn_gaunt_play", 0);
    app.Frames(20);
    EXPECT_EQ(app.arrived, 0);
    EXPECT_EQ(app.Player()->progress[1].stage, before);
    // A rank chosen on an open map is kept to what the next map allows.
    app.Player()->mapRanks[13] = 3;
    app.Player()->mapRanks[3] = 1;
    map = app.RestingGauntlet();
    map->SetChosenRank(2);
    map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
    EXPECT_EQ(map->GetChosenRank(), 1);
    map->OnEvent(map, kMsgCommand, "btn_gaunt_back", 0);
    EXPECT_EQ(map->GetChosenRank(), 1);
}

TEST(GauntletMap, TheBrowseListHoldsMapTwentyOneOnlyAfterTheAdventure)
{
    MapsApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    GauntletMapScreen* map = app.RestingGauntlet();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetBrowseList().Count(), 22);
    for (int i = 0; i < 22; ++i)
        map->OnEvent(map, kMsgCommand, "btn_gaunt_next", 0);
    EXPECT_EQ(map->GetSelectedMap(), 13) << "round the list and back to the first";
    app.Player()->adventureFinished = 1;
    map = app.RestingGauntlet();
    ASSERT_EQ(map->GetBrowseList().Count(), 23);
    int32_t beforeRandom = 0;
    map->GetBrowseList().Get(beforeRandom, 21);
    EXPECT_EQ(beforeRandom, 21);
}

TEST(MapWidgets, ArrowsReplaceTheBrowseWordsOnTheSmallestScreenOutsideEnglish)
{
    struct Case {
        int width, height, language;
        const char* back;
        const char* next;
    };
    for (const Case& c : {Case{240, 240, 1, "<<", ">>"}, Case{240, 240, 0, nullptr, nullptr},
                          Case{320, 240, 1, nullptr, nullptr}}) {
        SCOPED_TRACE(std::to_string(c.width) + " language " + std::to_string(c.language));
        MapsApp app(c.width, c.height);
        ASSERT_TRUE(app.Usable());
        ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(c.language));
        GauntletMapScreen* map = app.RestingGauntlet();
        ASSERT_NE(map, nullptr);
        auto* back = dynamic_cast<MapButton*>(ScriptWidget::FindByName(map, "btn_gaunt_back"));
        auto* next = dynamic_cast<MapButton*>(ScriptWidget::FindByName(map, "btn_gaunt_next"));
        ASSERT_NE(back, nullptr);
        ASSERT_NE(next, nullptr);
        String backWord, nextWord;
        app.GetLanguageTable()->Lookup(backWord, "STR_MAP_PREVIOUS");
        app.GetLanguageTable()->Lookup(nextWord, "STR_MAP_NEXT");
        EXPECT_STREQ(back->GetCaption().CStr(), c.back ? c.back : backWord.CStr());
        EXPECT_STREQ(next->GetCaption().CStr(), c.next ? c.next : nextWord.CStr());
        EXPECT_EQ(back->GetMapCaptionX(), app.GetLayoutTable().ints[kLayoutBackCaptionX]);
        EXPECT_EQ(next->GetMapCaptionY(), -app.GetLayoutTable().ints[kLayoutMapCaptionY]);
    }
}

TEST(MapWidgets, ARadioChecksOnlyItselfAndOnlyOnAReleaseOverIt)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    GauntletMapScreen* map = app.RestingGauntlet();
    ASSERT_NE(map, nullptr);
    GauntletModeRadio* survival = map->GetSurvivalRadio();
    GauntletModeRadio* practice = map->GetPracticeRadio();
    // Hidden radios take no input; shown, they act as the mode control.
    EXPECT_FALSE(survival->OnKey(kKeyAction, true));
    survival->Show();
    practice->Show();
    ASSERT_TRUE(survival->IsChecked());
    EXPECT_TRUE(survival->OnKey(kKeyAction, true));
    EXPECT_TRUE(survival->IsPressed());
    EXPECT_TRUE(survival->OnKey(kKeyAction, false));
    EXPECT_TRUE(survival->IsChecked()) << "a checked radio released stays checked";
    EXPECT_EQ(map->GetMode(), 0);
    EXPECT_TRUE(survival->OnKey(kKeyUp, true)) << "every key is the radio's once it takes input";

    Rect area;
    practice->GetRect(area);
    Size size;
    practice->GetPreferredSize(size);
    int x = area.x + size.w / 2, y = area.y + size.h / 2;
    practice->OnPointer(x, y, 1);
    practice->OnPointer(-50, -50, 3);
    EXPECT_FALSE(practice->IsPressed());
    practice->OnPointer(-50, -50, 2);
    EXPECT_FALSE(practice->IsChecked()) << "released outside: nothing chosen";
    EXPECT_EQ(map->GetMode(), 0);
    practice->OnPointer(x, y, 1);
    practice->OnPointer(-50, -50, 3);
    practice->OnPointer(x, y, 3);
    practice->OnPointer(x, y, 2);
    EXPECT_TRUE(practice->IsChecked()) << "dragged back in before the release";
    EXPECT_EQ(map->GetMode(), 1);
    EXPECT_FALSE(survival->IsChecked()) << "the map unchecks the other";
}

// A game left on the gauntlet map before any level: the Continue question names the map that was
// chosen there, and continuing shows it chosen again.
TEST(GauntletMap, ContinuingNamesAndShowsTheMapLeftChosen)
{
    MapsApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    ASSERT_NE(BrowsedToMap17(app), nullptr);
    ASSERT_TRUE(app.SaveResumeState());

    ASSERT_TRUE(app.ShowStartMenu());
    app.Frames(20);
    app.OnEvent(nullptr, kMsgCommand, "btn_sm_gauntlet", 0);
    auto* text = dynamic_cast<TextMultiWidget*>(ScriptWidget::FindByName(app.GetStartMenu(), "txt_continue_2"));
    ASSERT_NE(text, nullptr);
    String chosen;
    MapDisplayName(chosen, &app, 17);
    ASSERT_FALSE(chosen.IsEmpty());
    std::string shown = text->GetText().CStr() ? text->GetText().CStr() : "";
    EXPECT_NE(shown.find(chosen.CStr()), std::string::npos) << shown;

    ASSERT_TRUE(app.ResumeGame(1));
    ASSERT_NE(app.Gauntlet(), nullptr);
    EXPECT_EQ(app.Gauntlet()->GetSelectedMap(), 17);
    EXPECT_EQ(app.Gauntlet()->GetBrowseIndex(), 2);
}

TEST(MapsFromTheMenu, ANewGameOfEitherModeOpensItsMap)
{
    MapsApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    app.Player()->progress[0].stage = 40;
    ASSERT_TRUE(app.ShowStartMenu());
    app.Frames(20);
    app.OnEvent(nullptr, kMsgCommand, "btn_sm_adventure", 0);
    app.Frames(20);
    AdventureMapScreen* map = app.Adventure();
    ASSERT_NE(map, nullptr) << "1016 resets the adventure and shows the map at once";
    EXPECT_EQ(app.Player()->progress[0].stage, 1);
    EXPECT_EQ(map->GetSelectedDoor(), 1);
    EXPECT_EQ(app.GetStartMenu(), nullptr);

    ASSERT_TRUE(app.ShowStartMenu());
    app.Frames(20);
    app.OnEvent(nullptr, kMsgCommand, "btn_sm_gauntlet", 0);
    app.Frames(20);
    ASSERT_NE(app.Gauntlet(), nullptr);
    EXPECT_EQ(app.Gauntlet()->GetSelectedMap(), 13);
    // The gauntlet map's menu button goes back without a record.
    app.Gauntlet()->OnKey(kKeyBack, false);
    app.Frames(20);
    EXPECT_NE(app.GetStartMenu(), nullptr);
    EXPECT_FALSE(app.HasResumeSave(1));
}
