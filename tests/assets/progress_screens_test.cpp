// The door complete, temple complete and end screens on the shipped data: where the walk goes and
// when it ends, the transitions a press starts, what a resume record holds and what it refuses,
// the phrases' order, the lives bonus and the won adventure's high score.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/format_text.h"
#include "engine/graphics/fill_lines.h"
#include "engine/graphics/font.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/play/curve_file.h"
#include "game/play/game_hud.h"
#include "game/screens/end_screen.h"
#include "game/screens/stage_complete_screen.h"
#include "game/screens/temple_complete_screen.h"
#include "game/screens/typewriter_label.h"
#include "game/tables/map_info.h"
#include "progress_app.h"

namespace {

std::string Text(GameApp& app, const char* key, int offset = 0)
{
    String out;
    app.GetLanguageTable()->LookupOffset(out, key, offset);
    return out.CStr() ? out.CStr() : "";
}

std::string Saved(StageCompleteScreen* screen)
{
    PackMemoryFile stream;
    if (!stream.Allocate(256) || !screen->Serialize(&stream, true))
        return "";
    std::string bytes(static_cast<size_t>(stream.Tell()), '\0');
    stream.Seek(0, kSeekStart);
    stream.Read(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

std::vector<int32_t> Words(const std::string& bytes)
{
    std::vector<int32_t> words;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        uint32_t v = 0;
        for (int b = 0; b < 4; ++b)
            v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + b])) << (8 * b);
        words.push_back(static_cast<int32_t>(v));
    }
    return words;
}

// The door complete screen of a player at the stage, made and done fading in; null on failure.
StageCompleteScreen* RestingStage(ProgressApp& app, int stage)
{
    if (!app.Ready())
        return nullptr;
    app.Player(stage);
    if (app.ShowScreen(kSlotStageComplete).failed())
        return nullptr;
    auto* screen = app.Shown<StageCompleteScreen>(kSlotStageComplete);
    if (screen)
        screen->ClearScreenFadingIn();
    return screen;
}

// Pixels of the frame's edge bands on the display that differ from the display's pieces (the
// bands are copied whole every frame; the progress bar stands over one), and in *shown those that
// differ from the picture under them, so a frame left out cannot pass for one drawn.
int FrameMisses(GameApp& app, const GameHud& hud, const Surface* display, const Surface* under, int* shown)
{
    const int kRect[GameHud::kPieces] = {0, 2, 3, 5, 6, 7, 8};
    const Surface* bar = hud.GetBarImage(0);
    if (!bar)
        return -1;
    Rect barAt{app.GetLayoutTable().ints[kLayoutProgressX], app.GetLayoutTable().ints[kLayoutProgressY],
               bar->GetWidth(), bar->GetHeight()};
    int misses = 0;
    *shown = 0;
    for (int i = 0; i < GameHud::kPieces; ++i) {
        const Surface* piece = hud.GetCachedPiece(i);
        if (!piece)
            return -1;
        const Rect& at = hud.GetTouchRect(kRect[i]);
        int w = piece->GetWidth(), h = piece->GetHeight(), band = app.GetLayoutTable().ints[kLayoutFrameBands + i];
        // Top pieces lie along the top edge, the sides along theirs, the rest along the bottom.
        Rect edge = i <= 1 ? Rect{0, 0, w, band}
                  : i == 2 ? Rect{0, 0, band, h}
                  : i == 3 ? Rect{w - band, 0, band, h}
                           : Rect{0, h - band, w, band};
        for (int y = edge.y; y < edge.y + edge.h; ++y)
            for (int x = edge.x; x < edge.x + edge.w; ++x) {
                int sx = at.x + x, sy = at.y + y;
                if (sx < 0 || sy < 0 || sx >= display->GetWidth() || sy >= display->GetHeight())
                    continue;
                if (sx >= barAt.x && sx < barAt.x + barAt.w && sy >= barAt.y && sy < barAt.y + barAt.h)
                    continue;
                uint16_t want = piece->GetPixels()[y * piece->GetRawWidth() + x];
                uint16_t got = display->GetPixels()[sy * display->GetRawWidth() + sx];
                misses += got != want;
                *shown += under && under->GetPixels()[sy * under->GetRawWidth() + sx] != want;
            }
    }
    return misses;
}

}  // namespace

