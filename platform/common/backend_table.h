#pragma once
// What differs between the back ends, one table of functions per area. PlatformStartup fills the
// choice once, as a program links one driver; the rest of the layer calls through Backend() and
// never asks which back end runs.
#include <cstddef>
#include <cstdint>

#include "platform/internal.h"
#include "platform/sound.h"

struct WaveOutDevice;

namespace platform_internal {

struct ClockCalls {
    DWORD (*ticks)();
    void (*sleep)(DWORD milliseconds);
    // The clock moves only when the program sleeps or a test moves it (the null back end): timers
    // do not catch up on missed ticks, and a finite wait ends only when a test passes time.
    bool standsStill;
};

struct WindowCalls {
    // False when the desktop gives no window.
    bool (*createMain)(const char* title, bool visible);
    void (*showMain)(bool visible);
    void (*raiseMain)();
    // Turns pending desktop input into messages.
    void (*pumpEvents)();
    // Wakes the wait for desktop events (waitForMessages), as a post does.
    void (*wakeEvents)();
    // GetMessage found nothing to hand out: waits for a post, at most `milliseconds` (the next
    // timer; INFINITE when none is set).
    void (*waitForMessages)(DWORD milliseconds);
};

struct DisplayCalls {
    // False when the picture could not be shown; it is sent again with the next.
    bool (*present)(const uint16_t* pixels, int width, int height, const RECT& changed);
    // In Hz.
    int (*refreshRate)();
};

struct SoundCalls {
    UINT (*deviceCount)();
    MMRESULT (*open)(WaveOutDevice* device);
    void (*close)(WaveOutDevice* device);
};

struct ProcessCalls {
    BOOL (*start)(const char* application, const char* commandLine);
};

struct DialogCalls {
    int (*showMessage)(const char* text, const char* caption);
};

// The null back end's test hooks in the layer's own paths; the desktop's refuse nothing and count
// nothing.
struct TestHooks {
    bool (*allocationFails)(size_t bytes);
    // Called as a file call starts; true, with the error to report, when it is to fail.
    bool (*fileCallFails)(FileCall call, DWORD* error);
    // Called as a file is opened, with its host path; true when it is one the user may not read.
    bool (*openDenied)(const char* hostPath);
    void (*countCall)(const char* name);
};

struct BackendTable {
    ClockCalls clock;
    WindowCalls window;
    DisplayCalls display;
    SoundCalls sound;
    ProcessCalls process;
    DialogCalls dialog;
    TestHooks hooks;
    void (*shutdown)();
};

extern const BackendTable kNullBackend;
extern const BackendTable kSdlBackend;
// The null back end until PlatformStartup chooses.
extern const BackendTable* g_backend;

inline const BackendTable& Backend()
{
    return *g_backend;
}

}  // namespace platform_internal
