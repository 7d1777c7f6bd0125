#include "engine/ui/script_widget.h"

#include "engine/core/application.h"
#include "engine/core/engine_keys.h"
#include "engine/core/load_result.h"
#include "engine/graphics/font.h"
#include "engine/ui/root_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/ui_layout.h"

TextPlace PlaceText(const Font* font, int x, int y, const char* text)
{
    TextPlace place;
    if (!font || !text || !*text)
        return place;
    place.x = x;
    place.y = y;
    place.w = font->MeasureText(text);
    place.h = font->GetLineHeight();
    place.font = font;
    place.text.Assign(text);
    return place;
}

int PutTextPlace(TextPlace* out, int max, const Font* font, Point at, const char* text)
{
    if (!font || !text || !*text)
        return 0;
    if (max > 0)
        out[0] = PlaceText(font, at.x, at.y, text);
    return 1;
}

int ScriptWidget::GetTextPlaces(TextPlace*, int)
{
    return 0;
}

int32_t SecondsToFrames(Fixed seconds)
{
    int64_t frames8 = (int64_t(seconds.raw) * (kScriptFramesPerSecond * 256)) >> 8;
    return static_cast<int32_t>(frames8 >> 8);
}

int32_t FadeStep(Fixed duration)
{
    int64_t frames8 = (int64_t(duration.raw) * (kScriptFramesPerSecond * 256)) >> 8;
    if (frames8 < 1)
        return kAlphaOpaque;
    int64_t step = (int64_t(kAlphaOpaque) * 16) / (frames8 >> 4);
    return step < 1 ? kAlphaOpaque : static_cast<int32_t>(step);
}

ScriptWidget::ScriptWidget(Widget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement)
    : Widget(parent, nullptr), layout_(layout), desc_(desc)
{
    if (placement)
        placement_ = *placement;
    else if (desc)
        placement_.name = desc->name;
}

ScriptWidget::~ScriptWidget()
{
    // Deleted while still listed: the parent removes it through its own operation, so a
    // container can refocus and strike it from a walk in progress.
    if (parent_) {
        for (int i = 0; i < parent_->GetChildCount(); ++i) {
            if (parent_->GetChild(i) == this) {
                parent_->RemoveChildAt(i);
                break;
            }
        }
    }
    if (ownsDesc_)
        delete desc_;
    desc_ = nullptr;
}

void ScriptWidget::Update()
{
    ++frameCounter_;
    UpdateFade();
}

void ScriptWidget::Hide()
{
    visible_ = false;
    if (parent_ && parent_->GetFocusChild() == this)
        parent_->FocusNext(kKeyDown);
}

bool ScriptWidget::FocusNext(int)
{
    return false;
}

bool ScriptWidget::FocusPrev(int)
{
    return false;
}

bool ScriptWidget::Loaded(const LoadResult& why)
{
    if (why.ok())
        return true;
    for (Widget* widget = this; widget; widget = widget->GetParent()) {
        if (auto* root = dynamic_cast<RootWidget*>(widget)) {
            root->KeepLoadFailure(why);
            break;
        }
    }
    return false;
}

bool ScriptWidget::Init()
{
    UpdateLayout();
    if (IsRoot())
        return true;
    // A fade of no length is given a full step, so it ends at once instead of never.
    if (placement_.fadeIn) {
        fadeInFlag_ = true;
        fadeInStart_ = SecondsToFrames(placement_.inDelay);
        fadeInStep_ = FadeStep(placement_.inDuration);
    }
    if (placement_.fadeOut) {
        lifeFlag_ = true;
        lifeEnd_ = SecondsToFrames(placement_.outTime);
        if (lifeEnd_ > 0 && lifeEnd_ < fadeInStart_)
            lifeEnd_ = fadeInStart_;
        fadeOutStep_ = FadeStep(placement_.outDuration);
    }
    alpha_ = fadeInFlag_ ? 0 : kAlphaOpaque;
    UpdateEffectiveAlpha();
    return true;
}

