#include "engine/ui/dialog_widget.h"

#include <new>

#include "engine/core/application.h"
#include "engine/core/engine_keys.h"
#include "engine/core/memory.h"
#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/desc_index.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/tuner_widget.h"
#include "engine/ui/ui_layout.h"

DialogWidget::DialogWidget(Widget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement)
    : ScriptWidget(parent, layout, desc, placement)
{
}

DialogWidget::~DialogWidget()
{
    for (ChildWalk* walk = walk_; walk; walk = walk->outer)
        walk->alive = false;
    background_ = nullptr;
    // The plain removal: refocusing children that are about to go would be wasted.
    for (int i = children_.Count() - 1; i >= 0; --i) {
        Widget* child = ChildAt(i);
        Widget::RemoveChildAt(i);
        delete child;
    }
}

DialogDesc* DialogWidget::GetDialogDesc() const
{
    return dynamic_cast<DialogDesc*>(desc_);
}

void DialogWidget::Update()
{
    ScriptWidget::Update();
    UpdateChildren();
}

// The walk goes over the children as they were when it began: children added meanwhile wait for
// the next tick, and a child that an update or a 606 handler removed is passed over. Handlers may
// even delete the dialog, which ends the walk.
void DialogWidget::UpdateChildren()
{
    int count = children_.Count();
    if (count == 0)
        return;
    // Tried again at the next tick when there is no memory for the list.
    auto** snapshot = static_cast<Widget**>(Alloc(sizeof(Widget*) * static_cast<size_t>(count)));
    if (!snapshot)
        return;
    for (int i = 0; i < count; ++i)
        snapshot[i] = ChildAt(i);
    ChildWalk walk{snapshot, count, true, walk_};
    walk_ = &walk;
    for (int i = count - 1; i >= 0 && walk.alive; --i) {
        Widget* child = snapshot[i];
        if (!child || children_.IndexOf(child) < 0)
            continue;
        child->Update();
        if (!walk.alive || !snapshot[i])
            continue;
        ScriptWidget* script = AsScriptWidget(child);
        if (!script || !script->IsFinished())
            continue;
        // The name outlives a description the child owned.
        String name(script->GetName());
        RemoveChild(child);
        delete child;
        SendEvent(this, kMsgChildClosed, name.CStr(), 0);
    }
    if (walk.alive)
        walk_ = walk.outer;
    Free(snapshot);
}

void DialogWidget::Draw()
{
    DrawBackgroundColor();
    Widget::Draw();
}

void DialogWidget::DrawChildrenExcept(Widget* skip)
{
    if (!visible_)
        return;
    DrawBackgroundColor();
    for (int i = 0; i < children_.Count(); ++i) {
        Widget* child = ChildAt(i);
        if (child == skip)
            continue;
        bool remembered = child->GetDrawFlag();
        bool forced = drawFlag_ || modal_;
        if (forced)
            child->SetDrawFlag(true);
        if (child->IsVisible())
            child->Draw();
        if (forced)
            child->SetDrawFlag(remembered);
    }
}

void DialogWidget::DrawBackgroundColor()
{
    if (!hasColour_ || !application_)
        return;
    Surface* display = application_->GetScreenSurface();
    if (!display)
        return;
    int screenW = display->GetWidth();
    int screenH = display->GetHeight();
    int w = width_ < 2 ? screenW - x_ : width_;
    int h = height_ < 2 ? screenH - y_ : height_;
    if (w == screenW && h == screenH && x_ == 0 && y_ == 0)
        display->Clear(red_, green_, blue_);
    else
        display->FillRect(x_, y_, w, h, red_, green_, blue_);
}

bool DialogWidget::OnKey(int key, bool down)
{
    if (Widget* modal = FindModalChild())
        return modal->OnKey(key, down);
    bool direction = IsDirectionKey(key);
    if (down && direction) {
        if (IsClosing() || IsFadingIn())
            return true;
        if (focusChild_)
            focusChild_->CancelPress();
        if (key == kKeyDown || key == kKeyRight ? FocusNext(key) : FocusPrev(key))
            return true;
    }
    if (application_) {
        ScriptWidget* button = nullptr;
        if (application_->IsLeftSoftKey())
            button = FindShoulderButton(1);
        else if (application_->IsRightSoftKey())
            button = FindShoulderButton(2);
        if (button) {
            if (application_->IsKeyLatched(kKeyAction)) {
                if (!down)
                    application_->ClearKeyLatches();
                return true;
            }
            if (!button->IsInputBlocked()) {
                SetFocusChild(button);
                if (button->OnKey(kKeyAction, down))
                    return true;
            }
        }
    }
    return Widget::OnKey(key, down);
}

