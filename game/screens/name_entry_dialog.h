#pragma once
// "dlg_EditPlayer": the current player's name typed on an on-screen keyboard of 26 letters with
// space, backspace and OK, walked with the up and down keys, or on a real keyboard. It only edits
// the text of "txtName"; the start menu checks the name on OK and stores it.
#include <cstdint>

#include "game/app/game_dialog.h"
#include "game/app/game_events.h"

class ButtonWidget;
class TextWidget;

class NameEntryDialog : public GameDialog {
public:
    using GameDialog::GameDialog;

    void Update() override;
    void Draw() override;
    bool OnKey(int key, bool down) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool Init() override;
    bool OnChar(int character) override;

    String GetName() const;
    // Whether another player than the current one has exactly this name.
    bool IsNameInUse() const;
    void SetShift(bool on);
    // Fewer than 24 characters and narrower than 101 pixels in the small font.
    bool CanAppend(const char* candidate) const;
    // Lays the name out again and shows OK only for a name that is not empty.
    void Refresh();
    // 'A'..'Z' for a focused letter key, else -1.
    int GetFocusedLetter();

    bool IsShifted() const { return shift_; }
    int32_t GetFrameCounter() const { return frames_; }
    // Whether the caret is drawn this frame: shown 16 updates, hidden 16, only when fully faded in.
    bool IsCaretShown() const;

private:
    static constexpr int kKeyCount = 27;  // the letters A..Z, then space
    // The candidate when it fits; true in any case.
    void Append(char c);
    const char* NameText() const;
    // Return typed on a keyboard: OK, while it shows and nothing stands over the entry.
    void ConfirmTyped();
    // The key a move lands on above the top row: OK while it shows, else space.
    ButtonWidget* OkOrSpace() const;

    ButtonWidget* keys_[kKeyCount] = {};
    ButtonWidget* space_ = nullptr;
    ButtonWidget* shiftKey_ = nullptr;
    ButtonWidget* backspace_ = nullptr;
    ButtonWidget* ok_ = nullptr;
    TextWidget* nameField_ = nullptr;
    bool shift_ = false;
    int32_t frames_ = 0;
};
