#include "engine/ui/widget_desc.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/graphics/font.h"
#include "engine/core/text_script.h"

namespace {

const char* const kTypeWords[kDescTypeCount] = {"root", "image", "text", "button", "dialog", "progress",
                                                "tiledBG", "tuner", "text_multi", "checkBox", "textInfo"};

void AssignUnquoted(String& out, const char* value)
{
    ShortString plain;
    Unquote(plain, value);
    out.Assign(plain.CStr());
}

// "center" 1, the far word 2, else the value as a number.
uint8_t AlignOrNumber(const char* value, const char* farWord)
{
    uint8_t word = AlignOf(value, farWord);
    return word ? word : static_cast<uint8_t>(ParseInt(value));
}

// Three list items as red, green, blue; false, leaving them, with fewer items.
bool ParseColour(const char* value, uint8_t& red, uint8_t& green, uint8_t& blue)
{
    ShortString items[3];
    int count = 0;
    SplitList(value, 3, items, &count);
    if (count < 3)
        return false;
    red = static_cast<uint8_t>(ParseInt(items[0].CStr()));
    green = static_cast<uint8_t>(ParseInt(items[1].CStr()));
    blue = static_cast<uint8_t>(ParseInt(items[2].CStr()));
    return true;
}

// "file_<suffix>" and its kin offered to an image spec under the plain key.
bool ParseSuffixedImageKey(ImageSpec& spec, const char* key, const char* value, const char* suffix, bool withFrame)
{
    static const char* const kStems[] = {"file", "afile", "set", "frame"};
    if (!key)
        return false;
    for (const char* stem : kStems) {
        if (!withFrame && SameText(stem, "frame"))
            continue;
        size_t stemLength = strlen(stem);
        if (strncmp(key, stem, stemLength) == 0 && key[stemLength] == '_' && SameText(key + stemLength + 1, suffix))
            return spec.ParseKey(stem, value);
    }
    return false;
}

}  // namespace

const char* DescTypeWord(int type)
{
    return type >= 0 && type < kDescTypeCount ? kTypeWords[type] : nullptr;
}

int DescTypeOfWord(const char* word)
{
    for (int i = 0; i < kDescTypeCount; ++i) {
        if (SameText(word, kTypeWords[i]))
            return i;
    }
    return -1;
}

bool SameText(const char* a, const char* b)
{
    return strcmp(a ? a : "", b ? b : "") == 0;
}

uint8_t AlignOf(const char* value, const char* farWord)
{
    if (SameText(value, "center"))
        return 1;
    if (SameText(value, farWord))
        return 2;
    return 0;
}

bool ImageSpec::ParseKey(const char* key, const char* value)
{
    if (SameText(key, "file") || SameText(key, "afile")) {
        ShortString items[3];
        int count = 0;
        SplitList(value, 3, items, &count);
        if (SameText(key, "file")) {
            if (frameCount == 0)
                frameCount = 1;
            if (columns == 0)
                columns = 1;
            AssignUnquoted(file, items[0].CStr());
            if (count >= 2)
                frameCount = static_cast<int16_t>(ParseInt(items[1].CStr()));
            columns = count >= 3 ? static_cast<int16_t>(ParseInt(items[2].CStr())) : frameCount;
            return true;
        }
        AssignUnquoted(afile, items[0].CStr());
        if (count >= 2) {
            int16_t n = static_cast<int16_t>(ParseInt(items[1].CStr()));
            if (n != 0 && frameCount == 0)
                frameCount = n;
        }
        if (count >= 3) {
            int16_t n = static_cast<int16_t>(ParseInt(items[2].CStr()));
            if (n != 0 && columns == 0)
                columns = n;
        }
        if (count == 2 && columns == 0)
            columns = frameCount;
        return true;
    }
    if (SameText(key, "set")) {
        useSet = true;
        AssignUnquoted(set, value);
        return true;
    }
    if (SameText(key, "frame")) {
        frame = ParseInt(value);
        return true;
    }
    return false;
}

bool TextSpec::ParseKey(const char* key, const char* value)
{
    if (SameText(key, "caption")) {
        AssignUnquoted(caption, value);
        return true;
    }
    if (SameText(key, "style")) {
        AssignUnquoted(style, value);
        return true;
    }
    if (SameText(key, "color")) {
        if (ParseColour(value, red, green, blue))
            flags |= kTextColourGiven;
        return true;
    }
    if (SameText(key, "effect")) {
        if (value && strlen(value) == 1) {
            effect = static_cast<uint8_t>(ParseInt(value));
            flags |= kTextEffectGiven;
            return true;
        }
        ShortString plain;
        Unquote(plain, value);
        for (int i = 0; i < kEffectCount; ++i) {
            if (SameText(plain.CStr(), kEffectNames[i])) {
                effect = static_cast<uint8_t>(i);
                flags |= kTextEffectGiven;
                return true;
            }
        }
        // An unknown name gives no effect of its own, whatever an earlier line gave.
        effect = 0;
        flags &= static_cast<uint8_t>(~kTextEffectGiven);
        return true;
    }
    return false;
}

