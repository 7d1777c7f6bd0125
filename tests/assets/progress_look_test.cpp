// The door complete, temple complete and end screens at every resolution on the shipped data:
// the temple's dialog and the won statistics fit in every language beside the circling guardian
// and frog, and frames of each screen go to look/progress_<W>x<H>_<what>.png: the walk in its
// first text phase and at rest, the quake pieces and the slide on their way, the phrases half
// typed, the statistics and the epilogue.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/trig_table.h"
#include "engine/ui/string_table.h"
#include "flows/layout_check.h"
#include "game/app/game_keys.h"
#include "game/screens/end_screen.h"
#include "game/screens/stage_complete_screen.h"
#include "game/screens/temple_complete_screen.h"
#include "game/screens/typewriter_label.h"
#include "progress_app.h"
#include "support/widget_box.h"

namespace {

void Shot(ProgressApp& app, const ShippedResolution& r, const std::string& what)
{
    app.Draw();
    std::string path = std::string(KELO_LOOK_DIR) + "/progress_" + ShippedName(r) + "_" + what + ".png";
    EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), path)) << path;
}

// The box a sprite set's first frame covers anywhere on an orbit round the centre.
Box OrbitBox(GameApp& app, const char* set, int cx, int cy, int radius)
{
    ResourceEntry* entry = nullptr;
    Box box{cx, cy, 0, 0};
    if (app.AcquireSprite(entry, set) && entry->GetFrame(0)) {
        Surface* frame = entry->GetFrame(0);
        int w = frame->GetWidth(), h = frame->GetHeight();
        box = Box{cx - radius - w / 2, cy - radius - h / 2, w + 2 * radius, h + 2 * radius};
    }
    app.ReleaseSprite(entry);
    return box;
}

TempleCompleteScreen* TempleAt(ProgressApp& app, int stage)
{
    app.Player(stage, 2);
    if (app.ShowScreen(kSlotTempleComplete).failed())
        return nullptr;
    app.Settle();
    app.Update();
    return app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
}

// Updates until the dialog has faded in, as the player sees it.
void FadeIn(ProgressApp& app, ScriptWidget* dialog)
{
    for (int i = 0; i < 200 && (!dialog->IsVisible() || dialog->GetEffectiveAlpha() < kAlphaOpaque); ++i)
        app.Update();
}

}  // namespace

TEST(ProgressLook, TempleWordsAndStatisticsFitBesideTheOrbitsInEveryLanguage)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ProgressApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        const LayoutTable& table = app.GetLayoutTable();
        int radius = table.ints[kLayoutOrbitRadius];
        Box head = OrbitBox(app, "head", table.ints[kLayoutOrbit1X], table.ints[kLayoutOrbit1Y], radius);
        Box frog = OrbitBox(app, "FrogAll", table.ints[kLayoutOrbit2X], table.ints[kLayoutOrbit2Y], radius);
        Box screen{0, 0, r.width, r.height};
        EXPECT_TRUE(head.Inside(screen)) << head.x << "," << head.y << " " << head.w << "x" << head.h;
        EXPECT_TRUE(frog.Inside(screen)) << frog.x << "," << frog.y << " " << frog.w << "x" << frog.h;
        StringTable* languages = app.GetLanguageTable();
        for (int language = 0; language < languages->GetLanguageCount(); ++language) {
            SCOPED_TRACE("language " + std::to_string(language));
            ASSERT_TRUE(languages->SelectLanguage(language));
            for (int stage : {16, 31, 46, 76, 77}) {
                for (int finished = 0; finished < 2; ++finished) {
                    SCOPED_TRACE("stage " + std::to_string(stage));
                    app.GetProfiles()->CurrentPlayer()->adventureFinished = static_cast<uint8_t>(finished);
                    TempleCompleteScreen* temple = TempleAt(app, stage);
                    ASSERT_NE(temple, nullptr);
                    ScriptWidget* dialog = ScriptWidget::FindByName(temple, "dlg_temple_complete");
                    ASSERT_NE(dialog, nullptr);
                    FadeIn(app, dialog);
                    for (int i = 0; i < 3; ++i)
                        ScriptWidget::FindByName(dialog, ("txt_temple_phrase" + std::to_string(i + 1)).c_str())->Show();
                    ExpectLaidOutWith(&app, dialog, ShippedName(r) + " language " + std::to_string(language) +
                                                        " stage " + std::to_string(stage));
                    Box box = BoxOf(dialog);
                    EXPECT_FALSE(box.Overlaps(head)) << "the guardian circles over the words";
                    EXPECT_FALSE(box.Overlaps(frog)) << "the frog circles over the words";
                }
            }
            TempleCompleteScreen* won = TempleAt(app, 77);
            ASSERT_NE(won, nullptr);
            won->ShowWonStats();
            ScriptWidget* stats = ScriptWidget::FindByName(won, "dlg_won_stats");
            ASSERT_NE(stats, nullptr);
            FadeIn(app, stats);
            // The widest values the statistics can hold.
            for (const char* name : {"txt_stats_combos", "txt_stats_coins", "txt_stats_gaps", "txt_stats_maxchain",
                                     "txt_stats_maxcombo", "txt_stats_extralife_val"}) {
                auto* value = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(stats, name));
                ASSERT_NE(value, nullptr) << name;
                value->SetText(std::string(name) == "txt_stats_extralife_val" ? "250000" : "99999");
                value->Relayout();
            }
            ExpectLaidOutWith(&app, stats, ShippedName(r) + " language " + std::to_string(language) + " won");
        }
    }
}

