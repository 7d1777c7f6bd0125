#pragma once
// Fixed-point values of the game logic: Fixed is 24.8, Fixed16 is 16.16, both in one signed 32-bit
// word. Arithmetic is exact on the raw word and wraps like the handheld's 32-bit registers.
#include <compare>
#include <cstdint>

class TrigTable;

namespace fixed_detail {
inline int32_t Wrap(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}
inline int32_t ShiftLeft(int32_t value, int bits)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value) << bits);
}
// Double to raw word with the rounding of FromDouble; saturates instead of overflowing.
int32_t RoundToRaw(double scaled, bool awayFromZero);
}  // namespace fixed_detail

struct Fixed {
    int32_t raw = 0;

    constexpr Fixed() = default;
    static constexpr Fixed Raw(int32_t raw)
    {
        Fixed f;
        f.raw = raw;
        return f;
    }

    static Fixed FromInt(int n) { return Raw(fixed_detail::ShiftLeft(n, 8)); }
    static Fixed& FromIntValue(Fixed& out, int n) { return out = FromInt(n); }
    static Fixed FromDouble(double x) { return Raw(fixed_detail::RoundToRaw(x * 256.0, true)); }
    static Fixed FromPositiveDouble(double x) { return Raw(fixed_detail::RoundToRaw(x * 256.0, false)); }
    int ToInt() const { return raw >> 8; }
    double ToDouble() const { return raw / 256.0; }
    Fixed& Assign(Fixed other) { return *this = other; }

    static Fixed Add(Fixed a, Fixed b) { return Raw(fixed_detail::Wrap(int64_t(a.raw) + b.raw)); }
    Fixed& AddAssign(Fixed b) { return *this = Add(*this, b); }
    static Fixed Subtract(Fixed a, Fixed b) { return Raw(fixed_detail::Wrap(int64_t(a.raw) - b.raw)); }
    Fixed& SubtractAssign(Fixed b) { return *this = Subtract(*this, b); }
    static Fixed SubtractInt(Fixed a, int n) { return Subtract(a, FromInt(n)); }
    static Fixed Multiply(Fixed a, Fixed b) { return Raw(fixed_detail::Wrap((int64_t(a.raw) * b.raw) >> 8)); }
    Fixed& MultiplyAssign(Fixed b) { return *this = Multiply(*this, b); }
    static Fixed MultiplyInt(Fixed a, int n) { return Multiply(a, FromInt(n)); }
    static Fixed Divide(Fixed a, Fixed b);
    Fixed& DivideAssign(Fixed b) { return *this = Divide(*this, b); }
    static Fixed DivByInt(Fixed a, int n);
    Fixed& DivideByIntAssign(int n) { return *this = DivByInt(*this, n); }
    static Fixed ShiftRight(Fixed a, int n) { return Raw(a.raw >> n); }
    static Fixed Negate(Fixed a) { return Raw(fixed_detail::Wrap(-int64_t(a.raw))); }
    static Fixed Abs(Fixed a) { return a.raw < 0 ? Negate(a) : a; }
    static Fixed Sqrt(Fixed a);

    static bool Less(Fixed a, Fixed b) { return a.raw < b.raw; }
    static bool Greater(Fixed a, Fixed b) { return a.raw > b.raw; }
    static bool LessOrEqual(Fixed a, Fixed b) { return a.raw <= b.raw; }
    static bool GreaterOrEqual(Fixed a, Fixed b) { return a.raw >= b.raw; }
    static bool Equals(Fixed a, Fixed b) { return a.raw == b.raw; }
    static bool NotEquals(Fixed a, Fixed b) { return a.raw != b.raw; }
    bool LessThanInt(int n) const { return raw < FromInt(n).raw; }
    bool GreaterThanInt(int n) const { return raw > FromInt(n).raw; }
    bool GreaterOrEqualInt(int n) const { return raw >= FromInt(n).raw; }
    bool EqualsInt(int n) const { return raw == FromInt(n).raw; }
    static Fixed Min4(Fixed a, Fixed b, Fixed c, Fixed d);
    static Fixed Max4(Fixed a, Fixed b, Fixed c, Fixed d);

    // (1 + sin(t * 180 - 90 degrees)) / 2 through the table's 24.8 sines.
    static Fixed EaseInOut(Fixed t, const TrigTable& table);

