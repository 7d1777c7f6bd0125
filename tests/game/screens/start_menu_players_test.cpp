// The start menu's part in naming, choosing and removing players.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "engine/core/pack_memory_file.h"
#include "engine/core/record_store.h"
#include "game/screens/name_entry_dialog.h"
#include "game/screens/players_dialog.h"
#include "game/screens/start_menu_screen.h"
#include "players_test_app.h"

namespace {

// The game's own start menu over the players' test layout, with plain pictures of its art.
class MenuPlayersApp : public PlayersApp {
public:
    MenuPlayersApp()
    {
        mkdir(Host("ui").c_str(), 0700);
        mkdir(Host("ui/startmenu").c_str(), 0700);
        auto grey = fixtures::Fill(8, 8, 3, [](int, int, unsigned char* p) { p[0] = p[1] = p[2] = 128; });
        for (const char* name : {"startmenu_sky", "mmsun", "mmsun_a", "mmsunglow_a", "mmeyeleft", "mmeyeleft_a",
                                 "mmeyeright", "mmeyeright_a", "mmeyemask_a"})
            looks = looks && fixtures::WritePng(Host(std::string("ui/startmenu/") + name + ".png"), 8, 8,
                                                PNG_COLOR_TYPE_RGB, 8, grey);
    }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotStartMenu ? GameApp::NewScreen(slot) : PlayersApp::NewScreen(slot);
    }
    StartMenuScreen* ShowMenu()
    {
        if (!ShowStartMenu())
            return nullptr;
        GetStartMenu()->ClearScreenFadingIn();
        return dynamic_cast<StartMenuScreen*>(GetStartMenu());
    }
    std::string Welcome() { return Text(Find<TextWidget>("txt_welcome")->GetText()); }
    // The name entry's OK as its button sends it.
    void PressOk() { Find<NameEntryDialog>("dlg_EditPlayer")->OnEvent(nullptr, kMsgCommand, "btnPlayerOK", 0); }
};

TEST(MenuPlayers, AFirstRunAsksForANameAndOkStoresIt)
{
    MenuPlayersApp app;
    ASSERT_TRUE(app.looks);
    StartMenuScreen* menu = app.ShowMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(app.GetProfiles()->GetPlayerCount(), 1);
    EXPECT_EQ(app.GetProfiles()->GetCurrentIndex(), 0);
    auto* entry = app.Find<NameEntryDialog>("dlg_EditPlayer");
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(app.Find("btnPlayerOK")->IsVisible());
    EXPECT_EQ(app.Welcome(), "Hello  ");
    for (char c : std::string("Bo b"))
        EXPECT_TRUE(app.OnChar(c));
    app.PressOk();
    String stored;
    app.GetProfiles()->GetPlayerName(0, stored);
    EXPECT_EQ(Text(stored), "BO B");
    EXPECT_EQ(app.Welcome(), "Hello BO B");
    EXPECT_FALSE(app.StillOpen("dlg_EditPlayer")) << "the menu's binding closes it";
}

TEST(MenuPlayers, ANameAnotherPlayerHasIsRefusedAndTheEntryStays)
{
    MenuPlayersApp app;
    ASSERT_TRUE(app.looks);
    app.AddNamed({"TOAD", "Ana"});
    app.GetProfiles()->SetCurrentIndex(1);
    ASSERT_NE(app.ShowMenu(), nullptr);
    auto* entry = app.Open<NameEntryDialog>("acn_show_edit", "dlg_EditPlayer");
    ASSERT_NE(entry, nullptr);
    while (!Text(entry->GetName()).empty())
        app.OnChar(8);
    for (char c : std::string("toad"))
        app.OnChar(c);
    app.PressOk();
    EXPECT_NE(app.Find("dlg_same_name"), nullptr);
    String stored;
    app.GetProfiles()->GetPlayerName(1, stored);
    EXPECT_EQ(Text(stored), "Ana");
    EXPECT_TRUE(app.StillOpen("dlg_EditPlayer"));

    // Beside "Toad" the capitals are a name of their own.
    app.GetProfiles()->SetPlayerName(0, String("Toad"));
    app.PressOk();
    app.GetProfiles()->GetPlayerName(1, stored);
    EXPECT_EQ(Text(stored), "TOAD");
    EXPECT_FALSE(app.StillOpen("dlg_EditPlayer"));

    // The player's own name, kept as it was, is no other player's.
    ASSERT_NE(app.Open<NameEntryDialog>("acn_show_edit", "dlg_EditPlayer"), nullptr);
    app.PressOk();
    EXPECT_EQ(app.Welcome(), "Hello TOAD");
    EXPECT_FALSE(app.StillOpen("dlg_EditPlayer"));
}

