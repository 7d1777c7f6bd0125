#include "game/help/help_screen.h"

#include <new>

#include "engine/graphics/resource_entry.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/app/profile_store.h"
#include "game/help/help_scripts.h"

namespace {

bool Named(const char* name, const char* expected)
{
    return name && SameText(name, expected);
}

// Every device this game runs on has a touch screen; the keypad wording is never needed.
bool HasTouchScreen()
{
    return true;
}

}  // namespace

HelpScreen::HelpScreen(GameApp* app) : GameScreen(app) {}

HelpScreen::~HelpScreen()
{
    for (HelpScene*& scene : scenes_)
        DeleteAndNull(scene);
    if (GameApp* app = GetGameApp())
        app->ReleaseSprite(tapSet_);
    tapImage_ = nullptr;
}

int HelpScreen::OkEvent() const
{
    return kEventStartMenu;
}

int HelpScreenInGame::OkEvent() const
{
    return kEventPlayLevel;
}

bool HelpScreen::Create()
{
    if (!LoadLayout("keloui.txt", "root_help"))
        return false;
    GameApp* app = GetGameApp();
    if (!app || !app->AcquireSprite(tapSet_, "Tap"))
        return false;
    tapImage_ = tapSet_->GetFrame(0);
    if (!tapImage_)
        return false;
    StringTable* table = app->GetLanguageTable();
    if (HasTouchScreen() && table)
        table->Lookup(caption_, "STR_TAP");
    else
        caption_.Assign(" ");
    for (int page = 0; page < kHelpPageCount; ++page)
        if (!BuildPage(page))
            return false;
    if (ScriptWidget* ok = ScriptWidget::FindByName(this, "btn_help_ok"))
        focusChild_ = ok;
    auto* box = dynamic_cast<CheckBoxWidget*>(ScriptWidget::FindByName(this, "chk_dontshow"));
    ProfileStore* profiles = app->GetProfiles();
    if (box && profiles)
        box->SetChecked(profiles->skipHelp);
    return true;
}

HelpScene* HelpScreen::GetScene(int page) const
{
    return page >= 0 && page < kHelpPageCount ? scenes_[page] : nullptr;
}

bool HelpScreen::BuildPage(int page)
{
    if (page < 0 || page >= kHelpPageCount)
        return false;
    DeleteAndNull(scenes_[page]);
    scenes_[page] = new (std::nothrow) HelpScene(GetGameApp(), page, this, 0, 0);
    if (!scenes_[page])
        return false;
    return RunHelpScript(*scenes_[page], page, tapImage_, caption_.CStr() ? caption_.CStr() : " ");
}

void HelpScreen::Update()
{
    GameScreen::Update();
    // A finished demonstration starts again from the beginning in the next frame.
    for (int page = 0; page < kHelpPageCount; ++page)
        if (!scenes_[page] || !scenes_[page]->IsBusy())
            BuildPage(page);
    for (HelpScene* scene : scenes_)
        if (scene)
            scene->Update();
}

void HelpScreen::Draw()
{
    ScriptWidget* backdrop = GetBackgroundWidget();
    if (backdrop)
        backdrop->Draw();
    for (HelpScene* scene : scenes_)
        if (scene)
            scene->Draw();
    DrawChildrenExcept(backdrop);
}

bool HelpScreen::OnKey(int key, bool down)
{
    if (FindModalChild() || key != kKeyBack)
        return DialogWidget::OnKey(key, down);
    // The back key acts as the OK button, on its release.
    if (!down)
        SendEvent(this, kMsgCommand, "btn_help_ok", 0);
    return true;
}

bool HelpScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgCommand && Named(name, "btn_help_ok")) {
        if (application_)
            SendEvent(application_, OkEvent(), nullptr, 0, true);
        return true;
    }
    if (code == kMsgCheckToggled && Named(name, "chk_dontshow")) {
        GameApp* app = GetGameApp();
        if (ProfileStore* profiles = app ? app->GetProfiles() : nullptr)
            profiles->skipHelp = param != 0;
        return true;
    }
    return DialogWidget::OnEvent(sender, code, name, param);
}
