#pragma once
// The synthesiser's building blocks: a seeded noise source, a state-variable filter and the
// choir's formant table.
#include <cstdint>

namespace synth {

// Xorshift: the same seed gives the same noise on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    double Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483647.5 - 1.0;
    }

private:
    uint32_t state_;
};

// Topology-preserving state-variable filter; cutoff and q may change every sample.
class StateFilter {
public:
    struct Outputs {
        double low, band, high;
    };
    Outputs Process(double in, double cutoff, double q, double rate);

private:
    double s1_ = 0, s2_ = 0;
};

struct Formant {
    double frequency, gain, q;
};
// Three formants of a low choir voice singing a, e, i, o or u.
const Formant* VowelFormants(int vowel);

// A rounded saturation: louder input is squashed, full scale stays full scale.
double SoftClip(double x, double drive);

}  // namespace synth
