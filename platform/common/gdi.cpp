#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "platform/gdi.h"
#include "platform/handheld_internal.h"
#include "platform/window.h"

using platform_internal::CountCall;

struct GdiObject {
    enum Kind { Bitmap, Brush } kind;
    bool stock = false;
    // Bitmaps
    int width = 0, height = 0;
    std::vector<uint16_t> pixels;
    DeviceContext* selectedInto = nullptr;
    // Brushes
    uint16_t colour = 0;

    explicit GdiObject(Kind k) : kind(k) {}
};

struct DeviceContext {
    bool memory = false;
    HWND window = nullptr;
    GdiObject* bitmap = nullptr;
    GdiObject* brush = nullptr;
};

namespace {

std::set<GdiObject*> g_objects;
std::set<DeviceContext*> g_contexts;

uint16_t Pack565(COLORREF colour)
{
    unsigned r = colour & 0xFF, gr = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    return static_cast<uint16_t>(((r >> 3) << 11) | ((gr >> 2) << 5) | (b >> 3));
}

GdiObject* StockObject(int which)
{
    static GdiObject white(GdiObject::Brush), black(GdiObject::Brush), bitmap(GdiObject::Bitmap);
    static bool made = false;
    if (!made) {
        made = true;
        for (GdiObject* stock : {&white, &black, &bitmap}) {
            stock->stock = true;
            g_objects.insert(stock);
        }
        white.colour = 0xFFFF;
        black.colour = 0;
        // The 1x1 bitmap every new memory context starts with.
        bitmap.width = bitmap.height = 1;
        bitmap.pixels.assign(1, 0);
    }
    switch (which) {
    case WHITE_BRUSH:
        return &white;
    case BLACK_BRUSH:
        return &black;
    case -1:
        return &bitmap;
    default:
        return nullptr;
    }
}

bool IsObject(HGDIOBJ object)
{
    StockObject(-1);
    return object && g_objects.count(object) != 0;
}

bool IsContext(HDC dc)
{
    return dc && g_contexts.count(dc) != 0;
}

// The pixels a context draws into: the display for a screen context, else its bitmap.
struct Target {
    uint16_t* pixels = nullptr;
    int width = 0, height = 0;
};

Target TargetOf(DeviceContext* dc)
{
    Target target;
    if (!dc->memory) {
        target.pixels = platform_internal::DisplayPixels();
        target.width = platform_internal::DisplayWidth();
        target.height = platform_internal::DisplayHeight();
    } else if (dc->bitmap) {
        target.pixels = dc->bitmap->pixels.data();
        target.width = dc->bitmap->width;
        target.height = dc->bitmap->height;
    }
    return target;
}

void NoteDrawn(DeviceContext* dc)
{
    if (!dc->memory)
        platform_internal::MarkDisplayDrawn();
}

}  // namespace

HDC GetDC(HWND window)
{
    CountCall("GetDC");
    auto* dc = new DeviceContext;
    dc->window = window;
    dc->brush = StockObject(WHITE_BRUSH);
    g_contexts.insert(dc);
    return dc;
}

int ReleaseDC(HWND, HDC dc)
{
    CountCall("ReleaseDC");
    if (!IsContext(dc) || dc->memory)
        return 0;
    g_contexts.erase(dc);
    delete dc;
    platform_internal::PresentIfDrawn();
    return 1;
}

HDC CreateCompatibleDC(HDC)
{
    CountCall("CreateCompatibleDC");
    auto* dc = new DeviceContext;
    dc->memory = true;
    dc->bitmap = StockObject(-1);
    dc->brush = StockObject(WHITE_BRUSH);
    g_contexts.insert(dc);
    return dc;
}

BOOL DeleteDC(HDC dc)
{
    CountCall("DeleteDC");
    if (!IsContext(dc))
        return FALSE;
    if (dc->bitmap && dc->bitmap->selectedInto == dc)
        dc->bitmap->selectedInto = nullptr;
    g_contexts.erase(dc);
    delete dc;
    return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD)
{
    CountCall("CreateDIBSection");
    if (bits)
        *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section)
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize != sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 16 ||
        header.biCompression != BI_BITFIELDS || info->bmiColors[0] != 0xF800 || info->bmiColors[1] != 0x07E0 ||
        info->bmiColors[2] != 0x001F)
        return nullptr;
    if (header.biWidth <= 0 || header.biWidth > 8192 || header.biHeight >= 0 || header.biHeight < -8192)
        return nullptr;
    auto* bitmap = new GdiObject(GdiObject::Bitmap);
    bitmap->width = header.biWidth;
    bitmap->height = -header.biHeight;
    bitmap->pixels.assign(static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height), 0);
    g_objects.insert(bitmap);
    if (bits)
        *bits = bitmap->pixels.data();
    return bitmap;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    CountCall("SelectObject");
    if (!IsContext(dc) || !IsObject(object))
        return nullptr;
    if (object->kind == GdiObject::Brush) {
        GdiObject* old = dc->brush;
        dc->brush = object;
        return old;
    }
    // A bitmap goes into one memory context at a time.
    if (!dc->memory || (object->selectedInto && object->selectedInto != dc && !object->stock))
        return nullptr;
    GdiObject* old = dc->bitmap;
    if (old && old->selectedInto == dc)
        old->selectedInto = nullptr;
    dc->bitmap = object;
    if (!object->stock)
        object->selectedInto = dc;
    return old;
}

