// Mixing the sounding channels of one chunk (never longer than a tick) and converting the
// 32-bit sums to the output format. No interpolation: each frame takes the sample under the
// 22.10 position.
#include <algorithm>
#include <cstring>

#include "engine/sound/mix_rows.h"
#include "engine/sound/module_player.h"

namespace {

template <typename T, int kOutputChannels>
void MixRun(const T* data, uint32_t length, uint32_t* position, uint32_t step, int32_t* out, int frames,
            int32_t gainLeft, int32_t gainRight)
{
    if constexpr (kOutputChannels == 1) {
        const mix_rows::Kernels& kernels = mix_rows::Active();
        if constexpr (sizeof(T) == 2)
            *position = kernels.mono16(data, length, *position, step, out, frames, gainLeft);
        else
            *position = kernels.mono8(data, length, *position, step, out, frames, gainLeft);
        return;
    }
    uint32_t pos = *position;
    for (int i = 0; i < frames; ++i) {
        int32_t s = data[pos >> 10];
        out[i * kOutputChannels] += s * gainLeft;
        if constexpr (kOutputChannels == 2)
            out[i * 2 + 1] += s * gainRight;
        pos += step;
    }
    *position = pos;
}

uint32_t CeilDiv(uint32_t a, uint32_t b)
{
    return a / b + (a % b != 0);
}

template <typename T, int kOutputChannels>
void MixChannel(ChannelRecord* channel, int32_t* out, int frames, int32_t gainLeft, int32_t gainRight)
{
    const ModuleSample* sample = channel->sample;
    const T* data = static_cast<const T*>(sample->data);
    uint32_t loopStart = sample->loopStart << 10;
    uint32_t loopEnd = sample->loopEnd << 10;
    uint32_t step = channel->step;
    if ((channel->position >> 10) >= sample->length) {
        channel->keyed = false;
        return;
    }
    if (!sample->pingPong)
        channel->forward = true;
    while (frames > 0) {
        uint32_t run;
        bool boundary;
        if (channel->forward) {
            uint32_t due = step == 0 ? 0 : channel->position < loopEnd ? CeilDiv(loopEnd - channel->position, step) : 1;
            boundary = due != 0 && due <= static_cast<uint32_t>(frames);
            run = boundary ? due : static_cast<uint32_t>(frames);
            MixRun<T, kOutputChannels>(data, sample->length, &channel->position, step, out, static_cast<int>(run),
                                       gainLeft, gainRight);
            if (boundary) {
                if (!sample->looping) {
                    channel->position = loopEnd;
                    channel->keyed = false;
                    return;
                }
                if (sample->pingPong) {
                    channel->position -= step;
                    channel->forward = false;
                } else {
                    channel->position = loopStart + (channel->position - loopEnd) % (loopEnd - loopStart);
                }
            }
        } else {
            // Backward, in a ping-pong loop: turns once the position comes within a step of the
            // loop start (never passing below it).
            uint32_t distance = channel->position > loopStart ? channel->position - loopStart : 0;
            uint32_t due = distance <= 2 * step ? 1 : CeilDiv(distance - step, step);
            if (step == 0)
                due = 0;
            boundary = due != 0 && due <= static_cast<uint32_t>(frames);
            run = boundary ? due : static_cast<uint32_t>(frames);
            MixRun<T, kOutputChannels>(data, sample->length, &channel->position, 0u - step, out,
                                       static_cast<int>(run), gainLeft, gainRight);
            if (boundary) {
                channel->position += step;
                channel->forward = true;
            }
        }
        out += run * kOutputChannels;
        frames -= static_cast<int>(run);
    }
}

}  // namespace

void ModulePlayer::Mix(int frameOffset, int frames)
{
    memset(mixBuffer, 0, sizeof(int32_t) * static_cast<size_t>(frames) * static_cast<size_t>(outputChannels));
    for (int c = 0; c < channelCount; ++c) {
        ChannelRecord& channel = channels[c];
        if (!channel.enabled || !channel.keyed || !channel.sample || !channel.sample->data)
            continue;
        uint8_t amp = static_cast<uint8_t>(
            ((channel.fadeVolume >> 9) * moduleVolume * currentGlobalVolume * globalVolume) >> 18);
        int32_t gain = (channel.envelopeVolume * channel.volume * amp) >> 12;
        bool wide = channel.sample->sixteenBit;
        // 8-bit sample values count as value * 256.
        int32_t scale = wide ? 1 : 256;
        if (outputChannels == 1) {
            if (wide)
                MixChannel<int16_t, 1>(&channel, mixBuffer, frames, gain, 0);
            else
                MixChannel<int8_t, 1>(&channel, mixBuffer, frames, gain * scale, 0);
            continue;
        }
        int32_t left, right;
        if (wide) {
            int p = channel.pan >> 2;
            left = static_cast<uint8_t>(((64 - p) * gain) >> 6);
            right = static_cast<uint8_t>((gain * p) >> 6);
            MixChannel<int16_t, 2>(&channel, mixBuffer, frames, left, right);
        } else {
            int p = std::clamp(channel.panEnvelopeValue + (channel.pan >> 2) - 64, -32, 32);
            left = ((32 - p) * gain) >> 6;
            right = ((32 + p) * gain) >> 6;
            MixChannel<int8_t, 2>(&channel, mixBuffer, frames, left * scale, right * scale);
        }
    }
    WriteOutput(frameOffset, frames);
}

void ModulePlayer::WriteOutput(int frameOffset, int frames)
{
    size_t values = static_cast<size_t>(frames) * static_cast<size_t>(outputChannels);
    size_t first = static_cast<size_t>(frameOffset) * static_cast<size_t>(outputChannels);
    if (outputBits == 16) {
        auto* out = static_cast<int16_t*>(outputBuffer) + first;
        if (signedOutput) {
            mix_rows::Active().signed16(out, mixBuffer, values);
        } else {
            for (size_t i = 0; i < values; ++i)
                out[i] = static_cast<int16_t>(std::clamp(mixBuffer[i] >> 7, -32768, 32767) ^ 0x8000);
        }
        return;
    }
    auto* out = static_cast<uint8_t*>(outputBuffer) + first;
    for (size_t i = 0; i < values; ++i) {
        int32_t v = std::clamp(mixBuffer[i] >> 16, -128, 127);
        out[i] = static_cast<uint8_t>(signedOutput ? v : v + 128);
    }
}

void ModulePlayer::SilenceOutput(int frameOffset, int frames)
{
    size_t values = static_cast<size_t>(frames) * static_cast<size_t>(outputChannels);
    size_t first = static_cast<size_t>(frameOffset) * static_cast<size_t>(outputChannels);
    if (outputBits == 16) {
        auto* out = static_cast<int16_t*>(outputBuffer) + first;
        for (size_t i = 0; i < values; ++i)
            out[i] = static_cast<int16_t>(signedOutput ? 0 : 0x8000);
        return;
    }
    memset(static_cast<uint8_t*>(outputBuffer) + first, signedOutput ? 0 : 128, values);
}
