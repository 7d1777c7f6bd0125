#pragma once
// A bitmap font: 8-bit text drawn from one grey glyph image (16 x 14 cells for the codes 32..255)
// whose coverage is its alpha plane, an optional colour texture ("_eff.jpg") and the ".fdb"
// metrics: lead, width and trail of every code in quarter pixels.
#include <cstdint>
#include <memory>

#include "engine/core/load_result.h"
#include "engine/core/widget.h"

class Application;
class Surface;
class SurfaceBase;

// Text effects of the styles.
enum FontEffect {
    kEffectNone = 0,
    kEffectShadow = 1,
    kEffectBorder = 2,
    kEffectGlow = 3,
    kEffectWhiteBorder = 4,
    kEffectBorder2 = 5,
};
// The effects' names in style sheets and layout scripts, in effect-number order.
inline constexpr const char* kEffectNames[] = {"none", "shadow", "border", "glow", "white_border", "border2"};
inline constexpr int kEffectCount = sizeof(kEffectNames) / sizeof(kEffectNames[0]);
// How many pixels an effect's passes reach past the glyphs on each side.
struct EffectReach {
    int left = 0, top = 0, right = 0, bottom = 0;
};
EffectReach ReachOfEffect(int effect);

class Font {
public:
    explicit Font(Application* application);
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    virtual ~Font();

    // path: the glyph image including its 4-character extension. Metrics that do not hold all
    // 224 records are refused; a texture that cannot be used leaves the font in flat colour.
    LoadResult Load(const char* path);
    void SetGlyph(int code, int lead, int width, int trail);
    void GetGlyph(int code, int* lead, int* width, int* trail) const;
    void SetSpaceWidth(int pixels) { spaceWidth_ = pixels; }
    int GetSpaceWidth() const { return spaceWidth_; }
    void SetExtraWidth(int pixels) { extraWidth_ = pixels; }
    int GetExtraWidth() const { return extraWidth_; }
    void SetExtraHeight(int pixels) { extraHeight_ = pixels; }
    int GetExtraHeight() const { return extraHeight_; }
    int GetVerticalTrim() const { return verticalTrim_; }
    int GetCellWidth() const { return cellWidth_; }
    int GetCellHeight() const { return cellHeight_; }
    int GetAdvance(int code) const { return advances_[code & 255]; }
    bool HasTexture() const { return texture_ != nullptr; }
    Surface* GetGlyphSurface() const { return glyphSurface_.get(); }

    int GetLineHeight() const;
    // Width in pixels of one line; 0 for a null or empty text.
    int MeasureText(const char* text) const;
    // The rows a line's glyphs cover, from the y it is drawn at: the first inked row in top and
    // the one past the last in bottom. False when nothing of the text is inked.
    bool MeasureInk(const char* text, int* top, int* bottom) const;
    // Rows from the y a text is drawn at down to its first inked row: fonts carry blank rows above
    // their capitals. False for a text that inks nothing.
    bool MeasureInkTop(const char* text, int* top) const;
    // One line with its top-left at (x, y): r, g, b and alpha are bytes (alpha 0 draws nothing),
    // effect is 0..5 (others draw nothing), clip is null or a rectangle in logical coordinates.
    void DrawText(SurfaceBase* surface, int x, int y, const char* text, int r, int g, int b, int effect, int alpha,
                  const Rect* clip) const;

private:
    struct Glyph {
        int32_t lead = 0, width = 0, trail = 0;
    };
    struct Cell {
        int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    // The part of a glyph's cell that is drawn, and where it lands.
    struct Placement {
        int sx = 0, sy = 0, w = 0, h = 0;  // source rectangle in the glyph image
        int dx = 0, dy = 0;                // destination of its top-left, logical
    };
    struct Colour {
        int r, g, b;
    };
    using GlyphRoutine = int (Font::*)(SurfaceBase*, unsigned char, int, int, Colour, int, const Rect*) const;

    void Forget();
    void ClearRecords();
    void UpdateCell(int code);
    int Advance(unsigned char c) const { return advances_[c] + (glyphs_[c].lead >> 2); }
    bool Place(SurfaceBase* surface, unsigned char c, int px, int py, const Rect* clip, bool rawBounds,
               Placement& out) const;

    void DrawString(SurfaceBase* surface, int x, int y, const char* text, Colour colour, int alpha,
                    const Rect* clip, GlyphRoutine glyph) const;
    void DrawStringEffects(SurfaceBase* surface, int x, int y, const char* text, Colour colour, int effect,
                           int alpha, const Rect* clip, GlyphRoutine glyph) const;
    int DrawGlyph565(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                     const Rect* clip) const;
    void DrawGlyphTextured(SurfaceBase* surface, const Placement& p, Colour colour, int alpha) const;
    void DrawGlyphTexturedRotated(SurfaceBase* surface, const Placement& p, Colour colour, int alpha) const;
    int DrawGlyph8888(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                      const Rect* clip) const;
    int DrawGlyph888(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                     const Rect* clip) const;
    int DrawGlyph555(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                     const Rect* clip) const;
    int DrawGlyph444(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                     const Rect* clip) const;
    template <int Bytes>
    int DrawGlyphBytes(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                       const Rect* clip) const;
    template <int RedShift, int Bits>
    int DrawGlyphPacked(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                        const Rect* clip) const;

    Application* application_;
    std::unique_ptr<Surface> glyphSurface_;
    const uint8_t* coverage_ = nullptr;
    const uint16_t* texture_ = nullptr;
    int glyphWidth_ = 0, glyphHeight_ = 0;
    Glyph glyphs_[256];
    int cellWidth_ = 0, cellHeight_ = 0;
    Cell cells_[256];
    int32_t advances_[256] = {};
    int extraWidth_ = 2;
    int extraHeight_ = 0;
    int verticalTrim_ = 0;
    int spaceWidth_ = 0;
};
