#pragma once
// The screen on which a level is played. It owns the whole board: the two tracks, up to ten ball
// chains, the frog and its two balls, the flying shot, the ball sprites and board effects, the
// floating score texts, the in-game display, the track sparkle, the level pictures and every
// counter, timer and flag of the rules. Its work is spread over several files by topic
// (gameplay_*.cpp); the data lives here once.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/fixed.h"
#include "engine/core/strings.h"
#include "game/app/game_screen.h"
#include "game/play/ball_chain.h"
#include "game/play/ball_sprite.h"
#include "game/play/board_screen.h"
#include "game/play/chain_speed.h"
#include "game/play/curve_path.h"
#include "game/play/difficulty.h"
#include "game/play/game_object.h"
#include "game/play/level_keep.h"

class Coin;
class FloatingText;
class Frog;
class GameApp;
class GameHud;
class ResourceEntry;
class Stream;
class Surface;
class TrackSparkle;
class Widget;
struct MapInfo;

constexpr int kMaxChains = 10;
constexpr int kFloatingTexts = 16;

// The play states of a level.
enum PlayState : int32_t {
    kPlayStart = 0,
    kPlayIntro = 1,
    kPlayPlaying = 2,
    kPlayWon = 3,
    kPlayEndSweep = 4,
    kPlayStatistics = 5,
    kPlayLifeLost = 6,
};

// The power-up kinds a ball may carry.
enum PowerUpKind : int32_t {
    kPowerAccuracy = 0,
    kPowerReverse = 1,
    kPowerBomb = 2,
    kPowerSlow = 3,
};

struct IntPoint {
    int32_t x = 0, y = 0;
};

class GameplayScreen : public GameScreen, public BoardScreen {
public:
    explicit GameplayScreen(GameApp* application);
    ~GameplayScreen() override;

    // Set-up and the level start. Create loads the layout and makes the chains, texts, display and
    // sparkle; the base's Init (the fade-in) stays as it is.
    bool Create() override;
    // Why the level could not be started: the file that failed as its pack names it, or what
    // else could not be made.
    LoadResult StartLevel();
    void StartDistance(int curve);
    bool FillChain(int chain, int curve);
    int NextChainColour();
    int PickBoardColour();
    BallSprite* CreateBallSprite(int colour);
    // The in-game display's part in the set-up, the level start (the bar drains from full unless
    // the level was reached by a level-up), the frame and the level's background.
    bool MakeHud();
    void HudLevelStart(bool levelUp);
    void HudFrame();
    void HudBackground();

    // Level loading and the difficulty set-up; each load says why it failed.
    bool ClearBoard();
    LoadResult LoadLevel();
    // What the level read from its files, kept by the application for a level laid out again.
    LevelKeep& Keep() const;
    LoadResult LoadCurves(const MapInfo& map);
    // While a won stage's statistics stand, one piece of the next stage's files, when that stage
    // follows at once (it comes in with no black frame to read them in).
    void ReadAheadOfNextStage();
    void MapDesignPoint(float& x, float& y);
    LoadResult LoadLevelImages(const MapInfo& map);
    LoadResult LoadNebula();
    LoadResult LoadOverlays(const MapInfo& map);
    LoadResult LoadBallShadow();
    bool BuildLevelTitle();
    // The progress of the current player's mode (null without a player) and whether it is the
    // gauntlet; the map that progress stands at, null for one outside the tables.
    struct ModeProgress* CurrentProgress(bool& gauntlet) const;
    const MapInfo* CurrentMap() const;
    bool SetupDifficulty();
    // The failure of a level's set-up that reads no file: its difficulty.
    LoadResult DifficultyFailure() const;
    // The set-up's working values copied into the fields the rules read.
    void ApplyDifficulty();
    void ComputeRollInSpeed(Fixed normalSpeed);
    void ScaleSpeeds();
    void ScaleSpeedsForTwoCurves();

    // The frame: the intro, then the steps of play in their fixed order; where invariants are
    // checked, the board's rules after it.
    void Update() override;
    void UpdateBoard();
    // Called once per frame by the update; does nothing here.
    virtual void OnFrameHook() {}
    virtual void OnSecondHook() {}
    void UpdateIntro();
    void ShowTitleBanner();
    bool UpdateTitleBanner();
    void UpdateNebula();
    void UpdateBoardObjects();
    // Steps 8 to 11 of a play frame: the won level, its end sweeps and statistics; true when the
    // frame ends there.
    bool UpdateLevelEnd();
    void FinishFrame();
    bool SparkleRunning() const;
    void PurgeDeadBallSprites();
    void RecolourFrogBalls();
    // Replaces a frog ball colour (-1: no ball) that no chain ball has any more; true when both
    // were kept.
    bool CheckFrogColours(int& current, int& next);

