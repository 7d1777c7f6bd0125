#include "engine/core/power_watcher.h"

#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/byte_order.h"
#include "engine/core/main_window.h"
#include "engine/sound/sound_manager.h"
#include "platform/clock.h"
#include "platform/device.h"
#include "platform/module.h"
#include "platform/power.h"
#include "platform/threads.h"
#include "platform/window.h"

namespace {

struct WatcherArgument {
    HWND window;
    HANDLE stopEvent;
};

constexpr DWORD kMessageSize = 40;

HANDLE g_stopEvent = nullptr;
HANDLE g_watcherThread = nullptr;
HMODULE g_powerLibrary = nullptr;
CreateMsgQueueProc g_createMsgQueue = nullptr;
ReadMsgQueueProc g_readMsgQueue = nullptr;
CloseMsgQueueProc g_closeMsgQueue = nullptr;
RequestPowerNotificationsProc g_requestPowerNotifications = nullptr;
StopPowerNotificationsProc g_stopPowerNotifications = nullptr;

void ClearPowerFunctions()
{
    if (g_powerLibrary)
        FreeLibrary(g_powerLibrary);
    g_powerLibrary = nullptr;
    g_createMsgQueue = nullptr;
    g_readMsgQueue = nullptr;
    g_closeMsgQueue = nullptr;
    g_requestPowerNotifications = nullptr;
    g_stopPowerNotifications = nullptr;
}

template <typename Proc>
bool Find(const char* name, Proc* out)
{
    *out = reinterpret_cast<Proc>(GetProcAddress(g_powerLibrary, name));
    return *out != nullptr;
}

}  // namespace

bool LoadPowerFunctions()
{
    g_powerLibrary = LoadLibrary("coredll.dll");
    if (!g_powerLibrary)
        return false;
    return Find("CreateMsgQueue", &g_createMsgQueue) && Find("ReadMsgQueue", &g_readMsgQueue) &&
           Find("CloseMsgQueue", &g_closeMsgQueue) && Find("RequestPowerNotifications", &g_requestPowerNotifications) &&
           Find("StopPowerNotifications", &g_stopPowerNotifications);
}

DWORD PowerWatcherThread(void* argument)
{
    std::unique_ptr<WatcherArgument> block(static_cast<WatcherArgument*>(argument));
    MSGQUEUEOPTIONS options;
    options.dwSize = sizeof options;
    options.dwFlags = 0;
    options.dwMaxMessages = 0;
    options.cbMaxMessage = kMessageSize;
    options.bReadAccess = TRUE;
    HANDLE queue = g_createMsgQueue(nullptr, &options);
    HANDLE request = queue ? g_requestPowerNotifications(queue, PBT_TRANSITION) : nullptr;
    if (queue && request) {
        HANDLE objects[2] = {block->stopEvent, queue};
        for (;;) {
            DWORD which = WaitForMultipleObjects(2, objects, FALSE, INFINITE);
            if (which != WAIT_OBJECT_0 + 1)
                break;
            uint8_t message[kMessageSize];
            DWORD read = 0, flags = 0;
            if (!g_readMsgQueue(queue, message, sizeof message, &read, 0, &flags) || read < 8 ||
                ReadLe32(message) != PBT_TRANSITION)
                continue;
            DWORD state = ReadLe32(message + 4);
            if (state & POWER_STATE_SUSPEND) {
                g_paintThrough = true;
                if (Application* app = g_application) {
                    if (SoundManagerBase* sound = app->GetSoundManager())
                        sound->SetPaused(true);
                }
                g_suspended = true;
                g_resumeCountdown = 500;
            } else {
                // Any other transition means the system runs: waiting for one that says "on" would
                // leave the program frozen for good when that one is lost.
                g_suspended = false;
            }
        }
    }
    if (request)
        g_stopPowerNotifications(request);
    if (queue)
        g_closeMsgQueue(queue);
    return 0;
}

DWORD SleepPollThread(void* argument)
{
    std::unique_ptr<WatcherArgument> block(static_cast<WatcherArgument*>(argument));
    for (;;) {
        DWORD before = GetTickCount();
        DWORD result = WaitForSingleObject(block->stopEvent, 500);
        if (result != WAIT_TIMEOUT)
            break;
        if (GetTickCount() - before >= 750)
            PostMessage(block->window, kSleepNoticeMessage, 0, 0);
    }
    return 0;
}

void StartPowerWatcher()
{
    g_stopEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    if (!g_stopEvent)
        return;
    std::unique_ptr<WatcherArgument> block(new (std::nothrow) WatcherArgument{g_mainWindow, g_stopEvent});
    if (!block)
        return;
    OSVERSIONINFO version;
    version.dwOSVersionInfoSize = sizeof version;
    bool notifications = GetVersionEx(&version) &&
                         (version.dwMajorVersion >= 5 || (version.dwMajorVersion == 4 && version.dwMinorVersion >= 20));
    if (notifications) {
        if (LoadPowerFunctions()) {
            g_watcherThread = CreateThread(nullptr, 0, PowerWatcherThread, block.get(), 0, nullptr);
            if (g_watcherThread)
                SetThreadPriority(g_watcherThread, THREAD_PRIORITY_TIME_CRITICAL);
        }
    } else {
        g_watcherThread = CreateThread(nullptr, 0, SleepPollThread, block.get(), 0, nullptr);
    }
    // A thread that started owns its argument.
    if (g_watcherThread)
        block.release();
}

void StopPowerWatcher()
{
    if (g_watcherThread) {
        EventModify(g_stopEvent, EVENT_SET);
        WaitForSingleObject(g_watcherThread, INFINITE);
        CloseHandle(g_watcherThread);
        g_watcherThread = nullptr;
    }
    if (g_stopEvent)
        CloseHandle(g_stopEvent);
    g_stopEvent = nullptr;
    ClearPowerFunctions();
}
