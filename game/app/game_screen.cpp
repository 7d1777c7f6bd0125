#include "game/app/game_screen.h"

#include <new>

#include "engine/graphics/fill_lines.h"
#include "engine/graphics/surface.h"
#include "engine/ui/widget_desc.h"
#include "game/app/game_app.h"
#include "game/app/game_dialog.h"
#include "game/app/game_widgets.h"
#include "game/screens/graphics_dialog.h"
#include "game/screens/language_dialog.h"
#include "game/screens/map_widgets.h"
#include "game/screens/name_entry_dialog.h"
#include "game/screens/players_dialog.h"
#include "game/screens/start_menu_button.h"
#include "game/screens/temple_complete_screen.h"

namespace {

constexpr int kFadeStep = 32;
constexpr int kFadeFull = 255;
constexpr int32_t kZoomOne = 65536;
constexpr int32_t kZoomMax = 2 * 65536;
constexpr int32_t kZoomOutSpeed = -4915;  // 0.075 a step

// One axis of the pan: toward the target by at most the speed. A speed of 0 would never arrive.
Fixed PanToward(Fixed position, Fixed target, Fixed speed)
{
    int32_t difference = target.raw - position.raw;
    int32_t limit = speed.raw < 0 ? -speed.raw : speed.raw;
    if (limit == 0)
        return target;
    if (difference > limit)
        difference = limit;
    else if (difference < -limit)
        difference = -limit;
    return Fixed::Raw(position.raw + difference);
}

void HideNamed(Widget* widget, const char* name)
{
    if (ScriptWidget* found = ScriptWidget::FindByName(widget, name))
        found->Hide();
}

}  // namespace

GameDialog* NewScreenDialog(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement)
{
    const char* name = desc->name.CStr();
    if (SameText(name, "dlg_EditPlayer"))
        return new (std::nothrow) NameEntryDialog(parent, layout, desc, placement);
    if (SameText(name, "dlg_players"))
        return new (std::nothrow) PlayersDialog(parent, layout, desc, placement);
    if (SameText(name, "dlg_remove_user"))
        return new (std::nothrow) RemovePlayerDialog(parent, layout, desc, placement);
    if (SameText(name, "dlg_lang"))
        return new (std::nothrow) LanguageDialog(parent, layout, desc, placement);
    if (SameText(name, "dlg_graphics"))
        return new (std::nothrow) GraphicsDialog(parent, layout, desc, placement);
    if (SameText(name, "dlg_temple_complete"))
        return new (std::nothrow) TempleCompleteDialog(parent, layout, desc, placement);
    return new (std::nothrow) GameDialog(parent, layout, desc, placement);
}

GameScreen* AsGameScreen(Widget* widget)
{
    ScriptWidget* script = AsScriptWidget(widget);
    return script && script->IsRoot() ? dynamic_cast<GameScreen*>(script) : nullptr;
}

GameScreen::GameScreen(GameApp* app) : LayoutRootScreen(app) {}

GameApp* GameScreen::GetGameApp() const
{
    return dynamic_cast<GameApp*>(application_);
}

void GameScreen::OnLayoutLack(const LoadResult& why)
{
    KeepLoadFailure(why);
    GameApp* app = GetGameApp();
    if (app && !app->IsMakingScreen())
        app->TellOnce("screen's layout", why);
}

bool GameScreen::OnPointer(int x, int y, int kind)
{
    return DialogWidget::OnPointer(x, y, kind);
}

bool GameScreen::Init()
{
    if (!RootWidget::Init())
        return false;
    StartFadeIn();
    return true;
}

void GameScreen::StartFadeIn()
{
    fadingIn_ = true;
    fadeLevel_ = 0;
    fadingOut_ = false;
}

void GameScreen::StartFadeOut()
{
    if (GameApp* app = GetGameApp())
        app->GetTransition().kind = kTransitionFade;
    fadingOut_ = true;
    fadeLevel_ = 0;
    fadingIn_ = false;
}

int GameScreen::FadeOutStepsLeft() const
{
    GameApp* app = GetGameApp();
    if (!fadingOut_ || !app || app->GetTransition().kind != kTransitionFade || fadeLevel_ >= kFadeFull)
        return 0;
    return (kFadeFull - fadeLevel_ + kFadeStep - 1) / kFadeStep;
}

bool GameScreen::SendEvent(Widget* target, int code, const char* name, int param, bool fade)
{
    if (fadingIn_ || fadingOut_)
        return true;
    if (!fade)
        return Widget::SendEvent(target, code, name, param, false);
    ParkEvent(target, code, name, param);
    StartFadeOut();
    return true;
}

bool GameScreen::MovePieces()
{
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!app || !display)
        return true;
    bool done = true;
    for (int i = 0; i < 4; ++i) {
        Surface* piece = app->GetQuakeImage(i);
        if (!piece)
            continue;
        FixedVec2& position = app->QuakePosition(i);
        position.AddAssign(app->QuakeSpeed(i));
        int x = position.x.ToInt(), y = position.y.ToInt();
        bool gone = x + piece->GetWidth() < 0 || x >= display->GetWidth() || y + piece->GetHeight() < 0 ||
                    y >= display->GetHeight();
        if (!gone)
            done = false;
    }
    return done;
}