TEST(MenuPlayers, RemovingThePlayerRefreshesTheOpenListAndLeavesNoSavedGame)
{
    MenuPlayersApp app;
    ASSERT_TRUE(app.looks);
    app.AddNamed({"Ana", "Bo", "Cy"});
    app.GetProfiles()->SetCurrentIndex(1);
    int id = app.GetProfiles()->GetPlayer(1)->id;
    PackMemoryFile record;
    ASSERT_TRUE(record.Allocate(4));
    record.WriteInt32(kScreenIdEnd);
    ASSERT_TRUE(app.GetResumeStore()->WriteRecord(GameApp::ResumeKey(id, 0), &record, "raw"));
    ASSERT_TRUE(app.HasResumeSave(0));

    StartMenuScreen* menu = app.ShowMenu();
    ASSERT_NE(menu, nullptr);
    menu->OnEvent(nullptr, kMsgCommand, "btn_change_player", 0);
    auto* list = app.Find<PlayersDialog>("dlg_players");
    ASSERT_NE(list, nullptr);
    list->OnEvent(nullptr, kMsgCommand, "btn_players_delete", 0);
    auto* question = app.Find<RemovePlayerDialog>("dlg_remove_user");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(Text(app.Find<TextWidget>("txt_remove_name")->GetText()), "Bo");
    question->OnEvent(nullptr, kMsgCommand, "btn_remove_yes", 0);
    EXPECT_EQ(app.GetProfiles()->GetPlayerCount(), 2);
    EXPECT_EQ(Text(list->GetRow(1)->GetCaption()), "Cy");
    EXPECT_EQ(Text(list->GetRow(2)->GetCaption()), "New player") << "the freed row adds again";
    EXPECT_FALSE(list->GetRow(3)->IsVisible());
    EXPECT_EQ(menu->GetFocusChild(), list);
    EXPECT_FALSE(app.StillOpen("dlg_remove_user"));

    // The next player takes the freed id, and no saved game with it.
    list->OnEvent(nullptr, kMsgCommand, "btn_user_2", 0);
    ASSERT_EQ(app.GetProfiles()->GetCurrentIndex(), 2);
    EXPECT_EQ(app.GetProfiles()->GetPlayer(2)->id, id);
    EXPECT_FALSE(app.HasResumeSave(0));

    // Two players, then one: the last is kept, and the question still closes.
    app.GetProfiles()->SetCurrentIndex(0);
    app.DeletePlayer(2);
    menu->OnEvent(nullptr, kMsgCommand, "btn_remove_yes", 0);
    EXPECT_EQ(app.GetProfiles()->GetPlayerCount(), 1);
    menu->OnEvent(nullptr, kMsgCommand, "btn_remove_yes", 0);
    EXPECT_EQ(app.GetProfiles()->GetPlayerCount(), 1);
}

TEST(MenuPlayers, ClosingTheListGreetsTheChosenPlayer)
{
    MenuPlayersApp app;
    ASSERT_TRUE(app.looks);
    app.AddNamed({"Ana", "Bo"});
    app.GetProfiles()->SetCurrentIndex(0);
    StartMenuScreen* menu = app.ShowMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(app.Welcome(), "Hello Ana");
    menu->OnEvent(nullptr, kMsgCommand, "btn_change_player", 0);
    auto* list = app.Find<PlayersDialog>("dlg_players");
    ASSERT_NE(list, nullptr);
    list->OnEvent(nullptr, kMsgCommand, "btn_user_1", 0);
    list->OnEvent(nullptr, kMsgCommand, "btn_players_ok", 0);
    EXPECT_EQ(app.Welcome(), "Hello Bo");
    EXPECT_FALSE(app.StillOpen("dlg_players"));
}

}  // namespace
