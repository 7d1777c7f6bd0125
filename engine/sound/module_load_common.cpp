#include <initializer_list>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/sound/module_loaders.h"

void ByteReader::Text(size_t offset, size_t count, char* out)
{
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<char>(U8(offset + i));
    out[count] = 0;
}

bool ByteReader::Matches(size_t offset, const char* text) const
{
    size_t length = strlen(text);
    return Has(offset, length) && memcmp(data_ + offset, text, length) == 0;
}

bool AllocateInstruments(ModulePlayer* player, int count)
{
    player->instrumentCount = 0;
    if (count <= 0)
        return true;
    auto* instruments =
        static_cast<ModuleInstrument*>(Alloc(sizeof(ModuleInstrument) * static_cast<size_t>(count)));
    if (!instruments)
        return false;
    memset(instruments, 0, sizeof(ModuleInstrument) * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        ModuleInstrument& instrument = instruments[i];
        for (int note = 0; note < 256; ++note) {
            instrument.sampleForNote[note] = -1;
            instrument.noteForNote[note] = static_cast<uint8_t>(note);
        }
        for (ModuleEnvelope* envelope : {&instrument.volumeEnvelope, &instrument.panEnvelope})
            envelope->loopStart = envelope->loopEnd = envelope->sustain = 255;
        instrument.fadeout = 32767;
    }
    player->instruments = instruments;
    player->instrumentCount = count;
    return true;
}

bool AllocateSamples(ModulePlayer* player, int count)
{
    player->sampleCount = 0;
    if (count <= 0)
        return true;
    auto* samples =
        static_cast<ModuleSample*>(Alloc(sizeof(ModuleSample) * static_cast<size_t>(count)));
    if (!samples)
        return false;
    memset(samples, 0, sizeof(ModuleSample) * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        samples[i].pan = 255;
        samples[i].c4Rate = samples[i].c4RateCurrent = 8363;
    }
    player->samples = samples;
    player->sampleCount = count;
    return true;
}

bool AllocatePatterns(ModulePlayer* player, int count)
{
    player->patternCount = 0;
    if (count <= 0)
        return true;
    size_t n = static_cast<size_t>(count);
    auto* patterns = static_cast<ModuleCell**>(Alloc(sizeof(ModuleCell*) * n));
    if (!patterns)
        return false;
    auto* rows = static_cast<int*>(Alloc(sizeof(int) * n));
    if (!rows) {
        Free(patterns);
        return false;
    }
    memset(patterns, 0, sizeof(ModuleCell*) * n);
    memset(rows, 0, sizeof(int) * n);
    player->patterns = patterns;
    player->patternRows = rows;
    player->patternCount = count;
    return true;
}

ModuleCell* AllocatePattern(ModulePlayer* player, int pattern, int rows)
{
    size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(player->channelCount);
    auto* block = static_cast<ModuleCell*>(Alloc(sizeof(ModuleCell) * (cells ? cells : 1)));
    if (!block)
        return nullptr;
    for (size_t i = 0; i < cells; ++i)
        block[i] = ModuleCell{};
    player->patterns[pattern] = block;
    player->patternRows[pattern] = rows;
    return block;
}

void* AllocateSampleData(ModuleSample* sample, size_t bytes)
{
    void* block = Alloc(bytes ? bytes : 1);
    if (block)
        memset(block, 0, bytes ? bytes : 1);
    sample->data = block;
    return block;
}

void SetSampleLoop(ModuleSample* sample, uint32_t loopStart, uint32_t loopEnd, bool looping)
{
    if (looping) {
        if (loopEnd > sample->length)
            loopEnd = sample->length;
        if (loopStart >= loopEnd)
            looping = false;
    }
    sample->looping = looping;
    if (!looping) {
        sample->pingPong = false;
        sample->loopEnd = sample->length ? sample->length - 1 : 0;
        sample->loopStart = sample->loopEnd;
        return;
    }
    sample->loopStart = loopStart;
    sample->loopEnd = loopEnd;
}

int BreakRow(int param)
{
    int row = (param >> 4) * 10 + (param & 15);
    return row >= 64 ? 0 : row;
}

void TranslateSharedEffect(int effect, int param, uint16_t* out, int* value)
{
    int x = param & 15;
    switch (effect) {
    case 0x0: *out = param ? kFxArpeggio : 0; break;
    case 0x3: *out = kFxTonePorta; break;
    case 0x4: *out = kFxVibrato; break;
    case 0x5: *out = kFxTonePortaVolumeSlide; break;
    case 0x6: *out = kFxVibratoVolumeSlide; break;
    case 0x7: *out = kFxTremolo; break;
    case 0x9: *out = kFxSampleOffset; break;
    case 0xB: *out = kFxJump; break;
    case 0xD:
        *out = kFxBreak;
        *value = BreakRow(param);
        break;
    case 0xE:
        switch (param >> 4) {
        case 0x1: *out = kFxPortaUp; *value = 0xF0 | x; break;
        case 0x2: *out = kFxPortaDown; *value = 0xF0 | x; break;
        case 0x4: *out = kFxExtended; *value = 0x30 | x; break;
        case 0x5: *out = kFxExtended; *value = 0x20 | x; break;
        case 0x6: *out = kFxExtended; *value = 0xB0 | x; break;
        case 0x7: *out = kFxExtended; *value = 0x40 | x; break;
        case 0x9: *out = kFxRetrigger; *value = x; break;
        case 0xA: *out = kFxVolumeSlide; *value = x << 4 | 0xF; break;
        case 0xB: *out = kFxVolumeSlide; *value = 0xF0 | x; break;
        case 0xC: *out = kFxExtended; *value = 0xC0 | x; break;
        case 0xD: *out = kFxExtended; *value = 0xD0 | x; break;
        case 0xE: *out = kFxExtended; *value = 0xE0 | x; break;
        default: break;
        }
        break;
    case 0xF: *out = param < 32 ? kFxSpeed : kFxTempo; break;
    default: break;
    }
}

void FinishModule(ModulePlayer* player)
{
    if (player->initialTempo < 32)
        player->initialTempo = 125;
    if (player->initialSpeed == 0)
        player->initialSpeed = 6;
    if (player->globalVolume > 64)
        player->globalVolume = 64;
    if (player->orderCount > kModuleMaxOrders)
        player->orderCount = kModuleMaxOrders;
    if (player->orderCount < 0)
        player->orderCount = 0;
    for (int i = 0; i < player->sampleCount; ++i) {
        ModuleSample& sample = player->samples[i];
        if (sample.volume > 64)
            sample.volume = 64;
        sample.defaultVolume = sample.volume;
    }
    for (int c = 0; c < kModuleMaxChannels; ++c)
        player->channels[c].enabled = c < player->channelCount;
}
