#include "engine/ui/root_widget.h"

#include <cstdio>
#include <memory>
#include <new>

#include "engine/ui/ui_layout.h"

RootWidget::RootWidget(Widget* parent) : DialogWidget(parent, nullptr, nullptr, nullptr) {}

RootWidget::~RootWidget()
{
    ClearHistory();
    // The children go first: they point into the document.
    DeleteChildren();
    delete layout_;
    layout_ = nullptr;
    desc_ = nullptr;
}

void RootWidget::Update()
{
    UpdateChildren();
}

bool RootWidget::Init()
{
    if (!layout_ || !desc_)
        return false;
    if (!DialogWidget::Init())
        return false;
    return AlignBackground();
}

bool RootWidget::LoadLayout(const char* fileName, const char* rootName)
{
    ClearHistory();
    DeleteChildren();
    loadResult_ = LoadResult();
    if (!fileName)
        return false;
    UiLayout* document = nullptr;
    std::unique_ptr<UiLayout> parsed;
    if (SameText(fileName, fileName_.CStr()) && !fileName_.IsEmpty()) {
        if (!layout_)
            return false;
        document = layout_;
    } else {
        // Nothing may keep pointing into the document that goes.
        delete layout_;
        layout_ = nullptr;
        desc_ = nullptr;
        fileName_.Assign(nullptr);
        UiLayoutParser parser;
        LoadedValue<UiLayout*> loaded = UiLayout::LoadFile(parser, application_, fileName);
        parsed.reset(loaded.value);
        if (!parsed) {
            loadResult_ = loaded.why;
            return false;
        }
        document = parsed.get();
    }
    WidgetDesc* root = rootName ? document->FindDesc(rootName) : document->FindFirstRoot();
    if (!root) {
        loadResult_ = LoadResult::Failed(document->shownName.CStr(), rootName
                                                                          ? "damaged: it does not describe the screen asked for"
                                                                          : "damaged: it describes no screen");
        return false;
    }
    if (parsed) {
        layout_ = parsed.release();
        fileName_.Assign(fileName);
    }
    desc_ = root;
    if (!Init()) {
        KeepLoadFailure(LoadResult::Failed(document->shownName.CStr(), "a screen it describes cannot be built"));
        DeleteChildren();
        return false;
    }
    return true;
}

ScriptWidget* RootWidget::RequireWidget(const char* name)
{
    ScriptWidget* found = ScriptWidget::FindByName(this, name);
    if (!found)
        LayoutLacks(layout_ ? layout_->shownName.CStr() : fileName_.CStr(), name);
    return found;
}

void RootWidget::LayoutLacks(const char* file, const char* name)
{
    char reason[120];
    snprintf(reason, sizeof reason, "damaged: it lacks \"%s\", which the screen needs", name ? name : "");
    OnLayoutLack(LoadResult::Failed(file, reason));
}

void RootWidget::KeepLoadFailure(const LoadResult& why)
{
    if (loadResult_.ok())
        loadResult_ = why;
}

void RootWidget::ClearHistory()
{
    for (int i = history_.Count() - 1; i >= 0; --i) {
        UiAction* action = GetHistoryAt(i);
        history_.RemoveAt(i);
        delete action;
    }
    history_.FreeStorage();
}

bool RootWidget::AlignBackground()
{
    if (!desc_)
        return false;
    if (!background_)
        return true;
    RootDesc* root = dynamic_cast<RootDesc*>(desc_);
    if (!root)
        return true;
    Size outer, inner;
    GetPreferredSize(outer);
    background_->GetPreferredSize(inner);
    if (root->alignBg == 1)
        background_->MoveBy((outer.w - inner.w) >> 1, 0);
    else if (root->alignBg == 2)
        background_->MoveBy(outer.w - inner.w, 0);
    if (root->alignBgV == 1)
        background_->MoveBy(0, (outer.h - inner.h) >> 1);
    else if (root->alignBgV == 2)
        background_->MoveBy(0, outer.h - inner.h);
    return true;
}

// Recorded only when one of the widgets the action created holds a button bound to
// "actionBack": the record is what that button will undo.
void RootWidget::PushHistory(UiAction* action, PtrArray& placements)
{
    if (!action || action->StepCount() == 0 || action->IsBack())
        return;
    bool recordable = false;
    for (int i = action->StepCount() - 1; i >= 0 && !recordable; --i) {
        UiActionStep* step = action->StepAt(i);
        if (step->kind != kStepCreate)
            continue;
        ScriptWidget* created = FindByName(this, step->target.CStr());
        recordable = created && IsBoundToBack(kActionBack, created);
    }
    if (!recordable)
        return;
    std::unique_ptr<UiAction> undo(new (std::nothrow) UiAction());
    if (!undo)
        return;
    undo->name.Assign(kActionBack);
    int nextPlacement = 0;
    for (int i = 0; i < action->StepCount(); ++i) {
        UiActionStep* step = action->StepAt(i);
        bool create = step->kind == kStepCreate;
        UiActionStep* inverse = undo->AddStep(create ? kStepDestroy : kStepCreate);
        if (!inverse)
            return;
        inverse->target = step->target;
        if (create) {
            inverse->placement = step->placement;
        } else if (auto* recorded = static_cast<ChildPlacement*>(placements.Get(nextPlacement++))) {
            inverse->placement = *recorded;
        }
    }
    if (history_.Add(undo.get()))
        undo.release();
}

void RootWidget::Back()
{
    int count = history_.Count();
    if (count == 0)
        return;
    std::unique_ptr<UiAction> action(GetHistoryAt(count - 1));
    history_.RemoveAt(count - 1);
    RunAction(action.get());
}

RootWidget* FindRootChild(Widget* widget)
{
    if (!widget)
        return nullptr;
    for (int i = 0; i < widget->GetChildCount(); ++i) {
        ScriptWidget* child = AsScriptWidget(widget->GetChild(i));
        if (child && child->IsRoot())
            return static_cast<RootWidget*>(child);
    }
    return nullptr;
}
