#pragma once
// The about screen of "root_about": the credits scroll up through a window of the layout, by
// themselves at first, then under the stylus (drag and fling) or the up and down keys. The OK
// button and the back key lead back to the start menu.
#include "engine/core/widget.h"
#include "game/app/game_screen.h"
#include "game/help/credits_scroll.h"

class WrappedText;

class AboutScreen : public GameScreen {
public:
    explicit AboutScreen(GameApp* app);
    ~AboutScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;

    const Rect& GetClip() const { return clip_; }
    const WrappedText* GetCredits() const { return credits_; }
    int GetTextHeight() const { return textHeight_; }
    CreditsScroll& GetScroll() { return scroll_; }

private:
    WrappedText* credits_ = nullptr;
    Rect clip_{30, 118, 420, 190};
    int textHeight_ = 0;
    CreditsScroll scroll_;
};
