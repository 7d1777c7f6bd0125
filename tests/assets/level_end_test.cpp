// The level's end on the shipped data: the names the game sets and runs, the way the dialogs
// close, the texts the game formats, and, over a plain backdrop at every resolution and in every
// language, that the dialogs pass the layout check with the widest values and every tip. English frames are written
// to look/level_end_<dialog>_<W>x<H>.png, German ones at 240x240 too.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "engine/core/format_text.h"
#include "engine/graphics/font.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/ui_layout.h"
#include "flows/layout_check.h"
#include "game/app/game_helpers.h"
#include "layout_queries.h"
#include "shipped_game_app.h"

namespace {

struct Opening {
    const char* action;
    const char* dialog;
};
const Opening kOpenings[] = {
    {"acn_stats_on", "dlg_stats"}, {"acn_lost_stats_on", "dlg_lost_stats"}, {"acn_show_ready_go", "dlg_ready_go"}};

// The values the game sets, each beside a label of its own.
const char* const kStatsValues[] = {"txt_stats_score",    "txt_stats_combos",   "txt_stats_coins",
                                    "txt_stats_gaps",     "txt_stats_maxchain", "txt_stats_maxcombo",
                                    "txt_stats_yourtime", "txt_stats_acetime",  "txt_stats_best_time"};
const char* const kLostValues[] = {"txt_stats_combos",   "txt_stats_coins",    "txt_stats_gaps",
                                   "txt_stats_maxchain", "txt_stats_maxcombo", "txt_stats_total_time"};

constexpr int kTips = 10;
constexpr int kFortunes = 8;

std::string Row(StringTable* table, const char* first, int offset)
{
    String text;
    table->LookupOffset(text, first, offset);
    return text.CStr() ? text.CStr() : "";
}

// The label that stands level with a value, left of it.
bool HasLabelBeside(const UiLayout& layout, const DialogDesc* dialog, const char* value)
{
    const ChildPlacement* at = nullptr;
    for (int i = 0; i < dialog->ChildCount(); ++i)
        if (SameText(dialog->ChildAt(i)->name.CStr(), value))
            at = dialog->ChildAt(i);
    if (!at)
        return false;
    for (int i = 0; i < dialog->ChildCount(); ++i) {
        const ChildPlacement* other = dialog->ChildAt(i);
        const WidgetDesc* desc = layout.FindDesc(other->name.CStr());
        if (other != at && desc && desc->type == kDescText && !desc->txtid.IsEmpty() && other->y == at->y &&
            other->x < at->x)
            return true;
    }
    return false;
}

}  // namespace

TEST(ShippedLevelEnd, LayoutHoldsWhatTheGameSetsAndRuns)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.LoadLanguageTable());
        UiLayoutParser parser;
        std::unique_ptr<UiLayout> layout(UiLayout::LoadFile(parser, &app, "keloui.txt").value);
        ASSERT_NE(layout, nullptr);

        for (const Opening& opening : kOpenings) {
            EXPECT_TRUE(HasStep(layout->FindAction(opening.action), kStepCreate, opening.dialog)) << opening.action;
            EXPECT_EQ(TypeOf(*layout, opening.dialog), kDescDialog) << opening.dialog;
        }
        auto* stats = dynamic_cast<DialogDesc*>(layout->FindDesc("dlg_stats"));
        auto* lost = dynamic_cast<DialogDesc*>(layout->FindDesc("dlg_lost_stats"));
        auto* ready = dynamic_cast<DialogDesc*>(layout->FindDesc("dlg_ready_go"));
        ASSERT_TRUE(stats && lost && ready);

        std::set<std::string> statsChildren = ChildNames(stats), lostChildren = ChildNames(lost);
        for (const char* value : kStatsValues) {
            EXPECT_TRUE(statsChildren.count(value)) << value;
            EXPECT_EQ(TypeOf(*layout, value), kDescText) << value;
            EXPECT_TRUE(HasLabelBeside(*layout, stats, value)) << value;
        }
        for (const char* value : kLostValues) {
            EXPECT_TRUE(lostChildren.count(value)) << value;
            EXPECT_EQ(TypeOf(*layout, value), kDescText) << value;
            EXPECT_TRUE(HasLabelBeside(*layout, lost, value)) << value;
        }
        EXPECT_TRUE(statsChildren.count("txt_stats_best_name"));
        EXPECT_TRUE(statsChildren.count("txt_stats_bonus"));
        EXPECT_EQ(TypeOf(*layout, "txt_stats_best_name"), kDescTextMulti);
        EXPECT_EQ(TypeOf(*layout, "txt_stats_bonus"), kDescText);
        EXPECT_EQ(TypeOf(*layout, "txt_stats_tip"), kDescTextMulti);
        EXPECT_TRUE(statsChildren.count("txt_stats_tip") && lostChildren.count("txt_stats_tip"));
        EXPECT_TRUE(lostChildren.count("btn_lost_stats_ok"));
        EXPECT_EQ(TypeOf(*layout, "btn_lost_stats_ok"), kDescButton);

        // Each OK closes its own dialog: the statistics' closing ends the level, and the question
        // over a resumed board lets it play on.
        EXPECT_TRUE(HasStep(BoundAction(*layout, stats, "btn_stats_ok"), kStepDestroy, "dlg_stats"));
        EXPECT_TRUE(statsChildren.count("btn_stats_ok"));
        EXPECT_TRUE(HasStep(BoundAction(*layout, ready, "btn_ready_go"), kStepDestroy, "dlg_ready_go"));
        EXPECT_TRUE(ChildNames(ready).count("btn_ready_go"));
        // The lost game's OK must reach the screen, which a binding anywhere would stop.
        for (int i = 0; i < layout->DescCount(); ++i) {
            if (auto* dialog = dynamic_cast<DialogDesc*>(layout->DescAt(i))) {
                EXPECT_EQ(BoundAction(*layout, dialog, "btn_lost_stats_ok"), nullptr) << dialog->name.CStr();
            }
        }
        for (int i = 0; i < lost->BindingCount(); ++i)
            EXPECT_STRNE(lost->BindingAt(i)->command.CStr(), "btn_lost_stats_ok");
    }
}

