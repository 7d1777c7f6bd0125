#include "game/screens/name_entry_dialog.h"

#include <gtest/gtest.h>

#include "engine/graphics/font.h"
#include "game/app/game_keys.h"
#include "players_test_app.h"

namespace {

struct NameEntry : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(app.looks);
        app.AddNamed({"Toad"});
        int index = app.AddPlayer();
        app.GetProfiles()->SetCurrentIndex(index);
        dialog = app.Open<NameEntryDialog>("acn_show_edit", "dlg_EditPlayer");
        ASSERT_NE(dialog, nullptr);
    }
    std::string Name() { return Text(dialog->GetName()); }
    ButtonWidget* Key(const char* name) { return app.Find<ButtonWidget>(name); }
    void Type(const std::string& text)
    {
        for (char c : text)
            dialog->OnChar(static_cast<unsigned char>(c));
    }
    // A press of the key from the device's keypad, after focusing the named key.
    void Walk(int key) { dialog->OnKey(key, true), dialog->OnKey(key, false); }
    PlayersApp app;
    NameEntryDialog* dialog = nullptr;
};

TEST_F(NameEntry, AFreshPlayerStartsEmptyAndOkFollowsTheName)
{
    EXPECT_EQ(Name(), "");
    EXPECT_FALSE(Key("btnPlayerOK")->IsVisible());
    EXPECT_FALSE(Key("btnShift")->IsVisible()) << "shift is there but never offered";
    EXPECT_TRUE(dialog->IsShifted());
    EXPECT_EQ(Text(Key("btnQ")->GetCaption()), "Q");

    dialog->OnChar(8);
    EXPECT_EQ(Name(), "") << "backspace on nothing";
    Type("ab");
    EXPECT_EQ(Name(), "AB") << "letters arrive in capitals";
    EXPECT_TRUE(Key("btnPlayerOK")->IsVisible());
    dialog->OnChar(8);
    dialog->OnChar(800);
    EXPECT_EQ(Name(), "");
    EXPECT_FALSE(Key("btnPlayerOK")->IsVisible());

    // Blanks count as they come, even first or alone; punctuation is dropped.
    Type(" o'k ");
    EXPECT_EQ(Name(), " OK ");
    EXPECT_TRUE(Key("btnPlayerOK")->IsVisible());
    // Digits come only from a keyboard that has them: the engine's filter lets none through.
    dialog->OnEvent(dialog, kMsgTypedCharacter, nullptr, '7');
    EXPECT_EQ(Name(), " OK 7");

    // On-screen keys: letters in capitals whatever the shift, space and backspace.
    dialog->SetShift(false);
    EXPECT_EQ(Text(Key("btnQ")->GetCaption()), "q");
    PlayersApp::Tap(dialog, "btnQ");
    PlayersApp::Tap(dialog, "btnSpace");
    PlayersApp::Tap(dialog, "btnBksp");
    EXPECT_EQ(Name(), " OK 7Q");
}

TEST_F(NameEntry, NamesStopAtTwentyThreeCharactersOrAHundredPixels)
{
    Font* font = app.GetSmallFont();
    ASSERT_NE(font, nullptr);
    // Narrow letters reach the character limit first.
    Type(std::string(40, 'i'));
    EXPECT_EQ(Name(), std::string(23, 'I'));
    ASSERT_LT(font->MeasureText(Name().c_str()), 101) << "the test font must fit 23 of its narrowest letter";
    EXPECT_FALSE(dialog->CanAppend(std::string(24, 'I').c_str()));

    // Wide ones reach the width first: the longest run that measures under 101 pixels.
    while (!Name().empty())
        dialog->OnChar(8);
    Type(std::string(40, 'W'));
    std::string run = Name();
    EXPECT_LT(run.size(), 23u);
    EXPECT_LT(font->MeasureText(run.c_str()), 101);
    EXPECT_GE(font->MeasureText((run + "W").c_str()), 101);
    EXPECT_EQ(run, std::string(run.size(), 'W'));
}

