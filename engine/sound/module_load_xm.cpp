#include <cstring>

#include "engine/core/memory.h"
#include "engine/sound/module_loaders.h"
#include "engine/sound/module_tables.h"

namespace {

constexpr int kMaxSamplesPerInstrument = 16;
constexpr size_t kSampleHeaderBytes = 40;

void TranslateVolumeColumn(ModuleCell* cell, uint8_t value)
{
    int n = value & 15;
    if (value >= 16 && value <= 80) {
        cell->volume = static_cast<uint8_t>(value - 16);
        return;
    }
    uint16_t effect = 0;
    int param = 0;
    switch (value >> 4) {
    case 0x6: effect = kFxXmVolumeSlide; param = n; break;
    case 0x7: effect = kFxXmVolumeSlide; param = n << 4; break;
    case 0x8: effect = kFxVolumeSlide; param = 0xF0 + n; break;
    case 0x9: effect = kFxVolumeSlide; param = n << 4 | 0xF; break;
    case 0xC: effect = kFxSetPan; param = n << 4; break;
    case 0xD: effect = kFxPanSlide; param = n; break;
    case 0xE: effect = kFxPanSlide; param = n << 4; break;
    default: break;
    }
    cell->effect1 = effect;
    cell->param1 = static_cast<uint8_t>(param);
}

void TranslateEffect(ModuleCell* cell, uint8_t type, uint8_t param)
{
    uint16_t effect = 0;
    int value = param;
    switch (type) {
    case 0x1: effect = kFxXmPortaUp; break;
    case 0x2: effect = kFxXmPortaDown; break;
    case 0x8: effect = kFxSetPan; break;
    case 0xA: effect = kFxXmVolumeSlide; break;
    case 0xC: effect = kFxSetVolume; value = param > 64 ? 64 : param; break;
    case 16: effect = kFxGlobalVolume; break;
    case 17: effect = kFxGlobalVolumeSlide; break;
    case 25: effect = kFxPanSlide; break;
    default: TranslateSharedEffect(type, param, &effect, &value); break;
    }
    cell->effect2 = effect;
    cell->param2 = effect ? static_cast<uint8_t>(value) : 0;
}

// Unpacks a pattern's data; data that end early leave the remaining cells empty.
void UnpackPattern(const uint8_t* data, size_t size, int fileChannels, int rows, int instrumentCount,
                   ModuleCell* cells, ModulePlayer* player)
{
    size_t pos = 0;
    auto next = [&]() -> uint8_t { return pos < size ? data[pos++] : 0; };
    for (int row = 0; row < rows && pos < size; ++row) {
        for (int c = 0; c < fileChannels && pos < size; ++c) {
            uint8_t note = 0, instrument = 0, volume = 0, type = 0, param = 0;
            uint8_t first = next();
            if (first & 0x80) {
                if (first & 1)
                    note = next();
                if (first & 2)
                    instrument = next();
                if (first & 4)
                    volume = next();
                if (first & 8)
                    type = next();
                if (first & 16)
                    param = next();
            } else {
                note = first;
                instrument = next();
                volume = next();
                type = next();
                param = next();
            }
            if (c >= player->channelCount)
                continue;
            ModuleCell& cell = cells[row * player->channelCount + c];
            if (note == 97)
                cell.note = kNoteOff;
            else if (note >= 1 && note <= 96)
                cell.note = static_cast<uint8_t>((note - 1) / 12 * 16 + (note - 1) % 12);
            cell.instrument = instrument <= instrumentCount ? instrument : 0;
            TranslateVolumeColumn(&cell, volume);
            TranslateEffect(&cell, type, param);
        }
    }
}

// Envelope of `count` points at `at`; off when its x values do not increase.
int ReadEnvelope(ByteReader& in, size_t at, int count, int sustain, int loopStart, int loopEnd,
                 uint8_t type, ModuleEnvelope* envelope)
{
    if (count > 12)
        count = 12;
    envelope->pointCount = static_cast<uint8_t>(count);
    envelope->on = (type & 1) && count >= 1;
    envelope->sustain = (type & 2) && sustain < count ? static_cast<uint8_t>(sustain) : 255;
    bool loop = (type & 4) && loopStart <= loopEnd && loopEnd < count;
    envelope->loopStart = loop ? static_cast<uint8_t>(loopStart) : 255;
    envelope->loopEnd = loop ? static_cast<uint8_t>(loopEnd) : 255;
    if (count == 0)
        return 0;
    envelope->points = static_cast<EnvelopePoint*>(Alloc(sizeof(EnvelopePoint) * static_cast<size_t>(count)));
    if (!envelope->points)
        return -2;
    for (int i = 0; i < count; ++i) {
        EnvelopePoint& point = envelope->points[i];
        point.x = in.U16(at + 4 * static_cast<size_t>(i));
        point.y = in.U16(at + 4 * static_cast<size_t>(i) + 2);
        if (point.y > 64)
            point.y = 64;
        if (i > 0 && point.x <= envelope->points[i - 1].x)
            envelope->on = false;
    }
    return 0;
}

// Byte length of the sample data behind the sample headers at `at`, or false past the file.
bool SampleDataBytes(ByteReader& in, size_t at, size_t headerSize, int count, size_t* bytes)
{
    *bytes = 0;
    for (int s = 0; s < count; ++s)
        *bytes += in.U32(at + static_cast<size_t>(s) * headerSize);
    return !in.bad;
}

int LoadSampleData(ByteReader& in, size_t at, ModuleSample* sample)
{
    if (!sample->length)
        return 0;
    if (!AllocateSampleData(sample, static_cast<size_t>(sample->length) * (sample->sixteenBit ? 2 : 1)))
        return -2;
    const uint8_t* from = in.At(at);
    if (sample->sixteenBit) {
        auto* to = static_cast<int16_t*>(sample->data);
        uint16_t sum = 0;
        for (uint32_t i = 0; i < sample->length; ++i) {
            sum = static_cast<uint16_t>(sum + (from[2 * i] | from[2 * i + 1] << 8));
            to[i] = static_cast<int16_t>(sum);
        }
    } else {
        auto* to = static_cast<int8_t*>(sample->data);
        uint8_t sum = 0;
        for (uint32_t i = 0; i < sample->length; ++i) {
            sum = static_cast<uint8_t>(sum + from[i]);
            to[i] = static_cast<int8_t>(sum);
        }
    }
    return 0;
}

// Reads instrument i at `at` with its samples from `firstSample`; returns the offset after it.
int LoadInstrument(ByteReader& in, size_t at, ModulePlayer* player, int i, int firstSample,
                   size_t* next)
{
    ModuleInstrument& instrument = player->instruments[i];
    size_t headerSize = in.U32(at);
    in.Text(at + 4, 22, instrument.name);
    int count = in.U16(at + 27);
    if (in.bad || count > kMaxSamplesPerInstrument)
        return -1;
    size_t pos = at + headerSize;
    if (count == 0) {
        instrument.fadeout = 0;
        *next = pos;
        return in.bad ? -1 : 0;
    }
    size_t sampleHeaderSize = in.U32(at + 29);
    if (sampleHeaderSize < kSampleHeaderBytes)
        sampleHeaderSize = kSampleHeaderBytes;
    for (int n = 0; n < 96; ++n) {
        uint8_t map = in.U8(at + 33 + static_cast<size_t>(n));
        instrument.sampleForNote[n / 12 * 16 + n % 12] = map < count ? firstSample + map : -1;
    }
    int result = ReadEnvelope(in, at + 129, in.U8(at + 225), in.U8(at + 227), in.U8(at + 228),
                              in.U8(at + 229), in.U8(at + 233), &instrument.volumeEnvelope);
    if (result == 0)
        result = ReadEnvelope(in, at + 177, in.U8(at + 226), in.U8(at + 230), in.U8(at + 231),
                              in.U8(at + 232), in.U8(at + 234), &instrument.panEnvelope);
    if (result < 0)
        return result;
    instrument.fadeout = in.U16(at + 239);
    if (in.bad)
        return -1;

    size_t dataAt = pos + static_cast<size_t>(count) * sampleHeaderSize;
    for (int s = 0; s < count; ++s, pos += sampleHeaderSize) {
        ModuleSample& sample = player->samples[firstSample + s];
        uint32_t byteLength = in.U32(pos);
        uint32_t loopStart = in.U32(pos + 4);
        uint32_t loopLength = in.U32(pos + 8);
        sample.volume = in.U8(pos + 12);
        sample.finetune = static_cast<int8_t>(in.U8(pos + 13));
        uint8_t type = in.U8(pos + 14);
        sample.pan = static_cast<uint8_t>(in.U8(pos + 15) / 4);
        sample.relativeNote = static_cast<int8_t>(in.U8(pos + 16));
        in.Text(pos + 18, 22, sample.name);
        if (in.bad || !in.Has(dataAt, byteLength))
            return -1;
        sample.sixteenBit = type & 16;
        int shift = sample.sixteenBit ? 1 : 0;
        sample.length = byteLength >> shift;
        if (sample.length > kModuleMaxSampleLength)
            return -1;
        sample.c4Rate = sample.c4RateCurrent = XmFinetuneRate(sample.finetune);
        int loopType = type & 3;
        bool looping = (loopType == 1 || loopType == 2) && loopLength != 0;
        uint64_t loopEnd = uint64_t{loopStart} + loopLength;
        SetSampleLoop(&sample, loopStart >> shift,
                      static_cast<uint32_t>(loopEnd > 0xFFFFFFFFu ? 0xFFFFFFFFu : loopEnd) >> shift,
                      looping);
        sample.pingPong = sample.looping && loopType == 2;
        result = LoadSampleData(in, dataAt, &sample);
        if (result < 0)
            return result;
        dataAt += byteLength;
    }
    *next = dataAt;
    return 0;
}

}  // namespace

