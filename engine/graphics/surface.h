#pragma once
// The engine's only image: raw pixel rows in one of five formats, an optional alpha plane (255
// opaque) and an orientation. Orientation 1 or 2 means the buffer holds the picture turned by a
// quarter turn; logical operations map through it, raw ones do not.
#include <cstdint>

#include "engine/graphics/surface_base.h"

class Application;
struct DisplayProperties;

// Mirror flags of the blits.
enum : int {
    kMirrorLeftRight = 1,
    kMirrorTopBottom = 2,
};

// A rectangle in raw buffer coordinates.
struct RawRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// The same in 64 bits, where callers' coordinates may lie anywhere in the int range.
struct WideRect {
    int64_t x = 0, y = 0, w = 0, h = 0;
};

// Maps a logical rectangle of a surface whose raw size is rawWidth x rawHeight.
WideRect MapLogicalRectWide(int orientation, int64_t rawWidth, int64_t rawHeight, int64_t x, int64_t y, int64_t w,
                            int64_t h);
// The int form; values beyond the int range are held at its ends.
RawRect MapLogicalRect(int orientation, int rawWidth, int rawHeight, int x, int y, int w, int h);
// A 64-bit coordinate held within the int range.
int SaturateToInt(int64_t value);
// Bit 0 and bit 1 exchanged for the turned orientations.
int MapMirrorFlags(int orientation, int flags);

class Surface : public SurfaceBase {
public:
    explicit Surface(Application* application);
    // Format and bit depth taken from the given properties instead of the application's.
    Surface(Application* application, const DisplayProperties& properties);
    ~Surface() override;

    void SetOrientation(int orientation) override { orientation_ = orientation; }
    int GetOrientation() const override { return orientation_; }
    bool Create(int rawWidth, int rawHeight) override;
    bool AttachPixels(void* buffer, int width, int height) override;
    bool AttachAlpha(uint8_t* buffer, int width, int height) override;
    void Clear(int r, int g, int b) override;
    bool Release() override;
    bool FreeAlpha() override;
    bool FreePixels() override;
    int GetWidth() const override { return Turned() ? rawHeight_ : rawWidth_; }
    int GetHeight() const override { return Turned() ? rawWidth_ : rawHeight_; }
    int GetRawWidth() const override { return rawWidth_; }
    int GetRawHeight() const override { return rawHeight_; }
    uint16_t* GetPixels() const override { return reinterpret_cast<uint16_t*>(pixels_); }
    uint8_t* GetAlpha() const override { return alpha_; }
    void Draw(SurfaceBase* destination, int x, int y, int w, int h, int flags, int alphaOffset) override;
    void BlitAlpha(SurfaceBase* destination, int x, int y) override;
    void CopyAlphaTo(SurfaceBase* destination, int x, int y, int w, int h) override;
    void CopyTo(SurfaceBase* destination, int x, int y, int w, int h) override;
    void SetAlpha(uint8_t* buffer) override;
    void CopyPixels(SurfaceBase* destination, int sourceIndex, int destinationIndex, int count) override;
    bool IsAlphaShared() const override { return alphaShared_; }
    void DrawMask(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h, int flags,
                  int alphaOffset) override;
    void SetBitDepth(int bits) override;
    int GetBitDepth() const override { return bitDepth_; }
    void DrawVLine(int x, int y1, int y2, int r, int g, int b, int alpha) override;
    void DrawHLine(int x1, int x2, int y, int r, int g, int b, int alpha) override;
    void DrawRect(int x, int y, int w, int h, int r, int g, int b) override;
    void FillRect(int x, int y, int w, int h, int r, int g, int b) override;
    void DrawMaskAdditive(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h, int flags,
                          int alphaOffset) override;
    void BlitRegion(SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY,
                    int alphaOffset) override;
    void BlitRegionAdditive(SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY,
                            int alphaOffset) override;
    void BlitRegionTinted(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h, int sourceX,
                          int sourceY, int alphaOffset) override;
    void WriteRow(int x, int y, const uint16_t* data, int count) override;
    void WriteAlphaRow(int x, int y, const uint8_t* data, int count) override;
    void BuildColourKey() override;
    int GetFormat() const override { return format_; }
    int GetBytesPerPixel() const override { return bytesPerPixel_; }

    void Blit(SurfaceBase* destination, int x, int y, int w, int h, int flags);
    // Nearest-sample stretch of the raw source rectangle onto a w x h rectangle at the logical
    // position (x, y); sizes of 0 mean the source's raw size, negative sizes draw nothing.
    void StretchBlit(SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY, int sourceW,
                     int sourceH, int flags, int alphaOffset);
    // Every pixel through an HSL round trip with the deltas added; format 4 is left alone.
    void AdjustHsl(int hueDelta, int saturationDelta, int luminanceDelta);
    // Channels raised by amount/256 of themselves, clamped; 4:4:4 and 5:6:5 only.
    void Brighten(int amount);
    // Takes a buffer owned elsewhere (the frame buffer); the raw size is taken as given.
    bool AttachFrameBuffer(void* pixels, int rawWidth, int rawHeight);

    Application* GetApplication() const { return application_; }
    uint8_t* GetPixelBytes() const { return pixels_; }
    bool IsColourKeyed() const { return colourKeyed_; }
    uint16_t GetColourKey() const { return colourKey_; }

    // Per-format routines, chosen once by the constructor; null for an unknown format.
    using BlitRoutine = void (*)(const Surface& source, SurfaceBase* destination, int x, int y, int w, int h,
                                 int flags, int alphaOffset);
    using MaskRoutine = void (*)(const Surface& source, SurfaceBase* destination, int r, int g, int b, int x,
                                 int y, int w, int h, int flags, int alphaOffset);
    using ClearRoutine = void (*)(Surface& surface, int r, int g, int b);

private:
    bool Turned() const { return orientation_ == 1 || orientation_ == 2; }
    void ChooseRoutines();
    void DropExternalPixels();
    void ReplacePixels(void* buffer, int rawWidth, int rawHeight, bool external);
    // Maps a logical drawing position of this surface into the destination's raw buffer.
    void MapDrawPosition(const SurfaceBase* destination, int& x, int& y) const;

    BlitRoutine blit_ = nullptr;
    MaskRoutine mask_ = nullptr;
    MaskRoutine additiveMask_ = nullptr;
    ClearRoutine clear_ = nullptr;
    int rawWidth_ = 0;
    int rawHeight_ = 0;
    uint8_t* pixels_ = nullptr;
    uint8_t* alpha_ = nullptr;
    int bitDepth_ = 0;
    int bytesPerPixel_ = 0;
    int format_ = 0;
    int orientation_ = 0;
    Application* application_;
    bool alphaShared_ = false;
    bool pixelsExternal_ = false;
    bool colourKeyed_ = false;
    uint16_t colourKey_ = 0;
};
