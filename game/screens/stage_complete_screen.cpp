#include "game/screens/stage_complete_screen.h"

#include <memory>
#include <new>
#include <string>

#include "engine/core/archive.h"
#include "engine/core/format_text.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/fill_lines.h"
#include "engine/graphics/font.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/graphics/trig_table.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_helpers.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/play/curve_file.h"
#include "game/play/game_hud.h"
#include "game/play/hole.h"
#include "game/tables/map_info.h"
#include "game/tables/progression.h"

namespace {

constexpr const char* kLayoutFile = "keloui.txt";
constexpr int32_t kScaleOne = 65536;
constexpr int32_t kScaleMax = 98304;  // 1.5
constexpr int32_t kGrowStep = 2621;   // 0.04
constexpr int32_t kShrinkStep = 66;   // 0.001
constexpr int32_t kTurnStep = 5;      // 0.02 degrees
constexpr int32_t kSlideRate = 3277;  // 0.05
constexpr int kDimStep = 2;

}  // namespace

StageCompleteScreen::StageCompleteScreen(GameApp* app) : GameScreen(app)
{
    for (int i = 0; i < kWaypoints; ++i)
        waypoints_[i] = FixedVec2(Fixed::FromInt(GameApp::LayoutInt(application_, kLayoutWalkX + i)),
                                  Fixed::FromInt(GameApp::LayoutInt(application_, kLayoutWalkY + i)));
    evenSpeed_ = Fixed::FromInt(GameApp::LayoutInt(application_, kLayoutEvenSpeed));
    oddSpeed_ = Fixed::FromInt(GameApp::LayoutInt(application_, kLayoutOddSpeed));
    lastSpeed_ = Fixed::FromInt(GameApp::LayoutInt(application_, kLayoutLastSpeed));
}

StageCompleteScreen::~StageCompleteScreen()
{
    DeleteAndNull(background_);
    DeleteAndNull(dimmed_);
    DeleteGameHud(hud_);
    if (GameApp* app = GetGameApp())
        app->ReleaseSprite(frogSet_);
}

bool StageCompleteScreen::Create()
{
    GameApp* app = GetGameApp();
    ModeProgress* progress = CurrentProgressOf(app);
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!progress || !display || !LoadLayout(kLayoutFile, "root_stage_complete"))
        return false;
    SetRect(0, 0, display->GetWidth(), display->GetHeight());
    angle_ = app->GetTransition().angle;
    nebulaOffset_ = app->GetTransition().nebulaOffset;

    // The stage is already the next one; the picture is of the one just won.
    int stage = progress->stage;
    int map = AdventureStageMap(stage - 1);
    if (map < 0 || map >= app->GetLevelTables().maps.Count())
        return false;
    const MapInfo& record = app->GetLevelTables().maps[map];
    if (!BuildBackground(record))
        return false;
    // The frog stands where the level had it, in this screen's pixels.
    float x = record.frogX, y = record.frogY;
    MapDesignPoint(DesignMappingOf(app), x, y);
    frog_ = FixedVec2(Fixed::FromDouble(x), Fixed::FromDouble(y));

    Font* font = app->GetMainFont();
    StringTable* table = app->GetLanguageTable();
    String caption;
    if (table)
        table->Lookup(caption, "STR_STAGE");
    String format;
    String::Concat(format, caption, String(" %d"));
    stageText_ = FormatText(format.CStr(), {Adventure::DoorOfStage(stage - 1)});
    if (table)
        table->Lookup(completeText_, "STR_COMPLETE");
    int width = display->GetWidth();
    stageAt_ = Point{(width - (font ? font->MeasureText(stageText_.CStr()) : 0)) >> 1,
                     GameApp::LayoutInt(application_, kLayoutStageTextY)};
    completeAt_ = Point{(width - (font ? font->MeasureText(completeText_.CStr()) : 0)) >> 1,
                        GameApp::LayoutInt(application_, kLayoutCompleteTextY)};

    // The frame, caption and score of the game stay in place over the picture.
    DeleteGameHud(hud_);
    hud_ = new (std::nothrow) GameHud(app, nullptr);
    if (!hud_ || !hud_->Load())
        return false;
    hud_->RefreshLabels();

    if (!app->AcquireSprite(frogSet_, "FrogAll"))
        return false;
    phase_ = 0;
    StartPhase();
    return true;
}

