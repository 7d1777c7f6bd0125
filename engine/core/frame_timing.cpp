#include "engine/core/frame_timing.h"

#include <algorithm>
#include <cstring>

#include "engine/core/application.h"
#include "engine/core/main_window.h"
#include "engine/core/message_box.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/sound/sound_manager.h"
#include "platform/clock.h"

namespace {

constexpr int kTurnLimit = 23040;  // a quarter turn in 1/256 degree
constexpr uint32_t kMaxCatchUp = 6;

FrameRateText g_frameRateText;

void DelayedSuspendStep(Application* app)
{
    if (g_delayedSuspendCountdown > 0) {
        if (g_delayedSuspendCountdown-- == 1) {
            g_delayedSuspendCountdown = -1;
            app->OnSuspend();
        }
    }
}

void DisplayRecheckStep(Application* app)
{
    if (g_displayRecheckCountdown > 0) {
        if (g_displayRecheckCountdown-- == 1) {
            g_displayRecheckCountdown = -1;
            RecheckDisplayOrientation();
            app->RequestFullRedraw();
        }
    }
}

void DrawStatisticsText(Application* app, int y, const char* text)
{
    Font* font = app->GetDebugFont();
    if (font && text)
        font->DrawText(app->GetScreenSurface(), 2, y, text, 255, 255, 255, 2, 255, nullptr);
}

}  // namespace

void OnTimerTick(HWND)
{
    Application* app = g_application;
    if (!app || g_suspended)
        return;
    // No frame runs while the resumed system settles.
    int countdown = g_resumeCountdown;
    if (countdown > 0) {
        if (countdown == 1) {
            if (SoundManagerBase* sound = app->GetSoundManager())
                sound->SetPaused(false);
            app->OnSuspend();
            g_displayRecheckCountdown = 30;
            app->RequestFullRedraw();
        }
        g_resumeCountdown = countdown - 1;
        return;
    }
    if (!app->IsFixedStep() && app->IsLimiterOn()) {
        uint32_t now = GetTickCount();
        if (now - g_lastFrameTick < static_cast<uint32_t>(app->GetFrameInterval()))
            return;
        g_lastFrameTick = now;
    }
    DelayedSuspendStep(app);
    DisplayRecheckStep(app);
    if (app->IsQuitRequested()) {
        StopTimerAndQuit();
        return;
    }
    if (!g_timerRunning)
        return;
    app->Tick();
    if (!app->IsEarlyStep()) {
        Present();
        ShowHeldMessageBoxes(app->IsScreenAtRest());
    }
}

bool Application::Tick()
{
    if (!fixedStep_) {
        // A step left early before a switch to variable step must not hold back every present.
        early_ = false;
        Update();
        DrawFrame();
        return true;
    }

    if (early_) {
        early_ = false;
    } else {
        Update();
        ++updateCounter_;
    }
    uint32_t now = GetTickCount();
    uint32_t elapsed = now - stepClock_;
    uint32_t interval = static_cast<uint32_t>(frameInterval_);

    if (statistics_) {
        if (statisticsStart_ == 0)
            statisticsStart_ = now;
        // No rate can be given before any time has passed; the counters wait for it.
        uint32_t span = now - statisticsStart_;
        if (updateCounter_ >= 100 && span > 0) {
            statisticsText_.Format("Run-%2.2f/Draw-%2.2f", updateCounter_ * 1000.0 / span, drawCounter_ * 1000.0 / span);
            statisticsStart_ = now;
            updateCounter_ = 0;
            drawCounter_ = 0;
        }
    }

    if (elapsed < interval) {
        early_ = true;
        return true;
    }
    if (elapsed == interval) {
        catchUp_ = 0;
        stepClock_ = now;
    } else {
        // The step that just ran was due one interval after the step clock; each further whole
        // interval behind earns one more update, at most six, and the rest of the lag is dropped.
        catchUp_ = (elapsed - interval) / interval;
        stepClock_ = now - (elapsed - interval);
        if (catchUp_ > kMaxCatchUp) {
            stepClock_ += interval * (catchUp_ - kMaxCatchUp);
            catchUp_ = kMaxCatchUp;
        }
        while (catchUp_ > 0) {
            --catchUp_;
            stepClock_ += interval;
            Update();
            ++updateCounter_;
        }
    }
    ++drawCounter_;
    DrawFrame();
    return true;
}