// After door 1 (stage 5 won, stage 6 next) the caption names door 1, the frog starts where the
// level had it in this screen's pixels, and a press goes on to stage 6 with the quake.
TEST(StageComplete, ShowsTheDoorAndQuakesOnToTheNextStage)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ProgressApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        app.Player(6);
        app.GetTransition().angle = Fixed::FromInt(90);
        ASSERT_TRUE(app.OnEvent(nullptr, kEventStageComplete, nullptr, 0));
        auto* screen = app.Shown<StageCompleteScreen>(kSlotStageComplete);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(std::string(screen->GetStageText().CStr()), Text(app, "STR_STAGE") + " 1");
        EXPECT_EQ(screen->GetAngle(), Fixed::FromInt(90));

        const MapInfo& map = app.GetLevelTables().maps[AdventureStageMap(5)];
        float x = map.frogX, y = map.frogY;
        MapDesignPoint(DesignMappingOf(&app), x, y);
        EXPECT_NEAR(screen->GetFrog().x.ToDouble(), x, 0.01);
        EXPECT_NEAR(screen->GetFrog().y.ToDouble(), y, 0.01);
        // On the screen, the smallest one included.
        EXPECT_TRUE(x >= 0 && x < r.width && y >= 0 && y < r.height) << x << "," << y;

        // A press while the screen fades in does nothing at all.
        ASSERT_TRUE(screen->IsScreenFadingIn());
        EXPECT_TRUE(app.OnKey(kKeyAction, true));
        app.OnKey(kKeyAction, false);
        EXPECT_FALSE(screen->HasContinued());
        EXPECT_EQ(app.GetTransition().kind, kTransitionFade);
        app.Settle();
        ASSERT_EQ(app.Shown<StageCompleteScreen>(kSlotStageComplete), screen);
        for (int i = 0; i < 20; ++i)
            app.Update();
        FixedVec2 frog = screen->GetFrog();

        EXPECT_TRUE(app.OnKey(kKeyAction, true));
        EXPECT_TRUE(screen->HasContinued());
        ScreenTransition& transition = app.GetTransition();
        EXPECT_EQ(transition.kind, kTransitionQuake);
        EXPECT_TRUE(transition.quake);
        EXPECT_EQ(transition.quakeCountdown, 22);
        EXPECT_EQ(transition.start, frog);
        EXPECT_EQ(transition.end, frog);
        EXPECT_EQ(transition.scale, screen->GetScale());
        for (int i = 0; i < 4; ++i)
            EXPECT_NE(app.GetQuakeImage(i), nullptr);
        // Releases and further presses change nothing; the screen leaves once, for stage 6.
        app.OnKey(kKeyAction, false);
        app.OnPointer(10, 10, 1);
        app.OnKey(kKeyAction, true);
        EXPECT_EQ(transition.quakeCountdown, 22);
        app.Update();
        EXPECT_EQ(app.reached, (std::vector<int>{kEventStageComplete, kEventPlayLevel}));
    }
}

// After door 3 the temple changes: the slide; so after the final stage. Doors inside a temple
// quake.
TEST(StageComplete, SlidesToTheTempleWhenTheNextDoorIsInAnother)
{
    ProgressApp app(320, 240);
    ASSERT_TRUE(app.Ready());
    struct Case {
        int stage, code, kind;
    } cases[] = {{16, kEventTempleComplete, kTransitionSlide},
                 {77, kEventTempleComplete, kTransitionSlide},
                 {76, kEventTempleComplete, kTransitionSlide},
                 {11, kEventPlayLevel, kTransitionQuake},
                 {22, kEventPlayLevel, kTransitionQuake}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stage);
        app.reached.clear();
        app.Player(c.stage);
        ASSERT_TRUE(app.ShowScreen(kSlotStageComplete).ok());
        app.Settle();
        auto* screen = app.Shown<StageCompleteScreen>(kSlotStageComplete);
        ASSERT_NE(screen, nullptr);
        app.OnPointer(5, 5, 1);
        EXPECT_EQ(app.GetTransition().kind, c.kind);
        if (c.kind == kTransitionSlide) {
            EXPECT_EQ(app.GetTransition().rate.raw, 3277);
        }
        app.Update();
        ASSERT_FALSE(app.reached.empty());
        EXPECT_EQ(app.reached.back(), c.code);
    }
}

