#include "engine/sound/module_tables.h"

#include <cmath>

const uint32_t kFinetuneRates[16] = {7895, 7941, 7985, 8046, 8107, 8169, 8232, 8280,
                                     8363, 8413, 8463, 8529, 8581, 8651, 8723, 8757};

namespace {

constexpr int16_t kSineQuarter[17] = {0,   24,  49,  74,  97,  120, 141, 161, 180,
                                      197, 212, 224, 235, 244, 250, 253, 255};
constexpr int16_t kRandomWave[64] = {
    -26,  -251, -198, -46,  -96,  198,  168,  228,  -49,  -153, -236, -174, -37,
    61,   187,  120,  56,   -197, 248,  -58,  -204, 172,  58,   253,  -155, 57,
    62,   -62,  60,   -137, -101, -184, 66,   -160, 160,  -29,  -91,  243,  175,
    -175, 149,  97,   3,    -113, 7,    249,  -241, -247, 110,  -180, -139, -20,
    246,  -86,  -80,  -134, 219,  117,  -143, -226, -166, 120,  -47,  29};

struct Waves {
    int16_t values[4][64];
    constexpr Waves() : values()
    {
        for (int i = 0; i < 32; ++i) {
            int16_t s = i <= 16 ? kSineQuarter[i] : kSineQuarter[32 - i];
            values[0][i] = s;
            values[0][i + 32] = static_cast<int16_t>(-s);
        }
        for (int i = 0; i < 64; ++i) {
            values[1][i] = static_cast<int16_t>(255 - 8 * i);
            values[2][i] = i < 32 ? 255 : -255;
            values[3][i] = kRandomWave[i];
        }
    }
};
constexpr Waves kWaves;

constexpr uint32_t kAmigaBase[12] = {1712, 1616, 1524, 1440, 1356, 1280,
                                     1208, 1140, 1076, 1016, 960,  907};

// floor(133808 * 2^(-i / 768)), built once.
const uint32_t* LinearTable()
{
    static const struct Table {
        uint32_t values[768];
        Table()
        {
            for (int i = 0; i < 768; ++i)
                values[i] = static_cast<uint32_t>(std::floor(133808.0 * std::exp2(-i / 768.0)));
        }
    } table;
    return table.values;
}

}  // namespace

int WaveformValue(uint32_t waveform, uint32_t position)
{
    return kWaves.values[waveform & 3][position & 63];
}

bool ModNoteForPeriod(unsigned period, uint8_t* note)
{
    bool found = false;
    // Searched to the end: the last match wins, so 15 is A# of octave 8.
    for (int octave = 0; octave < 9; ++octave)
        for (int semitone = 0; semitone < 12; ++semitone)
            if (kModPeriods[octave][semitone] == period) {
                *note = static_cast<uint8_t>(octave * 16 + semitone);
                found = true;
            }
    if (period == 75) {
        *note = 6 * 16 + 6;
        found = true;
    }
    return found;
}

uint32_t XmFinetuneRate(int finetune)
{
    return static_cast<uint32_t>(std::floor(8363.0 * std::exp2(finetune / 1536.0)));
}

uint32_t AmigaPeriod(int n, uint32_t c4Rate)
{
    uint32_t amiga = (8363u * 16u * kAmigaBase[n % 12]) >> (n / 12);
    return amiga / (c4Rate ? c4Rate : 8363u);
}

uint32_t LinearPeriod(int n, int finetune)
{
    return static_cast<uint32_t>((120 - n) * 64 - finetune / 2);
}

uint32_t StepForPeriod(uint32_t period, bool linearSlides, int outputRate)
{
    if (outputRate <= 0)
        return 0;
    if (linearSlides) {
        uint32_t shift = period / 768;
        if (shift >= 32)
            return 0;
        uint32_t frequency = LinearTable()[period % 768] >> shift;
        return static_cast<uint32_t>((uint64_t{frequency} * 4096u) / static_cast<uint32_t>(outputRate));
    }
    if (period == 0)
        return 0;
    uint32_t q = 85104996u / period;
    // q is the step at 11025 Hz; other rates scale it (22050 gives q >> 1 exactly).
    return static_cast<uint32_t>((uint64_t{q} * 11025u / static_cast<uint32_t>(outputRate)) >> 6);
}

int RetriggerVolume(int volume, int h)
{
    switch (h & 15) {
    case 1: volume -= 1; break;
    case 2: volume -= 2; break;
    case 3: volume -= 4; break;
    case 4: volume -= 8; break;
    case 5: volume -= 16; break;
    case 6: volume = volume * 2 / 3; break;
    case 7: volume /= 2; break;
    case 9: volume += 1; break;
    case 10: volume += 2; break;
    case 11: volume += 4; break;
    case 12: volume += 8; break;
    case 13: volume += 16; break;
    case 14: volume = volume * 3 / 2; break;
    case 15: volume *= 2; break;
    default: break;
    }
    return volume < 0 ? 0 : volume > 64 ? 64 : volume;
}
