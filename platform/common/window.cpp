#include <fcntl.h>
#include <limits.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/common/backend_table.h"
#include "platform/common/probes_internal.h"
#include "platform/device.h"
#include "platform/files.h"
#include "platform/gdi.h"
#include "platform/handheld_internal.h"
#include "platform/internal.h"
#include "platform/keys.h"
#include "platform/registry.h"
#include "platform/threads.h"
#include "platform/window.h"

using platform_internal::Backend;
using platform_internal::CountCall;

struct WindowRecord {
    enum Kind { Normal, Desktop, Foreign } kind = Normal;
    std::string className;
    std::string title;
    WNDPROC proc = nullptr;
    RECT rect;
    bool visible = false;
    bool needsPaint = false;
};

namespace {

// On the desktop a timer that falls this far behind (ms) has the ticks it missed dropped rather
// than delivered.
constexpr int32_t kMostLate = 50;

struct ClassRecord {
    WNDCLASS info;
    std::string name;
};

struct Timer {
    HWND window;
    uintptr_t id;
    DWORD period;
    DWORD due;
};

// The queue is shared with other threads (PostMessage); windows, classes and timers belong to
// the main thread, but PostMessage checks its window under the same lock.
std::mutex g_lock;
std::condition_variable g_posted;
std::deque<MSG> g_queue;
bool g_quit = false;
int g_quitCode = 0;
std::vector<std::unique_ptr<WindowRecord>> g_windows;
std::vector<ClassRecord> g_classes;
std::vector<Timer> g_timers;
HWND g_main = nullptr;
std::map<UINT, std::string> g_strings;
WindowRecord MakeRecord(WindowRecord::Kind kind)
{
    WindowRecord record;
    record.kind = kind;
    return record;
}
WindowRecord g_desktop = MakeRecord(WindowRecord::Desktop);
WindowRecord g_foreign = MakeRecord(WindowRecord::Foreign);
// Lock files this process holds, one per window class it searched for.
std::map<std::string, int> g_instanceLocks;

// Caller holds g_lock.
WindowRecord* FindRecord(HWND window)
{
    if (!window)
        return nullptr;
    for (auto& record : g_windows) {
        if (record.get() == window)
            return record.get();
    }
    return nullptr;
}

WindowRecord* Lookup(HWND window)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return FindRecord(window);
}

std::string InstanceLockPath(const char* className)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Morvalent\\Kelo", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::string();
    char value[PATH_MAX] = {};  // the registry refuses a save folder longer than this
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    LONG result = RegQueryValueEx(key, "SaveDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || value[0] == 0)
        return std::string();
    std::string folder = hostpath::ToHost(value);
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    std::string name;
    for (const char* p = className; p && *p; ++p)
        name += (isalnum(static_cast<unsigned char>(*p)) || *p == '_') ? *p : '_';
    return folder + "/" + (name.empty() ? std::string("window") : name) + ".lock";
}

LRESULT Send(WindowRecord* record, UINT message, WPARAM wParam, LPARAM lParam)
{
    return record && record->proc ? record->proc(record, message, wParam, lParam) : 0;
}

}  // namespace

ATOM RegisterClass(const WNDCLASS* windowClass)
{
    CountCall("RegisterClass");
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName || !windowClass->lpszClassName[0])
        return 0;
    std::lock_guard<std::mutex> hold(g_lock);
    for (const ClassRecord& record : g_classes) {
        if (strcasecmp(record.name.c_str(), windowClass->lpszClassName) == 0)
            return 0;
    }
    ClassRecord record{*windowClass, windowClass->lpszClassName};
    g_classes.push_back(record);
    return static_cast<ATOM>(0xC000 + g_classes.size());
}