// The quake pieces are cut from the picture without the frog, which flies on over them.
TEST(StageComplete, CapturesThePictureWithoutTheFrog)
{
    ProgressApp app(640, 480);
    StageCompleteScreen* screen = RestingStage(app, 6);
    ASSERT_NE(screen, nullptr);
    Surface* display = app.GetScreenSurface();
    auto copy = [&]() {
        return std::vector<uint16_t>(display->GetPixels(), display->GetPixels() + display->GetRawWidth() * 480);
    };
    ASSERT_TRUE(screen->DrawCapture(display));
    std::vector<uint16_t> capture = copy();
    screen->Draw();
    std::vector<uint16_t> drawn = copy();
    int fx = screen->GetFrog().x.ToInt(), fy = screen->GetFrog().y.ToInt();
    // The line that says how to go on is a widget, drawn over the picture but not part of it.
    ScriptWidget* press = ScriptWidget::FindByName(screen, "txt_stage_press");
    ASSERT_NE(press, nullptr);
    Point pressAt;
    press->GetPosition(pressAt);
    size_t differ = 0, far = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            size_t i = static_cast<size_t>(y) * display->GetRawWidth() + x;
            if (capture[i] == drawn[i])
                continue;
            ++differ;
            if ((std::abs(x - fx) > 70 || std::abs(y - fy) > 70) && y < pressAt.y)
                ++far;
        }
    EXPECT_GT(differ, 1000u) << "the frog is drawn on the screen";
    EXPECT_EQ(far, 0u) << "and nothing else differs";
}

// The frame of the game goes on over the darkening picture: its caption names the stage just won,
// its score the finished stages' score, and its edges stand in the picture the quake is cut from.
TEST(StageComplete, KeepsTheFrameCaptionAndScoreOverThePicture)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ProgressApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        app.Player(6).score = 1234567;
        ASSERT_TRUE(app.ShowScreen(kSlotStageComplete).ok());
        auto* screen = app.Shown<StageCompleteScreen>(kSlotStageComplete);
        ASSERT_NE(screen, nullptr);
        GameHud* hud = screen->GetHud();
        ASSERT_NE(hud, nullptr);
        EXPECT_EQ(std::string(hud->GetCaption().CStr()), Text(app, "STR_LVL") + " 1-5");
        EXPECT_EQ(std::string(hud->GetScoreText().CStr()), "1,234,567");
        // Walked on until the veil is at its darkest, so no band can show through by chance.
        screen->ClearScreenFadingIn();
        for (int i = 0; i < 70; ++i)
            screen->Update();
        Surface* display = app.GetScreenSurface();
        ASSERT_TRUE(screen->DrawCapture(display));
        int shown = 0;
        EXPECT_EQ(FrameMisses(app, *hud, display, screen->GetBackground(), &shown), 0);
        EXPECT_GT(shown, 0) << "the bands differ from the picture under them";
    }
}

// Once the veil is at its darkest the screen rests for seconds; the picture under the frame is the
// background darkened whole, at every size, however it is drawn from then on.
TEST(StageComplete, RestingPictureIsTheBackgroundDarkenedWhole)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ProgressApp app(r.width, r.height);
        StageCompleteScreen* screen = RestingStage(app, 6);
        ASSERT_NE(screen, nullptr);
        // A walk too long to end here: no text is typed over the picture yet.
        FixedVec2 far[StageCompleteScreen::kWaypoints];
        for (FixedVec2& waypoint : far)
            waypoint = FixedVec2(Fixed::FromInt(5000), Fixed::FromInt(5000));
        screen->SetWalk(screen->GetFrog(), far, 0);
        Surface* display = app.GetScreenSurface();
        const size_t size = size_t(display->GetRawWidth()) * display->GetRawHeight();
        std::vector<uint16_t> drawn;
        for (int frame = 0; frame < 3; ++frame) {
            for (int i = 0; i < 70; ++i)
                screen->Update();
            ASSERT_EQ(screen->GetDim(), StageCompleteScreen::kDimMax);
            ASSERT_TRUE(screen->DrawCapture(display));
            drawn.assign(display->GetPixels(), display->GetPixels() + size);
            Surface* background = screen->GetBackground();
            background->Draw(display, 0, 0, background->GetWidth(), background->GetHeight(), 0, 0);
            FillRectRotatedBlend(&app, display, 0, 0, display->GetWidth(), display->GetHeight(), 0, 0, 0,
                                 StageCompleteScreen::kDimMax);
            screen->GetHud()->Draw(display);
            EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), display->GetPixels())) << "frame " << frame;
        }
    }
}

