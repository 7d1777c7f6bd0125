#pragma once
// The game's application: the engine's Application with the game's folders, packs, options record
// (the profile store), language and fonts, sprite lists, sound bank and built-in tables, and the
// slots of the screens it switches between.
#include <cstdint>

#include "engine/core/application.h"
#include "engine/core/fixed.h"
#include "game/app/layout_registry.h"
#include "game/app/player_record.h"
#include "game/app/screen_transition.h"
#include "game/play/level_keep.h"
#include "game/tables/layout_table.h"
#include "game/tables/level_tables.h"

class BoardScreen;
class DialogWidget;
class Font;
class GameScreen;
class GameDialog;
class Stream;
class FontManager;
class ParticleManager;
class ProfileStore;
class ResourceEntry;
class ResourceList;
class SaveFileHolder;
class SoundBank;
class Surface;
class TrigTable;

// The screen kinds, one slot each; at most one holds a screen after a switch.
enum ScreenSlot {
    kSlotGameplay,
    kSlotStartMenu,
    kSlotLoader,
    kSlotAdventureMap,
    kSlotGauntletMap,
    kSlotStageComplete,
    kSlotTempleComplete,
    kSlotEnd,
    kSlotHelp,
    kSlotAbout,
    kScreenSlotCount,
};

// The id a resume record begins with: which screen it brings back (0 is none).
enum ScreenId {
    kScreenIdGameplay = 1,
    kScreenIdAdventureMap = 2,
    kScreenIdGauntletMap = 3,
    kScreenIdStageComplete = 5,
    kScreenIdTempleComplete = 6,
    kScreenIdEnd = 7,
};

constexpr int kStageOffsetCount = 21;

class GameApp : public Application {
public:
    GameApp();
    ~GameApp() override;

    bool Init(int width, int height) override;
    bool ApplyLayout(int width, int height) override;
    LoadResult LoadExitButton() override;
    FontManager* GetFontManager() override { return styleSheet_; }
    ResourceList* GetSpriteList() override { return spriteList_; }
    OptionsRecord* CreateOptionsRecord() override;
    LoadResult LoadLanguage() override;
    LoadResult LoadStyles() override;
    String GetImageFolder() override;
    String GetSoundFolder() override;
    String GetSaveDirectory() override;
    String GetCommonPackName() override;
    String GetScreenPackName() override;
    String GetUiFolder() override;
    int GetRotationFallback() override;
    int GetLayoutId(int width, int height) override;
    Font* GetDebugFont() override { return smallFont_; }

    String GetLevelsFolder();
    String GetImageUiFolder();

    LoadResult LoadSpriteScripts();
    bool CreateParticleManager();
    LoadResult LoadMusic();
    // Borrow a sprite set by name, counted by reference; release gives it back and nulls the slot.
    // A set the scripts lack, or one whose files fail, is that file's damage: kept for the screen
    // being made to name when it cannot be made, and said once when it goes on without the set.
    bool AcquireSprite(ResourceEntry*& slot, const char* name);
    void ReleaseSprite(ResourceEntry*& slot);
    void DestroyScreens();

    bool HasSoundService() const { return GetSoundManager() != nullptr; }
    ProfileStore* GetProfiles() const;
    SoundBank* GetSoundBank() const { return soundBank_; }
    SaveFileHolder* GetResumeStore() const { return resumeStore_; }
    const LayoutTable& GetLayoutTable() const { return layoutTable_; }
    // One integer entry of the game's layout table; 0 without a game application (a widget not
    // yet placed under one).
    static int LayoutInt(const Application* app, int index);
    TrigTable* GetRenderer() const { return renderer_; }
    const LevelTables& GetLevelTables() const { return levelTables_; }
    Font* GetMainFont() const { return mainFont_; }
    Font* GetSmallFont() const { return smallFont_; }
    ParticleManager* GetParticleManager() const { return particleManager_; }
    Widget* GetScreen(int slot) const { return slot >= 0 && slot < kScreenSlotCount ? screens_[slot] : nullptr; }
    int8_t GetStageOffset(int i) const { return i >= 0 && i < kStageOffsetCount ? stageOffsets_[i] : 0; }
    Surface* GetPendingExitImage(int which) const { return which == 0 || which == 1 ? pendingExit_[which] : nullptr; }
    // The application's random source: 0 below 2, else the C library's rand() modulo n.
    static int Random(int n);
    // The names of the ball sprite sets of colours 0..5; null for any other colour.
    static const char* GetBallName(int colour);
    // The board's view of the running level, null outside one (help scenes, completion screens).
    BoardScreen* GetBoardScreen() const { return boardScreen_; }
    void SetBoardScreen(BoardScreen* screen) { boardScreen_ = screen; }
    // What the last level laid out read from its files, while a board may lay it out again.
    LevelKeep& GetLevelKeep() { return levelKeep_; }

