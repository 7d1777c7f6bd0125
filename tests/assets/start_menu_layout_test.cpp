// The start menu's layout on the shipped data: the names the menu's code and the game look for,
// the way every dialog opens and closes, and, with the dialogs open over a plain backdrop at every
// resolution and in every language, that they fit the screen and their words fit their places.
// The dialogs are written to look/menu_<dialog>_<W>x<H>.png.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/format_text.h"
#include "engine/graphics/font.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/ui_layout.h"
#include "layout_queries.h"
#include "shipped_game_app.h"

namespace {

bool StartsWith(const char* text, const char* prefix)
{
    return text && std::string(text).compare(0, std::string(prefix).size(), prefix) == 0;
}

// The language text of every language for a key.
std::vector<std::string> TextsOf(StringTable* table, const char* key)
{
    std::vector<std::string> texts;
    for (int i = 0; i < table->GetLanguageCount(); ++i) {
        table->SelectLanguage(i);
        String text;
        table->Lookup(text, key);
        texts.push_back(text.CStr() ? text.CStr() : "");
    }
    table->SelectLanguage(0);
    return texts;
}

// The actions the menu's code runs by name; every other dialog opens by a binding of the menu.
const char* const kRunByCode[] = {"acn_help_full_on", "acn_helpfull_2_support", "acn_confirm_adventure",
                                  "acn_confirm_gauntlet", "acn_show_same_name"};

struct Opening {
    const char* action;
    const char* dialog;
};
const Opening kOpenings[] = {{"acn_help_full_on", "dlg_help"},
                             {"acn_helpfull_2_support", "dlg_support"},
                             {"acn_options_on", "dlg_options"},
                             {"acn_confirm_adventure", "dlg_continue_adventure"},
                             {"acn_confirm_gauntlet", "dlg_continue_gauntlet"},
                             {"acn_show_same_name", "dlg_same_name"}};

}  // namespace