// The walk: a target 1 pixel to the side over 300 pixels down gives the side a speed that rounds
// to 0; that side counts as there, so the walk goes on instead of waiting for ever.
TEST(StageComplete, WalkEndsOnAnAxisTooShortToMove)
{
    ProgressApp app(640, 480);
    StageCompleteScreen* screen = RestingStage(app, 6);
    ASSERT_NE(screen, nullptr);
    FixedVec2 points[4] = {FixedVec2(Fixed::FromInt(101), Fixed::FromInt(300)),
                           FixedVec2(Fixed::FromInt(400), Fixed::FromInt(300)),
                           FixedVec2(Fixed::FromInt(400), Fixed::FromInt(100)),
                           FixedVec2(Fixed::FromInt(500), Fixed::FromInt(100))};
    screen->SetWalk(FixedVec2(Fixed::FromInt(100), Fixed()), points, 0);
    EXPECT_EQ(screen->GetVelocity().x.raw, 0);
    EXPECT_GT(screen->GetVelocity().y.raw, 0);
    // 300 pixels at the even-phase speed of 20 take 15 updates.
    int updates = 0;
    while (screen->GetPhase() == 0 && updates < 100) {
        screen->Update();
        ++updates;
    }
    EXPECT_EQ(screen->GetPhase(), 1);
    EXPECT_EQ(updates, 15);
    // Within a step of the target, as every walk ends.
    EXPECT_GE(screen->GetFrog().y, Fixed::FromInt(280));
    EXPECT_LE(screen->GetFrog().y, Fixed::FromInt(300));
    EXPECT_EQ(screen->GetFrog().x, Fixed::FromInt(100));

    // Within one step an axis arrives without overshooting; equal axes have arrived.
    Fixed p = Fixed::FromInt(10);
    EXPECT_FALSE(StageCompleteScreen::StepAxis(p, Fixed::FromInt(30), Fixed::FromInt(8)));
    EXPECT_EQ(p, Fixed::FromInt(18));
    EXPECT_FALSE(StageCompleteScreen::StepAxis(p, Fixed::FromInt(30), Fixed::FromInt(8)));
    EXPECT_TRUE(StageCompleteScreen::StepAxis(p, Fixed::FromInt(30), Fixed::FromInt(8)));
    EXPECT_EQ(p, Fixed::FromInt(26));
    EXPECT_TRUE(StageCompleteScreen::StepAxis(p, Fixed::FromInt(26), Fixed()));
}

// The whole walk with the shipped table: the veil darkens to 128 in 64 updates, the stage text is
// typed during phase 1 and the complete text during phase 3; at rest the frog shrinks back to 1.
TEST(StageComplete, WalksThroughThePhasesRevealingTheTexts)
{
    ProgressApp app(640, 480);
    StageCompleteScreen* screen = RestingStage(app, 6);
    ASSERT_NE(screen, nullptr);
    int stageLength = static_cast<int>(screen->GetStageText().Length());
    int lastPhase = 0, maxShownInPhase1 = 0;
    for (int i = 1; i <= 400; ++i) {
        screen->Update();
        EXPECT_EQ(screen->GetDim(), std::min(2 * i, 128));
        EXPECT_GE(screen->GetPhase(), lastPhase);
        lastPhase = screen->GetPhase();
        if (lastPhase == 1)
            maxShownInPhase1 = std::max(maxShownInPhase1, screen->ShownLength(1, stageLength));
        EXPECT_GE(screen->GetScale().raw, 65536);
        EXPECT_LE(screen->GetScale().raw, 98304);
    }
    EXPECT_EQ(lastPhase, 4);
    // The letters come with the pulse: most of the caption is typed before the walk moves on.
    EXPECT_GE(maxShownInPhase1, stageLength - 1);
    EXPECT_EQ(screen->ShownLength(3, 8), 8);
    for (int i = 0; i < 600; ++i)
        screen->Update();
    EXPECT_EQ(screen->GetScale().raw, 65536);
}

// A text phase whose waypoint lies left of the one before has no pulse: its text stays hidden
// until the next phase shows it whole.
TEST(StageComplete, TextPhaseWalkingLeftTypesNothing)
{
    ProgressApp app(640, 480);
    StageCompleteScreen* screen = RestingStage(app, 6);
    ASSERT_NE(screen, nullptr);
    FixedVec2 points[4] = {FixedVec2(Fixed::FromInt(400), Fixed::FromInt(200)),
                           FixedVec2(Fixed::FromInt(100), Fixed::FromInt(200)),
                           FixedVec2(Fixed::FromInt(100), Fixed::FromInt(300)),
                           FixedVec2(Fixed::FromInt(500), Fixed::FromInt(300))};
    screen->SetWalk(points[0], points, 1);
    EXPECT_EQ(screen->GetPulseRate().raw, 0);
    EXPECT_EQ(screen->ShownLength(1, 6), 0);
    screen->SetWalk(points[2], points, 3);
    EXPECT_GT(screen->GetPulseRate().raw, 0);
}

