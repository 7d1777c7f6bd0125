#include "game/screens/graphics_dialog.h"

#include <algorithm>
#include <cstring>

#include "engine/core/format_text.h"
#include "engine/core/options_record.h"
#include "engine/graphics/surface_turn.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/tuner_widget.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"

namespace {

const char* const kRadioNames[3] = {"rad_orient_auto", "rad_orient_lefthand", "rad_orient_righthand"};

}  // namespace

GameApp* GraphicsDialog::GetGameApp() const
{
    return dynamic_cast<GameApp*>(application_);
}

void GraphicsDialog::SetQualityLabel(int quality)
{
    GameApp* app = GetGameApp();
    StringTable* table = app ? app->GetLanguageTable() : nullptr;
    if (!qualityLabel_)
        return;
    String base;
    qualityLabel_->GetCaptionText(base);
    if (base.IsEmpty()) {
        const TextSpec* spec = GetTextSpec(qualityLabel_->GetDesc());
        if (spec)
            base = spec->caption;
    }
    String qualityName;
    if (table)
        table->LookupOffset(qualityName, "STR_QUALITY_1", quality);
    String text = FormatText(base.CStr() ? base.CStr() : "", {qualityName});
    qualityLabel_->SetText(text.CStr());
    qualityLabel_->Relayout();
}

void GraphicsDialog::CheckRadio(int index)
{
    for (int i = 0; i < 3; ++i)
        if (radios_[i])
            radios_[i]->SetChecked(i == index);
}

bool GraphicsDialog::Init()
{
    if (!GameDialog::Init())
        return false;
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    int quality = profiles ? profiles->graphicsQuality : 0;
    if (quality != 1 && quality != 2)
        quality = 0;
    qualityLabel_ = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(this, "txt_graphics_quality"));
    if (qualityLabel_)
        SetQualityLabel(quality);
    if (auto* tuner = dynamic_cast<TunerWidget*>(ScriptWidget::FindByName(this, "tuner_graphics_quality")))
        tuner->SetValue(quality);
    int rotation = profiles ? profiles->rotation : -2;
    int checked = rotation == 2 ? 1 : rotation == 1 ? 2 : 0;
    for (int i = 0; i < 3; ++i)
        radios_[i] = dynamic_cast<CheckBoxWidget*>(ScriptWidget::FindByName(this, kRadioNames[i]));
    CheckRadio(checked);
    // An unturned screen is never turned from here: the choice is not offered.
    if (application_ && application_->GetRotation() == 0) {
        for (CheckBoxWidget* radio : radios_)
            if (radio)
                radio->Hide();
        if (ScriptWidget* caption = ScriptWidget::FindByName(this, "txt_screen_orient"))
            caption->Hide();
        FoldAwayHands();
    }
    return true;
}

// Without the hands the dialog holds the quality alone: the panel loses whole middle tiles where
// the hands stood, all but one kept as room above OK, and OK moves up with its bottom edge.
void GraphicsDialog::FoldAwayHands()
{
    ScriptWidget* caption = ScriptWidget::FindByName(this, "txt_screen_orient");
    ScriptWidget* ok = ScriptWidget::FindByName(this, "btn_graphics_ok");
    auto* panel = dynamic_cast<TiledBgWidget*>(GetBackgroundWidget());
    const int tile = panel ? panel->GetCenterTileHeight() : 0;
    if (!caption || !ok || tile <= 0)
        return;
    Rect top, bottom;
    caption->GetLayoutRect(top);
    ok->GetLayoutRect(bottom);
    const int tiles = std::min((bottom.y - top.y) / tile - 1, panel->GetTilesY() - 1);
    if (tiles <= 0)
        return;
    panel->SetTilesY(panel->GetTilesY() - tiles);
    ok->MoveBy(0, -tiles * tile);
    height_ -= tiles * tile;
}

bool GraphicsDialog::OnEvent(Widget* sender, int code, const char* name, int param)
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (!name || !profiles)
        return GameDialog::OnEvent(sender, code, name, param);
    if (code == kMsgCommand && std::strcmp(name, "btn_graphics_ok") == 0) {
        int setting = profiles->rotation;
        int inUse = app->GetRotation();
        if ((setting == 2 || setting == 1) && inUse != 0 && inUse != setting)
            SwitchScreenRotation(app, setting);
        return GameDialog::OnEvent(sender, code, name, param);
    }
    if (code == kMsgTunerChanged && std::strcmp(name, "tuner_graphics_quality") == 0) {
        int quality = std::clamp(param, kLowestQuality, kHighestQuality);
        profiles->graphicsQuality = quality;
        SetQualityLabel(quality);
        return true;
    }
    if (code == kMsgCheckToggled) {
        for (int i = 0; i < 3; ++i) {
            if (std::strcmp(name, kRadioNames[i]) == 0) {
                profiles->rotation = kRadioRotation[i];
                CheckRadio(i);
                return true;
            }
        }
    }
    return GameDialog::OnEvent(sender, code, name, param);
}
