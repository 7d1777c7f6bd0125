#pragma once
// "dlg_graphics": a tuner for the graphics quality (0..2) and, on a turned screen, radios for
// the orientation (automatic, left-hand, right-hand). Both are stored at once; OK turns the
// picture to a changed left-hand or right-hand choice.
#include "game/app/game_dialog.h"

class CheckBoxWidget;
class GameApp;
class TextWidget;

class GraphicsDialog : public GameDialog {
public:
    using GameDialog::GameDialog;

    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool Init() override;

    // The label's own text with the quality's name put into its "%s".
    void SetQualityLabel(int quality);
    CheckBoxWidget* GetRadio(int i) const { return i >= 0 && i < 3 ? radios_[i] : nullptr; }

    // The rotation setting each radio stands for: automatic, left-hand, right-hand.
    static constexpr int kRadioRotation[3] = {-2, 2, 1};

private:
    GameApp* GetGameApp() const;
    // Checks radio i and clears the others; a radio the layout lacks is skipped.
    void CheckRadio(int index);
    void FoldAwayHands();

    CheckBoxWidget* radios_[3] = {};
    TextWidget* qualityLabel_ = nullptr;
};
