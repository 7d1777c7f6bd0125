#pragma once
// What the null back end's test interface (platform/null/*hooks*) reads of the state the common
// sources keep, and the two things it makes them do; nothing else calls these.
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "platform/base.h"
#include "platform/window.h"

namespace platform_internal {

// The window side (window.cpp): the message queue, oldest first, the quit and the timers.
std::vector<MSG> QueuedMessageList();
// Waits up to `time` until a message with that code is queued.
bool WaitForQueued(UINT message, std::chrono::milliseconds time);
bool QuitWasPosted();
int ActiveTimerCount();

// The kernel (kernel.cpp).
// A power transition message to every queue that asked for power notifications.
void PostPowerTransition(DWORD flags, const char* stateName);
// With a clock that stands still a finite wait lasts until it is ended here. Waits (real time, up
// to `patience`) until a thread is in such a wait; then, before any wait can start or end, calls
// `passTime` and ends every such wait with WAIT_TIMEOUT. False when no thread came to wait.
bool EndTimedWaits(std::chrono::milliseconds patience, const std::function<void()>& passTime);
int LiveThreads();
int LoadedModules();

// The display (display.cpp): its orientation (DMDO_*) and GAPI's state.
DWORD DisplayOrientation();
bool GapiIsOpen();
bool GapiIsSuspended();

// The shell and the input method (shell.cpp).
DWORD FullScreenState();
DWORD InputPanelFlags();
bool KeysGrabbed();
std::vector<std::pair<BYTE, bool>> KeysSent();
// The input method takes the next keys and holds `virtualKey` (0: it takes none).
void HoldImeKey(UINT virtualKey);

}  // namespace platform_internal