TEST(ProgressLook, FramesOfEveryScreenAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ProgressApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        std::srand(7);

        // The walk: the caption half typed, then at rest with both texts.
        app.Player(6);
        ASSERT_TRUE(app.ShowScreen(kSlotStageComplete).ok());
        auto* stage = app.Shown<StageCompleteScreen>(kSlotStageComplete);
        ASSERT_NE(stage, nullptr);
        app.Settle();
        int length = static_cast<int>(stage->GetStageText().Length());
        for (int i = 0; i < 400 && !(stage->GetPhase() == 1 && stage->GetPulseCount() >= (length + 1) / 2); ++i)
            app.Update();
        EXPECT_EQ(stage->GetPhase(), 1);
        Shot(app, r, "stage_phase1");
        for (int i = 0; i < 400 && stage->GetPhase() < 4; ++i)
            app.Update();
        for (int i = 0; i < 30; ++i)
            app.Update();
        EXPECT_EQ(stage->GetPhase(), 4);
        Shot(app, r, "stage_phase4");

        // The quake: the pieces of the picture on their way out as the next level draws them.
        app.OnKey(kKeyAction, true);
        app.OnKey(kKeyAction, false);
        ASSERT_EQ(app.GetTransition().kind, kTransitionQuake);
        Surface* display = app.GetScreenSurface();
        display->Clear(0, 0, 0);
        for (int i = 0; i < 4; ++i) {
            Surface* piece = app.GetQuakeImage(i);
            ASSERT_NE(piece, nullptr);
            FixedVec2 at = app.QuakePosition(i);
            for (int step = 0; step < 6; ++step)
                at.AddAssign(app.QuakeSpeed(i));
            piece->Draw(display, at.x.ToInt(), at.y.ToInt(), piece->GetWidth(), piece->GetHeight(), 0, 0);
        }
        ResourceEntry* frog = nullptr;
        if (app.AcquireSprite(frog, "FrogAll") && frog->GetFrame(0))
            app.GetRenderer()->DrawRotated(frog->GetFrame(0), display, app.GetTransition().start.x,
                                           app.GetTransition().start.y, app.GetTransition().angle.raw,
                                           app.GetTransition().scale);
        app.ReleaseSprite(frog);
        std::string path = std::string(KELO_LOOK_DIR) + "/progress_" + ShippedName(r) + "_quake.png";
        EXPECT_TRUE(WriteScreenPng(display, path));

        // The slide: after door 3 the temple complete screen fades in under the sliding pieces.
        app.Player(16);
        ASSERT_TRUE(app.ShowScreen(kSlotStageComplete).ok());
        app.Settle();
        for (int i = 0; i < 120; ++i)
            app.Update();
        app.OnPointer(3, 3, 1);
        for (int i = 0; i < 14; ++i)
            app.Update();
        auto* temple = app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
        ASSERT_NE(temple, nullptr);
        EXPECT_TRUE(temple->IsScreenFadingIn());
        Shot(app, r, "slide");

        // The phrases: the guardian's words typed, the frog's half way.
        app.Player(76);
        temple = TempleAt(app, 76);
        ASSERT_NE(temple, nullptr);
        auto* dialog = dynamic_cast<TempleCompleteDialog*>(ScriptWidget::FindByName(temple, "dlg_temple_complete"));
        ASSERT_NE(dialog, nullptr);
        TypewriterLabel* frogWords = dialog->GetPhrase(2);
        for (int i = 0; i < 600 && !(frogWords->IsVisible() && frogWords->GetTyped()->GetShown().ToInt() >=
                                                                     frogWords->GetTyped()->GetTotal() / 2);
             ++i)
            app.Update();
        Shot(app, r, "temple_phrases");
        for (int i = 0; i < 400; ++i)
            app.Update();
        Shot(app, r, "temple_done");

        // The won statistics.
        temple = TempleAt(app, 77);
        ASSERT_NE(temple, nullptr);
        ModeProgress& progress = *app.GetProfiles()->CurrentPlayer()->CurrentModeProgress();
        progress.score = 1234567;
        progress.totalFrames = 33 * 5432;
        progress.totalCombos = 321;
        progress.totalCoins = 17;
        progress.gapShots = 45;
        progress.bestChain = 12;
        progress.bestCombo = 6;
        temple->ShowWonStats();
        for (int i = 0; i < 30; ++i)
            app.Update();
        Shot(app, r, "won_stats");

        // The end, its text well into the rectangle.
        ASSERT_TRUE(app.ShowScreen(kSlotEnd).ok());
        app.Settle();
        for (int i = 0; i < 260; ++i)
            app.Update();
        Shot(app, r, "end");
    }
}
