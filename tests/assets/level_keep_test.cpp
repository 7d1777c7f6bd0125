// A level laid out again (a life paid, the pause's replay) takes what it first read from the
// application's keep: it reads none of its files and is the board a fresh load lays out.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/graphics/image_loader.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "game/play/curve_file.h"
#include "game/play/curve_path.h"
#include "game/app/game_events.h"
#include "game/play/level_keep.h"
#include "game/tables/map_info.h"
#include "gameplay_look_app.h"
#include "platform/crt.h"
#include "platform/null/test_hooks.h"

namespace {

uint64_t Mix(uint64_t hash, uint64_t value)
{
    return (hash ^ value) * 1099511628211ull;
}

// The board as it first draws, with its overlays whole (their shapes show only over balls).
uint64_t BoardPrint(GameplayLookApp& app)
{
    GameplayScreen& board = *app.Board();
    board.Draw();
    uint64_t hash = 1469598103934665603ull;
    Surface* screen = app.GetScreenSurface();
    for (int i = 0; i < screen->GetRawWidth() * screen->GetRawHeight(); ++i)
        hash = Mix(hash, screen->GetPixels()[i]);
    for (int i = 0; i < board.overlayCount; ++i) {
        const Surface* overlay = board.overlayImages[i];
        for (int k = 0; k < overlay->GetRawWidth() * overlay->GetRawHeight(); ++k)
            hash = Mix(Mix(hash, overlay->GetPixels()[k]), overlay->GetAlpha()[k]);
    }
    return hash;
}

bool SameBytes(const void* a, const void* b, size_t bytes)
{
    return a && b && std::memcmp(a, b, bytes) == 0;
}

// What the board took from the keep (the tracks, the overlays' shapes, the nebula) against the
// loaders' own reading of the map's files.
void ExpectAsTheFilesRead(GameplayLookApp& app, const MapInfo& map)
{
    GameplayScreen& board = *app.Board();
    CurvePath curves[kMaxCurves];
    for (CurvePath& curve : curves)
        curve.Bind(&app);
    int count = 0;
    ASSERT_TRUE(LoadCurves(&app, map.art, curves, count).ok());
    ASSERT_EQ(board.curveCount, count);
    for (int c = 0; c < count; ++c) {
        CurvePath& mine = board.curves[c];
        ASSERT_EQ(mine.GetTableCount(), curves[c].GetTableCount());
        ASSERT_EQ(mine.Length(), curves[c].Length());
        for (int k = 0; k < mine.GetTableCount(); ++k) {
            const Fixed d = Fixed::Raw(k << 6);
            const PathPoint &p = *mine.TableEntry(d), &q = *curves[c].TableEntry(d);
            ASSERT_TRUE(p.x == q.x && p.y == q.y && p.segment == q.segment && p.visibility == q.visibility &&
                        p.flags == q.flags) << "curve " << c << ", entry " << k;
            // The segments' own spans answer the lookups that do not read the table.
            if (k % 16 == 0) {
                ASSERT_TRUE(mine.PointAt(d, nullptr, nullptr) == curves[c].PointAt(d, nullptr, nullptr)) << k;
            }
        }
    }
    for (int i = 0; i < board.overlayCount; ++i) {
        std::unique_ptr<Surface> plane(app.CreateImage());
        ASSERT_NE(LoadAlphaImage(&app, OverlayPath(&app, map, i).CStr(), plane.get()).value, nullptr);
        const Surface* overlay = board.overlayImages[i];
        const size_t bytes = size_t(plane->GetRawWidth()) * size_t(plane->GetRawHeight());
        ASSERT_EQ(size_t(overlay->GetRawWidth()) * size_t(overlay->GetRawHeight()), bytes);
        EXPECT_TRUE(SameBytes(overlay->GetAlpha(), plane->GetAlpha(), bytes)) << "overlay " << i;
    }
    if (map.nebula) {
        std::unique_ptr<Surface> nebula(app.CreateImage());
        ASSERT_NE(LoadImage(&app, NebulaPath(&app).CStr(), nebula.get()).value, nullptr);
        ASSERT_EQ(board.nebula->GetRawWidth(), nebula->GetRawWidth());
        ASSERT_EQ(board.nebula->GetRawHeight(), nebula->GetRawHeight());
        EXPECT_TRUE(SameBytes(board.nebula->GetPixels(), nebula->GetPixels(),
                              size_t(nebula->GetRawWidth()) * size_t(nebula->GetRawHeight()) * 2));
    }
}

// A new board laid out with every read failing: the screen itself may read its own pictures.
bool StartsWithoutReading(GameplayLookApp& app)
{
    if (app.ShowGameplay(false).failed())
        return false;
    nullbackend::FailFileCalls(nullbackend::FileCall::Read, 1 << 20, ERROR_READ_FAULT);
    const bool started = app.Board()->StartLevel().ok();
    nullbackend::FailFileCalls(nullbackend::FileCall::Read, 0, 0);
    return started;
}

}  // namespace

