#pragma once
// "dlg_lang": one radio per language of the language table (at most 7) and OK. A new choice is
// applied five updates after OK, which take no input: the language is loaded, kept when it loaded,
// and the start menu is built again in it. The keypad walks a 2 x 5 grid of the radios and OK.
#include <cstdint>

#include "game/app/game_dialog.h"

class CheckBoxWidget;
class GameApp;

constexpr int kLanguageRadios = 7;
constexpr int kLanguageColumns = 2;
constexpr int kLanguageRows = 5;
// Updates between OK and the change of language.
constexpr int kLanguageDelay = 5;

class LanguageDialog : public GameDialog {
public:
    using GameDialog::GameDialog;

    void Update() override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool Init() override;

    // Checks exactly the radio of the choice.
    void RefreshRadios();

    int GetChoice() const { return choice_; }
    int GetCountdown() const { return countdown_; }
    int GetCursorColumn() const { return column_; }
    int GetCursorRow() const { return row_; }
    Widget* GetCell(int column, int row) const { return grid_[column][row]; }

private:
    GameApp* GetGameApp() const;
    int CurrentLanguage() const;
    // One step of the cursor in the key's direction, wrapping as the grid does.
    void Step(int key);
    // Whether a cell may take the focus: a cell of a hidden or missing radio is passed over.
    bool IsUsable(Widget* cell) const;

    int32_t choice_ = -1;
    Widget* grid_[kLanguageColumns][kLanguageRows] = {};
    CheckBoxWidget* radios_[kLanguageRadios] = {};
    int32_t column_ = 0;
    int32_t row_ = 0;
    int32_t countdown_ = -1;
};
