#include <cstdio>
#include <cstring>

#include "engine/core/file_failures.h"
#include "engine/core/options_record.h"
#include "engine/graphics/surface.h"
#include "engine/sound/sound_manager.h"
#include "engine/ui/button_widget.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/tables/progression.h"

// How the screens change: a screen or widget sends a screen-change code, usually with the fade
// flag, the current screen fades out, and the code reaches OnEvent while the old screen still
// exists. The same handler serves the start menu's buttons and the sound widgets of the options.

namespace {

constexpr int kPreviewPause = 11;

bool Named(const char* name, const char* expected)
{
    return name && std::strcmp(name, expected) == 0;
}

int Percent(int value)
{
    return value < 0 ? 0 : value > 100 ? 100 : value;
}

}  // namespace

GameScreen* GameApp::CurrentScreen() const
{
    for (int i = children_.Count() - 1; i >= 0; --i) {
        ScriptWidget* script = AsScriptWidget(ChildAt(i));
        if (script && script->IsRoot())
            return dynamic_cast<GameScreen*>(script);
    }
    return nullptr;
}

// A message box asked for on the way between screens waits for the one the player lands on.
bool GameApp::IsScreenAtRest()
{
    GameScreen* screen = CurrentScreen();
    return !screen || !screen->IsScreenFading();
}

bool GameApp::SendEvent(Widget* target, int code, const char* name, int param, bool fade)
{
    if (fade) {
        if (GameScreen* screen = CurrentScreen()) {
            if (screen->IsScreenFading())
                return true;
            screen->ParkEvent(target, code, name, param);
            screen->StartFadeOut();
            return true;
        }
    }
    return Widget::SendEvent(target, code, name, param, false);
}

bool GameApp::OnEvent(Widget* sender, int code, const char* name, int param)
{
    switch (code) {
    case kMsgCommand:
        return OnButton(name, param);
    case kMsgTunerChanged:
        if (Named(name, "tuner_Sound")) {
            SetSoundVolumeFromTuner(param);
            return true;
        }
        if (Named(name, "tuner_Music")) {
            SetMusicVolumeFromTuner(param);
            return true;
        }
        return Application::OnEvent(sender, code, name, param);
    case kMsgCheckToggled:
        if (Named(name, "chk_mute"))
            SetMute(param != 0);
        return true;
    case kEventPlayLevel:
        // A level that cannot be laid out leaves the player on the menu rather than nowhere.
        if (LoadResult level = ShowGameplay(true); level.failed()) {
            BackToMenu("level", level);
            return true;
        }
        // The board that asked for the level (won, or a life paid) could not be saved itself:
        // the record follows the level now in play, so no older board is left to resume.
        SaveResumeState();
        return true;
    case kEventNothing:
    case kEventHighScores:
        return true;
    case kEventContinueAdventure:
    case kEventContinueGauntlet:
        if (ResumeGame(code == kEventContinueAdventure ? 0 : 1) && ShowsResumableScreen())
            return true;
        // The adventure the profile holds goes on when its record is lost: inside a door at the
        // stage the question named, started afresh (the board was lost, not the stage), as the
        // map's Play would start it; at a door's first stage from its map, saved there at once.
        if (code == kEventContinueAdventure && AdventureLacksItsRecord()) {
            if (!Adventure::IsFirstStageOfDoor(CurrentAdventureStage())) {
                ProfileStore* profiles = GetProfiles();
                SendEvent(this, profiles && profiles->skipHelp ? kEventPlayLevel : kEventHelpBeforePlay, nullptr, 0,
                          false);
                return true;
            }
            LoadResult map = ShowScreen(kSlotAdventureMap);
            if (map.ok())
                SaveResumeState();
            else
                BackToMenu("adventure map", map);
            return true;
        }
        // Else the player is left on the menu rather than nowhere: a fresh one, not the old one
        // with a Continue that does nothing (a saved game whose files cannot be loaded has said
        // so, and is offered again).
        ShowStartMenu();
        return true;
    case kEventLoaded:
        // From here on the corner exit button is drawn and served.
        DeleteAndNull(exitNormal_);
        DeleteAndNull(exitPressed_);
        exitNormal_ = pendingExit_[0];
        exitPressed_ = pendingExit_[1];
        pendingExit_[0] = pendingExit_[1] = nullptr;
        ShowStartMenu();
        return true;
    case kEventStartMenu:
        ShowStartMenu();
        return true;
    case kEventStageComplete:
    case kEventTempleComplete:
        // Once it stands, a program killed here comes back to it.
        if (LoadResult shown = ShowScreen(code == kEventStageComplete ? kSlotStageComplete : kSlotTempleComplete);
            shown.ok())
            SaveResumeState();
        else
            BackToMenu(code == kEventStageComplete ? "door's screen" : "temple's screen", shown);
        return true;
    case kEventTheEnd:
    case kEventAdventureMap:
    case kEventGauntletMap: {
        // A screen that cannot be built leaves the player on the menu rather than on nothing.
        int slot = code == kEventTheEnd ? kSlotEnd : code == kEventAdventureMap ? kSlotAdventureMap : kSlotGauntletMap;
        LoadResult shown = ShowScreen(slot);
        if (shown.failed())
            BackToMenu(code == kEventTheEnd ? "closing screen" : code == kEventAdventureMap ? "adventure map" : "gauntlet map",
                       shown);
        return true;
    }
    case kEventNewAdventure:
        ResetCurrentGame(0, 0);
        DeleteResumeRecord(0);
        SendEvent(this, kEventAdventureMap, nullptr, 0, false);
        return true;
    case kEventInstructions:
    case kEventHelpBeforePlay:
    case kEventAbout:
        if (LoadResult shown = code == kEventInstructions   ? ShowHelp()
                               : code == kEventAbout        ? ShowAbout()
                                                            : ShowHelpBeforePlay();
            shown.failed())
            BackToMenu(code == kEventAbout ? "credits" : "instructions", shown);
        return true;
    }
    return Application::OnEvent(sender, code, name, param);
}

