#include <memory>
#include <new>

#include "engine/graphics/particle_manager.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "engine/ui/script_widget.h"
#include "game/app/game_app.h"
#include "game/app/game_helpers.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/play/ball_sprite.h"
#include "game/play/chain_speed.h"
#include "game/play/floating_text.h"
#include "game/play/frog.h"
#include "game/play/game_hud.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/play/track_sparkle.h"

// The board's life: construction from the layout table, the set-up of the objects that live as
// long as the screen, and the start of each level with its first balls.

namespace {

FixedVec2 CentreOf(const FixedRect& r)
{
    return FixedVec2(Fixed::Raw(r.x.raw + (r.w.raw >> 1)), Fixed::Raw(r.y.raw + (r.h.raw >> 1)));
}

// A raw distance divided by 16 for the pan's steps: at least 1 unless the two ends agree.
Fixed PanStep(Fixed from, Fixed to)
{
    const int32_t distance = from.raw > to.raw ? from.raw - to.raw : to.raw - from.raw;
    if (distance == 0)
        return Fixed();
    return Fixed::Raw(distance / 16 > 0 ? distance / 16 : 1);
}

}  // namespace

GameplayScreen::GameplayScreen(GameApp* app) : GameScreen(app), application(app)
{
    const LayoutTable& layout = application->GetLayoutTable();
    for (CurvePath& curve : curves)
        curve.Bind(application);
    curveCount = 0;
    ballsPerNewChain = 1;
    repeatPercent = 40;
    lastChainColour = -1;
    holeCountdown = 10;
    objectFrameStep = Fixed::Raw(18);
    coinInterval = 330;
    bombPatternSize = 12;
    collisionDistance = layout.fixed[kLayoutBallDiameter];
    collisionDistanceSquared = collisionDistance * collisionDistance;
    rollInSpeed = layout.fixed[kLayoutRollInSpeed];
    normalSpeed = layout.fixed[kLayoutNormalSpeed];
    endSpeed = layout.fixed[kLayoutEndSpeed];
    rushSpeed = layout.fixed[kLayoutRushSpeed];
    reverseSpeed = layout.fixed[kLayoutReverseSpeed];
    for (int i = 0; i < 3; ++i)
        gapClosingSpeeds[i] = layout.fixed[kLayoutGapClosing + i];
    lifeLostSpeed = layout.fixed[kLayoutLifeLostSpeed];
    shadowOffsetScale = layout.fixed[kLayoutShadowOffset];
    shotSpeed = layout.ints[kLayoutShotSpeed];
    gapBonusScale = layout.ints[kLayoutGapBonusScale];
    const Fixed touch = Fixed::FromInt(layout.ints[kLayoutFrogTouch]);
    frogTouchRadiusSquared = touch * touch;
    keyTurnRate = Fixed();
    ProfileStore* profiles = application->GetProfiles();
    if (TrigTable* trig = application->GetRenderer())
        trig->SetDrawMode(profiles ? profiles->graphicsQuality : 1);
    // The board pieces reach the running level through the application.
    application->SetBoardScreen(this);
}

GameplayScreen::~GameplayScreen()
{
    GameApp* app = application;
    if (TrigTable* trig = app->GetRenderer())
        trig->SetDrawMode(2);
    StopLoopingSounds();
    app->ReleaseSprite(tapSprite);
    for (FloatingText*& text : floatingTexts)
        DeleteAndNull(text);
    for (BallChain*& chain : chains)
        DeleteBallChain(chain);
    DeleteTrackSparkle(trackSparkle);
    DeleteGameHud(hud);
    DeleteAndNull(levelImage);
    DeleteAndNull(nebula);
    DeleteAndNull(frog);
    DeleteAndNull(currentBall);
    DeleteAndNull(nextBall);
    for (Surface*& overlay : overlayImages)
        DeleteAndNull(overlay);
    ballSprites.Clear();
    effects.Clear();
    if (ParticleManager* particles = app->GetParticleManager())
        particles->KillAll(1);
    if (app->GetBoardScreen() == this)
        app->SetBoardScreen(nullptr);
}

