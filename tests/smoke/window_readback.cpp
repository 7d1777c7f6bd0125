// Shows seeded frames in a real SDL window through the platform's presentation, the changed part
// of each only, and reads the window back from the X server: the picture a player sees, whichever
// route drew it. Run by picture_routes.sh under Xvfb on each route.
//   window_readback <out.ppm> [<other.ppm> <most per-channel difference>]
// Prints the route ("window memory" or SDL's renderer) and where the picture lies. At a whole
// multiple the picture read back must be each converted pixel repeated that many times with black
// around it; with a second picture the two must differ by at most the difference given in any
// channel of any pixel. Exits 1 on a difference, 2 on a bad call, 77 without a window.
#include <SDL.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "platform/backend.h"
#include "platform/handheld_internal.h"
#include "platform/sdl/full_screen.h"
#include "platform/sdl/picture_fit.h"
#include "platform/sdl/pixel_rows.h"

// After the handheld's headers: Xlib's macros take some of their names.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef DisplayWidth
#undef DisplayHeight

namespace {

// Enough changed frames for the software route to time both ways of writing rows.
constexpr int kChangedFrames = 30;

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

bool WritePpm(const char* file, const Picture& picture)
{
    FILE* out = fopen(file, "wb");
    if (!out)
        return false;
    fprintf(out, "P6\n%d %d\n255\n", picture.width, picture.height);
    bool written = fwrite(picture.rgb.data(), 1, picture.rgb.size(), out) == picture.rgb.size();
    return fclose(out) == 0 && written;
}

// Reads back what WritePpm wrote (its header exactly), nothing more general.
bool ReadPpm(const char* file, Picture* picture)
{
    FILE* in = fopen(file, "rb");
    if (!in)
        return false;
    int maximum = 0;
    bool read = fscanf(in, "P6 %d %d %d", &picture->width, &picture->height, &maximum) == 3 && maximum == 255 &&
                fgetc(in) == '\n' && picture->width > 0 && picture->height > 0 && picture->width <= 8192 &&
                picture->height <= 8192;
    if (read) {
        picture->rgb.resize(size_t(picture->width) * picture->height * 3);
        read = fread(picture->rgb.data(), 1, picture->rgb.size(), in) == picture->rgb.size();
    }
    fclose(in);
    return read;
}

int Shift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// The window as the X server holds it, after every request sent on SDL's connection (the GL
// driver's too) has been carried out.
bool ReadWindow(SDL_Window* window, Picture* picture)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    XSync(display, False);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, info.info.x11.window, &attributes))
        return false;
    XImage* image = XGetImage(display, info.info.x11.window, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    picture->width = attributes.width;
    picture->height = attributes.height;
    picture->rgb.resize(size_t(picture->width) * picture->height * 3);
    const int shifts[3] = {Shift(image->red_mask), Shift(image->green_mask), Shift(image->blue_mask)};
    for (int y = 0; y < picture->height; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            uint8_t* out = &picture->rgb[(size_t(y) * picture->width + x) * 3];
            out[0] = uint8_t((pixel & image->red_mask) >> shifts[0]);
            out[1] = uint8_t((pixel & image->green_mask) >> shifts[1]);
            out[2] = uint8_t((pixel & image->blue_mask) >> shifts[2]);
        }
    }
    XDestroyImage(image);
    return true;
}

// The one window the program has.
SDL_Window* MainWindow()
{
    for (Uint32 id = 1; id < 64; ++id) {
        if (SDL_Window* window = SDL_GetWindowFromID(id))
            return window;
    }
    return nullptr;
}

