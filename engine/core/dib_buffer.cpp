#include "engine/core/display.h"
#include "engine/core/main_window.h"
#include "platform/window.h"

namespace {

HBITMAP CreateBitmap565(HDC dc, int width, int height, uint16_t** pixels)
{
    BITMAPINFO info;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_BITFIELDS;
    info.bmiColors[0] = 0xF800;
    info.bmiColors[1] = 0x07E0;
    info.bmiColors[2] = 0x001F;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<uint16_t*>(bits);
    return bitmap;
}

void Release(HDC& dc, HBITMAP& bitmap, HGDIOBJ& old)
{
    if (dc && old)
        SelectObject(dc, old);
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    dc = nullptr;
    bitmap = nullptr;
    old = nullptr;
}

}  // namespace

DibBuffer::~DibBuffer()
{
    Release(memoryDc_, bitmap_, oldBitmap_);
    for (int i = 0; i < 2; ++i) {
        Release(borderDc_[i], borderBitmap_[i], borderOld_[i]);
        borderPixels_[i] = nullptr;
    }
    pixels_ = nullptr;
}

bool DibBuffer::Create(int width, int height)
{
    if (!memoryDc_)
        memoryDc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap565(memoryDc_, width, height, &pixels_);
    if (!bitmap_ || !memoryDc_)
        return false;
    oldBitmap_ = SelectObject(memoryDc_, bitmap_);
    width_ = width;
    height_ = height;
    return true;
}

bool DibBuffer::CreateBorders(int screenWidth, int screenHeight, int borderWidth, int borderHeight)
{
    if (borderWidth <= 0 && borderHeight <= 0)
        return true;
    borderWidth_ = borderWidth;
    borderHeight_ = borderHeight;
    BorderStripSize(screenWidth, screenHeight, borderWidth, borderHeight, &borderBitmapWidth_, &borderBitmapHeight_);
    for (int i = 0; i < 2; ++i) {
        borderDc_[i] = CreateCompatibleDC(nullptr);
        borderBitmap_[i] = CreateBitmap565(borderDc_[i], borderBitmapWidth_, borderBitmapHeight_, &borderPixels_[i]);
        if (!borderDc_[i] || !borderBitmap_[i])
            return false;
        borderOld_[i] = SelectObject(borderDc_[i], borderBitmap_[i]);
    }
    return true;
}

void DibBuffer::Present()
{
    Application* app = g_application;
    if (!app || !memoryDc_)
        return;
    HDC dc = GetDC(window_);
    const GameArea& area = app->GetGameArea();
    // On the half-resolution path the area is in halved pixels: every place on the screen doubles.
    int shift = g_halfResShift;
    int ox = area.offsetX << shift, oy = area.offsetY << shift;
    int dw = area.drawWidth << shift, dh = area.drawHeight << shift;
    if (area.scaled || shift)
        StretchBlt(dc, ox, oy, dw, dh, memoryDc_, 0, 0, width_, height_, SRCCOPY);
    else
        BitBlt(dc, ox, oy, dw, dh, memoryDc_, 0, 0, SRCCOPY);
    // The bars run to the screen's edge, also when a margin is odd.
    RECT client;
    GetClientRect(window_, &client);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (ox > 0) {
        RECT left{0, 0, ox, client.bottom};
        RECT right{ox + dw, 0, client.right, client.bottom};
        FillRect(dc, &left, black);
        FillRect(dc, &right, black);
    } else if (oy > 0) {
        RECT top{0, 0, client.right, oy};
        RECT bottom{0, oy + dh, client.right, client.bottom};
        FillRect(dc, &top, black);
        FillRect(dc, &bottom, black);
    }
    ReleaseDC(window_, dc);
}

void DibBuffer::PresentBorders()
{
    if (!borderDc_[0] || !borderDc_[1])
        return;
    HDC dc = GetDC(window_);
    BitBlt(dc, 0, 0, borderBitmapWidth_, borderBitmapHeight_, borderDc_[0], 0, 0, SRCCOPY);
    if (borderWidth_ > 0)
        BitBlt(dc, borderWidth_ + width_, 0, borderBitmapWidth_, borderBitmapHeight_, borderDc_[1], 0, 0, SRCCOPY);
    else
        BitBlt(dc, 0, borderHeight_ + height_, borderBitmapWidth_, borderBitmapHeight_, borderDc_[1], 0, 0, SRCCOPY);
    ReleaseDC(window_, dc);
}
