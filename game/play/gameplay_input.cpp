// Input on the board: the keypad and stylus aim the frog, swap its balls and ask for shots (the
// frame update sends them); the screen's buttons and dialogs send their commands here.
#include <cstring>

#include "engine/core/pointer_phase.h"
#include "engine/graphics/trig_table.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/script_widget.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/play/ball_sprite.h"
#include "game/play/curve_path.h"
#include "game/play/frog.h"
#include "game/play/gameplay_screen.h"

namespace {

enum HeldKey { kHeldLeft, kHeldRight, kHeldTurn, kHeldSwap };

bool Named(const char* name, const char* expected)
{
    return name && std::strcmp(name, expected) == 0;
}

const char* WidgetName(Widget* widget)
{
    ScriptWidget* script = AsScriptWidget(widget);
    return script ? script->GetName() : nullptr;
}

}  // namespace

bool GameplayScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    GameApp* app = application;
    if (code == kMsgCommand) {
        if (Named(name, "btn_menu")) {
            StopLoopingSounds();
            RunActionFromFile("keloui.txt", "acn_pause_on");
            return true;
        }
        if (Named(name, "btn_pause_menu")) {
            app->SaveResumeState();
            SendEvent(app, kEventStartMenu, nullptr, 0, true);
            return true;
        }
        if (Named(name, "btn_replay_replay")) {
            SendEvent(app, kEventPlayLevel, nullptr, 0, true);
            return true;
        }
    }
    if (OnRulesUiEvent(sender, code, name, param))
        return true;
    return DialogWidget::OnEvent(sender, code, name, param);
}

bool GameplayScreen::OnKey(int key, bool down)
{
    if (OnRulesKey(key, down))
        return true;
    GameApp* app = application;
    Widget* modal = FindModalChild();
    if (!modal) {
        if (down) {
            if (app->IsLeftSoftKey()) {
                SwapBalls();
            } else {
                switch (key) {
                case kKeyLeft:
                case kKeyRight: {
                    uint8_t& held = keysHeld[key == kKeyLeft ? kHeldLeft : kHeldRight];
                    if (!held) {
                        held = 1;
                        keyAiming = 1;
                        keyTurnRate = Fixed::FromInt(1);
                    }
                    break;
                }
                case kKeyDown:
                    if (!keysHeld[kHeldTurn]) {
                        if (frog)
                            SetAim(frog->GetAngle() + Fixed::FromInt(180));
                        keysHeld[kHeldTurn] = 1;
                        keyAiming = 1;
                    }
                    break;
                case kKeyUp:
                    if (!keysHeld[kHeldSwap]) {
                        SwapBalls();
                        keysHeld[kHeldSwap] = 1;
                        keyAiming = 1;
                    }
                    break;
                case kKeyAction: shootRequest = 1; break;
                default: break;
                }
            }
        } else {
            switch (key) {
            case kKeyLeft: keysHeld[kHeldLeft] = 0; break;
            case kKeyRight: keysHeld[kHeldRight] = 0; break;
            case kKeyDown: keysHeld[kHeldTurn] = 0; break;
            case kKeyUp: keysHeld[kHeldSwap] = 0; break;
            default: break;
            }
            if (key == kKeyBack || app->IsRightSoftKey())
                SendEvent(this, kMsgCommand, "btn_menu", 0);
        }
        return true;
    }
    // Back leaves the game only from the pause dialog; every other dialog (the statistics of a
    // won level among them) handles the key itself.
    if (key == kKeyBack && Named(WidgetName(modal), "dlg_pause")) {
        if (!down)
            SendEvent(this, kMsgCommand, "btn_pause_menu", 0);
        return true;
    }
    return OnNavigateKey(key, down);
}

bool GameplayScreen::OnPointer(int x, int y, int kind)
{
    return OnPointerEx(x, y, kind, 0);
}

bool GameplayScreen::OnPointerEx(int x, int y, int kind, int pointer)
{
    if (pointer < 0 || pointer > 1 || kind == kPointerOther)
        return true;
    pointerPoints[pointer] = {x, y};
    const bool tapped = frogTapped != 0;
    if (kind == kPointerUp)
        frogTapped = 0;
    // Only the widgets themselves: the screen's own dialog rule would take every point.
    if (Widget::OnPointer(x, y, kind))
        return true;
    if (OnRulesPointer(x, y, pointer, kind))
        return true;
    if (playState == kPlayLifeLost)
        return true;
    keyAiming = 0;
    if (pointer != activePointer) {
        if (kind == kPointerDown) {
            secondPointerDown = 1;
            if (!shootRequest && currentBall)
                SwapBalls();
        } else if (kind == kPointerUp) {
            secondPointerDown = 0;
        }
        return true;
    }
    pointerDown = 1;
    if (tapped)
        return true;
    if (kind == kPointerDown && HitTestFrog(x, y)) {
        SwapBalls();
        frogTapped = 1;
        return true;
    }
    if (!shootRequest)
        AimAt(x, y);
    if (kind != kPointerUp)
        return true;
    if (secondPointerDown) {
        secondPointerDown = 0;
        activePointer = pointer == 0 ? 1 : 0;
        AimAt(pointerPoints[activePointer].x, pointerPoints[activePointer].y);
        return true;
    }
    activePointer = 0;
    pointerDown = 0;
    if (!shootRequest && !shotPending)
        shootRequest = 1;
    return true;
}

void GameplayScreen::SetAim(Fixed angle)
{
    if (!frog)
        return;
    const Fixed turn = Fixed::FromInt(360);
    while (angle.raw < 0)
        angle += turn;
    while (angle >= turn)
        angle -= turn;
    frog->SetAngle(angle);
    GameApp* app = application;
    const FixedRect& box = frog->Bounds();
    const Fixed cx = box.CenterX(), cy = box.CenterY();
    RotateAround(*app->GetRenderer(), cx, cy, Fixed(), Fixed::FromInt(app->GetLayoutTable().ints[kLayoutMouthDistance]),
                 angle, mouthPoint.x, mouthPoint.y, nullptr);
    PlaceFrogBalls();
}

void GameplayScreen::AimAt(int x, int y)
{
    if (!frog)
        return;
    const FixedRect& box = frog->Bounds();
    const Fixed cx = box.CenterX(), cy = box.CenterY();
    SetAim(AngleBetweenPoints(cx, cy, Fixed::FromInt(x), Fixed::FromInt(y)) - Fixed::FromInt(90));
}

bool GameplayScreen::HitTestFrog(int x, int y)
{
    if (!frog)
        return false;
    const FixedRect& box = frog->Bounds();
    const Fixed dx = box.CenterX() - Fixed::FromInt(x), dy = box.CenterY() - Fixed::FromInt(y);
    const int limit = application->GetLayoutTable().ints[kLayoutFrogTouch];
    if (Fixed::Abs(dx) > Fixed::FromInt(limit) || Fixed::Abs(dy) > Fixed::FromInt(limit))
        return false;
    return dx * dx + dy * dy <= frogTouchRadiusSquared;
}
