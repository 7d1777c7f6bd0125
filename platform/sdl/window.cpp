#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/handheld_internal.h"
#include "platform/internal.h"
#include "platform/keys.h"
#include "platform/sdl/full_screen.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/picture_fit.h"
#include "platform/sdl/session_end.h"
#include "platform/sdl/window_picture.h"
#include "platform/threads.h"

namespace sdlbackend {
namespace {

SDL_Window* g_window = nullptr;
Uint32 g_wakeEvent = 0;
bool g_buttonHeld = false;
bool g_closeSent = false;
constexpr Uint64 kPumpInterval = 8;  // ms between two looks at the desktop's events
Uint64 g_lastPump = 0;

void SendText(const char* text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        uint32_t code = *p;
        int extra = 0;
        if (code >= 0xF0)
            code &= 0x07, extra = 3;
        else if (code >= 0xE0)
            code &= 0x0F, extra = 2;
        else if (code >= 0xC0)
            code &= 0x1F, extra = 1;
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p)
            code = (code << 6) | (*p & 0x3F);
        platform_internal::CharInput(code);
    }
}

void Translate(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        if (!g_closeSent) {
            g_closeSent = true;
            platform_internal::CloseInput();
        }
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            if (!g_closeSent) {
                g_closeSent = true;
                platform_internal::CloseInput();
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            platform_internal::FocusInput(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (g_buttonHeld) {
                g_buttonHeld = false;
                platform_internal::StylusInput(2, 0, 0);
            }
            platform_internal::FocusInput(false);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            RefreshPicture();
            platform_internal::ExposeInput();
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // F11 is the desktop's, not the handheld's: it never reaches the program.
        if (event.key.keysym.sym == SDLK_F11) {
            if (event.type == SDL_KEYDOWN && !event.key.repeat) {
                SetFullScreen(g_window, !IsFullScreen());
                RefreshPicture();
            }
            break;
        }
        if (UINT vk = VirtualKeyFromKeycode(event.key.keysym.sym)) {
            platform_internal::KeyInput(vk, event.type == SDL_KEYDOWN);
            // A keyboard's Return also comes as a character, as the system's key translation
            // sends it (SDL's text has none); the keypad's Enter stays the bare action key.
            if (event.key.keysym.sym == SDLK_RETURN && event.type == SDL_KEYDOWN)
                platform_internal::CharInput('\r');
        }
        break;
    case SDL_TEXTINPUT:
        SendText(event.text.text);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (!down && !g_buttonHeld)
                break;
            g_buttonHeld = down;
            int x, y;
            PointToDevice(event.button.x, event.button.y, &x, &y);
            platform_internal::StylusInput(down ? 1 : 2, x, y);
        }
        break;
    case SDL_MOUSEMOTION:
        // A stylus exists only while it touches.
        if (g_buttonHeld) {
            int x, y;
            PointToDevice(event.motion.x, event.motion.y, &x, &y);
            platform_internal::StylusInput(3, x, y);
        }
        break;
    default:
        break;
    }
}

}  // namespace

SDL_Window* GameWindow()
{
    return g_window;
}

UINT VirtualKeyFromKeycode(int32_t keycode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return static_cast<UINT>('A' + (keycode - SDLK_a));
    if (keycode >= SDLK_0 && keycode <= SDLK_9)
        return static_cast<UINT>('0' + (keycode - SDLK_0));
    if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9)
        return static_cast<UINT>('1' + (keycode - SDLK_KP_1));
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
        return VK_F1 + static_cast<UINT>(keycode - SDLK_F1);
    switch (keycode) {
    case SDLK_KP_0:
        return '0';
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_ESCAPE:
        // A desktop player backs out with Escape: it stands for the right soft key, as F2 does;
        // the handheld's own Escape code, which the engine ignores, never comes from here.
        return VK_F2;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_LGUI:
        return VK_LWIN;
    case SDLK_RGUI:
        return VK_RWIN;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_QUOTE:
        return VK_APOSTROPHE;
    default:
        return 0;
    }
}

bool IsVisibleVideoDriver(const char* name)
{
    if (!name || !name[0])
        return false;
    // SDL's drivers that draw into memory only: a window there is one nobody sees.
    static const char* const kHidden[] = {"offscreen", "dummy", "evdev"};
    for (const char* hidden : kHidden) {
        if (SDL_strcasecmp(name, hidden) == 0)
            return false;
    }
    return true;
}