bool WidgetDesc::Parse(const char* key, const char* value)
{
    if (SameText(key, "txtid")) {
        AssignUnquoted(txtid, value);
        return true;
    }
    if (SameText(key, "size")) {
        ShortString items[2];
        SplitWords(value, 2, items);
        width = static_cast<int16_t>(ParseInt(items[0].CStr()));
        height = static_cast<int16_t>(ParseInt(items[1].CStr()));
        return true;
    }
    return false;
}

bool ImageDesc::Parse(const char* key, const char* value)
{
    return WidgetDesc::Parse(key, value) || image.ParseKey(key, value);
}

bool TextDesc::Parse(const char* key, const char* value)
{
    return WidgetDesc::Parse(key, value) || text.ParseKey(key, value);
}

bool ButtonDesc::Parse(const char* key, const char* value)
{
    if (WidgetDesc::Parse(key, value) || image.ParseKey(key, value) || text.ParseKey(key, value))
        return true;
    if (SameText(key, "shoulder")) {
        shoulder = SameText(value, "left") ? 1 : SameText(value, "right") ? 2 : 0;
        return true;
    }
    return false;
}

DialogDesc::~DialogDesc()
{
    for (int i = 0; i < children.Count(); ++i)
        delete ChildAt(i);
    for (int i = 0; i < bindings.Count(); ++i)
        delete BindingAt(i);
}

bool DialogDesc::Parse(const char* key, const char* value)
{
    if (WidgetDesc::Parse(key, value))
        return true;
    if (SameText(key, "bgCenterTilesX")) {
        bgCenterTilesX = static_cast<uint8_t>(ParseInt(value));
        return true;
    }
    if (SameText(key, "bgCenterTilesY")) {
        bgCenterTilesY = static_cast<uint8_t>(ParseInt(value));
        return true;
    }
    if (SameText(key, "background")) {
        AssignUnquoted(background, value);
        return true;
    }
    if (SameText(key, "color")) {
        if (ParseColour(value, red, green, blue))
            hasColour = 1;
        return true;
    }
    if (SameText(key, "size_method")) {
        sizeMethod = static_cast<uint8_t>(ParseInt(value));
        return true;
    }
    // A root is always modal for the engine; the key means nothing there.
    if (SameText(key, "modal") && type == kDescDialog) {
        modal = SameText(value, "children") ? 2 : SameText(value, "position") ? 1 : 0;
        return true;
    }
    return false;
}

ChildPlacement* DialogDesc::AddChild(const char* quotedName)
{
    std::unique_ptr<ChildPlacement> placement(new (std::nothrow) ChildPlacement());
    if (!placement)
        return nullptr;
    AssignUnquoted(placement->name, quotedName);
    if (!children.Add(placement.get()))
        return nullptr;
    return placement.release();
}

void DialogDesc::ParsePlacementLine(const char* key, const char* value)
{
    ChildPlacement* p = ChildAt(children.Count() - 1);
    if (!p)
        return;
    if (SameText(value, "centered")) {
        p->alignXInParent = 1;
        p->x = 0;
        return;
    }
    ShortString items[2];
    int count = 0;
    if (SameText(key, "position")) {
        SplitList(value, 2, items, &count);
        if (count < 2)
            return;
        if (SameText(items[0].CStr(), "centered")) {
            p->alignXInParent = 1;
            p->x = 0;
        } else {
            p->x = static_cast<int16_t>(ParseInt(items[0].CStr()));
        }
        p->y = static_cast<int16_t>(ParseInt(items[1].CStr()));
    } else if (SameText(key, "align") || SameText(key, "alignX")) {
        p->alignX = AlignOf(value, "right");
    } else if (SameText(key, "alignY")) {
        p->alignY = AlignOf(value, "bottom");
    } else if (SameText(key, "alignXInParent")) {
        p->alignXInParent = AlignOf(value, "right");
    } else if (SameText(key, "alignYInParent")) {
        p->alignYInParent = AlignOf(value, "bottom");
    } else if (SameText(key, "in") || SameText(key, "out")) {
        SplitList(value, 2, items, &count);
        bool in = SameText(key, "in");
        (in ? p->fadeIn : p->fadeOut) = true;
        // A missing item leaves its time as it was.
        if (count >= 1)
            ParseFixed8(in ? p->inDelay : p->outTime, items[0].CStr(), 0);
        if (count >= 2)
            ParseFixed8(in ? p->inDuration : p->outDuration, items[1].CStr(), 0);
    }
}

