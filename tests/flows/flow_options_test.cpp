// Options and players, played through the menu: the volumes by the tuners and by F6/F7 (heard or
// not), mute, the graphics quality (ball shadows only at the top one), the picture turned on a
// portrait screen, and players added, renamed and removed. What was set is there again when the
// program starts once more on the same saves.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "flows/layout_check.h"
#include "flows/menu_steps.h"
#include "flows/screen_reading.h"
#include "flows/scripted_game.h"
#include "game/app/profile_store.h"
#include "platform/capture.h"
#include "platform/keys.h"

namespace {

class OptionsFlow : public ::testing::TestWithParam<FlowSize> {};

const char* WelcomeName(const ScriptedGame& game)
{
    return game.Width() == 240 && game.Height() == 240 ? "txt_welcome240_2" : "txt_welcome";
}

std::string PlayerName(const ScriptedGame& game, int index)
{
    String name;
    game.Profiles()->GetPlayerName(index, name);
    return name.CStr() ? name.CStr() : "";
}

// The quality label as the language table words it for quality q.
std::string QualityLabel(const ScriptedGame& game, int q)
{
    StringTable* texts = game.App()->GetLanguageTable();
    String format, level;
    texts->Lookup(format, "STR_QUALITY_LABEL");
    texts->LookupOffset(level, "STR_QUALITY_1", q);
    std::string label = format.CStr();
    size_t at = label.find("%s");
    return at == std::string::npos ? label : label.replace(at, 2, level.CStr());
}

// Audio heard over three seconds, after two for the effects of the taps to end.
uint64_t Heard(ScriptedGame& game)
{
    game.Wait(60);
    uint64_t mark = game.SoundMark();
    game.Wait(90);
    return game.AudibleSince(mark);
}

int Luma(uint16_t p)
{
    return ((p >> 11) & 31) * 2 + ((p >> 5) & 63) * 2 + (p & 31);
}

// Where the two lower qualities draw the same (the stone, not the balls, whose turned pictures
// they filter differently): the pixels the top quality draws darker, and lighter.
std::pair<int, int> TopQualityChange(const PresentedFrame& top, const PresentedFrame& middle,
                                     const PresentedFrame& low)
{
    std::pair<int, int> change{0, 0};
    for (size_t i = 0; i < top.pixels.size() && i < middle.pixels.size() && i < low.pixels.size(); ++i) {
        if (middle.pixels[i] != low.pixels[i])
            continue;
        int difference = Luma(top.pixels[i]) - Luma(middle.pixels[i]);
        change.first += difference < -3;
        change.second += difference > 3;
    }
    return change;
}

// On the board resumed from the saved game, its "Ready?" question waiting: the frame shown.
PresentedFrame ResumedBoard(ScriptedGame& game)
{
    PresentedFrame frame;
    EXPECT_TRUE(OpenBy(game, "btn_sm_adventure", "dlg_continue_adventure"));
    EXPECT_TRUE(game.TapWidget("btn_continue_adventure"));
    EXPECT_TRUE(game.WaitUntil([&] { return game.Board() && DialogAtRest(game, "dlg_ready_go"); }, 600));
    game.Wait(12);
    EXPECT_TRUE(GetPresentedFrame(&frame));
    return frame;
}

void SetQuality(ScriptedGame& game, int from, int to)
{
    ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
    ASSERT_TRUE(OpenBy(game, "btn_options_graphics", "dlg_graphics"));
    ASSERT_TRUE(SlideTuner(game, "tuner_graphics_quality", from, to));
    ASSERT_TRUE(OpenBy(game, "btn_graphics_ok", "dlg_options"));
    ASSERT_TRUE(CloseBy(game, "btn_options_close"));
}

// The volumes by the tuners and the keys, heard; mute; the graphics quality and its label.
void PlayOptions(ScriptedGame& game)
{
    GameApp* app = game.App();
    ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
    ExpectReadable(app, "options");
    ExpectLaidOut(app, game.SizeName() + " options");
    game.Shot("options");
    EXPECT_EQ(TunerValue(game, "tuner_Sound"), 50);
    EXPECT_EQ(TunerValue(game, "tuner_Music"), 50);
    ASSERT_TRUE(SlideTuner(game, "tuner_Sound", 500, 1100));
    EXPECT_EQ(app->GetSoundVolume(), 100);
    ASSERT_TRUE(SlideTuner(game, "tuner_Music", 500, -100));
    EXPECT_EQ(app->GetMusicVolume(), 0);
    // A tap in the middle: the step of 5 nearest the half of the track.
    ASSERT_TRUE(SlideTuner(game, "tuner_Sound", 500, 500));
    int middle = app->GetSoundVolume();
    EXPECT_TRUE(middle >= 40 && middle <= 60 && middle % 5 == 0) << middle;
    EXPECT_EQ(TunerValue(game, "tuner_Sound"), middle);
    ASSERT_TRUE(SlideTuner(game, "tuner_Sound", 500, 1100));
    ASSERT_TRUE(CloseBy(game, "btn_options_close"));
    EXPECT_EQ(Heard(game), 0u) << "music at 0";

    // F7 twice: 100 -> 90, the music stays at 0; F6 three times: 90 -> 100 held there, 0 -> 15.
    game.Key(VK_F7);
    game.Key(VK_F7);
    EXPECT_EQ(app->GetSoundVolume(), 90);
    EXPECT_EQ(app->GetMusicVolume(), 0);
    for (int i = 0; i < 3; ++i)
        game.Key(VK_F6);
    EXPECT_EQ(app->GetSoundVolume(), 100);
    EXPECT_EQ(app->GetMusicVolume(), 15);
    EXPECT_GT(Heard(game), 0u) << "music at 15";

    ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
    EXPECT_EQ(TunerValue(game, "tuner_Sound"), 100);
    EXPECT_EQ(TunerValue(game, "tuner_Music"), 15);
    EXPECT_FALSE(game.IsTicked("chk_mute"));
    ASSERT_TRUE(game.TapWidget("chk_mute"));
    EXPECT_TRUE(game.IsTicked("chk_mute"));
    EXPECT_EQ(Heard(game), 0u) << "muted";
    game.Shot("muted");
    ASSERT_TRUE(game.TapWidget("chk_mute"));
    EXPECT_FALSE(game.IsTicked("chk_mute"));
    EXPECT_GT(Heard(game), 0u) << "sound back";
    // Muted again, for the next start to find.
    ASSERT_TRUE(game.TapWidget("chk_mute"));

    ASSERT_TRUE(OpenBy(game, "btn_options_graphics", "dlg_graphics"));
    ExpectReadable(app, "graphics");
    ExpectLaidOut(app, game.SizeName() + " graphics");
    game.Shot("graphics");
    EXPECT_EQ(game.Profiles()->graphicsQuality, 1);
    EXPECT_EQ(game.TextOf("txt_graphics_quality"), QualityLabel(game, 1));
    // The hands are offered only on a turned screen.
    EXPECT_FALSE(game.Shows("rad_orient_auto"));
    EXPECT_FALSE(game.Shows("txt_screen_orient"));
    const int ends[][2] = {{500, -100}, {500, 1100}, {0, 500}};
    const int expected[] = {0, 2, 1};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(SlideTuner(game, "tuner_graphics_quality", ends[i][0], ends[i][1]));
        EXPECT_EQ(game.Profiles()->graphicsQuality, expected[i]);
        EXPECT_EQ(TunerValue(game, "tuner_graphics_quality"), expected[i]);
        EXPECT_EQ(game.TextOf("txt_graphics_quality"), QualityLabel(game, expected[i]));
    }
    ASSERT_TRUE(OpenBy(game, "btn_graphics_ok", "dlg_options"));
    ASSERT_TRUE(CloseBy(game, "btn_options_close"));
}