    // Input and aiming.
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;  // OnUiEvent
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;                   // single pointer (pointer 0)
    bool OnPointerEx(int x, int y, int kind, int pointer) override;    // multi-pointer
    // The loss and level-end steps of the input handlers; true when they took the input.
    bool OnRulesKey(int key, bool down);
    bool OnRulesPointer(int x, int y, int pointer, int phase);
    bool OnRulesUiEvent(Widget* sender, int code, const char* name, int param);
    void SetAim(Fixed angle);
    void AimAt(int x, int y);
    bool HitTestFrog(int x, int y);

    // Drawing the board.
    void Draw() override;
    bool DrawCapture(Surface* target) override;
    // The HUD's texts.
    int GetTextPlaces(TextPlace* out, int max) override;
    void DrawBackground(Surface* target);
    virtual void DrawLayers();
    void CaptureHoleBackgrounds(Surface* levelImage);
    void DrawHoles(Surface* target, bool full);
    void UpdateAimGuide();
    void DrawAimGuide();
    // The steps of a frame's drawing, public so that a benchmark can time them apart.
    Surface* DrawTarget() const;
    void RefreshHoleCovers();
    bool IsQuakeFadeIn() const;
    // The quake's shake for this frame: two bytes of the application's table while it shakes.
    void TakeShake(int& x, int& y);
    void DrawQuakePieces(Surface* target, int shakeX, int shakeY);
    void DrawFrogAndBalls(Surface* target, bool flying, int shakeX, int shakeY);
    void DrawEffects(Surface* target);
    void DrawFloatingTexts();
    void DrawLossFade(Surface* target);
    void DrawTitle(Surface* target);

    // Floating score texts.
    bool CreateFloatingTexts();
    void ShowScoreText(int points, int x, int y, int colour, int combo, int chain, int gapBonus, int gaps);
    void ShowCoinBonusText(int points, int x, int y);

    // Chain movement, gaps and matches.
    // The chains in play: the non-empty ones of the ten slots, at most chain count of them, in
    // slot order; returns how many were written.
    int ChainsInPlay(BallChain* out[kMaxChains]);
    Fixed ChainSpeed(BallChain& chain, bool& pause);
    void KeepSpacing();
    void AdvanceChains();
    void FeedChains();
    // Feeds one ball at the distance onto the tail; false (nothing added) when the chain already
    // holds 199 balls or no sprite could be made.
    bool AddChainBall(BallChain& chain, Fixed distance);
    void CloseGaps();
    bool SameColourAcrossGap(BallChain& chain, int i);
    void RemoveUnenteredBalls();
    void FindMatches();
    void GapAfterMatch(BallChain& chain);
    void OnInsertedBallSettled() override;

    // Shots, insertion and the frog's balls.
    void AimVector(FixedVec2& out);
    void ShootBall();
    void UpdateShots();
    void KeepPreviousShotPositions();
    void RemoveShot(int index) override;
    bool ShotHitsChain(Ball& shot);
    void RecordCrossings(Ball& shot);
    void FindBallsAroundDistance(int curve, Fixed distance, Ball*& behind, Ball*& ahead);
    Coin* CoinAtPoint(const FixedVec2& point);
    Ball* ChainBallNear(const FixedVec2& point);
    void PlaceFrogBalls();
    void RefreshFrogBalls();
    void HoldLoadedBall();
    void SwapBalls();
    bool ReloadFrog();
    void UpdateNextBall();
    void SetLevelScore(int points);

    // Matches collected, scoring and the target.
    void CollectExploded(BallChain& chain);
    void ScoreMatch(int x, int y, int ballCount, int colour, int gapBonus, int gapCount);
    void AddScore(int points);
    void AddCoinBonus(Fixed x, Fixed y, int points) override;
    void AddPlainBonus(int x, int y, int points) override;
    void CountCoinCollected() override { ++coinsCollected; }
    void SpawnBallExplosion(Fixed x, Fixed y, int colour);
    // A new explosion centred on the point, in the effect list; dropped when it cannot be made.
    void AddExplosion(Fixed x, Fixed y, int colour, int delay);
    void FlashBallSprites();
    void PlayRulesSound(int index, bool looped = false);
    void CheckTargetReached();
    virtual bool IsLevelCleared();
    bool NoEffectsPending();

