#include "game/screens/language_dialog.h"

#include <cstring>

#include "engine/core/format_text.h"
#include "engine/core/pointer_phase.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"

namespace {

constexpr int kGridCells = kLanguageColumns * kLanguageRows;

}  // namespace

GameApp* LanguageDialog::GetGameApp() const
{
    return dynamic_cast<GameApp*>(application_);
}

int LanguageDialog::CurrentLanguage() const
{
    StringTable* table = application_ ? application_->GetLanguageTable() : nullptr;
    return table ? table->GetCurrentLanguage() : -1;
}

bool LanguageDialog::Init()
{
    if (!GameDialog::Init())
        return false;
    StringTable* table = application_ ? application_->GetLanguageTable() : nullptr;
    int count = table ? table->GetLanguageCount() : 0;
    for (int i = 0; i < kLanguageRadios; ++i) {
        String name = FormatText("rad_lang_%d", {i + 1});
        radios_[i] = dynamic_cast<CheckBoxWidget*>(ScriptWidget::FindByName(this, name.CStr()));
        if (!radios_[i])
            return false;
        grid_[i % 2][i / 2] = radios_[i];
        if (i >= count)
            radios_[i]->Hide();
        String label;
        if (table && i < count)
            table->GetLanguageLabel(label, i);
        radios_[i]->SetCaption(label.CStr());
    }
    Widget* ok = dynamic_cast<ButtonWidget*>(ScriptWidget::FindByName(this, "btn_lang_ok"));
    grid_[0][4] = grid_[1][3] = grid_[1][4] = ok;
    choice_ = CurrentLanguage();
    RefreshRadios();
    return true;
}

void LanguageDialog::RefreshRadios()
{
    for (int i = 0; i < kLanguageRadios; ++i)
        if (radios_[i])
            radios_[i]->SetChecked(i == choice_);
}

bool LanguageDialog::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgCommand && name && std::strcmp(name, "btn_lang_ok") == 0) {
        if (choice_ == CurrentLanguage())
            return GameDialog::OnEvent(sender, code, name, param);
        countdown_ = kLanguageDelay;
        return true;
    }
    if (code == kMsgCheckToggled && name) {
        StringTable* table = application_ ? application_->GetLanguageTable() : nullptr;
        int count = table ? table->GetLanguageCount() : 0;
        for (int i = 0; i < kLanguageRadios; ++i) {
            if (!radios_[i] || std::strcmp(name, radios_[i]->GetName()) != 0)
                continue;
            // A radio beyond the table's languages stands for nothing.
            if (i < count)
                choice_ = i;
            RefreshRadios();
            return true;
        }
    }
    return GameDialog::OnEvent(sender, code, name, param);
}

void LanguageDialog::Update()
{
    GameDialog::Update();
    if (countdown_ <= 0)
        return;
    if (--countdown_ != 0 || choice_ == CurrentLanguage())
        return;
    GameApp* app = GetGameApp();
    StringTable* table = app ? app->GetLanguageTable() : nullptr;
    // A language that does not load is not kept: every later start would show no text.
    if (table && table->SelectLanguage(choice_)) {
        if (ProfileStore* profiles = app->GetProfiles())
            profiles->language = choice_;
    }
    if (GameScreen* menu = app ? app->GetStartMenu() : nullptr)
        menu->SendEvent(app, kEventStartMenu, nullptr, 0, true);
}

bool LanguageDialog::IsUsable(Widget* cell) const
{
    if (!cell)
        return false;
    for (CheckBoxWidget* radio : radios_)
        if (radio == cell)
            return radio->IsVisible() && !radio->GetCaption().IsEmpty();
    return true;
}

void LanguageDialog::Step(int key)
{
    switch (key) {
    case kKeyUp: row_ = row_ == 0 ? kLanguageRows - 1 : row_ - 1; break;
    case kKeyDown: row_ = row_ == kLanguageRows - 1 ? 0 : row_ + 1; break;
    case kKeyLeft:
        if (column_ == 0) {
            column_ = 1;
            row_ = row_ == 0 ? kLanguageRows - 1 : row_ - 1;
        } else {
            column_ = 0;
        }
        break;
    case kKeyRight:
        if (column_ == 1) {
            column_ = 0;
            row_ = row_ == kLanguageRows - 1 ? 0 : row_ + 1;
        } else {
            column_ = 1;
        }
        break;
    }
}

bool LanguageDialog::OnKey(int key, bool down)
{
    if (countdown_ >= 0)
        return true;
    if (!down || !IsDirectionKey(key))
        return GameDialog::OnKey(key, down);
    Widget* focus = GetFocusChild();
    // At most one pass over the cells: a grid of nothing usable leaves the cursor where it ends.
    for (int moves = 0; moves < kGridCells; ++moves) {
        Step(key);
        Widget* cell = grid_[column_][row_];
        if (cell != focus && IsUsable(cell))
            break;
    }
    Widget* cell = grid_[column_][row_];
    if (IsUsable(cell))
        focusChild_ = cell;
    return true;
}

bool LanguageDialog::OnPointer(int x, int y, int kind)
{
    if (countdown_ >= 0)
        return true;
    bool result = GameDialog::OnPointer(x, y, kind);
    if (kind != kPointerDown)
        return result;
    Widget* focus = GetFocusChild();
    for (int column = 0; focus && column < kLanguageColumns; ++column) {
        for (int row = 0; row < kLanguageRows; ++row) {
            if (grid_[column][row] == focus) {
                column_ = column;
                row_ = row;
                return result;
            }
        }
    }
    return result;
}
