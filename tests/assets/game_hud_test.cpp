// The in-game display on the shipped frame pieces, fonts and texts: the spare lives, the captions,
// the progress bar's drain and flash, and the frame's touch areas.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "game/app/profile_store.h"
#include "game/play/game_hud.h"
#include "game/play/gameplay_screen.h"
#include "shipped_game_app.h"

namespace {

class HudApp : public ShippedGameApp {
public:
    HudApp(int width = 640, int height = 480) : ShippedGameApp(width, height, "keloui.txt", "root_gameplay")
    {
        ProfileStore* profiles = GetProfiles();
        int index = profiles ? profiles->AddPlayer() : -1;
        if (index >= 0)
            profiles->SetCurrentIndex(index);
    }
    PlayerRecord& Player() { return *GetProfiles()->CurrentPlayer(); }
    ModeProgress& Progress() { return *Player().CurrentModeProgress(); }
    const LayoutTable& Layout() const { return layoutTable_; }
};

// Pixels of the cached top-left piece that differ from the bare piece inside the rectangle.
int ChangedPixels(HudApp& app, GameHud& hud, int x, int y, int w, int h)
{
    ResourceEntry* set = app.GetSpriteList()->FindByName("GameUIFrameTL");
    Surface* bare = set ? set->GetFrame(0) : nullptr;
    Surface* cached = hud.GetCachedPiece(0);
    if (!bare || !cached)
        return -1;
    int changed = 0;
    for (int j = y; j < y + h && j < bare->GetHeight(); ++j)
        for (int i = x; i < x + w && i < bare->GetWidth(); ++i)
            changed += bare->GetPixels()[j * bare->GetRawWidth() + i] != cached->GetPixels()[j * cached->GetRawWidth() + i];
    return changed;
}

}  // namespace

TEST(GameHud, SpareLivesShowAsIconsOrACount)
{
    HudApp app;
    ASSERT_TRUE(app.Ready());
    app.Player().mode = 0;
    app.Progress().stage = 3;
    GameplayScreen board(&app);
    GameHud hud(&app, &board);
    ASSERT_TRUE(hud.Load());
    Surface* icon = app.GetSpriteList()->FindByName("LivesFrog")->GetFrame(0);
    const int spacing = app.Layout().ints[kLayoutLivesSpacing], iw = icon->GetWidth(), ih = icon->GetHeight();
    auto iconDrawn = [&](int i) { return ChangedPixels(app, hud, hud.GetLivesX() + i * spacing, hud.GetLivesY(), iw, ih) > iw * ih / 8; };

    struct Case {
        int lives, icons;
        const char* text;
    };
    // Spare lives are the lives less the one in play.
    for (const Case& c : {Case{1, 1, "x 0"}, Case{2, 1, nullptr}, Case{4, 3, nullptr}, Case{5, 1, "x 4"}, Case{9, 1, "x 8"}}) {
        SCOPED_TRACE(c.lives);
        app.Progress().lives = c.lives;
        hud.RefreshLabels();
        EXPECT_EQ(hud.GetLifeIcons(), c.icons);
        if (c.text)
            EXPECT_STREQ(hud.GetLivesText().CStr(), c.text);
        else
            EXPECT_TRUE(hud.GetLivesText().IsEmpty());
        for (int i = 0; i < 3; ++i) {
            // The count stands where the second icon would.
            if (c.text && i == 1)
                EXPECT_GT(ChangedPixels(app, hud, hud.GetLivesX() + spacing, hud.GetLivesY(), iw, ih), 0);
            else
                EXPECT_EQ(iconDrawn(i), i < c.icons) << "icon " << i;
        }
    }
}

