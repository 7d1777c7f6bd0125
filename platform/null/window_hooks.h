#pragma once
// The null back end's test interface for the window side: input, probes, power, counted calls.
// The device profile (device.h) answers the probes; SetDeviceProfile also resets the display's
// orientation to the profile's.
#include <string>
#include <vector>

#include "platform/base.h"
#include "platform/window.h"

namespace nullbackend {

// Everything of the window side back to a fresh start: windows, classes, queue, timers, quit,
// display picture and counts, GAPI, shell, input method, processes, counted calls.
void ResetHandheld();

// Input as the drivers deliver it to the main window (posted; TranslateMessage adds WM_CHAR 8 to a
// Backspace press). Stylus kinds: 1 down, 2 up, 3 move, in display pixels.
void InjectKey(UINT virtualKey, bool down);
void InjectChar(uint32_t character);
void InjectStylus(int kind, int x, int y);
void InjectFocus(bool gained);
void InjectClose();

// The messages waiting in the queue, oldest first.
std::vector<MSG> QueuedMessages();
// Waits up to `milliseconds` of real time until a message with that code is queued.
bool WaitForQueuedMessage(UINT message, DWORD milliseconds);
bool IsQuitPosted();
int TimerCount();

int CallCount(const char* name);
void ResetCallCounts();

// Shell, input panel and key grab as last set.
DWORD LastFullScreenState();
bool IsInputPanelShown();
bool AreKeysGrabbed();
std::vector<std::pair<BYTE, bool>> SentKeys();

// The input method takes the next keys and holds `virtualKey` (0: it takes none).
void SetImeKey(UINT virtualKey);

// The user turns the display (DMDO_*), as the system's own settings would.
void TurnDisplay(DWORD orientation);
DWORD CurrentOrientation();
bool IsGapiOpen();
bool IsGapiSuspended();

// Programs started with CreateProcess ("application|command line"); a failing start on request.
std::vector<std::string> StartedProcesses();
void FailProcessStarts(bool fail);

// Power: a transition message to every queue that asked for power notifications.
void SimulatePowerSuspend();
void SimulatePowerOn();
// Waits (real time, up to 5 s) until a thread is in a wait with a finite timeout, moves the clock
// by `milliseconds` and ends that wait with WAIT_TIMEOUT; false when no thread came to wait.
bool SimulateSleepGap(DWORD milliseconds);
int LiveThreadCount();
int LoadedModuleCount();

}  // namespace nullbackend
