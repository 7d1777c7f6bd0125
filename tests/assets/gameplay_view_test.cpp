// The board's score texts and its aim guide on the shipped data: which words a match or a coin
// shows and in which colour, the ring of texts, where the guide ends and what it draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/graphics/surface.h"
#include "game/play/ball_chain.h"
#include "game/play/coin.h"
#include "game/play/floating_text.h"
#include "game/play/frog.h"
#include "game/play/game_hud.h"
#include "game/play/hole.h"
#include "gameplay_look_app.h"
#include "platform/crt.h"

namespace {

GameplayScreen* PlayingBoard(GameplayLookApp& app, int map)
{
    crt::srand(5);
    app.PlayGauntlet(map, 2, false);
    if (app.ShowGameplay(true).failed())
        return nullptr;
    for (int i = 0; i < 1500 && app.Board(); ++i) {
        GameplayScreen* board = app.Board();
        if (board->playState == kPlayPlaying && !board->rollInActive[0] && !board->rollInActive[1] && board->currentBall)
            return board;
        app.Update();
    }
    return nullptr;
}

// The text object most recently started.
FloatingText* Last(GameplayScreen& board)
{
    return board.floatingTexts[(board.nextFloatingText + kFloatingTexts - 2) % kFloatingTexts];
}

uint32_t Checksum(Surface* s)
{
    uint32_t sum = 0;
    for (int i = 0; i < s->GetRawWidth() * s->GetRawHeight(); ++i)
        sum = sum * 31 + s->GetPixels()[i];
    return sum;
}

// A board of map 15 (two tracks under tunnels) at 640x480, playing with its chains rolled in.
class PlayingBoard15 : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.Ready());
        board = PlayingBoard(app, 15);
        ASSERT_NE(board, nullptr);
        screen = app.GetScreenSurface();
    }
    GameplayLookApp app{640, 480};
    GameplayScreen* board = nullptr;
    Surface* screen = nullptr;
};

}  // namespace

TEST(GameplayTexts, MatchAndCoinWords)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    GameplayScreen board(&app);
    ASSERT_TRUE(board.CreateFloatingTexts());
    EXPECT_EQ(board.nextFloatingText, 0);

    board.ShowScoreText(1250, 300, 200, 2, 3, 0, 500, 2);
    FloatingText* text = Last(board);
    EXPECT_EQ(text, board.floatingTexts[0]);
    EXPECT_STREQ(text->GetLine(0), "1,250");
    // The gap bonus replaces the combo's words.
    EXPECT_STREQ(text->GetLine(1), "DOUBLE GAP BONUS");
    EXPECT_EQ(text->GetLife(), FloatingText::kLife);

    board.ShowScoreText(140, 300, 200, 0, 2, 0, 0, 0);
    EXPECT_STREQ(Last(board)->GetLine(1), "Combo x2");
    board.ShowScoreText(100, 300, 200, 0, 1, 5, 0, 0);
    EXPECT_STREQ(Last(board)->GetLine(1), "Chain of 5");
    board.ShowScoreText(40, 300, 200, 0, 1, 4, 0, 0);
    EXPECT_STREQ(Last(board)->GetLine(1), "");
    board.ShowScoreText(470, 300, 200, 0, 1, 9, 250, 1);
    EXPECT_STREQ(Last(board)->GetLine(1), "GAP BONUS");
    board.ShowScoreText(900, 300, 200, 0, 1, 0, 250, 3);
    EXPECT_STREQ(Last(board)->GetLine(1), "TRIPLE GAP BONUS");
    board.ShowCoinBonusText(2500, 300, 200);
    EXPECT_STREQ(Last(board)->GetLine(0), "Coin bonus 2500");
    EXPECT_STREQ(Last(board)->GetLine(1), "");

    // Eight texts in turn on the even places: the ninth takes the first object again.
    EXPECT_EQ(board.nextFloatingText, 14);
    board.ShowScoreText(10, 300, 200, 5, 0, 0, 0, 0);
    EXPECT_EQ(board.nextFloatingText, 0);
    board.ShowScoreText(20, 300, 200, 5, 0, 0, 0, 0);
    EXPECT_EQ(Last(board), board.floatingTexts[0]);
    EXPECT_STREQ(board.floatingTexts[0]->GetLine(0), "20");
    for (int i = 1; i < kFloatingTexts; i += 2)
        EXPECT_EQ(board.floatingTexts[i]->GetLife(), 0);
}

