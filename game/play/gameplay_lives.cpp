#include "engine/core/format_text.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/player_record.h"
#include "game/app/sound_bank.h"
#include "game/play/frog.h"
#include "game/play/gameplay_rules_end.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/play/track_sparkle.h"

// The hole watch of every playing frame and what follows a chain reaching its hole: the chains
// rush in while the frog spins and the board darkens, then a message tells the lives left and
// the player's press (or, with none left, the lost statistics) decides.

namespace {

constexpr int kHoleCountdown = 10;
// The warning sparkle's repeat rate, from a head at the danger point to one at the hole.
constexpr int32_t kSlowestRepeatRaw = 1;   // 0.004
constexpr int32_t kFastestRepeatRaw = 13;  // 0.05

bool HoldsBalls(const BallChain* chain)
{
    return chain && chain->count > 0 && chain->path;
}

int LivesOf(GameplayScreen& screen)
{
    ModeProgress* progress = gameplay_end::Progress(screen);
    return progress ? progress->lives : 0;
}

bool IsGameOver(GameplayScreen& screen)
{
    return screen.IsSurvival() || LivesOf(screen) < 2;
}

}  // namespace

void GameplayScreen::CheckHole()
{
    if (!lifeLost && !levelFinished) {
        for (int c = 0; c < curveCount && c < kBoardCurves; ++c) {
            if (Hole* hole = curves[c].GetHole())
                hole->furthestHead = Fixed();
        }
        for (BallChain* chain : chains) {
            Hole* hole = HoldsBalls(chain) ? chain->path->GetHole() : nullptr;
            if (hole && hole->furthestHead < chain->balls[0].distance)
                hole->furthestHead = chain->balls[0].distance;
        }
        for (int c = 0; c < curveCount && c < kBoardCurves; ++c)
            UpdateHoleCover(c);
        const Fixed overshoot = collisionDistance + Fixed::ShiftRight(collisionDistance, 1);
        for (BallChain* chain : chains) {
            if (!HoldsBalls(chain))
                continue;
            const Fixed length = chain->path->Length();
            const Ball& head = chain->balls[0];
            // Only frames with no shot settling count down: a shot may yet pull the head back.
            if (head.distance >= length && shotPending == 0 && --holeCountdown < 1) {
                holeCountdown = kHoleCountdown;
                if (head.pullSpeed.raw >= 0)
                    LoseLife();
            }
            if (head.distance >= length + overshoot)
                LoseLife();
        }
        if (lifeLost) {
            for (int c = 0; c < curveCount && c < kBoardCurves; ++c) {
                if (trackSparkle)
                    trackSparkle->SetRepeat(c, Fixed(), Fixed());
                if (Hole* hole = curves[c].GetHole())
                    hole->SetCoverTargetLast();
            }
        }
    }
    if (lifeLost) {
        for (BallChain* chain : chains) {
            if (chain)
                chain->SetTargetSpeed(rushSpeed, false);
        }
    }
}

void GameplayScreen::UpdateHoleCover(int curve)
{
    Hole* hole = curve >= 0 && curve < kBoardCurves ? curves[curve].GetHole() : nullptr;
    if (lifeLost || levelFinished || !hole || hole->GetCoverFrameCount() <= 0)
        return;
    const int frames = hole->GetCoverFrameCount();
    const Fixed head = hole->furthestHead;
    const Fixed danger = dangerPoint[curve];
    if (head <= danger) {
        hole->SetCoverTarget(0);
        return;
    }
    const Fixed end = curveLength[curve];
    if (end == danger)
        return;
    int frame = (Fixed::MultiplyInt(head - danger, frames) / (end - danger)).ToInt();
    frame = frame < 0 ? 0 : frame > frames - 1 ? frames - 1 : frame;
    hole->SetCoverTarget(frame);
}

void GameplayScreen::FeedTrackSparkle()
{
    if (lifeLost || levelFinished || !trackSparkle)
        return;
    for (int c = 0; c < curveCount && c < kBoardCurves; ++c) {
        Hole* hole = curves[c].GetHole();
        const Fixed head = hole ? hole->furthestHead : Fixed();
        const Fixed danger = dangerPoint[c];
        if (head < danger) {
            trackSparkle->SetRepeat(c, Fixed(), head);
            continue;
        }
        const Fixed length = curveLength[c];
        if (length == danger)
            continue;
        // The nearer the head is to the hole, the more often a sparkle runs from it.
        const Fixed span = Fixed::Raw(kFastestRepeatRaw - kSlowestRepeatRaw);
        Fixed rate = Fixed::Raw(kSlowestRepeatRaw) + (head - danger) * span / (length - danger);
        if (rate.raw < kSlowestRepeatRaw)
            rate = Fixed::Raw(kSlowestRepeatRaw);
        if (rate.raw > kFastestRepeatRaw)
            rate = Fixed::Raw(kFastestRepeatRaw);
        trackSparkle->SetRepeat(c, rate, head);
    }
}

