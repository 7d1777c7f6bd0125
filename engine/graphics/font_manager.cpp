#include "engine/graphics/font_manager.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/font.h"
#include "engine/core/text_script.h"

namespace {

bool Is(const ShortString& s, const char* text)
{
    return s.Length() > 0 && !strcmp(s.CStr(), text);
}

const char* Text(const ShortString& s)
{
    return s.CStr() ? s.CStr() : "";
}

}  // namespace

FontEntry::~FontEntry()
{
    delete font;
}

int FindEffectByName(const char* name)
{
    if (!name)
        return -1;
    for (int i = 0; i < kEffectCount; ++i)
        if (!strcmp(name, kEffectNames[i]))
            return i;
    return -1;
}

FontManager::FontManager(Application* application) : application_(application) {}

FontManager::~FontManager()
{
    Clear();
}

void FontManager::Clear()
{
    for (int i = 0; i < fontCount_; ++i)
        delete fonts_[i];
    for (int i = 0; i < styleCount_; ++i)
        delete styles_[i];
    fontCount_ = styleCount_ = 0;
    inFont_ = inStyle_ = false;
}

LoadResult FontManager::Load(const char* fileName)
{
    Clear();
    if (!application_ || !fileName)
        return LoadResult::Failed(fileName, "no application to read it");
    std::unique_ptr<PackMemoryFile> file(application_->CreatePackMemoryFile());
    if (!file)
        return LoadResult::Failed(fileName, "no memory left");
    LoadResult why = file->Load(application_, fileName);
    sheetName_.Assign(file->GetShownName());
    if (why.ok() && !ParseStyles(file.get()))
        why = file->Refused("damaged: it holds more than eight fonts or styles");
    else if (why.ok() && (inFont_ || inStyle_))
        why = file->Refused("damaged: it ends inside a font's or style's block: it is cut short");
    else if (why.ok() && fontCount_ == 0)
        why = file->Refused("damaged: it names no font");
    return why;
}

FontEntry* FontManager::AddFont(const char* name)
{
    if (fontCount_ >= kMaxFonts)
        return nullptr;
    auto* entry = new (std::nothrow) FontEntry;
    if (!entry)
        return nullptr;
    entry->name.Assign(name);
    return fonts_[fontCount_++] = entry;
}

FontStyle* FontManager::AddStyle(const char* name)
{
    if (styleCount_ >= kMaxStyles)
        return nullptr;
    auto* style = new (std::nothrow) FontStyle;
    if (!style)
        return nullptr;
    style->name.Assign(name);
    return styles_[styleCount_++] = style;
}

bool FontManager::ParseStyles(Stream* stream)
{
    inFont_ = inStyle_ = false;
    ShortString line, key, value, unquoted;
    while (ReadScriptLine(stream, line)) {
        if (Is(line, "end")) {
            inFont_ = inStyle_ = false;
            continue;
        }
        if (!SplitKeyValue(line.CStr(), key, value))
            continue;
        if (!inFont_ && !inStyle_) {
            if (Is(key, "font")) {
                if (!AddFont(Text(Unquote(unquoted, value.CStr()))))
                    return false;
                inFont_ = true;
            } else if (Is(key, "style")) {
                if (!AddStyle(Text(Unquote(unquoted, value.CStr()))))
                    return false;
                inStyle_ = true;
            }
            continue;
        }
        if (inStyle_) {
            FontStyle* style = styles_[styleCount_ - 1];
            if (Is(key, "font")) {
                style->fontName.Assign(Unquote(unquoted, value.CStr()).CStr());
            } else if (Is(key, "color")) {
                ShortString items[3];
                int count = 0;
                SplitList(value.CStr(), 3, items, &count);
                if (count == 3) {
                    style->r = static_cast<uint8_t>(ParseInt(items[0].CStr()));
                    style->g = static_cast<uint8_t>(ParseInt(items[1].CStr()));
                    style->b = static_cast<uint8_t>(ParseInt(items[2].CStr()));
                }
            } else if (Is(key, "effect")) {
                int effect;
                if (value.Length() == 1) {
                    effect = ParseInt(value.CStr());
                } else {
                    effect = FindEffectByName(Unquote(unquoted, value.CStr()).CStr());
                    if (effect < 0)
                        effect = 0;
                }
                style->effect = static_cast<uint8_t>(effect);
            }
        } else {
            FontEntry* entry = fonts_[fontCount_ - 1];
            if (Is(key, "file"))
                entry->file.Assign(Unquote(unquoted, value.CStr()).CStr());
            else if (Is(key, "add_width"))
                entry->addWidth = static_cast<int8_t>(ParseInt(value.CStr()));
            else if (Is(key, "add_height"))
                entry->addHeight = static_cast<int8_t>(ParseInt(value.CStr()));
        }
    }
    return true;
}

LoadResult FontManager::BuildFonts()
{
    if (!application_)
        return LoadResult::Failed("styles", "no application to read them");
    String folder = application_->GetImageFolder();
    for (int i = 0; i < fontCount_; ++i) {
        FontEntry* entry = fonts_[i];
        delete entry->font;
        entry->font = nullptr;
        std::unique_ptr<Font> font(new (std::nothrow) Font(application_));
        if (!font)
            continue;
        String path;
        String::Concat(path, folder, entry->file);
        LoadResult why =
            path.IsEmpty() ? LoadResult::Missing(entry->name.CStr(), "names no file") : font->Load(path.CStr());
        if (why.ok()) {
            if (entry->addHeight != 0)
                font->SetExtraHeight(entry->addHeight);
            font->SetExtraWidth(entry->addWidth);
            entry->font = font.release();
            continue;
        }
        // A missing font's styles fall back on the first font; a damaged one is a failure.
        if (!why.IsMissing())
            return why;
    }
    return LoadResult();
}

void FontManager::ResolveStyleFonts()
{
    for (int i = 0; i < styleCount_; ++i) {
        FontStyle* style = styles_[i];
        style->font = fontCount_ > 0 ? fonts_[0]->font : nullptr;
        FontEntry* named = FindFont(style->fontName.CStr());
        if (named && named->font)
            style->font = named->font;
    }
}

FontStyle* FontManager::FindStyle(const char* name) const
{
    if (!name)
        return nullptr;
    for (int i = 0; i < styleCount_; ++i)
        if (styles_[i]->name.Equals(name))
            return styles_[i];
    return nullptr;
}

LoadedValue<FontStyle*> FontManager::RequireStyle(const char* name) const
{
    if (FontStyle* style = FindStyle(name))
        return {style, LoadResult()};
    char reason[120];
    snprintf(reason, sizeof reason, "damaged: it holds no style \"%s\"", name ? name : "");
    return {nullptr, LoadResult::Failed(sheetName_.Length() ? sheetName_.CStr() : "styles", reason)};
}

FontEntry* FontManager::FindFont(const char* name) const
{
    if (!name)
        return nullptr;
    for (int i = 0; i < fontCount_; ++i)
        if (fonts_[i]->name.Equals(name))
            return fonts_[i];
    return nullptr;
}
