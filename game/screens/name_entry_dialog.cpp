#include "game/screens/name_entry_dialog.h"

#include <cstring>
#include <string>

#include "engine/graphics/fill_lines.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/game_keys.h"
#include "game/app/profile_store.h"
#include "platform/keys.h"

namespace {

constexpr int kMaxNameLength = 23;
constexpr int kMaxNameWidth = 101;

// Where up (key 3) and down (key 4) lead from each letter A..Z: a letter, '^' for OK (space
// while OK is hidden), '_' for space and '<' for backspace. They follow the QWERTY rows.
constexpr char kUpFrom[] = "QHFE^RTY^UIOKJ^^^^W^^G^D^S";
constexpr char kDownFrom[] = "Z<_XDCVBKNMM<<LLAFZGJ_S_H_";

template <typename T>
T* FindAs(Widget* root, const char* name)
{
    return dynamic_cast<T*>(ScriptWidget::FindByName(root, name));
}

}  // namespace

bool NameEntryDialog::Init()
{
    if (!GameDialog::Init())
        return false;
    char keyName[] = "btnA";
    for (int i = 0; i < 26; ++i) {
        keyName[3] = static_cast<char>('A' + i);
        keys_[i] = FindAs<ButtonWidget>(this, keyName);
        if (!keys_[i])
            return false;
    }
    space_ = FindAs<ButtonWidget>(this, "btnSpace");
    keys_[26] = space_;
    nameField_ = FindAs<TextWidget>(this, "txtName");
    shiftKey_ = FindAs<ButtonWidget>(this, "btnShift");
    backspace_ = FindAs<ButtonWidget>(this, "btnBksp");
    ok_ = FindAs<ButtonWidget>(this, "btnPlayerOK");
    if (!space_ || !nameField_ || !shiftKey_ || !backspace_ || !ok_)
        return false;
    shiftKey_->Hide();
    String name;
    if (auto* app = dynamic_cast<GameApp*>(application_)) {
        if (ProfileStore* profiles = app->GetProfiles())
            profiles->GetPlayerName(profiles->GetCurrentIndex(), name);
    }
    nameField_->SetText(name.CStr());
    Refresh();
    SetShift(true);
    return true;
}

const char* NameEntryDialog::NameText() const
{
    const char* text = nameField_ ? nameField_->GetText().CStr() : nullptr;
    return text ? text : "";
}

String NameEntryDialog::GetName() const
{
    return String(NameText());
}

bool NameEntryDialog::IsNameInUse() const
{
    auto* app = dynamic_cast<GameApp*>(application_);
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (!nameField_ || !profiles)
        return false;
    const char* typed = NameText();
    for (int i = 0; i < profiles->GetPlayerCount(); ++i) {
        if (i == profiles->GetCurrentIndex())
            continue;
        String other;
        profiles->GetPlayerName(i, other);
        if (std::strcmp(other.CStr() ? other.CStr() : "", typed) == 0)
            return true;
    }
    return false;
}

void NameEntryDialog::SetShift(bool on)
{
    if (on == shift_)
        return;
    shift_ = on;
    char caption[2] = {0, 0};
    for (int i = 0; i < 26; ++i) {
        caption[0] = static_cast<char>((on ? 'A' : 'a') + i);
        if (keys_[i])
            keys_[i]->SetCaption(caption);
    }
}

bool NameEntryDialog::CanAppend(const char* candidate) const
{
    if (std::strlen(candidate) > kMaxNameLength)
        return false;
    auto* app = dynamic_cast<GameApp*>(application_);
    Font* font = app ? app->GetSmallFont() : nullptr;
    return !font || font->MeasureText(candidate) < kMaxNameWidth;
}

void NameEntryDialog::Refresh()
{
    if (!nameField_)
        return;
    nameField_->Relayout();
    if (!ok_)
        return;
    if (*NameText())
        ok_->Show();
    else
        ok_->Hide();
}

void NameEntryDialog::Append(char c)
{
    if (!nameField_)
        return;
    size_t length = std::strlen(NameText());
    if (length >= kMaxNameLength)
        return;
    char candidate[kMaxNameLength + 2];
    std::memcpy(candidate, NameText(), length);
    candidate[length] = c;
    candidate[length + 1] = 0;
    if (!CanAppend(candidate))
        return;
    nameField_->SetText(candidate);
    Refresh();
}