bool GameplayScreen::Create()
{
    GameApp* app = application;
    if (!LoadLayout("keloui.txt", "root_gameplay"))
        return false;
    for (BallChain*& chain : chains) {
        chain = new (std::nothrow) BallChain(app);
        if (!chain)
            return false;
    }
    if (!CreateFloatingTexts())
        return false;
    if (!app->AcquireSprite(tapSprite, "Tap") || tapSprite->GetFrameCount() < 1)
        return false;
    tapImage = tapSprite->GetFrame(0);
    if (!tapImage || !MakeHud())
        return false;
    trackSparkle = new (std::nothrow) TrackSparkle(app, this);
    if (!trackSparkle || !trackSparkle->Init())
        return false;
    menuButton = RequireWidget("btn_menu");
    return menuButton != nullptr;
}

LoadResult GameplayScreen::StartLevel()
{
    ClearBoard();
    frameCounter = 0;
    levelTime = 0;
    LoadResult loaded = LoadLevel();
    if (loaded.failed())
        return loaded;
    if (!SetupDifficulty())
        return DifficultyFailure();
    lifeLost = 0;
    levelFinished = 0;
    frogReloadTimer = 1;
    levelScore = 0;
    coinsCollected = 0;
    powerUpsUsed = 0;
    timeBonus = 0;
    chainCount = curveCount;
    for (int32_t& count : colourCount)
        count = 0;
    for (int c = 0; c < curveCount; ++c) {
        curveLength[c] = curves[c].Length();
        rollInActive[c] = 1;
        StartDistance(c);
        FillChain(c, c);
    }
    for (int32_t& frame : lastSpawnFrame)
        frame = -3300;
    reverseTimer = slowTimer = accuracyTimer = 0;
    targetReached = 0;
    chain = combo = bestChain = bestCombo = chainsEntered = 0;
    bombCollecting = 0;

    bool gauntlet = false;
    ModeProgress* progress = CurrentProgress(gauntlet);
    const bool levelUp = progress && progress->levelUp;
    if (levelUp)
        progress->levelUp = false;
    HudLevelStart(levelUp);
    if (trackSparkle)
        trackSparkle->SetEnds();
    BuildBombPattern();
    lastCoinFrame = -330;

    ScreenTransition& transition = application->GetTransition();
    if (transition.kind == kTransitionQuake && frog) {
        const FixedVec2 centre = CentreOf(frog->Bounds());
        transition.end = centre;
        transition.steps = FixedVec2(PanStep(transition.start.x, centre.x), PanStep(transition.start.y, centre.y));
        frog->SetAngle(transition.angle);
        transition.rate = Fixed16::FromDouble(0.075);
    }
    introFrames = 0;
    titleAlphas[0] = titleAlphas[1] = Fixed();
    previewSweeps = 0;
    playState = 0;
    return LoadResult();
}

void GameplayScreen::StartDistance(int c)
{
    // Where the track first shows on the display itself, whatever part of it the board's design
    // area covers.
    if (c < 0 || c >= kBoardCurves)
        return;
    Surface* display = application->GetScreenSurface();
    const int width = display ? display->GetWidth() : 0, height = display ? display->GetHeight() : 0;
    startDistance[c] =
        CurveStartDistance(curves[c], width, height, application->GetLayoutTable().fixed[kLayoutBallRadius]);
}

