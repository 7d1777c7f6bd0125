#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/play/ball_sprite.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/tables/map_info.h"
#include "board_app.h"

namespace {

// The board's application with a player and the built-in tables, so the screen's own set-up
// reads the progress the test gives it.
class PlayerBoardApp : public BoardApp {
public:
    PlayerBoardApp()
    {
        options_ = new ProfileStore();
        ProfileStore* profiles = GetProfiles();
        profiles->SetCurrentIndex(profiles->AddPlayer());
        built = levelTables_.Build();
    }
    ~PlayerBoardApp() override { DeleteAndNull(options_); }
    PlayerRecord& Player() { return *GetProfiles()->CurrentPlayer(); }
    LevelTables& Tables() { return levelTables_; }
    bool built = false;
};

void EnableOnly(GameplayScreen& board, std::initializer_list<int> colours)
{
    for (int c = 0; c < 6; ++c)
        board.colourEnabled[c] = 0;
    for (int c : colours)
        board.colourEnabled[c] = 1;
}

}  // namespace

TEST(GameplayColours, ChainColoursRepeatOnlyByChance)
{
    BoardApp app;
    GameplayScreen board(&app);
    board.repeatPercent = 0;
    EnableOnly(board, {3});
    // One colour and no repeats: the first call takes it, later calls find nothing else.
    EXPECT_EQ(board.NextChainColour(), 3);
    EXPECT_EQ(board.NextChainColour(), 3);
    EXPECT_EQ(board.lastChainColour, 3);

    EnableOnly(board, {0, 4});
    board.lastChainColour = -1;
    int previous = board.NextChainColour();
    for (int i = 0; i < 40; ++i) {
        int colour = board.NextChainColour();
        EXPECT_NE(colour, previous) << "without repeats two colours alternate";
        EXPECT_TRUE(colour == 0 || colour == 4);
        previous = colour;
    }

    board.repeatPercent = 100;
    int first = board.NextChainColour();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(board.NextChainColour(), first);

    // All colours, the usual 40 %: every enabled colour shows and none other. The 15-bit source
    // taken modulo 25600 favours its low values, so a repeat comes 17408 times in 32768 (53 %).
    EnableOnly(board, {0, 1, 2, 3, 4});
    board.repeatPercent = 40;
    std::set<int> seen;
    int repeats = 0;
    previous = board.NextChainColour();
    for (int i = 0; i < 1000; ++i) {
        int colour = board.NextChainColour();
        seen.insert(colour);
        repeats += colour == previous;
        previous = colour;
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_GT(repeats, 460);
    EXPECT_LT(repeats, 600);
}

TEST(GameplayColours, FrogColoursComeFromTheBoard)
{
    BoardApp app;
    GameplayScreen board(&app);
    board.repeatPercent = 0;
    EnableOnly(board, {1});
    // An empty board falls back to the chain rule, which remembers its choice.
    EXPECT_EQ(board.PickBoardColour(), 1);
    EXPECT_EQ(board.lastChainColour, 1);

    board.colourCount[5] = 2;
    board.colourCount[2] = 1;
    std::set<int> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(board.PickBoardColour());
    EXPECT_EQ(seen, (std::set<int>{2, 5}));
    EXPECT_EQ(board.lastChainColour, 1) << "a frog ball leaves the chain rule alone";
}

TEST(GameplayColours, BallSpritesOnlyForTheSixColours)
{
    BoardApp app;
    GameplayScreen board(&app);
    EXPECT_EQ(board.CreateBallSprite(0), nullptr) << "no sets loaded";
    ASSERT_TRUE(app.AddBallSets());
    for (int colour : {-1, 6, 99})
        EXPECT_EQ(board.CreateBallSprite(colour), nullptr) << colour;
    for (int colour = 0; colour < 6; ++colour) {
        BallSprite* sprite = board.CreateBallSprite(colour);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->GetColour(), colour);
        delete sprite;
    }
}

