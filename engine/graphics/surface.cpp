#include "engine/graphics/surface.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/core/application.h"
#include "engine/core/memory.h"
#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/surface_routines.h"

namespace {

// Cuts a run of count values written from x down to the part inside a row width wide; false
// when nothing is left.
template <typename T>
bool ClipRow(int& x, const T*& data, int& count, int width)
{
    if (x < 0) {
        data -= x;
        count += x;
        x = 0;
    }
    if (count > width - x)
        count = width - x;
    return count > 0;
}

// The colour-key settings: pixels less opaque than the threshold become the key colour.
constexpr int kColourKeyThreshold = 128;
constexpr int kColourKeyRed = 255, kColourKeyGreen = 0, kColourKeyBlue = 255;

int BytesForFormat(int format)
{
    static const int bytes[] = {2, 2, 2, 3, 4};
    return format >= 0 && format <= 4 ? bytes[format] : 0;
}

// Pixel count of a raw size, or -1 when it is negative or too large to address.
int64_t PixelCount(int w, int h, int bytesPerPixel)
{
    if (w < 0 || h < 0 || bytesPerPixel <= 0)
        return -1;
    int64_t count = int64_t(w) * h;
    if (count > INT_MAX / 4)
        return -1;
    return count;
}

}  // namespace

WideRect MapLogicalRectWide(int orientation, int64_t rawWidth, int64_t rawHeight, int64_t x, int64_t y, int64_t w,
                            int64_t h)
{
    if (orientation == 1)
        return {y, rawHeight - x - w, h, w};
    if (orientation == 2)
        return {rawWidth - y - h, x, h, w};
    return {x, y, w, h};
}

