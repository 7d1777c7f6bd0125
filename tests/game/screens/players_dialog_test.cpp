#include "game/screens/players_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/screens/name_entry_dialog.h"
#include "players_test_app.h"

namespace {

struct Players : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(app.looks); }
    PlayersDialog* Open() { return app.Open<PlayersDialog>("acn_show_players", "dlg_players"); }
    // Which rows show, as a string of '1' and '0'.
    static std::string Shown(PlayersDialog* dialog)
    {
        std::string out;
        for (int i = 0; i < kPlayerRows; ++i)
            out += dialog->GetRow(i)->IsVisible() ? '1' : '0';
        return out;
    }
    static std::string Caption(PlayersDialog* dialog, int row) { return Text(dialog->GetRow(row)->GetCaption()); }
    bool DeleteShown() { return app.Find("btn_players_delete")->IsVisible(); }
    PlayersApp app;
};

TEST_F(Players, RowsFollowThePlayersWithTheAddRowAfterThem)
{
    PlayersDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Shown(dialog), "10000000");
    EXPECT_EQ(Caption(dialog, 0), "New player");
    EXPECT_FALSE(DeleteShown());
    EXPECT_EQ(dialog->GetFocusedRow(), 0);

    app.AddNamed({"Ana"});
    dialog->Refresh();
    EXPECT_EQ(Shown(dialog), "11000000");
    EXPECT_EQ(Caption(dialog, 0), "Ana");
    EXPECT_EQ(Caption(dialog, 1), "New player");
    EXPECT_FALSE(DeleteShown()) << "one player is never deleted";

    app.AddPlayer();
    dialog->Refresh();
    EXPECT_EQ(Shown(dialog), "11100000");
    EXPECT_EQ(Caption(dialog, 1), " ") << "a player without a name";
    EXPECT_TRUE(DeleteShown());

    app.AddNamed({"C", "D", "E", "F", "G", "H"});
    dialog->Refresh();
    EXPECT_EQ(Shown(dialog), "11111111");
    EXPECT_EQ(Caption(dialog, 7), "H") << "eight players leave no add row";
}

TEST_F(Players, ATapMakesThatPlayerCurrentAndTheTicksFollow)
{
    app.AddNamed({"Ana", "Bo", "Cy"});
    app.GetProfiles()->SetCurrentIndex(0);
    PlayersDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    PlayersApp::Tap(dialog, "btn_user_2");
    EXPECT_EQ(app.GetProfiles()->GetCurrentIndex(), 2);
    EXPECT_EQ(app.GetProfiles()->GetPlayerCount(), 3);
    EXPECT_EQ(app.Find("dlg_EditPlayer"), nullptr);

    // The 6 x 6 tick half its width in from each end of the row, centred on it.
    dialog->SetFocusChild(app.Find("btn_players_ok"));
    app.GetScreenSurface()->FillRect(0, 0, 320, 240, 0, 0, 0);
    dialog->Draw();
    const uint16_t red = 31 << 11;
    for (int row = 0; row < 3; ++row) {
        Rect rect;
        dialog->GetRow(row)->GetLayoutRect(rect);
        int y = rect.y + rect.h / 2 - 3;
        bool current = row == 2;
        EXPECT_EQ(app.Pixel(rect.x + 3, y) == red, current) << row;
        EXPECT_EQ(app.Pixel(rect.x + 3 + 5, y + 5) == red, current) << row;
        EXPECT_EQ(app.Pixel(rect.x + rect.w - 9, y) == red, current) << row;
        EXPECT_NE(app.Pixel(rect.x + 2, y), red) << row;
    }
}

TEST_F(Players, AFocusedRowIsBrightenedBySixtyFourSaturating)
{
    app.AddNamed({"Ana"});
    PlayersDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Surface* screen = app.GetScreenSurface();
    // The same focus drawn by the dialog's base, then with the row brightened; no tick.
    app.GetProfiles()->SetCurrentIndex(-1);
    dialog->SetFocusChild(dialog->GetRow(1));
    ASSERT_EQ(dialog->GetFocusedRow(), 1);
    auto draw = [&](bool lit) {
        // A ramp under the dialog, so dark and bright pixels are both brightened.
        for (int y = 0; y < 240; ++y)
            screen->FillRect(0, y, 320, 1, y, y, y);
        if (lit)
            dialog->Draw();
        else
            dialog->GameDialog::Draw();
        return std::vector<uint16_t>(screen->GetPixels(), screen->GetPixels() + 320 * 240);
    };
    std::vector<uint16_t> plain = draw(false);
    std::vector<uint16_t> lit = draw(true);
    Rect rect;
    dialog->GetRow(1)->GetLayoutRect(rect);
    int saturated = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            uint16_t before = plain[y * 320 + x], after = lit[y * 320 + x];
            bool inside = x >= rect.x && x < rect.x + rect.w && y >= rect.y && y < rect.y + rect.h;
            if (!inside) {
                ASSERT_EQ(after, before) << x << "," << y;
                continue;
            }
            int r = std::min(31, (before >> 11) + 8), g = std::min(63, ((before >> 5) & 63) + 16),
                b = std::min(31, (before & 31) + 8);
            ASSERT_EQ(after, (r << 11) | (g << 5) | b) << x << "," << y;
            saturated += r == 31;
        }
    }
    EXPECT_GT(saturated, 0) << "the row must hold bright pixels for the test to mean anything";
}

TEST_F(Players, TheAddRowAddsAPlayerAndOpensTheNameEntry)
{
    app.AddNamed({"Ana"});
    PlayersDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    PlayersApp::Tap(dialog, "btn_user_1");
    EXPECT_EQ(app.GetProfiles()->GetPlayerCount(), 2);
    EXPECT_EQ(app.GetProfiles()->GetCurrentIndex(), 1);
    auto* entry = app.Find<NameEntryDialog>("dlg_EditPlayer");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(Text(entry->GetName()), "");
}

TEST_F(Players, RenameOpensTheNameEntryForTheCurrentPlayer)
{
    app.AddNamed({"A", "B", "C", "D", "E", "F", "G", "H"});
    app.GetProfiles()->SetCurrentIndex(3);
    PlayersDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    PlayersApp::Tap(dialog, "btn_players_rename");
    auto* entry = app.Find<NameEntryDialog>("dlg_EditPlayer");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(Text(entry->GetName()), "D");
    EXPECT_EQ(app.GetProfiles()->GetPlayerCount(), 8);

    // Without a player there is nothing to rename.
    Widget* open = entry;
    DetachAndDeleteWidget(open);
    app.GetProfiles()->SetCurrentIndex(-1);
    PlayersApp::Tap(dialog, "btn_players_rename");
    EXPECT_EQ(app.Find("dlg_EditPlayer"), nullptr);
}

TEST_F(Players, TheRemoveQuestionNamesTheCurrentPlayer)
{
    app.AddNamed({"Ana", "Bo"});
    auto* question = app.Open<RemovePlayerDialog>("acn_show_remove", "dlg_remove_user");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(Text(app.Find<TextWidget>("txt_remove_name")->GetText()), "Ana");
}

}  // namespace
