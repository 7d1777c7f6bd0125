#pragma once
// "dlg_players": up to 8 players on 8 row buttons, the current one between two ticks. A tap on a
// player's row makes it current, the first free row adds a player and opens the name entry for
// it, and rename opens the name entry for the current player. Deleting is the start menu's.
#include "game/app/game_dialog.h"

class ButtonWidget;
class GameApp;
class ResourceEntry;

constexpr int kPlayerRows = 8;

class PlayersDialog : public GameDialog {
public:
    using GameDialog::GameDialog;

    void Draw() override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool Init() override;

    // Fills the rows from the players, shows the add row and the delete button as they apply,
    // and gives the focus to row 0.
    void Refresh();
    // 0..7, or -1 when the focus is not on a row.
    int GetFocusedRow();
    ButtonWidget* GetRow(int i) const { return i >= 0 && i < kPlayerRows ? rows_[i] : nullptr; }

private:
    GameApp* GetGameApp() const;
    // Runs the action that opens the name entry on the start menu, when there is one.
    void OpenNameEntry();
    // The width a name may take on its row: between the ticks at both ends, half a tick clear of
    // each, so that a long name is cut rather than drawn under them.
    int NameRoom(ButtonWidget* row) const;

    ButtonWidget* rows_[kPlayerRows] = {};
    ResourceEntry* tick_ = nullptr;
};

// "dlg_remove_user": asks before the current player is deleted, naming that player.
class RemovePlayerDialog : public GameDialog {
public:
    using GameDialog::GameDialog;

    bool Init() override;
};
