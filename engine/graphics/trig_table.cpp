#include "engine/graphics/trig_table.h"

#include <cmath>

#include "engine/core/application.h"
#include "engine/core/invariant.h"
#include "engine/core/memory.h"
#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/rotated_draw.h"
#include "engine/graphics/surface_base.h"

using rotated_draw::Variant;

namespace {

// Degrees to radians with pi taken as 3.1415926535, as the tables were always built.
constexpr double kRadiansPerDegree = 0.017453292519444445;

int32_t* AllocTable(int steps)
{
    return static_cast<int32_t*>(Alloc(sizeof(int32_t) * size_t(steps)));
}

}  // namespace

int WrapAngle(int angle)
{
    angle %= kFullTurn;
    return angle < 0 ? angle + kFullTurn : angle;
}

void MapFixedPoint(const SurfaceBase* destination, Fixed& x, Fixed& y)
{
    Fixed lx = x, ly = y;
    if (destination->GetOrientation() == 1) {
        x = ly;
        y = Fixed::Raw(fixed_detail::Wrap(int64_t(destination->GetRawHeight()) * 256 - lx.raw - 256));
    } else if (destination->GetOrientation() == 2) {
        x = Fixed::Raw(fixed_detail::Wrap(int64_t(destination->GetRawWidth()) * 256 - ly.raw - 256));
        y = lx;
    }
}

TrigTable::TrigTable(Application* application, int steps)
    : application_(application), steps_(steps > 0 ? steps : 1), angleFactor_(steps_ * 256 / 360)
{
}

TrigTable::~TrigTable()
{
    Free(sine_);
    Free(cosine_);
    Free(sine16_);
    Free(cosine16_);
}

bool TrigTable::Build()
{
    if (!sine_ && !(sine_ = AllocTable(steps_)))
        return false;
    if (!cosine_ && !(cosine_ = AllocTable(steps_)))
        return false;
    if (!sine16_ && !(sine16_ = AllocTable(steps_)))
        return false;
    if (!cosine16_ && !(cosine16_ = AllocTable(steps_)))
        return false;
    for (int i = 0; i < steps_; ++i) {
        double radians = i * 360.0 / steps_ * kRadiansPerDegree;
        double s = std::sin(radians), c = std::cos(radians);
        sine_[i] = Fixed::FromDouble(s).raw;
        cosine_[i] = Fixed::FromDouble(c).raw;
        sine16_[i] = Fixed16::FromDouble(s).raw;
        cosine16_[i] = Fixed16::FromDouble(c).raw;
    }
    return true;
}

int TrigTable::AngleToIndex(int angle) const
{
    const int index = int((int64_t(WrapAngle(angle)) * angleFactor_) >> 16);
    // The factor is rounded down, so a whole turn never reaches the end of the tables.
    KELO_ASSERT(index >= 0 && index < steps_);
    return index;
}

bool TrigTable::Prepare(const SurfaceBase* source, const SurfaceBase* destination, Fixed& x, Fixed& y,
                        int& angle) const
{
    if (!source || !destination || !sine_ || !cosine_)
        return false;
    if (application_ && (application_->GetRotation() == 1 || application_->GetRotation() == 2))
        MapFixedPoint(destination, x, y);
    angle = WrapAngle(angle);
    return true;
}

namespace {

rotated_draw::Params MakeParams(const TrigTable& table, const SurfaceBase* source, SurfaceBase* destination, Fixed x,
                                Fixed y, int angle, Fixed16 scale)
{
    rotated_draw::Params p;
    p.source = source;
    p.destination = destination;
    p.x = x.raw;
    p.y = y.raw;
    int index = table.AngleToIndex(angle);
    p.sine = table.GetSine()[index];
    p.cosine = table.GetCosine()[index];
    p.scale = scale.raw;
    p.tightBounds = table.GetTightBounds();
    return p;
}

}  // namespace

void TrigTable::DrawRotated(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                            Fixed16 scale)
{
    if (!Prepare(source, destination, x, y, angle))
        return;
    Variant variant = Variant::Opaque;
    if (source->GetAlpha())
        variant = drawMode_ == 0 ? Variant::FastNearest : drawMode_ == 1 ? Variant::FastFiltered : Variant::Default;
    rotated_draw::Draw(variant, MakeParams(*this, source, destination, x, y, angle, scale));
}

