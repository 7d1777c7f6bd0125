#include <SDL.h>

#include "platform/dialog.h"
#include "platform/internal.h"
#include "platform/sdl/game_window.h"

namespace sdlbackend {

// The engine has already said the text on stderr; here it only shows, over the game's window.
// Without a display the box cannot show, and the text has reached stderr all the same.
int ShowMessage(const char* text, const char* caption)
{
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption[0] ? caption : "Kelo", text, GameWindow());
    return IDOK;
}

}  // namespace sdlbackend
