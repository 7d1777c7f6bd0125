#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/sound/mix_rows.h"

namespace {

// Runs of random samples, lengths, positions and steps (forward and backward, up to three samples
// a frame), each read inside the sample, mixed by the reference and the fast kernels alike.
template <typename T>
void CompareRuns(std::mt19937& rng, uint32_t (*mix_rows::Kernels::*kernel)(const T*, uint32_t, uint32_t, uint32_t,
                                                                           int32_t*, int, int32_t))
{
    const mix_rows::Kernels& ref = mix_rows::Reference();
    const mix_rows::Kernels& fast = mix_rows::Fast();
    for (int round = 0; round < 3000; ++round) {
        const uint32_t length = 1 + rng() % 300;
        std::vector<T> data(length);
        for (T& v : data)
            v = static_cast<T>(rng());
        const bool backward = rng() % 4 == 0;
        const uint32_t step = rng() % 3 == 0 ? 1024 * (rng() % 3) : rng() % 3100;
        const uint32_t start = static_cast<uint32_t>(rng() % (uint64_t{length} << 10));
        // As many frames as stay inside the sample, at most 90.
        uint32_t room = backward ? start : (length << 10) - 1 - start;
        int frames = static_cast<int>(std::min<uint32_t>(rng() % 91, step ? room / step + 1 : 90));
        // Gains as the player makes them: at most 255, times 256 for 8-bit samples.
        const int32_t gain = static_cast<int32_t>(rng() % (sizeof(T) == 2 ? 256 : 65536));
        std::vector<int32_t> a(static_cast<size_t>(frames) + 1), b;
        for (int32_t& v : a)
            v = static_cast<int32_t>(rng() % 2000000) - 1000000;
        b = a;
        const uint32_t signedStep = backward ? 0u - step : step;
        uint32_t endA = (ref.*kernel)(data.data(), length, start, signedStep, a.data(), frames, gain);
        uint32_t endB = (fast.*kernel)(data.data(), length, start, signedStep, b.data(), frames, gain);
        ASSERT_EQ(endA, endB) << "round " << round;
        ASSERT_EQ(a, b) << "round " << round << " length " << length << " step " << step << " frames " << frames;
    }
}

}  // namespace

TEST(MixRows, FastKernelsEqualTheirReferences)
{
#if defined(__x86_64__)
    ASSERT_NE(mix_rows::Fast().signed16, mix_rows::Reference().signed16);
#endif
    std::mt19937 rng(7091);
    CompareRuns<int16_t>(rng, &mix_rows::Kernels::mono16);
    CompareRuns<int8_t>(rng, &mix_rows::Kernels::mono8);

    for (int round = 0; round < 200; ++round) {
        const size_t count = rng() % 70;
        std::vector<int32_t> sums(count);
        for (int32_t& v : sums)
            v = rng() % 3 == 0 ? static_cast<int32_t>(rng()) : static_cast<int32_t>(rng() % 20000000) - 10000000;
        std::vector<int16_t> a(count + 1, 77), b(count + 1, 77);
        mix_rows::Reference().signed16(a.data(), sums.data(), count);
        mix_rows::Fast().signed16(b.data(), sums.data(), count);
        ASSERT_EQ(a, b) << "round " << round;
    }
}