// The formats the game fills take their arguments, in order, in every language; the families read
// by offset are whole and in order; the loss messages fit across the smallest screen.
TEST(ShippedLevelEnd, TextsTakeTheirArgumentsInEveryLanguage)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedGameApp app(r.width, r.height, "level_end_dialogs.txt", "root_level_end_look");
        ASSERT_TRUE(app.Ready());
        StringTable* table = app.GetLanguageTable();
        ASSERT_GE(table->GetLanguageCount(), 4);
        for (int language = 0; language < table->GetLanguageCount(); ++language) {
            ASSERT_TRUE(table->SelectLanguage(language));
            SCOPED_TRACE("language " + std::to_string(language));

            std::string left = FormatText(Row(table, "STR_LIVESLEFT", 0).c_str(), {2, 3}).CStr();
            size_t two = left.find('2'), three = left.find('3');
            EXPECT_TRUE(two < three && three != std::string::npos) << left;
            EXPECT_EQ(left.find('%'), std::string::npos) << left;
            std::string bonus = FormatText(Row(table, "STR_STATS_BONUS", 0).c_str(), {25100}).CStr();
            EXPECT_NE(bonus.find("25100"), std::string::npos) << bonus;
            EXPECT_EQ(bonus.find('%'), std::string::npos) << bonus;

            // Centred on the board in the main font.
            for (const std::string& message : {left, Row(table, "STR_LIVESLAST", 0),
                                               Row(table, "STR_LIVESGAMEOVER", 0)}) {
                EXPECT_FALSE(message.empty());
                EXPECT_EQ(message.find('%'), std::string::npos) << message;
                EXPECT_LE(app.GetMainFont()->MeasureText(message.c_str()), r.width) << message;
            }

            std::set<std::string> seen;
            for (int i = 0; i < kTips; ++i)
                seen.insert(Row(table, "STR_TIPS_1", i));
            for (int i = 0; i < kFortunes; ++i)
                seen.insert(Row(table, "STR_FORTUNES_1", i));
            EXPECT_EQ(seen.size(), size_t(kTips + kFortunes));
            EXPECT_FALSE(seen.count(""));
            EXPECT_EQ(Row(table, "STR_TIPS_1", kTips - 1), Row(table, "STR_TIPS_10", 0));
            EXPECT_EQ(Row(table, "STR_FORTUNES_1", kFortunes - 1), Row(table, "STR_FORTUNES_8", 0));
            for (const std::string& tip : seen)
                EXPECT_EQ(tip.find('%'), std::string::npos) << tip;
        }
    }
}

namespace {

void SetText(ScriptWidget* dialog, const char* name, const char* text)
{
    auto* widget = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(dialog, name));
    ASSERT_NE(widget, nullptr) << name;
    widget->SetText(text);
    widget->Relayout();
}

