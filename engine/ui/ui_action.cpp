#include "engine/ui/ui_action.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/text_script.h"

UiAction::~UiAction()
{
    for (int i = 0; i < steps.Count(); ++i)
        delete StepAt(i);
}

UiActionStep* UiAction::AddStep(int kind)
{
    std::unique_ptr<UiActionStep> step(new (std::nothrow) UiActionStep());
    if (!step)
        return nullptr;
    step->kind = kind;
    if (!steps.Add(step.get()))
        return nullptr;
    return step.release();
}

namespace {

Fixed Seconds(const ShortString& item)
{
    Fixed out;
    return ParseFixed8(out, item.CStr(), 0);
}

bool Flag(const ShortString& item)
{
    return ParseInt(item.CStr()) > 0;
}

}  // namespace

void ParseActionStep(UiAction* action, const char* key, const char* value)
{
    if (!action)
        return;
    bool create = SameText(key, "create");
    bool createV2 = SameText(key, "createV2");
    bool destroy = SameText(key, "destroy");
    if (!create && !createV2 && !destroy)
        return;

    ShortString items[12];
    int count = 0;
    SplitList(value, create ? 9 : createV2 ? 12 : 3, items, &count);
    UiActionStep* step = action->AddStep(destroy ? kStepDestroy : kStepCreate);
    if (!step)
        return;
    ShortString target;
    Unquote(target, items[0].CStr());
    step->target.Assign(target.CStr());
    ChildPlacement& p = step->placement;

    if (destroy) {
        if (count >= 2)
            p.fadeOut = Flag(items[1]);
        if (count >= 3)
            p.outDuration = Seconds(items[2]);
        return;
    }
    if (count >= 3) {
        if (create && SameText(items[1].CStr(), "centered")) {
            p.alignXInParent = 1;
            p.x = 0;
        } else {
            p.x = static_cast<int16_t>(ParseInt(items[1].CStr()));
        }
        p.y = static_cast<int16_t>(ParseInt(items[2].CStr()));
    }
    if (create) {
        if (count >= 4)
            p.alignX = AlignOf(items[3].CStr(), "right");
        if (count >= 5)
            p.fadeIn = Flag(items[4]);
        if (count >= 6)
            p.inDelay = Seconds(items[5]);
        if (count >= 7)
            p.inDuration = Seconds(items[6]);
        if (count >= 8)
            p.fadeOut = Flag(items[7]);
        if (count >= 9)
            p.outDuration = Seconds(items[8]);
        return;
    }
    if (count >= 4)
        p.alignX = AlignOf(items[3].CStr(), "right");
    if (count >= 5)
        p.alignXInParent = AlignOf(items[4].CStr(), "right");
    if (count >= 6)
        p.alignY = AlignOf(items[5].CStr(), "bottom");
    if (count >= 7)
        p.alignYInParent = AlignOf(items[6].CStr(), "bottom");
    if (count >= 8)
        p.fadeIn = Flag(items[7]);
    if (count >= 9)
        p.inDelay = Seconds(items[8]);
    if (count >= 10)
        p.inDuration = Seconds(items[9]);
    if (count >= 11)
        p.fadeOut = Flag(items[10]);
    if (count >= 12)
        p.outDuration = Seconds(items[11]);
}