bool StageCompleteScreen::BuildBackground(const MapInfo& map)
{
    GameApp* app = GetGameApp();
    Surface* target = app ? app->GetDrawTarget() : nullptr;
    if (!target)
        return false;
    DeleteAndNull(background_);
    DeleteAndNull(dimmed_);
    String folder = app->GetImageFolder();
    String path;
    if (!map.nebula) {
        const char* art = map.art ? map.art : "";
        path.Format("%slevels\\%s\\%s", folder.CStr() ? folder.CStr() : "", art, art);
    } else {
        path.Format("%snebula", folder.CStr() ? folder.CStr() : "");
    }
    app->SetImageListEnabled(false);
    LoadedValue<Surface*> loaded = LoadImage(app, path.CStr(), nullptr);
    app->SetImageListEnabled(true);
    std::unique_ptr<Surface> image(loaded.value);
    if (!image) {
        KeepLoadFailure(loaded.why);
        return false;
    }
    int w = image->GetWidth(), h = image->GetHeight();
    if (!map.nebula) {
        image->Draw(target, 0, 0, w, h, 0, 0);
    } else if (w > 0 && h > 0) {
        // Tiled from the height the level had scrolled the nebula to.
        for (int y = nebulaOffset_.ToInt(); y < target->GetHeight(); y += h)
            for (int x = 0; x < target->GetWidth(); x += w)
                image->Draw(target, x, y, w, h, 0, 0);
    }
    image.reset();

    ModeProgress* progress = CurrentProgressOf(app);
    ResourceEntry* pits = nullptr;
    app->AcquireSprite(pits, "Hole");
    Surface* pit = pits ? pits->GetFrame(0) : nullptr;
    FixedVec2 half = pit ? FixedVec2(Fixed::FromInt(pit->GetWidth() / 2), Fixed::FromInt(pit->GetHeight() / 2))
                         : FixedVec2();
    bool holesDrawn = true;
    for (int i = 0; i < (map.twoCurves ? 2 : 1) && holesDrawn; ++i) {
        Hole hole(app);
        holesDrawn = hole.Init();
        // Centred where the level left the track's end.
        FixedVec2 centre = progress ? progress->holePositions[i] : FixedVec2();
        hole.SetPositionAndSize(FixedVec2(centre.x - half.x, centre.y - half.y),
                                FixedVec2(half.x + half.x, half.y + half.y));
        hole.SetDrawingEnabled(true);
        hole.Draw(target, 0, 0);
    }
    app->ReleaseSprite(pits);
    if (!holesDrawn)
        return false;

    Surface* display = app->GetScreenSurface();
    background_ = CreateSurfaceSized(app, display->GetWidth(), display->GetHeight(), false);
    if (!background_)
        return false;
    int side = target->GetWidth() > target->GetHeight() ? target->GetWidth() : target->GetHeight();
    CopySurfaceOriented(app, target, background_, 0, 0, side, side);
    return true;
}

void StageCompleteScreen::StartPhase()
{
    if (phase_ < 0 || phase_ >= kWaypoints)
        return;
    Fixed speed = phase_ == 3 ? lastSpeed_ : (phase_ & 1) ? oddSpeed_ : evenSpeed_;
    FixedVec2 target = waypoints_[phase_];
    if (frog_.x == target.x) {
        velocity_ = FixedVec2(Fixed(), speed);
    } else if (frog_.y == target.y) {
        velocity_ = FixedVec2(speed, Fixed());
    } else {
        FixedVec2 d(target.x - frog_.x, target.y - frog_.y);
        d.Normalize();
        velocity_ = FixedVec2(Fixed::Abs(d.x) * speed, Fixed::Abs(d.y) * speed);
    }
    pulseRate_ = Fixed16();
    pulseCount_ = 0;
    if (!(phase_ & 1))
        return;
    int length = static_cast<int>((phase_ == 1 ? stageText_ : completeText_).Length());
    int distance = (waypoints_[phase_].x - waypoints_[phase_ - 1].x).ToInt();
    if (length <= 0 || evenSpeed_.raw <= 0 || distance <= 0)
        return;
    // Half a pulse per character over the time the walk takes: the letters come with the beats.
    Fixed16 perLetter = Fixed16::Divide(Fixed16::FromInt(distance), Fixed16::FromInt(length));
    perLetter.raw >>= 1;
    Fixed16 beat = Fixed16::Divide(perLetter, Fixed16::Raw(oddSpeed_.raw << 8));
    if (beat.raw <= 0)
        return;
    pulseRate_ = Fixed16::Divide(Fixed16::Raw(kScaleMax - kScaleOne), beat);
}

