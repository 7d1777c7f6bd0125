#pragma once
// The base of every full-screen view of the game: a layout root from the registry that fades in
// once built, fades out before a screen-change posted with the fade flag is delivered, and runs
// the quake and slide fade-ins the application's transition record describes. Its factory makes
// the game's widgets and dialogs.
#include <cstdint>

#include "game/app/layout_registry.h"

class GameApp;
class GameDialog;
struct ChildPlacement;
class Stream;
class Surface;

class GameScreen : public LayoutRootScreen {
public:
    explicit GameScreen(GameApp* app);

    bool OnPointer(int x, int y, int kind) override;
    bool SendEvent(Widget* target, int code, const char* name, int param, bool fade = false) override;
    bool Init() override;
    ScriptWidget* CreateChild(WidgetDesc* desc, const ChildPlacement* placement) override;

    // Builds the screen from its layout; false leaves it to be deleted.
    virtual bool Create() { return false; }
    // Writes (saving) or reads the screen's own state after its id in a resume record.
    virtual bool Serialize(Stream* /*stream*/, bool /*saving*/) { return false; }
    // Draws the picture the quake pieces are cut from, without fades; false when there is none.
    virtual bool DrawCapture(Surface* /*target*/) { return false; }
    virtual void OpenPauseDialog() {}
    // Whether the level in progress may go into a resume record.
    virtual bool CanSaveLevel() { return true; }

    void StartFadeIn();
    void StartFadeOut();
    // One step of the running transition; true when one ran (the screen then skips its update).
    // A fade-out's end delivers the parked event, which may delete this screen: nothing of it is
    // touched afterwards.
    bool UpdateTransition();
    void DrawTransition(Surface* surface);

    bool IsScreenFadingIn() const { return fadingIn_; }
    void ClearScreenFadingIn() { fadingIn_ = false; }
    bool IsScreenFadingOut() const { return fadingOut_; }
    bool IsScreenFading() const { return fadingIn_ || fadingOut_; }
    int32_t GetFadeLevel() const { return fadeLevel_; }
    // The updates a plain fade-out still darkens the screen before the one that delivers its
    // event; 0 when none (no fade-out, or one of the transitions that deliver at once).
    int FadeOutStepsLeft() const;

protected:
    GameApp* GetGameApp() const;
    // Once the screen is made, what its layout lacks is said as well as kept.
    void OnLayoutLack(const LoadResult& why) override;
    // Every button of the start menu's layout but the web page's has the menu's own look.
    bool IsStartMenuButton(const WidgetDesc* desc);
    // The maps' buttons, the gauntlet's mode radios and its switch have looks of their own.
    bool IsMapScreen();
    ScriptWidget* NewMapWidget(WidgetDesc* desc, const ChildPlacement* placement);
    // Moves the quake pieces by their speeds; true when every piece has left the display.
    bool MovePieces();

    bool fadingIn_ = false;
    bool fadingOut_ = false;
    int32_t fadeLevel_ = 0;
};

// The dialog class a screen makes for a dialog description, by its name; not yet initialised.
GameDialog* NewScreenDialog(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement);

// The child as a game screen (a script root of the game), or null.
GameScreen* AsGameScreen(Widget* widget);
