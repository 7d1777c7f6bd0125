#pragma once
// The map screens' own widgets: their buttons, whose captions sit at per-display offsets in the
// game's colours, the gauntlet's mode radios, which only ever check themselves, and its two-state
// mode switch with the practice label above and the survival label below.
#include "engine/core/strings.h"
#include "game/app/game_widgets.h"
#include "game/screens/start_menu_button.h"

class DialogWidget;

class MapButton : public TextButton {
public:
    MapButton(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement);

    bool Init() override;
    void Draw() override;
    int GetTextPlaces(TextPlace* out, int max) override;

    // The top-left corner the caption is drawn at now, and its colour.
    Point GetCaptionPosition();
    CaptionColour GetCaptionColour();
    int GetMapCaptionX() const { return mapCaptionX_; }
    int GetMapCaptionY() const { return mapCaptionY_; }

private:
    int32_t mapCaptionX_ = 0, mapCaptionY_ = 0;
};

// A check box drawn the mode controls' way: the checked set (none when it is not loaded) or the
// normal one, its frame the state capped at the set's count and 0 while input is blocked.
class ModeControl : public CheckBoxWidget {
public:
    using CheckBoxWidget::CheckBoxWidget;

    // The frame drawn now; the plain visual state when no set is drawn.
    int CurrentFrame();
    // The image drawn now, or null.
    Surface* CurrentImage();

protected:
    // Draws the image; out gives its width (0 without one).
    void DrawModeImage(int& imageWidth);
    bool IsPressShifted() { return pressed_ && !captionStill_ && !IsInputBlocked(); }
};

class GauntletModeRadio : public ModeControl {
public:
    using ModeControl::ModeControl;

    void Draw() override;
    int GetTextPlaces(TextPlace* out, int max) override;

    // The caption's top-left corner and colour as drawn now.
    Point GetCaptionPosition();
    CaptionColour GetCaptionColour();

protected:
    void FinishPress() override;
};

class GauntletModeSwitch : public ModeControl {
public:
    using ModeControl::ModeControl;

    bool Init() override;
    void Draw() override;
    // Both labels, practice first, where they are drawn.
    int GetTextPlaces(TextPlace* out, int max) override;

    const String& GetPracticeLabel() const { return practice_; }
    const String& GetSurvivalLabel() const { return survival_; }
    // The top of the practice label (above the centre) and of the survival label (below it).
    int GetPracticeTop();
    int GetSurvivalTop();
    // Where a label is drawn, its top at top; no font when there is nothing to draw.
    TextPlace LabelPlace(const String& label, int top);

private:
    // The gap between the centre and each label: never below 0, so the labels never overlap.
    int LabelGap(int lineHeight);
    int LabelShift();

    String practice_;
    String survival_;
};
