#include <new>

#include "engine/core/file_failures.h"
#include "engine/core/options_record.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_turn.h"
#include "engine/ui/dialog_widget.h"
#include "game/app/game_app.h"
#include "game/app/game_dialog.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"
#include "game/screens/adventure_map_screen.h"
#include "game/screens/gauntlet_map_screen.h"
#include "game/screens/end_screen.h"
#include "game/help/about_screen.h"
#include "game/help/help_screen.h"
#include "game/screens/loader_screen.h"
#include "game/screens/stage_complete_screen.h"
#include "game/screens/start_menu_screen.h"
#include "game/screens/temple_complete_screen.h"

// The screens are the application's children; this file holds how they are made and how the
// frame, the pen and the keys reach them while they fade.

GameScreen* GameApp::NewScreen(int slot)
{
    switch (slot) {
    case kSlotGameplay:
        return new (std::nothrow) GameplayScreen(this);
    case kSlotLoader:
        return new (std::nothrow) LoaderScreen(this);
    case kSlotStartMenu:
        return new (std::nothrow) StartMenuScreen(this);
    case kSlotAdventureMap:
        return new (std::nothrow) AdventureMapScreen(this);
    case kSlotGauntletMap:
        return new (std::nothrow) GauntletMapScreen(this);
    case kSlotStageComplete:
        return new (std::nothrow) StageCompleteScreen(this);
    case kSlotTempleComplete:
        return new (std::nothrow) TempleCompleteScreen(this);
    case kSlotEnd:
        return new (std::nothrow) EndScreen(this);
    case kSlotHelp:
        if (helpBeforePlay_)
            return new (std::nothrow) HelpScreenInGame(this);
        return new (std::nothrow) HelpScreen(this);
    case kSlotAbout:
        return new (std::nothrow) AboutScreen(this);
    }
    return nullptr;
}

namespace {

// What a screen is called when it could not be made for want of anything but a file of its own.
const char* const kScreenNames[kScreenSlotCount] = {
    "gameplay screen", "start menu", "loading screen", "adventure map", "gauntlet map",
    "stage complete screen", "temple complete screen", "end screen", "instructions", "credits",
};

}  // namespace

LoadResult GameApp::ShowScreen(int slot)
{
    if (slot < 0 || slot >= kScreenSlotCount)
        return LoadResult::Unmade("screen", "no such screen");
    DestroyScreens();
    // What a level kept is for a board that lays it out again; another screen ends that.
    if (slot != kSlotGameplay)
        levelKeep_.Drop();
    GameScreen* screen = NewScreen(slot);
    screenUnmade_ = screen == nullptr;
    if (!screen)
        return LoadResult::Unmade(kScreenNames[slot], "it could not be made");
    screens_[slot] = screen;
    spriteFailure_ = LoadResult();
    makingScreen_ = true;
    bool made = screen->Create();
    makingScreen_ = false;
    if (made) {
        // It goes on without the set it could not have.
        TellOnce("sprite set", spriteFailure_);
        return LoadResult();
    }
    const LoadResult& kept = screen->GetLoadResult();
    LoadResult why = kept.failed()             ? kept
                     : spriteFailure_.failed() ? spriteFailure_
                                               : LoadResult::Unmade(kScreenNames[slot], "it could not be made");
    // A half-built screen must not stay current.
    DetachAndDeleteWidget(screens_[slot]);
    return why;
}

LoadResult GameApp::ShowGameplay(bool startLevel)
{
    LoadResult shown = ShowScreen(kSlotGameplay);
    if (shown.failed())
        return shown;
    auto* gameplay = dynamic_cast<GameplayScreen*>(screens_[kSlotGameplay]);
    if (Surface* display = GetScreenSurface())
        gameplay->SetRect(0, 0, display->GetWidth(), display->GetHeight());
    if (!startLevel)
        return LoadResult();
    spriteFailure_ = LoadResult();
    makingScreen_ = true;
    LoadResult level = gameplay->StartLevel();
    makingScreen_ = false;
    if (level.failed())
        DetachAndDeleteWidget(screens_[kSlotGameplay]);
    else
        TellOnce("sprite set", spriteFailure_);
    return level;
}

void GameApp::BackToMenu(const char* what, const LoadResult& why)
{
    ReportLoadFailure(what, why, kBackAtTheMenu);
    if (ShowStartMenu())
        SaveResumeState();
}

void GameApp::TellOnce(const char* what, const LoadResult& why)
{
    if (why.failed())
        ReportLoadFailure(what, why, kGoesOnWithout);
}

GameScreen* GameApp::GetGameplayScreen() const
{
    return AsGameScreen(screens_[kSlotGameplay]);
}

GameScreen* GameApp::GetStageCompleteScreen() const
{
    return AsGameScreen(screens_[kSlotStageComplete]);
}

GameScreen* GameApp::GetStartMenu() const
{
    return AsGameScreen(screens_[kSlotStartMenu]);
}

