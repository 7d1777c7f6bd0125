#pragma once
// The base of the game's pop-up panels: its factory makes the game's widgets, it shows its panel
// before its content while it fades in, and it fills the sound controls it carries.
#include "engine/ui/dialog_widget.h"

class UiLayout;

class GameDialog : public DialogWidget {
public:
    using DialogWidget::DialogWidget;

    void Draw() override;
    bool Init() override;
    ScriptWidget* CreateChild(WidgetDesc* desc, const ChildPlacement* placement) override;

    // A typed character; only the name entry takes them.
    virtual bool OnChar(int /*character*/) { return false; }
};

// Buttons, tiled backgrounds, tuners and check boxes are the game's own classes.
bool IsGameLeafType(int type);
// The game's class for a button (TextButton), tiled background, tuner or check box description,
// not yet initialised; null for any other type.
ScriptWidget* NewGameLeaf(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement,
                          int tilesX, int tilesY);

// Gives a widget made by a game factory its parent's application and runs its Init; a widget
// whose Init fails is detached and deleted (null).
ScriptWidget* FinishGameChild(DialogWidget* parent, ScriptWidget* widget);