HWND CreateWindowEx(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                    HWND parent, HMENU, HINSTANCE, void* param)
{
    CountCall("CreateWindowEx");
    if (!className)
        return nullptr;
    auto record = std::make_unique<WindowRecord>();
    {
        std::lock_guard<std::mutex> hold(g_lock);
        const ClassRecord* found = nullptr;
        for (const ClassRecord& candidate : g_classes) {
            if (strcasecmp(candidate.name.c_str(), className) == 0)
                found = &candidate;
        }
        if (!found)
            return nullptr;
        record->className = found->name;
        record->proc = found->info.lpfnWndProc;
    }
    record->title = title ? title : "";
    if (x == CW_USEDEFAULT || width == CW_USEDEFAULT) {
        record->rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else {
        record->rect = RECT{x, y, x + width, y + height};
    }
    record->visible = (style & WS_VISIBLE) != 0;
    record->needsPaint = true;
    bool isMain = !parent && !g_main;
    if (isMain && !Backend().window.createMain(record->title.c_str(), record->visible))
        return nullptr;
    WindowRecord* window = record.get();
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_windows.push_back(std::move(record));
        if (isMain)
            g_main = window;
    }
    if (Send(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(param)) == -1) {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_main == window)
            g_main = nullptr;
        for (size_t i = 0; i < g_windows.size(); ++i) {
            if (g_windows[i].get() == window) {
                g_windows.erase(g_windows.begin() + static_cast<long>(i));
                break;
            }
        }
        return nullptr;
    }
    return window;
}

// The search stands in through a lock: whoever holds the class's lock file in the save folder is
// the running instance. Taking the lock here is what makes this process the one later searches find.
HWND FindWindow(const char* className, const char* title)
{
    CountCall("FindWindow");
    {
        std::lock_guard<std::mutex> hold(g_lock);
        for (auto& record : g_windows) {
            if (className && strcasecmp(record->className.c_str(), className) != 0)
                continue;
            if (title && record->title != title)
                continue;
            return record.get();
        }
    }
    std::string path = InstanceLockPath(className);
    if (path.empty() || g_instanceLocks.count(path))
        return nullptr;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        platform_internal::Warn("cannot open %s: %s; not checking for another instance", path.c_str(), strerror(errno));
        return nullptr;
    }
    // A record lock belongs to this process alone: a child forked from it (SDL's message box) does not
    // inherit it, so nothing but the running program ever keeps a later start out.
    struct flock whole{};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fcntl(fd, F_SETLK, &whole) == 0) {
        g_instanceLocks[path] = fd;
        return nullptr;
    }
    int error = errno;
    close(fd);
    if (error == EAGAIN || error == EACCES)
        return &g_foreign;
    platform_internal::Warn("cannot lock %s: %s; not checking for another instance", path.c_str(), strerror(error));
    return nullptr;
}

BOOL ShowWindow(HWND window, int command)
{
    CountCall("ShowWindow");
    WindowRecord* record = Lookup(window);
    if (!record)
        return FALSE;
    BOOL wasVisible = record->visible ? TRUE : FALSE;
    record->visible = command != SW_HIDE;
    if (window == g_main)
        Backend().window.showMain(record->visible);
    return wasVisible;
}

