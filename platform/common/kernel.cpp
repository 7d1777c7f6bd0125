#include <pthread.h>
#include <strings.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/common/backend_table.h"
#include "platform/common/probes_internal.h"
#include "platform/device.h"
#include "platform/display_settings.h"
#include "platform/handheld_internal.h"
#include "platform/internal.h"
#include "platform/module.h"
#include "platform/power.h"
#include "platform/threads.h"

using platform_internal::CountCall;

namespace {

// One lock and one wake-up for every waitable object: waits are few and short-lived.
std::mutex g_lock;
// Never destroyed: a process that exits while a thread waits on it (a child forked from the
// program, which has none of its threads, included) would wait in its destructor for ever.
std::condition_variable& g_changed = *new std::condition_variable;
// Threads in a finite wait since time last passed (null back end).
int g_timedWaiters = 0;
unsigned g_expireGeneration = 0;
int g_liveThreads = 0;
int g_loadedModules = 0;

struct Waitable;
std::set<Waitable*> g_waitables;

// Caller holds g_lock for both operations.
struct Waitable : platform_internal::KernelObject {
    Waitable()
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_waitables.insert(this);
    }
    ~Waitable() override
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_waitables.erase(this);
    }
    virtual bool IsSignalled() = 0;
    virtual void Take() {}
};

struct ThreadState {
    bool finished = false;
    int priority = THREAD_PRIORITY_NORMAL;
};

struct ThreadHandle : Waitable {
    std::shared_ptr<ThreadState> state = std::make_shared<ThreadState>();
    bool IsSignalled() override { return state->finished; }
};

struct EventHandle : Waitable {
    bool manualReset = false;
    bool signalled = false;
    unsigned pulses = 0;
    bool IsSignalled() override { return signalled; }
    void Take() override
    {
        if (!manualReset)
            signalled = false;
    }
};

struct QueueState {
    std::deque<std::vector<uint8_t>> messages;
    DWORD maxMessages = 0;
    DWORD maxSize = 0;
};

struct QueueHandle : Waitable {
    std::shared_ptr<QueueState> state = std::make_shared<QueueState>();
    bool IsSignalled() override { return !state->messages.empty(); }
};

struct NotificationHandle;
std::set<NotificationHandle*> g_notifications;

struct NotificationHandle : platform_internal::KernelObject {
    std::weak_ptr<QueueState> queue;
    ~NotificationHandle() override
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_notifications.erase(this);
    }
};

// Handles are checked against the live set before they are looked into, so a stale or foreign
// handle fails the call instead of being read.
Waitable* AsWaitable(HANDLE handle)
{
    for (Waitable* live : g_waitables) {
        if (static_cast<platform_internal::KernelObject*>(live) == handle)
            return live;
    }
    return nullptr;
}

template <typename T>
T* Checked(HANDLE handle)
{
    Waitable* live = AsWaitable(handle);
    return live ? dynamic_cast<T*>(live) : nullptr;
}

HANDLE ToHandle(platform_internal::KernelObject* object)
{
    return object;
}

struct ThreadStart {
    LPTHREAD_START_ROUTINE start;
    void* argument;
    std::shared_ptr<ThreadState> state;
};

void* RunThread(void* block)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(block));
    start->start(start->argument);
    {
        std::lock_guard<std::mutex> hold(g_lock);
        start->state->finished = true;
        --g_liveThreads;
    }
    g_changed.notify_all();
    return nullptr;
}

}  // namespace

HANDLE CreateThread(void*, size_t, LPTHREAD_START_ROUTINE start, void* argument, DWORD, DWORD* threadId)
{
    CountCall("CreateThread");
    if (!start)
        return nullptr;
    auto* handle = new ThreadHandle;
    auto* block = new ThreadStart{start, argument, handle->state};
    {
        std::lock_guard<std::mutex> hold(g_lock);
        ++g_liveThreads;
    }
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    int error = pthread_create(&thread, &attributes, RunThread, block);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        delete block;
        delete handle;
        std::lock_guard<std::mutex> hold(g_lock);
        --g_liveThreads;
        return nullptr;
    }
    if (threadId)
        *threadId = static_cast<DWORD>(reinterpret_cast<uintptr_t>(handle));
    return ToHandle(handle);
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    CountCall("SetThreadPriority");
    std::lock_guard<std::mutex> hold(g_lock);
    auto* handle = Checked<ThreadHandle>(thread);
    if (!handle || priority < 0 || priority > 7)
        return FALSE;
    handle->state->priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto* handle = Checked<ThreadHandle>(thread);
    return handle ? handle->state->priority : 0x7FFFFFFF;
}

