#pragma once
// The device's picture in the desktop's window: where it lies, how it gets there and where a
// pointer on it lands. Where no GPU draws, the picture is written straight into the window's own
// memory, which the X server reads; elsewhere it goes up to a renderer's texture at its own size
// and the GPU scales it.
#include <cstdint>

struct SDL_Window;

namespace sdlbackend {

// Before the window is made: SDL's OpenGL renderer where a GPU is reachable, else its software
// paths with no GL loaded.
void ChoosePictureRoute();
// Ready to draw into the window; false (with SDL's reason) when nothing can.
bool OpenPicture(SDL_Window* window);
void ClosePicture();
// Shows the frame of which only columns [left, right) of rows [top, bottom) changed since the last
// one shown; false when the window could not take it (the next is then shown whole).
bool ShowPicture(const uint16_t* pixels, int width, int height, int left, int top, int right, int bottom);
// The window changed its size, its full-screen state or was uncovered: laid out and shown again.
void RefreshPicture();
// The device pixel under a point of the window.
void PointToDevice(int windowX, int windowY, int* x, int* y);

}  // namespace sdlbackend
