#include "engine/core/widget.h"

#include "engine/core/application.h"
#include "engine/core/engine_keys.h"

Widget::Widget(Widget* parent, Application* application)
    : parent_(parent),
      application_(application ? application : (parent ? parent->GetApplication() : nullptr)),
      parkedTarget_(parent)
{
    if (parent_) {
        parent_->AddChild(this);
        parent_->SetFocusChild(this);
    }
}

// A widget deleted while still listed in its parent leaves it cleanly, and its children lose
// their parent pointer rather than keep a dangling one.
Widget::~Widget()
{
    if (application_ && application_->GetModalWidget() == this)
        application_->ClearModalWidget();
    if (parent_) {
        int index = parent_->children_.IndexOf(this);
        if (index >= 0) {
            if (parent_->focusChild_ == this)
                parent_->focusChild_ = nullptr;
            parent_->children_.RemoveAt(index);
        }
    }
    for (int i = 0; i < children_.Count(); ++i) {
        Widget* child = ChildAt(i);
        if (child->parent_ == this)
            child->parent_ = nullptr;
        if (child->parkedTarget_ == this)
            child->parkedTarget_ = nullptr;
    }
}

void Widget::OnRemoveChild(Widget*, int) {}

void Widget::Draw()
{
    if (!visible_)
        return;
    for (int i = 0; i < children_.Count(); ++i) {
        Widget* child = ChildAt(i);
        bool remembered = child->GetDrawFlag();
        bool forced = drawFlag_ || modal_;
        if (forced)
            child->SetDrawFlag(true);
        if (child->visible_)
            child->Draw();
        if (forced)
            child->SetDrawFlag(remembered);
    }
}

void Widget::Show()
{
    visible_ = true;
    for (int i = 0; i < children_.Count(); ++i)
        ChildAt(i)->Show();
}

void Widget::Hide()
{
    visible_ = false;
    if (parent_ && parent_->focusChild_ == this)
        parent_->focusChild_ = nullptr;
}

void Widget::Close()
{
    Hide();
    if (parent_) {
        parent_->RemoveChild(this);
        parent_ = nullptr;
    }
}

bool Widget::OnKey(int key, bool down)
{
    if (visible_ && focusChild_)
        return focusChild_->OnKey(key, down);
    return false;
}

bool Widget::OnPointer(int x, int y, int kind)
{
    return OfferPointer(x, y, kind, 0, false);
}

bool Widget::OnPointerEx(int x, int y, int kind, int extra)
{
    return OfferPointer(x, y, kind, extra, true);
}

// Offers a stylus event to the children from the topmost down; the plain and the extended form
// each reach the child's operation of the same form.
bool Widget::OfferPointer(int x, int y, int kind, int extra, bool extended)
{
    if (!visible_)
        return false;
    for (int i = children_.Count() - 1; i >= 0; --i) {
        Widget* child = ChildAt(i);
        if (child->IsVisible() && child->HitTest(x, y)) {
            SetFocusChild(child);
            if (extended)
                child->OnPointerEx(x, y, kind, extra);
            else
                child->OnPointer(x, y, kind);
            return true;
        }
        if (child->IsModal())
            return true;
    }
    return false;
}

bool Widget::AddChild(Widget* child)
{
    return children_.Add(child);
}

void Widget::RemoveChildAt(int index)
{
    OnRemoveChild(nullptr, index);
    if (index < 0 || index >= children_.Count())
        return;
    if (ChildAt(index) == focusChild_)
        focusChild_ = nullptr;
    children_.RemoveAt(index);
}

void Widget::RemoveChild(Widget* child)
{
    OnRemoveChild(child, -1);
    int index = children_.IndexOf(child);
    if (index >= 0)
        RemoveChildAt(index);
}

Widget* Widget::GetChild(int index)
{
    return static_cast<Widget*>(children_.Get(index));
}

void Widget::SetFocusChild(Widget* child)
{
    focusChild_ = child;
    if (child)
        child->OnFocused();
}

void Widget::SetRect(int x, int y, int width, int height)
{
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
}

void Widget::GetRect(Rect& out)
{
    out = Rect{x_, y_, width_, height_};
}

void Widget::GetSize(Size& out)
{
    out = Size{width_, height_};
}

bool Widget::HitTest(int x, int y)
{
    return x >= x_ && y >= y_ && x < x_ + width_ && y < y_ + height_;
}

bool Widget::FocusNext(int key)
{
    return StepFocus(key, 1);
}

bool Widget::FocusPrev(int key)
{
    return StepFocus(key, -1);
}