BOOL UpdateWindow(HWND window)
{
    CountCall("UpdateWindow");
    WindowRecord* record = Lookup(window);
    if (!record)
        return FALSE;
    if (record->needsPaint && record->visible)
        Send(record, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL SetForegroundWindow(HWND window)
{
    CountCall("SetForegroundWindow");
    // The handheld accepts the window handle with its lowest bit set, which asks for its owned
    // windows to come forward too.
    auto* plain = reinterpret_cast<WindowRecord*>(reinterpret_cast<uintptr_t>(window) & ~uintptr_t(1));
    if (plain == &g_foreign || plain == &g_desktop)
        return TRUE;
    if (!Lookup(plain))
        return FALSE;
    if (plain == g_main)
        Backend().window.raiseMain();
    return TRUE;
}

HWND GetDesktopWindow()
{
    return &g_desktop;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    CountCall("MoveWindow");
    WindowRecord* record = Lookup(window);
    if (!record || width < 0 || height < 0)
        return FALSE;
    record->rect = RECT{x, y, x + width, y + height};
    if (repaint)
        record->needsPaint = true;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    WindowRecord* record = Lookup(window);
    if (!record || !rect)
        return FALSE;
    *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL)
{
    CountCall("InvalidateRect");
    WindowRecord* record = Lookup(window ? window : g_main);
    if (!record)
        return FALSE;
    record->needsPaint = true;
    g_posted.notify_all();
    Backend().window.wakeEvents();
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    CountCall("BeginPaint");
    WindowRecord* record = Lookup(window);
    if (!record || !paint)
        return nullptr;
    record->needsPaint = false;
    paint->hdc = GetDC(window);
    paint->fErase = FALSE;
    GetClientRect(window, &paint->rcPaint);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    CountCall("EndPaint");
    if (!paint || !paint->hdc)
        return FALSE;
    ReleaseDC(window, paint->hdc);
    return TRUE;
}

BOOL GetMessage(MSG* msg, HWND, UINT, UINT)
{
    if (!msg)
        return FALSE;
    for (;;) {
        Backend().window.pumpEvents();
        DWORD wait = INFINITE;
        {
            std::lock_guard<std::mutex> hold(g_lock);
            if (!g_queue.empty()) {
                *msg = g_queue.front();
                g_queue.pop_front();
                return msg->message != WM_QUIT;
            }
            if (g_quit) {
                g_quit = false;
                *msg = MSG();
                msg->message = WM_QUIT;
                msg->wParam = static_cast<WPARAM>(g_quitCode);
                msg->time = GetTickCount();
                return FALSE;
            }
            for (auto& record : g_windows) {
                if (record->needsPaint && record->visible) {
                    *msg = MSG();
                    msg->hwnd = record.get();
                    msg->message = WM_PAINT;
                    msg->time = GetTickCount();
                    return TRUE;
                }
            }
            DWORD now = GetTickCount();
            Timer* next = nullptr;
            for (Timer& timer : g_timers) {
                if (!next || static_cast<int32_t>(timer.due - next->due) < 0)
                    next = &timer;
            }
            if (next) {
                int32_t left = static_cast<int32_t>(next->due - now);
                if (left <= 0) {
                    *msg = MSG();
                    msg->hwnd = next->window;
                    msg->message = WM_TIMER;
                    msg->wParam = next->id;
                    msg->time = now;
                    next->due = platform_internal::NextTimerDue(next->due, next->period, now,
                                                                !Backend().clock.standsStill);
                    return TRUE;
                }
                wait = static_cast<DWORD>(left);
            }
        }
        Backend().window.waitForMessages(wait);
    }
}

// The character is the next message taken, ahead of whatever input came after its key: a slow
// frame with the next keys already queued must not type them before it.
BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN || msg->wParam != VK_BACK)
        return FALSE;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (msg->hwnd && !FindRecord(msg->hwnd))
            return FALSE;
        MSG typed = *msg;
        typed.message = WM_CHAR;
        typed.wParam = 8;
        typed.time = GetTickCount();
        g_queue.push_front(typed);
    }
    g_posted.notify_all();
    Backend().window.wakeEvents();
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg)
        return 0;
    WindowRecord* record = Lookup(msg->hwnd);
    if (!record)
        return 0;
    LRESULT result = Send(record, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_TIMER)
        platform_internal::AfterTimerMessage();
    return result;
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (window && !FindRecord(window))
            return FALSE;
        MSG msg;
        msg.hwnd = window;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        msg.time = GetTickCount();
        g_queue.push_back(msg);
    }
    g_posted.notify_all();
    Backend().window.wakeEvents();
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    CountCall("PostQuitMessage");
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_quit = true;
        g_quitCode = exitCode;
    }
    g_posted.notify_all();
    Backend().window.wakeEvents();
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM, LPARAM)
{
    CountCall("DefWindowProc");
    if (message == WM_PAINT) {
        if (WindowRecord* record = Lookup(window))
            record->needsPaint = false;
    }
    return 0;
}

uintptr_t SetTimer(HWND window, uintptr_t id, UINT milliseconds, TIMERPROC callback)
{
    CountCall("SetTimer");
    std::lock_guard<std::mutex> hold(g_lock);
    if (callback || !FindRecord(window))
        return 0;
    DWORD period = milliseconds ? milliseconds : 1;
    DWORD due = GetTickCount() + period;
    for (Timer& timer : g_timers) {
        if (timer.window == window && timer.id == id) {
            timer.period = period;
            timer.due = due;
            return id ? id : 1;
        }
    }
    g_timers.push_back(Timer{window, id, period, due});
    return id ? id : 1;
}

BOOL KillTimer(HWND window, uintptr_t id)
{
    CountCall("KillTimer");
    std::lock_guard<std::mutex> hold(g_lock);
    for (size_t i = 0; i < g_timers.size(); ++i) {
        if (g_timers[i].window == window && g_timers[i].id == id) {
            g_timers.erase(g_timers.begin() + static_cast<long>(i));
            return TRUE;
        }
    }
    return FALSE;
}

