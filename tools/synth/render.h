#pragma once
// Renders a patch into samples at kRate, one channel.
#include <vector>

#include "patch.h"

namespace synth {

struct Rendered {
    std::vector<float> samples;  // -1..1, the loudest at the patch's peak
    int loopStart = -1;          // the loop runs from here to the end; -1 none
};

Rendered Render(const Patch& patch);
// Rounds to 16-bit values.
std::vector<int> ToPcm16(const std::vector<float>& samples);

}  // namespace synth
