// The keys a player tries in the dialogs, through the handheld's input only: Return on a keyboard
// confirms a typed name while the action key still types the focused letter, the left soft key
// (F1) confirms, also on the instructions, the right one (F2) backs out, and removing a player
// starts on No.
#include <gtest/gtest.h>

#include "engine/ui/script_widget.h"
#include "game/app/profile_store.h"
#include "menu_steps.h"
#include "platform/keys.h"
#include "scripted_game.h"

namespace {

std::string FocusedIn(ScriptedGame& game, const char* dialog)
{
    ScriptWidget* open = game.OpenDialog();
    if (!open || !SameText(open->GetName(), dialog))
        return "";
    ScriptWidget* focus = AsScriptWidget(open->GetFocusChild());
    return focus ? focus->GetName() : "";
}

bool Gone(ScriptedGame& game, const char* dialog)
{
    return game.WaitUntil([&] { return !game.Shows(dialog); }, 200);
}

}  // namespace

TEST(DialogKeys, ReturnSoftKeysAndTheRemoveQuestion)
{
    ScriptedGame game(800, 480);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_EditPlayer"); }, 2000));
    // The keypad's action key types the focused letter; the press after the window took the focus
    // may be swallowed, so it is pressed until one letter shows.
    for (int i = 0; i < 2 && game.TextOf("txtName").empty(); ++i)
        game.Key(VK_RETURN);
    std::string letter = game.TextOf("txtName");
    ASSERT_EQ(letter.size(), 1u);
    game.Type("EE");
    // Return on a keyboard: its key and its character. The name goes as typed.
    game.KeyDown(VK_RETURN);
    game.Type("\r");
    game.KeyUp(VK_RETURN);
    ASSERT_TRUE(Gone(game, "dlg_EditPlayer")) << game.TextOf("txtName");
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    String name;
    game.Profiles()->GetPlayerName(0, name);
    EXPECT_EQ(std::string(name.CStr()), letter + "EE");

    // A second player, confirmed by the left soft key.
    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    ASSERT_TRUE(OpenBy(game, "btn_user_1", "dlg_EditPlayer"));
    game.Type("OMAR");
    game.Key(VK_F1);
    ASSERT_TRUE(Gone(game, "dlg_EditPlayer"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    ASSERT_EQ(game.Profiles()->GetPlayerCount(), 2);

    // The question starts on No: the action key keeps the player, and so does the right soft key.
    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    for (unsigned key : {VK_RETURN, VK_F2}) {
        ASSERT_TRUE(OpenBy(game, "btn_players_delete", "dlg_remove_user"));
        EXPECT_EQ(FocusedIn(game, "dlg_remove_user"), "btn_remove_no");
        game.Key(key);
        ASSERT_TRUE(Gone(game, "dlg_remove_user")) << key;
        EXPECT_EQ(game.Profiles()->GetPlayerCount(), 2) << key;
        ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_players"); }, 60));
    }
    ASSERT_TRUE(OpenBy(game, "btn_players_delete", "dlg_remove_user"));
    game.Key(VK_F1);
    ASSERT_TRUE(Gone(game, "dlg_remove_user"));
    EXPECT_EQ(game.Profiles()->GetPlayerCount(), 1);
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_players"); }, 60));
    game.Key(VK_F1);
    ASSERT_TRUE(Gone(game, "dlg_players"));

    // On the instructions F1 presses OK: from the menu's help back to the menu, before the first
    // stage on to its board.
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    ASSERT_TRUE(OpenBy(game, "btn_sm_help", "dlg_help"));
    ASSERT_TRUE(game.TapWidget("btn_help_instructions"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_help_ok"); }, 300));
    game.Key(VK_F1);
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
    ASSERT_TRUE(game.TapWidget("btn_adv_play"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_help_ok"); }, 600));
    game.Key(VK_F1);
    ASSERT_TRUE(game.WaitUntil([&] { return game.Board() && game.Shows("btn_menu"); }, 600));

    // On the board F2 opens the pause and F2 closes it again.
    game.Wait(90);
    game.Key(VK_F2);
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_pause"); }, 120));
    game.Key(VK_F2);
    EXPECT_TRUE(Gone(game, "dlg_pause"));
    EXPECT_TRUE(game.Board());
    EXPECT_EQ(game.Quit(), 0);
}
