#include "engine/sound/module_player.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/sound/module_loaders.h"

namespace {

bool TestS3m(const uint8_t* data, size_t size)
{
    return size >= 48 && memcmp(data + 44, "SCRM", 4) == 0;
}

bool TestXm(const uint8_t* data, size_t size)
{
    return size >= 1024 && memcmp(data, "Extended Module: ", 17) == 0 && data[37] == 26;
}

bool TestMod(const uint8_t* data, size_t size)
{
    if (size < 1080)
        return false;
    ModulePlayer scratch;  // its destructor frees what the trial load built
    // Out of memory says nothing about the format: the real load then reports it.
    return LoadMod(data, size, &scratch) != -1;
}

struct ModuleFormat {
    int (*load)(const uint8_t*, size_t, ModulePlayer*);
    bool (*test)(const uint8_t*, size_t);
    int number;
    const char* name;
    const char* author;
    const char* version;
    const char* notice;
};

const ModuleFormat kFormats[] = {
    {LoadS3m, TestS3m, 2, "Future Crew Screamtracker 3", "Kelo", "1.0", "Our own reader"},
    {LoadXm, TestXm, 3, "Triton FastTracker II Extended Module", "Kelo", "1.0", "Our own reader"},
    {LoadMod, TestMod, 1, "Amiga Pro/Soundtracker", "Kelo", "1.0", "Our own reader"},
    {nullptr, nullptr, 0, nullptr, nullptr, nullptr, nullptr},
};

// Clears the module part while the output format chosen by the owner survives.
void ResetKeepingOutput(ModulePlayer* player)
{
    int rate = player->outputRate, bits = player->outputBits, channels = player->outputChannels;
    bool isSigned = player->signedOutput;
    uint8_t volume = player->moduleVolume;
    ModulePlayer::Clear(player);
    player->outputRate = rate;
    player->outputBits = bits;
    player->outputChannels = channels;
    player->signedOutput = isSigned;
    player->moduleVolume = volume;
}

int MixBufferFrames(int rate)
{
    return 5 * rate / (2 * 32);
}

}  // namespace

ModulePlayer::~ModulePlayer()
{
    Stop();
    if (loaded)
        Unload(this);
    else
        FreeModule();
}

int ModulePlayer::Load(const uint8_t* data, size_t size, ModulePlayer* player)
{
    if (!data || size < 1 || !player || player->loaded)
        return -1;
    player->Stop();
    player->FreeModule();
    ResetKeepingOutput(player);
    for (const ModuleFormat* format = kFormats; format->load; ++format) {
        if (!format->test(data, size))
            continue;
        int result = format->load(data, size, player);
        if (result < 0) {
            player->FreeModule();
            ResetKeepingOutput(player);
            return result;
        }
        player->loaded = true;
        return 0;
    }
    return -1;
}

void ModulePlayer::Clear(ModulePlayer* player)
{
    static_cast<ModuleState&>(*player) = ModuleState{};
}

void ModulePlayer::Unload(ModulePlayer* player)
{
    if (!player || !player->loaded)
        return;
    player->Stop();
    player->FreeModule();
    player->loaded = false;
}

void ModulePlayer::FreeModule()
{
    if (patterns)
        for (int p = 0; p < patternCount; ++p)
            Free(patterns[p]);
    Free(patterns);
    Free(patternRows);
    if (instruments)
        for (int i = 0; i < instrumentCount; ++i) {
            Free(instruments[i].volumeEnvelope.points);
            Free(instruments[i].panEnvelope.points);
        }
    Free(instruments);
    if (samples)
        for (int s = 0; s < sampleCount; ++s)
            Free(samples[s].data);
    Free(samples);
    patterns = nullptr;
    patternRows = nullptr;
    instruments = nullptr;
    samples = nullptr;
    patternCount = instrumentCount = sampleCount = 0;
    for (ChannelRecord& channel : channels) {
        channel.sample = nullptr;
        channel.keyed = false;
        channel.volumeEnvelope.envelope = channel.panEnvelope.envelope = nullptr;
    }
}

void ModulePlayer::SetOutputFormat(int rate, int channelCount, int bits, bool isSigned)
{
    // A rate this low would leave ticks of no frames at all.
    if (rate >= 1000 && rate <= 96000)
        outputRate = rate;
    if (channelCount == 1 || channelCount == 2)
        outputChannels = channelCount;
    if (bits == 8 || bits == 16)
        outputBits = bits;
    signedOutput = isSigned;
    if (!playing)
        return;
    Free(mixBuffer);
    mixBuffer = static_cast<int32_t*>(Alloc(static_cast<size_t>(MixBufferFrames(outputRate)) * 8));
    if (!mixBuffer) {
        playing = false;
        return;
    }
    samplesPerTick = 5 * outputRate / (2 * tempo);
}

bool ModulePlayer::Start()
{
    if (!loaded || outputRate <= 0 || (outputChannels != 1 && outputChannels != 2) ||
        (outputBits != 8 && outputBits != 16))
        return false;
    Free(mixBuffer);
    mixBuffer = static_cast<int32_t*>(Alloc(static_cast<size_t>(MixBufferFrames(outputRate)) * 8));
    if (!mixBuffer) {
        playing = false;
        return false;
    }
    speed = initialSpeed;
    SetTempo(initialTempo);
    currentGlobalVolume = globalVolume;
    row = orderPos = patternDelay = tickPos = tick = loopRow = 0;
    loop = false;
    endPending = false;
    pendingBreakRow = pendingJumpOrder = -1;
    pendingLoopJump = false;
    for (int s = 0; s < sampleCount; ++s)
        samples[s].c4RateCurrent = samples[s].c4Rate;
    for (ChannelRecord& channel : channels) {
        bool enabled = channel.enabled;
        uint8_t defaultPan = channel.defaultPan;
        channel = ChannelRecord{};
        channel.enabled = enabled;
        channel.defaultPan = defaultPan;
        channel.volume = 64;
        channel.pan = defaultPan;
        channel.envelopeVolume = 64;
        channel.panEnvelopeValue = 32;
        channel.forward = true;
        for (EffectSlot& slot : channel.slots) {
            slot.effect = kNoEffect;
            slot.param = 255;
        }
    }
    playing = true;
    return true;
}

void ModulePlayer::Stop()
{
    Free(mixBuffer);
    mixBuffer = nullptr;
    playing = false;
}

void ModulePlayer::SetTempo(int newTempo)
{
    if (newTempo < 32 || newTempo > 255)
        return;
    tempo = newTempo;
    samplesPerTick = 5 * outputRate / (2 * newTempo);
}

void ModulePlayer::Render()
{
    if (!playing || !outputBuffer || outputBytes <= 0)
        return;
    int frameBytes = (outputBits == 8 ? 1 : 2) * outputChannels;
    int frames = outputBytes / frameBytes;
    int done = 0;
    while (done < frames) {
        if (!playing) {
            SilenceOutput(done, frames - done);
            return;
        }
        int chunk = samplesPerTick - tickPos;
        if (chunk > frames - done)
            chunk = frames - done;
        if (chunk > 0) {
            Mix(done, chunk);
            tickPos += chunk;
            done += chunk;
        }
        if (tickPos < samplesPerTick)
            continue;
        tick += 1;
        tickPos = 0;
        if (tick >= speed + patternDelay) {
            patternDelay = 0;
            ProcessRow();
            tick = 0;
        }
        if (playing)
            ProcessTick();
    }
}
