#pragma once
// The push button and the check box: key 5, the stylus and the soft keys press them, and they
// report 601 on the press and 600 (button) or 604 (check box, with its new state) on the release.
#include <cstdint>

#include "engine/ui/script_widget.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/widget_image.h"
#include "engine/ui/widget_messages.h"

class ButtonWidget : public ScriptWidget {
public:
    using ScriptWidget::ScriptWidget;

    bool Init() override;
    void Draw() override;
    Size& GetPreferredSize(Size& out) override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool HitTest(int x, int y) override;
    bool IsButton() override { return true; }
    bool IsFocusable() override { return true; }
    bool HasShoulderKey(int) override { return true; }
    bool IsEnabled() override { return enabled_; }
    int GetShoulderKey() override { return shoulder_; }
    void CancelPress() override { pressed_ = false; }

    // 0 normal, 1 focused (or pressed with two frames), 2 pressed, 3 disabled; callers cap it at
    // the image's frame count.
    int GetVisualState();
    void DrawImage();
    // The caption at its place, moved by the press.
    void DrawCaption();
    // The top-left of the centred caption, before any press shift.
    Point CentredCaption();
    // Where the caption is drawn and reported, before any press shift; centred on a plain button.
    virtual Point CaptionPlace() { return CentredCaption(); }
    int GetTextPlaces(TextPlace* out, int max) override;

    bool IsPressed() const { return pressed_; }
    void SetEnabled(bool on) { enabled_ = on; }
    // The caption stays in place while the button is pressed; off by default.
    void SetCaptionStill(bool on) { captionStill_ = on; }
    const String& GetCaption() const { return caption_; }
    // A caption of the owner's; the button keeps its size until it is laid out again.
    void SetCaption(const char* text) { caption_.Assign(text); }
    const TextLook& GetLook() const { return look_; }
    const ImageRef& GetImage() const { return image_; }

protected:
    // Whether keys and the stylus reach the button now.
    bool AcceptsInput();
    // What a completed press does, last of all: its handler may delete the widget.
    virtual void FinishPress();

    ImageRef image_;
    String caption_;
    TextLook look_{String(), String(), 0, 0, 0, 0, nullptr};
    int8_t shoulder_ = 0;
    int8_t frameCount_ = 3;
    uint8_t imageShift_ = 0;
    bool captionStill_ = false;
    bool pressed_ = false;
    bool enabled_ = true;
};

class CheckBoxWidget : public ButtonWidget {
public:
    using ButtonWidget::ButtonWidget;

    bool Init() override;
    void Draw() override;
    Size& GetPreferredSize(Size& out) override;
    bool OnKey(int key, bool down) override;
    bool HitTest(int x, int y) override;
    // Sets the state without a message (radio groups).
    virtual void SetChecked(bool state) { checked_ = state; }

    int GetTextGap();
    bool IsChecked() const { return checked_; }
    // Beside the box or centred, then the gap.
    Point CaptionPlace() override;

protected:
    void FinishPress() override;
    // The larger of frame 0 of the two images.
    Size GetBoxSize();
    // The box's frame for the state, at (x, y) before the press shift; null when none is drawn.
    Surface* DrawBox(Surface* screen, bool blocked, int& x, int& y);

    bool checked_ = false;
    ImageRef checkedImage_;
    uint8_t side_ = 1;
    int16_t textOffset_ = kTextOffsetUnset;
};
