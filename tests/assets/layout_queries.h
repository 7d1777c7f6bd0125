// Questions the data tests ask of a parsed layout script: a dialog's children, what a command is
// bound to, what an action does and what kind a name is.
#pragma once

#include <set>
#include <string>

#include "engine/ui/widget_desc.h"
#include "engine/ui/ui_layout.h"

inline std::set<std::string> ChildNames(const DialogDesc* dialog)
{
    std::set<std::string> names;
    for (int i = 0; i < dialog->ChildCount(); ++i)
        names.insert(dialog->ChildAt(i)->name.CStr());
    return names;
}

// The action a dialog binds to a command, null when it binds none.
inline const UiAction* BoundAction(const UiLayout& layout, const DialogDesc* dialog, const char* command)
{
    for (int i = 0; i < dialog->BindingCount(); ++i)
        if (SameText(dialog->BindingAt(i)->command.CStr(), command))
            return layout.FindAction(dialog->BindingAt(i)->action.CStr());
    return nullptr;
}

inline bool HasStep(const UiAction* action, int kind, const char* target)
{
    for (int i = 0; action && i < action->StepCount(); ++i)
        if (action->StepAt(i)->kind == kind && SameText(action->StepAt(i)->target.CStr(), target))
            return true;
    return false;
}

// The kind of a description found by name, -1 when there is none.
inline int TypeOf(const UiLayout& layout, const char* name)
{
    const WidgetDesc* desc = layout.FindDesc(name);
    return desc ? desc->type : -1;
}