// Backspaces over the name in the entry, then types the new one.
void Retype(ScriptedGame& game, const std::string& name)
{
    for (int i = 0; i < 24 && !game.TextOf("txtName").empty(); ++i)
        game.Key(VK_BACK);
    game.Type(name);
}

// A second player added, renamed (first to a name in use, refused) and removed again.
void PlayPlayers(ScriptedGame& game)
{
    GameApp* app = game.App();
    ProfileStore* profiles = game.Profiles();
    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    EXPECT_EQ(game.TextOf("btn_user_0"), "TESS");
    EXPECT_TRUE(game.Shows("btn_user_1"));
    EXPECT_FALSE(game.Shows("btn_user_2"));
    EXPECT_FALSE(game.Shows("btn_players_delete"));
    std::string addCaption = game.TextOf("btn_user_1");
    ASSERT_TRUE(OpenBy(game, "btn_user_1", "dlg_EditPlayer"));
    game.Type("OMAR");
    // A keyboard's digits go into the name as a keyboard sends them, key and character: '8' and
    // '5' neither walk the on-screen keys nor press the one in focus.
    for (char digit : {'8', '5'}) {
        game.KeyDown(static_cast<unsigned>(digit));
        game.Type(std::string(1, digit));
        game.KeyUp(static_cast<unsigned>(digit));
    }
    EXPECT_EQ(game.TextOf("txtName"), "OMAR85");
    ASSERT_TRUE(game.Shows("dlg_EditPlayer"));
    game.Key(VK_BACK);
    game.Key(VK_BACK);
    ASSERT_TRUE(CloseBy(game, "btnPlayerOK"));
    EXPECT_EQ(profiles->GetPlayerCount(), 2);
    EXPECT_EQ(profiles->GetCurrentIndex(), 1);
    EXPECT_EQ(PlayerName(game, 1), "OMAR");
    EXPECT_NE(game.TextOf(WelcomeName(game)).find("OMAR"), std::string::npos) << game.TextOf(WelcomeName(game));

    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    EXPECT_EQ(game.TextOf("btn_user_1"), "OMAR");
    EXPECT_EQ(game.TextOf("btn_user_2"), addCaption);
    EXPECT_TRUE(game.Shows("btn_players_delete"));
    ExpectReadable(app, "players");
    ExpectLaidOut(app, game.SizeName() + " players");
    game.Shot("players");
    ASSERT_TRUE(OpenBy(game, "btn_players_rename", "dlg_EditPlayer"));
    EXPECT_EQ(game.TextOf("txtName"), "OMAR");
    Retype(game, "TESS");
    ASSERT_TRUE(OpenBy(game, "btnPlayerOK", "dlg_same_name"));
    ExpectReadable(app, "same name");
    ExpectLaidOut(app, game.SizeName() + " same name");
    ASSERT_TRUE(CloseBy(game, "btn_same_name_ok"));
    EXPECT_TRUE(DialogAtRest(game, "dlg_EditPlayer"));
    EXPECT_EQ(PlayerName(game, 1), "OMAR");
    Retype(game, "NOOR");
    ASSERT_TRUE(CloseBy(game, "btnPlayerOK"));
    EXPECT_EQ(PlayerName(game, 1), "NOOR");
    EXPECT_NE(game.TextOf(WelcomeName(game)).find("NOOR"), std::string::npos) << game.TextOf(WelcomeName(game));

    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    ASSERT_TRUE(OpenBy(game, "btn_players_delete", "dlg_remove_user"));
    EXPECT_EQ(game.TextOf("txt_remove_name"), "NOOR");
    ExpectReadable(app, "remove");
    ExpectLaidOut(app, game.SizeName() + " remove");
    game.Shot("remove");
    ASSERT_TRUE(CloseBy(game, "btn_remove_yes"));
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_players"); }, 60));
    EXPECT_EQ(profiles->GetPlayerCount(), 1);
    EXPECT_EQ(game.TextOf("btn_user_0"), "TESS");
    EXPECT_EQ(game.TextOf("btn_user_1"), addCaption);
    EXPECT_FALSE(game.Shows("btn_players_delete"));
    ASSERT_TRUE(CloseBy(game, "btn_players_ok"));
    EXPECT_NE(game.TextOf(WelcomeName(game)).find("TESS"), std::string::npos) << game.TextOf(WelcomeName(game));
}

