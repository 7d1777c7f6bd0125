#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/graphics/blend_rows.h"
#include "engine/graphics/fill_lines.h"
#include "engine/graphics/trig_table.h"
#include "surface_test_support.h"

using namespace drawing_test;

namespace {

// Random rows with alphas weighted towards the thresholds and the ends of the range.
struct Rows {
    std::vector<uint16_t> d, s;
    std::vector<uint8_t> a;
    Rows(std::mt19937& rng, int n) : d(n), s(n), a(n)
    {
        static const uint8_t special[] = {0, 9, 10, 11, 239, 240, 244, 245, 246, 255};
        for (int i = 0; i < n; ++i) {
            d[i] = uint16_t(rng());
            s[i] = uint16_t(rng());
            a[i] = rng() % 3 == 0 ? special[rng() % 10] : uint8_t(rng());
        }
        // A stretch of one alpha, as a sprite's clear or solid parts have, for wide skips and copies.
        if (n > 0) {
            int from = int(rng() % n), length = 16 + int(rng() % 24);
            uint8_t alpha = special[rng() % 10];
            for (int i = from; i < n && i < from + length; ++i)
                a[i] = alpha;
        }
    }
};

uint64_t Hash(const std::vector<uint16_t>& v)
{
    return PixelHash(v.data(), v.size());
}

class FastPaths : public ::testing::Test {
protected:
    void TearDown() override { blend_rows::SetFastPathsEnabled(true); }
    const blend_rows::Kernels& ref = blend_rows::Reference();
    const blend_rows::Kernels& fast = blend_rows::Fast();
};

}  // namespace

TEST_F(FastPaths, RowKernelsEqualTheirReferences)
{
#if defined(__SSE2__)
    ASSERT_NE(fast.alpha, ref.alpha);
    ASSERT_NE(fast.mask, ref.mask);
#endif
    std::mt19937 rng(20240501);
    for (int round = 0; round < 400; ++round) {
        int n = int(rng() % 70);
        int offset = int(rng() % 700) - 350;
        int weight = 10 + int(rng() % 235);
        int red = int(rng() % 32), green = int(rng() % 64), blue = int(rng() % 32);
        Rows in(rng, n);
        uint16_t colour = uint16_t(rng());
        // Every fast table this build and processor have, not only the one in use.
        auto check = [&](auto&& run) {
            std::vector<uint16_t> a = in.d;
            run(ref, a);
            for (const blend_rows::Kernels* table : {&fast, blend_rows::Sse2Kernels(), blend_rows::Avx2Kernels()}) {
                if (!table)
                    continue;
                std::vector<uint16_t> b = in.d;
                run(*table, b);
                ASSERT_EQ(Hash(a), Hash(b)) << "n " << n << " offset " << offset;
            }
        };
        check([&](const blend_rows::Kernels& k, std::vector<uint16_t>& d) { k.alpha(d.data(), in.s.data(), in.a.data(), n); });
        check([&](const blend_rows::Kernels& k, std::vector<uint16_t>& d) {
            k.alphaOffset(d.data(), in.s.data(), in.a.data(), n, offset);
        });
        check([&](const blend_rows::Kernels& k, std::vector<uint16_t>& d) { k.constant(d.data(), in.s.data(), n, weight); });
        check([&](const blend_rows::Kernels& k, std::vector<uint16_t>& d) {
            k.additive(d.data(), in.s.data(), in.a.data(), n, offset);
        });
        check([&](const blend_rows::Kernels& k, std::vector<uint16_t>& d) {
            k.tinted(d.data(), in.s.data(), in.a.data(), n, offset, red, green, blue);
        });
        check([&](const blend_rows::Kernels& k, std::vector<uint16_t>& d) { k.fillBlend(d.data(), n, colour, weight); });
        check([&](const blend_rows::Kernels& k, std::vector<uint16_t>& d) {
            k.mask(d.data(), in.a.data(), n, colour, offset);
        });
    }
}

TEST_F(FastPaths, SurfaceOperationsAgreeEitherWay)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 40; ++round) {
        auto source = Make565(37, 23);
        FillRandom(*source, rng);
        auto base = Make565(50, 40);
        FillRandom(*base, rng);
        int x = int(rng() % 60) - 10, y = int(rng() % 50) - 10, offset = int(rng() % 300) - 280;
        uint64_t sums[2];
        for (int fast = 0; fast < 2; ++fast) {
            blend_rows::SetFastPathsEnabled(fast == 1);
            auto target = Make565(50, 40);
            memcpy(target->GetPixels(), base->GetPixels(), 50 * 40 * 2);
            source->BlitRegion(target.get(), x, y, 0, 0, 0, 0, 0);
            source->BlitRegion(target.get(), y, x, 30, 20, 3, 2, offset);
            source->BlitRegionAdditive(target.get(), x, x, 0, 0, 1, 1, offset);
            source->BlitRegionTinted(target.get(), 200, 100, 50, y, y, 0, 0, 0, 0, offset);
            FillRectRotatedBlend(nullptr, target.get(), x, y, 33, 17, 90, 180, 45, 128 + offset / 4);
            source->DrawMask(target.get(), 0, 0, 0, y, x, 0, 0, 0, offset);
            source->DrawMask(target.get(), 250, 20, 90, x, y, 0, 0, 0, offset + 260);
            sums[fast] = Checksum(*target);
        }
        ASSERT_EQ(sums[0], sums[1]) << "round " << round;
    }
}