// The record is twelve words, 48 bytes; a record with any value out of range is refused whole
// and the screen is not left behind.
TEST(StageComplete, RecordHoldsTwelveWordsAndRefusesValuesOutOfRange)
{
    ProgressApp app(400, 240);
    StageCompleteScreen* screen = RestingStage(app, 6);
    ASSERT_NE(screen, nullptr);
    for (int i = 0; i < 30; ++i)
        screen->Update();
    std::string bytes = Saved(screen);
    ASSERT_EQ(bytes.size(), 48u);
    std::vector<int32_t> words = Words(bytes);
    EXPECT_EQ(words[1], screen->GetFrog().x.raw);
    EXPECT_EQ(words[4], screen->GetPhase());
    EXPECT_EQ(words[5], 60);

    ASSERT_TRUE(app.Restore(RecordOf(kScreenIdStageComplete, words)));
    auto* restored = app.Shown<StageCompleteScreen>(kSlotStageComplete);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(Saved(restored), bytes);

    struct Bad {
        int word;
        int32_t value;
    } bad[] = {{4, -1}, {4, 5}, {5, -2}, {5, 129}, {3, 65535}, {3, 98305}, {6, -1},
               {7, -256}, {8, -1}, {9, -1}, {10, -3}};
    for (const Bad& b : bad) {
        SCOPED_TRACE(std::to_string(b.word) + " = " + std::to_string(b.value));
        std::vector<int32_t> changed = words;
        changed[static_cast<size_t>(b.word)] = b.value;
        EXPECT_FALSE(app.Restore(RecordOf(kScreenIdStageComplete, changed)));
        EXPECT_EQ(app.GetScreen(kSlotStageComplete), nullptr);
    }
    std::vector<uint8_t> shortRecord = RecordOf(kScreenIdStageComplete, words);
    shortRecord.pop_back();
    EXPECT_FALSE(app.Restore(shortRecord));
    // The edges of the ranges are taken.
    std::vector<int32_t> edges = words;
    edges[4] = 4;
    edges[5] = 128;
    edges[3] = 98304;
    EXPECT_TRUE(app.Restore(RecordOf(kScreenIdStageComplete, edges)));
}

// Once 1004 has landed the record holds the screen; after a kill, continuing brings it back.
TEST(StageComplete, ComesBackFromTheResumeRecord)
{
    ProgressApp app(320, 320);
    ASSERT_TRUE(app.Ready());
    app.Player(11);
    app.OnEvent(nullptr, kEventStageComplete, nullptr, 0);
    std::vector<uint8_t> record = app.Record();
    ASSERT_EQ(record.size(), 52u);
    EXPECT_EQ(record[0], 5);
    app.DestroyScreens();
    app.OnEvent(nullptr, kEventContinueAdventure, nullptr, 0);
    EXPECT_NE(app.Shown<StageCompleteScreen>(kSlotStageComplete), nullptr);
}

// After door 12 (stage 76 next) the last temple's guardian answers: the phrases appear in the
// order 1, 3, 2, each once the one before is typed; a press starts the final stage.
TEST(TempleComplete, TypesThePhrasesInOrderAndStartsTheFinalStage)
{
    ProgressApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.Player(76);
    app.GetProfiles()->CurrentPlayer()->adventureFinished = 0;
    ASSERT_TRUE(app.OnEvent(nullptr, kEventTempleComplete, nullptr, 0));
    auto* screen = app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
    ASSERT_NE(screen, nullptr);
    app.Settle();
    app.Update();
    auto* dialog = dynamic_cast<TempleCompleteDialog*>(ScriptWidget::FindByName(screen, "dlg_temple_complete"));
    ASSERT_NE(dialog, nullptr);
    TypewriterLabel* phrases[3] = {dialog->GetPhrase(0), dialog->GetPhrase(1), dialog->GetPhrase(2)};
    for (TypewriterLabel* phrase : phrases)
        ASSERT_NE(phrase, nullptr);
    EXPECT_EQ(std::string(phrases[0]->GetText().CStr()), Text(app, "STR_TEMPLE_COMPLETE_1_4"));
    EXPECT_EQ(std::string(phrases[1]->GetText().CStr()), Text(app, "STR_TEMPLE_COMPLETE_2_4"));
    EXPECT_EQ(std::string(phrases[2]->GetText().CStr()), Text(app, "STR_RIBBIT_ASK"));
    int shownAt[3] = {-1, -1, -1}, doneAt[3] = {-1, -1, -1};
    for (int i = 0; i < 600; ++i) {
        for (int p = 0; p < 3; ++p) {
            if (shownAt[p] < 0 && phrases[p]->IsVisible())
                shownAt[p] = i;
            if (doneAt[p] < 0 && phrases[p]->IsDone())
                doneAt[p] = i;
        }
        app.Update();
    }
    EXPECT_EQ(shownAt[0], 0);
    ASSERT_GT(doneAt[0], 0);
    EXPECT_EQ(shownAt[2], doneAt[0]);
    ASSERT_GT(doneAt[2], shownAt[2]);
    EXPECT_EQ(shownAt[1], doneAt[2]);
    EXPECT_GT(doneAt[1], shownAt[1]);
    // Typed from the delay on, a character an update.
    int length = static_cast<int>(phrases[2]->GetTyped()->GetTotal());
    EXPECT_EQ(doneAt[2] - shownAt[2], TypewriterText::kDelay + length);

    app.OnKey(kKeyAction, true);
    app.OnKey(kKeyAction, true);
    for (int i = 0; i < 12; ++i)
        app.Update();
    EXPECT_EQ(app.reached, (std::vector<int>{kEventTempleComplete, kEventPlayLevel}));
}

