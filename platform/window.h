#pragma once
// Windows, the message queue, painting and the window timer. Messages are read by one thread (the
// program's main thread); PostMessage may be called from any thread. The first top-level window
// is the handheld's one full-screen window: on the sdl back end it is the desktop window that
// shows the picture, and the back end turns its events into the messages below.
#include "platform/base.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, uintptr_t, DWORD);
using ATOM = WORD;

constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_USER = 0x0400;

// WM_ACTIVATE's low word.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;
// WM_SETTINGCHANGE's wParam after a display change.
constexpr WPARAM SETTINGCHANGE_RESET = 0x3002;
// The button state in the mouse messages' wParam.
constexpr WPARAM MK_LBUTTON = 0x0001;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
};

// 0 when a class of that name exists or the class is incomplete.
ATOM RegisterClass(const WNDCLASS* windowClass);
// Sends WM_CREATE before it returns. CW_USEDEFAULT places the window over the whole screen.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
// Another running instance of the program, found through a lock file in the save folder (class
// and title name the lock), stands in for the handheld's window search; its window is answered by
// a handle that only SetForegroundWindow accepts. Null when no other instance runs.
HWND FindWindow(const char* className, const char* title);
BOOL ShowWindow(HWND window, int command);
// Sends WM_PAINT at once when the window needs painting.
BOOL UpdateWindow(HWND window);
BOOL SetForegroundWindow(HWND window);
HWND GetDesktopWindow();
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Waits for the next message: posted messages first, then the quit message, then WM_PAINT for a
// window that needs painting, then WM_TIMER for a timer that is due. FALSE for WM_QUIT.
BOOL GetMessage(MSG* msg, HWND window, UINT first, UINT last);
// The handheld's translation: a Backspace key press also posts WM_CHAR 8. (Characters typed on
// the desktop keyboard arrive as WM_CHAR by themselves.)
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// What the program saves when its session ends where no close can run (the display lost): the same
// as a close saves, touching no window; true when saved. Null (the start) saves nothing. A session
// that ends by a signal (SIGTERM, SIGINT, SIGHUP) closes the window instead, as the desktop's close does.
void SetSessionEndSave(bool (*save)());
// WM_PAINT validates the window; everything else answers 0.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Timers post WM_TIMER with the id in wParam; the callback form is not supported (null only).
uintptr_t SetTimer(HWND window, uintptr_t id, UINT milliseconds, TIMERPROC callback);
BOOL KillTimer(HWND window, uintptr_t id);

// The program's string and icon resources. The program registers its strings at start-up, as the
// handheld's resource compiler would have built them in; no icons exist.
void SetStringResource(UINT id, const char* text);
int LoadString(HINSTANCE instance, UINT id, char* buffer, int size);
HICON LoadIcon(HINSTANCE instance, UINT id);

// Sends a key to the foreground window as the system would; the virtual handheld records it.
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;
void keybd_event(BYTE virtualKey, BYTE scanCode, DWORD flags, uintptr_t extra);
