#pragma once
// The engine half of the engine/game interface: one object for the whole run, the root of the
// widget tree, owner of the screen surfaces, packs, sound service, options, language table, key
// tables, frame timing and game-area geometry. The game derives from it and fills the virtual
// operations the engine leaves open.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/engine_keys.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"
#include "engine/core/widget.h"

class Surface;
class ZipPack;
class SoundManagerBase;
class OptionsRecord;
class StringTable;
class FontManager;
class ResourceList;
class DiskFile;
class PackMemoryFile;
class Font;
class UiLayout;

struct GameArea {
    int32_t gameWidth = 0, gameHeight = 0;
    int32_t screenWidth = 0, screenHeight = 0;
    int32_t offsetX = 0, offsetY = 0;
    int32_t drawWidth = 0, drawHeight = 0;
    bool scaled = false;
};

struct Resolution {
    int32_t width = 0, height = 0;
};

// The display's properties as the handheld's game API reports them; surfaces take their pixel
// format from the fixed default record.
struct DisplayProperties {
    int32_t width = 0, height = 0;
    int32_t xPitch = 0, yPitch = 0;
    int32_t bitsPerPixel = 0;
    int32_t formatFlags = 0;
};

// Init error codes.
enum InitError {
    kInitOk = 0,
    kInitBadRotation = 1,
    kInitScreenSurface = 3,
    kInitBorderSurfaces = 4,
    kInitSinglePackAlloc = 7,
    kInitSinglePackOpen = 8,
    kInitFirstPackAlloc = 9,
    kInitFirstPackOpen = 10,
    kInitSecondPackAlloc = 11,
    kInitSecondPackOpen = 12,
    kInitDerivedCheck = 13,
    kInitStyles = 14,
    kInitLanguage = 15,
    kInitExitButton = 16,
};

class Application : public Widget {
public:
    Application();
    ~Application() override;

    // Widget operations the application replaces.
    void Update() override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;

    // The application's own operations, in the engine's slot order.
    virtual bool Init(int width, int height);
    virtual bool Tick();
    virtual void OnSuspend() {}
    virtual int MapKey(int virtualKey);
    virtual bool SaveResumeState() { return true; }
    virtual bool DerivedSlot44() { return true; }
    virtual bool ApplyLayout(int width, int height);
    virtual LoadResult LoadExitButton() { return LoadResult(); }
    virtual bool WantsFullResolution() { return true; }
    virtual bool SetScreenRotation(int rotation);
    virtual bool DerivedCheck() { return true; }
    virtual String DerivedSlot50() { return String("empty"); }
    virtual bool DerivedSlot51() { return true; }
    virtual bool DerivedSlot52() { return true; }
    virtual FontManager* GetFontManager() { return nullptr; }
    virtual ResourceList* GetSpriteList() { return nullptr; }
    virtual int DerivedSlot55() { return 0; }
    virtual OptionsRecord* CreateOptionsRecord() = 0;
    virtual bool DerivedSlot57() { return false; }
    virtual bool BeforeSoundStart() { return true; }
    virtual bool IsSoundOn();
    virtual bool IsMusicOn();
    virtual int GetSoundVolume();
    virtual int GetMusicVolume();
    virtual void SetSoundVolume(int volume);
    virtual void SetMusicVolume(int volume);
    virtual LoadResult LoadLanguage() = 0;
    virtual LoadResult LoadStyles() { return LoadResult(); }
    virtual String GetExeDirectory();
    virtual String GetImageFolder() = 0;
    virtual String GetSoundFolder() = 0;
    virtual String GetSaveDirectory() = 0;
    virtual String GetCommonPackName() = 0;
    virtual String GetScreenPackName() = 0;
    virtual int DerivedSlot73() { return 0; }
    virtual void EnsureDirectory(const char* path);
    virtual bool LoadOptions();
    virtual bool SaveOptions();
    virtual String GetUiFolder() { return String(); }
    virtual void OnRotationChanged(int /*rotation*/) {}
    virtual int GetRotationFallback() { return 1; }
    virtual bool OnChar(int character);
    // True while a text entry takes hardware digits as characters; the window drops them otherwise.
    virtual bool TakesDigits() { return false; }
    virtual bool DerivedSlot81() { return true; }
    virtual int GetLayoutId(int width, int height);
    virtual int GetLayoutIdCached();
    virtual int GetBorderWidth() { return 0; }
    virtual int GetBorderHeight() { return 0; }
    virtual Font* GetDebugFont() { return nullptr; }
    // False while the picture is on its way to another (a screen fading): a message box waits for
    // it to come to rest.
    virtual bool IsScreenAtRest() { return true; }