TEST(GameplayChains, FillChainLaysBallsBackFromTheStart)
{
    BoardApp app;
    ASSERT_TRUE(app.AddBallSets());
    GameplayScreen board(&app);
    board.chains[0] = new BallChain(&app);
    board.ballsPerNewChain = 4;
    board.startDistance[1] = Fixed::FromInt(90);
    board.rollInSpeed = Fixed::Raw(700);
    EnableOnly(board, {0, 1, 2, 3});
    ASSERT_TRUE(board.FillChain(0, 1));
    BallChain& chain = *board.chains[0];
    ASSERT_EQ(chain.count, 4);
    EXPECT_EQ(chain.path, &board.curves[1]);
    EXPECT_EQ(chain.curveIndex, 1);
    EXPECT_EQ(chain.speed, Fixed::Raw(700));
    EXPECT_EQ(chain.targetSpeed, Fixed::Raw(700));
    EXPECT_EQ(chain.entering, 1);
    EXPECT_EQ(board.ballSprites.Count(), 4);
    int counted = 0;
    const Fixed diameter = app.Layout().fixed[kLayoutBallRadius] + app.Layout().fixed[kLayoutBallRadius];
    for (int i = 0; i < 4; ++i) {
        const Ball& ball = chain.balls[i];
        EXPECT_EQ(ball.distance, Fixed::FromInt(90) - Fixed::MultiplyInt(diameter, i));
        ASSERT_NE(ball.sprite, nullptr);
        EXPECT_EQ(ball.sprite->GetColour(), ball.colour);
        EXPECT_EQ(ball.sprite->Bounds().x, Fixed::FromInt(-400));
        EXPECT_EQ(ball.growth, Fixed::FromInt(1));
    }
    for (int c = 0; c < 6; ++c)
        counted += board.colourCount[c];
    EXPECT_EQ(counted, 4);
}

TEST(GameplayChains, AFailedSpriteKeepsOnlyTheBallsThatHaveOne)
{
    BoardApp app;
    // Sets for colour 0 only: a ball of colour 1 cannot be drawn.
    ASSERT_TRUE(app.AddSet(GameApp::GetBallName(0), 50, 8, 8));
    ASSERT_TRUE(app.AddSet("BonusBall1", 4, 8, 8));
    ASSERT_TRUE(app.AddSet("BonusLightAlpha", 4, 8, 8));
    GameplayScreen board(&app);
    board.chains[2] = new BallChain(&app);
    board.ballsPerNewChain = 6;
    board.repeatPercent = 0;
    EnableOnly(board, {0, 1});
    for (int attempt = 0; attempt < 8; ++attempt) {
        board.ballSprites.Clear();
        for (int& count : board.colourCount)
            count = 0;
        EXPECT_FALSE(board.FillChain(2, 0));
        BallChain& chain = *board.chains[2];
        // Colours alternate, so at most the first ball (colour 0) was made.
        EXPECT_LE(chain.count, 1);
        EXPECT_EQ(board.ballSprites.Count(), chain.count);
        EXPECT_EQ(board.colourCount[0], chain.count);
        EXPECT_EQ(board.colourCount[1], 0) << "a ball that was not made is not counted";
        for (int i = 0; i < chain.count; ++i)
            EXPECT_NE(chain.balls[i].sprite, nullptr);
    }
}

TEST(GameplayTitle, TheBannerFadesInLineByLineAndOutTogether)
{
    BoardApp app;
    GameplayScreen board(&app);
    board.titleTimer = 99;
    board.titleActive = 1;
    // The alphas after each call that still showed the banner, from call 1.
    std::vector<int> first{0}, second{0};
    while (board.UpdateTitleBanner() && first.size() < 500) {
        first.push_back(board.titleAlphas[0].ToInt());
        second.push_back(board.titleAlphas[1].ToInt());
    }
    const int calls = static_cast<int>(first.size()) - 1;
    ASSERT_GE(calls, 100);
    EXPECT_EQ(first[31], 248);
    EXPECT_EQ(first[32], 255);
    EXPECT_EQ(second[33], 0) << "line two waits until the timer is below 67";
    EXPECT_EQ(second[34], 8);
    EXPECT_EQ(second[99], 255);
    EXPECT_EQ(first[100], 247) << "both fade out together once the timer has run out";
    EXPECT_EQ(second[100], 247);
    // 99 frames of timer, then 32 of fading out; the 132nd finds both lines gone.
    EXPECT_EQ(calls, 131);
    EXPECT_EQ(board.titleActive, 0);
    EXPECT_EQ(board.titleAlphas[1], Fixed());
}

TEST(GameplayFrog, BallsOfColoursGoneFromTheBoardAreRemade)
{
    BoardApp app;
    ASSERT_TRUE(app.AddBallSets());
    GameplayScreen board(&app);
    board.currentBall = board.CreateBallSprite(2);
    board.nextBall = board.CreateBallSprite(5);
    ASSERT_TRUE(board.currentBall && board.nextBall);
    FixedRect rect;
    rect.Set(Fixed::FromInt(30), Fixed::FromInt(40), Fixed::FromInt(8), Fixed::FromInt(8));
    board.currentBall->SetBounds(rect);
    BallSprite* keptNext = board.nextBall;
    board.colourCount[5] = 3;
    board.RecolourFrogBalls();
    ASSERT_NE(board.currentBall, nullptr);
    EXPECT_EQ(board.currentBall->GetColour(), 5) << "the only colour left on the board";
    EXPECT_EQ(board.currentBall->Bounds(), rect);
    EXPECT_EQ(board.nextBall, keptNext);

    int current = 5, next = -1;
    EXPECT_TRUE(board.CheckFrogColours(current, next));
    EXPECT_EQ(next, -1) << "a missing ball stays missing";
}