int8_t GameApp::NextJitter()
{
    int index = transition_.jitterIndex;
    if (index < 0 || index >= kStageOffsetCount)
        index = 0;
    int8_t value = stageOffsets_[index];
    transition_.jitterIndex = (index + 1) % kStageOffsetCount;
    return value;
}

void GameApp::Update()
{
    StepRotation();
    if (repeatEnabled_)
        UpdateKeyRepeat();
    if (volumePreviewCountdown_ > 0)
        --volumePreviewCountdown_;
    Widget* focus = focusChild_;
    if (!focus)
        return;
    // A screen does not update itself while it fades; the step may delete it, so it is not
    // touched again either way.
    if (GameScreen* screen = AsGameScreen(focus)) {
        ReadAheadOfLevel(*screen);
        if (screen->UpdateTransition())
            return;
    }
    focus->Update();
}

void GameApp::ReadAheadOfLevel(const GameScreen& screen)
{
    // A fade-out to a level reads the level's files a piece at a time, the last on the update
    // whose frame is black, so that the board the fade brings in finds them kept.
    const int steps = screen.FadeOutStepsLeft();
    if (steps == 0 || screen.GetParkedCode() != kEventPlayLevel)
        return;
    const MapInfo* map = CurrentLevelMapInfo(this);
    if (!map)
        return;
    levelKeep_.Choose(*map);
    if (levelKeep_.PiecesLeft() >= steps)
        levelKeep_.ReadAhead();
}

void GameApp::Draw()
{
    if (!visible_)
        return;
    Surface* display = GetScreenSurface();
    for (int i = 0; i < children_.Count(); ++i) {
        Widget* child = ChildAt(i);
        bool remembered = child->GetDrawFlag();
        bool forced = drawFlag_ || modal_;
        if (forced)
            child->SetDrawFlag(true);
        if (child->IsVisible()) {
            GameScreen* screen = AsGameScreen(child);
            if (screen && screen->IsScreenFading() && display)
                screen->DrawTransition(display);
            else
                child->Draw();
        }
        if (forced)
            child->SetDrawFlag(remembered);
    }
}

bool GameApp::OnPointer(int x, int y, int kind)
{
    for (int i = 0; i < children_.Count(); ++i) {
        GameScreen* screen = AsGameScreen(ChildAt(i));
        if (screen && screen->IsScreenFading()) {
            ServeExitButton(x, y, kind);
            return true;
        }
    }
    return Application::OnPointer(x, y, kind);
}

void GameApp::OnSuspend()
{
    if (GameScreen* gameplay = GetGameplayScreen())
        gameplay->OpenPauseDialog();
}

int GameApp::MapKey(int virtualKey)
{
    // In the name entry a digit is typed, not a keypad key.
    if (virtualKey >= '0' && virtualKey <= '9' && TakesDigits())
        return 0;
    if (OptionsRecord* options = GetOptions()) {
        for (int i = kKeyLeft; i <= kGameKeyCount; ++i) {
            if (options->keyCodes[i] == virtualKey)
                return i;
        }
    }
    if (virtualKey == ' ')
        return kKeyAction;
    // Keypad digits by the way the device is held: up, left, right, down, action.
    static const int kByOrientation[3][4] = {{kKeyUp, kKeyLeft, kKeyRight, kKeyDown},
                                             {kKeyRight, kKeyUp, kKeyDown, kKeyLeft},
                                             {kKeyLeft, kKeyDown, kKeyUp, kKeyRight}};
    int orientation = rotation_;
    if (orientation < 0 || orientation > 2)
        return 0;
    switch (virtualKey) {
    case '2': return kByOrientation[orientation][0];
    case '4': return kByOrientation[orientation][1];
    case '6': return kByOrientation[orientation][2];
    case '8': return kByOrientation[orientation][3];
    case '5': return kKeyAction;
    }
    return 0;
}

bool GameApp::SetScreenRotation(int rotation)
{
    bool result = Application::SetScreenRotation(rotation);
    forceLandscape_ = true;
    return result;
}

void GameApp::OnRotationChanged(int rotation)
{
    OptionsRecord* options = GetOptions();
    if (!options || options->rotation != -2 || rotation_ == 0 || rotation == 0 || rotation == rotation_)
        return;
    SwitchScreenRotation(this, rotation);
    if (ProfileStore* profiles = GetProfiles())
        profiles->autoOrientation = rotation;
}

GameDialog* GameApp::GetNameEntry() const
{
    GameScreen* menu = GetStartMenu();
    return dynamic_cast<GameDialog*>(menu ? ScriptWidget::FindByName(menu, "dlg_EditPlayer") : nullptr);
}

bool GameApp::OnChar(int character)
{
    GameDialog* dialog = GetNameEntry();
    return dialog ? dialog->OnChar(character) : false;
}

bool GameApp::TakesDigits()
{
    return GetNameEntry() != nullptr;
}