    // Game area and resolutions.
    bool AddSupportedResolution(int width, int height);
    GameArea FitGameArea(int screenWidth, int screenHeight) const;
    void SetGameArea(const GameArea& area) { gameArea_ = area; }
    const GameArea& GetGameArea() const { return gameArea_; }

    // Folders.
    String ResolveSaveDirectory(const char* registryKey, const char* valueName);

    // Factories.
    Surface* CreateImage();
    static void GetDefaultDisplayProperties(DisplayProperties& out);
    // Drops a surface from the image list (order kept); nothing when the list is off or lacks it.
    void RemoveFromImageList(const Surface* surface);
    bool CreateScreenSurface(int width, int height, int borderWidth, int borderHeight);
    bool CreateBorderSurfaces(int width, int height, int borderWidth, int borderHeight);
    DiskFile* CreateDiskFile();
    PackMemoryFile* CreatePackMemoryFile();
    LoadResult CreateLanguageTable(const char* listFile);
    Surface* GetDrawTarget() const { return screenSurface_; }
    void CreateSoundManager();

    // Frame timing.
    void DrawFrame();
    void SetFrameRate(int framesPerSecond, bool limiter, bool fixedStep);
    void StepRotation();
    void DrawExitButton();
    void DrawBorderArt();
    bool IsFixedStep() const { return fixedStep_; }
    bool IsLimiterOn() const { return limiter_; }
    bool IsEarlyStep() const { return early_; }
    bool IsStatisticsOn() const { return statistics_; }
    uint32_t GetStepClock() const { return stepClock_; }
    const String& GetStatisticsText() const { return statisticsText_; }
    bool IsFullRedrawRequested() const { return fullRedraw_; }

    // Keys.
    void UpdateKeyRepeat();
    void LatchKey(int key);
    void ClearKeyLatches();
    bool IsKeyLatched(int key) const;
    bool IsKeyDown(int key) const;
    bool IsKeyRepeatEnabled() const { return repeatEnabled_; }
    bool IsLeftSoftKey() const;
    bool IsRightSoftKey() const;
    int GetLastKey() const { return lastVirtualKey_; }
    void SetLastKey(int virtualKey) { lastVirtualKey_ = virtualKey; }
    bool IsPointerDown() const { return pointerDown_; }
    bool IsExitButtonPressed() const { return exitPressedState_; }
    // Whether a point in game coordinates (borders already taken off) lies on the corner close
    // button, which takes every stylus event there before the screens see it.
    bool IsOnExitButton(int x, int y) const;
    // Where the corner close button is drawn on the game's screen; false without one, or when it
    // stands on a border beside the game's area.
    bool GetExitButtonRect(Rect& out) const;

    // Display path and screen background, read by the display code.
    int GetDisplayMode() const { return displayMode_; }
    void SetDisplayMode(int mode) { displayMode_ = mode; }
    bool IsBackgroundFillOn() const { return backgroundFill_; }
    int GetVolumeStep() const { return volumeStep_; }
    const uint8_t* GetBackgroundColour() const { return backgroundColour_; }

    // Quit request, read by the frame.
    void RequestQuit(int code);
    bool IsQuitRequested() const { return quitRequested_; }
    int GetExitCode() const { return exitCode_; }

    // Pointer capture.
    Widget* GetModalWidget() const { return modalWidget_; }
    void SetModalWidget(Widget* widget) { modalWidget_ = widget; }
    void ClearModalWidget() { modalWidget_ = nullptr; }

