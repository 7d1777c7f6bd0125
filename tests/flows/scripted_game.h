#pragma once
// The scripted player's harness: the real program (WinMain's own start and end, CreateApplication's
// GameApp on the packs beside the test binary, a save folder of its own) run in-process on the null
// back end. Time moves only by the test clock; the player acts only through the handheld's input
// (stylus, keys, characters, focus, close, power) and reads screens, board and profile to decide,
// never writing them. One ScriptedGame runs at a time in a process: the program's state is global.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "game/app/game_app.h"

class BoardScreen;
struct MSG;
struct PlayerRecord;
class ProfileStore;
class ScriptWidget;

// The six screen sizes every flow plays at.
struct FlowSize {
    int width, height;
};
extern const std::vector<FlowSize> kFlowSizes;
std::string FlowSizeName(const FlowSize& size);
inline void PrintTo(const FlowSize& size, std::ostream* out)
{
    *out << FlowSizeName(size);
}

// A folder that outlives one run of the program, for flows that start it twice on the same saves.
// In memory (where the host has a memory file system) for flows that start it hundreds of times:
// each end syncs its saves, which on a busy disk would be the flow's whole cost.
class FlowFolder {
public:
    explicit FlowFolder(bool inMemory = false);
    ~FlowFolder();
    FlowFolder(const FlowFolder&) = delete;
    FlowFolder& operator=(const FlowFolder&) = delete;
    const std::string& Path() const { return path_; }
    // The bytes of a file in the folder; empty when it is missing.
    std::string Read(const std::string& name) const;
    bool Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

class ScriptedGame {
public:
    // An empty saveFolder makes a fresh one, removed with the game; a given folder is left as the
    // program leaves it. The flow's name (for pictures, figures and seeds) is the running test's
    // suite name in snake_case unless SetFlowName says otherwise.
    ScriptedGame(int width, int height, std::string saveFolder = "");
    ~ScriptedGame();
    ScriptedGame(const ScriptedGame&) = delete;
    ScriptedGame& operator=(const ScriptedGame&) = delete;

    void SetFlowName(const std::string& flow) { flow_ = flow; }
    // A run that is one of hundreds side by side keeps no fuzz seeds and writes no figures.
    void KeepNoRecords() { keepRecords_ = false; }
    const std::string& FlowName() const { return flow_; }
    std::string SizeName() const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::string& SaveFolder() const { return saveFolder_; }

    // A fresh handheld of the size (raw frame buffer, power notices), the window and the
    // application as WinMain starts them; false when the program did not start.
    bool Start();
    // Through the loader to the start menu, at rest with no dialog open. On a first start the name
    // entry opens: the name is typed (capitals, as the entry keeps them) and confirmed.
    bool ReachMenu(const std::string& firstName = "ITZEL");
    // The menu at rest: shown, not fading, no dialog over it.
    bool MenuAtRest() const;
    // Whether the program runs: started and its message loop not ended.
    bool Running() const { return running_; }

    // What the player may read.
    GameApp* App() const;
    template <class T>
    T* Screen(int slot) const
    {
        GameApp* app = App();
        return app ? dynamic_cast<T*>(app->GetScreen(slot)) : nullptr;
    }
    // The screen in front (the last script root of the application), or null.
    GameScreen* CurrentScreen() const;
    // The dialog that takes input over the screen (the innermost modal one), or null.
    ScriptWidget* OpenDialog() const;
    BoardScreen* Board() const;
    ProfileStore* Profiles() const;
    // The current player's record, or null.
    PlayerRecord* Player() const;
    // The named widget in the open dialog, else in the current screen; null when absent.
    ScriptWidget* Find(const char* name) const;
    // Found, and it and every parent visible.
    bool Shows(const char* name) const;
    // A text, multi-line text or button caption as the widget holds it; empty when absent.
    std::string TextOf(const char* name) const;
    // The tick of a tick box; false when absent.
    bool IsTicked(const char* name) const;
    // The message boxes the program showed since Start, or since they were last answered, each
    // read as one line. Every box a flow meets is held to what a player needs of it: shown over a
    // screen at rest (with none only as the run starts or ends), in lines that fit the box, nothing
    // in it but text.
    std::vector<std::string> MessageBoxes() const;
    // Takes the boxes shown, as a player pressing OK on each; a run ends with none left unanswered.
    std::vector<std::string> AnswerMessageBoxes();

