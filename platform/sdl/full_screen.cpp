#include "platform/sdl/full_screen.h"

#include <SDL.h>

#include <algorithm>

namespace sdlbackend {
namespace {

bool g_fullScreen = false;
SDL_Rect g_windowed{0, 0, 0, 0};

}  // namespace

bool IsFullScreen()
{
    return g_fullScreen;
}

void SetFullScreen(SDL_Window* window, bool on)
{
    if (!window || on == g_fullScreen)
        return;
    if (on) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &bounds) != 0 || bounds.w <= 0 ||
            bounds.h <= 0)
            return;
        SDL_GetWindowPosition(window, &g_windowed.x, &g_windowed.y);
        SDL_GetWindowSize(window, &g_windowed.w, &g_windowed.h);
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowPosition(window, bounds.x, bounds.y);
        SDL_SetWindowSize(window, bounds.w, bounds.h);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowSize(window, g_windowed.w, g_windowed.h);
        SDL_SetWindowPosition(window, g_windowed.x, g_windowed.y);
    }
    g_fullScreen = on;
    SDL_RaiseWindow(window);
}

void ForgetFullScreen()
{
    g_fullScreen = false;
    g_windowed = SDL_Rect{0, 0, 0, 0};
}

}  // namespace sdlbackend