// The frame stays over everything the temple screen draws, the dialog and the slide included,
// with the score as the adventure had it before the lives bonus.
TEST(TempleComplete, DrawsTheFrameOfTheGameLast)
{
    for (int width : {640, 240}) {
        SCOPED_TRACE(width);
        ProgressApp app(width, width == 640 ? 480 : 240);
        ASSERT_TRUE(app.Ready());
        app.Player(77, 2).score = 105000;  // with the bonus of two lives
        ASSERT_TRUE(app.OnEvent(nullptr, kEventTempleComplete, nullptr, 0));
        auto* screen = app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
        ASSERT_NE(screen, nullptr);
        GameHud* hud = screen->GetHud();
        ASSERT_NE(hud, nullptr);
        EXPECT_EQ(std::string(hud->GetScoreText().CStr()), "5,000");
        EXPECT_EQ(std::string(hud->GetCaption().CStr()), Text(app, "STR_LVL") + " 13-1");
        app.Settle();
        for (int i = 0; i < 30; ++i)
            app.Update();
        Surface* display = app.GetScreenSurface();
        screen->Draw();
        int shown = 0;
        EXPECT_EQ(FrameMisses(app, *hud, display, nullptr, &shown), 0);
    }
}

// After temple 1 a press goes back to the map; the frog's phrase is the plain one, or for a
// player who has finished the adventure before, the exclaiming one with the temple's sentence.
TEST(TempleComplete, AfterTheFirstTempleGoesBackToTheMap)
{
    ProgressApp app(240, 240);
    ASSERT_TRUE(app.Ready());
    app.Player(16);
    for (int finished = 0; finished < 2; ++finished) {
        app.GetProfiles()->CurrentPlayer()->adventureFinished = static_cast<uint8_t>(finished);
        app.reached.clear();
        ASSERT_TRUE(app.ShowScreen(kSlotTempleComplete).ok());
        auto* screen = app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
        ASSERT_NE(screen, nullptr);
        app.Settle();
        app.Update();
        auto* dialog = dynamic_cast<TempleCompleteDialog*>(ScriptWidget::FindByName(screen, "dlg_temple_complete"));
        ASSERT_NE(dialog, nullptr);
        std::string frog = dialog->GetPhrase(2)->GetText().CStr();
        std::string expected = finished ? Text(app, "STR_RIBBIT_EXCLAIM") + " " + Text(app, "STR_TEMPLE_COMPLETE_F_1")
                                        : Text(app, "STR_RIBBIT");
        EXPECT_EQ(frog, expected);
        EXPECT_EQ(std::string(dialog->GetPhrase(1)->GetText().CStr()), " ");
        EXPECT_EQ(std::string(dialog->GetPhrase(0)->GetText().CStr()), Text(app, "STR_TEMPLE_COMPLETE_1_1"));
        EXPECT_EQ(screen->GetLivesBonus(), 0);
        app.OnPointer(120, 120, 1);
        for (int i = 0; i < 12; ++i)
            app.Update();
        EXPECT_EQ(app.reached, (std::vector<int>{kEventAdventureMap}));
    }
}

// A press as the fade-in ends, before the guardian's dialog is up, opens nothing: the statistics
// never lie under that dialog, out of reach.
TEST(TempleComplete, APressBeforeItsDialogIsUpIsLost)
{
    ProgressApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.Player(77, 2);
    ASSERT_TRUE(app.OnEvent(nullptr, kEventTempleComplete, nullptr, 0));
    auto* screen = app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
    ASSERT_NE(screen, nullptr);
    app.Settle();
    ASSERT_EQ(ScriptWidget::FindByName(screen, "dlg_temple_complete"), nullptr);
    app.OnPointer(120, 120, 1);
    app.OnPointer(120, 120, 2);
    for (int i = 0; i < 20; ++i)
        app.Update();
    EXPECT_EQ(ScriptWidget::FindByName(screen, "dlg_won_stats"), nullptr);
    EXPECT_NE(ScriptWidget::FindByName(screen, "dlg_temple_complete"), nullptr);
}