TEST_F(NameEntry, UpAndDownFollowTheKeyboardRows)
{
    auto focusOn = [&](const char* name) { dialog->SetFocusChild(Key(name)); };
    auto focused = [&]() { return Text(String(static_cast<ScriptWidget*>(dialog->GetFocusChild())->GetName())); };

    focusOn("btnQ");
    Walk(3);
    EXPECT_EQ(focused(), "btnSpace") << "OK is hidden while the name is empty";
    Walk(3);
    EXPECT_EQ(focused(), "btnZ");
    Walk(3);
    EXPECT_EQ(focused(), "btnS");
    Walk(3);
    EXPECT_EQ(focused(), "btnW");

    Type("A");
    focusOn("btnQ");
    Walk(3);
    EXPECT_EQ(focused(), "btnPlayerOK");
    Walk(3);
    EXPECT_EQ(focused(), "btnSpace");
    Walk(4);
    EXPECT_EQ(focused(), "btnPlayerOK");

    focusOn("btnB");
    Walk(4);
    EXPECT_EQ(focused(), "btnBksp");
    Walk(3);
    EXPECT_EQ(focused(), "btnM");
    Walk(3);
    EXPECT_EQ(focused(), "btnK");
    Walk(3);
    EXPECT_EQ(focused(), "btnI");
    Walk(4);
    EXPECT_EQ(focused(), "btnK");
    EXPECT_EQ(dialog->GetFocusedLetter(), 'K');

    // A release moves nothing.
    EXPECT_TRUE(dialog->OnKey(kKeyUp, false));
    EXPECT_EQ(focused(), "btnK");
    focusOn("btnPlayerOK");
    EXPECT_EQ(dialog->GetFocusedLetter(), -1);
}

TEST_F(NameEntry, ASpaceTypedOnTheKeyboardAddsOneBlank)
{
    dialog->SetFocusChild(Key("btnQ"));
    // The space bar is also the action key; the focused key must not be pressed by it.
    OnVirtualKey(' ', true);
    dialog->OnChar(' ');
    OnVirtualKey(' ', false);
    EXPECT_EQ(Name(), " ");
    // The action key still presses the focused key; a keypad digit is typed here, not pressed.
    OnVirtualKey('5', true);
    OnVirtualKey('5', false);
    EXPECT_EQ(Name(), " ");
    dialog->OnKey(kKeyAction, true);
    dialog->OnKey(kKeyAction, false);
    EXPECT_EQ(Name(), " Q");
}

TEST_F(NameEntry, CaretBlinksSixteenUpdatesOnlyWhenFullyFadedIn)
{
    Type("AB");
    int shown = 0;
    for (int i = 1; i <= 64; ++i) {
        dialog->Update();
        bool expected = (i / 16) % 2 == 1;
        EXPECT_EQ(dialog->IsCaretShown(), expected) << i;
        shown += dialog->IsCaretShown();
    }
    EXPECT_EQ(shown, 32);

    // Drawn: a black bar two pixels right of the name with an orange core.
    while (!dialog->IsCaretShown())
        dialog->Update();
    Rect field;
    app.Find("txtName")->GetLayoutRect(field);
    app.GetScreenSurface()->FillRect(0, 0, 320, 240, 255, 255, 255);
    dialog->Draw();
    int left = field.x + field.w + 2, middle = field.y + field.h / 2;
    EXPECT_EQ(app.Pixel(left, middle), 0x0000);
    EXPECT_EQ(app.Pixel(left + 2, middle), (31 << 11) | (24 << 5));

    dialog->SetAlpha(kAlphaOpaque - 256);
    dialog->UpdateEffectiveAlpha();
    EXPECT_FALSE(dialog->IsCaretShown()) << "not while the dialog is still fading in";
}

TEST_F(NameEntry, ANameIsInUseOnlyWhenAnotherPlayerHasItExactly)
{
    Type("toad");
    EXPECT_EQ(Name(), "TOAD");
    EXPECT_FALSE(dialog->IsNameInUse()) << "case counts";
    while (!Name().empty())
        dialog->OnChar(8);
    dialog->OnEvent(dialog, kMsgTypedCharacter, nullptr, 'T');
    // Only capitals can be typed; the stored name is given directly.
    app.GetProfiles()->SetPlayerName(0, String("T"));
    EXPECT_TRUE(dialog->IsNameInUse());
    app.GetProfiles()->SetCurrentIndex(0);
    EXPECT_FALSE(dialog->IsNameInUse()) << "the player's own name";
}

TEST(NameEntryPath, CharactersReachOnlyTheScreensNameEntry)
{
    PlayersApp app;
    ASSERT_TRUE(app.looks);
    EXPECT_FALSE(app.OnChar('a')) << "no screen";
    app.Menu();
    EXPECT_FALSE(app.OnChar('a')) << "no dialog";
    app.AddPlayer();
    // A dialog of that name inside another dialog is a plain one.
    ASSERT_NE(app.Open<ScriptWidget>("acn_show_wrapped", "dlg_EditPlayer"), nullptr);
    EXPECT_EQ(app.Find<NameEntryDialog>("dlg_EditPlayer"), nullptr);
    EXPECT_FALSE(app.OnChar('a'));
    Widget* wrap = app.Find("dlg_wrap");
    DetachAndDeleteWidget(wrap);
    NameEntryDialog* entry = app.Open<NameEntryDialog>("acn_show_edit", "dlg_EditPlayer");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(app.OnChar('a'));
    EXPECT_TRUE(app.OnChar('\''));
    EXPECT_EQ(Text(entry->GetName()), "A");
}

}  // namespace