TEST_P(OptionsFlow, VolumesQualityPlayersKeptOverARestart)
{
    const FlowSize size = GetParam();
    FlowFolder folder;
    std::vector<PresentedFrame> boards;  // at qualities 2, 1, 0
    {
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("TESS"));
        PlayOptions(game);
        PlayPlayers(game);
        EXPECT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 120));

        // A board to look at: stage 1 rolled in, left through the pause menu, which saves it.
        ASSERT_TRUE(PlayFirstStage(game));
        game.Wait(240);
        ASSERT_TRUE(OpenBy(game, "btn_menu", "dlg_pause"));
        ASSERT_TRUE(game.TapWidget("btn_pause_menu"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 600));

        EXPECT_EQ(game.Quit(), 0);
        EXPECT_TRUE(game.MessageBoxes().empty());
    }
    // The same saved board, resumed at each quality in a new start, and closed while it waits
    // for "Ready?": the saved game stays that board.
    std::string saved = folder.Read("saveresume.dat");
    EXPECT_FALSE(saved.empty());
    for (int quality : {2, 1, 0}) {
        SCOPED_TRACE("quality " + std::to_string(quality));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu());
        GameApp* app = game.App();
        ProfileStore* profiles = game.Profiles();
        EXPECT_EQ(profiles->GetPlayerCount(), 1);
        EXPECT_EQ(PlayerName(game, 0), "TESS");
        EXPECT_EQ(app->GetSoundVolume(), 100);
        EXPECT_EQ(app->GetMusicVolume(), 15);
        EXPECT_EQ(profiles->graphicsQuality, quality == 2 ? 1 : quality + 1);
        // Still muted: nothing heard though the music is up.
        EXPECT_TRUE(profiles->mute);
        EXPECT_EQ(Heard(game), 0u);
        SetQuality(game, 500, quality == 2 ? 1100 : quality == 1 ? 500 : -100);
        EXPECT_EQ(profiles->graphicsQuality, quality);
        boards.push_back(ResumedBoard(game));
        game.Shot("board_quality_" + std::to_string(quality));
        EXPECT_EQ(game.Quit(), 0);
        EXPECT_TRUE(game.MessageBoxes().empty());
        EXPECT_EQ(folder.Read("saveresume.dat"), saved);
    }
    ASSERT_EQ(boards.size(), 3u);
    // Shadows darken the stone beside every ball at quality 2 only: where the two lower
    // qualities agree, the top one draws darker, hardly ever lighter.
    auto [darker, lighter] = TopQualityChange(boards[0], boards[1], boards[2]);
    EXPECT_GT(darker, 200) << darker << " " << lighter;
    EXPECT_GT(darker, 20 * lighter) << darker << " " << lighter;
}