TEST(GameplayTexts, ScoreColoursFollowTheBall)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    GameplayScreen board(&app);
    ASSERT_TRUE(board.CreateFloatingTexts());
    Surface* screen = app.GetScreenSurface();
    // Drawn on black at full strength, a text's brightest pixel shows its colour per channel.
    const int expected[6][3] = {{64, 64, 255}, {255, 255, 64}, {255, 64, 64}, {64, 255, 64}, {128, 64, 128}, {255, 255, 255}};
    for (int colour = 0; colour < 6; ++colour) {
        SCOPED_TRACE(colour);
        screen->Clear(0, 0, 0);
        board.ShowScoreText(8888, 320, 240, colour, 0, 0, 0, 0);
        // A fresh text is all but clear; one frame later it stands at almost full strength.
        Last(board)->Update();
        Last(board)->Draw();
        int top[3] = {0, 0, 0};
        for (int i = 0; i < screen->GetRawWidth() * screen->GetRawHeight(); ++i) {
            uint16_t v = screen->GetPixels()[i];
            top[0] = std::max(top[0], (v >> 11) * 255 / 31);
            top[1] = std::max(top[1], ((v >> 5) & 63) * 255 / 63);
            top[2] = std::max(top[2], (v & 31) * 255 / 31);
        }
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(top[c], expected[colour][c], 12) << "channel " << c;
    }
}

TEST_F(PlayingBoard15, AimGuideEndsOnTheFirstObstacle)
{

    // Aimed straight at a chain ball outside any tunnel: the walk stops within reach of a ball.
    Ball* target = nullptr;
    for (int i = 0; i < board->chains[0]->count && !target; ++i)
        if (!board->chains[0]->balls[i].tunnel)
            target = &board->chains[0]->balls[i];
    ASSERT_NE(target, nullptr);
    board->AimAt(target->position.x.ToInt(), target->position.y.ToInt());
    board->UpdateAimGuide();
    EXPECT_NE(board->ChainBallNear(board->aimGuide[2]), nullptr);
    EXPECT_NE(board->aimGuide[0], FixedVec2());

    // Straight up from the frog with nothing between it and the frame: it stops on the display.
    board->SetAim(Fixed::FromInt(180));
    board->UpdateAimGuide();
    const FixedVec2 end = board->aimGuide[2];
    if (!board->ChainBallNear(end) && !board->CoinAtPoint(end)) {
        EXPECT_TRUE(board->hud->HitTest(end.x.ToInt(), end.y.ToInt()) || end.y.raw < 0);
    }
    // The two base points stand level with each other beside the mouth when aiming straight up.
    EXPECT_EQ(board->aimGuide[0].y.ToInt(), board->aimGuide[1].y.ToInt());
    EXPECT_GT(board->aimGuide[1].x, board->aimGuide[0].x);

    // Without a ball in the frog there is no guide.
    BallSprite* ball = board->currentBall;
    board->currentBall = nullptr;
    board->UpdateAimGuide();
    EXPECT_EQ(board->aimGuide[0], FixedVec2());
    EXPECT_EQ(board->aimGuide[2], FixedVec2());
    board->currentBall = ball;
}

