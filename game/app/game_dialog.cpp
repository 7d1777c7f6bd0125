#include "game/app/game_dialog.h"

#include <new>

#include "engine/ui/widget_desc.h"
#include "game/app/game_app.h"
#include "game/app/game_widgets.h"

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
    ScriptWidget* widget = nullptr;
    const char* name = desc->name.CStr();
    switch (desc->type) {
    case kDescButton:
        if (SameText(name, "btn_controls_radio1") || SameText(name, "btn_controls_radio2") ||
            SameText(name, "btn_controls_radio3") || SameText(name, "btn_controls_radio4"))
            widget = new (std::nothrow) ControlRadio(this, layout_, desc, placement);
        else
            widget = new (std::nothrow) TextButton(this, layout_, desc, placement);
        break;
    case kDescTiledBg:
        widget = new (std::nothrow) GameTiledBg(this, layout_, desc, placement, bgCenterTilesX_, bgCenterTilesY_);
        break;
    case kDescTuner:
        widget = new (std::nothrow) GameTuner(this, layout_, desc, placement);
        break;
    case kDescCheckBox:
        widget = new (std::nothrow) TickBox(this, layout_, desc, placement);
        break;
    default:
        return DialogWidget::CreateChild(desc, placement);
    }
    return FinishGameChild(this, widget);
}