    Fixed operator+(Fixed b) const { return Add(*this, b); }
    Fixed operator-(Fixed b) const { return Subtract(*this, b); }
    Fixed operator-() const { return Negate(*this); }
    Fixed operator*(Fixed b) const { return Multiply(*this, b); }
    Fixed operator/(Fixed b) const { return Divide(*this, b); }
    Fixed& operator+=(Fixed b) { return AddAssign(b); }
    Fixed& operator-=(Fixed b) { return SubtractAssign(b); }
    bool operator==(const Fixed&) const = default;
    auto operator<=>(const Fixed& b) const { return raw <=> b.raw; }
};

struct Fixed16 {
    int32_t raw = 0;

    constexpr Fixed16() = default;
    static constexpr Fixed16 Raw(int32_t raw)
    {
        Fixed16 f;
        f.raw = raw;
        return f;
    }

    static Fixed16 FromInt(int n) { return Raw(fixed_detail::ShiftLeft(n, 16)); }
    static Fixed16 FromDouble(double x) { return Raw(fixed_detail::RoundToRaw(x * 65536.0, true)); }
    double ToDouble() const { return raw / 65536.0; }
    Fixed ToFixed() const { return Fixed::Raw(raw >> 8); }

    static Fixed16 Multiply(Fixed16 a, Fixed16 b) { return Raw(fixed_detail::Wrap((int64_t(a.raw) * b.raw) >> 16)); }
    Fixed16& MultiplyAssign(Fixed16 b) { return *this = Multiply(*this, b); }
    static Fixed16 MultiplyInt(Fixed16 a, int n) { return Multiply(a, FromInt(n)); }
    static Fixed16 Divide(Fixed16 a, Fixed16 b);
    Fixed16& DivideAssign(Fixed16 b) { return *this = Divide(*this, b); }
    static Fixed16 MinusInt(Fixed16 a, int n) { return Raw(fixed_detail::Wrap(int64_t(a.raw) - FromInt(n).raw)); }

    bool LessThanInt(int n) const { return raw < FromInt(n).raw; }
    bool GreaterThanInt(int n) const { return raw > FromInt(n).raw; }
    bool GreaterOrEqualInt(int n) const { return raw >= FromInt(n).raw; }
    bool LessOrEqualInt(int n) const { return raw <= FromInt(n).raw; }
    bool EqualsInt(int n) const { return raw == FromInt(n).raw; }

    // (1 + sin(t * 180 - 90 degrees)) / 2 with the C library's sine scaled by 65535.
    static Fixed16 EaseInOut(Fixed16 t);

    bool operator==(const Fixed16&) const = default;
    auto operator<=>(const Fixed16& b) const { return raw <=> b.raw; }
};

struct FixedVec2 {
    Fixed x, y;

    constexpr FixedVec2() = default;
    FixedVec2(Fixed x_, Fixed y_) : x(x_), y(y_) {}
    FixedVec2& Assign(const FixedVec2& other) { return *this = other; }
    FixedVec2& Copy(const FixedVec2& other) { return *this = other; }
    FixedVec2& AddAssign(const FixedVec2& b);
    FixedVec2& SubtractAssign(const FixedVec2& b);
    static FixedVec2& Subtract(const FixedVec2& a, FixedVec2& out, const FixedVec2& b);
    FixedVec2& Scale(Fixed f);
    Fixed Length() const;
    void Normalize();
    bool operator==(const FixedVec2&) const = default;
};

struct FixedRect {
    Fixed x, y, w, h;

    constexpr FixedRect() = default;
    FixedRect& Assign(const FixedRect& other) { return *this = other; }
    void Set(Fixed x_, Fixed y_, Fixed w_, Fixed h_);
    Fixed Right() const { return x + w; }
    Fixed Bottom() const { return y + h; }
    Fixed HalfWidth() const { return Fixed::Raw(w.raw >> 1); }
    Fixed HalfHeight() const { return Fixed::Raw(h.raw >> 1); }
    Fixed CenterX() const { return x + HalfWidth(); }
    Fixed CenterY() const { return y + HalfHeight(); }
    static bool Intersects(const FixedRect& a, const FixedRect& b);
    bool operator==(const FixedRect&) const = default;
};