bool GameScreen::UpdateTransition()
{
    GameApp* app = GetGameApp();
    if (!app)
        return false;
    ScreenTransition& transition = app->GetTransition();
    if (fadingOut_) {
        int kind = transition.kind;
        const bool atOnce = kind == kTransitionNone || kind == kTransitionQuake || kind == kTransitionSlide;
        if (atOnce || fadeLevel_ >= kFadeFull) {
            fadingOut_ = false;
            // Delivery may delete this screen: nothing of it is touched afterwards.
            SendParkedEvent();
            return true;
        }
        fadeLevel_ += kFadeStep;
        if (fadeLevel_ > kFadeFull)
            fadeLevel_ = kFadeFull;
        return true;
    }
    if (!fadingIn_)
        return false;
    switch (transition.kind) {
    case kTransitionSlide: {
        bool done = MovePieces();
        if (transition.rate.raw > 0) {
            transition.scale.raw -= transition.rate.raw;
            if (transition.scale.raw <= 0) {
                transition.scale.raw = 0;
                transition.rate.raw = 0;
            }
            done = false;
        }
        if (done)
            fadingIn_ = false;
        return true;
    }
    case kTransitionQuake: {
        if (transition.quakeCountdown > 0) {
            --transition.quakeCountdown;
            return true;
        }
        transition.quake = false;
        bool done = MovePieces();
        if (transition.rate.raw > 0) {
            transition.scale.raw += transition.rate.raw;
            if (transition.scale.raw >= kZoomMax) {
                transition.scale.raw = kZoomMax;
                transition.rate.raw = 0;
            }
            done = false;
        } else if (!(transition.start == transition.end)) {
            transition.start.x = PanToward(transition.start.x, transition.end.x, transition.steps.x);
            transition.start.y = PanToward(transition.start.y, transition.end.y, transition.steps.y);
            done = false;
        } else if (transition.scale.raw > kZoomOne) {
            transition.rate.raw = kZoomOutSpeed;
            transition.scale.raw += transition.rate.raw;
            if (transition.scale.raw <= kZoomOne) {
                transition.scale.raw = kZoomOne;
                transition.rate.raw = 0;
            }
            done = false;
        }
        if (done)
            fadingIn_ = false;
        return true;
    }
    default:
        fadeLevel_ += kFadeStep;
        if (fadeLevel_ >= kFadeFull)
            fadingIn_ = false;
        return true;
    }
}

void GameScreen::DrawTransition(Surface* surface)
{
    Draw();
    if (!(fadingIn_ || fadingOut_) || !surface)
        return;
    GameApp* app = GetGameApp();
    if (!app || app->GetTransition().kind != kTransitionFade)
        return;
    int alpha = fadingOut_ ? fadeLevel_ : kFadeFull - fadeLevel_;
    FillRectRotatedBlend(app, surface, 0, 0, surface->GetWidth(), surface->GetHeight(), 0, 0, 0, alpha);
}

bool GameScreen::IsStartMenuButton(const WidgetDesc* desc)
{
    return desc->type == kDescButton && SameText(GetName(), "root_startmenu") &&
           !SameText(desc->name.CStr(), "btn_get_more_games");
}

bool GameScreen::IsMapScreen()
{
    return SameText(GetName(), "root_gauntlet") || SameText(GetName(), "root_adventure");
}

ScriptWidget* GameScreen::NewMapWidget(WidgetDesc* desc, const ChildPlacement* placement)
{
    const char* name = desc->name.CStr();
    if (desc->type == kDescButton && IsMapScreen())
        return new (std::nothrow) MapButton(this, layout_, desc, placement);
    if (desc->type == kDescCheckBox && (SameText(name, "rad_survival") || SameText(name, "rad_practice")))
        return new (std::nothrow) GauntletModeRadio(this, layout_, desc, placement);
    if (desc->type == kDescCheckBox && SameText(name, "chk_gaunt_switch"))
        return new (std::nothrow) GauntletModeSwitch(this, layout_, desc, placement);
    return nullptr;
}

ScriptWidget* GameScreen::CreateChild(WidgetDesc* desc, const ChildPlacement* placement)
{
    if (!desc)
        return nullptr;
    if (desc->type != kDescDialog && !IsGameLeafType(desc->type))
        return DialogWidget::CreateChild(desc, placement);
    ScriptWidget* widget = nullptr;
    if (desc->type == kDescDialog)
        widget = NewScreenDialog(this, layout_, desc, placement);
    else if (IsStartMenuButton(desc))
        widget = new (std::nothrow) StartMenuButton(this, layout_, desc, placement);
    else if (ScriptWidget* map = NewMapWidget(desc, placement))
        widget = map;
    else
        widget = NewGameLeaf(this, layout_, desc, placement, bgCenterTilesX_, bgCenterTilesY_);
    widget = FinishGameChild(this, widget);
    if (!widget)
        return nullptr;
    // The test buttons of the help and pause dialogs stay out of sight.
    if (SameText(widget->GetName(), "dlg_help")) {
        HideNamed(widget, "btn_beta_unlock_all");
    } else if (SameText(widget->GetName(), "dlg_pause")) {
        HideNamed(widget, "btn_beta_win_level");
        HideNamed(widget, "btn_beta_lose_level");
    }
    return widget;
}