TEST(GameHud, CaptionsNameDoorAndPlaceOrRankAndStep)
{
    HudApp app;
    ASSERT_TRUE(app.Ready());
    GameplayScreen board(&app);
    GameHud hud(&app, &board);
    ASSERT_TRUE(hud.Load());
    app.Player().mode = 0;
    app.Progress().stage = 22;
    board.levelScore = 1234;
    app.Progress().score = 1000000;
    hud.RefreshLabels();
    EXPECT_STREQ(hud.GetCaption().CStr(), "Lvl 5-1");
    EXPECT_STREQ(hud.GetScoreText().CStr(), "1,001,234");
    // Centred on its layout point; the score ends at its edge.
    Font* font = app.GetSmallFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(hud.GetCaptionX(), app.Layout().ints[kLayoutLevelCaptionX] - font->MeasureText("Lvl 5-1") / 2);
    EXPECT_EQ(hud.GetScoreX() + font->MeasureText("1,001,234"), app.Layout().ints[kLayoutScoreRight]);

    app.Player().mode = 1;
    app.Progress().stage = 15;
    app.Progress().gauntletKind = 1;
    hud.RefreshLabels();
    EXPECT_STREQ(hud.GetCaption().CStr(), "Priest 1");
    app.Progress().stage = 14;
    hud.Update();
    EXPECT_STREQ(hud.GetCaption().CStr(), "Stone 7");

    // The completion screens show the stage just finished, without a board.
    app.Player().mode = 0;
    app.Progress().stage = 6;
    GameHud done(&app, nullptr);
    ASSERT_TRUE(done.Load());
    done.RefreshLabels();
    EXPECT_STREQ(done.GetCaption().CStr(), "Lvl 1-5");
}

TEST(GameHud, BarDrainsFromFullAndFlashesAtTheTarget)
{
    HudApp app;
    ASSERT_TRUE(app.Ready());
    app.Player().mode = 0;
    app.Progress().stage = 1;
    GameplayScreen board(&app);
    board.targetScore = 1000;
    board.levelScore = 0;
    board.progressScale = Fixed::Raw(256 * 256 / 1000);  // 256 / 1000 points, as the set-up stores it
    GameHud hud(&app, &board);
    ASSERT_TRUE(hud.Load());
    const int full = app.GetSpriteList()->FindByName("LevelProgress")->GetFrame(0)->GetWidth();
    ASSERT_GT(full, 10);
    hud.RefreshLabels();
    EXPECT_EQ(hud.GetShownWidth(), 0);
    hud.FillBar();
    EXPECT_EQ(hud.GetShownWidth(), full);
    for (int i = 1; i <= 5; ++i) {
        hud.Update();
        EXPECT_EQ(hud.GetShownWidth(), full - i);
    }
    // 500 of 1000 points: (full x 500 x 65) >> 16 pixels, then one pixel a frame towards it.
    board.levelScore = 500;
    hud.Update();
    const int half = static_cast<int>((int64_t(full) * 500 * board.progressScale.raw) >> 16);
    EXPECT_EQ(hud.GetTargetWidth(), half);
    for (int i = 0; i < full && hud.GetShownWidth() != half; ++i)
        hud.Update();
    EXPECT_EQ(hud.GetShownWidth(), half);

    EXPECT_EQ(hud.GetBlinkCounter(), 0);
    board.levelScore = 1000;
    board.targetReached = 1;
    hud.Update();
    EXPECT_EQ(hud.GetTargetWidth(), full);
    EXPECT_EQ(hud.GetBlinkCounter(), GameHud::kFlashFrames);
    for (int i = 0; i < GameHud::kFlashFrames; ++i)
        hud.Update();
    EXPECT_EQ(hud.GetBlinkCounter(), 0);
    // The flash runs once per level.
    hud.Update();
    EXPECT_EQ(hud.GetBlinkCounter(), 0);
}

