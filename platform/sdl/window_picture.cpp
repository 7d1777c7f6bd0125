#include "platform/sdl/window_picture.h"

#include <SDL.h>
#include <dirent.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/handheld_internal.h"
#include "platform/sdl/full_screen.h"
#include "platform/sdl/picture_fit.h"
#include "platform/sdl/pixel_rows.h"
#include "platform/sdl/pixel_rows_way.h"

namespace sdlbackend {
namespace {

SDL_Window* g_window = nullptr;
bool g_gpu = false;
bool g_glAsked = false;  // KELO_GL=1: SDL's GL renderer, whatever runs it
// Without a GPU: the window's memory the picture was last written into, and the frame at its own
// size for a scale that is no whole multiple (SDL smooths it from there).
SDL_Surface* g_shown = nullptr;
SDL_Surface* g_frame = nullptr;
// With one (or on a desktop that lends no window memory): a renderer and its texture.
SDL_Renderer* g_renderer = nullptr;
SDL_Texture* g_texture = nullptr;
int g_textureWidth = 0, g_textureHeight = 0;
// SDL's software renderer: its texture holds the picture at its whole multiple, written as it is
// converted, as that renderer scales slowly; a GPU takes the 1x picture and scales it itself. The
// software renderer's target keeps what was drawn from one present to the next; a GPU's back
// buffer is undefined after each, so its bands are drawn every time.
bool g_softRenderer = false;
SDL_Rect g_output{0, 0, 0, 0};   // the window's area the picture was laid out in, in its pixels
SDL_Rect g_picture{0, 0, 0, 0};  // where the picture lies there
int g_scale = 0;                 // the whole multiple it is shown at; 0: scaled smoothly
RowWriteWay g_way;               // how the processor writes that multiple: through the cache or past it
bool g_stale = true;             // the bands and the whole picture are to be drawn again

// In a window at the largest whole multiple that fits, on the full screen as large as its shape
// allows. `cpuScales`: the processor writes the multiple, so a new layout times its ways afresh.
void LayOut(int outWidth, int outHeight, int width, int height, bool cpuScales)
{
    PictureRect fit = IsFullScreen() ? FillPicture(0, 0, outWidth, outHeight, width, height)
                                     : FitPicture(0, 0, outWidth, outHeight, width, height);
    SDL_Rect picture{fit.x, fit.y, fit.w, fit.h};
    if (outWidth == g_output.w && outHeight == g_output.h && SDL_RectEquals(&picture, &g_picture))
        return;
    g_stale = true;
    g_output = SDL_Rect{0, 0, outWidth, outHeight};
    g_picture = picture;
    g_scale = WholeScale(fit, width, height);
    g_way.Restart(WritePastCache(size_t(fit.w) * fit.h * 4),
                  cpuScales && ForcedWritePastCache() < 0 && RowsGoPastCacheAt(g_scale));
}

// The presenting thread's own time, which other work on the machine does not lengthen.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The parts of the area the picture leaves uncovered: above, below, left and right of it.
int Bands(SDL_Rect* bands)
{
    const SDL_Rect& p = g_picture;
    const SDL_Rect& o = g_output;
    const SDL_Rect all[] = {{0, 0, o.w, p.y},
                            {0, p.y + p.h, o.w, o.h - p.y - p.h},
                            {0, p.y, p.x, p.h},
                            {p.x + p.w, p.y, o.w - p.x - p.w, p.h}};
    int count = 0;
    for (const SDL_Rect& band : all) {
        if (band.w > 0 && band.h > 0)
            bands[count++] = band;
    }
    return count;
}

// The part of the frame that changed: columns [left, right) of rows [top, bottom).
struct Part {
    int left, top, right, bottom;
};

// Row y of XRGB8888 pixels `pitch` bytes apart.
uint32_t* Row(void* pixels, int pitch, int y)
{
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + ptrdiff_t(y) * pitch);
}

// A whole multiple goes into the window's memory as it is converted, the changed part only; any
// other scale (or a desktop in another pixel format) is converted at the screen's size and SDL
// scales the whole picture from there.
bool ShowInWindowMemory(const uint16_t* pixels, int width, int height, Part part)
{
    SDL_Surface* surface = SDL_GetWindowSurface(g_window);
    if (!surface)
        return false;
    bool native = surface->format->format == SDL_PIXELFORMAT_XRGB8888;
    LayOut(surface->w, surface->h, width, height, native);
    const double start = ThreadSeconds();
    bool whole = g_stale || surface != g_shown;
    if (whole || g_way.TimesNext())
        part = Part{0, 0, width, height};
    if (whole) {
        SDL_Rect bands[4];
        SDL_FillRects(surface, bands, Bands(bands), SDL_MapRGB(surface->format, 0, 0, 0));
    }
    SDL_Rect changed = g_picture;
    if (native && g_scale > 0) {
        const int x = g_picture.x + part.left * g_scale;
        Rgb565ToXrgb8888ScaledFast(Row(surface->pixels, surface->pitch, g_picture.y + part.top * g_scale) + x,
                                   surface->pitch / 4, pixels + size_t(part.top) * width + part.left, width,
                                   part.right - part.left, part.bottom - part.top, g_scale, g_way.PastCache());
        changed = SDL_Rect{g_picture.x + part.left * g_scale, g_picture.y + part.top * g_scale,
                           (part.right - part.left) * g_scale, (part.bottom - part.top) * g_scale};
    } else {
        if (!g_frame || g_frame->w != width || g_frame->h != height) {
            SDL_FreeSurface(g_frame);
            g_frame = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_XRGB8888);
            if (!g_frame)
                return false;
            part = Part{0, 0, width, height};
        }
        for (int y = part.top; y < part.bottom; ++y)
            Rgb565ToXrgb8888Fast(Row(g_frame->pixels, g_frame->pitch, y) + part.left,
                                 pixels + size_t(y) * width + part.left, part.right - part.left);
        SDL_Rect to = g_picture;
        int scaled = native ? SDL_SoftStretchLinear(g_frame, nullptr, surface, &to)
                            : SDL_BlitScaled(g_frame, nullptr, surface, &to);
        if (scaled != 0)
            return false;
    }
    g_shown = surface;
    g_stale = false;
    if (!whole && (changed.w <= 0 || changed.h <= 0))
        return true;
    if (SDL_UpdateWindowSurfaceRects(g_window, whole ? &g_output : &changed, 1) != 0)
        return false;
    g_way.Presented(ThreadSeconds() - start);
    return true;
}