INSTANTIATE_TEST_SUITE_P(Sizes, OptionsFlow, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

// Held upright, the picture lies turned; the graphics dialog offers the other hand, OK turns it
// at once, taps still land where the player sees the buttons, and the next start keeps the hand.
TEST(OptionsFlowPortrait, TurnsThePictureToTheOtherHand)
{
    FlowFolder folder;
    int chosen = 0;
    {
        ScriptedGame game(480, 640, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("TESS"));
        GameApp* app = game.App();
        int first = app->GetRotation();
        ASSERT_TRUE(first == 1 || first == 2) << first;
        chosen = first == 1 ? 2 : 1;
        PresentedFrame before;
        ASSERT_TRUE(GetPresentedFrame(&before));
        EXPECT_EQ(before.width, 480);
        EXPECT_EQ(before.height, 640);

        ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
        ASSERT_TRUE(OpenBy(game, "btn_options_graphics", "dlg_graphics"));
        EXPECT_TRUE(game.Shows("txt_screen_orient"));
        EXPECT_TRUE(game.IsTicked("rad_orient_auto"));
        ExpectReadable(app, "graphics turned");
        ExpectLaidOut(app, game.SizeName() + " graphics turned");
        game.Shot("graphics");
        const char* radio = chosen == 2 ? "rad_orient_lefthand" : "rad_orient_righthand";
        ASSERT_TRUE(game.TapWidget(radio));
        EXPECT_TRUE(game.IsTicked(radio));
        EXPECT_FALSE(game.IsTicked("rad_orient_auto"));
        EXPECT_EQ(game.Profiles()->rotation, chosen);
        EXPECT_EQ(app->GetRotation(), first) << "nothing turns before OK";
        ASSERT_TRUE(OpenBy(game, "btn_graphics_ok", "dlg_options"));
        EXPECT_EQ(app->GetRotation(), chosen);
        ASSERT_TRUE(CloseBy(game, "btn_options_close"));
        game.Wait(30);
        game.Shot("menu_turned");

        // The menu turned half round: its top-left corner now lies bottom-right. The sky drifts,
        // so the corner's picture is compared where nothing moves: the bottom strip of the menu.
        PresentedFrame after;
        ASSERT_TRUE(GetPresentedFrame(&after));
        int same = 0, total = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 480; ++x) {
                ++total;
                same += after.pixels[(639 - y) * 480 + (479 - x)] == before.pixels[y * 480 + x];
            }
        int unturned = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 480; ++x)
                unturned += after.pixels[y * 480 + x] == before.pixels[y * 480 + x];
        EXPECT_GT(same, total * 3 / 4) << same << " of " << total;
        EXPECT_LT(unturned, same);

        // A tap on the button where the turned picture shows it opens it.
        ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
        ASSERT_TRUE(CloseBy(game, "btn_options_close"));
        EXPECT_EQ(game.Quit(), 0);
        EXPECT_TRUE(game.MessageBoxes().empty());
    }
    ScriptedGame game(480, 640, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu());
    EXPECT_EQ(game.App()->GetRotation(), chosen);
    ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
    ASSERT_TRUE(OpenBy(game, "btn_options_graphics", "dlg_graphics"));
    EXPECT_TRUE(game.IsTicked(chosen == 2 ? "rad_orient_lefthand" : "rad_orient_righthand"));
    EXPECT_EQ(game.Quit(), 0);
}

}  // namespace
