#pragma once
// Shared between the window, display and input sources of the platform layer and its two back
// ends only.
#include <chrono>
#include <cstdint>

#include "platform/base.h"

struct PROCESS_INFORMATION;

namespace platform_internal {

// Calls the tests count (window_hooks.h).
void CountCall(const char* name);

// The virtual display: the screen's 5:6:5 picture in its current orientation. Its memory keeps its
// place for the whole run (turning only swaps the size), so the raw frame buffer stays valid.
int DisplayWidth();
int DisplayHeight();
uint16_t* DisplayPixels();
// Something was drawn through a screen device context.
void MarkDisplayDrawn();
// Presents when something was drawn since the last presentation (releasing a screen context).
void PresentIfDrawn();
// Shows the picture when it changed: the presented copy, then the back end. A frame the program
// made (byProgram) also counts towards the frame limit.
void PresentDisplay(bool byProgram);
// The smallest rectangle outside which two frames of one size agree; empty (top == bottom) when
// they are the same.
RECT ChangedRect(const uint16_t* shown, const uint16_t* next, int width, int height);
// Shows the picture on show again (the window changed its size or was uncovered); false when there
// is none yet or the desktop did not take it.
bool PresentShownAgain();
// After each timer message: once the raw frame buffer was handed out and the program shows its
// frames through no other path, the display refreshes from it itself, at most at its refresh rate.
void AfterTimerMessage();
void NoteRawFrameBufferGiven();
void ResetDisplay();

// The main window (the first top-level one), null before it exists.
HWND MainWindow();
// Input as the handheld's drivers deliver it, to the main window. Stylus kinds: 1 down, 2 up,
// 3 move; x and y in display pixels.
void KeyInput(UINT virtualKey, bool down);
void CharInput(uint32_t character);
void StylusInput(int kind, int x, int y);
void FocusInput(bool gained);
void CloseInput();
void ExposeInput();
// The status the program ends with when its display went away under it.
constexpr int kDisplayLostStatus = 1;
// The display went away where the program can still run code, but no longer reach the desktop:
// the program's save runs (SetSessionEndSave), touching files only, the loss is said on stderr, and
// the process ends at once, running none of its exit handlers.
[[noreturn]] void EndSessionWithoutDisplay();
// True from then on: no message box is shown.
bool SessionEnded();
// Waits up to `time` for a message to be posted, a quit or a window to paint; false when none came.
bool WaitForPost(std::chrono::nanoseconds time);
// When a timer that fell due at `due` and was served at `now` falls due next. With catchUp (the
// desktop, where the program sleeps in grains of a few ms) it is a period after `due`, so the ticks
// that fell due during a sleep follow one another on waking and counts of ticks keep measuring
// time; ticks missed in a stall of 50 ms or more are dropped. Without (the null back end, whose
// clock stands still until the program waits) it is a period after `now`.
DWORD NextTimerDue(DWORD due, DWORD period, DWORD now, bool catchUp);
// The sleep behind NanosecondsToGrain: from the tick count `nowMs`, `fractionNs` into its
// millisecond, to the first multiple of `grain` at least `milliseconds` ahead.
int64_t GrainSleep(uint64_t nowMs, int64_t fractionNs, DWORD milliseconds, DWORD grain);
void ResetWindows();
void ResetKernel();
void ResetShell();

}  // namespace platform_internal

namespace nullbackend {
BOOL StartProcess(const char* application, const char* commandLine);
}  // namespace nullbackend

namespace sdlbackend {
// Turns pending desktop events into messages.
void PumpEvents();
// Waits for a desktop event or a post, at most `milliseconds` (INFINITE: no limit).
void WaitForEvents(DWORD milliseconds);
void NotifyPost();
bool CreateMainWindow(const char* title, bool visible);
void ShowMainWindow(bool visible);
void RaiseMainWindow();
// Shows the frame, of which only the part `changed` differs from the one shown before; false when
// the picture could not be shown (no window or texture yet).
bool Present(const uint16_t* pixels, int width, int height, const RECT& changed);
// The desktop's refresh rate in Hz (60 when unknown).
int RefreshRate();
BOOL StartProcess(const char* application, const char* commandLine);
// The handheld's virtual key for an SDL key code, 0 for keys the handheld has no code for.
UINT VirtualKeyFromKeycode(int32_t keycode);
// True where SDL's OpenGL renderer would run on a GPU: the folder holds a DRI render node
// (renderD*) and LIBGL_ALWAYS_SOFTWARE (its value, null when unset) does not ask for GL on the
// processor.
bool WantsGpuRenderer(const char* driFolder, const char* alwaysSoftware);
// True for an OpenGL renderer name (GL_RENDERER) of a rasteriser that runs on the processor.
bool IsEmulatedGl(const char* rendererName);
// False for SDL's video drivers that draw into memory only (and for none at all).
bool IsVisibleVideoDriver(const char* name);
// The frames SDL asks the sound device for at a time, from KELO_AUDIO_SAMPLES (null: unset);
// a value that is not a count from 512 to 1024 is warned about and replaced.
int AudioBufferFrames(const char* text);
void Shutdown();
}  // namespace sdlbackend

namespace nullbackend {
void ClearStartedProcesses();
}