void SetStringResource(UINT id, const char* text)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (text)
        g_strings[id] = text;
    else
        g_strings.erase(id);
}

int LoadString(HINSTANCE, UINT id, char* buffer, int size)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto found = g_strings.find(id);
    if (found == g_strings.end() || !buffer || size <= 0)
        return 0;
    size_t n = std::min(found->second.size(), static_cast<size_t>(size - 1));
    memcpy(buffer, found->second.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

HICON LoadIcon(HINSTANCE, UINT)
{
    CountCall("LoadIcon");
    return nullptr;
}

namespace platform_internal {

bool WaitForPost(std::chrono::nanoseconds time)
{
    std::unique_lock<std::mutex> hold(g_lock);
    return g_posted.wait_for(hold, time, [] {
        if (!g_queue.empty() || g_quit)
            return true;
        for (auto& record : g_windows) {
            if (record->needsPaint && record->visible)
                return true;
        }
        return false;
    });
}

int64_t GrainSleep(uint64_t nowMs, int64_t fractionNs, DWORD milliseconds, DWORD grain)
{
    // A tenth of a millisecond past the boundary, so the counter has surely turned on waking.
    constexpr int64_t kPast = 100000;
    grain = std::max<DWORD>(grain, 1);
    uint64_t target = nowMs + milliseconds;
    target += (grain - target % grain) % grain;
    return static_cast<int64_t>(target - nowMs) * 1000000 - fractionNs + kPast;
}

DWORD NextTimerDue(DWORD due, DWORD period, DWORD now, bool catchUp)
{
    if (!catchUp || static_cast<int32_t>(now - due) >= kMostLate)
        return now + period;
    return due + period;
}

HWND MainWindow()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_main;
}

void KeyInput(UINT virtualKey, bool down)
{
    if (HWND main = MainWindow()) {
        LPARAM flags = down ? 1 : static_cast<LPARAM>(0xC0000001u);
        PostMessage(main, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, flags);
    }
}

void CharInput(uint32_t character)
{
    if (HWND main = MainWindow())
        PostMessage(main, WM_CHAR, character, 1);
}

void StylusInput(int kind, int x, int y)
{
    HWND main = MainWindow();
    if (!main)
        return;
    x = std::max(0, std::min(x, DisplayWidth() - 1));
    y = std::max(0, std::min(y, DisplayHeight() - 1));
    LPARAM point = MAKELPARAM(static_cast<unsigned>(x), static_cast<unsigned>(y));
    if (kind == 1)
        PostMessage(main, WM_LBUTTONDOWN, MK_LBUTTON, point);
    else if (kind == 2)
        PostMessage(main, WM_LBUTTONUP, 0, point);
    else if (kind == 3)
        PostMessage(main, WM_MOUSEMOVE, MK_LBUTTON, point);
}

void FocusInput(bool gained)
{
    if (HWND main = MainWindow()) {
        PostMessage(main, WM_ACTIVATE, gained ? WA_ACTIVE : WA_INACTIVE, 0);
        PostMessage(main, gained ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
    }
}

void CloseInput()
{
    if (HWND main = MainWindow())
        PostMessage(main, WM_DESTROY, 0, 0);
}

void ExposeInput()
{
    if (HWND main = MainWindow())
        InvalidateRect(main, nullptr, FALSE);
}

void ResetWindows()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_queue.clear();
    g_quit = false;
    g_quitCode = 0;
    g_windows.clear();
    g_classes.clear();
    g_timers.clear();
    g_main = nullptr;
}

std::vector<MSG> QueuedMessageList()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return std::vector<MSG>(g_queue.begin(), g_queue.end());
}

bool WaitForQueued(UINT message, std::chrono::milliseconds time)
{
    std::unique_lock<std::mutex> hold(g_lock);
    return g_posted.wait_for(hold, time, [message] {
        for (const MSG& msg : g_queue) {
            if (msg.message == message)
                return true;
        }
        return false;
    });
}

bool QuitWasPosted()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_quit;
}

int ActiveTimerCount()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return static_cast<int>(g_timers.size());
}

}  // namespace platform_internal
