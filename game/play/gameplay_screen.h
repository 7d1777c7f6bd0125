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
constexpr int kMaxOverlays = 10;

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

    // ===== screen set-up, level start, frame update, level loading, difficulty (gpcore) =====
    // The set-up: loads the layout and makes the chains, texts, display and sparkle. The base's
    // Init (the fade-in) stays as it is.
    bool Create() override;
    bool StartLevel();
    void StartDistance(int curve);
    bool FillChain(int chain, int curve);
    int NextChainColour();
    int PickBoardColour();
    BallSprite* CreateBallSprite(int colour);

    void Update() override;
    // Called once per frame by the update; does nothing here.
    virtual void OnFrameHook() {}
    virtual void OnSecondHook() {}
    void ShowTitleBanner();
    bool UpdateTitleBanner();
    void UpdateNebula();
    void RecolourFrogBalls();
    // Replaces a frog ball colour (-1: no ball) that no chain ball has any more; true when both
    // were kept.
    bool CheckFrogColours(int& current, int& next);

    bool ClearBoard();
    bool LoadLevel();
    bool LoadCurves(const MapInfo& map);
    void MapDesignPoint(float& x, float& y);
    bool LoadLevelImages(const MapInfo& map);
    bool LoadBallShadow();
    bool BuildLevelTitle();
    bool SetupDifficulty();
    void ComputeRollInSpeed(Fixed normalSpeed);
    void ScaleSpeeds();
    void ScaleSpeedsForTwoCurves();

    void StopLoopingSounds();
    int LossFadeValue() const override;
    void OnSparkleAtHole(int curve) override;
    void OpenPauseDialog() override;
    bool CanSaveLevel() override;
    bool DrawCapture(Surface* target) override;
    int GetEndState() const { return endState; }
    // BoardScreen queries
    int GetPlayState() const override { return playState; }
    int GetShotCount() const override { return shotCount; }
    Ball* GetShot(int index) override { return index == 0 && shotCount > 0 ? &shot : nullptr; }
    int GetTargetScore() const override { return targetScore; }
    bool IsSurvival() const override;
    int GetCurveCount() const override { return curveCount; }
    CurvePath* GetCurve(int index) override { return index >= 0 && index < kBoardCurves ? &curves[index] : nullptr; }

    // The progress of the current player's mode (null without a player) and whether it is the
    // gauntlet; the map that progress stands at, null for one outside the tables.
    struct ModeProgress* CurrentProgress(bool& gauntlet) const;
    const MapInfo* CurrentMap() const;
    bool LoadOverlays(const MapInfo& map);
    // The set-up's working values copied into the fields the rules read.
    void ApplyDifficulty();
    void UpdateIntro();
    void UpdateBoardObjects();
    // Steps 8 to 11 of a play frame: the won level, its end sweeps and statistics; true when the
    // frame ends there.
    bool UpdateLevelEnd();
    void FinishFrame();
    bool SparkleRunning() const;
    void PurgeDeadBallSprites();
    // The in-game display's part in the set-up, the level start (the bar drains from full unless
    // the level was reached by a level-up), the frame and the level's background.
    bool MakeHud();
    void HudLevelStart(bool levelUp);
    void HudFrame();
    void HudBackground();
    // ===== end gpcore methods =====

    // ===== chain movement, gaps, matches, shots and insertion (gpchains) =====
    Fixed ChainSpeed(BallChain& chain, bool& pause);
    void KeepSpacing();
    void AdvanceChains();
    void FeedChains();
    void CloseGaps();
    bool SameColourAcrossGap(BallChain& chain, int i);
    void RemoveUnenteredBalls();
    void FindMatches();
    void GapAfterMatch(BallChain& chain);

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
    void OnInsertedBallSettled() override;
    // The chains in play: the non-empty ones of the ten slots, at most chain count of them, in
    // slot order; returns how many were written.
    int ChainsInPlay(BallChain* out[kMaxChains]);
    // Feeds one ball at the distance onto the tail; false (nothing added) when the chain already
    // holds 199 balls or no sprite could be made.
    bool AddChainBall(BallChain& chain, Fixed distance);
    // ===== end gpchains methods =====

    // ===== input, aiming, drawing, floating texts, in-game display (gpview) =====
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;  // OnUiEvent
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;                   // single pointer (pointer 0)
    bool OnPointerEx(int x, int y, int kind, int pointer) override;    // multi-pointer
    void SetAim(Fixed angle);
    void AimAt(int x, int y);
    bool HitTestFrog(int x, int y);

    void Draw() override;
    // The HUD's texts.
    int GetTextPlaces(TextPlace* out, int max) override;
    void DrawBackground(Surface* target);
    virtual void DrawLayers();
    void CaptureHoleBackgrounds(Surface* levelImage);
    void DrawHoles(Surface* target, bool full);
    void UpdateAimGuide();
    void DrawAimGuide();

    bool CreateFloatingTexts();
    void ShowScoreText(int points, int x, int y, int colour, int combo, int chain, int gapBonus, int gaps);
    void ShowCoinBonusText(int points, int x, int y);

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

