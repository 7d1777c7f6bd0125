#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/capture.h"
#include "platform/clock.h"
#include "platform/common/backend_table.h"
#include "platform/common/probes_internal.h"
#include "platform/device.h"
#include "platform/display_settings.h"
#include "platform/gapi.h"
#include "platform/gdi.h"
#include "platform/handheld_internal.h"
#include "platform/internal.h"
#include "platform/window.h"

using platform_internal::CountCall;

namespace {

// Frames shown through GDI or GAPI within this time mean the program presents by itself.
constexpr DWORD kOwnPresentQuiet = 250;

struct DisplayState {
    std::vector<uint16_t> pixels;
    int nativeWidth = 0, nativeHeight = 0;
    DWORD orientation = 0;
    bool drawn = false;
    bool rawGiven = false;
    bool autoPresented = false;
    DWORD lastAutoPresent = 0;
    bool ownPresented = false;
    DWORD lastOwnPresent = 0;
    int presentedCount = 0;
    bool desktopBehind = false;  // the desktop did not take the last picture
    bool limitPosted = false;
    // GAPI
    bool gapiOpen = false;
    bool gapiSuspended = false;
    bool inDraw = false;
    std::vector<uint16_t> gapiBuffer;
    int gapiWidth = 0, gapiHeight = 0;
};

DisplayState g;
std::mutex g_presentedLock;
PresentedFrame g_presented;
RunOptions g_runOptions;

bool SwapsAxes(DWORD orientation)
{
    return orientation == DMDO_90 || orientation == DMDO_270;
}

void EnsureDisplay()
{
    const DeviceProfile& profile = GetDeviceProfile();
    if (!g.pixels.empty() && g.nativeWidth == profile.screenWidth && g.nativeHeight == profile.screenHeight)
        return;
    g.nativeWidth = profile.screenWidth;
    g.nativeHeight = profile.screenHeight;
    g.pixels.assign(static_cast<size_t>(g.nativeWidth) * static_cast<size_t>(g.nativeHeight), 0);
}

// GAPI's geometry: on a screen wider than 320 each of its pixels covers two by two.
void GapiGeometry(int* width, int* height, bool* halved)
{
    int w = platform_internal::DisplayWidth();
    int h = platform_internal::DisplayHeight();
    *halved = w > 320;
    *width = *halved ? w / 2 : w;
    *height = *halved ? h / 2 : h;
}

void NoteOwnPresent()
{
    g.ownPresented = true;
    g.lastOwnPresent = GetTickCount();
}

}  // namespace

