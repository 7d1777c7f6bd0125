#include <gtest/gtest.h>

#include "engine/ui/tuner_widget.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/screens/graphics_dialog.h"
#include "game/screens/language_dialog.h"
#include "platform/null/test_hooks.h"
#include "players_test_app.h"

namespace {

struct Graphics : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(app.looks);
        ASSERT_TRUE(app.LoadLanguages({"enUS", "deDE"}));
    }
    GraphicsDialog* Open() { return app.Open<GraphicsDialog>("acn_show_graphics", "dlg_graphics"); }
    std::string Label() { return Text(app.Find<TextWidget>("txt_graphics_quality")->GetText()); }
    std::string Checked(GraphicsDialog* dialog)
    {
        std::string out;
        for (int i = 0; i < 3; ++i)
            out += dialog->GetRadio(i)->IsChecked() ? '1' : '0';
        return out;
    }
    PlayersApp app;
};

TEST_F(Graphics, QualityOutsideOneAndTwoShowsAsZeroAndTheTunerClamps)
{
    app.GetProfiles()->graphicsQuality = 7;
    GraphicsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(app.Find<TunerWidget>("tuner_graphics_quality")->GetValue(), 0);
    EXPECT_EQ(Label(), "Quality: STR_QUALITY_1.enUS");
    EXPECT_EQ(app.GetProfiles()->graphicsQuality, 7) << "showing it stores nothing";

    dialog->OnEvent(nullptr, kMsgTunerChanged, "tuner_graphics_quality", 5);
    EXPECT_EQ(app.GetProfiles()->graphicsQuality, 2);
    EXPECT_EQ(Label(), "Quality: STR_QUALITY_3.enUS");
    dialog->OnEvent(nullptr, kMsgTunerChanged, "tuner_graphics_quality", -3);
    EXPECT_EQ(app.GetProfiles()->graphicsQuality, 0);
    dialog->OnEvent(nullptr, kMsgTunerChanged, "tuner_graphics_quality", 1);
    EXPECT_EQ(Label(), "Quality: STR_QUALITY_2.enUS");
}

TEST_F(Graphics, AnUnturnedScreenHidesTheOrientationAndTurnsNothing)
{
    app.GetProfiles()->rotation = 2;
    GraphicsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Checked(dialog), "010");
    for (const char* name : {"rad_orient_auto", "rad_orient_lefthand", "rad_orient_righthand", "txt_screen_orient"})
        EXPECT_FALSE(app.Find(name)->IsVisible()) << name;
    PlayersApp::Tap(dialog, "btn_graphics_ok");
    EXPECT_EQ(app.GetRotation(), 0);
}

TEST_F(Graphics, OnATurnedScreenOkTurnsToTheOtherHandOnly)
{
    app.SetRotation(1);
    app.GetProfiles()->rotation = -2;
    GraphicsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Checked(dialog), "100");
    EXPECT_TRUE(app.Find("rad_orient_auto")->IsVisible());
    EXPECT_TRUE(app.Find("txt_screen_orient")->IsVisible());

    // The radio reports itself cleared when tapped again; it stays checked all the same.
    dialog->OnEvent(nullptr, kMsgCheckToggled, "rad_orient_righthand", 1);
    dialog->OnEvent(nullptr, kMsgCheckToggled, "rad_orient_righthand", 0);
    EXPECT_EQ(Checked(dialog), "001");
    EXPECT_EQ(app.GetProfiles()->rotation, 1);
    PlayersApp::Tap(dialog, "btn_graphics_ok");
    EXPECT_EQ(app.GetRotation(), 1) << "the hand in use";

    dialog->OnEvent(nullptr, kMsgCheckToggled, "rad_orient_lefthand", 1);
    EXPECT_EQ(app.GetProfiles()->rotation, 2);
    dialog->OnEvent(nullptr, kMsgCheckToggled, "rad_orient_auto", 1);
    EXPECT_EQ(app.GetProfiles()->rotation, -2);
    PlayersApp::Tap(dialog, "btn_graphics_ok");
    EXPECT_EQ(app.GetRotation(), 1) << "automatic is only stored";
    dialog->OnEvent(nullptr, kMsgCheckToggled, "rad_orient_lefthand", 1);
    PlayersApp::Tap(dialog, "btn_graphics_ok");
    EXPECT_EQ(app.GetRotation(), 2);
    EXPECT_FALSE(app.StillOpen("dlg_graphics")) << "the binding closes it";
}

struct Language : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(app.looks); }
    LanguageDialog* Open() { return app.Open<LanguageDialog>("acn_show_lang", "dlg_lang"); }
    // The cursor after a press of the key.
    std::pair<int, int> Press(LanguageDialog* dialog, int key)
    {
        dialog->OnKey(key, true);
        dialog->OnKey(key, false);
        return {dialog->GetCursorColumn(), dialog->GetCursorRow()};
    }
    // Two languages, the first in use, the second chosen and confirmed.
    LanguageDialog* ConfirmSecondOfTwo()
    {
        LanguageDialog* dialog = app.LoadLanguages({"enUS", "deDE"}) ? Open() : nullptr;
        if (dialog) {
            dialog->OnEvent(nullptr, kMsgCheckToggled, "rad_lang_2", 1);
            PlayersApp::Tap(dialog, "btn_lang_ok");
        }
        return dialog;
    }
    static std::string Name(Widget* widget) { return static_cast<ScriptWidget*>(widget)->GetName(); }
    PlayersApp app;
};

using Cell = std::pair<int, int>;

