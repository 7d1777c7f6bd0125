#pragma once
// The 16.16 arithmetic of the particle code on raw words: 64-bit products, wrapping like the
// handheld's registers, so that no definition can drive the arithmetic into overflow.
#include <cstdint>

#include "engine/core/fixed.h"

namespace particle_fixed {

inline int32_t Wrap(int64_t v)
{
    return fixed_detail::Wrap(v);
}
inline int32_t Add(int32_t a, int32_t b)
{
    return Wrap(int64_t(a) + b);
}
inline int32_t Sub(int32_t a, int32_t b)
{
    return Wrap(int64_t(a) - b);
}
inline int32_t Mul(int32_t a, int32_t b)
{
    return Wrap((int64_t(a) * b) >> 16);
}
// ((a << 4) / (b >> 8)) << 4; 0 for divisors below 1/256.
inline int32_t Div(int32_t a, int32_t b)
{
    return Fixed16::Divide(Fixed16::Raw(a), Fixed16::Raw(b)).raw;
}
inline int32_t FromInt(int64_t n)
{
    return Wrap(n * 65536);
}
// A share r/256 of a range: (range >> 8) * r.
inline int32_t Share(int32_t range, int r)
{
    return Wrap(int64_t(range >> 8) * r);
}

}  // namespace particle_fixed