private:
    void DrawShadow(Surface* target, BallSprite* sprite);
    FloatingText* TakeFloatingText();

public:
    // ===== end gpview methods =====

    // ===== matches, scoring, target, power-ups, bomb, coins (rulesscore) =====
    void CollectExploded(BallChain& chain);
    void ScoreMatch(int x, int y, int ballCount, int colour, int gapBonus, int gapCount);
    void AddScore(int points);
    void AddCoinBonus(Fixed x, Fixed y, int points) override;
    void AddPlainBonus(int x, int y, int points) override;
    void CountCoinCollected() override { ++coinsCollected; }
    void SpawnBallExplosion(Fixed x, Fixed y, int colour);
    void CheckTargetReached();
    virtual bool IsLevelCleared();
    bool NoEffectsPending();
    void StartPreviewSweep();
    void StartEndSweep();
    void UpdateEndExplosions();
    bool IsEndSweepDone();

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

    void UpdateCoins();
    bool SpawnCoin(int x, int y);

    void PlayRulesSound(int index, bool looped = false);
    // The furthest head distance the curve's hole has seen; 0 without a hole.
    Fixed CurveHeadDistance(int curve) const;
    void FlashBallSprites();
    // A new explosion centred on the point, in the effect list; dropped when it cannot be made.
    void AddExplosion(Fixed x, Fixed y, int colour, int delay);
    // ===== end rulesscore methods =====

    // ===== board record, hole and lives, pause, statistics and level end (rulesend) =====
    bool SaveGame(Stream* stream);
    bool LoadSavedGame(Stream* stream);
    virtual bool SerializeState(Stream* stream, bool saving);
    bool Serialize(Stream* stream, bool saving) override;
    Ball* FindBallBySaveNumber(int number);

    void CheckHole();
    void UpdateHoleCover(int curve);
    void FeedTrackSparkle();
    void LoseLife();
    void LoseLifeSequence();
    void ShowLostStatsDialog();

    void ShowStatsDialog();
    int TimeBonus(int frames, int parFrames);
    void LevelEnd();
    void AdventureLevelEnd();
    void GauntletLevelEnd();
    // The loss and level-end steps of the input handlers; true when they took the input.
    bool OnRulesKey(int key, bool down);
    bool OnRulesPointer(int x, int y, int pointer, int phase);
    bool OnRulesUiEvent(Widget* sender, int code, const char* name, int param);
    // The best time of a won level, the stage's or the practice level's record: a stored time of
    // 0 or less counts as none; otherwise only a faster time replaces it.
    void RecordBestTime();
    // ===== end rulesend methods =====

    // ----- ownership and board objects -----
    GameApp* application = nullptr;
    GameHud* hud = nullptr;
    CurvePath curves[kBoardCurves];
    BallChain* chains[kMaxChains] = {};
    OwnedItemArray<BallSprite> ballSprites{200};
    OwnedItemArray<GameObject> effects{200};
    Ball shot;
    int32_t shotCount = 0;
    int32_t shotPending = 0;
    int32_t holeCountdown = 10;
    Fixed objectFrameStep;
    Surface* levelImage = nullptr;
    int32_t levelImageOffset[2] = {};
    Surface* overlayImages[kMaxOverlays] = {};
    int32_t overlayCount = 0;
    FixedVec2 overlayPositions[kMaxOverlays];
    Surface* nebula = nullptr;
    Fixed nebulaScroll;
    Frog* frog = nullptr;
    FixedVec2 mouthPoint;
    FixedVec2 loadedBallPoint;
    BallSprite* currentBall = nullptr;
    BallSprite* nextBall = nullptr;
    Fixed frogTouchRadiusSquared;
    TrackSparkle* trackSparkle = nullptr;
    FloatingText* floatingTexts[kFloatingTexts] = {};
    int32_t nextFloatingText = 0;
    ItemArrayOf<Ball*> bombTargets;
    PairArray bombOffsets;
    ItemArray bombDelays;
    int32_t bombPatternSize = 12;
    String titleLines[2];
    int32_t titleTimer = 0;
    uint8_t titleActive = 0;
    Fixed titleAlphas[2];
    IntPoint titlePositions[2];
    FixedVec2 aimGuide[3];
    Surface* ballShadowImage = nullptr;
    Widget* menuButton = nullptr;
    ResourceEntry* tapSprite = nullptr;
    Surface* tapImage = nullptr;

    // ----- per curve -----
    Fixed curveLength[kBoardCurves];
    Fixed startDistance[kBoardCurves];
    uint8_t rollInActive[kBoardCurves] = {};
    Fixed rollInDistance[kBoardCurves];
    Fixed dangerPoint[kBoardCurves];
    Fixed dangerRampReciprocal[kBoardCurves];
    Fixed endSweepStart[kBoardCurves];

    // ----- level rules and tuning -----
    Difficulty difficulty;  // the set-up's working values; the fields below are taken from it
    Fixed collisionDistance;
    Fixed collisionDistanceSquared;
    Fixed rollInSpeed;
    Fixed rushSpeed;
    Fixed reverseSpeed;
    Fixed normalSpeed;
    Fixed endSpeed;
    Fixed gapClosingSpeeds[3];
    Fixed lifeLostSpeed;
    Fixed shadowOffsetScale;
    Fixed dangerRampLength;
    int32_t shotSpeed = 0;
    int32_t gapBonusScale = 0;
    uint8_t colourEnabled[kBallColours] = {};
    int32_t repeatPercent = 40;
    int32_t lastChainColour = -1;
    int32_t targetScore = 0;
    Fixed progressScale;
    int32_t parTime = 0;
    int32_t powerUpInterval[kPowerUpKinds] = {};
    int32_t reverseDuration = 0;
    int32_t slowDuration = 0;
    int32_t coinInterval = 330;
    const PairArray* coinPoints = nullptr;
    FixedArray* coinGuards[kBoardCurves] = {};
    int32_t ballsPerNewChain = 1;

    // ----- counters and statistics -----
    int32_t frameCounter = 0;
    int32_t levelTime = 0;
    int32_t introFrames = 0;
    int32_t levelScore = 0;
    int32_t coinsCollected = 0;
    int32_t powerUpsUsed = 0;
    int32_t timeBonus = 0;
    int32_t combo = 0;
    int32_t chain = 0;
    uint8_t matchedFlag = 0;
    int32_t bestChain = 0;
    int32_t bestCombo = 0;
    int32_t combos = 0;
    int32_t gapShots = 0;
    int32_t chainsEntered = 0;
    uint8_t bombCollecting = 0;
    int32_t colourCount[kBallColours] = {};
    int32_t lastSpawnFrame[kPowerUpKinds] = {};
    int32_t reverseTimer = 0;
    int32_t slowTimer = 0;
    int32_t accuracyTimer = 0;
    int32_t lastCoinFrame = -330;
    int32_t endSweepCurve = 0;
    int32_t quietFrames = 0;
    int32_t previewSweeps = 0;
    int32_t chainCount = 0;
    int32_t curveCount = 0;

    // ----- play-state flags -----
    int32_t playState = kPlayStart;
    uint8_t targetReached = 0;
    uint8_t lifeLost = 0;
    uint8_t levelFinished = 0;
    uint8_t statisticsClosed = 0;
    uint8_t waitingAfterLoss = 0;
    int32_t frogReloadTimer = 1;
    uint8_t shootRequest = 0;
    Fixed keyTurnRate;
    uint8_t keysHeld[4] = {};  // left, right, about-turn, swap
    uint8_t keyAiming = 0;
    IntPoint pointerPoints[2];
    int32_t activePointer = 0;
    uint8_t pointerDown = 0;
    uint8_t secondPointerDown = 0;
    uint8_t frogTapped = 0;

    // The word the application reads to know whether a loss is being paid (0 while playing).
    int32_t endState = 0;
    // The speed rule's view of the board, refreshed before the chains move.
    ChainSpeedState speedState;

    // ===== gpcore fields =====
    // The level's coin spots as design (x, y) pairs and, per track, the head distance each spot
    // waits for; coinPoints and coinGuards point at them.
    PairArray coinSpots;
    FixedArray coinGuardDistances[kBoardCurves];
    int32_t shadowFloor = 0;  // where ball shadows stop: the display height less 20
    // ===== end gpcore fields =====

    // ===== gpchains fields =====
    int32_t shotsTaken = 0;  // shots that left the frog this level (kept with the board)
    // ===== end gpchains fields =====

    // ===== gpview fields =====
    // ===== end gpview fields =====

    // ===== rulesscore fields =====
    // ===== end rulesscore fields =====

    // ===== rulesend fields (the life-lost sequence's own) =====
    int32_t lossFade = 0;       // 0..255, how far the board has darkened
    int32_t messageFrames = 0;  // frames the loss message has shown, at most 66
    String lossMessage;         // empty until the chains have drained
    int32_t messageX = 0, messageY = 0;
    Fixed frogSpinAngle;
    Fixed frogSpinSpeed;
    int32_t lossFadeValue = 0;  // 0..-255, the frog's alpha offset once drained
    // Words of the board record that nothing else uses, kept so that a record reads back as it
    // was written: five from construction (the second 0.25) and one set to -1 by a board reset.
    int32_t recordReserved[5] = {0, 64, 0, 0, 0};
    int32_t recordResetWord = -1;
    // ===== end rulesend fields =====
};
