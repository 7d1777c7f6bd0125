// The start menu's dialogs open over a plain backdrop at every resolution and in every language:
// each passes the layout check, and the saved game's table keeps its four rows with any map's
// name. English frames
// of each dialog are written to look/menu_<dialog>_<W>x<H>.png, German ones at 240x240 too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/format_text.h"
#include "engine/graphics/font.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "flows/layout_check.h"
#include "game/app/name_fit.h"
#include "shipped_game_app.h"
#include "support/widget_box.h"

namespace {

struct Opening {
    const char* action;
    const char* dialog;
};
const Opening kOpenings[] = {{"acn_help_full_on", "dlg_help"},
                             {"acn_helpfull_2_support", "dlg_support"},
                             {"acn_options_on", "dlg_options"},
                             {"acn_confirm_adventure", "dlg_continue_adventure"},
                             {"acn_confirm_gauntlet", "dlg_continue_gauntlet"},
                             {"acn_show_same_name", "dlg_same_name"},
                             {"acn_show_edit", "dlg_EditPlayer"},
                             {"acn_players_on", "dlg_players"},
                             {"acn_remove_on", "dlg_remove_user"},
                             {"acn_options_2_graphics", "dlg_graphics"},
                             {"acn_options_2_lang", "dlg_lang"},
                             {"acn_pause_on", "dlg_pause"}};

constexpr int kMapNames = 23;

// The saved game's table as the menu fills it, with a map's name and a long score.
void FillSavedGame(ShippedGameApp& app, TextMultiWidget* values, int map)
{
    String format, name;
    app.GetLanguageTable()->Lookup(format, values->GetDesc()->txtid.CStr());
    app.GetLanguageTable()->LookupOffset(name, "STR_DISPLAY_NAME_1", map);
    values->SetText(FormatText(format.CStr(), {12, 4, name, 9876540}).CStr());
    values->Relayout();
}

}  // namespace

TEST(ShippedStartMenuLook, DialogsFitAndReadAtEveryResolutionInEveryLanguage)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedGameApp app(r.width, r.height, "menu_dialogs.txt", "root_menu_look");
        ASSERT_TRUE(app.Ready());
        app.SetBuildTexts("1.0.3", "Dec  9 2026");
        app.GetProfiles()->mute = true;
        StringTable* table = app.GetLanguageTable();
        ASSERT_GE(table->GetLanguageCount(), 4);
        for (int language = 0; language < table->GetLanguageCount(); ++language) {
            ASSERT_TRUE(table->SelectLanguage(language));
            SCOPED_TRACE("language " + std::to_string(language));
            for (const Opening& opening : kOpenings) {
                SCOPED_TRACE(opening.dialog);
                ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
                GameScreen* screen = app.GetStartMenu();
                ASSERT_NE(screen, nullptr);
                EXPECT_TRUE(screen->RunActionFromFile("menu_dialogs.txt", opening.action));
                ScriptWidget* dialog = ScriptWidget::FindByName(screen, opening.dialog);
                ASSERT_NE(dialog, nullptr);

                auto* values = dynamic_cast<TextMultiWidget*>(ScriptWidget::FindByName(dialog, "txt_continue_2"));
                if (values) {
                    // Any map's name keeps the table to its four rows, level with the labels.
                    for (int map = 0; map < kMapNames; ++map) {
                        FillSavedGame(app, values, map);
                        EXPECT_EQ(values->GetBlock()->GetLineCount(), 4) << values->GetText().CStr();
                    }
                    for (int i = 0; i < dialog->GetChildCount(); ++i) {
                        auto* labels = dynamic_cast<TextMultiWidget*>(dialog->GetChild(i));
                        if (!labels || labels == values)
                            continue;
                        EXPECT_EQ(labels->GetBlock()->GetLineCount(), 4) << labels->GetText().CStr();
                        EXPECT_EQ(labels->GetY(), values->GetY());
                        EXPECT_EQ(labels->GetLook().font, values->GetLook().font);
                    }
                    FillSavedGame(app, values, 13);
                }
                for (int i = 0; i < 40; ++i)
                    app.Update();
                ExpectLaidOutWith(&app, dialog,
                                  ShippedName(r) + " language " + std::to_string(language) + " " + opening.dialog);

                bool english = language == 0, german = language == 1 && r.width == 240;
                if (!english && !german)
                    continue;
                app.Draw();
                // The panel is drawn: the frame differs from the plain backdrop around it.
                Surface* display = app.GetScreenSurface();
                uint16_t corner = display->GetPixels()[0];
                uint16_t middle = display->GetPixels()[display->GetHeight() / 2 * display->GetRawWidth() +
                                                       display->GetWidth() / 2];
                EXPECT_NE(corner, middle);
                std::string path = std::string(KELO_LOOK_DIR) + "/menu_" + opening.dialog + "_" + ShippedName(r) +
                                   (german ? "_deDE" : "") + ".png";
                EXPECT_TRUE(WriteScreenPng(display, path));
            }
        }
    }
}

