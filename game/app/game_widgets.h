#pragma once
// The game's own looks for the engine's buttons, tuners, check boxes and tiled backgrounds; the
// input and messages stay the engine's.
#include "engine/ui/button_widget.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/tuner_widget.h"

class GameApp;
class ResourceEntry;

// The widgets' alpha during a fade: hidden in the first half, full speed in the second.
int RemappedAlpha(int32_t effectiveAlpha);

class TextButton : public ButtonWidget {
public:
    using ButtonWidget::ButtonWidget;

    bool Init() override;
    void Draw() override;
    bool HitTest(int x, int y) override;
    bool SendEvent(Widget* target, int code, const char* name, int param, bool fade = false) override;
    // Centred, then moved by the caption offsets.
    Point CaptionPlace() override;

    int GetCaptionOffsetX() const { return captionX_; }
    int GetCaptionOffsetY() const { return captionY_; }

protected:
    GameApp* GetGameApp() const;
    // Where the caption starts when it is centred on the button, before any press shift.
    Point CentredCaptionOrigin();

    int captionX_ = 0, captionY_ = 0;
};

class ControlRadio : public TextButton {
public:
    using TextButton::TextButton;

    void Draw() override;
    // Selected, the caption stands centred without the offsets.
    Point CaptionPlace() override;
    void SetSelected(bool on) { selected_ = on; }
    bool IsSelected() const { return selected_; }

private:
    bool selected_ = false;
};

class GameTiledBg : public TiledBgWidget {
public:
    using TiledBgWidget::TiledBgWidget;

    void Draw() override;
    // The parent dialog names this widget's description as its background.
    bool IsDialogBackground();
};

class GameTuner : public TunerWidget {
public:
    using TunerWidget::TunerWidget;

    bool Init() override;
    void Draw() override;
    int GetTextPlaces(TextPlace* out, int max) override;

    void SetLabels(const char* format, const char* zeroLabel);
    bool IsVolume() const { return volume_; }
    // The text under the tuner for its value, empty for none.
    String GetLabel() const;

private:
    // Where the label starts: centred on the widest label the format gives, under the track.
    Point LabelOrigin(const Font* font, const String& label) const;

    String labelFormat_;
    String zeroLabel_;
    bool volume_ = false;
};

class TickBox : public CheckBoxWidget {
public:
    using CheckBoxWidget::CheckBoxWidget;
    ~TickBox() override;

    bool Init() override;
    void Draw() override;
    // It stands higher over an underline.
    Point CaptionPlace() override;

private:
    GameApp* GetGameApp() const;

    ResourceEntry* underline_ = nullptr;
    ResourceEntry* underlineEnd_ = nullptr;
};
