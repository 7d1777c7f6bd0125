#pragma once
// The slider: a track, its filled part and a handle from the sprite list, horizontal or
// vertical. Direction keys step it (602), the stylus drags it (603) and lets it go (602).
#include "engine/ui/script_widget.h"
#include "engine/ui/widget_image.h"

class TunerWidget : public ScriptWidget {
public:
    using ScriptWidget::ScriptWidget;

    bool Init() override;
    void Draw() override;
    Size& GetPreferredSize(Size& out) override;
    bool OnPointer(int x, int y, int kind) override;
    bool FocusNext(int key) override;
    bool FocusPrev(int key) override;
    bool IsFocusable() override { return true; }
    void CancelPress() override { dragging_ = false; }

    // Clamped to 0..max; no message.
    void SetValue(int value);
    // p is the pen's distance from the widget's start along the track.
    void SetFromPosition(int p);
    void ComputeTrack();
    bool LoadImage(ImageRef& image, const String& setName, int frame);

    int GetValue() const { return value_; }
    int GetMax() const { return max_; }
    int GetStep() const { return step_; }
    int GetHandlePosition() const { return handlePosition_; }
    int GetTrackLength() const { return trackLength_; }
    int GetThickness() const { return thickness_; }
    bool IsDragging() const { return dragging_; }
    bool IsVertical() const { return vertical_; }

protected:
    int Range() const { return trackLength_ - offsetLeft_ - offsetRight_; }
    bool Step(int delta);

    ImageRef track_, full_, handle_;
    bool dragging_ = false;
    int step_ = 4;
    int value_ = 50;
    int max_ = 100;
    bool vertical_ = false;
    int offsetLeft_ = 0, offsetRight_ = 0;
    int trackLength_ = 0, thickness_ = 0;
    int handlePosition_ = 0;
};
