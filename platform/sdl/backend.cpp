#include <chrono>

#include "platform/common/backend_table.h"
#include "platform/common/sound_device.h"
#include "platform/handheld_internal.h"

namespace sdlbackend {
namespace {

// The program wakes on multiples of the grain of the tick counter; waits for a timer at most
// kShortWait long do not watch the desktop's events (both in ms).
constexpr DWORD kTimerGrain = 5;
constexpr DWORD kShortWait = 10;

// Waking a desktop process costs far more than a handheld's timer tick, so the program wakes only
// when the tick counter reaches a multiple of the grain; ticks that fell due meanwhile follow one
// another. Fixed wake times keep a frame interval that is a multiple of the grain exact. A short
// wait sleeps on the queue alone; the desktop's events wait for the next pump.
void WaitForMessages(DWORD milliseconds)
{
    if (milliseconds <= kShortWait)
        platform_internal::WaitForPost(std::chrono::nanoseconds(NanosecondsToGrain(milliseconds, kTimerGrain)));
    else
        WaitForEvents(milliseconds);
}

}  // namespace
}  // namespace sdlbackend

namespace platform_internal {

constinit const BackendTable kSdlBackend = {
    .clock = {.ticks = sdlbackend::Ticks, .sleep = sdlbackend::SleepFor, .standsStill = false},
    .window = {.createMain = sdlbackend::CreateMainWindow,
               .showMain = sdlbackend::ShowMainWindow,
               .raiseMain = sdlbackend::RaiseMainWindow,
               .pumpEvents = sdlbackend::PumpEvents,
               .wakeEvents = sdlbackend::NotifyPost,
               .waitForMessages = sdlbackend::WaitForMessages},
    .display = {.present = sdlbackend::Present, .refreshRate = sdlbackend::RefreshRate},
    .sound = {.deviceCount = sdlbackend::SoundDeviceCount,
              .open = sdlbackend::OpenSound,
              .close = sdlbackend::CloseSound},
    .process = {.start = sdlbackend::StartProcess},
    .dialog = {.showMessage = sdlbackend::ShowMessage},
    .hooks = {.allocationFails = [](size_t) { return false; },
              .fileCallFails = [](FileCall, DWORD*) { return false; },
              .openDenied = [](const char*) { return false; },
              .countCall = [](const char*) {}},
    .shutdown = sdlbackend::Shutdown,
};

}  // namespace platform_internal
