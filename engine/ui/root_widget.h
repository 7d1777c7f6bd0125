#pragma once
// The top widget of a screen built from the layout script: it loads and owns a document, builds
// its tree from one root description, places the background by the root's own alignment, and
// keeps the undo history that "actionBack" bindings run.
#include "engine/core/arrays.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"
#include "engine/ui/dialog_widget.h"

class RootWidget : public DialogWidget {
public:
    explicit RootWidget(Widget* parent);
    ~RootWidget() override;

    void Update() override;
    bool Init() override;
    bool IsRoot() override { return true; }
    void PushHistory(UiAction* action, PtrArray& placements) override;
    void Back() override;
    // Loads fileName from the UI folder unless it is the file held, and builds the root named
    // rootName, or the file's first root when rootName is null.
    virtual bool LoadLayout(const char* fileName, const char* rootName);
    // Why the screen could not be built: its layout or the first file of its own that failed;
    // ok while nothing has.
    const LoadResult& GetLoadResult() const { return loadResult_; }
    // Keeps why for the screen's failure message, unless an earlier failure is kept.
    void KeepLoadFailure(const LoadResult& why);
    // A widget the screen cannot be without: one its layout lacks is the layout's damage.
    ScriptWidget* RequireWidget(const char* name);
    // What the layout file (as its pack names it) lacks that the screen asked for by name.
    void LayoutLacks(const char* file, const char* name);

    void ClearHistory();
    bool AlignBackground();
    int GetHistoryCount() const { return history_.Count(); }
    UiAction* GetHistoryAt(int index) const { return static_cast<UiAction*>(history_.Get(index)); }
    const String& GetFileName() const { return fileName_; }

protected:
    // Kept for the screen's failure message; a screen already made may say it too.
    virtual void OnLayoutLack(const LoadResult& why) { KeepLoadFailure(why); }

    PtrArray history_{1};
    String fileName_;
    LoadResult loadResult_;
};

// The first child of the widget that is a screen root, or null.
RootWidget* FindRootChild(Widget* widget);
