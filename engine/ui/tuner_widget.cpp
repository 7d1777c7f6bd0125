#include "engine/ui/tuner_widget.h"

#include "engine/core/application.h"
#include "engine/core/engine_keys.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"

bool TunerWidget::LoadImage(ImageRef& image, const String& setName, int frame)
{
    ImageSpec spec;
    spec.useSet = true;
    spec.set = setName;
    spec.frame = frame;
    return Loaded(LoadWidgetImage(application_, image, spec));
}

bool TunerWidget::Init()
{
    if (!ScriptWidget::Init())
        return false;
    auto* desc = dynamic_cast<TunerDesc*>(desc_);
    if (!desc || (desc->tunerId.IsEmpty() && desc->fullId.IsEmpty()))
        return false;
    if (!LoadImage(track_, desc->tunerId, desc->tunerFrame) || !LoadImage(full_, desc->fullId, desc->fullFrame) ||
        !LoadImage(handle_, desc->handleId, 0))
        return false;
    // A step or maximum below 1 would stall the keys or divide by zero.
    step_ = desc->step < 1 ? 1 : desc->step;
    max_ = desc->max < 1 ? 1 : desc->max;
    offsetLeft_ = desc->offsetLeft;
    offsetRight_ = desc->offsetRight;
    vertical_ = desc->vertical != 0;
    // The first value stays within a maximum below it, so the handle stays on the track.
    if (value_ > max_)
        value_ = max_;
    ComputeTrack();
    return true;
}

void TunerWidget::ComputeTrack()
{
    int w = track_.GetWidth(), h = track_.GetHeight();
    if (w == 0)
        w = full_.GetWidth();
    if (h == 0)
        h = full_.GetHeight();
    if (width_ < 2)
        width_ = w;
    if (height_ < 2)
        height_ = h;
    trackLength_ = vertical_ ? h : w;
    thickness_ = vertical_ ? w : h;
    handlePosition_ = Range() * value_ / max_;
}

void TunerWidget::SetValue(int value)
{
    value_ = value < 0 ? 0 : value > max_ ? max_ : value;
    handlePosition_ = Range() * value_ / max_;
}

void TunerWidget::SetFromPosition(int p)
{
    int r = Range(), q = p - offsetLeft_;
    if (q < 1) {
        value_ = 0;
        handlePosition_ = 0;
        return;
    }
    if (q >= r) {
        value_ = max_;
        handlePosition_ = r;
        return;
    }
    int lower = ((max_ * q) / r) / step_ * step_;
    int upper = lower + step_ < max_ ? lower + step_ : max_;
    int lowerPosition = lower * r / max_, upperPosition = upper * r / max_;
    if (q - lowerPosition < upperPosition - q) {
        value_ = lower;
        handlePosition_ = lowerPosition;
    } else {
        value_ = upper;
        handlePosition_ = upperPosition;
    }
}

bool TunerWidget::Step(int delta)
{
    int value = value_ + delta;
    value_ = value < 0 ? 0 : value > max_ ? max_ : value;
    handlePosition_ = Range() * value_ / max_;
    SendEvent(nullptr, kMsgTunerChanged, GetName(), value_);
    return true;
}

bool TunerWidget::FocusNext(int key)
{
    if (key != (vertical_ ? kKeyDown : kKeyRight))
        return false;
    return Step(step_);
}

bool TunerWidget::FocusPrev(int key)
{
    if (key != (vertical_ ? kKeyUp : kKeyLeft))
        return false;
    return Step(-step_);
}

bool TunerWidget::OnPointer(int x, int y, int kind)
{
    int p = vertical_ ? y - y_ : x - x_;
    bool captured = application_ && application_->GetModalWidget() == this;
    if (kind == kPointerDown) {
        if (application_)
            application_->SetModalWidget(this);
        dragging_ = true;
        SetFromPosition(p);
        SendEvent(nullptr, kMsgTunerDragged, GetName(), value_);
    } else if (kind == kPointerMove && captured) {
        SetFromPosition(p);
        SendEvent(nullptr, kMsgTunerDragged, GetName(), value_);
    } else if (kind == kPointerUp && captured) {
        application_->ClearModalWidget();
        dragging_ = false;
        SetFromPosition(p);
        SendEvent(nullptr, kMsgTunerChanged, GetName(), value_);
    }
    return true;
}

Size& TunerWidget::GetPreferredSize(Size& out)
{
    out = vertical_ ? Size{thickness_, trackLength_} : Size{trackLength_, thickness_};
    return out;
}

void TunerWidget::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0)
        return;
    int alpha = ImageAlphaOffset(effectiveAlpha_);
    int fill = offsetLeft_ + handlePosition_;
    Surface* full = full_.GetFrameImage();
    if (Surface* track = track_.GetFrameImage()) {
        int w = track->GetWidth(), h = track->GetHeight();
        if (!full)
            track->Draw(screen, x_, y_, w, h, 0, alpha);
        else if (!vertical_ && fill < w)
            track->BlitRegion(screen, x_ + fill, y_, w - fill, h, fill, 0, alpha);
        else if (vertical_ && fill < h)
            track->BlitRegion(screen, x_, y_ + fill, w, h - fill, 0, fill, alpha);
    }
    // Without a track the full part's own thickness stands in for it.
    if (full && fill > 0 && thickness_ > 0) {
        if (vertical_)
            full->BlitRegion(screen, x_, y_, thickness_, fill, 0, 0, alpha);
        else
            full->BlitRegion(screen, x_, y_, fill, thickness_, 0, 0, alpha);
    }
    int frames = handle_.GetFrameCount();
    int frame = 0;
    if (dragging_)
        frame = frames >= 3 ? 2 : frames == 2 ? 1 : 0;
    else if (frames >= 2 && IsOnFocusPath())
        frame = 1;
    if (effectiveAlpha_ < kAlphaOpaque)
        frame = 0;
    Surface* handle = handle_.entry ? handle_.entry->GetFrame(frame) : nullptr;
    if (!handle)
        return;
    int cx = vertical_ ? x_ + thickness_ / 2 : x_ + fill;
    int cy = vertical_ ? y_ + fill : y_ + thickness_ / 2;
    int shift = dragging_ ? 1 : 0;
    handle->Draw(screen, cx - handle->GetWidth() / 2 + shift, cy - handle->GetHeight() / 2 + shift, handle->GetWidth(),
                 handle->GetHeight(), 0, alpha);
}