void Render()
{
    SDL_SetRenderDrawColor(g_renderer, 0, 0, 0, 255);
    if (!g_texture) {
        SDL_RenderClear(g_renderer);
    } else if (g_stale || !g_softRenderer) {
        SDL_Rect bands[4];
        SDL_RenderFillRects(g_renderer, bands, Bands(bands));
    }
    g_stale = false;
    if (g_texture)
        SDL_RenderCopy(g_renderer, g_texture, nullptr, &g_picture);
    SDL_RenderPresent(g_renderer);
}

bool ShowThroughRenderer(const uint16_t* pixels, int width, int height, Part part)
{
    int outWidth = 0, outHeight = 0;
    SDL_GetRendererOutputSize(g_renderer, &outWidth, &outHeight);
    LayOut(outWidth, outHeight, width, height, g_softRenderer);
    const double start = ThreadSeconds();
    if (g_way.TimesNext())
        part = Part{0, 0, width, height};
    // A GPU scales the 1x picture, nearest at a whole multiple and smoothed otherwise.
    const int scale = g_softRenderer ? std::max(g_scale, 1) : 1;
    if (!g_texture || width * scale != g_textureWidth || height * scale != g_textureHeight) {
        if (g_texture)
            SDL_DestroyTexture(g_texture);
        // SDL's GL renderers take no 5:6:5 textures, so the picture goes up as XRGB8888.
        g_texture = SDL_CreateTexture(g_renderer, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, width * scale,
                                      height * scale);
        g_textureWidth = g_texture ? width * scale : 0;
        g_textureHeight = g_texture ? height * scale : 0;
        if (!g_texture)
            return false;
        part = Part{0, 0, width, height};
    }
    SDL_SetTextureScaleMode(g_texture, g_scale > 0 ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    if (part.bottom > part.top && part.right > part.left) {
        SDL_Rect area{part.left * scale, part.top * scale, (part.right - part.left) * scale,
                      (part.bottom - part.top) * scale};
        void* locked = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(g_texture, &area, &locked, &pitch) != 0)
            return false;
        Rgb565ToXrgb8888ScaledFast(static_cast<uint32_t*>(locked), pitch / 4,
                                   pixels + size_t(part.top) * width + part.left, width, part.right - part.left,
                                   part.bottom - part.top, scale, g_way.PastCache());
        SDL_UnlockTexture(g_texture);
    }
    Render();
    g_way.Presented(ThreadSeconds() - start);
    return true;
}

