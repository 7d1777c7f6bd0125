#pragma once
// The drawing calls the display paths make: device contexts, 16-bit DIB sections, brushes, copies
// and fills. Every bitmap is 16-bit 5:6:5 and top-down; the screen's device context (GetDC of the
// window or of none) draws into the virtual display, and releasing it after drawing presents the
// picture.
#include "platform/base.h"

struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0;  // negative: rows run top-down
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

// With BI_BITFIELDS the three colour words are the red, green and blue masks.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    DWORD bmiColors[3] = {};
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;

inline COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

// Null window: the whole screen.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Only 16 bits per pixel with the 5:6:5 masks (BI_BITFIELDS) and a top-down (negative) height of
// at most 8192 a side; anything else answers null.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
// Bitmaps go into memory contexts, brushes into any; answers the object it replaced.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Stock objects are never deleted; a bitmap still selected is not deleted (FALSE).
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int which);
HBRUSH CreateSolidBrush(COLORREF colour);
// Only SRCCOPY; both rectangles are clipped to their surfaces.
BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
// Nearest-pixel scaling.
BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

// The raw frame buffer escape: the device's own picture memory, when the device answers it.
constexpr int GETRAWFRAMEBUFFER = 0x00020001;
constexpr WORD FORMAT_565 = 1;
struct RawFrameBufferInfo {
    WORD wFormat = 0;
    WORD wBPP = 0;
    void* pFramePointer = nullptr;
    int cxStride = 0;  // bytes
    int cyStride = 0;  // bytes
    int cxPixels = 0;
    int cyPixels = 0;
};
// Answers 1 and fills the record (outSize at least its size) when the device has a raw frame
// buffer, else 0. The frame pointer stays valid for the whole run.
int ExtEscape(HDC dc, int escape, int inSize, const char* input, int outSize, char* output);
// The program finished writing a frame into the raw frame buffer: the display shows it now and
// counts it as drawn (otherwise the display only refreshes from the buffer on its own).
void RawFrameWritten();