// After the final stage with 2 lives the bonus of 100000, paid with the win, is shown and not added
// again, even when the screen comes back from its record; the statistics show it through their own
// format; their OK puts the score into the table once, deletes the record and shows the end.
TEST(TempleComplete, WonAdventureAddsTheBonusOnceAndRecordsTheScoreOnce)
{
    ProgressApp app(800, 480);
    ASSERT_TRUE(app.Ready());
    ModeProgress& progress = app.Player(77, 2);
    progress.score = 223456;  // the bonus in it
    progress.totalFrames = 33 * 75;
    progress.totalCombos = 41;
    ASSERT_TRUE(app.OnEvent(nullptr, kEventTempleComplete, nullptr, 0));
    auto* screen = app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->GetLivesBonus(), 100000);
    EXPECT_EQ(progress.score, 223456);
    std::vector<uint8_t> record = app.Record();
    ASSERT_EQ(record.size(), 16u);
    EXPECT_EQ(record[0], 6);

    // Killed and continued: the screen comes back and adds nothing.
    app.DestroyScreens();
    ASSERT_TRUE(app.Restore(record));
    screen = app.Shown<TempleCompleteScreen>(kSlotTempleComplete);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(progress.score, 223456);
    EXPECT_EQ(screen->GetLivesBonus(), 100000);

    app.Settle();
    app.Update();
    app.OnKey(kKeyAction, true);
    app.OnKey(kKeyAction, false);
    app.OnKey(kKeyAction, true);
    app.OnKey(kKeyAction, false);
    for (int i = 0; i < 20; ++i)
        app.Update();
    ScriptWidget* stats = ScriptWidget::FindByName(screen, "dlg_won_stats");
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(ScriptWidget::FindByName(screen, "dlg_temple_complete"), nullptr);
    int opened = 0;
    for (int i = 0; i < screen->GetChildCount(); ++i)
        opened += SameText(AsScriptWidget(screen->GetChild(i))->GetName(), "dlg_won_stats") ? 1 : 0;
    EXPECT_EQ(opened, 1);
    auto label = [&](const char* name) {
        auto* text = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(stats, name));
        return text && text->GetText().CStr() ? std::string(text->GetText().CStr()) : std::string();
    };
    String format;
    app.GetLanguageTable()->Lookup(format, "STR_STATS_EXTRALIFE_VAL");
    EXPECT_EQ(label("txt_stats_extralife_val"), std::string(FormatText(format.CStr(), {100000}).CStr()));
    EXPECT_EQ(label("txt_stats_combos"), "41");
    EXPECT_EQ(label("txt_stats_total_time"), "01:15");

    screen->OnEvent(nullptr, kMsgCommand, "btn_won_stats_ok", 0);
    screen->OnEvent(nullptr, kMsgCommand, "btn_won_stats_ok", 0);
    ScoreEntry* table = app.GetProfiles()->AdventureScores();
    int found = 0;
    for (int i = 0; i < kHighScoreEntries; ++i)
        found += table[i].score == 223456 ? 1 : 0;
    EXPECT_EQ(found, 1);
    EXPECT_TRUE(app.Record().empty());
    for (int i = 0; i < 12; ++i)
        app.Update();
    EXPECT_EQ(app.reached.back(), kEventTheEnd);
    EXPECT_NE(app.Shown<EndScreen>(kSlotEnd), nullptr);
}