// A GL that turns out to run on the processor after all (a render node without a driver of its
// own) is given up for the software renderer, unless GL was asked for.
SDL_Renderer* CreateRenderer(SDL_Window* window)
{
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    SDL_RendererInfo info;
    if (renderer && !g_glAsked && SDL_GetRendererInfo(renderer, &info) == 0 && info.name &&
        SDL_strncmp(info.name, "opengl", 6) == 0) {
        using GetString = const unsigned char* (*)(unsigned);
        constexpr unsigned kGlRenderer = 0x1F01;
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
        if (IsEmulatedGl(reinterpret_cast<const char*>(name))) {
            SDL_DestroyRenderer(renderer);
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
            if (!renderer)
                renderer = SDL_CreateRenderer(window, -1, 0);
        }
    }
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    g_softRenderer = renderer && SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    return renderer;
}

}  // namespace

bool WantsGpuRenderer(const char* driFolder, const char* alwaysSoftware)
{
    if (alwaysSoftware)
        return false;
    DIR* folder = opendir(driFolder);
    if (!folder)
        return false;
    bool found = false;
    while (dirent* entry = readdir(folder)) {
        if (strncmp(entry->d_name, "renderD", 7) == 0) {
            found = true;
            break;
        }
    }
    closedir(folder);
    return found;
}

bool IsEmulatedGl(const char* rendererName)
{
    if (!rendererName)
        return false;
    // Mesa's rasterisers that run on the processor.
    static const char* const kEmulated[] = {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"};
    for (const char* name : kEmulated) {
        if (SDL_strcasestr(rendererName, name))
            return true;
    }
    return false;
}

// Without a GPU no SDL path may load GL: the software renderer, and a window frame buffer in the
// window's own memory rather than a texture. Values the user set in the environment win.
// KELO_GL=1 takes the GL renderer whatever runs it (Mesa's on the processor, where the route is
// tested without a GPU); SDL_RENDER_DRIVER then picks opengl or opengles2.
void ChoosePictureRoute()
{
    const char* gl = getenv("KELO_GL");
    g_glAsked = gl && SDL_strcmp(gl, "1") == 0;
    g_gpu = g_glAsked || WantsGpuRenderer("/dev/dri", getenv("LIBGL_ALWAYS_SOFTWARE"));
    if (g_gpu)
        return;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

bool OpenPicture(SDL_Window* window)
{
    g_window = window;
    g_stale = true;
    if (!g_gpu && SDL_GetWindowSurface(window))
        return true;
    g_renderer = CreateRenderer(window);
    return g_renderer != nullptr;
}

void ClosePicture()
{
    if (g_texture)
        SDL_DestroyTexture(g_texture);
    if (g_renderer)
        SDL_DestroyRenderer(g_renderer);
    SDL_FreeSurface(g_frame);
    g_texture = nullptr;
    g_renderer = nullptr;
    g_frame = nullptr;
    g_shown = nullptr;
    g_window = nullptr;
    g_textureWidth = g_textureHeight = 0;
    g_output = g_picture = SDL_Rect{0, 0, 0, 0};
    g_scale = 0;
    g_stale = true;
}

bool ShowPicture(const uint16_t* pixels, int width, int height, int left, int top, int right, int bottom)
{
    if (!g_window || width <= 0 || height <= 0)
        return false;
    Part part;
    part.left = std::clamp(left, 0, width);
    part.right = std::clamp(right, part.left, width);
    part.top = std::clamp(top, 0, height);
    part.bottom = std::clamp(bottom, part.top, height);
    return g_renderer ? ShowThroughRenderer(pixels, width, height, part)
                      : ShowInWindowMemory(pixels, width, height, part);
}

void RefreshPicture()
{
    if (!g_window)
        return;
    g_stale = true;
    if (platform_internal::PresentShownAgain())
        return;
    // Nothing shown yet: black.
    if (g_renderer) {
        Render();
    } else if (SDL_Surface* surface = SDL_GetWindowSurface(g_window)) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        SDL_UpdateWindowSurface(g_window);
    }
}

// Through the pixel's centre, from the window's size to its pixels, then onto the picture.
void PointToDevice(int windowX, int windowY, int* x, int* y)
{
    int windowWidth = 1, windowHeight = 1;
    SDL_GetWindowSize(g_window, &windowWidth, &windowHeight);
    windowWidth = std::max(windowWidth, 1);
    windowHeight = std::max(windowHeight, 1);
    int outWidth = g_output.w > 0 ? g_output.w : windowWidth;
    int outHeight = g_output.h > 0 ? g_output.h : windowHeight;
    double px = (windowX + 0.5) * outWidth / windowWidth - 0.5;
    double py = (windowY + 0.5) * outHeight / windowHeight - 0.5;
    PictureRect picture{g_picture.x, g_picture.y, g_picture.w, g_picture.h};
    MapToDevice(picture, platform_internal::DisplayWidth(), platform_internal::DisplayHeight(), px, py, x, y);
}

}  // namespace sdlbackend
