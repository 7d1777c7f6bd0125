#include <SDL.h>

#include <cstdio>

#include "platform/dialog.h"
#include "platform/internal.h"

namespace sdlbackend {

int ShowMessage(const char* text, const char* caption)
{
    fprintf(stderr, "kelo: %s\n", text);
    // Without a display the box cannot show; the text has reached stderr all the same.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption[0] ? caption : "Kelo", text, nullptr);
    return IDOK;
}

}  // namespace sdlbackend