bool NameEntryDialog::OnChar(int character)
{
    if (character == '\r')
        return ConfirmTyped(), true;
    if (character == ' ')
        return OnEvent(this, kMsgCommand, "btnSpace", 0), true;
    if (character == 8 || character == 800)
        return OnEvent(this, kMsgCommand, "btnBksp", 0), true;
    OnEvent(this, kMsgTypedCharacter, nullptr, character);
    return true;
}

bool NameEntryDialog::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgTypedCharacter) {
        if ((param >= 'A' && param <= 'Z') || (param >= '0' && param <= '9'))
            Append(static_cast<char>(param));
        else if (param >= 'a' && param <= 'z')
            Append(static_cast<char>(param - 'a' + 'A'));
        return true;
    }
    if (code != kMsgCommand || !name)
        return GameDialog::OnEvent(sender, code, name, param);
    if (SameText(name, "btnShift")) {
        SetShift(!shift_);
        return true;
    }
    for (int i = 0; i < 26; ++i) {
        if (keys_[i] && std::strcmp(name, keys_[i]->GetName()) == 0) {
            Append(static_cast<char>('A' + i));
            return true;
        }
    }
    if (std::strcmp(name, "btnSpace") == 0) {
        Append(' ');
        return true;
    }
    if (std::strcmp(name, "btnBksp") == 0) {
        std::string shorter(NameText());
        if (!shorter.empty() && nameField_) {
            shorter.pop_back();
            nameField_->SetText(shorter.c_str());
            Refresh();
        }
        return true;
    }
    return GameDialog::OnEvent(sender, code, name, param);
}

int NameEntryDialog::GetFocusedLetter()
{
    Widget* focus = GetFocusChild();
    if (!focus)
        return -1;
    for (int i = 25; i >= 0; --i)
        if (keys_[i] == focus)
            return 'A' + i;
    return -1;
}

// Only a keyboard sends Return as a character, so the keypad's action key still types the focused
// letter; the key press that came with the character is let go without typing.
void NameEntryDialog::ConfirmTyped()
{
    if (!ok_ || !ok_->IsVisible() || ok_->IsInputBlocked() || (parent_ && parent_->FindModalChild() != this))
        return;
    if (Widget* focus = GetFocusChild())
        focus->CancelPress();
    OnEvent(ok_, kMsgCommand, ok_->GetName(), 0);
}

ButtonWidget* NameEntryDialog::OkOrSpace() const
{
    return ok_ && ok_->IsVisible() ? ok_ : space_;
}

bool NameEntryDialog::OnKey(int key, bool down)
{
    // A typed space already added its blank; as the action key it would also press the focused key.
    if (key == kKeyAction && application_ && application_->GetLastKey() == VK_SPACE)
        return true;
    if (key != kKeyUp && key != kKeyDown)
        return GameDialog::OnKey(key, down);
    if (!down)
        return true;
    Widget* focus = GetFocusChild();
    Widget* target = nullptr;
    int letter = GetFocusedLetter();
    if (letter >= 'A') {
        char to = (key == kKeyUp ? kUpFrom : kDownFrom)[letter - 'A'];
        if (to == '^')
            target = OkOrSpace();
        else if (to == '_')
            target = space_;
        else if (to == '<')
            target = backspace_;
        else
            target = keys_[to - 'A'];
    } else if (key == kKeyDown) {
        if (focus && (focus == space_ || focus == backspace_) && ok_ && ok_->IsVisible())
            target = ok_;
    } else if (focus && focus == space_) {
        target = keys_['Z' - 'A'];
    } else if (focus && focus == backspace_) {
        target = keys_['M' - 'A'];
    } else if (focus && focus == ok_) {
        target = space_;
    }
    if (!target)
        return GameDialog::OnKey(key, true);
    focusChild_ = target;
    return true;
}

void NameEntryDialog::Update()
{
    GameDialog::Update();
    ++frames_;
}

bool NameEntryDialog::IsCaretShown() const
{
    return (frames_ & 16) != 0 && nameField_ && (GetEffectiveAlpha() >> 8) > 254;
}

void NameEntryDialog::Draw()
{
    GameDialog::Draw();
    Surface* screen = GetScreen();
    if (!IsCaretShown() || !screen)
        return;
    Rect field;
    nameField_->GetLayoutRect(field);
    int left = field.x + field.w + 2;
    int top = field.y + (field.h >> 1) - 11;
    FillRectRotatedBlend(application_, screen, left, top, 6, 22, 0, 0, 0, 255);
    FillRectRotatedBlend(application_, screen, left + 2, top + 2, 2, 18, 255, 96, 0, 255);
}
