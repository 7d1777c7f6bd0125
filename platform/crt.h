#pragma once
// The handheld C library's pseudo-random numbers: range 0..32767, seedable. One generator of our
// own, so every platform draws the same sequence from the same seed.
namespace crt {

constexpr int kRandMax = 32767;
int rand();
void srand(unsigned int seed);

}  // namespace crt