bool GameplayScreen::FillChain(int index, int c)
{
    BallChain* target = index >= 0 && index < kMaxChains ? chains[index] : nullptr;
    if (!target || c < 0 || c >= kBoardCurves)
        return false;
    target->LayOut(ballsPerNewChain, startDistance[c]);
    target->SetPath(&curves[c], c);
    lastChainColour = -1;
    const int laid = target->count;
    for (int i = 0; i < laid; ++i) {
        const int colour = NextChainColour();
        std::unique_ptr<BallSprite> owned(CreateBallSprite(colour));
        if (!owned || !ballSprites.Append(owned.get())) {
            // Only the balls that have a sprite stay in the chain.
            target->count = i;
            return false;
        }
        BallSprite* sprite = owned.release();
        KELO_ASSERT(colour >= 0 && colour < kBallColours);  // a sprite was made for it
        ++colourCount[colour];
        sprite->SetPositionAndSize(FixedVec2(Fixed::FromInt(-400), Fixed::FromInt(-400)),
                                   FixedVec2(sprite->Bounds().w, sprite->Bounds().h));
        Ball& ball = target->balls[i];
        ball.sprite = sprite;
        ball.colour = colour;
        ball.growth = Fixed::FromInt(1);
        ball.matched = 0;
        ball.isNew = 0;
    }
    target->speed = rollInSpeed;
    target->targetSpeed = rollInSpeed;
    target->entering = 1;
    return true;
}

int GameplayScreen::NextChainColour()
{
    if (lastChainColour != -1 && GameApp::Random(25600) / 256 < repeatPercent)
        return lastChainColour;
    int pool[6];
    int n = 0;
    for (int c = 0; c < 6; ++c)
        if (colourEnabled[c] && c != lastChainColour)
            pool[n++] = c;
    if (n == 0)
        return lastChainColour;
    lastChainColour = pool[GameApp::Random(n * 256) / 256];
    return lastChainColour;
}

int GameplayScreen::PickBoardColour()
{
    int pool[6];
    int n = 0;
    for (int c = 0; c < 6; ++c)
        if (colourCount[c] > 0)
            pool[n++] = c;
    if (n == 0)
        return NextChainColour();
    return pool[GameApp::Random(n * 256) / 256];
}

BallSprite* GameplayScreen::CreateBallSprite(int colour)
{
    if (colour < 0 || colour > 5)
        return nullptr;
    BallSprite* sprite = new (std::nothrow) BallSprite(application, colour);
    if (sprite && !sprite->Init())
        DeleteAndNull(sprite);
    return sprite;
}

bool GameplayScreen::CanSaveLevel()
{
    return !levelFinished && GetEndState() == 0;
}

bool GameplayScreen::DrawCapture(Surface* target)
{
    if (!target)
        return false;
    DrawBackground(target);
    return true;
}

void GameplayScreen::OpenPauseDialog()
{
    if (FindModalChild())
        return;
    StopLoopingSounds();
    RunActionFromFile("keloui.txt", "acn_pause_on");
    for (uint8_t& held : keysHeld)
        held = 0;
    keyTurnRate = Fixed();
}

void GameplayScreen::StopLoopingSounds()
{
    SoundBank* sounds = application->GetSoundBank();
    if (!sounds)
        return;
    sounds->Stop(kEndPopSound);
    sounds->Stop(kRollingSound);
    sounds->Stop(kTrailSound);
}

int GameplayScreen::LossFadeValue() const
{
    return playState == kPlayLifeLost ? lossFadeValue : 0;
}

bool GameplayScreen::MakeHud()
{
    hud = new (std::nothrow) GameHud(application, this);
    return hud && hud->Load();
}

void GameplayScreen::HudLevelStart(bool levelUp)
{
    if (!hud)
        return;
    hud->RefreshLabels();
    // After a level-up the bar shows the new level's progress at once; otherwise it drains from
    // full to what the level has earned.
    if (!levelUp)
        hud->FillBar();
}

void GameplayScreen::HudFrame()
{
    if (hud)
        hud->Update();
}

void GameplayScreen::HudBackground()
{
    if (hud && levelImage)
        hud->DrawFrame(levelImage, false);
}

void GameplayScreen::OnSparkleAtHole(int c)
{
    Hole* hole = c >= 0 && c < 2 ? curves[c].GetHole() : nullptr;
    if (hole)
        hole->StartGlow();
    if (playState != 1)
        return;
    if (SoundBank* sounds = application->GetSoundBank()) {
        sounds->Stop(kTrailSound);
        sounds->Play(kTrailAtHoleSound);
    }
}
