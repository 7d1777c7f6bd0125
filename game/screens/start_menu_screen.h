#pragma once
// The main menu between games, built from "root_startmenu": a sky drifting sideways, a sun with a
// turning, pulsing glow and two pupils that follow the stylus inside their sockets, under the
// layout's buttons. It greets the current player, makes a first player when there is none, fills
// the continue-or-new-game question from the saved game and serves help, support and quit; the
// mode buttons go on to the application.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/ui/script_widget.h"
#include "game/app/game_screen.h"

class Surface;
class TextMultiWidget;
class TextWidget;

class StartMenuScreen : public GameScreen {
public:
    explicit StartMenuScreen(GameApp* app);
    ~StartMenuScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    bool OnPointer(int x, int y, int kind) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;

    void UpdateWelcomeText();
    void EnsurePlayer();
    // The name entry's OK: stores the typed name, or shows the same-name message and answers
    // false when another player has it.
    bool StoreTypedName();
    // Removes the current player unless it is the last, and refreshes an open players list.
    void RemoveCurrentPlayer();
    void UpdateEyes(int x, int y);
    // Moves the pupil from the eye's centre (mask coordinates) towards the pointer until it rests
    // one pixel plus half its height inside the socket's rim; false (out unchanged) without a
    // mask or pupil, without a mask alpha plane, or with the pointer on the eye's centre.
    static bool TrackEye(const Surface* mask, const Surface* eye, Point centre, Point origin, Point pointer,
                         Point& out);
    // Stores the focus child without telling it.
    void SetFocusChildDirect(Widget* child) { focusChild_ = child; }

    Fixed GetSkyOffset() const { return skyOffset_; }
    Fixed GetGlowAngle() const { return glowAngle_; }
    Fixed GetGlowAlpha() const { return glowAlpha_; }
    Point GetLeftEye() const { return leftEye_; }
    Point GetRightEye() const { return rightEye_; }
    Point GetSunCentre() const { return sunCentre_; }
    Point GetEyeMaskOrigin() const { return maskOrigin_; }
    bool IsPointerHeld() const { return pointerHeld_; }
    TextWidget* GetWelcomeText() const { return welcome_; }
    Surface* GetSkyImage() const { return sky_; }
    Surface* GetEyeMask() const { return eyeMask_; }
    Surface* GetEyeImage(int which) const { return which == 0 ? leftEyeImage_ : rightEyeImage_; }

private:
    // A surface made by the application into slot, filled from the image folder's colour and
    // alpha pictures (either name may be null); false when any step fails.
    bool LoadArt(Surface*& slot, const char* colour, const char* alpha);
    // Fills "txt_continue_2" for the mode's saved game; false when the text could not be made.
    bool FillContinueText(TextMultiWidget* text, int mode);
    void DrawSky(Surface* display);
    void DrawCentred(Surface* image, Surface* display, Point centre);

    Surface* sky_ = nullptr;
    Fixed skyOffset_;
    Surface* sun_ = nullptr;
    Surface* glow_ = nullptr;
    Point sunCentre_;
    Fixed glowAngle_;
    Fixed glowAlpha_;
    Fixed glowStep_;
    TextWidget* welcome_ = nullptr;
    Surface* leftEyeImage_ = nullptr;
    Surface* rightEyeImage_ = nullptr;
    Surface* eyeMask_ = nullptr;
    Point leftEye_;
    Point rightEye_;
    Point maskOrigin_;
    bool pointerHeld_ = false;
};
