#include "engine/ui/button_widget.h"

#include <initializer_list>

#include "engine/core/application.h"
#include "engine/core/engine_keys.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"

bool ButtonWidget::Init()
{
    if (!ScriptWidget::Init())
        return false;
    auto* desc = dynamic_cast<ButtonDesc*>(desc_);
    if (!desc || !Loaded(LoadWidgetImage(application_, image_, desc->image)))
        return false;
    shoulder_ = static_cast<int8_t>(desc->shoulder);
    int frames = image_.entry ? image_.GetFrameCount() : desc->image.frameCount;
    // Only counts up to 4 matter to the look; larger ones must not wrap negative.
    frameCount_ = static_cast<int8_t>(frames > 127 ? 127 : frames);
    caption_ = desc->text.caption;
    return Loaded(LoadCaptionText(caption_)) && Loaded(look_.Apply(application_, desc->text));
}

bool ButtonWidget::AcceptsInput()
{
    return IsVisible() && enabled_ && !IsInputBlocked();
}

bool ButtonWidget::OnKey(int key, bool down)
{
    if (!AcceptsInput())
        return false;
    if (key != kKeyAction)
        return true;
    if (down) {
        pressed_ = true;
        SendEvent(nullptr, kMsgPressed, GetName(), 0);
    } else if (pressed_) {
        pressed_ = false;
        FinishPress();
    }
    return true;
}

void ButtonWidget::FinishPress()
{
    SendEvent(nullptr, kMsgCommand, GetName(), 0);
}

bool ButtonWidget::OnPointer(int x, int y, int kind)
{
    if (!AcceptsInput())
        return false;
    bool captured = application_ && application_->GetModalWidget() == this;
    if (kind == kPointerDown) {
        pressed_ = true;
        if (application_)
            application_->SetModalWidget(this);
        SendEvent(nullptr, kMsgPressed, GetName(), 0);
    } else if (kind == kPointerMove && captured) {
        pressed_ = HitTest(x, y);
    } else if (kind == kPointerUp && captured) {
        application_->ClearModalWidget();
        bool inside = HitTest(x, y);
        pressed_ = false;
        if (inside)
            FinishPress();
    }
    return true;
}

bool ButtonWidget::HitTest(int x, int y)
{
    Point centre;
    GetCenter(centre);
    int w, h;
    if (image_.entry) {
        Surface* frame = image_.entry->GetFrame(GetVisualState());
        if (!frame)
            return false;
        w = frame->GetWidth();
        h = frame->GetHeight();
    } else {
        if (caption_.IsEmpty() || !look_.font)
            return false;
        w = look_.font->MeasureText(caption_.CStr());
        h = look_.font->GetLineHeight();
    }
    return centre.x - w / 2 <= x && x < centre.x + w / 2 && centre.y - h / 2 <= y && y < centre.y + h / 2;
}

int ButtonWidget::GetVisualState()
{
    int state;
    if (pressed_)
        state = frameCount_ >= 3 ? 2 : frameCount_ == 2 ? 1 : 0;
    else
        state = IsOnFocusPath() && frameCount_ >= 2 ? 1 : 0;
    if (!enabled_ && frameCount_ >= 4)
        state = 3;
    return state;
}

void ButtonWidget::Draw()
{
    if (effectiveAlpha_ <= 0)
        return;
    DrawImage();
    DrawCaption();
}

void ButtonWidget::DrawImage()
{
    Surface* screen = GetScreen();
    if (!screen || !image_.entry)
        return;
    bool blocked = IsInputBlocked();
    int frame = pressed_ ? 2 : IsOnFocusPath() ? 1 : 0;
    if (frame >= image_.GetFrameCount() || blocked)
        frame = 0;
    Surface* image = image_.entry->GetFrame(frame);
    if (!image)
        return;
    Point centre;
    GetCenter(centre);
    int shift = pressed_ && imageShift_ && !blocked ? 1 : 0;
    image->Draw(screen, centre.x - image->GetWidth() / 2 + shift, centre.y - image->GetHeight() / 2 + shift,
                image->GetWidth(), image->GetHeight(), 0, ImageAlphaOffset(effectiveAlpha_));
}

void ButtonWidget::DrawCaption()
{
    Surface* screen = GetScreen();
    if (!screen || caption_.IsEmpty() || !look_.font)
        return;
    int shift = pressed_ && !captionStill_ && !IsInputBlocked() ? 1 : 0;
    Point at = CaptionPlace();
    look_.font->DrawText(screen, at.x + shift, at.y + shift, caption_.CStr(), look_.red, look_.green,
                         look_.blue, look_.effect, TextAlphaByte(effectiveAlpha_), nullptr);
}

Point ButtonWidget::CentredCaption()
{
    Point centre;
    GetCenter(centre);
    Point at;
    if (!look_.font)
        return centre;
    at.x = centre.x - look_.font->MeasureText(caption_.CStr()) / 2;
    at.y = centre.y - look_.font->GetLineHeight() / 2;
    return at;
}