    // Screens: the factory step, the per-frame passes and input while screens fade.
    // The screen class of a slot, made but not set up; null while the class is not built.
    virtual GameScreen* NewScreen(int slot);
    // Destroys the screens, makes the slot's screen and sets it up; a screen whose set-up fails
    // is deleted and its slot nulled. Why it could not be built: the first file of its own that
    // failed, else the screen named as unmade.
    LoadResult ShowScreen(int slot);
    // Whether the last ShowScreen found no screen class for its slot.
    bool WasScreenUnmade() const { return screenUnmade_; }
    // While a screen or its level is being made, what fails is kept for its failure message.
    bool IsMakingScreen() const { return makingScreen_; }
    // The first screen; without one the start menu shows at once.
    bool ShowLoader();
    // The start menu over the whole display; without one the program ends with status 1.
    bool ShowStartMenu();
    // The gameplay screen over the whole display; with startLevel it lays out the player's
    // current level, and a screen whose set-up or level fails is deleted again. Why the screen or
    // the level could not be made: the level's file that failed, named as its pack names it.
    LoadResult ShowGameplay(bool startLevel);
    // The instructions from the start menu, the same before a stage (its OK starts the stage),
    // and the credits; the two helps share the help slot.
    LoadResult ShowHelp();
    LoadResult ShowHelpBeforePlay();
    LoadResult ShowAbout();
    // With the fade flag the current screen parks the event and fades out first; a screen that
    // already fades drops it.
    bool SendEvent(Widget* target, int code, const char* name, int param, bool fade = false) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    GameScreen* GetGameplayScreen() const;
    GameScreen* GetStageCompleteScreen() const;
    GameScreen* GetStartMenu() const;
    // The open name entry dialog of the start menu, or null.
    GameDialog* GetNameEntry() const;
    void Update() override;
    void Draw() override;
    bool OnPointer(int x, int y, int kind) override;
    void OnSuspend() override;
    int MapKey(int virtualKey) override;
    bool SetScreenRotation(int rotation) override;
    void OnRotationChanged(int rotation) override;
    bool OnChar(int character) override;
    // While the name entry is open.
    bool TakesDigits() override;
    int GetVolumePreviewCountdown() const { return volumePreviewCountdown_; }
    // The current screen neither fades in nor out.
    bool IsScreenAtRest() override;

    // Screen transitions.
    ScreenTransition& GetTransition() { return transition_; }
    Surface* GetQuakeImage(int i) const { return i >= 0 && i < 4 ? quakeImages_[i] : nullptr; }
    FixedVec2& QuakePosition(int i) { return quakePositions_[i & 3]; }
    FixedVec2& QuakeSpeed(int i) { return quakeSpeeds_[i & 3]; }
    // The next value of the jitter table, wrapping after its last.
    int8_t NextJitter();
    // Cuts the current picture into the four quake pieces at their layout offsets.
    LoadResult CaptureQuakePieces();
    // A file that failed after start-up, said with what it was for (the player sees it in the
    // window too), once, as everything said is. BackToMenu: the screen or level the player was on
    // the way to needs it, so the player is left on the menu, and the progress is saved. TellOnce:
    // a picture that only decorates a screen that goes on without it.
    void BackToMenu(const char* what, const LoadResult& why);
    void TellOnce(const char* what, const LoadResult& why);
    LayoutRegistry& GetLayoutRegistry() { return layoutRegistry_; }
    // Sets the dialog's sound tuners and mute box from the profile store.
    void FillSoundWidgets(DialogWidget* dialog);