bool DialogWidget::OnPointer(int x, int y, int kind)
{
    if (!visible_)
        return false;
    if (Widget* modal = FindModalChild()) {
        SetFocusChild(modal);
        modal->OnPointer(x, y, kind);
        return true;
    }
    for (int i = children_.Count() - 1; i >= 0; --i) {
        Widget* child = ChildAt(i);
        if (!child->IsVisible() || !(child->HitTest(x, y) || child->IsModal()))
            continue;
        ScriptWidget* script = AsScriptWidget(child);
        if (script && script->IsInputBlocked())
            continue;
        SetFocusChild(child);
        return child->OnPointer(x, y, kind);
    }
    return HitTest(x, y) || IsModal();
}

bool DialogWidget::HitTest(int x, int y)
{
    if (hitMode_ == 0)
        return true;
    if (hitMode_ == 1 && x >= x_ && x < x_ + width_ && y >= y_ && y < y_ + height_)
        return true;
    for (int i = 0; i < children_.Count(); ++i) {
        Widget* child = ChildAt(i);
        if (child->IsVisible() && child->HitTest(x, y))
            return true;
    }
    return false;
}

bool DialogWidget::IsFocusCandidate(Widget* child)
{
    ScriptWidget* script = AsScriptWidget(child);
    return script && script->IsFocusable() && script->IsVisible();
}

// Visits the children after (or before) the focus child in turn, focusing each; stops at the
// first focusable visible one, or false when the walk comes back to where it began, which then
// has the focus again.
bool DialogWidget::StepFocusFrom(int direction)
{
    Widget* start = focusChild_;
    int index = children_.IndexOf(start);
    if (!start || index < 0 || children_.Count() < 2)
        return false;
    for (int steps = children_.Count(); steps > 0; --steps) {
        int count = children_.Count();
        if (count == 0)
            break;
        index = ((index + direction) % count + count) % count;
        Widget* child = ChildAt(index);
        if (child == start)
            break;
        SetFocusChild(child);
        if (IsFocusCandidate(child))
            return true;
    }
    focusChild_ = children_.IndexOf(start) >= 0 ? start : nullptr;
    return false;
}

bool DialogWidget::FocusNext(int key)
{
    return MoveFocus(key, 1);
}

bool DialogWidget::FocusPrev(int key)
{
    return MoveFocus(key, -1);
}

// Without a focus child the walk starts from the last child going forward, from the first going
// back; the focus child's own move (a nested dialog's) comes first.
bool DialogWidget::MoveFocus(int key, int direction)
{
    if (!focusChild_) {
        if (children_.Count() == 0)
            return true;
        focusChild_ = ChildAt(direction > 0 ? children_.Count() - 1 : 0);
    }
    if (direction > 0 ? focusChild_->FocusNext(key) : focusChild_->FocusPrev(key))
        return true;
    int focusable = 0;
    for (int i = 0; i < children_.Count(); ++i)
        focusable += IsFocusCandidate(ChildAt(i)) ? 1 : 0;
    if (focusable == 1 && focusChild_ && IsFocusCandidate(focusChild_))
        return true;
    return StepFocusFrom(direction);
}

void DialogWidget::RemoveChildAt(int index)
{
    if (Widget* removed = GetChild(index)) {
        if (removed == background_)
            background_ = nullptr;
        for (ChildWalk* walk = walk_; walk; walk = walk->outer) {
            for (int i = 0; i < walk->count; ++i) {
                if (walk->children[i] == removed)
                    walk->children[i] = nullptr;
            }
        }
    }
    Widget::RemoveChildAt(index);
    int count = children_.Count();
    if (focusChild_ || count == 0)
        return;
    Widget* last = ChildAt(count - 1);
    for (int i = 0; i < count; ++i) {
        if (children_.Count() != count)
            break;
        Widget* child = ChildAt(i);
        if (child == last)
            break;
        SetFocusChild(child);
        if (IsFocusCandidate(child))
            return;
    }
    focusChild_ = children_.IndexOf(last) >= 0 ? last : nullptr;
}