TEST(ShippedStartMenu, LayoutHoldsWhatTheMenuAndTheGameLookFor)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.LoadLanguageTable());
        UiLayoutParser parser;
        std::unique_ptr<UiLayout> layout(UiLayout::LoadFile(parser, &app, "keloui.txt").value);
        ASSERT_NE(layout, nullptr);

        auto* root = dynamic_cast<RootDesc*>(layout->FindDesc("root_startmenu"));
        ASSERT_NE(root, nullptr);
        // A colour would be painted over the sky, sun and eyes the menu draws beneath its children.
        EXPECT_EQ(root->hasColour, 0);
        std::set<std::string> children = ChildNames(root);
        for (const char* button : {"btn_sm_adventure", "btn_sm_gauntlet", "btn_sm_help", "btn_sm_options",
                                   "btn_sm_quit", "btn_change_player"}) {
            EXPECT_TRUE(children.count(button)) << button;
            EXPECT_EQ(TypeOf(*layout, button), kDescButton) << button;
        }
        EXPECT_TRUE(children.count("img_startmenu_bottom"));
        EXPECT_EQ(TypeOf(*layout, "img_startmenu_bottom"), kDescImage);
        // One welcome a resolution: the other would show its format unfilled.
        bool small = r.width == 240;
        EXPECT_EQ(children.count("txt_welcome"), small ? 0u : 1u);
        EXPECT_EQ(children.count("txt_welcome240_2"), small ? 1u : 0u);
        for (const char* welcome : {"txt_welcome", "txt_welcome240_2"}) {
            ASSERT_EQ(TypeOf(*layout, welcome), kDescTextMulti) << welcome;
            for (const std::string& text : TextsOf(app.GetLanguageTable(), layout->FindDesc(welcome)->txtid.CStr())) {
                String filled = FormatText(text.c_str(), {"Ixchel"});
                EXPECT_NE(std::string(filled.CStr()).find("Ixchel"), std::string::npos) << text;
                EXPECT_EQ(std::string(filled.CStr()).find('%'), std::string::npos) << text;
            }
        }
        EXPECT_EQ(layout->FindDesc("btn_main_hiscores"), nullptr);
        EXPECT_EQ(layout->FindDesc("btn_get_more_games"), nullptr);

        for (const char* action : kRunByCode)
            EXPECT_NE(layout->FindAction(action), nullptr) << action;
        EXPECT_TRUE(HasStep(layout->FindAction("acn_helpfull_2_support"), kStepDestroy, "dlg_help"));
        EXPECT_TRUE(HasStep(layout->FindAction("acn_helpfull_2_support"), kStepCreate, "dlg_support"));
        EXPECT_TRUE(HasStep(BoundAction(*layout, root, "btn_sm_options"), kStepCreate, "dlg_options"));
        for (const Opening& opening : kOpenings)
            EXPECT_TRUE(HasStep(layout->FindAction(opening.action), kStepCreate, opening.dialog)) << opening.action;

        struct Wanted {
            const char* dialog;
            const char* child;
            int type;
        };
        const Wanted kWanted[] = {
            {"dlg_help", "btn_help_instructions", kDescButton},
            {"dlg_help", "btn_help_about", kDescButton},
            {"dlg_help", "btn_help_support", kDescButton},
            {"dlg_support", "btn_support_ok", kDescButton},
            {"dlg_options", "tuner_Sound", kDescTuner},
            {"dlg_options", "tuner_Music", kDescTuner},
            {"dlg_options", "chk_mute", kDescCheckBox},
            {"dlg_continue_adventure", "txt_continue_2", kDescTextMulti},
            {"dlg_continue_adventure", "btn_continue_adventure", kDescButton},
            {"dlg_continue_adventure", "btn_new_adventure", kDescButton},
            {"dlg_continue_gauntlet", "txt_continue_2", kDescTextMulti},
            {"dlg_continue_gauntlet", "btn_continue_gauntlet", kDescButton},
            {"dlg_continue_gauntlet", "btn_new_gauntlet", kDescButton},
        };
        for (const Wanted& w : kWanted) {
            auto* dialog = dynamic_cast<DialogDesc*>(layout->FindDesc(w.dialog));
            ASSERT_TRUE(dialog && dialog->type == kDescDialog) << w.dialog;
            EXPECT_TRUE(ChildNames(dialog).count(w.child)) << w.dialog << " " << w.child;
            EXPECT_EQ(TypeOf(*layout, w.child), w.type) << w.child;
        }
        // The tuners' values are the volumes themselves.
        for (const char* name : {"tuner_Sound", "tuner_Music"})
            EXPECT_EQ(dynamic_cast<TunerDesc*>(layout->FindDesc(name))->max, 100) << name;
        // The support page shows the version and the build date the engine fills in.
        std::set<int> infoTypes;
        auto* support = dynamic_cast<DialogDesc*>(layout->FindDesc("dlg_support"));
        for (int i = 0; i < support->ChildCount(); ++i)
            if (auto* info = dynamic_cast<TextInfoDesc*>(layout->FindDesc(support->ChildAt(i)->name.CStr())))
                infoTypes.insert(info->infoType);
        EXPECT_EQ(infoTypes, (std::set<int>{0, 1}));

        // The saved game's text takes door or level, stage or rank, the map's name and the score,
        // in that order, in every language.
        const WidgetDesc* saved = layout->FindDesc("txt_continue_2");
        for (const std::string& text : TextsOf(app.GetLanguageTable(), saved->txtid.CStr())) {
            std::string filled = FormatText(text.c_str(), {17, 4, "Jade Pool", 123456}).CStr();
            size_t door = filled.find("17"), stage = filled.find('4'), map = filled.find("Jade Pool"),
                   score = filled.find("123456");
            EXPECT_TRUE(door < stage && stage < map && map < score && score != std::string::npos) << filled;
            EXPECT_EQ(filled.find('%'), std::string::npos) << filled;
        }
    }
}