void DialogDesc::ParseBindingLine(const char* key, const char* value)
{
    if (!SameText(key, "onCommand"))
        return;
    ShortString items[2];
    int count = 0;
    SplitList(value, 2, items, &count);
    if (count < 2)
        return;
    std::unique_ptr<CommandBinding> binding(new (std::nothrow) CommandBinding());
    if (!binding)
        return;
    AssignUnquoted(binding->command, items[0].CStr());
    AssignUnquoted(binding->action, items[1].CStr());
    if (bindings.Add(binding.get()))
        binding.release();
}

bool RootDesc::Parse(const char* key, const char* value)
{
    if (DialogDesc::Parse(key, value))
        return true;
    if (SameText(key, "alignBg")) {
        alignBg = AlignOrNumber(value, "right");
        return true;
    }
    if (SameText(key, "alignBgV")) {
        alignBgV = AlignOrNumber(value, "bottom");
        return true;
    }
    return false;
}

bool ProgressBarDesc::Parse(const char* key, const char* value)
{
    return WidgetDesc::Parse(key, value) || ParseSuffixedImageKey(emptyImage, key, value, "empty", true) ||
           ParseSuffixedImageKey(fullImage, key, value, "full", true);
}

bool TiledBgDesc::Parse(const char* key, const char* value)
{
    static const char* const kTileKeys[kTileCount] = {"left_top", "top", "right_top", "left", "center",
                                                      "right", "left_bottom", "bottom", "right_bottom"};
    if (WidgetDesc::Parse(key, value))
        return true;
    for (int i = 0; i < kTileCount; ++i) {
        if (SameText(key, kTileKeys[i])) {
            AssignUnquoted(tiles[i], value);
            bool sideColumn = i % 3 != 1;
            if (sideColumn)
                sideTiles = 1;
            return true;
        }
    }
    if (SameText(key, "own_tiles")) {
        ownTiles = 1;
        ShortString items[2];
        int count = 0;
        SplitList(value, 2, items, &count);
        if (count == 2) {
            int8_t x = static_cast<int8_t>(ParseInt(items[0].CStr()));
            int8_t y = static_cast<int8_t>(ParseInt(items[1].CStr()));
            tilesX = x < 0 ? 0 : x;
            tilesY = y < 0 ? 0 : y;
        }
        return true;
    }
    return false;
}

bool TunerDesc::Parse(const char* key, const char* value)
{
    if (WidgetDesc::Parse(key, value))
        return true;
    if (SameText(value, "vertical")) {
        vertical = 1;
        return true;
    }
    if (SameText(key, "tunerId") || SameText(key, "fullId") || SameText(key, "handleId")) {
        AssignUnquoted(SameText(key, "tunerId") ? tunerId : SameText(key, "fullId") ? fullId : handleId, value);
        return true;
    }
    if (SameText(key, "tunerFrame") || SameText(key, "fullFrame")) {
        (SameText(key, "tunerFrame") ? tunerFrame : fullFrame) = static_cast<uint8_t>(ParseInt(value));
        return true;
    }
    int16_t* word = SameText(key, "step") ? &step : SameText(key, "max") ? &max : SameText(key, "offsetLeft") ? &offsetLeft
                  : SameText(key, "offsetRight") ? &offsetRight : nullptr;
    if (!word)
        return false;
    *word = static_cast<int16_t>(ParseInt(value));
    return true;
}

bool TextMultiDesc::Parse(const char* key, const char* value)
{
    if (WidgetDesc::Parse(key, value) || text.ParseKey(key, value))
        return true;
    if (SameText(key, "mt_align")) {
        mtAlign = SameText(value, "center") ? 1 : SameText(value, "right") ? 2 : SameText(value, "left") ? 0
                : static_cast<int8_t>(ParseInt(value));
        return true;
    }
    if (SameText(key, "row_add_dy")) {
        rowAddDy = ParseInt(value);
        return true;
    }
    return false;
}

bool CheckBoxDesc::Parse(const char* key, const char* value)
{
    if (ButtonDesc::Parse(key, value))
        return true;
    if (SameText(key, "textAlign")) {
        textAlign = SameText(value, "1") || SameText(value, "side") || SameText(value, "Side") ? 1 : 0;
        return true;
    }
    if (SameText(key, "textOffset")) {
        if (SameText(value, "0")) {
            textOffset = 0;
        } else {
            int16_t offset = static_cast<int16_t>(ParseInt(value));
            textOffset = offset == 0 ? kTextOffsetUnset : offset;
        }
        return true;
    }
    return ParseSuffixedImageKey(checkedImage, key, value, "checked", false);
}

bool TextInfoDesc::Parse(const char* key, const char* value)
{
    if (WidgetDesc::Parse(key, value) || text.ParseKey(key, value))
        return true;
    if (SameText(key, "infoType")) {
        ShortString plain;
        Unquote(plain, value);
        infoType = SameText(plain.CStr(), "1") || SameText(plain.CStr(), "buildDate") ? 1 : 0;
        return true;
    }
    return false;
}
