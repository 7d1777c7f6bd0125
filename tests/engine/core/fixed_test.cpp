#include <gtest/gtest.h>

#include <climits>

#include "engine/core/fixed.h"

namespace {
Fixed R(int32_t raw)
{
    return Fixed::Raw(raw);
}
}  // namespace

TEST(Fixed, ConversionsRoundAsSpecified)
{
    EXPECT_EQ(Fixed::FromDouble(2.5 / 256).raw, 3);
    EXPECT_EQ(Fixed::FromDouble(-2.5 / 256).raw, -3);
    EXPECT_EQ(Fixed::FromPositiveDouble(-2.5 / 256).raw, -2);
    EXPECT_EQ(Fixed::FromDouble(0.5 / 256).raw, 1);
    EXPECT_EQ(Fixed::FromDouble(-0.5 / 256).raw, -1);
    EXPECT_EQ(R(-1).ToInt(), -1);
    EXPECT_EQ(R(255).ToInt(), 0);
    EXPECT_EQ(R(-128).ToInt(), -1);
    EXPECT_EQ(Fixed16::FromDouble(-1.5 / 65536).raw, -2);
    EXPECT_EQ(Fixed16::Raw(-1).ToFixed().raw, -1);
    // Out-of-range doubles saturate instead of being undefined.
    EXPECT_EQ(Fixed::FromDouble(1e300).raw, INT32_MAX);
    EXPECT_EQ(Fixed::FromDouble(-1e300).raw, INT32_MIN);
}

TEST(Fixed, MultiplyAndDivide)
{
    EXPECT_EQ(Fixed::Multiply(R(-1), R(1)).raw, -1);
    EXPECT_EQ(Fixed::Multiply(Fixed::FromInt(3), Fixed::FromDouble(1.5)).raw, Fixed::FromDouble(4.5).raw);
    EXPECT_EQ(Fixed::MultiplyInt(Fixed::FromDouble(2.25), -4).raw, Fixed::FromInt(-9).raw);
    EXPECT_EQ(Fixed::Divide(Fixed::FromInt(1), Fixed::FromInt(3)).raw, 85);
    EXPECT_EQ(Fixed::Divide(Fixed::FromInt(-7), Fixed::FromInt(2)).raw, Fixed::FromDouble(-3.5).raw);
    // The numerator loses its top four bits, as the handheld's shift did.
    EXPECT_EQ(Fixed::Divide(R(0x10000000), Fixed::FromInt(1)).raw, 0);
    EXPECT_EQ(Fixed::DivByInt(R(-7), 2).raw, -3);
    EXPECT_EQ(Fixed16::Divide(Fixed16::FromInt(1), Fixed16::FromInt(4)).raw, 16384);
    EXPECT_EQ(Fixed16::Multiply(Fixed16::FromInt(3), Fixed16::FromDouble(0.5)).raw, Fixed16::FromDouble(1.5).raw);
}

TEST(Fixed, DivisionNeverTraps)
{
    // Divisors whose shifted word is 0 give 0; INT_MIN / -1 wraps instead of trapping.
    for (int32_t b = 0; b <= 15; ++b)
        EXPECT_EQ(Fixed::Divide(Fixed::FromInt(5), R(b)).raw, 0) << b;
    for (int32_t b = -16; b <= -1; ++b)  // shifts to -1
        EXPECT_EQ(Fixed::Divide(Fixed::FromInt(5), R(b)).raw, -(5 * 256 * 16)) << b;
    EXPECT_EQ(Fixed16::Divide(Fixed16::FromInt(5), Fixed16::Raw(255)).raw, 0);
    EXPECT_EQ(Fixed::DivByInt(R(INT32_MIN), -1).raw, INT32_MIN);
    EXPECT_EQ(Fixed::DivByInt(R(10), 0).raw, 0);
    // 0x08000000 << 4 is INT_MIN and -16 >> 4 is -1: the quotient wraps instead of trapping.
    EXPECT_EQ(Fixed::Divide(R(0x08000000), R(-16)).raw, INT32_MIN);
}

TEST(Fixed, VectorLengthThresholdAndNormalize)
{
    auto length = [](double x, double y) { return FixedVec2(Fixed::FromDouble(x), Fixed::FromDouble(y)).Length(); };
    EXPECT_EQ(length(3, 4).raw, Fixed::FromInt(5).raw);
    EXPECT_EQ(length(300, 400).raw, Fixed::FromInt(500).raw);
    EXPECT_EQ(length(181, 0).raw, Fixed::FromInt(181).raw);
    // At |x| + |y| = 181.0 the direct path is still taken; one raw step more takes the scaled
    // path, whose truncated parts give a visibly shorter length.
    EXPECT_EQ(FixedVec2(Fixed::FromInt(120), Fixed::FromInt(61)).Length().raw, 34461);
    EXPECT_EQ(FixedVec2(Fixed::FromInt(120), R(61 * 256 + 1)).Length().raw, 34432);

    FixedVec2 v(Fixed::FromInt(3), Fixed::FromInt(4));
    v.Normalize();
    EXPECT_EQ(v.x.raw, 153);  // 0.6 with the divisor's 4 fraction bits
    EXPECT_EQ(v.y.raw, 204);
    FixedVec2 zero;
    zero.Normalize();
    EXPECT_EQ(zero, FixedVec2());
}

TEST(Fixed, RectanglesTouchingEdgesIntersect)
{
    FixedRect a, b, c;
    a.Set(Fixed::FromInt(0), Fixed::FromInt(0), Fixed::FromInt(10), Fixed::FromInt(10));
    b.Set(Fixed::FromInt(10), Fixed::FromInt(0), Fixed::FromInt(5), Fixed::FromInt(5));
    c.Set(Fixed::FromInt(11), Fixed::FromInt(0), Fixed::FromInt(5), Fixed::FromInt(5));
    EXPECT_TRUE(FixedRect::Intersects(a, b));
    EXPECT_FALSE(FixedRect::Intersects(a, c));
    EXPECT_EQ(a.CenterX().raw, Fixed::FromInt(5).raw);
    FixedRect odd;
    odd.Set(R(0), R(0), R(-3), R(0));
    EXPECT_EQ(odd.HalfWidth().raw, -2);  // arithmetic shift
}

TEST(Fixed, Fixed16EaseEndsAt65535)
{
    EXPECT_EQ(Fixed16::EaseInOut(Fixed16::FromInt(0)).raw, 0);
    EXPECT_EQ(Fixed16::EaseInOut(Fixed16::FromDouble(0.5)).raw, 32768);
    EXPECT_EQ(Fixed16::EaseInOut(Fixed16::FromInt(1)).raw, (65535 + 65536) >> 1);
    EXPECT_EQ(Fixed::Min4(R(4), R(-2), R(9), R(0)).raw, -2);
    EXPECT_EQ(Fixed::Max4(R(4), R(-2), R(9), R(0)).raw, 9);
}
