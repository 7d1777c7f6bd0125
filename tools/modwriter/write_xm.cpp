// FastTracker II extended modules: header, packed patterns, then each instrument with its
// sample headers and delta-coded sample data.
#include "description.h"

namespace {

bool EffectType(char c, int* type)
{
    if (c >= '0' && c <= '9')
        *type = c - '0';
    else if (c >= 'A' && c <= 'Z')
        *type = c - 'A' + 10;
    else
        return false;
    return true;
}

void PutEnvelope(std::vector<uint8_t>* out, const EnvelopeDesc& envelope)
{
    for (size_t i = 0; i < 12; ++i) {
        bool has = i < envelope.points.size();
        Put16(out, has ? envelope.points[i].first : 0);
        Put16(out, has ? envelope.points[i].second : 0);
    }
}

int EnvelopeType(const EnvelopeDesc& envelope)
{
    if (envelope.points.empty())
        return 0;
    return 1 | (envelope.sustain >= 0 ? 2 : 0) | (envelope.loopStart >= 0 ? 4 : 0);
}

bool PutCell(std::vector<uint8_t>* out, const CellDesc& cell, std::string* error)
{
    int note = cell.note == -1 ? 0 : cell.note == -2 ? 97 : cell.note + 1;
    int volume = cell.rawVolume >= 0 ? cell.rawVolume : cell.volume >= 0 ? 0x10 + cell.volume : 0;
    int type = 0;
    if (cell.effect && !EffectType(cell.effect, &type)) {
        *error = std::string("XM effect '") + cell.effect + "'";
        return false;
    }
    int param = cell.effect ? cell.param : 0;
    if (note && cell.instrument && volume && cell.effect) {
        // A full cell goes unpacked, as trackers write it.
        Put8(out, note);
        Put8(out, cell.instrument);
        Put8(out, volume);
        Put8(out, type);
        Put8(out, param);
        return true;
    }
    int what = 0x80 | (note ? 1 : 0) | (cell.instrument ? 2 : 0) | (volume ? 4 : 0) | (type ? 8 : 0) | (param ? 16 : 0);
    Put8(out, what);
    if (note)
        Put8(out, note);
    if (cell.instrument)
        Put8(out, cell.instrument);
    if (volume)
        Put8(out, volume);
    if (type)
        Put8(out, type);
    if (param)
        Put8(out, param);
    return true;
}

}  // namespace

bool WriteXm(const SongDesc& song, std::vector<uint8_t>* out, std::string* error)
{
    // Without instrument lines every sample is an instrument of its own.
    std::map<int, InstrumentDesc> instruments = song.instruments;
    if (instruments.empty())
        for (const auto& [number, sample] : song.samples) {
            instruments[number].samples.push_back(number);
            instruments[number].name = sample.name;
        }
    int instrumentCount = instruments.empty() ? 0 : instruments.rbegin()->first;
    int patternCount = song.patterns.empty() ? 0 : song.patterns.rbegin()->first + 1;

    PutText(out, "Extended Module: ", 17);
    PutText(out, song.name, 20);
    Put8(out, 0x1A);
    PutText(out, "kelo modwriter", 20);
    Put16(out, 0x0104);
    Put32(out, 276);
    Put16(out, static_cast<int>(song.orders.size()));
    Put16(out, song.restart);
    Put16(out, song.channels);
    Put16(out, patternCount);
    Put16(out, instrumentCount);
    Put16(out, song.linear ? 1 : 0);
    Put16(out, song.speed);
    Put16(out, song.tempo);
    for (size_t i = 0; i < 256; ++i)
        Put8(out, i < song.orders.size() ? song.orders[i] : 0);

    for (int p = 0; p < patternCount; ++p) {
        auto found = song.patterns.find(p);
        int rows = found == song.patterns.end() ? 64 : found->second.rows;
        Put32(out, 9);
        Put8(out, 0);
        Put16(out, rows);
        size_t sizeAt = out->size();
        Put16(out, 0);
        size_t start = out->size();
        if (found != song.patterns.end() && rows > 0) {
            for (int row = 0; row < rows; ++row) {
                auto r = found->second.cells.find(row);
                for (int c = 0; c < song.channels; ++c) {
                    CellDesc cell;
                    if (r != found->second.cells.end() && c < static_cast<int>(r->second.size()))
                        cell = r->second[static_cast<size_t>(c)];
                    if (!PutCell(out, cell, error))
                        return false;
                }
            }
        }
        Set16(out, sizeAt, static_cast<int>(out->size() - start));
    }

    for (int i = 1; i <= instrumentCount; ++i) {
        auto found = instruments.find(i);
        InstrumentDesc empty;
        const InstrumentDesc& instrument = found == instruments.end() ? empty : found->second;
        int count = static_cast<int>(instrument.samples.size());
        Put32(out, count ? 263 : 29);
        PutText(out, instrument.name, 22);
        Put8(out, 0);
        Put16(out, count);
        if (!count)
            continue;
        Put32(out, 40);
        for (int n = 0; n < 96; ++n) {
            // The map names every note from its key up to the next key.
            int value = 0;
            for (const auto& [key, k] : instrument.map)
                if (key <= n)
                    value = k;
            Put8(out, value);
        }
        PutEnvelope(out, instrument.volume);
        PutEnvelope(out, instrument.pan);
        Put8(out, static_cast<int>(instrument.volume.points.size()));
        Put8(out, static_cast<int>(instrument.pan.points.size()));
        Put8(out, instrument.volume.sustain < 0 ? 0 : instrument.volume.sustain);
        Put8(out, instrument.volume.loopStart < 0 ? 0 : instrument.volume.loopStart);
        Put8(out, instrument.volume.loopEnd < 0 ? 0 : instrument.volume.loopEnd);
        Put8(out, instrument.pan.sustain < 0 ? 0 : instrument.pan.sustain);
        Put8(out, instrument.pan.loopStart < 0 ? 0 : instrument.pan.loopStart);
        Put8(out, instrument.pan.loopEnd < 0 ? 0 : instrument.pan.loopEnd);
        Put8(out, EnvelopeType(instrument.volume));
        Put8(out, EnvelopeType(instrument.pan));
        PutText(out, "", 4);  // vibrato
        Put16(out, instrument.fadeout);
        PutText(out, "", 22);

        std::vector<std::vector<int>> data;
        for (int number : instrument.samples) {
            auto sample = song.samples.find(number);
            if (sample == song.samples.end()) {
                *error = "instrument " + std::to_string(i) + " names a missing sample";
                return false;
            }
            const SampleDesc& s = sample->second;
            int width = s.bits == 16 ? 2 : 1;
            data.push_back(SynthesiseSample(s));
            Put32(out, static_cast<uint32_t>(s.length * width));
            Put32(out, static_cast<uint32_t>(s.loopStart * width));
            Put32(out, static_cast<uint32_t>((s.loopEnd - s.loopStart) * width));
            Put8(out, s.volume);
            Put8(out, s.finetune);
            Put8(out, (s.loop == "forward" ? 1 : s.loop == "pingpong" ? 2 : 0) | (s.bits == 16 ? 16 : 0));
            Put8(out, s.pan);
            Put8(out, s.relativeNote);
            Put8(out, 0);
            PutText(out, s.name, 22);
        }
        for (size_t k = 0; k < data.size(); ++k) {
            bool wide = song.samples.at(instrument.samples[k]).bits == 16;
            int previous = 0;
            for (int v : data[k]) {
                if (wide)
                    Put16(out, (v - previous) & 0xFFFF);
                else
                    Put8(out, (v - previous) & 0xFF);
                previous = v;
            }
        }
    }
    return true;
}