TEST_F(PlayingBoard15, AimTapShowsForTheKeypadAndTheBeamForAccuracy)
{
    board->SetAim(Fixed::FromInt(100));
    board->UpdateAimGuide();
    ASSERT_NE(board->aimGuide[0], FixedVec2());

    auto drawn = [&] {
        board->Draw();
        return Checksum(screen);
    };
    board->keyAiming = 0;
    board->accuracyTimer = 0;
    const uint32_t stylus = drawn();
    // The stylus draws no guide: dropping the guide changes nothing on screen.
    const FixedVec2 kept[3] = {board->aimGuide[0], board->aimGuide[1], board->aimGuide[2]};
    board->aimGuide[0] = board->aimGuide[1] = board->aimGuide[2] = FixedVec2();
    EXPECT_EQ(drawn(), stylus);
    for (int i = 0; i < 3; ++i)
        board->aimGuide[i] = kept[i];

    board->keyAiming = 1;
    const uint32_t keypad = drawn();
    EXPECT_NE(keypad, stylus);
    // The mark is centred on the guide's end.
    const int ex = kept[2].x.ToInt(), ey = kept[2].y.ToInt();
    board->keyAiming = 0;
    board->Draw();
    std::vector<uint16_t> plain(screen->GetPixels(), screen->GetPixels() + 640 * 480);
    board->keyAiming = 1;
    board->Draw();
    int minX = 640, maxX = -1, minY = 480, maxY = -1;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (screen->GetPixels()[y * 640 + x] != plain[size_t(y) * 640 + x]) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, ex, 2);
    EXPECT_NEAR((minY + maxY) / 2.0, ey, 2);
    EXPECT_LE(maxX - minX, board->tapImage->GetWidth());

    board->accuracyTimer = 100;
    const uint32_t beam = drawn();
    EXPECT_NE(beam, keypad);
    EXPECT_NE(beam, stylus);
    // The beam is cyan-tinted along the line from the mouth to the end.
    const int mx = (kept[0].x.ToInt() + kept[1].x.ToInt() + 2 * ex) / 4;
    const int my = (kept[0].y.ToInt() + kept[1].y.ToInt() + 2 * ey) / 4;
    const uint16_t v = screen->GetPixels()[my * 640 + mx], before = plain[size_t(my) * 640 + mx];
    EXPECT_NE(v, before);
    EXPECT_GE(v & 31, before & 31);
    EXPECT_GE((v >> 5) & 63, (before >> 5) & 63);
    EXPECT_LE(v >> 11, before >> 11);
}

TEST_F(PlayingBoard15, DrawSmallerPictureIsFramedInBlack)
{
    Surface* full = board->levelImage;
    Surface small(&app);
    ASSERT_TRUE(small.Create(100, 80));
    small.FreeAlpha();
    small.Clear(255, 0, 0);
    board->levelImage = &small;
    board->levelImageOffset[0] = 30;
    board->levelImageOffset[1] = 20;
    screen->Clear(255, 255, 255);
    board->DrawBackground(screen);
    board->levelImage = full;
    auto at = [&](int x, int y) { return screen->GetPixels()[y * screen->GetRawWidth() + x]; };
    EXPECT_EQ(at(30, 20), 0xF800);
    EXPECT_EQ(at(129, 99), 0xF800);
    EXPECT_EQ(at(29, 20), 0);
    EXPECT_EQ(at(130, 50), 0);
    EXPECT_EQ(at(639, 479), 0);

    // The full-size picture is copied as it stands.
    board->DrawBackground(screen);
    EXPECT_EQ(std::memcmp(screen->GetPixels(), full->GetPixels(), size_t(640) * 480 * 2), 0);
}

TEST_F(PlayingBoard15, DrawHoleCoversRepaintOnlyWhenTheirFrameChanges)
{
    Hole* hole = board->curves[0].GetHole();
    ASSERT_NE(hole, nullptr);
    ASSERT_NE(hole->cachedBackground, nullptr);
    board->RefreshHoleCovers();
    const uint32_t settled = Checksum(board->levelImage);
    board->RefreshHoleCovers();
    EXPECT_EQ(Checksum(board->levelImage), settled);
    EXPECT_EQ(hole->GetLastDrawnCover(), hole->GetCoverFrame().ToInt());

    // Opening the cover changes the picture under the hole and nowhere else.
    std::vector<uint16_t> before(board->levelImage->GetPixels(), board->levelImage->GetPixels() + 640 * 480);
    hole->SetCoverTargetLast();
    for (int i = 0; i < 200 && hole->GetCoverFrame().ToInt() != hole->GetCoverTarget(); ++i)
        hole->Update();
    ASSERT_GT(hole->GetCoverTarget(), 0);
    board->RefreshHoleCovers();
    EXPECT_EQ(hole->GetLastDrawnCover(), hole->GetCoverTarget());
    const int x0 = hole->cachedX, y0 = hole->cachedY;
    const int x1 = x0 + hole->cachedBackground->GetWidth(), y1 = y0 + hole->cachedBackground->GetHeight();
    int inside = 0, outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool changed = board->levelImage->GetPixels()[y * 640 + x] != before[size_t(y) * 640 + x];
            (x >= x0 && x < x1 && y >= y0 && y < y1 ? inside : outside) += changed;
        }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
}

