#include "engine/ui/text_widgets.h"

#include <new>

#include "engine/core/application.h"
#include "engine/graphics/font.h"
#include "engine/graphics/font_manager.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/widget_image.h"

LoadResult TextLook::Apply(Application* app, const TextSpec& spec)
{
    FontManager* manager = app ? app->GetFontManager() : nullptr;
    FontStyle* style = nullptr;
    if (manager && !spec.style.IsEmpty()) {
        LoadedValue<FontStyle*> required = manager->RequireStyle(spec.style.CStr());
        if (!required.value)
            return required.why;
        style = required.value;
    } else if (manager) {
        style = manager->GetFirstStyle();
    }
    if (style) {
        styleName = style->name;
        fontName = style->fontName;
        red = style->r;
        green = style->g;
        blue = style->b;
        effect = style->effect;
        font = style->font;
    }
    if (spec.flags & kTextColourGiven) {
        red = spec.red;
        green = spec.green;
        blue = spec.blue;
    }
    if (spec.flags & kTextEffectGiven)
        effect = spec.effect;
    return LoadResult();
}

const TextSpec* GetTextSpec(const WidgetDesc* desc)
{
    if (auto* text = dynamic_cast<const TextDesc*>(desc))
        return &text->text;
    if (auto* multi = dynamic_cast<const TextMultiDesc*>(desc))
        return &multi->text;
    if (auto* info = dynamic_cast<const TextInfoDesc*>(desc))
        return &info->text;
    if (auto* button = dynamic_cast<const ButtonDesc*>(desc))
        return &button->text;
    return nullptr;
}

bool TextWidget::Init()
{
    if (!ScriptWidget::Init())
        return false;
    const TextSpec* spec = GetTextSpec(desc_);
    if (!spec)
        return false;
    text_ = spec->caption;
    return Loaded(LoadCaptionText(text_)) && Loaded(look_.Apply(application_, *spec));
}

void TextWidget::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ < 1 || text_.IsEmpty() || !look_.font)
        return;
    look_.font->DrawText(screen, x_, y_, text_.CStr(), look_.red, look_.green, look_.blue, look_.effect,
                         TextAlphaByte(effectiveAlpha_), nullptr);
}

int TextWidget::GetTextPlaces(TextPlace* out, int max)
{
    return PutTextPlace(out, max, look_.font, Point{x_, y_}, text_.CStr());
}

Size& TextWidget::GetPreferredSize(Size& out)
{
    out = Size{width_, height_};
    if (out.w < 2 && look_.font && !text_.IsEmpty())
        out.w = look_.font->MeasureText(text_.CStr());
    if (out.h < 2 && look_.font)
        out.h = look_.font->GetLineHeight();
    return out;
}

bool TextInfoWidget::Init()
{
    if (!TextWidget::Init())
        return false;
    auto* desc = dynamic_cast<TextInfoDesc*>(desc_);
    if (!desc || !application_)
        return false;
    infoType_ = desc->infoType;
    if (infoType_ == 0)
        text_ = application_->GetVersionText();
    else if (infoType_ == 1)
        text_ = application_->GetBuildDate();
    else
        return false;
    return true;
}

TextMultiWidget::~TextMultiWidget()
{
    delete block_;
}

bool TextMultiWidget::Init()
{
    if (!TextWidget::Init())
        return false;
    auto* desc = dynamic_cast<TextMultiDesc*>(desc_);
    if (!desc)
        return false;
    alignment_ = desc->mtAlign;
    rowSpacing_ = desc->rowAddDy;
    wrapWidth_ = desc->width == 0 ? 100 : desc->width;
    return Rewrap();
}

bool TextMultiWidget::Rewrap()
{
    delete block_;
    block_ = new (std::nothrow) WrappedText();
    if (!block_)
        return false;
    block_->alignment = alignment_;
    block_->width = wrapWidth_;
    if (!look_.font)
        return false;
    if (text_.IsEmpty())
        return true;
    return block_->SetText(wrapWidth_, look_.font, text_.CStr());
}

void TextMultiWidget::Relayout()
{
    TextWidget::Relayout();
    Rewrap();
}

void TextMultiWidget::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ < 1 || text_.IsEmpty() || !look_.font || !block_)
        return;
    block_->Draw(screen, x_, y_, look_.font, look_.red, look_.green, look_.blue, look_.effect,
                 TextAlphaByte(effectiveAlpha_), rowSpacing_, nullptr);
}

int TextMultiWidget::GetTextPlaces(TextPlace* out, int max)
{
    if (text_.IsEmpty() || !look_.font || !block_)
        return 0;
    int count = 0;
    for (int i = 0; i < block_->GetLineCount(); ++i) {
        const char* line = block_->GetLine(i)->CStr();
        if (!line || !*line)
            continue;
        if (count < max)
            out[count] = PlaceText(look_.font, block_->GetLineX(i, x_, look_.font),
                                   block_->GetLineY(i, y_, look_.font, rowSpacing_), line);
        ++count;
    }
    return count;
}

Size& TextMultiWidget::GetPreferredSize(Size& out)
{
    if (text_.IsEmpty() || !look_.font || !block_) {
        out = Size{5, 5};
        return out;
    }
    out = Size{wrapWidth_, (look_.font->GetLineHeight() + rowSpacing_) * block_->GetLineCount()};
    return out;
}