int LoadXm(const uint8_t* data, size_t size, ModulePlayer* player)
{
    ByteReader in(data, size);
    if (!in.Has(0, 80 + 256))
        return -1;
    in.Text(17, 17, player->name);
    size_t headerSize = in.U32(60);
    player->orderCount = in.U16(64);
    player->restartOrder = in.U16(66);
    int channels = in.U16(68);
    int patternCount = in.U16(70);
    int instrumentCount = in.U16(72);
    player->linearSlides = in.U16(74) & 1;
    player->initialSpeed = static_cast<uint8_t>(in.U16(76));
    player->initialTempo = static_cast<uint8_t>(in.U16(78));
    if (channels == 0 || patternCount > kModuleMaxPatterns || instrumentCount > kModuleMaxInstruments)
        return -1;
    // Channels past the 32 the player mixes are read and dropped.
    player->channelCount = channels < kModuleMaxChannels ? channels : kModuleMaxChannels;
    for (int i = 0; i < kModuleMaxOrders; ++i)
        player->orders[i] = in.U8(80 + static_cast<size_t>(i));

    if (!AllocatePatterns(player, patternCount))
        return -2;
    size_t pos = 60 + headerSize;
    for (int p = 0; p < patternCount; ++p) {
        size_t headerLength = in.U32(pos);
        int rows = in.U16(pos + 5);
        size_t packedSize = in.U16(pos + 7);
        if (in.bad || !in.Has(pos + headerLength, packedSize))
            return -1;
        if (rows == 0)
            rows = 64;
        if (rows > kModuleMaxRows)
            rows = kModuleMaxRows;
        ModuleCell* cells = AllocatePattern(player, p, rows);
        if (!cells)
            return -2;
        UnpackPattern(in.At(pos + headerLength), packedSize, channels, rows, instrumentCount, cells,
                      player);
        pos += headerLength + packedSize;
    }

    // Samples are counted over all instruments before any is read.
    int sampleCount = 0;
    size_t scan = pos;
    for (int i = 0; i < instrumentCount; ++i) {
        size_t instrumentSize = in.U32(scan);
        int count = in.U16(scan + 27);
        if (in.bad || count > kMaxSamplesPerInstrument)
            return -1;
        scan += instrumentSize;
        if (count) {
            size_t sampleHeaderSize = in.U32(scan - instrumentSize + 29);
            if (sampleHeaderSize < kSampleHeaderBytes)
                sampleHeaderSize = kSampleHeaderBytes;
            size_t dataBytes = 0;
            if (!SampleDataBytes(in, scan, sampleHeaderSize, count, &dataBytes))
                return -1;
            scan += static_cast<size_t>(count) * sampleHeaderSize;
            if (!in.Has(scan, dataBytes))
                return -1;
            scan += dataBytes;
        }
        sampleCount += count;
    }
    if (!AllocateInstruments(player, instrumentCount) || !AllocateSamples(player, sampleCount))
        return -2;
    int firstSample = 0;
    for (int i = 0; i < instrumentCount; ++i) {
        size_t next = 0;
        int result = LoadInstrument(in, pos, player, i, firstSample, &next);
        if (result < 0)
            return result;
        firstSample += in.U16(pos + 27);
        pos = next;
    }

    for (int c = 0; c < player->channelCount; ++c)
        player->channels[c].defaultPan = 128;
    player->globalVolume = 64;
    player->format = 3;
    FinishModule(player);
    return 0;
}
