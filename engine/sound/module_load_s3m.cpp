#include <cstring>

#include "engine/sound/module_loaders.h"

namespace {

// Reads instrument i from its record at `at`; -1 for a broken record, -2 out of memory.
int LoadInstrument(ByteReader& in, size_t at, ModulePlayer* player, int i)
{
    ModuleInstrument& instrument = player->instruments[i];
    ModuleSample& sample = player->samples[i];
    if (!in.Has(at, 80))
        return -1;
    in.Text(at + 48, 27, instrument.name);
    if (in.U8(at) != 1)
        return 0;  // not a sample: the instrument stays empty
    if (!in.Matches(at + 76, "SCRS"))
        return -1;
    in.Text(at + 48, 22, sample.name);
    size_t dataAt = (static_cast<size_t>(in.U8(at + 13)) << 16 | in.U16(at + 14)) * 16;
    sample.length = in.U32(at + 16);
    uint32_t loopStart = in.U32(at + 20);
    uint32_t loopEnd = in.U32(at + 24);
    sample.volume = in.U8(at + 28);
    uint8_t flags = in.U8(at + 31);
    sample.stereo = flags & 2;
    sample.sixteenBit = flags & 4;
    sample.c4Rate = sample.c4RateCurrent = in.U32(at + 32);
    sample.pan = 255;
    if (sample.length > kModuleMaxSampleLength)
        return -1;
    SetSampleLoop(&sample, loopStart, loopEnd, flags & 1);
    for (int note = 0; note < 256; ++note)
        instrument.sampleForNote[note] = i;
    if (!sample.length)
        return 0;

    size_t width = sample.sixteenBit ? 2 : 1;
    size_t bytes = static_cast<size_t>(sample.length) * width;
    if (!in.Has(dataAt, bytes))
        return -1;
    size_t blockBytes = static_cast<size_t>(sample.length) * (sample.sixteenBit || sample.stereo ? 2 : 1);
    if (!AllocateSampleData(&sample, blockBytes))
        return -2;
    const uint8_t* from = in.At(dataAt);
    if (sample.sixteenBit) {
        auto* to = static_cast<int16_t*>(sample.data);
        uint16_t flip = player->unsignedSamples ? 0x8000 : 0;
        for (uint32_t s = 0; s < sample.length; ++s)
            to[s] = static_cast<int16_t>((from[2 * s] | from[2 * s + 1] << 8) ^ flip);
    } else {
        auto* to = static_cast<int8_t*>(sample.data);
        uint8_t flip = player->unsignedSamples ? 0x80 : 0;
        for (uint32_t s = 0; s < sample.length; ++s)
            to[s] = static_cast<int8_t>(from[s] ^ flip);
    }
    return 0;
}

// Unpacks one pattern; -1 when its data run past the file.
int LoadPattern(ByteReader& in, size_t at, const int* channelMap, ModulePlayer* player, int p)
{
    ModuleCell* cells = AllocatePattern(player, p, 64);
    if (!cells)
        return -2;
    if (at == 0)
        return 0;  // a pointer of 0 is an empty pattern
    size_t pos = at + 2;
    for (int row = 0; row < 64; ++row) {
        for (;;) {
            uint8_t what = in.U8(pos++);
            if (in.bad)
                return -1;
            if (what == 0)
                break;
            int channel = channelMap[what & 31];
            ModuleCell scratch;
            ModuleCell& cell = channel >= 0 ? cells[row * player->channelCount + channel] : scratch;
            if (what & 32) {
                cell.note = in.U8(pos);
                uint8_t instrument = in.U8(pos + 1);
                cell.instrument = instrument <= player->instrumentCount ? instrument : 0;
                pos += 2;
            }
            if (what & 64)
                cell.volume = in.U8(pos++);
            if (what & 128) {
                uint8_t effect = in.U8(pos);
                // Only the letters A..Z: higher numbers would reach the player's own effects.
                cell.effect1 = effect >= 1 && effect <= 26 ? effect : 0;
                cell.param1 = in.U8(pos + 1);
                if (cell.effect1 == kFxBreak)
                    cell.param1 = static_cast<uint8_t>(BreakRow(cell.param1));
                pos += 2;
            }
            if (in.bad)
                return -1;
        }
    }
    return 0;
}

}  // namespace

int LoadS3m(const uint8_t* data, size_t size, ModulePlayer* player)
{
    ByteReader in(data, size);
    if (!in.Has(0, 96) || in.U8(29) != 16)
        return -1;
    in.Text(0, 27, player->name);
    int orderCount = in.U16(32);
    int instrumentCount = in.U16(34);
    int patternCount = in.U16(36);
    if (instrumentCount > kModuleMaxInstruments || patternCount > kModuleMaxPatterns)
        return -1;
    uint16_t flags = in.U16(38);
    player->st2Tempo = flags & 2;
    player->amigaSlides = flags & 4;
    player->zeroVolumeOptimise = flags & 8;
    player->amigaLimits = flags & 16;
    player->filterEnable = flags & 32;
    player->fastVolumeSlides = flags & 64;
    player->trackerVersion = static_cast<uint16_t>(in.U8(40) << 8 | in.U8(41));
    player->unsignedSamples = in.U8(42) == 2;
    player->globalVolume = in.U8(48);
    player->initialSpeed = in.U8(49);
    player->initialTempo = in.U8(50);

    int channelMap[32];
    int channels = 0;
    for (int i = 0; i < 32; ++i) {
        uint8_t setting = in.U8(64 + static_cast<size_t>(i));
        channelMap[i] = -1;
        if (setting < 16) {
            player->channels[channels].defaultPan = setting < 8 ? 86 : 167;
            channelMap[i] = channels++;
        }
    }
    if (channels == 0)
        return -1;
    player->channelCount = channels;

    size_t pointers = 96 + static_cast<size_t>(orderCount);
    if (!in.Has(96, static_cast<size_t>(orderCount) + 2u * (instrumentCount + patternCount)))
        return -1;
    player->orderCount = orderCount < kModuleMaxOrders ? orderCount : kModuleMaxOrders;
    for (int i = 0; i < player->orderCount; ++i)
        player->orders[i] = in.U8(96 + static_cast<size_t>(i));

    if (!AllocateInstruments(player, instrumentCount) || !AllocateSamples(player, instrumentCount))
        return -2;
    for (int i = 0; i < instrumentCount; ++i) {
        size_t at = size_t{in.U16(pointers + 2 * static_cast<size_t>(i))} * 16;
        int result = LoadInstrument(in, at, player, i);
        if (result < 0)
            return result;
    }
    if (!AllocatePatterns(player, patternCount))
        return -2;
    size_t patternPointers = pointers + 2 * static_cast<size_t>(instrumentCount);
    for (int p = 0; p < patternCount; ++p) {
        size_t at = size_t{in.U16(patternPointers + 2 * static_cast<size_t>(p))} * 16;
        int result = LoadPattern(in, at, channelMap, player, p);
        if (result < 0)
            return result;
    }
    player->format = 2;
    FinishModule(player);
    return 0;
}