void TrigTable::DrawRotatedAlpha(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                                 Fixed16 scale, int alphaOffset)
{
    if (alphaOffset < -254 || !Prepare(source, destination, x, y, angle))
        return;
    rotated_draw::Params p = MakeParams(*this, source, destination, x, y, angle, scale);
    // A source without a plane fades as an opaque picture rather than vanishing.
    if (alphaOffset >= 0) {
        rotated_draw::Draw(source->GetAlpha() ? Variant::Default : Variant::Opaque, p);
        return;
    }
    p.alphaOffset = alphaOffset;
    rotated_draw::Draw(Variant::AlphaOffset, p);
}

void TrigTable::PivotCentre(const SurfaceBase* source, Fixed& x, Fixed& y, int angle, Fixed pivotX, Fixed pivotY,
                            Fixed16 scale) const
{
    if (!source || !sine16_ || !cosine16_)
        return;
    int index = AngleToIndex(angle);
    int64_t s = sine16_[index], c = cosine16_[index];
    int64_t ox = int64_t(source->GetWidth()) * 32768 - int64_t(pivotX.raw) * 256;
    int64_t oy = int64_t(source->GetHeight()) * 32768 - int64_t(pivotY.raw) * 256;
    int64_t cx = ((((ox * c) >> 16) - ((oy * s) >> 16)) * scale.raw) >> 16;
    int64_t cy = ((((ox * s) >> 16) + ((oy * c) >> 16)) * scale.raw) >> 16;
    x = Fixed::Raw(fixed_detail::Wrap(x.raw + (cx >> 8)));
    y = Fixed::Raw(fixed_detail::Wrap(y.raw + (cy >> 8)));
}

void TrigTable::DrawRotatedPivot(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                                 Fixed pivotX, Fixed pivotY, Fixed16 scale, int alphaOffset)
{
    if (!source)
        return;
    PivotCentre(source, x, y, angle, pivotX, pivotY, scale);
    if (alphaOffset < 0)
        DrawRotatedAlpha(source, destination, x, y, angle, scale, alphaOffset);
    else
        DrawRotated(source, destination, x, y, angle, scale);
}

void TrigTable::DrawRotatedTinted(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                                  Fixed16 scale, int r, int g, int b, int alphaOffset)
{
    if (alphaOffset <= -255 || !source || !source->GetAlpha() || !Prepare(source, destination, x, y, angle))
        return;
    rotated_draw::Params p = MakeParams(*this, source, destination, x, y, angle, scale);
    p.alphaOffset = alphaOffset > 0 ? 0 : alphaOffset;
    p.colour = pixel::Pack565(r, g, b);
    p.planeOnly = true;
    rotated_draw::Draw(Variant::Mask, p);
}

void TrigTable::DrawRotatedAdditive(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                                    Fixed16 scale, int, int, int, int alphaOffset)
{
    if (alphaOffset <= -255 || !Prepare(source, destination, x, y, angle))
        return;
    rotated_draw::Params p = MakeParams(*this, source, destination, x, y, angle, scale);
    p.alphaOffset = alphaOffset > 0 ? 0 : alphaOffset;
    rotated_draw::Draw(source->GetAlpha() ? Variant::Additive : Variant::AdditiveOpaque, p);
}

void TrigTable::DrawTransformed(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                                Fixed pivotX, Fixed pivotY, Fixed16 scale, int blendMode, int alphaOffset, int r,
                                int g, int b)
{
    if (!source)
        return;
    PivotCentre(source, x, y, angle, pivotX, pivotY, scale);
    switch (blendMode) {
    case 0:
        if (alphaOffset < 0)
            DrawRotatedAlpha(source, destination, x, y, angle, scale, alphaOffset);
        else
            DrawRotated(source, destination, x, y, angle, scale);
        break;
    case 1:
        DrawRotatedAdditive(source, destination, x, y, angle, scale, r, g, b, alphaOffset);
        break;
    case 3:
        DrawRotatedTinted(source, destination, x, y, angle, scale, r, g, b, alphaOffset);
        break;
    default:
        break;
    }
}

// (1 + sin(t * 180 - 90 degrees)) / 2 through the table's 24.8 sines.
Fixed Fixed::EaseInOut(Fixed t, const TrigTable& table)
{
    Fixed a = Fixed::SubtractInt(Fixed::MultiplyInt(t, 180), 90);
    int angle = WrapAngle(a.raw);
    int32_t s = table.GetSine() ? table.GetSine()[table.AngleToIndex(angle)]
                                : Fixed::FromDouble(std::sin(angle / 256.0 * kRadiansPerDegree)).raw;
    return Fixed::Raw(fixed_detail::Wrap(int64_t(s) + 256) >> 1);
}