// The widest values the game can set: long counts, an hour-long time and the widest name.
void FillWidest(ShippedGameApp& app, ScriptWidget* dialog, const std::string& name)
{
    String time;
    FormatTime(time, 59 * 60 + 58);
    for (const char* value : kStatsValues)
        if (ScriptWidget::FindByName(dialog, value))
            SetText(dialog, value, "8888888");
    for (const char* value : {"txt_stats_yourtime", "txt_stats_acetime", "txt_stats_best_time", "txt_stats_total_time"})
        if (ScriptWidget::FindByName(dialog, value))
            SetText(dialog, value, time.CStr());
    if (ScriptWidget::FindByName(dialog, "txt_stats_total_time"))
        SetText(dialog, "txt_stats_combos", "88888");
    if (ScriptWidget::FindByName(dialog, "txt_stats_best_name"))
        SetText(dialog, "txt_stats_best_name", name.c_str());
    if (auto* bonus = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(dialog, "txt_stats_bonus"))) {
        String format;
        app.GetLanguageTable()->Lookup(format, bonus->GetDesc()->txtid.CStr());
        SetText(dialog, "txt_stats_bonus", FormatText(format.CStr(), {25100}).CStr());
    }
}

}  // namespace

TEST(ShippedLevelEndLook, DialogsFitWithTheWidestValuesAndEveryTip)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedGameApp app(r.width, r.height, "level_end_dialogs.txt", "root_level_end_look");
        ASSERT_TRUE(app.Ready());
        app.GetProfiles()->mute = true;
        StringTable* table = app.GetLanguageTable();
        std::string name;
        while (app.GetSmallFont()->MeasureText((name + "W").c_str()) < 101)
            name += "W";
        for (int language = 0; language < table->GetLanguageCount(); ++language) {
            ASSERT_TRUE(table->SelectLanguage(language));
            SCOPED_TRACE("language " + std::to_string(language));
            for (const Opening& opening : kOpenings) {
                SCOPED_TRACE(opening.dialog);
                ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
                GameScreen* screen = app.GetStartMenu();
                ASSERT_NE(screen, nullptr);
                EXPECT_TRUE(screen->RunActionFromFile("level_end_dialogs.txt", opening.action));
                ScriptWidget* dialog = ScriptWidget::FindByName(screen, opening.dialog);
                ASSERT_NE(dialog, nullptr);
                FillWidest(app, dialog, name);
                for (int i = 0; i < 40; ++i)
                    app.Update();
                const std::string where = ShippedName(r) + " language " + std::to_string(language) + " " +
                                          opening.dialog;

                // Every tip and fortune keeps to two lines, so none runs into the button.
                auto* tip = dynamic_cast<TextMultiWidget*>(ScriptWidget::FindByName(dialog, "txt_stats_tip"));
                for (int i = 0; tip && i < kTips + kFortunes; ++i) {
                    std::string text = i < kTips ? Row(table, "STR_TIPS_1", i) : Row(table, "STR_FORTUNES_1", i - kTips);
                    tip->SetText(text.c_str());
                    tip->Relayout();
                    ASSERT_NE(tip->GetBlock(), nullptr);
                    EXPECT_LE(tip->GetBlock()->GetLineCount(), 2) << text;
                    EXPECT_GE(tip->GetBlock()->GetLineCount(), 1) << text;
                    ExpectLaidOutWith(&app, dialog, where + " tip " + std::to_string(i));
                }
                if (!tip)
                    ExpectLaidOutWith(&app, dialog, where);
                if (tip) {
                    tip->SetText(Row(table, "STR_TIPS_1", 3).c_str());
                    tip->Relayout();
                }

                bool english = language == 0, german = language == 1 && r.width == 240;
                if (!english && !german)
                    continue;
                app.Draw();
                Surface* display = app.GetScreenSurface();
                uint16_t corner = display->GetPixels()[0];
                uint16_t middle = display->GetPixels()[display->GetHeight() / 2 * display->GetRawWidth() +
                                                       display->GetWidth() / 2];
                EXPECT_NE(corner, middle);
                std::string path = std::string(KELO_LOOK_DIR) + "/level_end_" + opening.dialog + "_" +
                                   ShippedName(r) + (german ? "_deDE" : "") + ".png";
                EXPECT_TRUE(WriteScreenPng(display, path));
            }
        }
    }
}