bool CreateMainWindow(const char* title, bool visible)
{
    WatchSessionSignals();
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        platform_internal::Warn("no display to open a window on (%s); KELO_HEADLESS=1 runs without one", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!IsVisibleVideoDriver(driver)) {
        platform_internal::Warn("no display to open a window on (SDL's \"%s\" video driver shows nothing); "
                                "KELO_HEADLESS=1 runs without one",
                                driver ? driver : "");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    WatchDisplay();
    if (!g_wakeEvent)
        g_wakeEvent = SDL_RegisterEvents(1);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    ChoosePictureRoute();
    int width = platform_internal::DisplayWidth();
    int height = platform_internal::DisplayHeight();
    SDL_Rect usable;
    bool known = SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0;
    PictureRect place{0, 0, width, height};
    if (known)
        place = FitPicture(usable.x, usable.y, usable.w, usable.h, width, height);
    Uint32 flags = SDL_WINDOW_RESIZABLE | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    g_window = SDL_CreateWindow(title && title[0] ? title : "Kelo", known ? place.x : SDL_WINDOWPOS_CENTERED,
                                known ? place.y : SDL_WINDOWPOS_CENTERED, place.w, place.h, flags);
    if (!g_window) {
        platform_internal::Warn("cannot open a window: %s", SDL_GetError());
        return false;
    }
    // The frame the window manager adds must fit as well; once its size is known the picture is
    // fitted again inside what is left.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (known && SDL_GetWindowBordersSize(g_window, &top, &left, &bottom, &right) == 0 &&
        (top > 0 || left > 0 || bottom > 0 || right > 0)) {
        PictureRect inner = FitPicture(usable.x + left, usable.y + top, usable.w - left - right,
                                       usable.h - top - bottom, width, height);
        if (inner.w > 0 && inner.h > 0) {
            SDL_SetWindowSize(g_window, inner.w, inner.h);
            SDL_SetWindowPosition(g_window, inner.x, inner.y);
        }
    }
    if (!OpenPicture(g_window)) {
        platform_internal::Warn("cannot draw into the window: %s", SDL_GetError());
        SDL_DestroyWindow(g_window);
        g_window = nullptr;
        return false;
    }
    SDL_StartTextInput();
    if (const char* full = getenv("KELO_FULLSCREEN"); full && SDL_strcmp(full, "1") == 0)
        SetFullScreen(g_window, true);
    g_closeSent = false;
    g_buttonHeld = false;
    RefreshPicture();
    return true;
}

void ShowMainWindow(bool visible)
{
    if (!g_window)
        return;
    if (visible)
        SDL_ShowWindow(g_window);
    else
        SDL_HideWindow(g_window);
}

void RaiseMainWindow()
{
    if (g_window)
        SDL_RaiseWindow(g_window);
}

bool Present(const uint16_t* pixels, int width, int height, const RECT& changed)
{
    return ShowPicture(pixels, width, height, changed.left, changed.top, changed.right, changed.bottom);
}

int RefreshRate()
{
    static int rate = 0;
    if (rate == 0) {
        SDL_DisplayMode mode;
        int display = g_window ? SDL_GetWindowDisplayIndex(g_window) : 0;
        rate = (SDL_GetCurrentDisplayMode(std::max(display, 0), &mode) == 0 && mode.refresh_rate > 0) ? mode.refresh_rate
                                                                                                       : 60;
    }
    return rate;
}

void PumpEvents()
{
    if (!g_window)
        return;
    // Asking the desktop costs a round trip to it; a few milliseconds of input latency cost nothing
    // against a 30 ms frame.
    Uint64 now = SDL_GetTicks64();
    if (g_lastPump != 0 && now - g_lastPump < kPumpInterval)
        return;
    g_lastPump = now;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        Translate(event);
}

void WaitForEvents(DWORD milliseconds)
{
    if (!g_window) {
        SDL_Delay(milliseconds == INFINITE ? 10 : std::min<DWORD>(milliseconds, 10));
        return;
    }
    SDL_Event event;
    int timeout = milliseconds == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(milliseconds, 0x7FFFFFFF));
    if (SDL_WaitEventTimeout(&event, timeout))
        Translate(event);
}

void NotifyPost()
{
    if (!g_wakeEvent || g_wakeEvent == static_cast<Uint32>(-1) || !SDL_WasInit(SDL_INIT_EVENTS))
        return;
    SDL_Event event;
    SDL_zero(event);
    event.type = g_wakeEvent;
    SDL_PushEvent(&event);
}

void Shutdown()
{
    ClosePicture();
    if (g_window)
        SDL_DestroyWindow(g_window);
    g_window = nullptr;
    ForgetFullScreen();
    g_lastPump = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

}  // namespace sdlbackend
