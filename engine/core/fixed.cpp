#include "engine/core/fixed.h"

#include <cmath>
#include <cstdint>

namespace fixed_detail {

int32_t RoundToRaw(double scaled, bool awayFromZero)
{
    double rounded = (awayFromZero && scaled < 0) ? scaled - 0.5 : scaled + 0.5;
    if (std::isnan(rounded))
        return 0;
    rounded = std::trunc(rounded);
    if (rounded >= 2147483647.0)
        return INT32_MAX;
    if (rounded <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(rounded);
}

namespace {
// The shifts stay 32-bit and wrapping; only the division is widened, so INT_MIN / -1 cannot
// trap, and a divisor that shifts to 0 gives 0.
int32_t WideDivide(int32_t numerator, int32_t divisor)
{
    if (divisor == 0)
        return 0;
    return Wrap(int64_t(numerator) / int64_t(divisor));
}
}  // namespace

}  // namespace fixed_detail

using fixed_detail::ShiftLeft;
using fixed_detail::WideDivide;

Fixed Fixed::Divide(Fixed a, Fixed b)
{
    return Raw(WideDivide(ShiftLeft(a.raw, 4), b.raw >> 4));
}

Fixed Fixed::DivByInt(Fixed a, int n)
{
    return Raw(WideDivide(a.raw, n));
}

Fixed Fixed::Sqrt(Fixed a)
{
    return FromDouble(std::sqrt(a.raw / 256.0));
}

Fixed Fixed::Min4(Fixed a, Fixed b, Fixed c, Fixed d)
{
    Fixed m = a;
    if (b.raw < m.raw)
        m = b;
    if (c.raw < m.raw)
        m = c;
    if (d.raw < m.raw)
        m = d;
    return m;
}

Fixed Fixed::Max4(Fixed a, Fixed b, Fixed c, Fixed d)
{
    Fixed m = a;
    if (b.raw > m.raw)
        m = b;
    if (c.raw > m.raw)
        m = c;
    if (d.raw > m.raw)
        m = d;
    return m;
}

Fixed16 Fixed16::Divide(Fixed16 a, Fixed16 b)
{
    return Raw(ShiftLeft(WideDivide(ShiftLeft(a.raw, 4), b.raw >> 8), 4));
}

Fixed16 Fixed16::EaseInOut(Fixed16 t)
{
    Fixed16 a = MultiplyInt(t, 180);
    a = MinusInt(a, 90);
    while (a.GreaterOrEqualInt(360))
        a = MinusInt(a, 360);
    while (a.LessThanInt(0))
        a = MinusInt(a, -360);
    int32_t s = static_cast<int32_t>(std::trunc(std::sin(a.ToDouble() * 0.017453292519444445) * 65535.0));
    return Raw(fixed_detail::Wrap(int64_t(s) + 65536) >> 1);
}

FixedVec2& FixedVec2::AddAssign(const FixedVec2& b)
{
    x.AddAssign(b.x);
    y.AddAssign(b.y);
    return *this;
}

FixedVec2& FixedVec2::SubtractAssign(const FixedVec2& b)
{
    x.SubtractAssign(b.x);
    y.SubtractAssign(b.y);
    return *this;
}

FixedVec2& FixedVec2::Subtract(const FixedVec2& a, FixedVec2& out, const FixedVec2& b)
{
    out.x = Fixed::Subtract(a.x, b.x);
    out.y = Fixed::Subtract(a.y, b.y);
    return out;
}

FixedVec2& FixedVec2::Scale(Fixed f)
{
    x.MultiplyAssign(f);
    y.MultiplyAssign(f);
    return *this;
}

Fixed FixedVec2::Length() const
{
    Fixed ax = Fixed::Abs(x);
    Fixed ay = Fixed::Abs(y);
    if (Fixed::Add(ax, ay).raw > (181 << 8)) {
        Fixed sx = Fixed::DivByInt(x, 128);
        Fixed sy = Fixed::DivByInt(y, 128);
        Fixed r = Fixed::Sqrt(Fixed::Add(Fixed::Multiply(sx, sx), Fixed::Multiply(sy, sy)));
        return r.MultiplyAssign(Fixed::FromInt(128));
    }
    return Fixed::Sqrt(Fixed::Add(Fixed::Multiply(x, x), Fixed::Multiply(y, y)));
}

void FixedVec2::Normalize()
{
    Fixed length = Length();
    if (length.raw == 0)
        return;
    x = Fixed::Divide(x, length);
    y = Fixed::Divide(y, length);
}

void FixedRect::Set(Fixed x_, Fixed y_, Fixed w_, Fixed h_)
{
    x = x_;
    y = y_;
    w = w_;
    h = h_;
}

bool FixedRect::Intersects(const FixedRect& a, const FixedRect& b)
{
    Fixed left = a.x.raw > b.x.raw ? a.x : b.x;
    Fixed right = a.Right().raw < b.Right().raw ? a.Right() : b.Right();
    Fixed top = a.y.raw > b.y.raw ? a.y : b.y;
    Fixed bottom = a.Bottom().raw < b.Bottom().raw ? a.Bottom() : b.Bottom();
    return !(left.raw > right.raw || top.raw > bottom.raw);
}
