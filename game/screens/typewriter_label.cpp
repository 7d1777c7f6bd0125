#include "game/screens/typewriter_label.h"

#include <new>
#include <string>

#include "engine/core/strings.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/widget_image.h"

void TypewriterText::Advance(Fixed step)
{
    Fixed total = Fixed::FromInt(total_);
    if (shown_ < total) {
        shown_ += step;
        if (shown_ >= total) {
            shown_ = total;
            done_ = true;
        }
    } else {
        done_ = true;
    }
}

void TypewriterText::CountTotal()
{
    total_ = 0;
    for (int i = 0; i < GetLineCount(); ++i)
        total_ += static_cast<int32_t>(GetLine(i)->Length());
}

void TypewriterText::Draw(SurfaceBase* surface, int x, int y, const Font* font, int r, int g, int b, int effect,
                          int alpha, int spacing, const Rect* clip) const
{
    if (shown_.raw <= 0 || GetLineCount() == 0 || !font)
        return;
    if (alignment != 0) {
        WrappedText::Draw(surface, x, y, font, r, g, b, effect, alpha, spacing, clip);
        return;
    }
    int shown = shown_.ToInt();
    int sum = 0;
    for (int i = 0; i < GetLineCount(); ++i) {
        const String* line = GetLine(i);
        int length = static_cast<int>(line->Length());
        const int lineX = GetLineX(i, x, font), lineY = GetLineY(i, y, font, spacing);
        if (sum + length <= shown) {
            font->DrawText(surface, lineX, lineY, line->CStr(), r, g, b, effect, alpha, clip);
            sum += length;
            continue;
        }
        int part = shown - sum;
        if (part >= 1) {
            std::string head(line->CStr(), static_cast<size_t>(part));
            font->DrawText(surface, lineX, lineY, head.c_str(), r, g, b, effect, alpha, clip);
        }
        return;
    }
}

bool TypewriterLabel::Rewrap()
{
    delete block_;
    block_ = typed_ = new (std::nothrow) TypewriterText();
    if (!typed_)
        return false;
    typed_->alignment = alignment_;
    typed_->width = wrapWidth_;
    if (!look_.font)
        return false;
    if (!text_.IsEmpty() && !typed_->SetText(wrapWidth_, look_.font, text_.CStr()))
        return false;
    typed_->CountTotal();
    return true;
}

void TypewriterLabel::Update()
{
    ScriptWidget::Update();
    if (IsVisible() && typed_)
        typed_->Advance(Fixed::FromInt(1));
}

void TypewriterLabel::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0 || text_.IsEmpty() || !look_.font || !typed_)
        return;
    typed_->Draw(screen, x_, y_, look_.font, look_.red, look_.green, look_.blue, look_.effect,
                 TextAlphaByte(effectiveAlpha_), rowSpacing_, nullptr);
}

bool TypewriterLabel::OnEvent(Widget* sender, int code, const char* name, int param)
{
    return Widget::OnEvent(sender, code, name, param);
}

bool IsTypewriterName(const char* name)
{
    return name && (SameText(name, "txt_temple_phrase1") || SameText(name, "txt_temple_phrase2") ||
                    SameText(name, "txt_temple_phrase3"));
}
