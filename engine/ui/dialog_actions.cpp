#include "engine/ui/dialog_widget.h"

#include <memory>
#include <new>

#include "engine/ui/ui_layout.h"
#include "engine/ui/widget_messages.h"

// Layout actions run by a dialog, and descriptions and actions loaded on their own from a file.

namespace {

String Quoted(const char* name)
{
    String out;
    out.Format("\"%s\"", name ? name : "");
    return out;
}

}  // namespace

ChildPlacement MakeFilePlacement(int x, int y, int alignX, int alignY, int alignXInParent, int alignYInParent,
                                 bool fadeIn, Fixed inDelay, Fixed inDuration, bool fadeOut, Fixed outTime,
                                 Fixed outDuration)
{
    ChildPlacement placement;
    placement.x = static_cast<int16_t>(x);
    placement.y = static_cast<int16_t>(y);
    placement.alignX = static_cast<uint8_t>(alignX);
    placement.alignY = static_cast<uint8_t>(alignY);
    placement.alignXInParent = static_cast<uint8_t>(alignXInParent);
    placement.alignYInParent = static_cast<uint8_t>(alignYInParent);
    if (fadeIn) {
        placement.fadeIn = true;
        placement.inDelay = inDelay;
        placement.inDuration = inDuration;
    }
    if (fadeOut) {
        placement.fadeOut = true;
        placement.outTime = outTime;
        placement.outDuration = outDuration;
    }
    return placement;
}

ScriptWidget* DialogWidget::CreateChildFromFile(const char* fileName, const char* descName, int x, int y, int alignX,
                                                int alignY, int alignXInParent, int alignYInParent, bool fadeIn,
                                                Fixed inDelay, Fixed inDuration, bool fadeOut, Fixed outTime,
                                                Fixed outDuration)
{
    if (!fileName)
        return nullptr;
    UiLayoutParser parser;
    String quoted = Quoted(descName);
    std::unique_ptr<WidgetDesc> desc(UiLayout::LoadDescByName(parser, application_, fileName, quoted.CStr()));
    if (!desc)
        return nullptr;
    ChildPlacement placement = MakeFilePlacement(x, y, alignX, alignY, alignXInParent, alignYInParent, fadeIn, inDelay,
                                                 inDuration, fadeOut, outTime, outDuration);
    ScriptWidget* widget = CreateChildPlaced(desc.get(), &placement);
    if (!widget)
        return nullptr;
    desc.release();
    widget->SetOwnsDesc(true);
    return widget;
}

bool DialogWidget::RunActionFromFile(const char* fileName, const char* actionName)
{
    if (!fileName || !*fileName)
        return false;
    UiLayoutParser parser;
    String quoted = Quoted(actionName);
    std::unique_ptr<UiAction> action(UiLayout::LoadActionByName(parser, application_, fileName, quoted.CStr()));
    if (!action)
        return false;
    bool ran = RunAction(action.get());
    String name(actionName);
    action.reset();
    // Nothing of the dialog is touched after the report: a handler may delete it.
    SendEvent(this, kMsgActionRun, name.CStr(), 0);
    return ran;
}

void DialogWidget::PushHistory(UiAction*, PtrArray&) {}

bool DialogWidget::RunAction(UiAction* action)
{
    if (!action)
        return false;
    if (action->IsBack()) {
        for (int i = 0; i < action->StepCount(); ++i) {
            UiActionStep* step = action->StepAt(i);
            if (step->kind == kStepCreate)
                RunCreateStep(step);
            else if (step->kind == kStepDestroy)
                RunDestroyStep(step);
        }
        return true;
    }
    PtrArray placements(1);
    bool recordable = true;
    for (int i = 0; i < action->StepCount(); ++i) {
        UiActionStep* step = action->StepAt(i);
        if (step->kind == kStepDestroy) {
            ScriptWidget* target = FindByName(this, step->target.CStr());
            ChildPlacement* copy = new (std::nothrow) ChildPlacement();
            if (copy && target)
                *copy = target->GetPlacement();
            if (!copy || !placements.Add(copy)) {
                delete copy;
                recordable = false;
            }
            RunDestroyStep(step);
        } else if (step->kind == kStepCreate) {
            RunCreateStep(step);
        }
    }
    // Without every placement the undo would put widgets in the wrong places: none is recorded.
    if (recordable)
        PushHistory(action, placements);
    for (int i = 0; i < placements.Count(); ++i)
        delete static_cast<ChildPlacement*>(placements.At(i));
    return true;
}

void DialogWidget::RunCreateStep(UiActionStep* step)
{
    WidgetDesc* desc = layout_ ? layout_->FindDesc(step->target.CStr()) : nullptr;
    if (!desc)
        return;
    // Never closes by itself; the fade-out stays for the undo that closes it.
    step->placement.outTime = Fixed::Raw(-256);
    ScriptWidget* widget = CreateChild(desc, &step->placement);
    if (!widget)
        return;
    ApplyAlignment(widget);
    if (step->placement.fadeIn)
        widget->StartFadeIn(step->placement.inDelay, step->placement.inDuration);
}

void DialogWidget::RunDestroyStep(UiActionStep* step)
{
    ScriptWidget* target = FindByName(this, step->target.CStr());
    if (!target)
        return;
    if (step->placement.fadeOut)
        target->StartClose(Fixed(), step->placement.outDuration);
    else
        target->StartClose(Fixed(), Fixed());
}
