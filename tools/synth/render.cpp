#include "render.h"

#include <algorithm>
#include <cmath>

#include "dsp.h"

namespace synth {

namespace {

// Smooths the step of a saw or square wave where it jumps, so high notes do not alias harshly.
double PolyBlep(double phase, double step)
{
    if (phase < step) {
        double x = phase / step;
        return x + x - x * x - 1;
    }
    if (phase > 1 - step) {
        double x = (phase - 1) / step;
        return x * x + x + x + 1;
    }
    return 0;
}

double Wrap(double phase)
{
    return phase - std::floor(phase);
}

void RenderVoice(const Voice& v, double patchEnd, std::vector<double>* out)
{
    const double rate = kRate;
    size_t first = static_cast<size_t>(std::lround(v.start * rate));
    double endTime = v.end >= 0 ? v.end : patchEnd;
    size_t last = std::min(out->size(), static_cast<size_t>(std::lround(endTime * rate)));
    double duration = std::max(endTime - v.start, 1.0 / rate);
    Noise noise(v.seed);
    StateFilter filter;
    StateFilter formants[3];
    double phase = 0, modPhase = 0;
    for (size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i - first) / rate;
        double frequency = v.pitch.Empty() ? 440 : v.pitch.At(t, true);
        if (v.vibratoDepth > 0)
            frequency *= std::pow(2.0, v.vibratoDepth / 12 * std::sin(2 * M_PI * v.vibratoRate * t));
        double step = std::min(frequency / rate, 0.45);
        double s = 0;
        switch (v.wave) {
        case Wave::Sine:
            s = v.fmRatio > 0 ? std::sin(2 * M_PI * phase + v.fmIndex.At(t, false) * std::sin(2 * M_PI * modPhase))
                              : std::sin(2 * M_PI * phase);
            break;
        case Wave::Triangle:
            s = 4 * std::fabs(phase - 0.5) - 1;
            break;
        case Wave::Saw:
            s = 2 * phase - 1 - PolyBlep(phase, step);
            break;
        case Wave::Square:
            s = (phase < v.width ? 1 : -1) + PolyBlep(phase, step) - PolyBlep(Wrap(phase + 1 - v.width), step);
            break;
        case Wave::Noise:
            s = noise.Next();
            break;
        }
        phase = Wrap(phase + step);
        modPhase = Wrap(modPhase + frequency * v.fmRatio / rate);

        if (v.filter != FilterMode::None) {
            double cutoff = v.cutoff.Empty() ? 1000 : v.cutoff.At(t, true);
            StateFilter::Outputs o = filter.Process(s, cutoff, v.q, rate);
            s = v.filter == FilterMode::Lowpass ? o.low : v.filter == FilterMode::Highpass ? o.high : o.band / v.q;
        }
        if (v.vowelFrom >= 0) {
            const Formant* from = VowelFormants(v.vowelFrom);
            const Formant* to = VowelFormants(v.vowelTo);
            double f = std::min(t / duration, 1.0);
            double sum = 0;
            for (int k = 0; k < 3; ++k) {
                double centre = from[k].frequency * std::pow(to[k].frequency / from[k].frequency, f);
                double gain = from[k].gain + (to[k].gain - from[k].gain) * f;
                sum += gain * formants[k].Process(s, centre, from[k].q, rate).band / from[k].q;
            }
            s = sum;
        }
        if (v.drive > 0)
            s = SoftClip(s, v.drive);
        double level = v.amp.Empty() ? 1 : v.amp.At(t, false);
        if (v.tremoloDepth > 0)
            level *= 1 - v.tremoloDepth * (0.5 - 0.5 * std::cos(2 * M_PI * v.tremoloRate * t));
        (*out)[i] += s * level * v.gain;
    }
}

void Echo(const Patch& patch, std::vector<double>* samples)
{
    size_t delay = static_cast<size_t>(std::lround(patch.echoDelay * kRate));
    if (delay == 0 || patch.echoMix <= 0)
        return;
    std::vector<double> wet(samples->size(), 0.0);
    for (size_t i = delay; i < samples->size(); ++i)
        wet[i] = (*samples)[i - delay] + patch.echoFeedback * wet[i - delay];
    for (size_t i = 0; i < samples->size(); ++i)
        (*samples)[i] += patch.echoMix * wet[i];
}

// Pulse waves of uneven width carry an offset from zero, which costs headroom. A one-shot loses it
// through a gentle high-pass (a pole at 20 Hz, nothing audible goes with it); a loop repeats, so
// taking away the mean of its looped part leaves its seam as it was.
void RemoveDc(std::vector<double>* samples, size_t loopStart)
{
    if (loopStart < samples->size()) {
        double sum = 0;
        for (size_t i = loopStart; i < samples->size(); ++i)
            sum += (*samples)[i];
        double mean = sum / static_cast<double>(samples->size() - loopStart);
        for (double& s : *samples)
            s -= mean;
        return;
    }
    const double pole = 1 - 2 * M_PI * 20 / kRate;
    double lastIn = 0, lastOut = 0;
    for (double& s : *samples) {
        lastOut = s - lastIn + pole * lastOut;
        lastIn = s;
        s = lastOut;
    }
}

}  // namespace

Rendered Render(const Patch& patch)
{
    size_t length = static_cast<size_t>(std::lround(patch.length * kRate));
    size_t fade = static_cast<size_t>(std::lround(patch.crossfade * kRate));
    bool loopFromStart = patch.loopStart == 0;
    // A loop from the start borrows the sound just past its end for the blend at the start.
    std::vector<double> mix(length + (loopFromStart ? fade : 0), 0.0);
    for (const Voice& voice : patch.voices)
        RenderVoice(voice, static_cast<double>(mix.size()) / kRate, &mix);
    Echo(patch, &mix);

    Rendered result;
    if (patch.loopStart >= 0) {
        size_t loopStart = static_cast<size_t>(std::lround(patch.loopStart * kRate));
        size_t loopLength = length - loopStart;
        if (loopFromStart) {
            // The start fades in from what would follow the end, so the end runs on into it.
            for (size_t i = 0; i < fade; ++i) {
                double f = static_cast<double>(i) / static_cast<double>(fade);
                mix[i] = mix[i] * f + mix[i + length] * (1 - f);
            }
            mix.resize(length);
        } else {
            // The end fades into what followed the loop's start, so it runs on into the start.
            for (size_t i = length - fade; i < length; ++i) {
                double f = static_cast<double>(i - (length - fade) + 1) / static_cast<double>(fade);
                mix[i] = mix[i] * (1 - f) + mix[i - loopLength] * f;
            }
        }
        result.loopStart = static_cast<int>(loopStart);
        RemoveDc(&mix, loopStart);
    } else {
        RemoveDc(&mix, mix.size());
        // A few milliseconds of fade at the end, so nothing stops with a click.
        size_t tail = std::min<size_t>(mix.size(), kRate / 200);
        for (size_t i = 0; i < tail; ++i)
            mix[mix.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(tail);
    }

    double loudest = 0;
    for (double s : mix)
        loudest = std::max(loudest, std::fabs(s));
    double scale = loudest > 0 ? patch.peak / loudest : 0;
    result.samples.reserve(mix.size());
    for (double s : mix)
        result.samples.push_back(static_cast<float>(s * scale));
    return result;
}

std::vector<int> ToPcm16(const std::vector<float>& samples)
{
    std::vector<int> values;
    values.reserve(samples.size());
    for (float s : samples)
        values.push_back(static_cast<int>(std::lround(std::clamp(s * 32767.0, -32768.0, 32767.0))));
    return values;
}

}  // namespace synth
