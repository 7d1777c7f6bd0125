// The board screen's data on the shipped packs at every resolution: the frame's pieces cover the
// screen's edges with opaque bands of the layout's sizes and leave room for what the board writes
// on them; the menu button keeps clear of it all; the pause dialog holds what the board answers
// and binds none of it; the texts the board formats take their numbers.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/format_text.h"
#include "engine/graphics/font.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/resource_entry.h"
#include "engine/ui/string_table.h"
#include "engine/ui/ui_layout.h"
#include "shipped_game_app.h"

namespace {

enum Piece { kTL, kTR, kL, kR, kBL, kB, kBR, kPieces };
const char* const kPieceSets[kPieces] = {"GameUIFrameTL", "GameUIFrameTR", "GameUIFrameL", "GameUIFrameR",
                                         "GameUIFrameBL", "GameUIFrameB",  "GameUIFrameBR"};

struct Box {
    int x, y, w, h;
    bool Overlaps(const Box& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};

// A set held loaded for the life of the check.
struct Held {
    ResourceEntry* entry = nullptr;
    explicit Held(GameApp& app, const char* name)
    {
        entry = app.GetSpriteList()->FindByName(name);
        if (entry && entry->Load().failed())
            entry = nullptr;
    }
    ~Held()
    {
        if (entry)
            entry->Release();
    }
    Surface* Frame(int i) const { return entry ? entry->GetFrame(i) : nullptr; }
};

// Whether every pixel of the rectangle is fully opaque, and whether any is less than that.
struct Cover {
    bool allOpaque = true, anyClear = false;
};
Cover CoverOf(Surface* s, int x, int y, int w, int h)
{
    Cover c;
    const uint8_t* alpha = s->GetAlpha();
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) {
            int a = alpha ? alpha[j * s->GetRawWidth() + i] : 255;
            c.allOpaque = c.allOpaque && a == 255;
            c.anyClear = c.anyClear || a < 255;
        }
    return c;
}

std::vector<std::string> TextsOf(StringTable* table, const char* key, int offset = 0)
{
    std::vector<std::string> texts;
    for (int i = 0; i < table->GetLanguageCount(); ++i) {
        table->SelectLanguage(i);
        String text;
        table->LookupOffset(text, key, offset);
        texts.push_back(text.CStr() ? text.CStr() : "");
    }
    table->SelectLanguage(0);
    return texts;
}

}  // namespace

