#include "engine/core/display.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/frame_timing.h"
#include "engine/core/main_window.h"
#include "engine/core/memory.h"
#include "engine/core/tell_player.h"
#include "engine/graphics/surface.h"
#include "platform/device.h"
#include "platform/gapi.h"
#include "platform/window.h"

int g_screenWidth = 0;
int g_screenHeight = 0;
int g_halfResShift = 0;
bool g_rawFrameBuffer = false;
RawFrameBufferInfo g_rawFrame;
bool g_directCopy = true;
int g_copyWidth = 0, g_copyHeight = 0;
DibBuffer* g_dibBuffer = nullptr;
DisplayProperties* g_displayProperties = nullptr;
bool g_gapiOpen = false;
bool g_initialised = false;
ChangeDisplaySettingsExProc g_displaySettings = nullptr;

namespace {

void (*g_presentHook)() = nullptr;

void ReadScreenSize()
{
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
}

// Copies a picture into the frame buffer at (x, y) with the buffer's steps in pixels. The picture
// is cut to the frame's size, so a buffer smaller than the picture is never written past.
void CopyToFrame(uint16_t* frame, int frameWidth, int frameHeight, int xStep, int yStep, const uint16_t* pixels,
                 int width, int height, int x, int y, bool direct)
{
    if (!frame || !pixels)
        return;
    int rows = std::min(height, frameHeight - y);
    int columns = std::min(width, frameWidth - x);
    if (rows <= 0 || columns <= 0 || x < 0 || y < 0)
        return;
    if (direct && x == 0 && columns == width) {
        memcpy(frame + static_cast<ptrdiff_t>(y) * yStep, pixels, static_cast<size_t>(rows) * width * 2);
        return;
    }
    for (int row = 0; row < rows; ++row) {
        uint16_t* out = frame + static_cast<ptrdiff_t>(y + row) * yStep + static_cast<ptrdiff_t>(x) * xStep;
        const uint16_t* in = pixels + static_cast<size_t>(row) * width;
        for (int column = 0; column < columns; ++column)
            out[static_cast<ptrdiff_t>(column) * xStep] = in[column];
    }
}

// Hands a picture to whichever frame buffer the path writes: the raw one or GAPI's.
void CopyToDisplay(const uint16_t* pixels, int width, int height, int x, int y)
{
    if (g_rawFrameBuffer) {
        CopyToFrame(static_cast<uint16_t*>(g_rawFrame.pFramePointer), g_rawFrame.cxPixels, g_rawFrame.cyPixels,
                    g_rawFrame.cxStride >> 1, g_rawFrame.cyStride >> 1, pixels, width, height, x, y, g_directCopy);
        return;
    }
    if (!g_displayProperties)
        return;
    auto* frame = static_cast<uint16_t*>(GXBeginDraw());
    if (frame) {
        const DisplayProperties& p = *g_displayProperties;
        CopyToFrame(frame, static_cast<int>(p.width), static_cast<int>(p.height), p.xPitch / 2, p.yPitch / 2, pixels,
                    width, height, x, y, g_directCopy);
    }
    GXEndDraw();
}

}  // namespace

bool ProbeRawFrameBuffer()
{
    g_rawFrame = RawFrameBufferInfo();
    HDC dc = GetDC(nullptr);
    int answer = ExtEscape(dc, GETRAWFRAMEBUFFER, 0, nullptr, sizeof g_rawFrame, reinterpret_cast<char*>(&g_rawFrame));
    ReleaseDC(nullptr, dc);
    return answer >= 1;
}

DisplayProperties GetDisplayProperties()
{
    GXDisplayProperties gx = GXGetDisplayProperties();
    DisplayProperties properties;
    properties.width = static_cast<int32_t>(gx.cxWidth);
    properties.height = static_cast<int32_t>(gx.cyHeight);
    properties.xPitch = gx.cbxPitch;
    properties.yPitch = gx.cbyPitch;
    properties.bitsPerPixel = gx.cBPP;
    properties.formatFlags = static_cast<int32_t>(gx.ffFormat);
    return properties;
}