    // Time. A frame is one frame period of the clock with every message it brings dispatched;
    // Wait lets the engine catch up (several updates per draw) and so draws less often.
    void Frame();
    void Frames(int count);
    void Wait(int frames);
    // Waits in catch-up steps until done() holds; false when maxFrames periods passed first.
    bool WaitUntil(const std::function<bool()>& done, int maxFrames);
    // Frame by frame, for waits that must not overshoot.
    bool WaitUntilEachFrame(const std::function<bool()>& done, int maxFrames);
    // Updates per draw while waiting, 1 to 6 (6 unless set).
    void SetCatchUp(int updates);
    int FramePeriod() const;
    // Frame periods stepped since Start.
    int64_t FramesRun() const { return framesRun_; }

    // The stylus in game coordinates, mapped to the display's (rotation, scaling, borders).
    void Press(int x, int y);
    void Drag(int x, int y);
    void Release(int x, int y);
    void Tap(int x, int y);
    // Whether a tap would reach the named widget: it shows, no fade or close holds its input back,
    // the screen is not fading and, with a dialog open, it lies in that dialog.
    bool CanTap(const char* name) const;
    // Taps the middle of the named widget once it can be tapped, waiting up to 60 frames for
    // that; false when it never could (absent, hidden, behind a dialog).
    bool TapWidget(const char* name);
    // Where a game point lands on the display.
    void GameToDisplay(int x, int y, int* displayX, int* displayY) const;
    // A key pressed and let go, a frame for each; KeyDown/KeyUp for holding.
    void Key(unsigned virtualKey);
    void KeyDown(unsigned virtualKey);
    void KeyUp(unsigned virtualKey);
    // Characters as the input method sends them (UTF-8 in, one WM_CHAR each), a frame each.
    void Type(const std::string& utf8);
    void Focus(bool gained);
    void Close();
    // Power off and on as the system sends them; each returns once the program's watcher saw it.
    bool Suspend();
    bool PowerOn();

    // Sound: the device is pumped every frame; the bytes of captured audio that were not silence.
    uint64_t SoundMark() const { return audible_; }
    uint64_t AudibleSince(uint64_t mark) const { return audible_ - mark; }

    // The picture last presented, hashed.
    uint64_t FrameHash() const;
    // At 800x480, the frame hash against tests/data/flow_hashes.txt (recorded there instead when
    // KELO_RECORD_HASHES=1); true at other sizes, where no hash is kept.
    bool MatchesStoredHash(const std::string& checkpoint) const;
    // The presented frame as KELO_SHOT writes it, to KELO_LOOK_DIR/flow_<flow>_<WxH>_<name>.png,
    // and onto this flow and size's contact sheet.
    bool Shot(const std::string& name);

    // Quits through the game's own quit (the menu's quit where it shows, else the window's close),
    // lets the program end as WinMain ends it and answers the process's exit status.
    int Quit();
    // The engine's code of the quit (WinMain's answer), once the program ended.
    int QuitCode() const { return quitCode_; }

private:
    // Runs the message loop until the clock has moved by milliseconds.
    void RunFor(uint32_t milliseconds);
    // A stylus event (1 down, 2 up, 3 move) at a game point, and a frame.
    void Stylus(int kind, int x, int y);
    void Step(int periods);
    // The board's rules after each step; the first broken one fails the flow, once.
    void CheckBoard();
    void PumpSound(uint32_t milliseconds);
    // Holds the box shown to the rules of MessageBoxes.
    void CheckBox(const std::string& text);
    void EndProgram(const MSG& quit);
    void KeepSavedFiles();
    void WriteFigures();

    std::string flow_;
    int width_, height_;
    std::string saveFolder_;
    bool ownsFolder_ = false;
    bool started_ = false;
    bool running_ = false;
    bool ended_ = false;
    int quitCode_ = -1;
    int catchUp_ = 6;
    int64_t framesRun_ = 0;
    uint64_t audible_ = 0;
    uint32_t soundRemainder_ = 0;
    double startSeconds_ = 0;
    bool boardFaultSeen_ = false;
    bool keepRecords_ = true;
    // The boxes that broke the rules of MessageBoxes, with why.
    std::vector<std::string> boxFaults_;
};