TEST_F(PlayingBoard15, DrawLossFadeDarkensTextsAndBoardButNotTheDisplay)
{
    board->ShowScoreText(5000, 320, 240, 5, 0, 0, 0, 0);
    board->floatingTexts[0]->Update();
    auto brightness = [&](int x0, int y0, int x1, int y1) {
        long sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += screen->GetPixels()[y * 640 + x] >> 11;
        return sum;
    };
    board->Draw();
    const long board0 = brightness(200, 200, 440, 280), display0 = brightness(0, 0, 640, 4);
    board->lossFade = 255;
    board->Draw();
    EXPECT_LT(brightness(200, 200, 440, 280), board0 * 2 / 3);
    EXPECT_EQ(brightness(0, 0, 640, 4), display0);
    board->lossFade = 0;
}

TEST(GameplayDraw, NebulaBoardsShowTheWholeFrame)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    GameplayScreen* board = PlayingBoard(app, 21);
    ASSERT_NE(board, nullptr);
    ASSERT_EQ(board->levelImage, nullptr);
    ASSERT_NE(board->nebula, nullptr);
    Surface* screen = app.GetScreenSurface();
    board->Draw();
    std::vector<uint16_t> drawn(screen->GetPixels(), screen->GetPixels() + 640 * 480);
    board->DrawBackground(screen);
    // The left piece beyond its edge band: frame, not nebula.
    const Rect left = board->hud->GetTouchRect(3);
    const int band = app.GetLayoutTable().ints[kLayoutFrameBands + 2];
    ASSERT_GT(left.w, band + 1);
    int framed = 0;
    for (int y = left.y + left.h / 4; y < left.y + left.h * 3 / 4; ++y)
        framed += drawn[size_t(y) * 640 + band + 1] != screen->GetPixels()[y * 640 + band + 1];
    EXPECT_GT(framed, left.h / 4);
}

TEST_F(PlayingBoard15, DrawFrogFliesInUnderTheQuake)
{
    ScreenTransition& transition = app.GetTransition();
    board->Draw();
    std::vector<uint16_t> resting(screen->GetPixels(), screen->GetPixels() + 640 * 480);
    const FixedVec2 home(board->frog->Bounds().CenterX(), board->frog->Bounds().CenterY());
    transition.kind = kTransitionQuake;
    transition.start = FixedVec2(Fixed::FromInt(120), Fixed::FromInt(360));
    transition.scale = Fixed16::FromInt(1);
    transition.quakeCountdown = 0;
    board->StartFadeIn();
    board->Draw();
    auto changedAround = [&](const FixedVec2& p) {
        int changed = 0;
        for (int y = p.y.ToInt() - 10; y < p.y.ToInt() + 10; ++y)
            for (int x = p.x.ToInt() - 10; x < p.x.ToInt() + 10; ++x)
                changed += screen->GetPixels()[y * 640 + x] != resting[size_t(y) * 640 + x];
        return changed;
    };
    // The frog is drawn where the flight has brought it, and no longer at home.
    EXPECT_GT(changedAround(transition.start), 200);
    EXPECT_GT(changedAround(home), 200);
    board->ClearScreenFadingIn();
    transition.kind = kTransitionFade;
    board->Draw();
    EXPECT_EQ(std::memcmp(screen->GetPixels(), resting.data(), resting.size() * 2), 0);
}
