#pragma once
// The closing screen after the adventure is won: an epilogue scrolls up through a rectangle in an
// endless loop over the layout's picture until its OK returns to the start menu.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/widget.h"
#include "game/app/game_screen.h"

class WrappedText;

class EndScreen : public GameScreen {
public:
    explicit EndScreen(GameApp* app);
    ~EndScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool Serialize(Stream* stream, bool saving) override;

    const Rect& GetTextRect() const { return rect_; }
    Fixed GetOffset() const { return offset_; }
    Fixed GetTextHeight() const { return textHeight_; }
    Fixed GetStep() const { return step_; }
    const WrappedText* GetBlock() const { return block_; }

private:
    WrappedText* block_ = nullptr;
    Rect rect_;
    Fixed offset_;
    Fixed startOffset_;
    Fixed textHeight_;
    Fixed step_;
};