TEST(GameHud, SurvivalFlashesEachNewLevel)
{
    HudApp app;
    ASSERT_TRUE(app.Ready());
    app.Player().mode = 1;
    app.Progress().gauntletKind = 0;
    app.Progress().stage = 7;
    GameplayScreen board(&app);
    GameHud hud(&app, &board);
    ASSERT_TRUE(hud.Load());
    hud.RefreshLabels();
    hud.Update();
    EXPECT_EQ(hud.GetBlinkCounter(), 0);
    // The top-right piece holds the caption; the level score stays as it was.
    auto captionPiece = [&] {
        Surface* piece = hud.GetCachedPiece(1);
        const uint16_t* pixels = piece ? piece->GetPixels() : nullptr;
        return pixels ? std::vector<uint16_t>(pixels, pixels + piece->GetRawWidth() * piece->GetHeight())
                      : std::vector<uint16_t>();
    };
    const std::vector<uint16_t> before = captionPiece();
    ASSERT_FALSE(before.empty());
    app.Progress().stage = 8;
    hud.Update();
    EXPECT_EQ(hud.GetBlinkCounter(), GameHud::kFlashFrames);
    EXPECT_STREQ(hud.GetCaption().CStr(), "Stone 1");
    EXPECT_NE(captionPiece(), before) << "the new caption is drawn at once, not after the next points";
    EXPECT_TRUE(hud.GetLivesText().IsEmpty());
}

TEST(GameHud, TouchAreasExcludeTheirLeftAndTopEdges)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        HudApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        GameHud hud(&app, nullptr);
        ASSERT_TRUE(hud.Load());
        EXPECT_EQ(hud.GetTouchRect(1).w, 0);
        EXPECT_EQ(hud.GetTouchRect(4).w, 0);
        const Rect tl = hud.GetTouchRect(0), b = hud.GetTouchRect(7), br = hud.GetTouchRect(8);
        ASSERT_GT(tl.w, 0);
        EXPECT_FALSE(hud.HitTest(0, 5));
        EXPECT_FALSE(hud.HitTest(5, 0));
        EXPECT_TRUE(hud.HitTest(1, 1));
        EXPECT_TRUE(hud.HitTest(tl.w, tl.h));
        EXPECT_TRUE(hud.HitTest(br.x + br.w, br.y + br.h));
        EXPECT_TRUE(hud.HitTest(b.x + 1, r.height));
        EXPECT_EQ(br.x + br.w, r.width);
        EXPECT_EQ(br.y + br.h, r.height);
        // The middle of the board is open.
        EXPECT_FALSE(hud.HitTest(r.width / 2, r.height / 2));
    }
}

// The table puts the top line above the screen's edge on the small screens; its ink still starts
// on the frame, found by drawing each text where nothing clips it.
TEST(GameHud, TheTopLineIsInkedWholeOnTheScreenAtEverySize)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        HudApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        app.Player().mode = 0;
        app.Progress().stage = 1;
        app.Progress().score = 1234567;
        GameplayScreen board(&app);
        GameHud hud(&app, &board);
        ASSERT_TRUE(hud.Load());
        hud.RefreshLabels();
        Font* font = app.GetSmallFont();
        ASSERT_NE(font, nullptr);
        std::unique_ptr<Surface> scratch(CreateSurfaceSized(&app, 200, 3 * font->GetLineHeight(), false));
        ASSERT_NE(scratch, nullptr);
        const int pieceHeight = hud.GetCachedPiece(1)->GetHeight();
        for (const auto& [text, y] : {std::pair{hud.GetCaption().CStr(), hud.GetCaptionY()},
                                      std::pair{hud.GetScoreText().CStr(), hud.GetScoreY()}}) {
            SCOPED_TRACE(text);
            const int at = font->GetLineHeight();
            scratch->Clear(0, 0, 0);
            font->DrawText(scratch.get(), 0, at, text, 255, 255, 255, kEffectNone, 255, nullptr);
            int first = -1, last = -1;
            for (int row = 0; row < scratch->GetHeight(); ++row)
                for (int x = 0; x < scratch->GetWidth(); ++x)
                    if (scratch->GetPixels()[row * scratch->GetRawWidth() + x]) {
                        first = first < 0 ? row : first;
                        last = row;
                    }
            ASSERT_GE(first, 0);
            EXPECT_GE(y + first - at, GameHud::kTopLineInk);
            EXPECT_LT(y + last - at, pieceHeight);
        }
    }
}
