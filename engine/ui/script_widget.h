#pragma once
// The runtime base of every widget built from a layout description: the link to its description
// and document, its own placement, a frame counter, an 8.8 alpha with fade-in and fade-out, a
// life time after which its container removes it, alignment, and lookup by description name.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/strings.h"
#include "engine/core/widget.h"
#include "engine/ui/widget_desc.h"

class Font;
class LoadResult;
class Surface;

class UiLayout;

// Opaque in 8.8: 255.0.
constexpr int32_t kAlphaOpaque = 65280;
constexpr int kScriptFramesPerSecond = 33;

// Seconds (24.8) to frames at 33 per second, rounded down.
int32_t SecondsToFrames(Fixed seconds);
// Alpha taken or given per tick so that a fade of the duration spans 65280.
int32_t FadeStep(Fixed duration);

struct Point {
    int32_t x = 0, y = 0;
};

// One line of text where a widget draws it (before any press shift): its top-left, its measured
// width, the font's line height, the font and the text.
struct TextPlace {
    int x = 0, y = 0, w = 0, h = 0;
    const Font* font = nullptr;
    String text;
};
// The place of a line drawn with its top-left at (x, y); nothing for a missing font or text.
TextPlace PlaceText(const Font* font, int x, int y, const char* text);
// A widget's one line for GetTextPlaces: written into out[0] when max allows; 1, or 0 when a font
// or the text is missing.
int PutTextPlace(TextPlace* out, int max, const Font* font, Point at, const char* text);

class ScriptWidget : public Widget {
public:
    ScriptWidget(Widget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement);
    ~ScriptWidget() override;

    void Update() override;
    void Hide() override;
    bool FocusNext(int key) override;
    bool FocusPrev(int key) override;
    bool IsScriptWidget() override { return true; }

    virtual bool Init();
    // Hands why one of this widget's files failed to the screen being built, which names the first
    // such failure; true when the load went well.
    bool Loaded(const LoadResult& why);
    virtual bool IsFocusable() { return false; }
    virtual bool IsButton() { return false; }
    virtual bool IsDialog() { return false; }
    virtual bool IsRoot() { return false; }
    virtual void UpdateLayout();
    virtual void MoveBy(int dx, int dy);
    virtual Point& GetPosition(Point& out);
    virtual Size& GetPreferredSize(Size& out);
    virtual Rect& GetLayoutRect(Rect& out);
    virtual bool IsFadingIn();
    virtual bool IsClosing();
    virtual void UpdateFade();
    virtual void SetAlpha(int32_t alpha);
    virtual int32_t GetAlpha() { return effectiveAlpha_; }
    virtual void SetAlphaTree(int32_t alpha);
    virtual void Relayout();
    virtual void DeleteChildren();

    void StartFadeIn(Fixed delay, Fixed duration);
    void StartClose(Fixed time, Fixed duration);
    // Aligns the widget and then its subtree, parents before children.
    static void ApplyAlignment(Widget* widget);
    // Depth-first: the widget itself, then its children in order.
    static ScriptWidget* FindByName(Widget* widget, const char* name);
    const char* GetName() const;
    // The language text of the description's txtid; out is left alone without one.
    void GetCaptionText(String& out) const;
    // As GetCaptionText while the widget is built: a text id the language table lacks fails it.
    LoadResult LoadCaptionText(String& out) const;
    bool IsInputBlocked();
    bool IsAnyBusy();
    void UpdateEffectiveAlpha();
    // The centre of the preferred size around the position.
    Point& GetCenter(Point& out);
    // Every ancestor up to the application (or a widget without parent) has this branch as its
    // focus child.
    bool IsOnFocusPath();

    bool IsFinished() const { return finished_; }
    void SetFinished() { finished_ = true; }
    UiLayout* GetLayout() const { return layout_; }
    WidgetDesc* GetDesc() const { return desc_; }
    const ChildPlacement& GetPlacement() const { return placement_; }
    void SetOwnsDesc(bool owns) { ownsDesc_ = owns; }
    int32_t GetFrameCounter() const { return frameCounter_; }
    int32_t GetOwnAlpha() const { return alpha_; }
    int32_t GetEffectiveAlpha() const { return effectiveAlpha_; }
    int32_t GetFadeInStart() const { return fadeInStart_; }
    int32_t GetFadeInStep() const { return fadeInStep_; }
    int32_t GetLifeEnd() const { return lifeEnd_; }
    int32_t GetFadeOutStep() const { return fadeOutStep_; }
    // The background widget a dialog keeps among its children; none here.
    virtual ScriptWidget* GetBackgroundWidget() { return nullptr; }
    // The lines of text the widget draws itself, up to max of them into out; answers how many it
    // draws (which may exceed max). Layout checks read them.
    virtual int GetTextPlaces(TextPlace* out, int max);

protected:
    bool WaitsForFadeIn() const { return fadeInFlag_ && frameCounter_ < fadeInStart_; }
    // The application's display surface the widgets draw on, or null.
    Surface* GetScreen() const;

    bool finished_ = false;
    UiLayout* layout_;
    WidgetDesc* desc_;
    ChildPlacement placement_;
    bool ownsDesc_ = false;
    int32_t frameCounter_ = 0;
    int32_t alpha_ = kAlphaOpaque;
    int32_t effectiveAlpha_ = kAlphaOpaque;
    bool fadeInFlag_ = false;
    int32_t fadeInStart_ = 0;
    int32_t fadeInStep_ = 0;
    bool lifeFlag_ = false;
    int32_t lifeEnd_ = 0;
    int32_t fadeOutStep_ = 0;
    int8_t alignX_ = 0, alignY_ = 0;
    int8_t alignXInParent_ = 0, alignYInParent_ = 0;
};

// The child as a script widget, or null for any other widget.
inline ScriptWidget* AsScriptWidget(Widget* widget)
{
    return widget && widget->IsScriptWidget() ? static_cast<ScriptWidget*>(widget) : nullptr;
}