TEST(ShippedGameplayData, FramePiecesCoverTheEdgesWithTheLayoutsBands)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedGameApp app(r.width, r.height, "keloui.txt", "root_gameplay");
        ASSERT_TRUE(app.Ready());
        const int* ints = app.GetLayoutTable().ints.data();
        const int W = r.width, H = r.height;

        std::vector<std::unique_ptr<Held>> sets;
        Surface* piece[kPieces];
        for (int p = 0; p < kPieces; ++p) {
            sets.push_back(std::make_unique<Held>(app, kPieceSets[p]));
            piece[p] = sets.back()->Frame(0);
            ASSERT_NE(piece[p], nullptr) << kPieceSets[p];
        }
        auto w = [&](int p) { return piece[p]->GetWidth(); };
        auto h = [&](int p) { return piece[p]->GetHeight(); };
        // The pieces meet edge to edge round the whole screen.
        EXPECT_EQ(w(kTL) + w(kTR), W);
        EXPECT_EQ(h(kTL) + h(kL) + h(kBL), H);
        EXPECT_EQ(h(kTR) + h(kR) + h(kBR), H);
        EXPECT_EQ(w(kBL) + w(kB) + w(kBR), W);
        EXPECT_EQ(h(kBL), h(kB));
        EXPECT_EQ(h(kBR), h(kB));

        // Each edge band is copied without its alpha every frame, so it must be opaque; the inner
        // band is blended over the board and fades into it.
        struct Band {
            int piece;
            Box edge, inner;
        };
        auto band = [&](int p) { return ints[kLayoutFrameBands + p]; };
        const Band bands[] = {
            {kTL, {0, 0, w(kTL), band(kTL)}, {0, band(kTL), w(kTL), h(kTL) - band(kTL)}},
            {kTR, {0, 0, w(kTR), band(kTR)}, {0, band(kTR), w(kTR), h(kTR) - band(kTR)}},
            {kL, {0, 0, band(kL), h(kL)}, {band(kL), 0, w(kL) - band(kL), h(kL)}},
            {kR, {w(kR) - band(kR), 0, band(kR), h(kR)}, {0, 0, w(kR) - band(kR), h(kR)}},
            {kBL, {0, h(kBL) - band(kBL), w(kBL), band(kBL)}, {0, 0, w(kBL), h(kBL) - band(kBL)}},
            {kB, {0, h(kB) - band(kB), w(kB), band(kB)}, {0, 0, w(kB), h(kB) - band(kB)}},
            {kBR, {0, h(kBR) - band(kBR), w(kBR), band(kBR)}, {0, 0, w(kBR), h(kBR) - band(kBR)}},
        };
        for (const Band& b : bands) {
            SCOPED_TRACE(kPieceSets[b.piece]);
            ASSERT_GT(b.inner.w, 0);
            ASSERT_GT(b.inner.h, 0);
            EXPECT_TRUE(CoverOf(piece[b.piece], b.edge.x, b.edge.y, b.edge.w, b.edge.h).allOpaque);
            EXPECT_TRUE(CoverOf(piece[b.piece], b.inner.x, b.inner.y, b.inner.w, b.inner.h).anyClear);
        }

        // The bar: two looks of one size inside the top-right band, clear of the exit button.
        Held bar(app, "LevelProgress");
        ASSERT_NE(bar.Frame(1), nullptr);
        Surface* bar0 = bar.Frame(0);
        EXPECT_EQ(bar0->GetWidth(), bar.Frame(1)->GetWidth());
        EXPECT_EQ(bar0->GetHeight(), bar.Frame(1)->GetHeight());
        Box barBox{ints[kLayoutProgressX], ints[kLayoutProgressY], bar0->GetWidth(), bar0->GetHeight()};
        EXPECT_GE(barBox.x, w(kTL));
        EXPECT_GE(barBox.y, 0);
        EXPECT_LE(barBox.y + barBox.h, band(kTR));
        auto exitImage = std::unique_ptr<Surface>(
            LoadImage(&app, (std::string(app.GetImageFolder().CStr()) + "ui\\exit_0").c_str(), nullptr).value);
        ASSERT_NE(exitImage, nullptr);
        Box exitBox{W - exitImage->GetWidth(), 0, exitImage->GetWidth(), exitImage->GetHeight()};
        EXPECT_FALSE(barBox.Overlaps(exitBox));

        // Three spare lives in a row stand in the top-left band.
        Held lives(app, "LivesFrog");
        ASSERT_NE(lives.Frame(0), nullptr);
        EXPECT_LE(ints[kLayoutLivesX] + 2 * ints[kLayoutLivesSpacing] + lives.Frame(0)->GetWidth(), w(kTL));
        EXPECT_LE(ints[kLayoutLivesY] + lives.Frame(0)->GetHeight(), band(kTL));
        EXPECT_GE(ints[kLayoutLivesY], 0);
        Held tap(app, "Tap");
        EXPECT_NE(tap.Frame(0), nullptr);

        // The widest caption and a seven-digit score share the top-right piece left of the bar,
        // in every language: door 15 place 5, or a rank's short name and level 99.
        Font* font = app.GetSmallFont();
        ASSERT_NE(font, nullptr);
        StringTable* table = app.GetLanguageTable();
        std::vector<std::string> captions;
        for (const std::string& lvl : TextsOf(table, "STR_LVL"))
            captions.push_back(FormatText((lvl + " %d").c_str(), {15}).CStr() + std::string("-5"));
        for (int rank = 0; rank < 4; ++rank)
            for (const std::string& name : TextsOf(table, "STR_GAUNT_RANK_SHORT_1", rank))
                captions.push_back(name + " 99");
        int scoreLeft = ints[kLayoutScoreRight] - font->MeasureText("1,234,567");
        EXPECT_LE(ints[kLayoutScoreRight], barBox.x);
        for (const std::string& caption : captions) {
            int width = font->MeasureText(caption.c_str());
            int left = ints[kLayoutLevelCaptionX] - width / 2;
            EXPECT_GE(left, w(kTL)) << caption;
            EXPECT_LT(left + width, scoreLeft) << caption;
        }
        // In survival the caption takes the lives' place, centred in the top-left piece.
        for (const std::string& survival : TextsOf(table, "keloui_rad_survival")) {
            int width = font->MeasureText(survival.c_str());
            EXPECT_GE(ints[kLayoutSurvivalCaptionX] - width / 2, 0) << survival;
            EXPECT_LE(ints[kLayoutSurvivalCaptionX] + (width + 1) / 2, w(kTL)) << survival;
        }

        // The menu button sits in a bottom corner, over no piece's text, bar or the exit button.
        ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
        ScriptWidget* menu = ScriptWidget::FindByName(app.GetStartMenu(), "btn_menu");
        ASSERT_NE(menu, nullptr);
        Point at;
        menu->GetPosition(at);
        Size size;
        menu->GetPreferredSize(size);
        Box menuBox{at.x, at.y, size.w, size.h};
        EXPECT_EQ(menuBox.y + menuBox.h, H);
        EXPECT_TRUE(menuBox.x == 0 || menuBox.x + menuBox.w == W) << menuBox.x;
        EXPECT_GT(menuBox.w, 0);
        EXPECT_FALSE(menuBox.Overlaps(Box{0, 0, W, h(kTR)}));
        EXPECT_FALSE(menuBox.Overlaps(exitBox));
    }
}