namespace platform_internal {

// Rows are compared whole, then the changed ones narrowed from both ends.
RECT ChangedRect(const uint16_t* shown, const uint16_t* next, int width, int height)
{
    auto row = [&](const uint16_t* frame, int y) { return frame + size_t(y) * width; };
    auto same = [&](int y, int from, int to) {
        return memcmp(row(shown, y) + from, row(next, y) + from, size_t(to - from) * sizeof(uint16_t)) == 0;
    };
    RECT changed{0, 0, 0, 0};
    int top = 0;
    while (top < height && same(top, 0, width))
        ++top;
    if (top == height)
        return changed;
    int bottom = height;
    while (same(bottom - 1, 0, width))
        --bottom;
    int left = width, right = 0;
    for (int y = top; y < bottom && (left > 0 || right < width); ++y) {
        const uint16_t *a = row(shown, y), *b = row(next, y);
        if (!same(y, 0, left)) {
            int x = 0;
            while (a[x] == b[x])
                ++x;
            left = x;
        }
        if (!same(y, right, width)) {
            int x = width;
            while (a[x - 1] == b[x - 1])
                --x;
            right = x;
        }
    }
    changed = RECT{left, top, std::max(left, right), bottom};
    return changed;
}

bool DisplaySwapsAxes()
{
    return SwapsAxes(g.orientation);
}

void ResetDisplayOrientation(DWORD orientation)
{
    g.orientation = (orientation == DMDO_90 || orientation == DMDO_180 || orientation == DMDO_270) ? orientation : DMDO_0;
}

int DisplayWidth()
{
    EnsureDisplay();
    return SwapsAxes(g.orientation) ? g.nativeHeight : g.nativeWidth;
}

int DisplayHeight()
{
    EnsureDisplay();
    return SwapsAxes(g.orientation) ? g.nativeWidth : g.nativeHeight;
}

uint16_t* DisplayPixels()
{
    EnsureDisplay();
    return g.pixels.data();
}

void MarkDisplayDrawn()
{
    g.drawn = true;
}

void PresentIfDrawn()
{
    if (!g.drawn)
        return;
    NoteOwnPresent();
    PresentDisplay(true);
}

void PresentDisplay(bool byProgram)
{
    g.drawn = false;
    int width = DisplayWidth();
    int height = DisplayHeight();
    bool limitReached = false;
    bool changed = false;
    RECT changedRect{0, 0, width, height};
    {
        std::lock_guard<std::mutex> hold(g_presentedLock);
        // Only a picture that differs from the one on show goes to the desktop, and only the part
        // that differs; a frame drawn the same as the last costs a comparison.
        bool sameSize = g_presented.width == width && g_presented.height == height &&
                        g_presented.pixels.size() == g.pixels.size();
        if (sameSize)
            changedRect = ChangedRect(g_presented.pixels.data(), g.pixels.data(), width, height);
        changed = !sameSize || changedRect.top < changedRect.bottom;
        if (!sameSize) {
            g_presented.width = width;
            g_presented.height = height;
            g_presented.pixels.assign(g.pixels.begin(), g.pixels.end());
        } else if (changed) {
            std::copy(g.pixels.begin() + ptrdiff_t(changedRect.top) * width,
                      g.pixels.begin() + ptrdiff_t(changedRect.bottom) * width,
                      g_presented.pixels.begin() + ptrdiff_t(changedRect.top) * width);
        }
        if (byProgram) {
            ++g.presentedCount;
            if (g_runOptions.frameLimit > 0 && g.presentedCount >= g_runOptions.frameLimit && !g.limitPosted) {
                g.limitPosted = true;
                limitReached = true;
            }
        }
    }
    // A picture the desktop could not take (no window yet, no texture) is sent again, whole, next
    // time.
    if (changed || g.desktopBehind) {
        if (g.desktopBehind)
            changedRect = RECT{0, 0, width, height};
        CountCall("ShowPicture");
        g.desktopBehind = !Backend().display.present(g.pixels.data(), width, height, changedRect);
    }
    if (limitReached)
        CloseInput();
}

bool PresentShownAgain()
{
    std::lock_guard<std::mutex> hold(g_presentedLock);
    if (g_presented.pixels.empty())
        return false;
    g.desktopBehind = !Backend().display.present(g_presented.pixels.data(), g_presented.width,
                                                 g_presented.height, RECT{0, 0, g_presented.width, g_presented.height});
    return !g.desktopBehind;
}

void NoteRawFrameBufferGiven()
{
    g.rawGiven = true;
}

void AfterTimerMessage()
{
    if (!g.rawGiven)
        return;
    DWORD now = GetTickCount();
    if (g.ownPresented && now - g.lastOwnPresent < kOwnPresentQuiet)
        return;
    int rate = Backend().display.refreshRate();
    DWORD interval = static_cast<DWORD>(1000 / std::max(rate, 1));
    if (g.autoPresented && now - g.lastAutoPresent < interval)
        return;
    g.autoPresented = true;
    g.lastAutoPresent = now;
    PresentDisplay(false);
}

void ResetDisplay()
{
    g = DisplayState();
    ResetDisplayOrientation(GetDeviceProfile().displayOrientation);
    EnsureDisplay();
    std::lock_guard<std::mutex> hold(g_presentedLock);
    g_presented = PresentedFrame();
}

}  // namespace platform_internal

const RunOptions& GetRunOptions()
{
    return g_runOptions;
}

void SetRunOptions(const RunOptions& options)
{
    g_runOptions = options;
}

bool GetPresentedFrame(PresentedFrame* frame)
{
    std::lock_guard<std::mutex> hold(g_presentedLock);
    if (!frame || g_presented.pixels.empty())
        return false;
    *frame = g_presented;
    return true;
}

int GetPresentedFrameCount()
{
    std::lock_guard<std::mutex> hold(g_presentedLock);
    return g.presentedCount;
}

int ExtEscape(HDC, int escape, int, const char*, int outSize, char* output)
{
    CountCall("ExtEscape");
    if (escape != GETRAWFRAMEBUFFER || !GetDeviceProfile().rawFrameBuffer)
        return 0;
    if (!output || outSize < static_cast<int>(sizeof(RawFrameBufferInfo)))
        return -1;
    RawFrameBufferInfo info;
    info.wFormat = FORMAT_565;
    info.wBPP = 16;
    info.pFramePointer = platform_internal::DisplayPixels();
    info.cxStride = 2;
    info.cyStride = 2 * platform_internal::DisplayWidth();
    info.cxPixels = platform_internal::DisplayWidth();
    info.cyPixels = platform_internal::DisplayHeight();
    memcpy(output, &info, sizeof info);
    platform_internal::NoteRawFrameBufferGiven();
    return 1;
}

