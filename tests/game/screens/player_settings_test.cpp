// What the player and options dialogs change reaches global.opt and comes back after a restart.
#include <gtest/gtest.h>

#include <vector>

#include "engine/ui/tuner_widget.h"
#include "game/screens/graphics_dialog.h"
#include "game/screens/language_dialog.h"
#include "game/screens/name_entry_dialog.h"
#include "game/screens/players_dialog.h"
#include "players_test_app.h"

namespace {

int32_t WordAt(const std::string& bytes, size_t offset)
{
    auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])); };
    return static_cast<int32_t>(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
}

TEST(PlayerSettings, TheDialogsChoicesAreWrittenAndShownAgainAfterARestart)
{
    std::string saved;
    {
        PlayersApp app;
        ASSERT_TRUE(app.looks);
        ASSERT_TRUE(app.LoadLanguages({"enUS", "deDE", "frFR"}));
        app.SetRotation(1);
        app.AddNamed({"Ana"});
        app.GetProfiles()->SetCurrentIndex(0);

        auto* players = app.Open<PlayersDialog>("acn_show_players", "dlg_players");
        ASSERT_NE(players, nullptr);
        PlayersApp::Tap(players, "btn_user_1");
        auto* entry = app.Find<NameEntryDialog>("dlg_EditPlayer");
        ASSERT_NE(entry, nullptr);
        for (char c : std::string("bo"))
            app.OnChar(c);
        app.GetProfiles()->SetPlayerName(app.GetProfiles()->GetCurrentIndex(), entry->GetName());

        auto* graphics = app.Open<GraphicsDialog>("acn_show_graphics", "dlg_graphics");
        ASSERT_NE(graphics, nullptr);
        graphics->OnEvent(nullptr, kMsgTunerChanged, "tuner_graphics_quality", 2);
        graphics->OnEvent(nullptr, kMsgCheckToggled, "rad_orient_lefthand", 1);

        auto* language = app.Open<LanguageDialog>("acn_show_lang", "dlg_lang");
        ASSERT_NE(language, nullptr);
        language->OnEvent(nullptr, kMsgCheckToggled, "rad_lang_3", 1);
        PlayersApp::Tap(language, "btn_lang_ok");
        for (int i = 0; i < kLanguageDelay; ++i)
            language->Update();

        ASSERT_TRUE(app.SaveOptions());
        saved = fixtures::ReadFile(app.Host("global.opt"));
    }
    ASSERT_GE(saved.size(), 5749u);
    EXPECT_EQ(WordAt(saved, 15), 2) << "left-handed";
    EXPECT_EQ(WordAt(saved, 5737), 2) << "high quality";
    EXPECT_EQ(WordAt(saved, 5745), 2) << "the third language";
    EXPECT_EQ(saved.substr(207, 4), std::string("Ana\0", 4));
    EXPECT_EQ(saved.substr(207 + 218, 3), std::string("BO\0", 3));

    PlayersApp app;
    ASSERT_TRUE(app.looks);
    ASSERT_TRUE(WriteHostFile(app.Host("global.opt"), saved.data(), saved.size()));
    ASSERT_TRUE(app.LoadOptions());
    ASSERT_TRUE(app.LoadLanguages({"enUS", "deDE", "frFR"}, app.GetProfiles()->language));
    app.SetRotation(2);
    auto* graphics = app.Open<GraphicsDialog>("acn_show_graphics", "dlg_graphics");
    ASSERT_NE(graphics, nullptr);
    EXPECT_EQ(app.Find<TunerWidget>("tuner_graphics_quality")->GetValue(), 2);
    EXPECT_TRUE(graphics->GetRadio(1)->IsChecked());
    EXPECT_EQ(Text(app.Find<TextWidget>("txt_graphics_quality")->GetText()), "Quality: STR_QUALITY_3.frFR");
    auto* players = app.Open<PlayersDialog>("acn_show_players", "dlg_players");
    ASSERT_NE(players, nullptr);
    EXPECT_EQ(Text(players->GetRow(1)->GetCaption()), "BO");
    EXPECT_EQ(app.GetProfiles()->GetCurrentIndex(), 1);
}

}  // namespace
