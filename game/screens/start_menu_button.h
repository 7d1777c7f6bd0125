#pragma once
// The start menu's buttons: the game's text button whose caption sits at per-display offsets,
// moves by per-button amounts while pressed and takes its colour from the button's state, with
// a scheme of its own for the change-player button.
#include "engine/ui/script_widget.h"
#include "game/app/game_widgets.h"

class DialogWidget;

struct CaptionColour {
    int red = 0, green = 0, blue = 0;
    int effect = 0;
};

class StartMenuButton : public TextButton {
public:
    StartMenuButton(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement);

    bool Init() override;
    void Draw() override;
    int GetTextPlaces(TextPlace* out, int max) override;

    // The top-left corner the caption is drawn at now.
    Point GetCaptionPosition();
    CaptionColour GetCaptionColour();
    bool IsChangePlayer() const { return changePlayer_; }

private:
    int32_t menuCaptionX_ = 0, menuCaptionY_ = 0;
    int32_t pressShiftX_ = 0, pressShiftY_ = 0;
    bool changePlayer_ = false;
};
