#pragma once
// A paragraph whose characters appear one per update after a second's delay, and the label
// widget that owns one and advances it while it is shown.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/text_widgets.h"

class TypewriterText : public WrappedText {
public:
    // Updates of delay before the first character: one second at 33 updates a second.
    static constexpr int kDelay = 33;

    // Reveals step more characters; done once all are shown.
    void Advance(Fixed step);
    // The characters of all lines together, line breaks not counted.
    void CountTotal();
    // Left-aligned text is drawn up to the shown count; centred or right-aligned text whole
    // once anything is shown.
    void Draw(SurfaceBase* surface, int x, int y, const Font* font, int r, int g, int b, int effect, int alpha,
              int spacing, const Rect* clip) const override;

    Fixed GetShown() const { return shown_; }
    int GetTotal() const { return total_; }
    bool IsDone() const { return done_; }

private:
    Fixed shown_ = Fixed::FromInt(-kDelay);
    int32_t total_ = 0;
    bool done_ = false;
};

class TypewriterLabel : public TextMultiWidget {
public:
    using TextMultiWidget::TextMultiWidget;

    void Update() override;
    void Draw() override;
    // The label takes no keyboard focus.
    bool FocusNext(int) override { return false; }
    bool FocusPrev(int) override { return false; }
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    // A new typed text from the label's text: the reveal starts again.
    bool Rewrap() override;

    bool IsDone() const { return typed_ && typed_->IsDone(); }
    const TypewriterText* GetTyped() const { return typed_; }

private:
    TypewriterText* typed_ = nullptr;  // the block the base owns
};

// Whether a text_multi description by this name is a typed phrase.
bool IsTypewriterName(const char* name);
