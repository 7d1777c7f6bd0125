#pragma once
// The drawable-image interface. Surface is its one implementation; drawing operations take their
// destination through it and touch its buffers only through the accessors below.
#include <cstdint>

class SurfaceBase {
public:
    SurfaceBase() = default;
    SurfaceBase(const SurfaceBase&) = delete;
    SurfaceBase& operator=(const SurfaceBase&) = delete;
    virtual ~SurfaceBase() = default;

    virtual void SetOrientation(int orientation) = 0;
    virtual int GetOrientation() const = 0;
    virtual bool Create(int rawWidth, int rawHeight) = 0;
    virtual bool AttachPixels(void* buffer, int width, int height) = 0;
    virtual bool AttachAlpha(uint8_t* buffer, int width, int height) = 0;
    virtual void Clear(int r, int g, int b) = 0;
    virtual bool Release() = 0;
    virtual bool FreeAlpha() = 0;
    virtual bool FreePixels() = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual int GetRawWidth() const = 0;
    virtual int GetRawHeight() const = 0;
    virtual uint16_t* GetPixels() const = 0;
    virtual uint8_t* GetAlpha() const = 0;
    virtual void Draw(SurfaceBase* destination, int x, int y, int w, int h, int flags, int alphaOffset) = 0;
    virtual void BlitAlpha(SurfaceBase* destination, int x, int y) = 0;
    virtual void CopyAlphaTo(SurfaceBase* destination, int x, int y, int w, int h) = 0;
    virtual void CopyTo(SurfaceBase* destination, int x, int y, int w, int h) = 0;
    virtual void SetAlpha(uint8_t* buffer) = 0;
    virtual void CopyPixels(SurfaceBase* destination, int sourceIndex, int destinationIndex, int count) = 0;
    virtual bool IsAlphaShared() const = 0;
    virtual void DrawMask(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h, int flags,
                          int alphaOffset) = 0;
    virtual void SetBitDepth(int bits) = 0;
    virtual int GetBitDepth() const = 0;
    virtual void DrawVLine(int x, int y1, int y2, int r, int g, int b, int alpha) = 0;
    virtual void DrawHLine(int x1, int x2, int y, int r, int g, int b, int alpha) = 0;
    virtual void DrawRect(int x, int y, int w, int h, int r, int g, int b) = 0;
    virtual void FillRect(int x, int y, int w, int h, int r, int g, int b) = 0;
    virtual void DrawMaskAdditive(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h,
                                  int flags, int alphaOffset) = 0;
    virtual void BlitRegion(SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY,
                            int alphaOffset) = 0;
    virtual void BlitRegionAdditive(SurfaceBase* destination, int x, int y, int w, int h, int sourceX,
                                    int sourceY, int alphaOffset) = 0;
    virtual void BlitRegionTinted(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h,
                                  int sourceX, int sourceY, int alphaOffset) = 0;
    virtual void WriteRow(int x, int y, const uint16_t* data, int count) = 0;
    virtual void WriteAlphaRow(int x, int y, const uint8_t* data, int count) = 0;
    virtual void BuildColourKey() = 0;
    // The contents-changed notice, sent after the pixels are replaced wholesale.
    virtual bool ReturnTrue() { return true; }

    // Pixel format (0..4) and bytes per pixel; drawing routines check the destination's.
    virtual int GetFormat() const = 0;
    virtual int GetBytesPerPixel() const = 0;
};
