#pragma once
// The script container: builds its children from its description's placements through a
// factory that subclasses replace, keeps one child as its background, moves the focus among its
// children, routes keys and taps by its modal rule, turns bound commands into layout actions and
// removes children that have finished closing.
#include "engine/core/arrays.h"
#include "engine/ui/desc_index.h"
#include "engine/ui/script_widget.h"
#include "engine/ui/ui_action.h"

// The placement CreateChildFromFile gives a widget: no name, the position and alignments, and
// each fade only when its flag is set.
ChildPlacement MakeFilePlacement(int x, int y, int alignX, int alignY, int alignXInParent, int alignYInParent,
                                 bool fadeIn, Fixed inDelay, Fixed inDuration, bool fadeOut, Fixed outTime,
                                 Fixed outDuration);

class DialogWidget : public ScriptWidget {
public:
    DialogWidget(Widget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement);
    ~DialogWidget() override;

    void Update() override;
    void Draw() override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    void RemoveChildAt(int index) override;
    bool HitTest(int x, int y) override;
    bool FocusNext(int key) override;
    bool FocusPrev(int key) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool Init() override;
    bool IsFocusable() override { return true; }
    bool IsDialog() override { return true; }
    void MoveBy(int dx, int dy) override;
    Size& GetPreferredSize(Size& out) override;
    void DeleteChildren() override;
    ScriptWidget* GetBackgroundWidget() override { return background_; }

    // The widget factory; subclasses make their own classes and hand every other case here.
    virtual ScriptWidget* CreateChild(WidgetDesc* desc, const ChildPlacement* placement);
    virtual ScriptWidget* CreateChildFromFile(const char* fileName, const char* descName, int x, int y, int alignX,
                                              int alignY, int alignXInParent, int alignYInParent, bool fadeIn,
                                              Fixed inDelay, Fixed inDuration, bool fadeOut, Fixed outTime,
                                              Fixed outDuration);
    virtual bool RunActionFromFile(const char* fileName, const char* actionName);
    // Records the undo of an action just run; nothing here. placements holds ChildPlacement
    // copies, one per destroy step in step order.
    virtual void PushHistory(UiAction* action, PtrArray& placements);
    virtual void Back() {}
    virtual bool CreateChildren();

    bool RunAction(UiAction* action);
    ScriptWidget* CreateChildPlaced(WidgetDesc* desc, const ChildPlacement* placement);
    void RunCreateStep(UiActionStep* step);
    void RunDestroyStep(UiActionStep* step);
    // Children from last to first; a child that finished closing is removed, deleted and
    // reported with 606 and its name.
    void UpdateChildren();
    void DrawBackgroundColor();
    // The background colour and every visible child but skip, while the dialog is visible.
    void DrawChildrenExcept(Widget* skip);
    ScriptWidget* FindChildDialog();
    ScriptWidget* FindShoulderButton(int side);
    // Detaches the first widget of the name under the dialog without deleting it.
    void RemoveChildByName(const char* name);
    // Whether a binding of this dialog's description leads to actionName from a command that
    // names a widget found under widget.
    bool IsBoundToBack(const char* actionName, Widget* widget);

    int GetHitMode() const { return hitMode_; }
    bool HasColour() const { return hasColour_; }

protected:
    DialogDesc* GetDialogDesc() const;
    // FocusNext (direction 1) and FocusPrev (-1).
    bool MoveFocus(int key, int direction);
    // FocusNext step 4 and its mirror: true when a focusable visible child got the focus.
    bool StepFocusFrom(int direction);
    bool IsFocusCandidate(Widget* child);
    bool IsBuildable(const WidgetDesc* childDesc);
    // What one build shares with every dialog it nests: the placements visited so far and the
    // document's names, indexed on the first lookup.
    struct BuildState {
        int entries = 0;
        bool indexed = false;
        DescIndex names;
    };
    // The build that a dialog above has in progress, or null.
    BuildState* FindBuildInProgress();
    static constexpr int kMaxDialogDepth = 32;
    // A layout that places dialogs inside dialogs many times over would otherwise make a number
    // of widgets, or of placements visited, exponential in its nesting from a few lines of script.
    static constexpr int kMaxBuildEntries = 4096;

    int8_t hitMode_ = 0;
    uint8_t bgCenterTilesX_ = 1, bgCenterTilesY_ = 1;
    int8_t sizeMethod_ = 0;
    ScriptWidget* background_ = nullptr;
    // While CreateChildren runs: the build it belongs to, shared by every dialog that build nests.
    BuildState* build_ = nullptr;
    bool hasColour_ = false;
    uint8_t red_ = 0, green_ = 0, blue_ = 0;
    // The walks over the children in progress, innermost first: removals are struck from their
    // lists, and the destructor tells them to stop.
    struct ChildWalk {
        Widget** children;
        int count;
        bool alive;
        ChildWalk* outer;
    };
    ChildWalk* walk_ = nullptr;
};
