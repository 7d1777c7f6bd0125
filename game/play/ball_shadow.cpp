#include "game/play/ball_shadow.h"

#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"

namespace {

constexpr int kShadowAlphaOffset = -128;

}  // namespace

void DrawBallShadowReference(TrigTable& trig, Surface* shadow, Surface* target, Fixed x, Fixed y, Fixed16 scale)
{
    if (!shadow || !target)
        return;
    trig.SetDrawMode(1);
    trig.DrawRotatedTinted(shadow, target, x, y, 0, scale, 0, 0, 0, kShadowAlphaOffset);
    trig.SetDrawMode(0);
}

void DrawBallShadow(TrigTable& trig, Surface* shadow, Surface* target, Fixed x, Fixed y, Fixed16 scale)
{
    if (!shadow || !target)
        return;
    if (scale.raw != Fixed16::FromInt(1).raw || !shadow->GetAlpha() || target->GetOrientation() != 0) {
        DrawBallShadowReference(trig, shadow, target, x, y, scale);
        return;
    }
    // Unturned and unscaled: the image's top-left on the nearest whole pixel.
    const int left = (x.raw - shadow->GetWidth() * 128 + 128) >> 8;
    const int top = (y.raw - shadow->GetHeight() * 128 + 128) >> 8;
    shadow->DrawMask(target, 0, 0, 0, left, top, 0, 0, 0, kShadowAlphaOffset);
}