bool DialogWidget::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code != kMsgCommand)
        return Widget::OnEvent(sender, code, name, param);
    DialogDesc* desc = GetDialogDesc();
    const CommandBinding* binding = nullptr;
    for (int i = 0; desc && i < desc->BindingCount(); ++i) {
        const CommandBinding* candidate = desc->BindingAt(i);
        if (candidate->code == kMsgCommand && SameText(candidate->command.CStr(), name)) {
            binding = candidate;
            break;
        }
    }
    if (!binding) {
        if (parent_)
            parent_->OnEvent(this, kMsgCommand, name, param);
        return true;
    }
    if (SameText(binding->action.CStr(), kActionBack)) {
        Back();
        SendEvent(this, kMsgActionRun, kActionBack, 0);
        return true;
    }
    UiAction* action = layout_ ? layout_->FindAction(binding->action.CStr()) : nullptr;
    if (action) {
        // Held apart: a 605 handler may replace the document the action came from.
        String actionName(action->name);
        RunAction(action);
        SendEvent(this, kMsgActionRun, actionName.CStr(), 0);
    }
    return true;
}

bool DialogWidget::Init()
{
    if (!ScriptWidget::Init())
        return false;
    DialogDesc* desc = GetDialogDesc();
    if (desc) {
        bgCenterTilesX_ = desc->bgCenterTilesX;
        bgCenterTilesY_ = desc->bgCenterTilesY;
        sizeMethod_ = static_cast<int8_t>(desc->sizeMethod);
    }
    if (!CreateChildren())
        return false;
    Size size;
    GetPreferredSize(size);
    width_ = size.w;
    height_ = size.h;
    if (!desc)
        return false;
    hasColour_ = desc->hasColour > 0;
    red_ = desc->red;
    green_ = desc->green;
    blue_ = desc->blue;
    focusChild_ = nullptr;
    hitMode_ = static_cast<int8_t>(desc->modal);
    if (hitMode_ == 0)
        SetModal(true);
    if (Widget* modal = FindModalChild())
        SetFocusChild(modal);
    else
        FocusNext(kKeyDown);
    return true;
}

// A description that names one of the dialogs it would be built inside, or that nests dialogs
// deeper than any screen needs, would build without end: such a placement is passed over like
// one whose description is missing.
bool DialogWidget::IsBuildable(const WidgetDesc* childDesc)
{
    if (childDesc->type != kDescDialog && childDesc->type != kDescRoot)
        return true;
    int depth = 0;
    for (Widget* w = this; w; w = w->GetParent(), ++depth) {
        ScriptWidget* script = AsScriptWidget(w);
        if (!script)
            break;
        if (script->GetDesc() == childDesc || depth >= kMaxDialogDepth)
            return false;
    }
    return true;
}

DialogWidget::BuildState* DialogWidget::FindBuildInProgress()
{
    for (Widget* w = parent_; w; w = w->GetParent()) {
        auto* dialog = dynamic_cast<DialogWidget*>(w);
        if (dialog && dialog->build_)
            return dialog->build_;
    }
    return nullptr;
}

// One build is a root or a dialog made from descriptions with everything nested in it. Every
// placement it visits counts, found or not: a dialog placed many times over whose placements
// name nothing costs as much work as one that makes widgets. Past kMaxBuildEntries the build
// fails as a child that cannot be made fails.
bool DialogWidget::CreateChildren()
{
    DialogDesc* desc = GetDialogDesc();
    if (!desc)
        return false;
    BuildState own;
    BuildState* inherited = FindBuildInProgress();
    build_ = inherited ? inherited : &own;
    bool built = true;
    auto find = [&](const char* name) -> WidgetDesc* {
        if (++build_->entries > kMaxBuildEntries)
            built = false;
        if (!built || !layout_)
            return nullptr;
        if (!build_->indexed) {
            build_->names.Build(layout_);
            build_->indexed = true;
        }
        return build_->names.GetLayout() == layout_ ? build_->names.Find(name) : layout_->FindDesc(name);
    };
    if (!desc->background.IsEmpty()) {
        WidgetDesc* backgroundDesc = find(desc->background.CStr());
        if (backgroundDesc && IsBuildable(backgroundDesc)) {
            background_ = CreateChild(backgroundDesc, nullptr);
            built = background_ != nullptr;
        }
    }
    for (int i = 0; built && i < desc->ChildCount(); ++i) {
        ChildPlacement* placement = desc->ChildAt(i);
        WidgetDesc* childDesc = find(placement->name.CStr());
        if (childDesc && IsBuildable(childDesc) && !CreateChild(childDesc, placement))
            built = false;
    }
    build_ = nullptr;
    if (!built)
        return false;
    if (IsRoot())
        ApplyAlignment(this);
    else
        SetAlpha(alpha_);
    return true;
}