// The epilogue starts just below its rectangle, scrolls through it and comes back from below;
// a restored offset goes on, one outside the loop starts over; OK returns to the menu.
TEST(EndScreen, ScrollsTheEpilogueInALoop)
{
    ProgressApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.Player(77);
    ASSERT_TRUE(app.OnEvent(nullptr, kEventTheEnd, nullptr, 0));
    auto* screen = app.Shown<EndScreen>(kSlotEnd);
    ASSERT_NE(screen, nullptr);
    const Rect& rect = screen->GetTextRect();
    EXPECT_EQ(rect.x, 20);
    EXPECT_EQ(rect.h, 400);
    ASSERT_NE(screen->GetBlock(), nullptr);
    EXPECT_GT(screen->GetBlock()->GetLineCount(), 10);
    int height = screen->GetTextHeight().ToInt();
    EXPECT_GT(height, rect.h);
    EXPECT_EQ(screen->GetOffset(), Fixed::FromInt(-400));
    app.Settle();
    screen->ClearScreenFadingIn();
    int steps = (height + rect.h) / 2;
    for (int i = 0; i < steps - 1; ++i)
        screen->Update();
    EXPECT_EQ(screen->GetOffset().ToInt(), -400 + 2 * (steps - 1));
    screen->Update();
    screen->Update();
    EXPECT_LT(screen->GetOffset().ToInt(), -390) << "back below the rectangle";

    std::vector<uint8_t> record = app.Record();
    EXPECT_TRUE(record.empty()) << "no record is written for the end";
    ASSERT_TRUE(app.Restore(RecordOf(kScreenIdEnd, {Fixed::FromInt(37).raw})));
    EXPECT_EQ(app.Shown<EndScreen>(kSlotEnd)->GetOffset(), Fixed::FromInt(37));
    ASSERT_TRUE(app.Restore(RecordOf(kScreenIdEnd, {Fixed::FromInt(height).raw})));
    EXPECT_EQ(app.Shown<EndScreen>(kSlotEnd)->GetOffset(), Fixed::FromInt(-400));
    ASSERT_TRUE(app.Restore(RecordOf(kScreenIdEnd, {Fixed::FromInt(-401).raw})));
    EXPECT_EQ(app.Shown<EndScreen>(kSlotEnd)->GetOffset(), Fixed::FromInt(-400));
    EXPECT_FALSE(app.Restore(RecordOf(kScreenIdEnd, {})));
    EXPECT_EQ(app.GetScreen(kSlotEnd), nullptr);

    ASSERT_TRUE(app.Restore(RecordOf(kScreenIdEnd, {0})));
    screen = app.Shown<EndScreen>(kSlotEnd);
    ASSERT_NE(screen, nullptr);
    app.reached.clear();
    app.Settle();
    screen->OnEvent(nullptr, kMsgCommand, "btn_end_ok", 0);
    for (int i = 0; i < 12; ++i)
        app.Update();
    EXPECT_EQ(app.reached, (std::vector<int>{kEventStartMenu}));
}

// At 240x240 the step is 0: the text waits out of sight, the layout's own line says goodbye.
TEST(EndScreen, StandsStillAtTheSmallestScreen)
{
    ProgressApp app(240, 240);
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(app.ShowScreen(kSlotEnd).ok());
    auto* screen = app.Shown<EndScreen>(kSlotEnd);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->GetStep().raw, 0);
    screen->ClearScreenFadingIn();
    for (int i = 0; i < 50; ++i)
        screen->Update();
    EXPECT_EQ(screen->GetOffset().ToInt(), -screen->GetTextRect().h);
    EXPECT_NE(ScriptWidget::FindByName(screen, "txt_end_closing"), nullptr);
}

// The records the three screens write are the resume fuzz target's seeds: written here from the
// screens themselves, and the committed copies must still read back.
TEST(ProgressRecords, SeedsOfEveryScreenReadBack)
{
    ProgressApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    std::string folder = std::string(KELO_FUZZ_SEEDS) + "/fuzz_resume_screens";
    std::system(("mkdir -p '" + folder + "'").c_str());
    struct Made {
        const char* file;
        int stage, code;
    } made[] = {{"stage_complete.rec", 6, kEventStageComplete},
                {"temple_complete.rec", 77, kEventTempleComplete},
                {"end.rec", 77, kEventTheEnd}};
    for (const Made& m : made) {
        SCOPED_TRACE(m.file);
        app.Player(m.stage);
        ASSERT_TRUE(app.OnEvent(nullptr, m.code, nullptr, 0));
        app.Settle();
        for (int i = 0; i < 40; ++i)
            app.Update();
        // The end writes no record of its own accord; the menu's leave would.
        ASSERT_TRUE(app.WriteResumeRecord(0));
        std::vector<uint8_t> record = app.Record();
        ASSERT_GE(record.size(), 8u);
        FILE* out = std::fopen((folder + "/" + m.file).c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(record.data(), 1, record.size(), out);
        std::fclose(out);

        std::string committed = std::string(KELO_FUZZ_CORPUS) + "/fuzz_resume_screens/" + m.file;
        FILE* in = std::fopen(committed.c_str(), "rb");
        if (!in) {
            ADD_FAILURE() << "no seed " << committed;
            continue;
        }
        std::vector<uint8_t> seed;
        for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in))
            seed.push_back(static_cast<uint8_t>(c));
        std::fclose(in);
        ASSERT_FALSE(seed.empty());
        EXPECT_EQ(seed[0], record[0]);
        EXPECT_TRUE(app.Restore(seed));
        app.DeleteResumeRecord(0);
    }
}