HANDLE CreateEvent(void*, BOOL manualReset, BOOL initialState, const char* name)
{
    CountCall("CreateEvent");
    if (name)
        return nullptr;
    auto* event = new EventHandle;
    std::lock_guard<std::mutex> hold(g_lock);
    event->manualReset = manualReset != FALSE;
    event->signalled = initialState != FALSE;
    return ToHandle(event);
}

BOOL EventModify(HANDLE event, DWORD function)
{
    CountCall("EventModify");
    {
        std::lock_guard<std::mutex> hold(g_lock);
        auto* handle = Checked<EventHandle>(event);
        if (!handle)
            return FALSE;
        switch (function) {
        case EVENT_SET:
            handle->signalled = true;
            break;
        case EVENT_RESET:
            handle->signalled = false;
            return TRUE;
        case EVENT_PULSE:
            // Wakes whoever waits now; nobody who comes later sees it.
            ++handle->pulses;
            handle->signalled = false;
            break;
        default:
            return FALSE;
        }
    }
    g_changed.notify_all();
    return TRUE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds)
{
    if (waitAll || count == 0 || count > MAXIMUM_WAIT_OBJECTS || !objects)
        return WAIT_FAILED;
    std::unique_lock<std::mutex> hold(g_lock);
    std::vector<Waitable*> waitables;
    std::vector<unsigned> pulses;
    for (DWORD i = 0; i < count; ++i) {
        Waitable* live = AsWaitable(objects[i]);
        if (!live)
            return WAIT_FAILED;
        waitables.push_back(live);
        auto* event = dynamic_cast<EventHandle*>(live);
        pulses.push_back(event ? event->pulses : 0);
    }
    int taken = -1;
    auto ready = [&] {
        for (size_t i = 0; i < waitables.size(); ++i) {
            auto* event = dynamic_cast<EventHandle*>(waitables[i]);
            if (waitables[i]->IsSignalled() || (event && event->pulses != pulses[i])) {
                waitables[i]->Take();
                taken = static_cast<int>(i);
                return true;
            }
        }
        return false;
    };
    if (ready())
        return WAIT_OBJECT_0 + static_cast<DWORD>(taken);
    if (milliseconds == 0)
        return WAIT_TIMEOUT;
    if (milliseconds == INFINITE) {
        g_changed.wait(hold, ready);
    } else if (platform_internal::Backend().clock.standsStill) {
        unsigned generation = g_expireGeneration;
        ++g_timedWaiters;
        g_changed.notify_all();
        g_changed.wait(hold, [&] { return ready() || generation != g_expireGeneration; });
        if (generation == g_expireGeneration)
            --g_timedWaiters;
    } else {
        g_changed.wait_for(hold, std::chrono::milliseconds(milliseconds), ready);
    }
    return taken >= 0 ? WAIT_OBJECT_0 + static_cast<DWORD>(taken) : WAIT_TIMEOUT;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    return WaitForMultipleObjects(1, &object, FALSE, milliseconds);
}

HANDLE CreateMsgQueue(const char* name, MSGQUEUEOPTIONS* options)
{
    CountCall("CreateMsgQueue");
    if (name || !options || options->dwSize != sizeof(MSGQUEUEOPTIONS) || !options->bReadAccess ||
        options->cbMaxMessage == 0)
        return nullptr;
    auto* queue = new QueueHandle;
    std::lock_guard<std::mutex> hold(g_lock);
    queue->state->maxMessages = options->dwMaxMessages;
    queue->state->maxSize = options->cbMaxMessage;
    return ToHandle(queue);
}

BOOL ReadMsgQueue(HANDLE queue, void* buffer, DWORD size, DWORD* read, DWORD milliseconds, DWORD* flags)
{
    std::unique_lock<std::mutex> hold(g_lock);
    auto* handle = Checked<QueueHandle>(queue);
    if (!handle || !buffer || !read) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::shared_ptr<QueueState> state = handle->state;
    if (state->messages.empty() && milliseconds != 0) {
        auto filled = [&state] { return !state->messages.empty(); };
        if (milliseconds == INFINITE)
            g_changed.wait(hold, filled);
        else
            g_changed.wait_for(hold, std::chrono::milliseconds(milliseconds), filled);
    }
    if (state->messages.empty()) {
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    const std::vector<uint8_t>& message = state->messages.front();
    if (message.size() > size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, message.data(), message.size());
    *read = static_cast<DWORD>(message.size());
    if (flags)
        *flags = 0;
    state->messages.pop_front();
    return TRUE;
}

BOOL CloseMsgQueue(HANDLE queue)
{
    CountCall("CloseMsgQueue");
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (!Checked<QueueHandle>(queue))
            return FALSE;
    }
    delete static_cast<platform_internal::KernelObject*>(queue);
    return TRUE;
}

