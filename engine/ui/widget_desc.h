#pragma once
// The records a UI layout script is read into: one description per widget block, of eleven
// kinds, with the images, texts, child placements and command bindings they hold. Each record
// reads its own keys; an unknown key is left alone.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/fixed.h"
#include "engine/core/strings.h"
#include "engine/ui/widget_messages.h"

enum WidgetDescType : uint8_t {
    kDescRoot = 0,
    kDescImage = 1,
    kDescText = 2,
    kDescButton = 3,
    kDescDialog = 4,
    kDescProgress = 5,
    kDescTiledBg = 6,
    kDescTuner = 7,
    kDescTextMulti = 8,
    kDescCheckBox = 9,
    kDescTextInfo = 10,
};
constexpr int kDescTypeCount = 11;

// The word that opens a block of the type, or null past the last type.
const char* DescTypeWord(int type);
// The type a block word names, or -1 for a word that is none of them.
int DescTypeOfWord(const char* word);

// Texts compared byte for byte; an empty String (null text) reads as "".
bool SameText(const char* a, const char* b);
// An alignment word: "center" 1, the far word ("right" or "bottom") 2, anything else 0.
uint8_t AlignOf(const char* value, const char* farWord);

struct ImageSpec {
    bool useSet = false;
    String file;
    String afile;
    int16_t frameCount = 0;
    int16_t columns = 0;
    String set;
    int32_t frame = 0;

    // "file", "afile", "set" and "frame"; true when the key was one of them.
    bool ParseKey(const char* key, const char* value);
};

constexpr uint8_t kTextColourGiven = 1;
constexpr uint8_t kTextEffectGiven = 2;

struct TextSpec {
    String caption;
    String style;
    uint8_t red = 0, green = 0, blue = 0;
    uint8_t effect = 0;
    uint8_t flags = 0;

    bool ParseKey(const char* key, const char* value);
};

// Where a created widget goes and how it fades; seconds are 24.8 fixed point.
struct ChildPlacement {
    String name;
    int16_t x = 0, y = 0;
    uint8_t alignX = 0, alignY = 0;
    uint8_t alignXInParent = 0, alignYInParent = 0;
    bool fadeIn = false;
    Fixed inDelay, inDuration;
    bool fadeOut = false;
    Fixed outTime, outDuration;
};

struct CommandBinding {
    String action;
    String command;
    int16_t code = kMsgCommand;
};

class WidgetDesc {
public:
    WidgetDesc() = default;
    WidgetDesc(const WidgetDesc&) = delete;
    WidgetDesc& operator=(const WidgetDesc&) = delete;
    virtual ~WidgetDesc() = default;
    virtual bool Parse(const char* key, const char* value);

    String name;
    String txtid;
    uint8_t type = 0;
    int16_t width = 0, height = 0;
};

class ImageDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    ImageSpec image;
};

class TextDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    TextSpec text;
};

class ButtonDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    ImageSpec image;
    TextSpec text;
    int16_t shoulder = 0;
};

class DialogDesc : public WidgetDesc {
public:
    ~DialogDesc() override;
    bool Parse(const char* key, const char* value) override;
    // One line of a child sub-block, applied to the last placement.
    void ParsePlacementLine(const char* key, const char* value);
    // One line of the actions sub-block.
    void ParseBindingLine(const char* key, const char* value);
    // Appends a placement named by the unquoted value; null when memory runs out.
    ChildPlacement* AddChild(const char* quotedName);

    int ChildCount() const { return children.Count(); }
    ChildPlacement* ChildAt(int index) const { return static_cast<ChildPlacement*>(children.Get(index)); }
    int BindingCount() const { return bindings.Count(); }
    CommandBinding* BindingAt(int index) const { return static_cast<CommandBinding*>(bindings.Get(index)); }

    PtrArray children{1};
    PtrArray bindings{1};
    String background;
    uint8_t modal = 0;
    uint8_t bgCenterTilesX = 1, bgCenterTilesY = 1;
    uint8_t sizeMethod = 1;
    uint8_t hasColour = 0;
    uint8_t red = 0, green = 0, blue = 0;
};

class RootDesc : public DialogDesc {
public:
    RootDesc() { sizeMethod = 0; }
    bool Parse(const char* key, const char* value) override;
    uint8_t alignBg = 0, alignBgV = 0;
};

class ProgressBarDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    ImageSpec emptyImage;
    ImageSpec fullImage;
};

// Tiles in the order the nine keys are listed.
enum TileSlot { kTileLeftTop, kTileTop, kTileRightTop, kTileLeft, kTileCenter, kTileRight, kTileLeftBottom, kTileBottom, kTileRightBottom, kTileCount };

class TiledBgDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    String tiles[kTileCount];
    uint8_t sideTiles = 0;
    uint8_t ownTiles = 0;
    int8_t tilesX = 0, tilesY = 0;
};

class TunerDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    String tunerId, fullId, handleId;
    int16_t offsetLeft = 0, offsetRight = 0;
    int16_t step = 5;
    int16_t max = 100;
    uint8_t tunerFrame = 0, fullFrame = 0;
    uint8_t vertical = 0;
};

class TextMultiDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    TextSpec text;
    int32_t mtAlign = 1;
    int32_t rowAddDy = 0;
};

constexpr int16_t kTextOffsetUnset = -10000;

class CheckBoxDesc : public ButtonDesc {
public:
    bool Parse(const char* key, const char* value) override;
    ImageSpec checkedImage;
    int16_t textAlign = 1;
    int16_t textOffset = kTextOffsetUnset;
};

class TextInfoDesc : public WidgetDesc {
public:
    bool Parse(const char* key, const char* value) override;
    TextSpec text;
    uint8_t infoType = 0;
};