bool StageCompleteScreen::StepAxis(Fixed& position, Fixed target, Fixed velocity)
{
    // Normalising can round a short axis's speed to 0 beside a long one: it would never arrive.
    if (position == target || velocity.raw == 0)
        return true;
    int32_t d = target.raw - position.raw;
    if (d < 0 && d < -velocity.raw) {
        position.raw -= velocity.raw;
        return false;
    }
    if (d > 0 && d > velocity.raw) {
        position.raw += velocity.raw;
        return false;
    }
    return true;
}

void StageCompleteScreen::Update()
{
    GameScreen::Update();
    dim_ = dim_ + kDimStep > kDimMax ? kDimMax : dim_ + kDimStep;
    if (phase_ < kFinished) {
        FixedVec2 target = waypoints_[phase_];
        bool xThere = StepAxis(frog_.x, target.x, velocity_.x);
        bool yThere = StepAxis(frog_.y, target.y, velocity_.y);
        if (xThere && yThere) {
            ++phase_;
            if (phase_ < kFinished)
                StartPhase();
        }
    }
    if (phase_ == 0 || phase_ == 2) {
        scale_.raw = scale_.raw + kGrowStep > kScaleMax ? kScaleMax : scale_.raw + kGrowStep;
    } else if (phase_ == 1 || phase_ == 3) {
        scale_.raw += pulseRate_.raw;
        if (scale_.raw >= kScaleMax) {
            scale_.raw = kScaleMax;
            pulseRate_.raw = -pulseRate_.raw;
        } else if (scale_.raw <= kScaleOne) {
            scale_.raw = kScaleOne;
            pulseRate_.raw = -pulseRate_.raw;
            ++pulseCount_;
        }
    } else if (scale_.raw > kScaleOne) {
        scale_.raw = scale_.raw - kShrinkStep < kScaleOne ? kScaleOne : scale_.raw - kShrinkStep;
        angle_.raw += kTurnStep;
        while (angle_.raw >= 360 * 256)
            angle_.raw -= 360 * 256;
    }
}

int StageCompleteScreen::ShownLength(int textPhase, int length) const
{
    if (phase_ < textPhase)
        return 0;
    if (phase_ > textPhase)
        return length;
    return pulseCount_ < length ? pulseCount_ : length;
}

void StageCompleteScreen::DrawText(Surface* surface, const String& text, Point at, int count)
{
    GameApp* app = GetGameApp();
    Font* font = app ? app->GetMainFont() : nullptr;
    if (!font || count <= 0 || text.IsEmpty())
        return;
    std::string shown(text.CStr(), static_cast<size_t>(count));
    font->DrawText(surface, at.x, at.y, shown.c_str(), 255, 255, 255, 0, 255, nullptr);
}

// A copy of the background under the dim, or null when none can be made.
Surface* StageCompleteScreen::DimmedCopy(GameApp* app, Surface* background, int dim)
{
    Surface* display = app->GetScreenSurface();
    Surface* copy = display ? CreateSurfaceSized(app, display->GetWidth(), display->GetHeight(), false) : nullptr;
    if (!copy)
        return nullptr;
    background->Draw(copy, 0, 0, background->GetWidth(), background->GetHeight(), 0, 0);
    FillRectRotatedBlend(app, copy, 0, 0, copy->GetWidth(), copy->GetHeight(), 0, 0, 0, dim);
    return copy;
}

void StageCompleteScreen::DrawContent(Surface* surface)
{
    GameApp* app = GetGameApp();
    if (!app || !surface)
        return;
    if (dim_ == kDimMax && background_ && !dimmed_)
        dimmed_ = DimmedCopy(app, background_, kDimMax);
    // The dim covers the whole screen, so blending the background alone gives the same pixels.
    bool dimmedReady = dim_ == kDimMax && dimmed_ && background_ && surface->GetWidth() == background_->GetWidth() &&
                       surface->GetHeight() == background_->GetHeight();
    Surface* under = dimmedReady ? dimmed_ : background_;
    if (under)
        under->Draw(surface, 0, 0, under->GetWidth(), under->GetHeight(), 0, 0);
    if (!dimmedReady)
        FillRectRotatedBlend(app, surface, 0, 0, surface->GetWidth(), surface->GetHeight(), 0, 0, 0, dim_);
    if (hud_)
        hud_->Draw(surface);
    int stageLength = static_cast<int>(stageText_.Length());
    int completeLength = static_cast<int>(completeText_.Length());
    DrawText(surface, stageText_, stageAt_, ShownLength(1, stageLength));
    DrawText(surface, completeText_, completeAt_, ShownLength(3, completeLength));
    Surface* frog = frogSet_ ? frogSet_->GetFrame(0) : nullptr;
    if (drawingOwn_ && frog && app->GetRenderer())
        app->GetRenderer()->DrawRotated(frog, surface, frog_.x, frog_.y, angle_.raw, scale_);
}