    // Power-ups and the proximity bomb.
    void SpawnPowerUps();
    void AttachPowerUp(int kind);
    void TriggerPowerUp(int kind, Fixed x, Fixed y);
    void StartAccuracy();
    void StartReverse();
    void StartSlowDown();
    void DetonateBomb(Fixed x, Fixed y);
    bool FindBombTargets(Fixed x, Fixed y);
    void BuildBombPattern();
    void SpawnBombExplosions(Fixed x, Fixed y);
    void SpawnDelayedExplosion(Fixed x, Fixed y, int delay) override;
    void UpdatePowerUpTimers();
    bool ChainsOnBoard();

    // Coins on the board.
    void UpdateCoins();
    bool SpawnCoin(int x, int y);

    // The hole and lives.
    void CheckHole();
    // The furthest head distance the curve's hole has seen; 0 without a hole.
    Fixed CurveHeadDistance(int curve) const;
    void UpdateHoleCover(int curve);
    void FeedTrackSparkle();
    void OnSparkleAtHole(int curve) override;
    void LoseLife();
    void LoseLifeSequence();
    void ShowLostStatsDialog();
    int LossFadeValue() const override;
    void StopLoopingSounds();

    // Pause, statistics, the end sweeps and the level end.
    void OpenPauseDialog() override;
    void ShowStatsDialog();
    int TimeBonus(int frames, int parFrames);
    // The best time of a won level, the stage's or the practice level's record: a stored time of
    // 0 or less counts as none; otherwise only a faster time replaces it.
    void RecordBestTime();
    void StartPreviewSweep();
    void StartEndSweep();
    void UpdateEndExplosions();
    bool IsEndSweepDone();
    void LevelEnd();
    void AdventureLevelEnd();
    void GauntletLevelEnd();
    int GetEndState() const { return endState; }

    // The board record of a level left in progress.
    bool CanSaveLevel() override;
    bool SaveGame(Stream* stream);
    // A read back that fails for a file of the level (or a level that cannot be made) rather than
    // for the record leaves why in levelLoad.
    bool LoadSavedGame(Stream* stream);
    virtual bool SerializeState(Stream* stream, bool saving);
    bool Serialize(Stream* stream, bool saving) override;
    Ball* FindBallBySaveNumber(int number);
    // Why the level the last read back needed could not be laid out; ok when it was, or when the
    // record failed before or after the level.
    LoadResult levelLoad;

    // What the board pieces read of the running level.
    int GetPlayState() const override { return playState; }
    int GetShotCount() const override { return shotCount; }
    Ball* GetShot(int index) override { return index == 0 && shotCount > 0 ? &shot : nullptr; }
    int GetTargetScore() const override { return targetScore; }
    bool IsSurvival() const override;
    int GetCurveCount() const override { return curveCount; }
    CurvePath* GetCurve(int index) override { return index >= 0 && index < kBoardCurves ? &curves[index] : nullptr; }

    // Units: positions, distances and speeds are Fixed pixels (speeds per logic frame), angles
    // Fixed degrees, frames logic frames at 33 a second, colours ball colours 0..5.

