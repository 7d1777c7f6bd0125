#include "platform/null/window_hooks.h"

#include <chrono>

#include "platform/common/probes_internal.h"
#include "platform/handheld_internal.h"

namespace nullbackend {

void InjectKey(UINT virtualKey, bool down)
{
    platform_internal::KeyInput(virtualKey, down);
}

void InjectChar(uint32_t character)
{
    platform_internal::CharInput(character);
}

void InjectStylus(int kind, int x, int y)
{
    platform_internal::StylusInput(kind, x, y);
}

void InjectFocus(bool gained)
{
    platform_internal::FocusInput(gained);
}

void InjectClose()
{
    platform_internal::CloseInput();
}

std::vector<MSG> QueuedMessages()
{
    return platform_internal::QueuedMessageList();
}

bool WaitForQueuedMessage(UINT message, DWORD milliseconds)
{
    return platform_internal::WaitForQueued(message, std::chrono::milliseconds(milliseconds));
}

bool IsQuitPosted()
{
    return platform_internal::QuitWasPosted();
}

int TimerCount()
{
    return platform_internal::ActiveTimerCount();
}

void ResetHandheld()
{
    platform_internal::ResetWindows();
    platform_internal::ResetDisplay();
    platform_internal::ResetShell();
    platform_internal::ResetKernel();
    ClearStartedProcesses();
    ResetCallCounts();
}

}  // namespace nullbackend
