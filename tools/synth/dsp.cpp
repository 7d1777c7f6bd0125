#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace synth {

StateFilter::Outputs StateFilter::Process(double in, double cutoff, double q, double rate)
{
    double g = std::tan(M_PI * std::min(cutoff, rate * 0.49) / rate);
    double k = 1.0 / q;
    double a1 = 1.0 / (1.0 + g * (g + k));
    double v3 = in - s2_;
    double v1 = a1 * s1_ + g * a1 * v3;
    double v2 = s2_ + g * v1;
    s1_ = 2 * v1 - s1_;
    s2_ = 2 * v2 - s2_;
    return {v2, v1, in - k * v1 - v2};
}

const Formant* VowelFormants(int vowel)
{
    static const Formant table[5][3] = {
        {{650, 1.0, 8}, {1080, 0.5, 10}, {2650, 0.25, 14}},  // a
        {{400, 1.0, 8}, {1700, 0.35, 12}, {2600, 0.2, 14}},  // e
        {{290, 1.0, 8}, {1870, 0.25, 12}, {2800, 0.15, 14}}, // i
        {{400, 1.0, 8}, {800, 0.45, 10}, {2600, 0.1, 14}},   // o
        {{350, 1.0, 8}, {600, 0.3, 10}, {2700, 0.06, 14}},   // u
    };
    return table[std::clamp(vowel, 0, 4)];
}

double SoftClip(double x, double drive)
{
    return drive >= 1 ? std::tanh(x * drive) / std::tanh(drive) : x;
}

}  // namespace synth
