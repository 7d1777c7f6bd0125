#pragma once
// A named list of steps of the layout script: each step creates a widget from a description or
// closes a widget, with its own placement and fades.
#include "engine/core/arrays.h"
#include "engine/core/strings.h"
#include "engine/ui/widget_desc.h"

enum UiStepKind { kStepCreate = 0, kStepDestroy = 1 };

class UiActionStep {
public:
    UiActionStep() = default;
    UiActionStep(const UiActionStep&) = delete;
    UiActionStep& operator=(const UiActionStep&) = delete;
    virtual ~UiActionStep() = default;

    int kind = kStepCreate;
    String target;
    ChildPlacement placement;
};

// The name of the action a binding gives to undo the last recorded one.
constexpr const char* kActionBack = "actionBack";

class UiAction {
public:
    UiAction() = default;
    UiAction(const UiAction&) = delete;
    UiAction& operator=(const UiAction&) = delete;
    virtual ~UiAction();

    // Appends an empty step of the kind; null when memory runs out.
    UiActionStep* AddStep(int kind);
    int StepCount() const { return steps.Count(); }
    UiActionStep* StepAt(int index) const { return static_cast<UiActionStep*>(steps.Get(index)); }
    bool IsBack() const { return SameText(name.CStr(), kActionBack); }

    String name;
    PtrArray steps{1};
};

// Reads one step line ("create", "createV2", "destroy") into the action; other keys add nothing.
void ParseActionStep(UiAction* action, const char* key, const char* value);