    // Ownership and board objects.
    GameApp* application = nullptr;
    GameHud* hud = nullptr;                  // owned; null until Create
    CurvePath curves[kBoardCurves];          // the ball tracks, each with its hole
    BallChain* chains[kMaxChains] = {};      // owned; made once, reused by every level
    OwnedItemArray<BallSprite> ballSprites{200};  // one per chain ball
    OwnedItemArray<GameObject> effects{200};      // explosions, coins, emitters, holes, the flying shot
    Ball shot;                               // the flying shot, one at a time
    int32_t shotCount = 0;                   // flying shots, 0 or 1
    int32_t shotPending = 0;                 // non-zero from shooting until the shot settles or misses
    int32_t holeCountdown = 10;              // frames a head may stand at a curve's end before a life goes
    Fixed objectFrameStep;                   // 0.07, the step handed to every board object's Update
    Surface* levelImage = nullptr;           // owned; the level's background
    int32_t levelImageOffset[2] = {};        // x, y where it is drawn when smaller than the screen
    Surface* overlayImages[kMaxOverlays] = {};  // owned; the level's overlay objects
    int32_t overlayCount = 0;
    FixedVec2 overlayPositions[kMaxOverlays];   // where each overlay is drawn
    Surface* nebula = nullptr;               // owned; the scrolling background of some maps, else null
    Fixed nebulaScroll;                      // the nebula's offset, in [-height, 0)
    Frog* frog = nullptr;                    // owned
    FixedVec2 mouthPoint;                    // where a shot leaves the frog
    FixedVec2 loadedBallPoint;               // the mouth point as last placed; the current ball stays on it
    BallSprite* currentBall = nullptr;       // owned; the ball in the frog's mouth, or null
    BallSprite* nextBall = nullptr;          // owned; the ball on its back, or null
    Fixed frogTouchRadiusSquared;            // px squared, for a tap on the frog
    TrackSparkle* trackSparkle = nullptr;    // owned; the glow that runs along the curves
    FloatingText* floatingTexts[kFloatingTexts] = {};  // owned; the rising score texts
    int32_t nextFloatingText = 0;            // the index of the next text to use
    ItemArrayOf<Ball*> bombTargets;          // chain balls the proximity bomb takes
    PairArray bombOffsets;                   // px from the blast's centre, one per explosion
    ItemArray bombDelays;                    // frames before each explosion
    int32_t bombPatternSize = 12;            // explosions of the bomb's pattern
    String titleLines[2];                    // the level's title and subtitle
    int32_t titleTimer = 0;                  // frames left of the banner's fade-in, 99 at its start
    uint8_t titleActive = 0;                 // the banner shows
    Fixed titleAlphas[2];                    // each line's fade, 0..255
    IntPoint titlePositions[2];              // px where each line is drawn
    FixedVec2 aimGuide[3];                   // the aim line: two base points beside the mouth and its end
    Surface* ballShadowImage = nullptr;      // not owned; the level's shadow image
    Widget* menuButton = nullptr;            // the layout's "btn_menu"
    ResourceEntry* tapSprite = nullptr;      // the sprite set "Tap"
    Surface* tapImage = nullptr;             // its first frame

    // Per curve.
    Fixed curveLength[kBoardCurves];         // px, taken at level start
    Fixed startDistance[kBoardCurves];       // where fed balls start: the curve's first point on screen
    uint8_t rollInActive[kBoardCurves] = {}; // 1 until the chain's tail has passed the roll-in distance
    Fixed rollInDistance[kBoardCurves];      // px along the curve where the fast roll-in ends
    Fixed dangerPoint[kBoardCurves];         // px: the length less the level's danger distance
    Fixed dangerRampReciprocal[kBoardCurves];  // 256 / the danger ramp's whole length, for the speed rule
    Fixed endSweepStart[kBoardCurves];       // the head distance when the curve's last chain emptied

    // Level rules and tuning, from the layout table and then per level.
    Difficulty difficulty;  // the set-up's working values; the fields below are taken from it
    Fixed collisionDistance;                 // px, ball spacing in a chain and the reach of a hit
    Fixed collisionDistanceSquared;          // px squared
    Fixed rollInSpeed;                       // while a chain rolls in
    Fixed rushSpeed;                         // while a life is being lost
    Fixed reverseSpeed;                      // backwards, during Reverse
    Fixed normalSpeed;                       // before the danger ramp
    Fixed endSpeed;                          // at and past the danger point
    Fixed gapClosingSpeeds[3];               // pull-back limit, relaxing rate (x 1.75), acceleration
    Fixed lifeLostSpeed;                     // px past a curve's end a tail passes to have drained
    Fixed shadowOffsetScale;                 // px a shadow moves per unit of the ball's visibility
    Fixed dangerRampLength;                  // px before the danger point where the speed starts to climb
    int32_t shadowFloor = 0;                 // px where ball shadows stop: the display height less 20
    int32_t shotSpeed = 0;                   // px per shot step
    int32_t gapBonusScale = 0;               // px of gap width (less 64) at which a gap bonus is least
    uint8_t colourEnabled[kBallColours] = {};  // 1 for each colour chains may use
    int32_t repeatPercent = 40;              // chance a new chain ball repeats the last colour
    int32_t lastChainColour = -1;            // the last new chain ball's colour, -1 at each fill
    int32_t targetScore = 0;                 // points at which balls stop being fed
    Fixed progressScale;                     // 256 / the points still to score at set-up, for the bar
    int32_t parTime = 0;                     // seconds
    int32_t powerUpInterval[kPowerUpKinds] = {};  // mean frames between spawns of each kind, 0 none
    int32_t reverseDuration = 0;             // frames
    int32_t slowDuration = 0;                // frames
    int32_t coinInterval = 330;              // frames after a coin before the next may come
    // The level's coin spots as design (x, y) pairs and, per track, the head distance each spot
    // waits for; coinPoints and coinGuards point at them.
    const PairArray* coinPoints = nullptr;
    FixedArray* coinGuards[kBoardCurves] = {};
    PairArray coinSpots;
    FixedArray coinGuardDistances[kBoardCurves];
    int32_t ballsPerNewChain = 1;            // balls FillChain lays