// Moves the focus to the next sibling that is visible and of a focusable kind; every candidate
// passed on the way is focused in turn. When none qualifies the walk ends after one round with
// the focus back where it was.
bool Widget::StepFocus(int key, int direction)
{
    int count = children_.Count();
    if (!focusChild_) {
        if (count == 0)
            return true;
        focusChild_ = ChildAt(0);
    }
    if (focusChild_->GetKind() == kWidgetKindFocusGroup) {
        bool moved = direction > 0 ? focusChild_->FocusNext(key) : focusChild_->FocusPrev(key);
        if (moved)
            return true;
    }
    if (!focusChild_ || count < 2)
        return false;
    Widget* start = focusChild_;
    int index = children_.IndexOf(start);
    if (index < 0)
        return false;
    for (int step = 1; step < count; ++step) {
        // A focus hook may change the children; the walk ends rather than read past them.
        Widget* child = GetChild(((index + direction * step) % count + count) % count);
        if (!child)
            break;
        SetFocusChild(child);
        int kind = child->GetKind();
        if (kind != kWidgetKindUnfocusable && kind != kWidgetKindUnfocusableDefersAction && child->visible_)
            return true;
    }
    focusChild_ = start;
    return false;
}

bool Widget::SendEvent(Widget* target, int code, const char* name, int param, bool)
{
    Widget* receiver = target ? target : parent_;
    if (!receiver)
        return false;
    return receiver->OnEvent(this, code, name, param);
}

bool Widget::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (!parent_)
        return false;
    return parent_->OnEvent(sender, code, name, param);
}

void Widget::SetTimerMode(int mode)
{
    timerMode_ = mode;
    timerCounter_ = mode ? 1 : 0;
}

void Widget::UpdateTimer()
{
    if (timerMode_ == 1) {
        if (--timerCounter_ <= 0)
            SetTimerMode(0);
    } else if (timerMode_ == 2) {
        if (timerCounter_ > 0)
            --timerCounter_;
    }
}

void Widget::ParkEvent(Widget* target, int code, const char* name, int param)
{
    parkedTarget_ = target;
    parkedCode_ = code;
    parkedName_ = name;
    parkedParam_ = param;
}

void Widget::SendParkedEvent()
{
    if (parkedCode_ == 0)
        return;
    Widget* target = parkedTarget_;
    int code = parkedCode_;
    const char* name = parkedName_;
    int param = parkedParam_;
    parkedCode_ = 0;
    SendEvent(target, code, name, param, false);
}

Widget* Widget::FindModalChild()
{
    for (int i = children_.Count() - 1; i >= 0; --i) {
        Widget* child = ChildAt(i);
        if (child->IsModal() && child->IsVisible())
            return child;
    }
    return nullptr;
}

Widget* Widget::FindShoulderChild(int shoulder)
{
    if (shoulder != 1 && shoulder != 2)
        return nullptr;
    for (int i = 0; i < children_.Count(); ++i) {
        Widget* child = ChildAt(i);
        if (child->HasShoulderKey(shoulder) && child->GetShoulderKey() == shoulder)
            return child;
    }
    return nullptr;
}

bool Widget::OnNavigateKey(int key, bool down)
{
    if (Widget* modal = FindModalChild())
        return modal->OnKey(key, down);
    if (focusChild_ && focusChild_->GetKind() == kWidgetKindKeysFirst && focusChild_->OnKey(key, down))
        return true;
    if (down) {
        if ((key == kKeyDown || key == kKeyRight) && FocusNext(key))
            return true;
        if ((key == kKeyUp || key == kKeyLeft) && FocusPrev(key))
            return true;
    }

    // With two buttons, one of them a left-shoulder button and the other deferring the action to
    // it, the action key presses the shoulder button; the soft keys press their own shoulder
    // buttons.
    Widget* target = nullptr;
    if (key == kKeyAction && children_.Count() < 3) {
        Widget* first = GetChild(0);
        Widget* second = GetChild(1);
        Widget* left = FindShoulderChild(leftShoulderId_);
        Widget* other = left == first ? second : left == second ? first : nullptr;
        if (left && other &&
            (other->GetKind() == kWidgetKindUnfocusableDefersAction || other->GetKind() == kWidgetKindDefersAction))
            target = left;
    }
    if (application_ && application_->IsLeftSoftKey())
        target = FindShoulderChild(leftShoulderId_);
    else if (application_ && application_->IsRightSoftKey())
        target = FindShoulderChild(rightShoulderId_);

    if (target) {
        if (application_ && application_->IsKeyLatched(kKeyAction)) {
            if (!down)
                application_->ClearKeyLatches();
            return true;
        }
        SetFocusChild(target);
        if (target->OnKey(kKeyAction, down))
            return true;
    }
    if (!visible_ || !focusChild_)
        return false;
    return focusChild_->OnKey(key, down);
}

void DetachAndDeleteWidget(Widget*& widget)
{
    if (!widget)
        return;
    if (Widget* parent = widget->GetParent())
        parent->RemoveChild(widget);
    delete widget;
    widget = nullptr;
}
