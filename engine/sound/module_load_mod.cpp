#include <cstring>

#include "engine/sound/module_loaders.h"
#include "engine/sound/module_tables.h"

namespace {

// Channel count named by the signature at 1080, 0 when it names none (the 15-sample layout).
int ChannelsForSignature(ByteReader& in)
{
    if (!in.Has(1080, 4))
        return 0;
    if (in.Matches(1080, "M.K.") || in.Matches(1080, "FLT4"))
        return 4;
    if (in.Matches(1080, "2CHN"))
        return 2;
    if (in.Matches(1080, "6CHN"))
        return 6;
    if (in.Matches(1080, "8CHN"))
        return 8;
    const uint8_t* tag = in.At(1080);
    if (tag[2] == 'C' && tag[3] == 'H' && tag[0] >= '0' && tag[0] <= '9' && tag[1] >= '0' &&
        tag[1] <= '9') {
        int count = (tag[0] - '0') * 10 + (tag[1] - '0');
        if (count >= 10 && count <= 32 && count % 2 == 0)
            return count;
    }
    return 0;
}

void TranslateEffect(ModuleCell* cell, int effect, int param)
{
    uint16_t out = 0;
    int value = param;
    switch (effect) {
    case 0x1: out = kFxPortaUp; break;
    case 0x2: out = kFxPortaDown; break;
    case 0xA: out = kFxVolumeSlide; break;
    case 0xC: cell->volume = static_cast<uint8_t>(param > 64 ? 64 : param); break;
    default: TranslateSharedEffect(effect, param, &out, &value); break;
    }
    cell->effect1 = out;
    cell->param1 = out ? static_cast<uint8_t>(value) : 0;
}

}  // namespace

int LoadMod(const uint8_t* data, size_t size, ModulePlayer* player)
{
    ByteReader in(data, size);
    int channels = ChannelsForSignature(in);
    int sampleCount = channels ? 31 : 15;
    if (!channels)
        channels = 4;
    size_t headerEnd = 20 + static_cast<size_t>(sampleCount) * 30;
    size_t patternStart = sampleCount == 31 ? 1084 : 600;
    if (!in.Has(0, patternStart))
        return -1;

    player->channelCount = channels;
    in.Text(0, 20, player->name);
    if (!AllocateSamples(player, sampleCount) || !AllocateInstruments(player, sampleCount))
        return -2;

    uint64_t totalSampleBytes = 0;
    for (int i = 0; i < sampleCount; ++i) {
        size_t at = 20 + static_cast<size_t>(i) * 30;
        ModuleSample& sample = player->samples[i];
        in.Text(at, 22, sample.name);
        sample.length = uint32_t{in.U16BigEndian(at + 22)} * 2;
        int finetune = in.U8(at + 24) & 15;
        if (finetune >= 8)
            finetune -= 16;
        sample.c4Rate = sample.c4RateCurrent = kFinetuneRates[finetune + 8];
        sample.volume = in.U8(at + 25);
        uint32_t loopStart = uint32_t{in.U16BigEndian(at + 26)} * 2;
        uint32_t loopLength = uint32_t{in.U16BigEndian(at + 28)} * 2;
        SetSampleLoop(&sample, loopStart, loopStart + loopLength, loopLength >= 3);
        sample.pan = 255;
        totalSampleBytes += sample.length;

        ModuleInstrument& instrument = player->instruments[i];
        memcpy(instrument.name, sample.name, 22);
        for (int note = 0; note < 256; ++note)
            instrument.sampleForNote[note] = i;
    }

    player->orderCount = in.U8(headerEnd);
    if (player->orderCount > 128)
        player->orderCount = 128;
    int highest = 0;
    for (int i = 0; i < 128; ++i) {
        player->orders[i] = in.U8(headerEnd + 2 + static_cast<size_t>(i));
        if (i < player->orderCount && player->orders[i] > highest)
            highest = player->orders[i];
    }
    int patternCount = highest + 1;
    size_t patternBytes = static_cast<size_t>(channels) * 256;
    if (!in.Has(patternStart, patternBytes * static_cast<size_t>(patternCount)))
        return -1;
    if (!AllocatePatterns(player, patternCount))
        return -2;

    int result = 0;
    for (int p = 0; p < patternCount; ++p) {
        ModuleCell* cells = AllocatePattern(player, p, 64);
        if (!cells)
            return -2;
        const uint8_t* bytes = in.At(patternStart + patternBytes * static_cast<size_t>(p));
        for (int i = 0; i < 64 * channels; ++i, bytes += 4) {
            ModuleCell& cell = cells[i];
            unsigned period = (bytes[0] & 15u) << 8 | bytes[1];
            if (period && !ModNoteForPeriod(period, &cell.note))
                result = 1;
            unsigned instrument = (bytes[0] & 0xF0u) + (bytes[2] >> 4);
            cell.instrument = instrument <= static_cast<unsigned>(sampleCount) ? instrument : 0;
            TranslateEffect(&cell, bytes[2] & 15, bytes[3]);
        }
    }

    size_t patternsEnd = patternStart + patternBytes * static_cast<size_t>(patternCount);
    if (totalSampleBytes > size)
        return -1;
    // Sample data follow the patterns in a well-formed file; otherwise they are the file's tail.
    size_t at = patternsEnd + totalSampleBytes == size ? patternsEnd
                                                       : size - static_cast<size_t>(totalSampleBytes);
    for (int i = 0; i < sampleCount; ++i) {
        ModuleSample& sample = player->samples[i];
        if (!sample.length)
            continue;
        if (!AllocateSampleData(&sample, sample.length))
            return -2;
        memcpy(sample.data, in.At(at), sample.length);
        at += sample.length;
    }

    player->initialTempo = 125;
    player->initialSpeed = 6;
    player->globalVolume = 64;
    for (int c = 0; c < channels; ++c)
        player->channels[c].defaultPan = (c % 4 == 0 || c % 4 == 3) ? 167 : 86;
    player->format = 1;
    FinishModule(player);
    return result;
}