void StageCompleteScreen::Draw()
{
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!display)
        return;
    drawingOwn_ = true;
    DrawContent(display);
    drawingOwn_ = false;
    DialogWidget::Draw();
}

bool StageCompleteScreen::DrawCapture(Surface* target)
{
    if (!target)
        return false;
    // The frog flies on over the pieces; it is not cut into them.
    drawingOwn_ = false;
    DrawContent(target);
    return true;
}

bool StageCompleteScreen::OnKey(int, bool down)
{
    if (down)
        Continue();
    return true;
}

bool StageCompleteScreen::OnPointer(int, int, int kind)
{
    if (kind == kPointerDown)
        Continue();
    return true;
}

void StageCompleteScreen::Continue()
{
    GameApp* app = GetGameApp();
    ModeProgress* progress = CurrentProgressOf(app);
    // A press while the screen fades in or out, or after the first, would restart the transition.
    if (!progress || continued_ || IsScreenFading())
        return;
    continued_ = true;
    int stage = progress->stage;
    int finished = Adventure::DoorOfStage(stage - 1), next = Adventure::DoorOfStage(stage);
    bool templeChanged =
        Adventure::TempleOfDoor(finished) != Adventure::TempleOfDoor(next) || stage > kAdventureStageCount;
    // The post starts the fade-out, which resets the transition: it is filled afterwards.
    SendEvent(app, templeChanged ? kEventTempleComplete : kEventPlayLevel, nullptr, 0, true);
    LoadResult quake = app->CaptureQuakePieces();
    if (quake.failed()) {
        app->TellOnce("earthquake", quake);
        return;
    }
    ScreenTransition& transition = app->GetTransition();
    transition.start = frog_;
    transition.angle = angle_;
    transition.scale = scale_;
    if (templeChanged) {
        transition.rate = Fixed16::Raw(kSlideRate);
        transition.kind = kTransitionSlide;
        return;
    }
    transition.end = frog_;
    transition.quake = true;
    transition.quakeCountdown = kQuakeCountdown;
    transition.kind = kTransitionQuake;
    if (SoundBank* bank = app->GetSoundBank())
        bank->Play(kQuakeSound);
}

bool StageCompleteScreen::Serialize(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    int32_t values[12] = {angle_.raw,    frog_.x.raw,     frog_.y.raw,     scale_.raw,
                          phase_,        dim_,            evenSpeed_.raw,  oddSpeed_.raw,
                          lastSpeed_.raw, velocity_.x.raw, velocity_.y.raw, nebulaOffset_.raw};
    for (int32_t& value : values)
        archive.SerializeWord(value);
    if (saving || !archive.IsOk())
        return archive.IsOk();
    // A record out of range would walk past the waypoints or never arrive: it is refused whole.
    if (values[4] < 0 || values[4] > kFinished || values[5] < 0 || values[5] > kDimMax || values[3] < kScaleOne ||
        values[3] > kScaleMax)
        return false;
    for (int i = 6; i <= 10; ++i)
        if (values[i] < 0)
            return false;
    angle_.raw = values[0];
    frog_ = FixedVec2(Fixed::Raw(values[1]), Fixed::Raw(values[2]));
    scale_.raw = values[3];
    phase_ = values[4];
    dim_ = values[5];
    evenSpeed_.raw = values[6];
    oddSpeed_.raw = values[7];
    lastSpeed_.raw = values[8];
    velocity_ = FixedVec2(Fixed::Raw(values[9]), Fixed::Raw(values[10]));
    nebulaOffset_.raw = values[11];
    // The pulse is not kept: a text phase takes its rate again so its letters still come.
    if (phase_ < kFinished) {
        FixedVec2 velocity = velocity_;
        StartPhase();
        velocity_ = velocity;
    }
    return true;
}

void StageCompleteScreen::SetWalk(FixedVec2 frog, const FixedVec2* waypoints, int phase)
{
    frog_ = frog;
    for (int i = 0; i < kWaypoints; ++i)
        waypoints_[i] = waypoints[i];
    phase_ = phase;
    StartPhase();
}