// The menu itself on its picture (the sky and the animation are the screen's own): the buttons in
// the right half, clear of one another and of the welcome, which stays on the screen, on one line,
// with the widest name a player can have.
TEST(ShippedStartMenuLook, MenuButtonsAndWelcomeFitAtEveryResolutionInEveryLanguage)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedGameApp app(r.width, r.height, "keloui.txt", "root_startmenu");
        ASSERT_TRUE(app.Ready());
        StringTable* table = app.GetLanguageTable();
        // Names are kept under 101 pixels in the small font.
        std::string name;
        while (app.GetSmallFont()->MeasureText((name + "W").c_str()) < 101)
            name += "W";
        for (int language = 0; language < table->GetLanguageCount(); ++language) {
            ASSERT_TRUE(table->SelectLanguage(language));
            SCOPED_TRACE("language " + std::to_string(language));
            ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
            GameScreen* menu = app.GetStartMenu();
            ASSERT_NE(menu, nullptr);
            auto* welcome = dynamic_cast<TextWidget*>(
                ScriptWidget::FindByName(menu, r.width == 240 ? "txt_welcome240_2" : "txt_welcome"));
            ASSERT_NE(welcome, nullptr);
            // As the menu greets: on one line of the welcome's width.
            auto* line = dynamic_cast<TextMultiWidget*>(welcome);
            ASSERT_NE(line, nullptr);
            String format;
            table->Lookup(format, welcome->GetDesc()->txtid.CStr());
            welcome->SetText(FitNameOnOneLine(format.CStr(), name.c_str(), line).CStr());
            welcome->Relayout();
            EXPECT_NE(std::string(welcome->GetText().CStr()).find('W'), std::string::npos) << "a name shows";

            Surface* display = app.GetScreenSurface();
            Box screen{0, 0, display->GetWidth(), display->GetHeight()};
            std::vector<std::pair<ScriptWidget*, Box>> parts{{welcome, BoxOf(welcome)}};
            EXPECT_TRUE(parts[0].second.Inside(screen)) << parts[0].second.x << " " << parts[0].second.w;
            for (const char* button : {"btn_change_player", "btn_sm_adventure", "btn_sm_gauntlet", "btn_sm_help",
                                       "btn_sm_options", "btn_sm_quit"}) {
                auto* widget = dynamic_cast<ButtonWidget*>(ScriptWidget::FindByName(menu, button));
                ASSERT_NE(widget, nullptr) << button;
                Box box = BoxOf(widget);
                EXPECT_TRUE(box.Inside(screen)) << button;
                EXPECT_GE(box.x, screen.w / 2) << button;
                for (const auto& [other, otherBox] : parts)
                    EXPECT_FALSE(box.Overlaps(otherBox)) << button << " covers " << other->GetName();
                parts.emplace_back(widget, box);
                // The plaque has no carved ends.
                auto* desc = dynamic_cast<ButtonDesc*>(widget->GetDesc());
                bool plaque = desc && SameText(desc->image.set.CStr(), "sm_change_player");
                EXPECT_LE(widget->GetLook().font->MeasureText(widget->GetCaption().CStr()),
                          box.w * (plaque ? 14 : 13) / 16)
                    << button << ": " << widget->GetCaption().CStr();
            }
            if (language > 1 || (language == 1 && r.width != 240))
                continue;
            for (int i = 0; i < 40; ++i)
                app.Update();
            app.Draw();
            EXPECT_TRUE(WriteScreenPng(display, std::string(KELO_LOOK_DIR) + "/menu_root_" + ShippedName(r) +
                                                    (language ? "_deDE" : "") + ".png"));
        }
    }
}