int ButtonWidget::GetTextPlaces(TextPlace* out, int max)
{
    return PutTextPlace(out, max, look_.font, CaptionPlace(), caption_.CStr());
}

Size& ButtonWidget::GetPreferredSize(Size& out)
{
    out = Size{width_, height_};
    if (out.w > 1 && out.h > 1)
        return out;
    if (Surface* frame = image_.entry ? image_.entry->GetFrame(GetVisualState()) : nullptr)
        out = Size{frame->GetWidth(), frame->GetHeight()};
    return out;
}

bool CheckBoxWidget::Init()
{
    if (!ButtonWidget::Init())
        return false;
    auto* desc = dynamic_cast<CheckBoxDesc*>(desc_);
    if (!desc || !Loaded(LoadWidgetImage(application_, checkedImage_, desc->checkedImage)))
        return false;
    side_ = static_cast<uint8_t>(desc->textAlign);
    textOffset_ = desc->textOffset;
    imageShift_ = 1;
    return true;
}

// A release toggles even without a press before it.
bool CheckBoxWidget::OnKey(int key, bool down)
{
    if (!AcceptsInput())
        return false;
    if (key != kKeyAction)
        return true;
    if (down) {
        pressed_ = true;
        SendEvent(nullptr, kMsgPressed, GetName(), 0);
    } else {
        pressed_ = false;
        FinishPress();
    }
    return true;
}

void CheckBoxWidget::FinishPress()
{
    checked_ = !checked_;
    SendEvent(nullptr, kMsgCheckToggled, GetName(), checked_ ? 1 : 0);
}

bool CheckBoxWidget::HitTest(int x, int y)
{
    Size size;
    GetPreferredSize(size);
    return PointInRect(x, y, Rect{x_, y_, size.w, size.h});
}

int CheckBoxWidget::GetTextGap()
{
    if (textOffset_ != kTextOffsetUnset)
        return textOffset_;
    if (side_ == 1)
        return look_.font ? look_.font->MeasureText(" ") : 0;
    return 0;
}

Size CheckBoxWidget::GetBoxSize()
{
    Surface* normal = image_.entry ? image_.entry->GetFrame(0) : nullptr;
    Surface* checked = checkedImage_.entry ? checkedImage_.entry->GetFrame(0) : nullptr;
    Size box;
    for (Surface* image : {normal, checked}) {
        if (!image)
            continue;
        if (image->GetWidth() > box.w)
            box.w = image->GetWidth();
        if (image->GetHeight() > box.h)
            box.h = image->GetHeight();
    }
    return box;
}

Size& CheckBoxWidget::GetPreferredSize(Size& out)
{
    out = Size{width_, height_};
    if (out.w >= 2 && out.h >= 2)
        return out;
    Size box = GetBoxSize();
    Size caption{1, 1};
    if (look_.font) {
        caption.w = (caption_.IsEmpty() ? 0 : look_.font->MeasureText(caption_.CStr())) + GetTextGap();
        caption.h = look_.font->GetLineHeight();
    }
    out.h = box.h > caption.h ? box.h : caption.h;
    out.w = side_ == 1 ? box.w + caption.w : (box.w > caption.w ? box.w : caption.w);
    return out;
}

void CheckBoxWidget::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0)
        return;
    bool blocked = IsInputBlocked();
    int shift = pressed_ && !blocked ? 1 : 0;
    int boxX = 0, boxY = 0;
    DrawBox(screen, blocked, boxX, boxY);
    if (caption_.IsEmpty() || !look_.font)
        return;
    Point at = CaptionPlace();
    look_.font->DrawText(screen, at.x + shift, at.y + shift, caption_.CStr(), look_.red, look_.green, look_.blue,
                         look_.effect, TextAlphaByte(effectiveAlpha_), nullptr);
}

Point CheckBoxWidget::CaptionPlace()
{
    Point at = CentredCaption();
    if (side_ == 1)
        at.x = x_ + GetBoxSize().w;
    at.x += GetTextGap();
    return at;
}

Surface* CheckBoxWidget::DrawBox(Surface* screen, bool blocked, int& x, int& y)
{
    const ImageRef& set = checked_ ? checkedImage_ : image_;
    if (!set.entry)
        return nullptr;
    int state = GetVisualState();
    if (state > set.GetFrameCount() - 1)
        state = set.GetFrameCount() - 1;
    if (blocked || state < 0)
        state = 0;
    Surface* image = set.entry->GetFrame(state);
    if (!image)
        return nullptr;
    Point centre;
    GetCenter(centre);
    x = side_ == 1 ? x_ : centre.x - image->GetWidth() / 2;
    y = side_ == 1 ? y_ : centre.y - image->GetHeight() / 2;
    int shift = pressed_ && !blocked ? 1 : 0;
    image->Draw(screen, x + shift, y + shift, image->GetWidth(), image->GetHeight(), 0,
                ImageAlphaOffset(effectiveAlpha_));
    return image;
}