TEST(LevelKeep, EveryMapLaidOutAgainReadsNoFileAndIsTheSameBoard)
{
    // At two scales of the design space.
    for (const int width : {800, 320}) {
        const int height = width == 800 ? 480 : 240;
        GameplayLookApp app(width, height);
        ASSERT_TRUE(app.Ready());
        // The loader holds every sprite set for the whole run.
        ResourceList* sprites = app.GetSpriteList();
        for (int i = 0; i < sprites->GetCount(); ++i)
            ASSERT_TRUE(sprites->Get(i)->Load().ok());
        for (int map = 0; map < MapInfo::kCount; ++map) {
            SCOPED_TRACE(testing::Message() << width << "x" << height << ", map " << map);
            app.PlayGauntlet(map, 1, false);
            app.GetLevelKeep().Drop();
            crt::srand(5);
            ASSERT_TRUE(app.ShowGameplay(true).ok());
            const uint64_t fresh = BoardPrint(app);
            crt::srand(5);
            ASSERT_TRUE(StartsWithoutReading(app));
            EXPECT_EQ(BoardPrint(app), fresh);
            ExpectAsTheFilesRead(app, *app.GetLevelTables().maps.Find(map));
        }
        // Another level is read afresh, and so is the same one once the board has left.
        app.PlayGauntlet(3, 1, false);
        EXPECT_FALSE(StartsWithoutReading(app));
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
        EXPECT_FALSE(StartsWithoutReading(app));
    }
}

// The level a board goes to is read while frames are spare: a plain fade-out to it reads its
// pieces on its last, darkest steps, and a won stage's statistics read the next stage of the door.
TEST(LevelKeep, TheNextLevelIsReadInTheFramesBeforeItComes)
{
    GameplayLookApp app(800, 480);
    ASSERT_TRUE(app.Ready());
    LevelKeep& keep = app.GetLevelKeep();
    const MapTable& maps = app.GetLevelTables().maps;
    app.PlayGauntlet(15, 1, false);
    ASSERT_TRUE(app.ShowGameplay(true).ok());
    // Map 15's tracks, picture and overlays.
    app.PlayGauntlet(14, 1, false);
    GameplayScreen* board = app.Board();
    board->ClearScreenFadingIn();
    ASSERT_TRUE(board->SendEvent(&app, kEventPlayLevel, nullptr, 0, true));
    ASSERT_TRUE(board->IsScreenFadingOut());
    int steps = 0;
    for (; app.Board() == board && board->IsScreenFadingOut() && board->FadeOutStepsLeft() > 0; ++steps) {
        const int left = board->FadeOutStepsLeft();
        app.Update();
        if (left > 2) {
            EXPECT_EQ(keep.PiecesLeft(), 2) << "map 14's two pieces wait for the last steps, from step " << steps;
        }
    }
    EXPECT_EQ(steps, 8);
    EXPECT_TRUE(keep.Holds(*maps.Find(14)));
    EXPECT_EQ(keep.PiecesLeft(), 0);

    // Stage 1 is won: stage 2 follows in the door; after stage 5 a new door's screen comes.
    for (const int stage : {1, 5}) {
        app.PlayAdventure(stage);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        board = app.Board();
        board->levelFinished = 1;
        board->playState = kPlayStatistics;
        board->ShowStatsDialog();
        ASSERT_NE(board->FindModalChild(), nullptr);
        for (int i = 0; i < 5; ++i)
            board->Update();
        const MapInfo& next = *maps.Find(AdventureStageMap(stage == 1 ? 2 : 5));
        EXPECT_TRUE(keep.Holds(next)) << stage;
        EXPECT_EQ(keep.PiecesLeft(), 0) << stage;
    }
}