int SaturateToInt(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

RawRect MapLogicalRect(int orientation, int rawWidth, int rawHeight, int x, int y, int w, int h)
{
    WideRect r = MapLogicalRectWide(orientation, rawWidth, rawHeight, x, y, w, h);
    return {SaturateToInt(r.x), SaturateToInt(r.y), SaturateToInt(r.w), SaturateToInt(r.h)};
}

int MapMirrorFlags(int orientation, int flags)
{
    if (orientation != 1 && orientation != 2)
        return flags;
    return (flags & ~3) | ((flags & 1) << 1) | ((flags & 2) >> 1);
}

Surface::Surface(Application* application) : application_(application)
{
    DisplayProperties properties;
    Application::GetDefaultDisplayProperties(properties);
    bitDepth_ = properties.bitsPerPixel;
    format_ = properties.formatFlags;
    ChooseRoutines();
    orientation_ = application ? application->GetRotation() : 0;
}

Surface::Surface(Application* application, const DisplayProperties& properties) : application_(application)
{
    bitDepth_ = properties.bitsPerPixel;
    format_ = properties.formatFlags;
    ChooseRoutines();
    orientation_ = application ? application->GetRotation() : 0;
}

void Surface::ChooseRoutines()
{
    bytesPerPixel_ = BytesForFormat(format_);
    blit_ = surface_routines::BlitFor(format_);
    mask_ = surface_routines::MaskFor(format_);
    additiveMask_ = surface_routines::AdditiveMaskFor(format_);
    clear_ = surface_routines::ClearFor(format_);
}

Surface::~Surface()
{
    if (application_)
        application_->RemoveFromImageList(this);
    FreePixels();
    FreeAlpha();
}

bool Surface::Create(int rawWidth, int rawHeight)
{
    Release();
    DropExternalPixels();
    rawWidth_ = 0;
    rawHeight_ = 0;
    int64_t count = PixelCount(rawWidth, rawHeight, bytesPerPixel_);
    if (count < 0)
        return false;
    if (count == 0) {
        // An empty surface: no buffers, so every drawing operation leaves it alone.
        rawWidth_ = rawWidth;
        rawHeight_ = rawHeight;
        return true;
    }
    pixels_ = static_cast<uint8_t*>(Alloc(size_t(count) * bytesPerPixel_));
    if (!pixels_)
        return false;
    // The size follows the pixels, so a surface left without its plane still describes them.
    rawWidth_ = rawWidth;
    rawHeight_ = rawHeight;
    if (format_ == 4) {
        memset(pixels_, 0, size_t(count) * 4);
        alpha_ = pixels_;
        return true;
    }
    alpha_ = static_cast<uint8_t*>(Alloc(size_t(count)));
    if (!alpha_)
        return false;
    memset(alpha_, 255, size_t(count));
    return true;
}

bool Surface::AttachPixels(void* buffer, int width, int height)
{
    if (PixelCount(width, height, bytesPerPixel_) < 0)
        return false;
    ReplacePixels(buffer, Turned() ? height : width, Turned() ? width : height, false);
    return true;
}

bool Surface::AttachAlpha(uint8_t* buffer, int width, int height)
{
    if (format_ == 4 || PixelCount(width, height, 1) < 0)
        return false;
    int rawWidth = Turned() ? height : width;
    int rawHeight = Turned() ? width : height;
    // A plane must match the pixels it covers; the caller keeps its buffer when refused.
    if (pixels_ && (rawWidth != rawWidth_ || rawHeight != rawHeight_))
        return false;
    FreeAlpha();
    alpha_ = buffer;
    rawWidth_ = rawWidth;
    rawHeight_ = rawHeight;
    return true;
}

bool Surface::AttachFrameBuffer(void* pixels, int rawWidth, int rawHeight)
{
    ReplacePixels(pixels, rawWidth, rawHeight, true);
    return true;
}

// The old pixels go (a frame buffer is only let go), and with them a plane that no longer fits.
void Surface::ReplacePixels(void* buffer, int rawWidth, int rawHeight, bool external)
{
    if (format_ == 4) {
        // The alpha lives in the pixels, so the old plane goes with them; a frame buffer's fourth
        // bytes are never freed through the plane.
        Release();
        DropExternalPixels();
        alpha_ = static_cast<uint8_t*>(buffer);
        alphaShared_ = external;
    } else {
        FreePixels();
        DropExternalPixels();
        if (alpha_ && (rawWidth != rawWidth_ || rawHeight != rawHeight_))
            FreeAlpha();
    }
    pixels_ = static_cast<uint8_t*>(buffer);
    pixelsExternal_ = external;
    rawWidth_ = rawWidth;
    rawHeight_ = rawHeight;
}

void Surface::Clear(int r, int g, int b)
{
    if (clear_ && pixels_)
        clear_(*this, r, g, b);
}

bool Surface::Release()
{
    FreePixels();
    FreeAlpha();
    // A frame buffer stays attached, and with it its size.
    if (!pixels_) {
        rawWidth_ = 0;
        rawHeight_ = 0;
    }
    return true;
}

bool Surface::FreeAlpha()
{
    if (alpha_ && !alphaShared_)
        Free(alpha_);
    alpha_ = nullptr;
    alphaShared_ = false;
    return true;
}

// A frame buffer is never freed here; it is only let go when new pixels replace it.
void Surface::DropExternalPixels()
{
    if (pixelsExternal_) {
        pixels_ = nullptr;
        pixelsExternal_ = false;
    }
}

bool Surface::FreePixels()
{
    if (pixelsExternal_)
        return true;
    if (format_ == 4) {
        // The shared buffer goes with the following FreeAlpha when a plane points at it.
        if (!alpha_)
            Free(pixels_);
    } else {
        Free(pixels_);
    }
    pixels_ = nullptr;
    return true;
}

void Surface::SetAlpha(uint8_t* buffer)
{
    if (format_ != 4) {
        FreeAlpha();
        alpha_ = buffer;
        alphaShared_ = true;
        return;
    }
    // The fourth bytes are copied in; the plane stays the surface's own pixels.
    if (!pixels_ || !buffer)
        return;
    size_t count = size_t(rawWidth_) * size_t(rawHeight_);
    for (size_t i = 0; i < count; ++i)
        pixels_[i * 4 + 3] = buffer[i * 4 + 3];
    alpha_ = pixels_;
}

void Surface::CopyPixels(SurfaceBase* destination, int sourceIndex, int destinationIndex, int count)
{
    if (!destination || !pixels_ || !destination->GetPixels() || count <= 0 || sourceIndex < 0 ||
        destinationIndex < 0)
        return;
    int64_t sourceSize = int64_t(rawWidth_) * rawHeight_;
    int64_t destinationSize = int64_t(destination->GetRawWidth()) * destination->GetRawHeight() *
                              destination->GetBytesPerPixel() / (bytesPerPixel_ ? bytesPerPixel_ : 1);
    if (int64_t(sourceIndex) + count > sourceSize || int64_t(destinationIndex) + count > destinationSize)
        return;
    memmove(reinterpret_cast<uint8_t*>(destination->GetPixels()) + size_t(destinationIndex) * bytesPerPixel_,
            pixels_ + size_t(sourceIndex) * bytesPerPixel_, size_t(count) * bytesPerPixel_);
}

// Only the depth is stored: the bytes per pixel belong to the format, which chose the routines
// and sizes every buffer.
void Surface::SetBitDepth(int bits)
{
    bitDepth_ = bits;
}

void Surface::WriteRow(int x, int y, const uint16_t* data, int count)
{
    if (!pixels_ || !data || bytesPerPixel_ != 2 || y < 0 || y >= rawHeight_ || x >= rawWidth_ || count <= 0)
        return;
    if (ClipRow(x, data, count, rawWidth_))
        memcpy(GetPixels() + size_t(y) * rawWidth_ + x, data, size_t(count) * 2);
}

void Surface::WriteAlphaRow(int x, int y, const uint8_t* data, int count)
{
    if (!alpha_ || !data || format_ == 4 || y < 0 || y >= rawHeight_ || x >= rawWidth_ || count <= 0)
        return;
    if (ClipRow(x, data, count, rawWidth_))
        memcpy(alpha_ + size_t(y) * rawWidth_ + x, data, size_t(count));
}

void Surface::BuildColourKey()
{
    if (!pixels_ || !alpha_ || bytesPerPixel_ != 2 || format_ == 4)
        return;
    uint16_t key = 1;
    if (bitDepth_ == 16)
        key = pixel::Format565::Pack(kColourKeyRed, kColourKeyGreen, kColourKeyBlue);
    else if (bitDepth_ == 12)
        key = pixel::Format444::Pack(kColourKeyRed, kColourKeyGreen, kColourKeyBlue);
    uint16_t* p = GetPixels();
    size_t count = size_t(rawWidth_) * size_t(rawHeight_);
    for (size_t i = 0; i < count; ++i) {
        if (alpha_[i] < kColourKeyThreshold)
            p[i] = key;
    }
    FreeAlpha();
    colourKeyed_ = true;
    colourKey_ = key;
}

// A position beyond the int range lies off every surface, as does the int range's end it is held at.
void Surface::MapDrawPosition(const SurfaceBase* destination, int& x, int& y) const
{
    int64_t lx = x, ly = y;
    if (orientation_ == 1) {
        x = int(ly);
        y = SaturateToInt(destination->GetRawHeight() - int64_t(GetWidth()) - lx);
    } else if (orientation_ == 2) {
        x = SaturateToInt(destination->GetRawWidth() - ly - GetHeight());
        y = int(lx);
    }
}