    // Accessors.
    int GetInitError() const { return initError_; }
    int GetRotation() const { return rotation_; }
    int GetRequestedRotation() const { return requestedRotation_; }
    Surface* GetScreenSurface() const { return screenSurface_; }
    Surface* GetBorderSurface(int which) const { return which == 0 ? firstBorder_ : secondBorder_; }
    ZipPack* GetPack(int which) const { return which == 0 ? firstPack_ : which == 1 ? secondPack_ : thirdPack_; }
    bool PacksEnabled() const { return packsEnabled_; }
    bool IsSinglePackMode() const { return singlePackMode_; }
    SoundManagerBase* GetSoundManager() const { return soundManager_; }
    OptionsRecord* GetOptions() const { return options_; }
    StringTable* GetLanguageTable() const { return languageTable_; }
    bool OptionsDefaultsUsed() const { return optionsDefaultsUsed_; }
    int GetFramesPerSecond() const { return framesPerSecond_; }
    int GetFrameInterval() const { return frameInterval_; }
    const PtrArray& GetImageList() const { return imageList_; }
    void SetImageListEnabled(bool on) { imageListEnabled_ = on; }
    const PtrArray& GetResolutions() const { return resolutions_; }
    bool IsSoftKeyQuirk() const { return softKeyQuirk_; }
    // The texts the info widgets show; the game sets them at start-up.
    const String& GetVersionText() const { return versionText_; }
    const String& GetBuildDate() const { return buildDate_; }
    void RequestFullRedraw() { fullRedraw_ = true; }
    // Named layout documents kept for the whole run; the application takes ownership on success.
    bool AddLayoutDocument(const char* name, UiLayout* layout);
    UiLayout* FindLayoutDocument(const char* name) const;
    int GetLayoutDocumentCount() const { return layoutDocuments_.Count(); }

protected:
    // Game area given to Init.
    int32_t areaWidth_ = 0, areaHeight_ = 0;
    // Packs.
    ZipPack* firstPack_ = nullptr;
    ZipPack* secondPack_ = nullptr;
    ZipPack* thirdPack_ = nullptr;
    bool singlePackMode_ = true;
    bool packsEnabled_ = true;
    SoundManagerBase* soundManager_ = nullptr;
    // Surfaces.
    Surface* screenSurface_ = nullptr;
    Surface* firstBorder_ = nullptr;
    Surface* secondBorder_ = nullptr;
    Surface* drawTarget_ = nullptr;
    bool fullRedraw_ = true;
    bool pointerDown_ = false;
    int lastVirtualKey_ = 0;
    int displayMode_ = 0;
    int borderWidth_ = 0, borderHeight_ = 0;
    // Frame timing.
    int frameInterval_ = 30;
    int framesPerSecond_ = 33;
    bool limiter_ = true;
    bool statistics_ = false;
    bool fixedStep_ = false;
    int updateCounter_ = 0;
    int drawCounter_ = 0;
    uint32_t statisticsStart_ = 0;
    uint32_t stepClock_ = 0;
    uint32_t catchUp_ = 0;
    bool early_ = false;
    String statisticsText_;
    // Rotation.
    bool rotationAllowed_ = false;
    bool forceLandscape_ = false;
    int rotation_ = 0;
    int requestedRotation_ = 1;
    // Keys.
    int32_t keyDown_[kEngineKeyCount] = {};
    int32_t keyRepeat_[kEngineKeyCount] = {};
    int32_t keyLatch_[kEngineKeyCount] = {};
    bool repeatEnabled_ = false;
    bool repeatDirectionOnly_ = true;
    int repeatInterval_ = 15;
    bool softKeyQuirk_ = false;
    Widget* modalWidget_ = nullptr;
    StringTable* languageTable_ = nullptr;
    OptionsRecord* options_ = nullptr;
    bool optionsDefaultsUsed_ = false;
    // The options file could not be loaded nor kept aside: it is never written over.
    bool optionsUnwritable_ = false;
    bool soundDisabled_ = false;
    int volumeStep_ = 5;
    // Exit button.
    Surface* exitNormal_ = nullptr;
    Surface* exitPressed_ = nullptr;
    bool exitPressedState_ = false;
    bool saveDirResolved_ = false;
    String saveDirectory_;
    // Border art: side, top, unused, bottom.
    Surface* borderArt_[4] = {};
    bool quitRequested_ = false;
    int exitCode_ = 0;
    String companyName_;
    String productName_;
    String versionText_;
    String buildDate_;
    PtrArray resolutions_{1};
    GameArea gameArea_;
    int initError_ = 0;
    // Screen-turn animation.
    int turnAngle_ = -23040;
    int turnSpeed_ = 2048;
    int turnDirection_ = 1;
    int turnPhase_ = 0;
    bool imageListEnabled_ = false;
    PtrArray imageList_{256};
    PtrArray layoutDocuments_{1};
    int layoutIdCache_ = 0;
    bool backgroundFill_ = false;
    uint8_t backgroundColour_[3] = {0, 0, 0};
    bool initialised_ = false;

    friend void SwitchScreenRotation(Application* application, int rotation);

protected:
    // The corner close button's share of a stylus event; true when the event ends there.
    bool ServeExitButton(int x, int y, int kind);
    // The close button's hit test, in the area's coordinates (borders included).
    bool ExitButtonHit(int x, int y) const;
};

// Made by the program once, before the window has a frame.
Application* CreateApplication();
