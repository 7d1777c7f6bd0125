#pragma once
// The one window the SDL back end shows; null before it is made and after it is gone.
#include <SDL.h>

namespace sdlbackend {
SDL_Window* GameWindow();
}  // namespace sdlbackend
