#include "game/play/floating_text.h"

#include <cstring>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"

FloatingText::FloatingText(GameApp* application) : application_(application)
{
    rise_ = application->GetLayoutTable().fixed[kLayoutTextRise];
}

int FloatingText::PlaceLine(char* line, const char* text, int x, int& width)
{
    std::strncpy(line, text, kLineBytes - 1);
    line[kLineBytes - 1] = 0;
    width = font_->MeasureText(line);
    int left = x - width / 2;
    if (left < 0)
        left = 0;
    if (left + width > surface_->GetWidth())
        left = surface_->GetWidth() - width;
    return left;
}

void FloatingText::Start(int x, int y, const char* text1, const char* text2, int red, int green, int blue, Font* font,
                         Surface* surface)
{
    if (!font || !surface || !text1 || !*text1)
        return;
    font_ = font;
    surface_ = surface;
    int lineHeight = font->GetLineHeight();
    lineHeight_ = static_cast<int16_t>(lineHeight);
    int width = 0;
    x1_ = static_cast<int16_t>(PlaceLine(line1_, text1, x, width));
    width1_ = static_cast<int16_t>(width);
    if (!text2 || !*text2) {
        y1_ = Fixed::FromInt(y - lineHeight / 2);
        line2_[0] = 0;
        x2_ = -100;
        width2_ = 0;
        y2_ = Fixed::FromInt(-100);
    } else {
        y1_ = Fixed::FromInt(y - lineHeight);
        x2_ = static_cast<int16_t>(PlaceLine(line2_, text2, x, width));
        width2_ = static_cast<int16_t>(width);
        y2_ = Fixed::FromInt(y);
    }
    previousY1_ = y1_;
    previousY2_ = y2_;
    red_ = static_cast<uint8_t>(red);
    green_ = static_cast<uint8_t>(green);
    blue_ = static_cast<uint8_t>(blue);
    life_ = kLife;
}

void FloatingText::Update()
{
    if (life_ < 1)
        return;
    --life_;
    previousY1_ = y1_;
    y1_ -= rise_;
    previousY2_ = y2_;
    y2_ -= rise_;
}

void FloatingText::Draw()
{
    if (life_ <= 0 || !font_ || !surface_)
        return;
    int alpha = GetAlpha();
    if (line1_[0])
        font_->DrawText(surface_, x1_, y1_.ToInt(), line1_, red_, green_, blue_, 1, alpha, nullptr);
    if (line2_[0])
        font_->DrawText(surface_, x2_, y2_.ToInt(), line2_, red_, green_, blue_, 1, alpha, nullptr);
}
