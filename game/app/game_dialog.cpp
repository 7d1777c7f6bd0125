#include "game/app/game_dialog.h"

#include <new>

#include "engine/ui/widget_desc.h"
#include "game/app/game_app.h"
#include "game/app/game_widgets.h"
#include "game/screens/typewriter_label.h"

ScriptWidget* FinishGameChild(DialogWidget* parent, ScriptWidget* widget)
{
    if (!widget)
        return nullptr;
    widget->SetApplication(parent->GetApplication());
    if (!widget->Init()) {
        parent->RemoveChild(widget);
        delete widget;
        return nullptr;
    }
    return widget;
}

bool IsGameLeafType(int type)
{
    return type == kDescButton || type == kDescTiledBg || type == kDescTuner || type == kDescCheckBox;
}

ScriptWidget* NewGameLeaf(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement,
                          int tilesX, int tilesY)
{
    switch (desc->type) {
    case kDescButton:
        return new (std::nothrow) TextButton(parent, layout, desc, placement);
    case kDescTiledBg:
        return new (std::nothrow) GameTiledBg(parent, layout, desc, placement, tilesX, tilesY);
    case kDescTuner:
        return new (std::nothrow) GameTuner(parent, layout, desc, placement);
    case kDescCheckBox:
        return new (std::nothrow) TickBox(parent, layout, desc, placement);
    }
    return nullptr;
}

void GameDialog::Draw()
{
    int level = GetEffectiveAlpha() >> 8;
    if (background_) {
        if (background_->IsVisible())
            background_->Draw();
    } else {
        DrawBackgroundColor();
    }
    // The panel shows first; the content joins from half opacity on.
    if (background_ && level <= 128)
        return;
    DrawChildrenExcept(background_);
}

bool GameDialog::Init()
{
    if (!DialogWidget::Init())
        return false;
    const char* name = GetName();
    if (SameText(name, "dlg_options") || SameText(name, "dlg_pause")) {
        if (auto* app = dynamic_cast<GameApp*>(application_))
            app->FillSoundWidgets(this);
    }
    return true;
}

ScriptWidget* GameDialog::CreateChild(WidgetDesc* desc, const ChildPlacement* placement)
{
    if (!desc)
        return nullptr;
    const char* name = desc->name.CStr();
    // The temple's phrases are typed out; only a dialog makes them so.
    if (desc->type == kDescTextMulti && IsTypewriterName(name))
        return FinishGameChild(this, new (std::nothrow) TypewriterLabel(this, layout_, desc, placement));
    if (!IsGameLeafType(desc->type))
        return DialogWidget::CreateChild(desc, placement);
    bool radio = desc->type == kDescButton &&
                 (SameText(name, "btn_controls_radio1") || SameText(name, "btn_controls_radio2") ||
                  SameText(name, "btn_controls_radio3") || SameText(name, "btn_controls_radio4"));
    ScriptWidget* widget = radio ? new (std::nothrow) ControlRadio(this, layout_, desc, placement)
                                 : NewGameLeaf(this, layout_, desc, placement, bgCenterTilesX_, bgCenterTilesY_);
    return FinishGameChild(this, widget);
}