    // Resume saves and the players whose ids key them.
    // A damaged global.opt may hold any id: one without a key that fits keys no record (-1).
    static int ResumeKey(int playerId, int mode)
    {
        return playerId >= 0 && playerId < kPlayerIdLimit ? playerId * 2 + mode : -1;
    }
    bool SaveResumeState() override;
    bool WriteResumeRecord(int mode);
    // A record that names no screen, or whose screen cannot read it back, is removed and said.
    bool ResumeGame(int mode);
    bool RestoreScreen(Stream* stream);
    bool HasResumeSave(int mode);
    // The adventure stands past its first stage in the profile, but the store (there, and so not
    // one never written) holds no record of it that can be played back: the store or the record
    // was damaged, or a program killed between two saves left an old one. Continue then opens the
    // adventure map at the profile's stage.
    bool AdventureLacksItsRecord();
    // The current player's adventure stage; 0 without a player.
    int CurrentAdventureStage();
    // True while a screen that a resume record can hold exists.
    bool ShowsResumableScreen() const;
    bool ReadResumeInfo(int mode, int32_t& value);
    void DeleteResumeRecord(int mode);
    void DeleteResumeSave();
    void ResetCurrentGame(int mode, int gauntletSubMode);
    // The profile store's, with an id that no saved game uses, so a new player never inherits or
    // overwrites one.
    int AddPlayer();
    void DeletePlayer(int index);

protected:
    enum class Restored { kScreen, kNoScreen, kNotMade, kUnreadable };
    struct Restoration {
        Restored how;
        // Why, for kNotMade: the file of the packs the screen or its level needs.
        LoadResult why;
    };
    // kNotMade when the screen could not be made (a file it or the saved level needs could not
    // be loaded: the record is whole), kUnreadable when the record itself is at fault.
    Restoration RestoreFrom(Stream* stream);
    void DropUnreadableRecord(int mode);

    Widget* screens_[kScreenSlotCount] = {};
    Font* mainFont_ = nullptr;
    Font* smallFont_ = nullptr;
    SaveFileHolder* resumeStore_ = nullptr;
    SoundBank* soundBank_ = nullptr;
    LayoutTable layoutTable_;
    TrigTable* renderer_ = nullptr;
    int32_t volumePreviewCountdown_ = 0;
    FontManager* styleSheet_ = nullptr;
    ResourceList* spriteList_ = nullptr;
    ParticleManager* particleManager_ = nullptr;
    LevelTables levelTables_;
    Surface* quakeImages_[4] = {};
    FixedVec2 quakePositions_[4];
    FixedVec2 quakeSpeeds_[4];
    int8_t stageOffsets_[kStageOffsetCount] = {};
    Surface* pendingExit_[2] = {};
    String uiFolderCache_;
    BoardScreen* boardScreen_ = nullptr;
    bool screenUnmade_ = false;
    // While a screen or its level is made: the first set it asked for and could not have.
    bool makingScreen_ = false;
    LoadResult spriteFailure_;
    // Which help the help slot makes: the one before a stage or the one from the menu.
    bool helpBeforePlay_ = false;
    LayoutRegistry layoutRegistry_{this};
    ScreenTransition transition_;
    LevelKeep levelKeep_{this};

private:
    // The resume key of the player's record of the mode, or -1 without a player.
    int CurrentResumeKey(int mode);
    // The last child that is a script root: the screen that fades and parks events.
    GameScreen* CurrentScreen() const;
    bool OnButton(const char* name, int param);
    void SetSoundVolumeFromTuner(int value);
    void SetMusicVolumeFromTuner(int value);
    void SetMute(bool mute);
    // The existing screen a resume record would hold and its id; null when none may be saved.
    GameScreen* FindScreenToSave(int& id, int& mode);
    void ReadAheadOfLevel(const GameScreen& screen);
};

// The compiler's date ("Mmm dd yyyy") as yyyy-mm-dd, or as given when it has another shape.
String BuildDateText(const char* compilerDate);
// The two parts of a path joined.
String Joined(const String& a, const char* b);