bool GameApp::OnButton(const char* name, int param)
{
    struct Choice {
        const char* button;
        int mode;
        const char* confirm;
        int newGame;
    };
    static const Choice kModes[2] = {{"btn_sm_adventure", 0, "acn_confirm_adventure", kEventNewAdventure},
                                     {"btn_sm_gauntlet", 1, "acn_confirm_gauntlet", kEventGauntletMap}};
    for (const Choice& choice : kModes) {
        if (!Named(name, choice.button))
            continue;
        GameScreen* menu = GetStartMenu();
        // With a game to continue the player chooses between it and a new one.
        if (menu && (HasResumeSave(choice.mode) || (choice.mode == 0 && AdventureLacksItsRecord())))
            menu->RunActionFromFile("keloui.txt", choice.confirm);
        else
            SendEvent(this, choice.newGame, nullptr, 0, true);
        return true;
    }
    struct Send {
        const char* button;
        int code;
        bool withValue;
    };
    static const Send kSends[] = {
        {"btn_new_adventure", kEventNewAdventure, false}, {"btn_new_gauntlet", kEventGauntletMap, false},
        {"btn_continue_adventure", kEventContinueAdventure, false},
        {"btn_continue_gauntlet", kEventContinueGauntlet, false}, {"btn_help_instructions", kEventInstructions, true},
        {"btn_help_about", kEventAbout, true}, {"btn_main_hiscores", kEventHighScores, false},
    };
    for (const Send& send : kSends) {
        if (Named(name, send.button)) {
            SendEvent(this, send.code, nullptr, send.withValue ? param : 0, true);
            break;
        }
    }
    return true;
}

void GameApp::SetSoundVolumeFromTuner(int value)
{
    OptionsRecord* options = GetOptions();
    if (!options)
        return;
    int old = options->soundVolume;
    int volume = Percent(value);
    options->soundVolume = volume;
    if (SoundManagerBase* sound = GetSoundManager())
        sound->SetSfxVolume(volume);
    // Dragging the tuner previews the loudness at most once every few updates.
    if (IsSoundOn() && volume != old && volumePreviewCountdown_ <= 0 && soundBank_) {
        soundBank_->Play(kShotSound);
        volumePreviewCountdown_ = kPreviewPause;
    }
}

void GameApp::SetMusicVolumeFromTuner(int value)
{
    OptionsRecord* options = GetOptions();
    if (!options)
        return;
    int volume = Percent(value);
    options->musicVolume = volume;
    if (SoundManagerBase* sound = GetSoundManager())
        sound->SetMusicVolume(volume);
}

void GameApp::SetMute(bool mute)
{
    OptionsRecord* options = GetOptions();
    if (!options)
        return;
    bool wasMusicOn = IsMusicOn();
    options->mute = mute;
    SoundManagerBase* sound = GetSoundManager();
    if (!sound)
        return;
    sound->EnableSfx(IsSoundOn());
    sound->SetSfxVolume(GetSoundVolume());
    bool musicOn = IsMusicOn();
    sound->EnableMusic(musicOn);
    sound->SetMusicVolume(GetMusicVolume());
    if (!soundBank_)
        return;
    if (!wasMusicOn && musicOn)
        soundBank_->PlayMusic();
    else if (!musicOn)
        soundBank_->StopMusic();
}

bool GameApp::ShowLoader()
{
    LoadResult why = ShowScreen(kSlotLoader);
    if (why.failed()) {
        // A loader whose files are there but damaged ends the run; without them, or without a
        // loader that can be made, the menu comes at once.
        if (!why.IsMissing() && !why.IsUnmade()) {
            ReportLoadFailure("loading screen", why, kCannotStart);
            RequestQuit(1);
            return false;
        }
        // The game's update needs the particle manager the loader would have made.
        CreateParticleManager();
        return ShowStartMenu();
    }
    if (Surface* display = GetScreenSurface())
        screens_[kSlotLoader]->SetRect(0, 0, display->GetWidth(), display->GetHeight());
    return true;
}

bool GameApp::ShowStartMenu()
{
    LoadResult why = ShowScreen(kSlotStartMenu);
    if (why.failed()) {
        // Without its menu the game has nowhere to go: the run ends as a failure.
        if (why.IsUnmade())
            TellPlayer("cannot build the start menu: it could not be made; %s.", kCannotGoOn);
        else
            TellPlayer("cannot build the start menu: %s: %s; %s.", ShownName(why.File()).CStr(), why.Reason(),
                       kCannotGoOn);
        RequestQuit(1);
        return false;
    }
    if (Surface* display = GetScreenSurface())
        screens_[kSlotStartMenu]->SetRect(0, 0, display->GetWidth(), display->GetHeight());
    return true;
}

LoadResult GameApp::ShowHelp()
{
    helpBeforePlay_ = false;
    return ShowScreen(kSlotHelp);
}

LoadResult GameApp::ShowHelpBeforePlay()
{
    helpBeforePlay_ = true;
    return ShowScreen(kSlotHelp);
}

LoadResult GameApp::ShowAbout()
{
    return ShowScreen(kSlotAbout);
}
