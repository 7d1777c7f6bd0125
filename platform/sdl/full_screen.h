#pragma once
// The desktop's stand-in for the handheld's one full-screen window: the window made to cover its
// display and back. Done by hand (no frame, the display's bounds) so that it also holds on a
// desktop without a window manager; the window manager is asked as well where there is one.
struct SDL_Window;

namespace sdlbackend {

bool IsFullScreen();
// Covers the window's display, remembering the window's place; off puts it back as it was.
void SetFullScreen(SDL_Window* window, bool on);
// Forgets the remembered place, for a window that is gone.
void ForgetFullScreen();

}  // namespace sdlbackend