TEST_F(Language, ThreeLanguagesHideTheOtherRadiosAndKeysPassThemBy)
{
    ASSERT_TRUE(app.LoadLanguages({"enUS", "deDE", "frFR"}, 1));
    LanguageDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetChoice(), 1);
    EXPECT_TRUE(app.Find<CheckBoxWidget>("rad_lang_2")->IsChecked());
    EXPECT_FALSE(app.Find<CheckBoxWidget>("rad_lang_1")->IsChecked());
    EXPECT_EQ(Text(app.Find<CheckBoxWidget>("rad_lang_3")->GetCaption()), "Lang frFR");
    for (const char* name : {"rad_lang_4", "rad_lang_5", "rad_lang_6", "rad_lang_7"})
        EXPECT_FALSE(app.Find(name)->IsVisible()) << name;

    EXPECT_EQ(Press(dialog, 4), Cell(0, 1));
    EXPECT_EQ(Press(dialog, 4), Cell(0, 4)) << "radios 5 and 7 are passed by";
    EXPECT_EQ(Name(dialog->GetFocusChild()), "btn_lang_ok");
    EXPECT_EQ(Press(dialog, 2), Cell(0, 0)) << "OK's other cells hold the focus already";
    EXPECT_EQ(Press(dialog, 2), Cell(1, 0));
    EXPECT_EQ(Press(dialog, 2), Cell(0, 1));
    EXPECT_EQ(Press(dialog, 2), Cell(1, 3)) << "radio 4 and 6, 5 and 7 are passed by";

    // A radio beyond the languages chooses nothing.
    dialog->OnEvent(nullptr, kMsgCheckToggled, "rad_lang_5", 1);
    EXPECT_EQ(dialog->GetChoice(), 1);
    EXPECT_FALSE(app.Find<CheckBoxWidget>("rad_lang_5")->IsChecked());
}

TEST_F(Language, SevenLanguagesWrapAroundTheGrid)
{
    ASSERT_TRUE(app.LoadLanguages({"a", "b", "c", "d", "e", "f", "g"}));
    LanguageDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Press(dialog, 1), Cell(1, 4)) << "left from the first cell";
    EXPECT_EQ(Name(dialog->GetFocusChild()), "btn_lang_ok");
    EXPECT_EQ(Press(dialog, 4), Cell(1, 0)) << "down passes OK's own second cell";
    EXPECT_EQ(Press(dialog, 2), Cell(0, 1));
    EXPECT_EQ(Name(dialog->GetFocusChild()), "rad_lang_3");
    EXPECT_EQ(Press(dialog, 3), Cell(0, 0));
    EXPECT_EQ(Press(dialog, 3), Cell(0, 4));
    EXPECT_EQ(Press(dialog, 4), Cell(0, 0)) << "down from the bottom row wraps";
    EXPECT_EQ(Press(dialog, 1), Cell(1, 4));
    EXPECT_EQ(Press(dialog, 3), Cell(1, 2)) << "up passes OK's own second cell";
    EXPECT_EQ(Name(dialog->GetFocusChild()), "rad_lang_6");
}

TEST_F(Language, TheCurrentLanguageClosesAtOnce)
{
    ASSERT_TRUE(app.LoadLanguages({"enUS", "deDE"}));
    LanguageDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    PlayersApp::Tap(dialog, "btn_lang_ok");
    EXPECT_EQ(dialog->GetCountdown(), -1);
    EXPECT_FALSE(app.StillOpen("dlg_lang"));
    EXPECT_TRUE(app.Requests().empty());
}

TEST_F(Language, AnotherLanguageWaitsFiveUpdatesWithoutInputThenRebuildsTheMenu)
{
    LanguageDialog* dialog = ConfirmSecondOfTwo();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetCountdown(), 5);
    for (int i = 1; i <= 4; ++i) {
        Widget* focus = dialog->GetFocusChild();
        EXPECT_TRUE(dialog->OnKey(kKeyLeft, true));
        EXPECT_TRUE(dialog->OnPointer(0, 0, 1));
        EXPECT_EQ(dialog->GetFocusChild(), focus);
        dialog->Update();
        EXPECT_EQ(app.GetLanguageTable()->GetCurrentLanguage(), 0) << i;
    }
    dialog->Update();
    EXPECT_EQ(app.GetLanguageTable()->GetCurrentLanguage(), 1);
    EXPECT_EQ(app.GetProfiles()->language, 1);
    // The menu fades out and then asks the application for a new one.
    for (int i = 0; i < 12 && app.Requests().empty(); ++i)
        app.Update();
    EXPECT_EQ(app.Requests(), std::vector<int>{kEventStartMenu});
}

TEST_F(Language, ALanguageThatDoesNotLoadIsNotKept)
{
    LanguageDialog* dialog = ConfirmSecondOfTwo();
    ASSERT_NE(dialog, nullptr);
    for (int i = 1; i < 5; ++i)
        dialog->Update();
    // Reading the language file in is the only request this large.
    nullbackend::FailAllocations(1, app.csvSize);
    dialog->Update();
    nullbackend::FailAllocations(0);
    EXPECT_EQ(app.GetLanguageTable()->GetCurrentLanguage(), 0);
    EXPECT_EQ(app.GetProfiles()->language, 0);
    for (int i = 0; i < 12 && app.Requests().empty(); ++i)
        app.Update();
    EXPECT_EQ(app.Requests(), std::vector<int>{kEventStartMenu}) << "the menu is built again all the same";
}

}  // namespace
