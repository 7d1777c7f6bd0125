#pragma once
// The style sheet "styles.txt": up to eight fonts (a glyph image with its metrics) and up to
// eight text styles (a font, a colour and an effect), read in full before any font is built.
#include <cstdint>

#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class Font;
class Stream;

struct FontEntry {
    FontEntry() = default;
    FontEntry(const FontEntry&) = delete;
    FontEntry& operator=(const FontEntry&) = delete;
    ~FontEntry();

    String name;
    String file;  // relative to the image folder
    int8_t addWidth = 0;
    int8_t addHeight = 0;
    Font* font = nullptr;  // owned; null until built or when loading failed
};

struct FontStyle {
    String name;
    String fontName;
    uint8_t r = 0, g = 0, b = 0;
    uint8_t effect = 0;
    Font* font = nullptr;  // the entry's, set by ResolveStyleFonts
};

// Index of an effect name ("none" 0 .. "border2" 5), exact and case-sensitive; -1 when unknown.
int FindEffectByName(const char* name);

class FontManager {
public:
    static constexpr int kMaxFonts = 8;
    static constexpr int kMaxStyles = 8;

    explicit FontManager(Application* application);
    FontManager(const FontManager&) = delete;
    FontManager& operator=(const FontManager&) = delete;
    virtual ~FontManager();

    // Replaces everything with the sheet's blocks; a failure when it cannot be read, holds a ninth
    // font or style (the blocks before it stay) or names no font at all.
    LoadResult Load(const char* fileName);
    bool ParseStyles(Stream* stream);
    // Loads every entry's font from the image folder; an entry whose files are missing has none,
    // one whose files are damaged ends the build with why.
    LoadResult BuildFonts();
    // Every style takes its named font, else the first entry's.
    void ResolveStyleFonts();

    FontStyle* FindStyle(const char* name) const;
    // The style a widget asks for by name; one the sheet lacks is damage of the sheet (cut short,
    // it loses its last styles), which the failure names.
    LoadedValue<FontStyle*> RequireStyle(const char* name) const;
    FontStyle* GetFirstStyle() const { return styleCount_ > 0 ? styles_[0] : nullptr; }
    FontEntry* FindFont(const char* name) const;
    FontEntry* GetDefaultFont() const { return fontCount_ > 0 ? fonts_[0] : nullptr; }
    int GetFontCount() const { return fontCount_; }
    int GetStyleCount() const { return styleCount_; }
    FontEntry* GetFontEntry(int i) const { return i >= 0 && i < fontCount_ ? fonts_[i] : nullptr; }
    FontStyle* GetStyle(int i) const { return i >= 0 && i < styleCount_ ? styles_[i] : nullptr; }

private:
    void Clear();
    FontEntry* AddFont(const char* name);
    FontStyle* AddStyle(const char* name);

    Application* application_;
    FontEntry* fonts_[kMaxFonts] = {};
    int fontCount_ = 0;
    FontStyle* styles_[kMaxStyles] = {};
    int styleCount_ = 0;
    bool inFont_ = false;
    bool inStyle_ = false;
    LongString sheetName_;  // as its pack names it
};