TEST(ShippedGameplayData, PauseDialogHoldsTheBoardsCommandsAndBindsNone)
{
    ShippedApp app(640, 480);
    ASSERT_TRUE(app.LoadLanguageTable());
    UiLayoutParser parser;
    std::unique_ptr<UiLayout> layout(UiLayout::LoadFile(parser, &app, "keloui.txt").value);
    ASSERT_NE(layout, nullptr);
    auto kind = [&](const char* name) {
        const WidgetDesc* desc = layout->FindDesc(name);
        return desc ? desc->type : -1;
    };
    auto* root = dynamic_cast<DialogDesc*>(layout->FindDesc("root_gameplay"));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->type, kDescRoot);
    EXPECT_EQ(kind("btn_menu"), kDescButton);
    auto* pause = dynamic_cast<DialogDesc*>(layout->FindDesc("dlg_pause"));
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(pause->type, kDescDialog);
    std::set<std::string> children;
    for (int i = 0; i < pause->ChildCount(); ++i)
        children.insert(pause->ChildAt(i)->name.CStr());
    const std::pair<const char*, int> wanted[] = {{"tuner_Sound", kDescTuner},       {"tuner_Music", kDescTuner},
                                                  {"chk_mute", kDescCheckBox},       {"btn_pause_resume", kDescButton},
                                                  {"btn_replay_replay", kDescButton}, {"btn_pause_menu", kDescButton}};
    for (const auto& [name, type] : wanted) {
        EXPECT_TRUE(children.count(name)) << name;
        EXPECT_EQ(kind(name), type) << name;
    }

    // The pause opens by the action the board runs and closes by the resume button, bound on the
    // board's own root; the board's commands reach the board from every dialog.
    const UiAction* open = layout->FindAction("acn_pause_on");
    ASSERT_NE(open, nullptr);
    bool creates = false;
    for (int s = 0; s < open->StepCount(); ++s)
        creates = creates || (open->StepAt(s)->kind == kStepCreate && SameText(open->StepAt(s)->target.CStr(), "dlg_pause"));
    EXPECT_TRUE(creates);
    bool resumes = false;
    for (int b = 0; b < root->BindingCount(); ++b) {
        if (!SameText(root->BindingAt(b)->command.CStr(), "btn_pause_resume"))
            continue;
        const UiAction* close = layout->FindAction(root->BindingAt(b)->action.CStr());
        for (int s = 0; close && s < close->StepCount(); ++s)
            resumes = resumes || (close->StepAt(s)->kind == kStepDestroy &&
                                  SameText(close->StepAt(s)->target.CStr(), "dlg_pause"));
    }
    EXPECT_TRUE(resumes);
    for (int i = 0; i < layout->DescCount(); ++i) {
        auto* dialog = dynamic_cast<DialogDesc*>(layout->DescAt(i));
        for (int b = 0; dialog && b < dialog->BindingCount(); ++b)
            for (const char* board : {"btn_menu", "btn_pause_menu", "btn_replay_replay"})
                EXPECT_FALSE(SameText(dialog->BindingAt(b)->command.CStr(), board))
                    << dialog->name.CStr() << " binds " << board;
    }
}

