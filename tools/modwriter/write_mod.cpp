// ProTracker modules: 31 samples with a channel signature at 1080, or the older 15-sample layout.
#include <algorithm>

#include "description.h"
#include "engine/sound/mod_periods.h"

namespace {

bool HexDigit(char c, int* value)
{
    if (c >= '0' && c <= '9')
        *value = c - '0';
    else if (c >= 'A' && c <= 'F')
        *value = c - 'A' + 10;
    else
        return false;
    return true;
}

std::string Signature(int channels)
{
    if (channels == 4)
        return "M.K.";
    if (channels < 10)
        return std::to_string(channels) + "CHN";
    return std::to_string(channels) + "CH";
}

}  // namespace

bool WriteMod(const SongDesc& song, std::vector<uint8_t>* out, std::string* error)
{
    bool old = song.format == "mod15";
    int sampleCount = old ? 15 : 31;
    int channels = old ? 4 : song.channels;
    if (!old && channels != 2 && channels != 4 && channels != 6 && channels != 8 &&
        !(channels >= 10 && channels <= 32 && channels % 2 == 0)) {
        *error = "MOD channels must be 2, 4, 6, 8 or an even count 10..32";
        return false;
    }
    std::vector<std::vector<int>> data(static_cast<size_t>(sampleCount));
    PutText(out, song.name, 20);
    for (int i = 1; i <= sampleCount; ++i) {
        auto found = song.samples.find(i);
        if (found == song.samples.end()) {
            PutText(out, "", 22);
            Put16BigEndian(out, 0);
            Put8(out, 0);
            Put8(out, 0);
            Put16BigEndian(out, 0);
            Put16BigEndian(out, 1);
            continue;
        }
        const SampleDesc& s = found->second;
        if (s.bits != 8) {
            *error = "MOD samples are 8-bit";
            return false;
        }
        std::vector<int>& values = data[static_cast<size_t>(i - 1)];
        values = SynthesiseSample(s);
        if (values.size() % 2)
            values.push_back(0);
        PutText(out, s.name, 22);
        Put16BigEndian(out, static_cast<int>(values.size() / 2));
        Put8(out, s.finetune & 15);
        Put8(out, s.volume);
        if (s.loop == "none") {
            Put16BigEndian(out, 0);
            Put16BigEndian(out, 1);
        } else {
            Put16BigEndian(out, s.loopStart / 2);
            Put16BigEndian(out, (s.loopEnd - s.loopStart) / 2);
        }
    }
    Put8(out, static_cast<int>(song.orders.size()));
    Put8(out, 127);
    int highest = 0;
    for (int i = 0; i < 128; ++i) {
        int order = i < static_cast<int>(song.orders.size()) ? song.orders[static_cast<size_t>(i)] : 0;
        highest = std::max(highest, order);
        Put8(out, order);
    }
    if (!old)
        PutText(out, Signature(channels), 4);

    for (int p = 0; p <= highest; ++p) {
        auto found = song.patterns.find(p);
        for (int row = 0; row < 64; ++row) {
            for (int c = 0; c < channels; ++c) {
                CellDesc cell;
                if (found != song.patterns.end()) {
                    auto r = found->second.cells.find(row);
                    if (r != found->second.cells.end() && c < static_cast<int>(r->second.size()))
                        cell = r->second[static_cast<size_t>(c)];
                }
                int period = 0;
                if (cell.note >= 0) {
                    if (cell.note / 12 > 8) {
                        *error = "MOD notes go up to octave 8";
                        return false;
                    }
                    period = kModPeriods[cell.note / 12][cell.note % 12];
                }
                int effect = 0;
                if (cell.effect && !HexDigit(cell.effect, &effect)) {
                    *error = std::string("MOD effect '") + cell.effect + "'";
                    return false;
                }
                Put8(out, (cell.instrument & 0xF0) | ((period >> 8) & 15));
                Put8(out, period & 0xFF);
                Put8(out, ((cell.instrument & 15) << 4) | effect);
                Put8(out, cell.param);
            }
        }
    }
    for (const std::vector<int>& values : data)
        for (int v : values)
            Put8(out, v);
    return true;
}