void ScriptWidget::UpdateLayout()
{
    alignX_ = static_cast<int8_t>(placement_.alignX);
    alignY_ = static_cast<int8_t>(placement_.alignY);
    alignXInParent_ = static_cast<int8_t>(placement_.alignXInParent);
    alignYInParent_ = static_cast<int8_t>(placement_.alignYInParent);
    int x = 0, y = 0;
    if (!IsRoot() && parent_) {
        Point origin;
        if (ScriptWidget* parent = AsScriptWidget(parent_))
            parent->GetPosition(origin);
        else
            origin = Point{parent_->GetX(), parent_->GetY()};
        x = origin.x + placement_.x;
        y = origin.y + placement_.y;
    }
    int w = desc_ ? desc_->width : 0;
    int h = desc_ ? desc_->height : 0;
    SetRect(x, y, w < 1 ? 1 : w, h < 1 ? 1 : h);
}

void ScriptWidget::MoveBy(int dx, int dy)
{
    x_ += dx;
    y_ += dy;
}

Point& ScriptWidget::GetPosition(Point& out)
{
    out = Point{x_, y_};
    return out;
}

Size& ScriptWidget::GetPreferredSize(Size& out)
{
    out = Size{width_, height_};
    return out;
}

Rect& ScriptWidget::GetLayoutRect(Rect& out)
{
    Point position;
    Size size;
    GetPosition(position);
    GetPreferredSize(size);
    out = Rect{position.x, position.y, size.w, size.h};
    return out;
}

bool ScriptWidget::IsClosing()
{
    return lifeFlag_ && lifeEnd_ >= 0 && frameCounter_ >= lifeEnd_;
}

bool ScriptWidget::IsFadingIn()
{
    if (IsClosing() || !fadeInFlag_ || frameCounter_ < fadeInStart_)
        return false;
    return alpha_ < kAlphaOpaque;
}

void ScriptWidget::UpdateFade()
{
    if (!IsClosing()) {
        if (IsFadingIn()) {
            int64_t next = int64_t(alpha_) + fadeInStep_;
            SetAlpha(next > kAlphaOpaque ? kAlphaOpaque : static_cast<int32_t>(next));
        }
        return;
    }
    if (alpha_ > 0) {
        int64_t next = int64_t(alpha_) - fadeOutStep_;
        SetAlpha(next < 0 ? 0 : static_cast<int32_t>(next));
    } else {
        finished_ = true;
    }
}

void ScriptWidget::UpdateEffectiveAlpha()
{
    ScriptWidget* parent = AsScriptWidget(parent_);
    if (IsRoot() || IsDialog() || !parent) {
        effectiveAlpha_ = alpha_;
        return;
    }
    int32_t inherited = parent->effectiveAlpha_;
    if (alpha_ == kAlphaOpaque && inherited == kAlphaOpaque)
        effectiveAlpha_ = kAlphaOpaque;
    else
        effectiveAlpha_ = static_cast<int32_t>((int64_t(alpha_) * inherited) >> 16);
}

void ScriptWidget::SetAlpha(int32_t alpha)
{
    alpha_ = alpha;
    UpdateEffectiveAlpha();
    for (int i = 0; i < children_.Count(); ++i) {
        if (ScriptWidget* child = AsScriptWidget(ChildAt(i)))
            child->UpdateEffectiveAlpha();
    }
    if (desc_ && desc_->type == kDescDialog) {
        if (ScriptWidget* background = GetBackgroundWidget())
            background->SetAlpha(alpha);
    }
}

void ScriptWidget::SetAlphaTree(int32_t alpha)
{
    alpha_ = alpha;
    UpdateEffectiveAlpha();
    for (int i = 0; i < children_.Count(); ++i) {
        if (ScriptWidget* child = AsScriptWidget(ChildAt(i))) {
            child->SetAlphaTree(alpha);
            child->UpdateEffectiveAlpha();
        }
    }
    if (desc_ && desc_->type == kDescDialog) {
        if (ScriptWidget* background = GetBackgroundWidget())
            background->SetAlphaTree(alpha);
    }
}

void ScriptWidget::Relayout()
{
    UpdateLayout();
    ApplyAlignment(this);
}

void ScriptWidget::DeleteChildren()
{
    for (int i = children_.Count() - 1; i >= 0; --i) {
        Widget* child = GetChild(i);
        if (!child)
            continue;
        RemoveChild(child);
        delete child;
    }
}

