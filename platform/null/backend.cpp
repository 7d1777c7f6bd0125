#include <chrono>

#include "platform/common/backend_table.h"
#include "platform/common/sound_device.h"
#include "platform/handheld_internal.h"
#include "platform/null/test_hooks.h"
#include "platform/threads.h"
#include "platform/window.h"

namespace nullbackend {
namespace {

// Time moves only when the program waits for it. With no timer to wait for, another thread may
// still post; when none does for a long while the window closes, so no run spins unseen for ever.
void WaitForMessages(DWORD milliseconds)
{
    if (milliseconds != INFINITE) {
        AdvanceClock(milliseconds);
    } else if (!platform_internal::WaitForPost(std::chrono::seconds(10))) {
        platform_internal::Warn("nothing left to wait for; closing the window");
        if (platform_internal::MainWindow())
            platform_internal::CloseInput();
        else
            PostQuitMessage(0);
    }
}

}  // namespace
}  // namespace nullbackend

namespace platform_internal {

// No window and no desktop: every picture counts as shown, at a refresh rate of 60 Hz.
constinit const BackendTable kNullBackend = {
    .clock = {.ticks = nullbackend::Ticks, .sleep = nullbackend::SleepFor, .standsStill = true},
    .window = {.createMain = [](const char*, bool) { return true; },
               .showMain = [](bool) {},
               .raiseMain = [] {},
               .pumpEvents = [] {},
               .wakeEvents = [] {},
               .waitForMessages = nullbackend::WaitForMessages},
    .display = {.present = [](const uint16_t*, int, int, const RECT&) { return true; }, .refreshRate = [] { return 60; }},
    .sound = {.deviceCount = nullbackend::SoundDeviceCount,
              .open = nullbackend::OpenSound,
              .close = nullbackend::CloseSound},
    .process = {.start = nullbackend::StartProcess},
    .dialog = {.showMessage = nullbackend::ShowMessage},
    .hooks = {.allocationFails = nullbackend::AllocationShouldFail,
              .fileCallFails = nullbackend::FileCallFails,
              .openDenied = nullbackend::OpenDenied,
              .countCall = nullbackend::CountCall},
    .shutdown = [] {},
};

}  // namespace platform_internal