void Application::Update()
{
    StepRotation();
    if (repeatEnabled_)
        UpdateKeyRepeat();
    if (focusChild_)
        focusChild_->Update();
}

void Application::DrawFrame()
{
    Draw();
    DrawExitButton();
    if (fixedStep_ && statistics_)
        DrawStatisticsText(this, 30, statisticsText_.CStr());
    if (fullRedraw_) {
        DrawBorderArt();
        DrawExitButton();
        PresentBorders();
        fullRedraw_ = false;
    }
}

// An interval below 1 ms would stall the fixed step's arithmetic, so the rate is kept to what a
// 1 ms timer can serve.
void Application::SetFrameRate(int framesPerSecond, bool limiter, bool fixedStep)
{
    framesPerSecond_ = framesPerSecond;
    int interval = framesPerSecond > 0 ? 1000 / framesPerSecond : 1000;
    if (framesPerSecond >= 30 && framesPerSecond < 35)
        interval = 30;
    frameInterval_ = std::max(interval, 1);
    fixedStep_ = fixedStep;
    limiter_ = fixedStep ? false : limiter;
    stepClock_ = GetTickCount();
}

void Application::StepRotation()
{
    if (turnDirection_ == 2 && turnAngle_ != kTurnLimit) {
        turnAngle_ += turnSpeed_;
        if (turnAngle_ >= kTurnLimit) {
            turnAngle_ = kTurnLimit;
            turnPhase_ = 3;
        }
    } else if (turnDirection_ == 1 && turnAngle_ != -kTurnLimit) {
        turnAngle_ -= turnSpeed_;
        if (turnAngle_ <= -kTurnLimit) {
            turnAngle_ = -kTurnLimit;
            turnPhase_ = 3;
        }
    }
}

void Application::DrawExitButton()
{
    Surface* image = exitPressedState_ ? exitPressed_ : exitNormal_;
    if (!image)
        return;
    Surface* target = screenSurface_;
    if (borderWidth_ > 0)
        target = secondBorder_;
    else if (borderHeight_ > 0)
        target = rotation_ == 2 ? secondBorder_ : firstBorder_;
    if (!target || (target != screenSurface_ && !fullRedraw_))
        return;
    image->BlitAlpha(target, target->GetWidth() - image->GetWidth(), 0);
}

bool Application::GetExitButtonRect(Rect& out) const
{
    if (!exitNormal_ || !screenSurface_ || borderWidth_ > 0 || borderHeight_ > 0)
        return false;
    out = Rect{screenSurface_->GetWidth() - exitNormal_->GetWidth(), 0, exitNormal_->GetWidth(),
               exitNormal_->GetHeight()};
    return true;
}

void Application::DrawBorderArt()
{
    if (borderWidth_ <= 0 && borderHeight_ <= 0)
        return;
    Surface* side = borderArt_[0];
    Surface* top = borderArt_[1];
    Surface* bottom = borderArt_[3];
    if (Surface* first = firstBorder_) {
        if (top)
            top->BlitAlpha(first, (first->GetWidth() - top->GetWidth()) / 2, first->GetHeight() - top->GetHeight());
        else if (side)
            side->BlitAlpha(first, first->GetWidth() - side->GetWidth(), (first->GetHeight() - side->GetHeight()) / 2);
    }
    if (Surface* second = secondBorder_) {
        if (bottom)
            bottom->BlitAlpha(second, (second->GetWidth() - bottom->GetWidth()) / 2, 0);
        else if (side)
            side->BlitAlpha(second, 0, (second->GetHeight() - side->GetHeight()) / 2);
    }
}

void FrameRateText::CountFrame(uint32_t now)
{
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    if (++frames_ < 100)
        return;
    // Before any time has passed there is no rate; the frames go on counting.
    uint32_t elapsed = now - start_;
    if (elapsed == 0)
        return;
    rate_ = static_cast<int32_t>(frames_ * 256 / elapsed * 1000);
    text_.Format("%2.2f fps", static_cast<double>(rate_ >> 8));
    frames_ = 0;
    start_ = now;
}

void UpdateFrameRateText()
{
    Application* app = g_application;
    if (app && app->IsStatisticsOn() && !app->IsFixedStep()) {
        g_frameRateText.CountFrame(GetTickCount());
        DrawStatisticsText(app, 2, g_frameRateText.GetText().CStr());
    }
}

const FrameRateText& GetFrameRateText()
{
    return g_frameRateText;
}