int QueryDisplayOrientation()
{
    if (!g_displaySettings)
        return 0;
    DEVMODE mode;
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    g_displaySettings(nullptr, &mode, nullptr, CDS_TEST, nullptr);
    return static_cast<int>(mode.dmDisplayOrientation);
}

bool SetDisplayOrientation(int orientation)
{
    if (!g_displaySettings)
        return true;
    DEVMODE mode;
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmDisplayOrientation = static_cast<DWORD>(orientation);
    g_displaySettings(nullptr, &mode, nullptr, 0, nullptr);
    return true;
}

// Half a turn has no rotation of the game's own, so it is only turned back.
void RecheckDisplayOrientation()
{
    if (!g_initialised)
        return;
    int orientation = QueryDisplayOrientation();
    if (orientation == 0)
        return;
    if (orientation == static_cast<int>(DMDO_90) || orientation == static_cast<int>(DMDO_270)) {
        int rotation = orientation == static_cast<int>(DMDO_90) ? 1 : 2;
        Application* app = g_application;
        if (app && app->GetRotation() != 0 && app->GetRotation() != rotation)
            app->OnRotationChanged(rotation);
    }
    SetDisplayOrientation(0);
}

void FillScreenBackground()
{
    Application* app = g_application;
    if (!app)
        return;
    const uint8_t* colour = app->GetBackgroundColour();
    HDC dc = GetDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(colour[0], colour[1], colour[2]));
    RECT all{0, 0, g_screenWidth, g_screenHeight};
    FillRect(dc, &all, brush);
    ReleaseDC(nullptr, dc);
    DeleteObject(brush);
}

