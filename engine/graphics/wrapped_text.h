#pragma once
// A paragraph broken into lines no wider than a width in a font, drawn one line under the other,
// aligned left (0), centred (1) or right (2) within its width.
#include "engine/core/arrays.h"
#include "engine/core/strings.h"
#include "engine/core/widget.h"

class Font;
class SurfaceBase;

class WrappedText {
public:
    WrappedText() = default;
    WrappedText(const WrappedText&) = delete;
    WrappedText& operator=(const WrappedText&) = delete;
    virtual ~WrappedText();

    // Appends the text's lines: breaks at blanks, at LF and at the two characters '\' 'n'; a word
    // wider than the wrap width stands alone. False for a null or empty text or a failed line.
    bool SetText(int wrapWidth, const Font* font, const char* text);
    void Clear();
    int GetLineCount() const { return lines_.Count(); }
    // Null out of range.
    const String* GetLine(int i) const { return static_cast<const String*>(lines_.Get(i)); }
    int GetHeight(const Font* font, int spacing) const;
    // Where Draw puts line i's left edge for a block at x, and its top for a block at y.
    int GetLineX(int i, int x, const Font* font) const;
    int GetLineY(int i, int y, const Font* font, int spacing) const;
    // Every line whole; a block that reveals its text bit by bit draws less.
    virtual void Draw(SurfaceBase* surface, int x, int y, const Font* font, int r, int g, int b, int effect,
                      int alpha, int spacing, const Rect* clip) const;

    int alignment = 1;
    int width = 100;

private:
    bool StoreLine(const char* text);

    PtrArray lines_{5};
};
