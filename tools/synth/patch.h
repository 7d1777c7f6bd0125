#pragma once
// A sound described in text, one patch per file, as the synthesiser reads it.
//
//   # comment
//   length <seconds>                 how long the sound is
//   peak <0..0.99>                   the loudest sample, as a share of full scale
//   loop <seconds>                   the sound repeats from here (0, or past the crossfade) to its
//                                    end without a seam
//   crossfade <seconds>              how much is blended across the loop's seam (default 0.05)
//   echo delay=<s> feedback=<0..0.95> mix=<0..1>
//   voice key=value ...              one sounding layer; lines that start with key=value carry on
//                                    the voice above
//
// Voice keys:
//   wave=sine|triangle|saw|square|noise   start=<s>  end=<s>  seed=<n>  gain=<n>
//   pitch=<env>      Hz; points t:v, t in seconds from the voice's start, glided exponentially; 440 unless given
//   amp=<env>        0..1; points glided linearly, the last level held
//   width=<0.05..0.95>           square duty
//   fm=<ratio>  index=<env>      phase modulation by a sine at pitch * ratio
//   vibrato=<hz>:<semitones>  tremolo=<hz>:<depth 0..1>
//   filter=lowpass|highpass|bandpass  cutoff=<env Hz>  q=<0.5..20>
//   vowel=a|e|i|o|u or <from>:<to>   a choir's three formants, glided over the voice
//   drive=<1..20>                    soft saturation
// An envelope is one number or t:v,t:v,...
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int kRate = 22050;

struct Envelope {
    std::vector<std::pair<double, double>> points;  // time, value; sorted by time
    bool Empty() const { return points.empty(); }
    // Linear between points, or exponential for values that are frequencies.
    double At(double t, bool exponential) const;
};

enum class Wave { Sine, Triangle, Saw, Square, Noise };
enum class FilterMode { None, Lowpass, Highpass, Bandpass };

struct Voice {
    Wave wave = Wave::Sine;
    double start = 0;
    double end = -1;  // -1: the patch's end
    uint32_t seed = 1;
    double gain = 1;
    Envelope pitch;
    Envelope amp;
    double width = 0.5;
    double fmRatio = 0;
    Envelope fmIndex;
    double vibratoRate = 0, vibratoDepth = 0;
    double tremoloRate = 0, tremoloDepth = 0;
    FilterMode filter = FilterMode::None;
    Envelope cutoff;
    double q = 0.707;
    int vowelFrom = -1, vowelTo = -1;  // indexes into the vowel table, -1 none
    double drive = 0;
};

struct Patch {
    double length = 1;
    double peak = 0.7;
    double loopStart = -1;  // -1: not looped
    double crossfade = 0.05;
    double echoDelay = 0, echoFeedback = 0, echoMix = 0;
    std::vector<Voice> voices;
};

// False with "<file>:<line>: <message>" in `error` when the text is not a good patch.
bool ParsePatch(const std::string& text, const std::string& file, Patch* patch, std::string* error);
// Reads and parses a patch file.
bool LoadPatch(const std::string& path, Patch* patch, std::string* error);

}  // namespace synth