bool AppInit(HWND window)
{
    Application* app = g_application;
    if (!app)
        return false;
    app->SetApplication(app);
    if (!app->LoadOptions())
        return false;
    delete g_displayProperties;
    g_displayProperties = new (std::nothrow) DisplayProperties(GetDisplayProperties());
    if (!g_displayProperties)
        return false;
    ReadScreenSize();
    if (app->IsBackgroundFillOn())
        FillScreenBackground();

    app->SetScreenRotation(0);
    if (g_screenWidth >= g_screenHeight) {
        int orientation = QueryDisplayOrientation();
        if (orientation != 0) {
            if (orientation == static_cast<int>(DMDO_90))
                app->SetScreenRotation(1);
            else if (orientation == static_cast<int>(DMDO_270))
                app->SetScreenRotation(2);
            // The display always runs in its own orientation; the game turns its picture itself.
            SetDisplayOrientation(0);
            ReadScreenSize();
        }
    }

    g_rawFrameBuffer = false;
    g_halfResShift = 0;
    if (g_screenWidth > 320) {
        bool full = false;
        if (ProbeRawFrameBuffer()) {
            app->SetDisplayMode(2);
            g_rawFrameBuffer = true;
            full = app->WantsFullResolution();
        }
        if (!full) {
            app->SetDisplayMode(1);
            g_screenWidth >>= 1;
            g_screenHeight >>= 1;
            g_rawFrameBuffer = false;
            g_halfResShift = 1;
        }
    } else if (ProbeRawFrameBuffer()) {
        app->SetDisplayMode(2);
        g_rawFrameBuffer = true;
    } else {
        app->SetDisplayMode(0);
    }

    if (!g_rawFrameBuffer && !GXOpenDisplay(window, GX_FULLSCREEN))
        return false;
    AllKeys(TRUE);
    g_gapiOpen = true;

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    EnterFullScreen(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (app->IsBackgroundFillOn())
        FillScreenBackground();

    GameArea area = app->FitGameArea(g_screenWidth, g_screenHeight);
    g_screenWidth = area.gameWidth;
    g_screenHeight = area.gameHeight;
    app->SetGameArea(area);
    // Only GDI can scale or place the picture. The halved area and its shift stay: the DIB path
    // doubles every place it draws to instead.
    if (area.scaled || area.offsetX > 0 || area.offsetY > 0)
        app->SetDisplayMode(0);

    if (!app->Init(area.gameWidth, area.gameHeight))
        return false;

    Surface* screen = app->GetScreenSurface();
    g_copyWidth = screen ? screen->GetRawWidth() : g_screenWidth;
    g_copyHeight = screen ? screen->GetRawHeight() : g_screenHeight;

    if (g_rawFrameBuffer) {
        g_directCopy = g_rawFrame.cxStride == 2 && g_rawFrame.cyStride == 2 * g_copyWidth &&
                       g_copyWidth == g_screenWidth;
    } else {
        const DisplayProperties& p = *g_displayProperties;
        g_directCopy = p.xPitch == 2 && p.yPitch == 2 * g_copyWidth && g_copyWidth == g_screenWidth &&
                       !(p.formatFlags & kfLandscape);
    }

    if (app->GetDisplayMode() == 0 || g_rawFrameBuffer) {
        g_dibBuffer = new (std::nothrow) DibBuffer(window);
        if (!g_dibBuffer || !g_dibBuffer->Create(g_copyWidth, g_copyHeight)) {
            TellPlayer("Failed to create DIB buffer");
            delete g_dibBuffer;
            g_dibBuffer = nullptr;
            return false;
        }
        if (screen)
            screen->AttachFrameBuffer(g_dibBuffer->GetPixels(), g_copyWidth, g_copyHeight);
        int borderWidth = app->GetBorderWidth();
        int borderHeight = app->GetBorderHeight();
        if (borderWidth > 0 || borderHeight > 0) {
            if (!g_dibBuffer->CreateBorders(g_screenWidth, g_screenHeight, borderWidth, borderHeight)) {
                TellPlayer("Failed to create DIB borders");
                delete g_dibBuffer;
                g_dibBuffer = nullptr;
                return false;
            }
            for (int i = 0; i < 2; ++i) {
                if (Surface* border = app->GetBorderSurface(i))
                    border->AttachFrameBuffer(g_dibBuffer->GetBorderPixels(i), g_dibBuffer->GetBorderBitmapWidth(),
                                              g_dibBuffer->GetBorderBitmapHeight());
            }
        }
    }

    StartTimer();
    g_initialised = true;
    return true;
}

void Present()
{
    UpdateFrameRateText();
    Application* app = g_application;
    if (g_dibBuffer && (g_paintThrough || (app && app->GetDisplayMode() == 0))) {
        if (g_paintThrough) {
            RECT client;
            GetClientRect(g_mainWindow, &client);
            InvalidateRect(g_mainWindow, &client, FALSE);
        } else {
            g_dibBuffer->Present();
        }
    } else if (app) {
        if (Surface* screen = app->GetScreenSurface())
            CopyToDisplay(screen->GetPixels(), g_copyWidth, g_copyHeight, 0, 0);
        // The display shows the raw buffer as it is written; saying the frame is complete shows it
        // whole and counts it.
        if (g_rawFrameBuffer)
            RawFrameWritten();
    }
    if (g_presentHook)
        g_presentHook();
}

void PresentBorders()
{
    Application* app = g_application;
    if (!app)
        return;
    if (g_dibBuffer && (g_paintThrough || app->GetDisplayMode() == 0)) {
        g_dibBuffer->PresentBorders();
        return;
    }
    int borderWidth = app->GetBorderWidth();
    int borderHeight = app->GetBorderHeight();
    Surface* first = app->GetBorderSurface(0);
    Surface* second = app->GetBorderSurface(1);
    if ((borderWidth <= 0 && borderHeight <= 0) || !first || !second)
        return;
    // Bands as the DIB path lays them out: left and right, or above and below.
    CopyToDisplay(first->GetPixels(), first->GetRawWidth(), first->GetRawHeight(), 0, 0);
    if (borderWidth > 0)
        CopyToDisplay(second->GetPixels(), second->GetRawWidth(), second->GetRawHeight(), borderWidth + g_copyWidth, 0);
    else
        CopyToDisplay(second->GetPixels(), second->GetRawWidth(), second->GetRawHeight(), 0, borderHeight + g_copyHeight);
}

void ShutdownDisplay()
{
    delete g_dibBuffer;
    g_dibBuffer = nullptr;
    delete g_displayProperties;
    g_displayProperties = nullptr;
    if (g_gapiOpen && !g_rawFrameBuffer)
        GXCloseDisplay();
    g_gapiOpen = false;
    g_initialised = false;
    AllKeys(FALSE);
}

void SetPresentHook(void (*hook)())
{
    g_presentHook = hook;
}