ScriptWidget* DialogWidget::CreateChild(WidgetDesc* desc, const ChildPlacement* placement)
{
    if (!desc || desc->type < 1 || desc->type > 10)
        return nullptr;
    ScriptWidget* widget = nullptr;
    switch (desc->type) {
    case kDescDialog:
        widget = new (std::nothrow) DialogWidget(this, layout_, desc, placement);
        break;
    case kDescImage:
        widget = new (std::nothrow) ImageWidget(this, layout_, desc, placement);
        break;
    case kDescText:
        widget = new (std::nothrow) TextWidget(this, layout_, desc, placement);
        break;
    case kDescButton:
        widget = new (std::nothrow) ButtonWidget(this, layout_, desc, placement);
        break;
    case kDescProgress:
        widget = new (std::nothrow) ProgressBarWidget(this, layout_, desc, placement);
        break;
    case kDescTiledBg:
        widget = new (std::nothrow) TiledBgWidget(this, layout_, desc, placement, bgCenterTilesX_, bgCenterTilesY_);
        break;
    case kDescTuner:
        widget = new (std::nothrow) TunerWidget(this, layout_, desc, placement);
        break;
    case kDescTextMulti:
        widget = new (std::nothrow) TextMultiWidget(this, layout_, desc, placement);
        break;
    case kDescCheckBox:
        widget = new (std::nothrow) CheckBoxWidget(this, layout_, desc, placement);
        break;
    case kDescTextInfo:
        widget = new (std::nothrow) TextInfoWidget(this, layout_, desc, placement);
        break;
    default:
        return nullptr;
    }
    if (!widget)
        return nullptr;
    widget->SetApplication(application_);
    if (!widget->Init()) {
        RemoveChild(widget);
        delete widget;
        return nullptr;
    }
    return widget;
}

ScriptWidget* DialogWidget::CreateChildPlaced(WidgetDesc* desc, const ChildPlacement* placement)
{
    ScriptWidget* widget = CreateChild(desc, placement);
    if (!widget)
        return nullptr;
    ApplyAlignment(widget);
    if (placement && placement->fadeIn)
        widget->StartFadeIn(placement->inDelay, placement->inDuration);
    if (placement && placement->fadeOut)
        widget->StartClose(placement->outTime, placement->outDuration);
    return widget;
}

ScriptWidget* DialogWidget::FindChildDialog()
{
    for (int i = 0; i < children_.Count(); ++i) {
        ScriptWidget* child = AsScriptWidget(ChildAt(i));
        if (child && child->GetDesc() && child->GetDesc()->type == kDescDialog)
            return child;
    }
    return nullptr;
}

ScriptWidget* DialogWidget::FindShoulderButton(int side)
{
    for (int i = 0; i < children_.Count(); ++i) {
        ScriptWidget* child = AsScriptWidget(ChildAt(i));
        if (child && child->IsVisible() && child->IsButton() && child->GetShoulderKey() == side)
            return child;
    }
    return nullptr;
}

void DialogWidget::RemoveChildByName(const char* name)
{
    for (int i = 0; i < children_.Count(); ++i) {
        if (ScriptWidget* found = FindByName(ChildAt(i), name)) {
            if (found == background_)
                background_ = nullptr;
            if (Widget* parent = found->GetParent())
                parent->RemoveChild(found);
            return;
        }
    }
}

bool DialogWidget::IsBoundToBack(const char* actionName, Widget* widget)
{
    DialogDesc* desc = GetDialogDesc();
    if (!widget || !actionName || !*actionName || !desc)
        return false;
    for (int i = 0; i < desc->BindingCount(); ++i) {
        const CommandBinding* binding = desc->BindingAt(i);
        if (SameText(binding->action.CStr(), actionName) && FindByName(widget, binding->command.CStr()))
            return true;
    }
    return false;
}

void DialogWidget::MoveBy(int dx, int dy)
{
    ScriptWidget::MoveBy(dx, dy);
    for (int i = 0; i < children_.Count(); ++i) {
        if (ScriptWidget* child = AsScriptWidget(ChildAt(i)))
            child->MoveBy(dx, dy);
    }
}

Size& DialogWidget::GetPreferredSize(Size& out)
{
    out = Size{width_, height_};
    if (out.w >= 2 && out.h >= 2)
        return out;
    Size background;
    bool fromBackground = background_ && sizeMethod_ == 1;
    if (fromBackground)
        background_->GetPreferredSize(background);
    Surface* display = GetScreen();
    if (out.w < 2) {
        if (fromBackground)
            out.w = background.w;
        else if (display)
            out.w = display->GetWidth();
    }
    if (out.h < 2) {
        if (fromBackground)
            out.h = background.h;
        else if (display)
            out.h = display->GetHeight();
    }
    return out;
}

void DialogWidget::DeleteChildren()
{
    background_ = nullptr;
    ScriptWidget::DeleteChildren();
}
