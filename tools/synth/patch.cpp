#include "patch.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace synth {

namespace {

bool ToNumber(const std::string& text, double* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (*end || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool InRange(const std::string& text, double low, double high, double* value)
{
    double v;
    if (!ToNumber(text, &v) || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// One number, or t:v pairs with rising times; every value within low..high.
bool ToEnvelope(const std::string& text, double low, double high, Envelope* envelope)
{
    envelope->points.clear();
    if (text.find(':') == std::string::npos) {
        double v;
        if (!InRange(text, low, high, &v))
            return false;
        envelope->points.push_back({0, v});
        return true;
    }
    std::istringstream in(text);
    std::string point;
    while (std::getline(in, point, ',')) {
        size_t colon = point.find(':');
        double t, v;
        if (colon == std::string::npos || !InRange(point.substr(0, colon), 0, 600, &t) ||
            !InRange(point.substr(colon + 1), low, high, &v))
            return false;
        if (!envelope->points.empty() && t < envelope->points.back().first)
            return false;
        envelope->points.push_back({t, v});
    }
    return !envelope->points.empty();
}

int VowelIndex(const std::string& name)
{
    static const char* names[] = {"a", "e", "i", "o", "u"};
    for (int i = 0; i < 5; ++i)
        if (name == names[i])
            return i;
    return -1;
}

// Empty when the key and value are good, else what is wrong.
std::string VoiceKey(const std::string& key, const std::string& value, Voice* v)
{
    const double nyquist = kRate / 2.0;
    bool ok = true;
    if (key == "wave") {
        static const std::pair<const char*, Wave> waves[] = {{"sine", Wave::Sine},       {"triangle", Wave::Triangle},
                                                             {"saw", Wave::Saw},         {"square", Wave::Square},
                                                             {"noise", Wave::Noise}};
        ok = false;
        for (const auto& [name, wave] : waves)
            if (value == name) {
                v->wave = wave;
                ok = true;
            }
    } else if (key == "start") {
        ok = InRange(value, 0, 600, &v->start);
    } else if (key == "end") {
        ok = InRange(value, 0, 600, &v->end);
    } else if (key == "seed") {
        double seed;
        ok = InRange(value, 1, 4294967295.0, &seed) && seed == std::floor(seed);
        v->seed = static_cast<uint32_t>(seed);
    } else if (key == "gain") {
        ok = InRange(value, 0, 10, &v->gain);
    } else if (key == "pitch") {
        ok = ToEnvelope(value, 1, nyquist, &v->pitch);
    } else if (key == "amp") {
        ok = ToEnvelope(value, 0, 1, &v->amp);
    } else if (key == "width") {
        ok = InRange(value, 0.05, 0.95, &v->width);
    } else if (key == "fm") {
        ok = InRange(value, 0.01, 32, &v->fmRatio);
    } else if (key == "index") {
        ok = ToEnvelope(value, 0, 50, &v->fmIndex);
    } else if (key == "vibrato" || key == "tremolo") {
        size_t colon = value.find(':');
        double rate = 0, depth = 0;
        ok = colon != std::string::npos && InRange(value.substr(0, colon), 0, 100, &rate) &&
             InRange(value.substr(colon + 1), 0, key == "vibrato" ? 24 : 1, &depth);
        (key == "vibrato" ? v->vibratoRate : v->tremoloRate) = rate;
        (key == "vibrato" ? v->vibratoDepth : v->tremoloDepth) = depth;
    } else if (key == "filter") {
        static const std::pair<const char*, FilterMode> modes[] = {
            {"lowpass", FilterMode::Lowpass}, {"highpass", FilterMode::Highpass}, {"bandpass", FilterMode::Bandpass}};
        ok = false;
        for (const auto& [name, mode] : modes)
            if (value == name) {
                v->filter = mode;
                ok = true;
            }
    } else if (key == "cutoff") {
        ok = ToEnvelope(value, 10, nyquist * 0.95, &v->cutoff);
    } else if (key == "q") {
        ok = InRange(value, 0.5, 20, &v->q);
    } else if (key == "vowel") {
        size_t colon = value.find(':');
        v->vowelFrom = VowelIndex(value.substr(0, colon));
        v->vowelTo = colon == std::string::npos ? v->vowelFrom : VowelIndex(value.substr(colon + 1));
        ok = v->vowelFrom >= 0 && v->vowelTo >= 0;
    } else if (key == "drive") {
        ok = InRange(value, 1, 20, &v->drive);
    } else {
        return "unknown key '" + key + "'";
    }
    return ok ? "" : "bad value '" + value + "' for " + key;
}

// A number of the patch or its echo, with its range.
struct Setting {
    const char* key;
    double low, high;
    double* value;
};

std::vector<Setting> PatchSettings(Patch* patch)
{
    return {{"length", 0.001, 60, &patch->length},
            {"peak", 0.01, 0.99, &patch->peak},
            {"loop", 0, 60, &patch->loopStart},
            {"crossfade", 0.001, 5, &patch->crossfade}};
}

std::vector<Setting> EchoSettings(Patch* patch)
{
    return {{"delay", 0.001, 2, &patch->echoDelay},
            {"feedback", 0, 0.95, &patch->echoFeedback},
            {"mix", 0, 1, &patch->echoMix}};
}

const Setting* FindSetting(const std::vector<Setting>& settings, const std::string& key)
{
    for (const Setting& setting : settings)
        if (key == setting.key)
            return &setting;
    return nullptr;
}

}  // namespace

double Envelope::At(double t, bool exponential) const
{
    if (points.empty())
        return 0;
    if (t <= points.front().first)
        return points.front().second;
    for (size_t i = 1; i < points.size(); ++i) {
        const auto& [t1, v1] = points[i];
        if (t >= t1)
            continue;
        const auto& [t0, v0] = points[i - 1];
        double f = (t - t0) / (t1 - t0);
        if (exponential && v0 > 0 && v1 > 0)
            return v0 * std::pow(v1 / v0, f);
        return v0 + (v1 - v0) * f;
    }
    return points.back().second;
}

bool ParsePatch(const std::string& text, const std::string& file, Patch* patch, std::string* error)
{
    *patch = Patch{};
    error->clear();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        *error = file + ":" + std::to_string(number) + ": " + why;
        return false;
    };
    Voice* voice = nullptr;
    const std::vector<Setting> patchSettings = PatchSettings(patch), echoSettings = EchoSettings(patch);
    while (std::getline(lines, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string w; in >> w;)
            words.push_back(w);
        if (words.empty())
            continue;
        const std::string& head = words[0];
        size_t first = 1;
        if (head.find('=') != std::string::npos) {
            if (!voice)
                return fail("'" + head + "' belongs to no voice");
            first = 0;
        } else if (head == "voice") {
            patch->voices.emplace_back();
            voice = &patch->voices.back();
        } else if (head == "echo") {
            voice = nullptr;
            for (size_t i = 1; i < words.size(); ++i) {
                size_t eq = words[i].find('=');
                std::string key = words[i].substr(0, eq);
                std::string value = eq == std::string::npos ? "" : words[i].substr(eq + 1);
                const Setting* setting = FindSetting(echoSettings, key);
                if (!setting)
                    return fail("unknown key '" + key + "'");
                if (!InRange(value, setting->low, setting->high, setting->value))
                    return fail("bad value '" + value + "' for " + key);
            }
            continue;
        } else {
            voice = nullptr;
            const Setting* setting = FindSetting(patchSettings, head);
            if (!setting)
                return fail("unknown key '" + head + "'");
            if (words.size() != 2)
                return fail(head + " takes one value");
            if (!InRange(words[1], setting->low, setting->high, setting->value))
                return fail("bad value '" + words[1] + "' for " + head);
            continue;
        }
        for (size_t i = first; i < words.size(); ++i) {
            size_t eq = words[i].find('=');
            if (eq == std::string::npos)
                return fail("expected key=value, got '" + words[i] + "'");
            std::string why = VoiceKey(words[i].substr(0, eq), words[i].substr(eq + 1), voice);
            if (!why.empty())
                return fail(why);
        }
    }
    if (patch->voices.empty())
        return fail("no voice");
    if (patch->loopStart >= 0) {
        double loopLength = patch->length - patch->loopStart;
        // The seam is blended with sound from before the loop, or, for a loop from the start,
        // with sound rendered past the end.
        if (loopLength < 2 * patch->crossfade ||
            (patch->loopStart > 0 && patch->loopStart < patch->crossfade))
            return fail("loop too short for its crossfade");
    }
    return true;
}

bool LoadPatch(const std::string& path, Patch* patch, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ":0: cannot read";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return ParsePatch(text.str(), path, patch, error);
}

}  // namespace synth