    // Counters and statistics.
    int32_t frameCounter = 0;                // frames run while no dialog is open
    int32_t levelTime = 0;                   // frames in play
    int32_t introFrames = 0;                 // frames of the intro
    int32_t levelScore = 0;                  // points of this level
    int32_t coinsCollected = 0;
    int32_t powerUpsUsed = 0;
    int32_t timeBonus = 0;                   // points given at the level's end
    int32_t shotsTaken = 0;                  // shots that left the frog this level (kept with the board)
    int32_t combo = 0;                       // matches made by the current shot
    int32_t chain = 0;                       // consecutive shots that made a match
    uint8_t matchedFlag = 0;                 // the current shot made a match
    int32_t bestChain = 0;
    int32_t bestCombo = 0;
    int32_t combos = 0;                      // matches that raised the combo to 2
    int32_t gapShots = 0;                    // matches that paid a gap bonus
    int32_t chainsEntered = 0;               // chain tails that came fully on screen
    uint8_t bombCollecting = 0;              // the bomb removes balls: no combo counts
    int32_t colourCount[kBallColours] = {};  // chain balls of each colour, never below 0
    int32_t lastSpawnFrame[kPowerUpKinds] = {};  // the frame counter at each kind's last spawn
    int32_t reverseTimer = 0;                // frames left of each running power-up
    int32_t slowTimer = 0;
    int32_t accuracyTimer = 0;
    int32_t lastCoinFrame = -330;            // the frame counter when the last coin went
    int32_t endSweepCurve = 0;               // the curve the level-end sweep runs on, 0 then 1
    int32_t quietFrames = 0;                 // level-end frames with no explosion left
    int32_t previewSweeps = 0;               // level-start sweeps begun, 0..2
    int32_t chainCount = 0;                  // chains that still hold balls
    int32_t curveCount = 0;                  // 1 or 2

    // Play-state flags.
    int32_t playState = kPlayStart;
    uint8_t targetReached = 0;               // the target is scored: no more balls are fed
    uint8_t lifeLost = 0;                    // a chain reached its hole: the board drains
    uint8_t levelFinished = 0;               // the board was cleared after the target
    uint8_t statisticsClosed = 0;            // the statistics dialog was closed
    uint8_t waitingAfterLoss = 0;            // the loss has played out; a press continues
    int32_t frogReloadTimer = 1;             // frames until the frog first loads, then -1
    uint8_t shootRequest = 0;                // a shot leaves at the next frame
    Fixed keyTurnRate;                       // degrees per frame of keypad turning, 1 rising to 15
    uint8_t keysHeld[4] = {};  // left, right, about-turn, swap
    uint8_t keyAiming = 0;                   // the last aim came from the keypad
    IntPoint pointerPoints[2];               // px, the last place of stylus pointers 0 and 1
    int32_t activePointer = 0;               // the pointer that aims, 0 or 1
    uint8_t pointerDown = 0;
    uint8_t secondPointerDown = 0;
    uint8_t frogTapped = 0;                  // the press began on the frog

    // The word the application reads to know whether a loss is being paid (0 while playing).
    int32_t endState = 0;
    // The speed rule's view of the board, refreshed before the chains move.
    ChainSpeedState speedState;

    // The life-lost sequence's own.
    int32_t lossFade = 0;       // 0..255, how far the board has darkened
    int32_t messageFrames = 0;  // frames the loss message has shown, at most 66
    String lossMessage;         // empty until the chains have drained
    int32_t messageX = 0, messageY = 0;  // px where the message is drawn
    Fixed frogSpinAngle;        // degrees, the spinning frog's angle
    Fixed frogSpinSpeed;        // degrees per frame, rising
    int32_t lossFadeValue = 0;  // 0..-255, the frog's alpha offset once drained
    // Words of the board record that nothing else uses, kept so that a record reads back as it
    // was written: five from construction (the second 0.25) and one set to -1 by a board reset.
    int32_t recordReserved[5] = {0, 64, 0, 0, 0};
    int32_t recordResetWord = -1;

private:
    void DrawShadow(Surface* target, BallSprite* sprite);
    FloatingText* TakeFloatingText();
};