TEST(GameplaySounds, LoopsStopAndTheSparkleChantsOnlyInTheIntro)
{
    BoardApp app;
    ASSERT_TRUE(app.AddSet("Hole", 1, 16, 16));
    ASSERT_TRUE(app.AddSet("Pitcover", 4, 16, 16));
    GameplayScreen board(&app);
    auto* hole = new Hole(&app);
    ASSERT_TRUE(hole->Init());
    board.effects.Append(hole);
    board.curves[1].SetHole(hole);

    board.playState = 2;
    board.OnSparkleAtHole(1);
    EXPECT_TRUE(app.sound->played.empty());
    board.playState = 1;
    board.OnSparkleAtHole(1);
    EXPECT_EQ(app.sound->played, std::vector<int>{kTrailAtHoleSound});
    EXPECT_EQ(app.sound->stopped, std::vector<int>{kTrailSound});
    hole->Update();
    EXPECT_GT(hole->GetGlow().raw, 0);
    board.OnSparkleAtHole(0);  // a track without a hole

    app.sound->stopped.clear();
    board.StopLoopingSounds();
    EXPECT_EQ(app.sound->stopped, (std::vector<int>{kEndPopSound, kRollingSound, kTrailSound}));
}

TEST(GameplayDifficulty, TheSetUpReadsThePlayersMode)
{
    PlayerBoardApp app;
    ASSERT_TRUE(app.built);
    GameplayScreen board(&app);
    board.curveCount = 1;
    PlayerRecord& player = app.Player();
    player.mode = 1;
    player.progress[1].stage = 9;
    player.progress[1].gauntletMap = 3;
    player.progress[1].gauntletKind = 0;
    board.levelScore = 120;
    ASSERT_TRUE(board.SetupDifficulty());
    EXPECT_EQ(board.targetScore, 120 + 937) << "survival asks 937 more points from where it stands";
    // Rank 1 of the gauntlet plays five colours.
    EXPECT_EQ(board.colourEnabled[4], 1);
    EXPECT_EQ(board.colourEnabled[5], 0);

    // A two-track map asking 1000 points: 750, 35 s a thousand x 0.95 = 24.9 s, par 25.
    player.progress[1].gauntletKind = 1;
    player.progress[1].gauntletMap = 14;
    player.progress[1].stage = 1;
    app.Tables().dual[0].pointsNeeded = 1000;
    app.Tables().dual[0].parTime = 0;
    board.curveCount = 2;
    board.levelScore = 0;
    ASSERT_TRUE(board.SetupDifficulty());
    EXPECT_EQ(board.parTime, 25);
    EXPECT_EQ(board.targetScore, 750);
    for (Fixed speed : {board.normalSpeed, board.endSpeed, board.rushSpeed, board.reverseSpeed})
        EXPECT_GT(speed.raw, 0);

    // Adventure door 4 plays five colours; a stage past the tables fails and changes nothing.
    player.mode = 0;
    player.progress[0].stage = 16;
    ASSERT_TRUE(board.SetupDifficulty());
    EXPECT_EQ(board.colourEnabled[4], 1);
    const int target = board.targetScore;
    player.progress[0].stage = 77;
    EXPECT_FALSE(board.SetupDifficulty());
    EXPECT_EQ(board.targetScore, target);
}

TEST(GameplayLoading, MoreOverlaysThanSlotsFailTheLoad)
{
    BoardApp app;
    GameplayScreen board(&app);
    std::vector<OverlayImage> overlays(11, OverlayImage{"missing", 0, 0});
    MapInfo map;
    map.name = "nowhere";
    map.art = "nowhere";
    map.overlays = overlays;
    EXPECT_TRUE(board.LoadOverlays(map).failed());
    EXPECT_EQ(board.overlayCount, 0);
    for (Surface* image : board.overlayImages)
        EXPECT_EQ(image, nullptr) << "nothing is made for a map that cannot be shown";
    // Ten fit the slots; here the first image is missing, so the load stops there, naming its mask.
    map.overlays = std::span<const OverlayImage>(overlays.data(), 10);
    LoadResult missing = board.LoadOverlays(map);
    EXPECT_TRUE(missing.IsMissing());
    EXPECT_NE(strstr(missing.File(), "levels\\nowhere\\missing_a"), nullptr) << missing.File();
    EXPECT_EQ(board.overlayCount, 0);
}