void GameplayScreen::LoseLife()
{
    // Two chains at their holes in one frame lose one life, and the rolling sound starts once.
    if (lifeLost)
        return;
    lifeLost = 1;
    playState = kPlayLifeLost;
    frogSpinAngle = frog ? frog->GetAngle() : Fixed();
    if (SoundBank* sounds = application ? application->GetSoundBank() : nullptr)
        sounds->PlayLooped(kRollingSound);
}

void GameplayScreen::LoseLifeSequence()
{
    if (!lifeLost || levelFinished || playState != kPlayLifeLost)
        return;
    if (lossFade < 255)
        ++lossFade;
    frogSpinSpeed += Fixed::Raw(51);
    frogSpinAngle += frogSpinSpeed;
    while (frogSpinAngle >= Fixed::FromInt(360))
        frogSpinAngle -= Fixed::FromInt(360);
    if (frog)
        frog->SetAngle(frogSpinAngle);

    if (!waitingAfterLoss) {
        bool drained[kBoardCurves] = {true, true};
        for (BallChain* chain : chains) {
            if (!HoldsBalls(chain))
                continue;
            bool pause = false;
            const Fixed step = ChainSpeed(*chain, pause);
            for (int i = 0; i < chain->count; ++i)
                chain->balls[i].distance += step;
            chain->Update(this);
            const Fixed length = chain->path->Length();
            int curve = chain->curveIndex;
            if (chain->balls[chain->count - 1].distance <= length + lifeLostSpeed && curve >= 0 && curve < kBoardCurves)
                drained[curve] = false;
        }
        if (drained[0]) {
            if (Hole* hole = curves[0].GetHole())
                hole->ResetCoverTarget();
        }
        if (curveCount > 1 && drained[1]) {
            if (Hole* hole = curves[1].GetHole())
                hole->ResetCoverTarget();
        }
        const bool allDrained = drained[0] && (curveCount < 2 || drained[1]);
        if (allDrained) {
            StopLoopingSounds();
            if (SoundBank* sounds = application ? application->GetSoundBank() : nullptr)
                sounds->Play(IsGameOver(*this) ? kGameOverSound : kLivesLeftSound);
        }
        waitingAfterLoss = allDrained ? 1 : 0;
    }
    if (!waitingAfterLoss)
        return;

    lossFadeValue -= 3;
    if (lossFadeValue < -255)
        lossFadeValue = -255;
    if (lossMessage.IsEmpty()) {
        const int lives = LivesOf(*this);
        StringTable* texts = application ? application->GetLanguageTable() : nullptr;
        String text;
        if (texts) {
            if (lives < 2 || IsSurvival()) {
                texts->Lookup(text, "STR_LIVESGAMEOVER");
            } else if (lives == 2) {
                texts->Lookup(text, "STR_LIVESLAST");
            } else {
                String format;
                texts->Lookup(format, "STR_LIVESLEFT");
                text = FormatText(format.CStr() ? format.CStr() : "", {lives - 1, lives});
            }
        }
        lossMessage = text;
        Font* font = application ? application->GetMainFont() : nullptr;
        Surface* display = application ? application->GetScreenSurface() : nullptr;
        if (font && display) {
            messageX = (display->GetWidth() - font->MeasureText(lossMessage.CStr())) >> 1;
            messageY = (display->GetHeight() - font->GetLineHeight()) >> 1;
        }
    }
    if (messageFrames < gameplay_end::kMessageFrames)
        ++messageFrames;
    if (messageFrames >= gameplay_end::kMessageFrames && IsGameOver(*this))
        ShowLostStatsDialog();
}

namespace {

// The first press after the message: with lives to spare one is paid and the level starts
// again; otherwise the lost statistics open. A press after the payment does nothing: the screen
// may still take input while it fades out.
void ContinueAfterLoss(GameplayScreen& screen)
{
    if (screen.endState != 0)
        return;
    if (IsGameOver(screen)) {
        screen.ShowLostStatsDialog();
        return;
    }
    ModeProgress* progress = gameplay_end::Progress(screen);
    if (!progress)
        return;
    screen.endState = 1;
    --progress->lives;
    if (GameApp* app = screen.application) {
        app->SaveResumeState();
        screen.SendEvent(app, kEventPlayLevel, nullptr, 0, true);
    }
}

}  // namespace

bool GameplayScreen::OnRulesKey(int key, bool down)
{
    if (!waitingAfterLoss)
        return false;
    // The lost statistics (or any dialog) take the keys while they are open.
    if (FindModalChild()) {
        GameScreen::OnKey(key, down);
        return true;
    }
    if (down)
        ContinueAfterLoss(*this);
    return true;
}

bool GameplayScreen::OnRulesPointer(int, int, int, int phase)
{
    if (!waitingAfterLoss)
        return false;
    if (phase == kPointerDown)
        ContinueAfterLoss(*this);
    return true;
}