TEST(ShippedGameplayData, BoardTextsTakeTheirNumbersInEveryLanguage)
{
    ShippedApp app(640, 480);
    ASSERT_TRUE(app.LoadLanguageTable());
    StringTable* table = app.GetLanguageTable();
    ASSERT_GE(table->GetLanguageCount(), 4);
    // Formats of one number: the number shows and no sign of the format is left.
    for (const char* key : {"STR_COMBO", "STR_CHAIN", "STR_COIN_BONUS"})
        for (const std::string& text : TextsOf(table, key)) {
            std::string filled = FormatText(text.c_str(), {4321}).CStr();
            EXPECT_NE(filled.find("4321"), std::string::npos) << key << ": " << text;
            EXPECT_EQ(filled.find('%'), std::string::npos) << key << ": " << text;
        }
    // Texts a format is appended to: a '%' in them would eat the board's number.
    std::vector<std::pair<const char*, int>> plain = {{"STR_LEVEL", 0}, {"STR_LVL", 0}, {"keloui_rad_survival", 0}};
    for (int rank = 0; rank < 4; ++rank) {
        plain.push_back({"STR_GAUNT_RANK_1", rank});
        plain.push_back({"STR_GAUNT_RANK_SHORT_1", rank});
    }
    for (const auto& [key, offset] : plain)
        for (const std::string& text : TextsOf(table, key, offset)) {
            EXPECT_FALSE(text.empty()) << key << " + " << offset;
            EXPECT_EQ(text.find('%'), std::string::npos) << key << ": " << text;
        }
    // The ranks are read by offset: four of them in order, and nothing else in between.
    std::vector<std::string> full, shorts;
    for (int rank = 0; rank < 4; ++rank) {
        full.push_back(TextsOf(table, "STR_GAUNT_RANK_1", rank)[0]);
        shorts.push_back(TextsOf(table, "STR_GAUNT_RANK_SHORT_1", rank)[0]);
    }
    for (int rank = 0; rank < 4; ++rank) {
        std::string key = "STR_GAUNT_RANK_" + std::to_string(rank + 1);
        EXPECT_EQ(full[rank], TextsOf(table, key.c_str())[0]) << key;
        key = "STR_GAUNT_RANK_SHORT_" + std::to_string(rank + 1);
        EXPECT_EQ(shorts[rank], TextsOf(table, key.c_str())[0]) << key;
    }
    EXPECT_EQ(std::set<std::string>(full.begin(), full.end()).size(), 4u);
}