void ScriptWidget::StartFadeIn(Fixed delay, Fixed duration)
{
    if (delay.raw == 0 && duration.raw == 0)
        return;
    fadeInFlag_ = true;
    fadeInStart_ = frameCounter_ + SecondsToFrames(delay);
    if (duration.raw > 0)
        fadeInStep_ = FadeStep(duration);
    SetAlpha(duration.raw > 0 ? 0 : kAlphaOpaque);
}

void ScriptWidget::StartClose(Fixed time, Fixed duration)
{
    if (time.raw == 0 && duration.raw == 0) {
        finished_ = true;
        return;
    }
    lifeEnd_ = frameCounter_ + SecondsToFrames(time);
    fadeOutStep_ = FadeStep(duration);
    lifeFlag_ = true;
}

void ScriptWidget::ApplyAlignment(Widget* widget)
{
    if (!widget)
        return;
    ScriptWidget* self = AsScriptWidget(widget);
    if (self && !self->IsRoot()) {
        Size size;
        self->GetPreferredSize(size);
        int ox = self->alignX_ == 1 ? size.w >> 1 : self->alignX_ == 2 ? size.w : 0;
        int oy = self->alignY_ == 1 ? size.h >> 1 : self->alignY_ == 2 ? size.h : 0;
        if (Widget* parent = widget->GetParent()) {
            Size outer;
            if (ScriptWidget* scriptParent = AsScriptWidget(parent))
                scriptParent->GetPreferredSize(outer);
            else
                parent->GetSize(outer);
            ox -= self->alignXInParent_ == 1 ? outer.w >> 1 : self->alignXInParent_ == 2 ? outer.w : 0;
            oy -= self->alignYInParent_ == 1 ? outer.h >> 1 : self->alignYInParent_ == 2 ? outer.h : 0;
        }
        self->MoveBy(-ox, -oy);
    }
    for (int i = 0; i < widget->GetChildCount(); ++i)
        ApplyAlignment(widget->GetChild(i));
}

ScriptWidget* ScriptWidget::FindByName(Widget* widget, const char* name)
{
    if (!widget || !name)
        return nullptr;
    ScriptWidget* self = AsScriptWidget(widget);
    if (self && self->desc_ && SameText(self->desc_->name.CStr(), name))
        return self;
    for (int i = 0; i < widget->GetChildCount(); ++i) {
        if (ScriptWidget* found = FindByName(widget->GetChild(i), name))
            return found;
    }
    return nullptr;
}

const char* ScriptWidget::GetName() const
{
    const char* name = desc_ ? desc_->name.CStr() : nullptr;
    return name ? name : "";
}

void ScriptWidget::GetCaptionText(String& out) const
{
    if (!application_ || !desc_ || desc_->txtid.IsEmpty())
        return;
    if (StringTable* table = application_->GetLanguageTable())
        table->Lookup(out, desc_->txtid.CStr());
}

LoadResult ScriptWidget::LoadCaptionText(String& out) const
{
    if (!application_ || !desc_ || desc_->txtid.IsEmpty())
        return LoadResult();
    StringTable* table = application_->GetLanguageTable();
    return table ? table->Require(out, desc_->txtid.CStr()) : LoadResult();
}

bool ScriptWidget::IsInputBlocked()
{
    for (ScriptWidget* w = this; w; w = AsScriptWidget(w->parent_)) {
        if (w->IsClosing() || w->IsFadingIn() || w->WaitsForFadeIn())
            return true;
    }
    return false;
}

bool ScriptWidget::IsAnyBusy()
{
    if (IsClosing() || IsFadingIn())
        return true;
    for (int i = 0; i < children_.Count(); ++i) {
        if (ScriptWidget* child = AsScriptWidget(ChildAt(i)); child && child->IsAnyBusy())
            return true;
    }
    return false;
}

Point& ScriptWidget::GetCenter(Point& out)
{
    Size size;
    GetPosition(out);
    GetPreferredSize(size);
    out.x += size.w >> 1;
    out.y += size.h >> 1;
    return out;
}

bool ScriptWidget::IsOnFocusPath()
{
    Widget* branch = this;
    for (Widget* parent = parent_; parent; branch = parent, parent = parent->GetParent()) {
        if (parent->GetFocusChild() != branch)
            return false;
        if (parent == application_)
            break;
    }
    return true;
}

Surface* ScriptWidget::GetScreen() const
{
    return application_ ? application_->GetScreenSurface() : nullptr;
}