// A binding stops a command in the dialog that holds it; the game's own commands must reach it,
// and a dialog's own action would build with that dialog's factory, which makes no game dialogs.
TEST(ShippedStartMenu, DialogsOpenAndCloseOnlyThroughTheMenu)
{
    ShippedApp app(640, 480);
    UiLayoutParser parser;
    std::unique_ptr<UiLayout> layout(UiLayout::LoadFile(parser, &app, "keloui.txt").value);
    ASSERT_NE(layout, nullptr);
    auto* root = dynamic_cast<DialogDesc*>(layout->FindDesc("root_startmenu"));
    ASSERT_NE(root, nullptr);

    std::set<std::string> menuDialogs;
    for (int i = 0; i < layout->ActionCount(); ++i) {
        const UiAction* action = layout->ActionAt(i);
        // The pause belongs to the board's screen, which closes it itself.
        if (StartsWith(action->name.CStr(), "acn_pause_"))
            continue;
        // The temple's words and the won adventure's statistics belong to the temple screen.
        if (StartsWith(action->name.CStr(), "acn_temple_") || StartsWith(action->name.CStr(), "acn_final_"))
            continue;
        for (int s = 0; s < action->StepCount(); ++s)
            if (action->StepAt(s)->kind == kStepCreate)
                menuDialogs.insert(action->StepAt(s)->target.CStr());
    }
    // The level's end opens over the board, which answers its buttons (level_end_test.cpp).
    for (const char* board : {"dlg_stats", "dlg_lost_stats", "dlg_ready_go"})
        EXPECT_EQ(menuDialogs.erase(board), 1u) << board;
    for (const Opening& opening : kOpenings)
        EXPECT_TRUE(menuDialogs.count(opening.dialog)) << opening.dialog;

    for (int i = 0; i < layout->DescCount(); ++i) {
        auto* dialog = dynamic_cast<DialogDesc*>(layout->DescAt(i));
        if (!dialog)
            continue;
        SCOPED_TRACE(dialog->name.CStr());
        for (int b = 0; b < dialog->BindingCount(); ++b) {
            const char* command = dialog->BindingAt(b)->command.CStr();
            EXPECT_FALSE(StartsWith(command, "btn_help_") || StartsWith(command, "btn_continue_") ||
                         StartsWith(command, "btn_new_"))
                << command;
            if (dialog != root) {
                const UiAction* action = layout->FindAction(dialog->BindingAt(b)->action.CStr());
                for (int s = 0; action && s < action->StepCount(); ++s)
                    EXPECT_NE(action->StepAt(s)->kind, kStepCreate) << command;
            }
        }
        // Commands the menu's code answers first: a binding here would never run.
        for (const char* coded : {"btn_sm_help", "btn_help_support", "btn_sm_quit"})
            EXPECT_EQ(BoundAction(*layout, dialog, coded), nullptr) << coded;
    }
    // The help buttons the game answers reach it from the help dialog: the menu binds none.
    for (const char* command : {"btn_help_instructions", "btn_help_about", "btn_sm_adventure", "btn_sm_gauntlet"})
        EXPECT_EQ(BoundAction(*layout, root, command), nullptr) << command;

    // Every dialog the menu opens has a button the menu answers by closing it.
    for (const std::string& name : menuDialogs) {
        auto* dialog = dynamic_cast<DialogDesc*>(layout->FindDesc(name.c_str()));
        ASSERT_TRUE(dialog && dialog->type == kDescDialog) << name;
        bool closes = false;
        for (int c = 0; c < dialog->ChildCount(); ++c) {
            const char* child = dialog->ChildAt(c)->name.CStr();
            closes = closes || (TypeOf(*layout, child) == kDescButton &&
                                HasStep(BoundAction(*layout, root, child), kStepDestroy, name.c_str()));
        }
        EXPECT_TRUE(closes) << name;
    }
}