// Each pixel of the frame converted and repeated scale x scale times at the picture's place,
// black around it; the count of the window's pixels that differ.
long WrongAtWholeMultiple(const Picture& shown, const sdlbackend::PictureRect& place, int scale,
                          const uint16_t* frame, int width)
{
    long wrong = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            uint32_t want = 0;
            if (x >= place.x && x < place.x + place.w && y >= place.y && y < place.y + place.h) {
                const size_t at = size_t((y - place.y) / scale) * width + size_t((x - place.x) / scale);
                sdlbackend::Rgb565ToXrgb8888Reference(&want, frame + at, 1);
            }
            const uint8_t* got = &shown.rgb[(size_t(y) * shown.width + x) * 3];
            const uint32_t have = uint32_t(got[0]) << 16 | uint32_t(got[1]) << 8 | got[2];
            if (have != want && wrong++ == 0)
                printf("first wrong pixel at %d,%d: %06x, not %06x\n", x, y, unsigned(have), unsigned(want));
        }
    }
    return wrong;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        fprintf(stderr, "usage: %s <out.ppm> [<other.ppm> <most per-channel difference>]\n", argv[0]);
        return 2;
    }
    unsetenv("KELO_HEADLESS");
    setenv("KELO_SCREEN", "800x480", 1);
    if (!PlatformStartup() || !sdlbackend::CreateMainWindow("Kelo", true)) {
        fprintf(stderr, "no window to show the picture in\n");
        return 77;
    }
    SDL_Window* window = MainWindow();
    const int width = platform_internal::DisplayWidth(), height = platform_internal::DisplayHeight();
    uint16_t* frame = platform_internal::DisplayPixels();
    std::mt19937 rng(1104);
    for (int i = 0; i < width * height; ++i)
        frame[i] = uint16_t(rng());
    // The window settles (a full screen takes its size) while the first frame is shown again.
    for (int wait = 0; wait < 20; ++wait) {
        platform_internal::PresentDisplay(true);
        SDL_Delay(20);
        sdlbackend::PumpEvents();
    }
    for (int changed = 0; changed < kChangedFrames; ++changed) {
        const int left = int(rng() % unsigned(width)), top = int(rng() % unsigned(height));
        const int right = left + 1 + int(rng() % unsigned(width - left)), bottom = top + 1 + int(rng() % 40u);
        for (int y = top; y < std::min(bottom, height); ++y)
            for (int x = left; x < right; ++x)
                frame[size_t(y) * width + x] = uint16_t(rng());
        platform_internal::PresentDisplay(true);
        sdlbackend::PumpEvents();
    }
    Picture shown;
    if (!window || !ReadWindow(window, &shown)) {
        fprintf(stderr, "the window could not be read back\n");
        PlatformShutdown();
        return 1;
    }
    SDL_Renderer* renderer = SDL_GetRenderer(window);
    SDL_RendererInfo info;
    printf("route: %s\n", renderer && SDL_GetRendererInfo(renderer, &info) == 0 ? info.name : "window memory");
    const bool full = sdlbackend::IsFullScreen();
    sdlbackend::PictureRect place = full ? sdlbackend::FillPicture(0, 0, shown.width, shown.height, width, height)
                                         : sdlbackend::FitPicture(0, 0, shown.width, shown.height, width, height);
    const int scale = sdlbackend::WholeScale(place, width, height);
    printf("window %dx%d%s, picture %dx%d at %d,%d, %s\n", shown.width, shown.height, full ? " (full screen)" : "",
           place.w, place.h, place.x, place.y, scale > 0 ? "whole multiple" : "smoothed");
    int code = 0;
    if (scale > 0) {
        const long wrong = WrongAtWholeMultiple(shown, place, scale, frame, width);
        printf("%ld pixels differ from the frame at %dx\n", wrong, scale);
        code = wrong > 0 ? 1 : 0;
    }
    PlatformShutdown();
    if (!WritePpm(argv[1], shown)) {
        fprintf(stderr, "%s could not be written\n", argv[1]);
        return 1;
    }
    if (argc == 4) {
        Picture other;
        if (!ReadPpm(argv[2], &other)) {
            fprintf(stderr, "%s could not be read\n", argv[2]);
            return 1;
        }
        if (other.width != shown.width || other.height != shown.height) {
            printf("the other picture is %dx%d\n", other.width, other.height);
            return 1;
        }
        int most = 0;
        long differing = 0;
        for (size_t i = 0; i < shown.rgb.size(); ++i) {
            const int difference = std::abs(int(shown.rgb[i]) - int(other.rgb[i]));
            most = std::max(most, difference);
            differing += difference > 0;
        }
        printf("against %s: %ld channels differ, by at most %d\n", argv[2], differing, most);
        if (most > atoi(argv[3]))
            code = 1;
    }
    return code;
}
