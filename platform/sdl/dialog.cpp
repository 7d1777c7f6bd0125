#include <SDL.h>

#include "platform/dialog.h"
#include "platform/internal.h"
#include "platform/sdl/game_window.h"

namespace sdlbackend {

namespace {

// SDL places a box with a parent at the parent's place inside whatever holds it plus the
// parent's place on the screen. That is right for a window a window manager frames (inside its
// frame) and for one at the screen's corner (full screen); on a desktop without a window manager
// it doubles the window's offset and can put the box off the screen. There the box has no parent:
// SDL centres it on the display and maps it over every window.
SDL_Window* BoxParent()
{
    SDL_Window* window = GameWindow();
    if (!window)
        return nullptr;
    int top = 0, left = 0, x = 0, y = 0;
    SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr);
    SDL_GetWindowPosition(window, &x, &y);
    return top > 0 || left > 0 || (x == 0 && y == 0) ? window : nullptr;
}

}  // namespace

// The engine has already said the text on stderr and laid it out in lines; here it only shows.
// Without a display the box cannot show, and the text has reached stderr all the same.
int ShowMessage(const char* text, const char* caption)
{
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption[0] ? caption : "Kelo", text, BoxParent());
    return IDOK;
}

}  // namespace sdlbackend
