#include "game/screens/start_menu_button.h"

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/dialog_widget.h"
#include "game/app/game_app.h"

StartMenuButton::StartMenuButton(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc,
                                 const ChildPlacement* placement)
    : TextButton(parent, layout, desc, placement)
{
    // The widget gets its application only after construction; the screen already has it.
    Application* app = parent ? parent->GetApplication() : nullptr;
    menuCaptionX_ = -GameApp::LayoutInt(app, kLayoutMenuCaptionX);
    menuCaptionY_ = -GameApp::LayoutInt(app, kLayoutMenuCaptionY);
    pressShiftX_ = GameApp::LayoutInt(app, kLayoutMenuPressX);
}

bool StartMenuButton::Init()
{
    if (!TextButton::Init())
        return false;
    const char* name = GetName();
    if (SameText(name, "btn_sm_options"))
        pressShiftY_ = GameApp::LayoutInt(application_, kLayoutOptionsPressY);
    else if (SameText(name, "btn_sm_help") || SameText(name, "btn_sm_quit"))
        pressShiftY_ = GameApp::LayoutInt(application_, kLayoutHelpPressY);
    else
        pressShiftY_ = GameApp::LayoutInt(application_, kLayoutMenuPressY);
    changePlayer_ = SameText(name, "btn_change_player");
    return true;
}

Point StartMenuButton::GetCaptionPosition()
{
    Point at = CentredCaptionOrigin();
    if (pressed_ && !captionStill_ && !IsInputBlocked()) {
        at.x += changePlayer_ ? 1 : pressShiftX_;
        at.y += changePlayer_ ? 1 : pressShiftY_;
    }
    if (!changePlayer_) {
        at.x += menuCaptionX_;
        at.y += menuCaptionY_;
    }
    return at;
}

CaptionColour StartMenuButton::GetCaptionColour()
{
    int ownEffect = look_.effect;
    if (!changePlayer_) {
        switch (GetVisualState()) {
        case 1: return {255, 255, 96, ownEffect};
        case 0: return {224, 160, 64, ownEffect};
        default: return {112, 80, 32, ownEffect};
        }
    }
    Surface* screen = GetScreen();
    bool large = screen && screen->GetHeight() >= 480;
    bool lit = pressed_ || IsOnFocusPath();
    if (large)
        return lit ? CaptionColour{173, 67, 105, 1} : CaptionColour{84, 117, 105, ownEffect};
    return lit ? CaptionColour{237, 131, 169, ownEffect} : CaptionColour{148, 181, 169, ownEffect};
}

int StartMenuButton::GetTextPlaces(TextPlace* out, int max)
{
    return PutTextPlace(out, max, look_.font, GetCaptionPosition(), caption_.CStr());
}

void StartMenuButton::Draw()
{
    if (effectiveAlpha_ <= 0)
        return;
    DrawImage();
    Surface* screen = GetScreen();
    if (!screen || caption_.IsEmpty() || !look_.font)
        return;
    Point at = GetCaptionPosition();
    CaptionColour colour = GetCaptionColour();
    look_.font->DrawText(screen, at.x, at.y, caption_.CStr(), colour.red, colour.green, colour.blue, colour.effect,
                         TextAlphaByte(effectiveAlpha_), nullptr);
}
