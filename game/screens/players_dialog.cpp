#include "game/screens/players_dialog.h"

#include <cstring>

#include "engine/graphics/fill_lines.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/name_fit.h"
#include "game/app/profile_store.h"

namespace {

// How much a focused row is brightened, per channel.
constexpr int kRowLight = 64;

}  // namespace

GameApp* PlayersDialog::GetGameApp() const
{
    return dynamic_cast<GameApp*>(application_);
}

bool PlayersDialog::Init()
{
    if (!GameDialog::Init())
        return false;
    char rowName[] = "btn_user_0";
    for (int i = 0; i < kPlayerRows; ++i) {
        rowName[9] = static_cast<char>('0' + i);
        rows_[i] = dynamic_cast<ButtonWidget*>(ScriptWidget::FindByName(this, rowName));
        if (!rows_[i])
            return false;
    }
    GameApp* app = GetGameApp();
    ResourceList* sprites = app ? app->GetSpriteList() : nullptr;
    tick_ = sprites ? sprites->FindByName("tick") : nullptr;
    if (!tick_)
        return false;
    Refresh();
    return true;
}

int PlayersDialog::NameRoom(ButtonWidget* row) const
{
    Size size;
    row->GetPreferredSize(size);
    Surface* tick = tick_ && tick_->GetFrameCount() > 0 ? tick_->GetFrame(0) : nullptr;
    const int w = tick ? tick->GetWidth() : 0;
    return size.w - 3 * w - w / 2;
}

void PlayersDialog::Refresh()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    int count = profiles ? profiles->GetPlayerCount() : 0;
    for (int i = 0; i < kPlayerRows; ++i) {
        ButtonWidget* row = rows_[i];
        if (!row)
            continue;
        if (i < count) {
            String name;
            profiles->GetPlayerName(i, name);
            row->SetCaption(name.IsEmpty() ? " " : FitName("%s", name.CStr(), row->GetLook().font, NameRoom(row)).CStr());
            row->Show();
        } else if (i == count) {
            // The first free row adds a player: its caption is the layout's own.
            auto* desc = dynamic_cast<ButtonDesc*>(row->GetDesc());
            String caption = desc ? desc->text.caption : String();
            row->GetCaptionText(caption);
            row->SetCaption(caption.CStr());
            row->Show();
        } else {
            row->Hide();
        }
    }
    if (auto* remove = ScriptWidget::FindByName(this, "btn_players_delete")) {
        if (count < 2)
            remove->Hide();
        else
            remove->Show();
    }
    focusChild_ = rows_[0];
}

int PlayersDialog::GetFocusedRow()
{
    Widget* focus = GetFocusChild();
    for (int i = 0; focus && i < kPlayerRows; ++i)
        if (rows_[i] == focus)
            return i;
    return -1;
}

void PlayersDialog::OpenNameEntry()
{
    GameApp* app = GetGameApp();
    if (GameScreen* menu = app ? app->GetStartMenu() : nullptr)
        menu->RunActionFromFile("keloui.txt", "acn_players_2_edit");
}

bool PlayersDialog::OnEvent(Widget* sender, int code, const char* name, int param)
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (code == kMsgCommand && name && profiles) {
        int count = profiles->GetPlayerCount();
        for (int i = 0; i < count && i < kPlayerRows; ++i) {
            if (rows_[i] && std::strcmp(name, rows_[i]->GetName()) == 0) {
                profiles->SetCurrentIndex(i);
                return true;
            }
        }
        if (count < kPlayerRows && rows_[count] && std::strcmp(name, rows_[count]->GetName()) == 0) {
            int index = app->AddPlayer();
            if (index >= 0) {
                profiles->SetCurrentIndex(index);
                OpenNameEntry();
                return true;
            }
        }
        if (std::strcmp(name, "btn_players_rename") == 0) {
            int current = profiles->GetCurrentIndex();
            if (current >= 0 && current < profiles->GetPlayerCount())
                OpenNameEntry();
            return true;
        }
    }
    return GameDialog::OnEvent(sender, code, name, param);
}

void PlayersDialog::Draw()
{
    GameDialog::Draw();
    Surface* screen = GetScreen();
    if (!screen)
        return;
    Rect rect;
    int focused = GetFocusedRow();
    if (focused >= 0) {
        rows_[focused]->GetLayoutRect(rect);
        FillRectRotatedAdditive(application_, screen, rect.x, rect.y, rect.w, rect.h, kRowLight, kRowLight,
                                kRowLight);
    }
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    int current = profiles ? profiles->GetCurrentIndex() : -1;
    Surface* tick = tick_ && tick_->GetFrameCount() > 0 ? tick_->GetFrame(0) : nullptr;
    if (current < 0 || current >= kPlayerRows || !rows_[current] || !tick)
        return;
    rows_[current]->GetLayoutRect(rect);
    int w = tick->GetWidth(), h = tick->GetHeight();
    int y = rect.y + rect.h / 2 - h / 2;
    tick->Draw(screen, rect.x + w / 2, y, w, h, 0, 0);
    tick->Draw(screen, rect.x + rect.w - w - w / 2, y, w, h, 0, 0);
}

bool RemovePlayerDialog::Init()
{
    if (!GameDialog::Init())
        return false;
    auto* label = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(this, "txt_remove_name"));
    if (!label)
        return false;
    String name;
    if (auto* app = dynamic_cast<GameApp*>(application_)) {
        if (ProfileStore* profiles = app->GetProfiles())
            profiles->GetPlayerName(profiles->GetCurrentIndex(), name);
    }
    // Laid out with the dialog, which aligns its children after this. A label the layout gives a
    // width keeps to one line of it.
    if (auto* block = dynamic_cast<TextMultiWidget*>(label)) {
        label->SetText(FitNameOnOneLine("%s", name.CStr(), block).CStr());
        block->Rewrap();
    } else {
        label->SetText(name.CStr());
    }
    return true;
}