BOOL DeleteObject(HGDIOBJ object)
{
    CountCall("DeleteObject");
    if (!IsObject(object) || object->stock || object->selectedInto)
        return FALSE;
    for (DeviceContext* dc : g_contexts) {
        if (dc->brush == object)
            dc->brush = StockObject(WHITE_BRUSH);
    }
    g_objects.erase(object);
    delete object;
    return TRUE;
}

HGDIOBJ GetStockObject(int which)
{
    CountCall("GetStockObject");
    return StockObject(which);
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    CountCall("CreateSolidBrush");
    auto* brush = new GdiObject(GdiObject::Brush);
    brush->colour = Pack565(colour);
    g_objects.insert(brush);
    return brush;
}

BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop)
{
    CountCall("StretchBlt");
    if (!IsContext(target) || !IsContext(source) || rop != SRCCOPY)
        return FALSE;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return TRUE;
    Target to = TargetOf(target);
    Target from = TargetOf(source);
    if (!to.pixels || !from.pixels)
        return FALSE;
    int x0 = std::max(x, 0), x1 = std::min<long long>(static_cast<long long>(x) + width, to.width);
    int y0 = std::max(y, 0), y1 = std::min<long long>(static_cast<long long>(y) + height, to.height);
    for (int ty = y0; ty < y1; ++ty) {
        long long sy = sourceY + static_cast<long long>(ty - y) * sourceHeight / height;
        if (sy < 0 || sy >= from.height)
            continue;
        uint16_t* out = to.pixels + static_cast<size_t>(ty) * to.width;
        const uint16_t* in = from.pixels + static_cast<size_t>(sy) * from.width;
        for (int tx = x0; tx < x1; ++tx) {
            long long sx = sourceX + static_cast<long long>(tx - x) * sourceWidth / width;
            if (sx >= 0 && sx < from.width)
                out[tx] = in[sx];
        }
    }
    NoteDrawn(target);
    return TRUE;
}

BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    CountCall("BitBlt");
    if (!IsContext(target) || !IsContext(source) || rop != SRCCOPY)
        return FALSE;
    if (width <= 0 || height <= 0)
        return TRUE;
    Target to = TargetOf(target);
    Target from = TargetOf(source);
    if (!to.pixels || !from.pixels)
        return FALSE;
    // Clip against both surfaces, moving the other side along.
    long long left = std::max<long long>({0, static_cast<long long>(x), static_cast<long long>(x) - sourceX});
    long long right = std::min<long long>({static_cast<long long>(x) + width, to.width,
                                           static_cast<long long>(x) - sourceX + from.width});
    long long top = std::max<long long>({0, static_cast<long long>(y), static_cast<long long>(y) - sourceY});
    long long bottom = std::min<long long>({static_cast<long long>(y) + height, to.height,
                                            static_cast<long long>(y) - sourceY + from.height});
    for (long long ty = top; ty < bottom; ++ty) {
        long long sy = ty - y + sourceY;
        uint16_t* out = to.pixels + static_cast<size_t>(ty) * to.width;
        const uint16_t* in = from.pixels + static_cast<size_t>(sy) * from.width;
        for (long long tx = left; tx < right; ++tx)
            out[tx] = in[tx - x + sourceX];
    }
    NoteDrawn(target);
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    CountCall("FillRect");
    if (!IsContext(dc) || !rect || !IsObject(brush) || brush->kind != GdiObject::Brush)
        return 0;
    Target to = TargetOf(dc);
    if (!to.pixels)
        return 0;
    int x0 = std::max<LONG>(rect->left, 0), x1 = std::min<LONG>(rect->right, to.width);
    int y0 = std::max<LONG>(rect->top, 0), y1 = std::min<LONG>(rect->bottom, to.height);
    if (x0 >= x1 || y0 >= y1)
        return 1;
    for (int y = y0; y < y1; ++y)
        std::fill(to.pixels + static_cast<size_t>(y) * to.width + x0, to.pixels + static_cast<size_t>(y) * to.width + x1,
                  brush->colour);
    NoteDrawn(dc);
    return 1;
}