HANDLE RequestPowerNotifications(HANDLE queue, DWORD)
{
    CountCall("RequestPowerNotifications");
    std::lock_guard<std::mutex> hold(g_lock);
    auto* handle = Checked<QueueHandle>(queue);
    if (!handle)
        return nullptr;
    auto* request = new NotificationHandle;
    request->queue = handle->state;
    g_notifications.insert(request);
    return ToHandle(request);
}

BOOL StopPowerNotifications(HANDLE request)
{
    CountCall("StopPowerNotifications");
    {
        std::lock_guard<std::mutex> hold(g_lock);
        bool known = false;
        for (NotificationHandle* live : g_notifications)
            known = known || static_cast<platform_internal::KernelObject*>(live) == request;
        if (!known)
            return FALSE;
    }
    delete static_cast<platform_internal::KernelObject*>(request);
    return TRUE;
}

namespace {
int g_coredll;  // the one library the system answers
}

HMODULE LoadLibrary(const char* name)
{
    CountCall("LoadLibrary");
    if (!name || strcasecmp(name, "coredll.dll") != 0)
        return nullptr;
    std::lock_guard<std::mutex> hold(g_lock);
    ++g_loadedModules;
    return &g_coredll;
}

BOOL FreeLibrary(HMODULE module)
{
    CountCall("FreeLibrary");
    std::lock_guard<std::mutex> hold(g_lock);
    if (module != &g_coredll || g_loadedModules == 0)
        return FALSE;
    --g_loadedModules;
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    CountCall("GetProcAddress");
    if (module != &g_coredll || !name)
        return nullptr;
    const DeviceProfile& profile = GetDeviceProfile();
    if (profile.displaySettings && strcmp(name, "ChangeDisplaySettingsEx") == 0)
        return reinterpret_cast<FARPROC>(&ChangeDisplaySettingsEx);
    if (!profile.powerFunctions)
        return nullptr;
    if (strcmp(name, "CreateMsgQueue") == 0)
        return reinterpret_cast<FARPROC>(&CreateMsgQueue);
    if (strcmp(name, "ReadMsgQueue") == 0)
        return reinterpret_cast<FARPROC>(&ReadMsgQueue);
    if (strcmp(name, "CloseMsgQueue") == 0)
        return reinterpret_cast<FARPROC>(&CloseMsgQueue);
    if (strcmp(name, "RequestPowerNotifications") == 0)
        return reinterpret_cast<FARPROC>(&RequestPowerNotifications);
    if (strcmp(name, "StopPowerNotifications") == 0)
        return reinterpret_cast<FARPROC>(&StopPowerNotifications);
    return nullptr;
}

namespace platform_internal {

void ResetKernel()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_loadedModules = 0;
}

void PostPowerTransition(DWORD flags, const char* stateName)
{
    std::vector<uint8_t> message;
    auto put32 = [&message](DWORD value) {
        for (int i = 0; i < 4; ++i)
            message.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    size_t nameLength = strlen(stateName) + 1;
    put32(PBT_TRANSITION);
    put32(flags);
    put32(static_cast<DWORD>(nameLength * 2));
    for (size_t i = 0; i < nameLength; ++i) {
        message.push_back(static_cast<uint8_t>(stateName[i]));
        message.push_back(0);
    }
    {
        std::lock_guard<std::mutex> hold(g_lock);
        for (NotificationHandle* request : g_notifications) {
            std::shared_ptr<QueueState> queue = request->queue.lock();
            if (!queue || message.size() > queue->maxSize)
                continue;
            if (queue->maxMessages && queue->messages.size() >= queue->maxMessages)
                continue;
            queue->messages.push_back(message);
        }
    }
    g_changed.notify_all();
}

bool EndTimedWaits(std::chrono::milliseconds patience, const std::function<void()>& passTime)
{
    std::unique_lock<std::mutex> hold(g_lock);
    if (!g_changed.wait_for(hold, patience, [] { return g_timedWaiters > 0; }))
        return false;
    passTime();
    ++g_expireGeneration;
    g_timedWaiters = 0;
    g_changed.notify_all();
    return true;
}

int LiveThreads()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_liveThreads;
}

int LoadedModules()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_loadedModules;
}

}  // namespace platform_internal
