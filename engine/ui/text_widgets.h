#pragma once
// The text leaves: one line of a caption or language text, the application's version or build
// date, and a word-wrapped paragraph. Their look comes from a style of the font manager, with
// the description's colour and effect over it.
#include <cstdint>

#include "engine/core/strings.h"
#include "engine/ui/script_widget.h"

class Font;
class WrappedText;

// The style's names, colour, effect and font, then the text description's own colour and effect.
struct TextLook {
    String styleName, fontName;
    uint8_t red = 255, green = 255, blue = 255;
    uint8_t effect = 0;
    Font* font = nullptr;

    // Fails, taking no style, for a style the description names and the style sheet lacks; one that
    // names none takes the sheet's first.
    LoadResult Apply(Application* app, const TextSpec& spec);
};

// The text spec of any description that has one, else null.
const TextSpec* GetTextSpec(const WidgetDesc* desc);

class TextWidget : public ScriptWidget {
public:
    using ScriptWidget::ScriptWidget;

    bool Init() override;
    void Draw() override;
    Size& GetPreferredSize(Size& out) override;
    int GetTextPlaces(TextPlace* out, int max) override;

    const String& GetText() const { return text_; }
    // The owner's replacement text; callers lay the widget out again after it.
    void SetText(const char* text) { text_.Assign(text); }
    const TextLook& GetLook() const { return look_; }

protected:
    String text_;
    TextLook look_;
};

class TextInfoWidget : public TextWidget {
public:
    using TextWidget::TextWidget;

    bool Init() override;
    int GetInfoType() const { return infoType_; }

private:
    uint8_t infoType_ = 0;
};

class TextMultiWidget : public TextWidget {
public:
    using TextWidget::TextWidget;
    ~TextMultiWidget() override;

    bool Init() override;
    void Draw() override;
    Size& GetPreferredSize(Size& out) override;
    void Relayout() override;
    int GetTextPlaces(TextPlace* out, int max) override;
    virtual bool Rewrap();

    const WrappedText* GetBlock() const { return block_; }
    int GetWrapWidth() const { return wrapWidth_; }
    int GetAlignment() const { return alignment_; }
    int GetRowSpacing() const { return rowSpacing_; }

protected:
    WrappedText* block_ = nullptr;
    int wrapWidth_ = 100;
    int alignment_ = 1;
    int rowSpacing_ = 0;
};