void RawFrameWritten()
{
    if (!g.rawGiven)
        return;
    NoteOwnPresent();
    platform_internal::PresentDisplay(true);
}

LONG ChangeDisplaySettingsEx(const char*, DEVMODE* mode, HWND, DWORD flags, void*)
{
    CountCall("ChangeDisplaySettingsEx");
    if (!mode || !(mode->dmFields & DM_DISPLAYORIENTATION))
        return DISP_CHANGE_BADPARAM;
    if (flags & CDS_TEST) {
        mode->dmDisplayOrientation = g.orientation;
        mode->dmPelsWidth = static_cast<DWORD>(platform_internal::DisplayWidth());
        mode->dmPelsHeight = static_cast<DWORD>(platform_internal::DisplayHeight());
        return DISP_CHANGE_SUCCESSFUL;
    }
    DWORD wanted = mode->dmDisplayOrientation;
    if (wanted != DMDO_0 && wanted != DMDO_90 && wanted != DMDO_180 && wanted != DMDO_270)
        return DISP_CHANGE_BADMODE;
    if (wanted != g.orientation) {
        g.orientation = wanted;
        // The system tells every window that the display changed.
        if (HWND main = platform_internal::MainWindow())
            PostMessage(main, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    }
    return DISP_CHANGE_SUCCESSFUL;
}

int GXOpenDisplay(HWND window, DWORD)
{
    CountCall("GXOpenDisplay");
    if (!window || !GetDeviceProfile().gapiOpens)
        return 0;
    g.gapiOpen = true;
    g.gapiSuspended = false;
    return 1;
}

int GXCloseDisplay()
{
    CountCall("GXCloseDisplay");
    if (!g.gapiOpen)
        return 0;
    g.gapiOpen = false;
    g.inDraw = false;
    return 1;
}

GXDisplayProperties GXGetDisplayProperties()
{
    CountCall("GXGetDisplayProperties");
    int width, height;
    bool halved;
    GapiGeometry(&width, &height, &halved);
    GXDisplayProperties properties;
    properties.cxWidth = static_cast<DWORD>(width);
    properties.cyHeight = static_cast<DWORD>(height);
    properties.cbxPitch = 2;
    properties.cbyPitch = 2 * width;
    properties.cBPP = 16;
    properties.ffFormat = kfDirect | kfDirect565;
    return properties;
}

void* GXBeginDraw()
{
    CountCall("GXBeginDraw");
    if (!g.gapiOpen || g.gapiSuspended)
        return nullptr;
    int width, height;
    bool halved;
    GapiGeometry(&width, &height, &halved);
    if (width != g.gapiWidth || height != g.gapiHeight || g.gapiBuffer.empty()) {
        g.gapiWidth = width;
        g.gapiHeight = height;
        g.gapiBuffer.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    }
    g.inDraw = true;
    return g.gapiBuffer.data();
}

int GXEndDraw()
{
    CountCall("GXEndDraw");
    if (!g.inDraw)
        return 0;
    g.inDraw = false;
    int screenWidth = platform_internal::DisplayWidth();
    int screenHeight = platform_internal::DisplayHeight();
    uint16_t* screen = g.pixels.data();
    bool halved = screenWidth > 320;
    int scale = halved ? 2 : 1;
    for (int y = 0; y < screenHeight; ++y) {
        int sy = y / scale;
        if (sy >= g.gapiHeight)
            break;
        const uint16_t* row = g.gapiBuffer.data() + static_cast<size_t>(sy) * g.gapiWidth;
        uint16_t* out = screen + static_cast<size_t>(y) * screenWidth;
        int columns = std::min(screenWidth, g.gapiWidth * scale);
        for (int x = 0; x < columns; ++x)
            out[x] = row[x / scale];
    }
    NoteOwnPresent();
    platform_internal::PresentDisplay(true);
    return 1;
}

int GXSuspend()
{
    CountCall("GXSuspend");
    g.gapiSuspended = true;
    return 1;
}

int GXResume()
{
    CountCall("GXResume");
    g.gapiSuspended = false;
    return 1;
}

namespace platform_internal {

DWORD DisplayOrientation()
{
    return g.orientation;
}

bool GapiIsOpen()
{
    return g.gapiOpen;
}

bool GapiIsSuspended()
{
    return g.gapiSuspended;
}

}  // namespace platform_internal
