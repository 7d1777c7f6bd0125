#pragma once
// The three display paths: a GDI DIB section (mode 0), the GAPI frame buffer at half resolution
// (mode 1) and the device's raw frame buffer (mode 2), chosen once by AppInit; the orientation
// handling and the process-wide display values.
#include <cstdint>

#include "engine/core/application.h"
#include "platform/display_settings.h"
#include "platform/gdi.h"

// Each of the two border strips: beside the screen when borderWidth is set (as tall as the screen
// unless borderHeight says otherwise), else above and below it.
inline void BorderStripSize(int screenWidth, int screenHeight, int borderWidth, int borderHeight, int* w, int* h)
{
    if (borderWidth > 0) {
        *w = borderWidth;
        *h = borderHeight > 0 ? borderHeight : screenHeight;
    } else {
        *w = screenWidth;
        *h = borderHeight;
    }
}

// The back buffer of the GDI path: the screen surface's pixels live in its DIB section, and two
// more for the border surfaces.
class DibBuffer {
public:
    explicit DibBuffer(HWND window) : window_(window) {}
    DibBuffer(const DibBuffer&) = delete;
    DibBuffer& operator=(const DibBuffer&) = delete;
    virtual ~DibBuffer();

    bool Create(int width, int height);
    bool CreateBorders(int screenWidth, int screenHeight, int borderWidth, int borderHeight);
    // Copies the picture to the window at the game area's place (doubled on the half-resolution
    // path), with black bars over the margins.
    void Present();
    void PresentBorders();

    uint16_t* GetPixels() const { return pixels_; }
    uint16_t* GetBorderPixels(int which) const { return borderPixels_[which]; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetBorderBitmapWidth() const { return borderBitmapWidth_; }
    int GetBorderBitmapHeight() const { return borderBitmapHeight_; }

private:
    HWND window_;
    HDC memoryDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint16_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
    HDC borderDc_[2] = {};
    HBITMAP borderBitmap_[2] = {};
    HGDIOBJ borderOld_[2] = {};
    uint16_t* borderPixels_[2] = {};
    int borderBitmapWidth_ = 0, borderBitmapHeight_ = 0;
    int borderWidth_ = 0, borderHeight_ = 0;
};

extern int g_screenWidth;
extern int g_screenHeight;
// 1 on the GAPI half-resolution path: stylus coordinates are halved, the picture doubled.
extern int g_halfResShift;
extern bool g_rawFrameBuffer;
extern RawFrameBufferInfo g_rawFrame;
extern bool g_directCopy;
extern int g_copyWidth, g_copyHeight;
extern DibBuffer* g_dibBuffer;
extern DisplayProperties* g_displayProperties;
extern bool g_gapiOpen;
extern bool g_initialised;
// The system's ChangeDisplaySettingsEx, null when coredll.dll lacks it.
extern ChangeDisplaySettingsExProc g_displaySettings;

bool AppInit(HWND window);
void ShutdownDisplay();
bool ProbeRawFrameBuffer();
DisplayProperties GetDisplayProperties();
int QueryDisplayOrientation();
bool SetDisplayOrientation(int orientation);
void FillScreenBackground();
