// Scream Tracker 3 modules: header, order list, paragraph pointers, then instruments, packed
// patterns and sample data, each at a 16-byte boundary.
#include "description.h"

namespace {

void Align(std::vector<uint8_t>* out)
{
    while (out->size() % 16)
        Put8(out, 0);
}

}  // namespace

bool WriteS3m(const SongDesc& song, std::vector<uint8_t>* out, std::string* error)
{
    int instrumentCount = song.samples.empty() ? 0 : song.samples.rbegin()->first;
    int patternCount = song.patterns.empty() ? 0 : song.patterns.rbegin()->first + 1;
    if (song.channels < 1 || song.channels > 32) {
        *error = "S3M channels must be 1..32";
        return false;
    }
    PutText(out, song.name, 28);
    Put8(out, 0x1A);
    Put8(out, 16);
    Put16(out, 0);
    Put16(out, static_cast<int>(song.orders.size()));
    Put16(out, instrumentCount);
    Put16(out, patternCount);
    Put16(out, 0);       // flags
    Put8(out, 0x20);     // tracker version, read as 0x2013
    Put8(out, 0x13);
    Put16(out, song.signedSamples ? 1 : 2);
    PutText(out, "SCRM", 4);
    Put8(out, song.globalVolume);
    Put8(out, song.speed);
    Put8(out, song.tempo);
    Put8(out, 0xB0);  // master volume
    Put8(out, 0);
    Put8(out, 0);
    PutText(out, "", 10);
    for (int c = 0; c < 32; ++c) {
        int setting = 255;
        if (c < static_cast<int>(song.channelSettings.size()))
            setting = song.channelSettings[static_cast<size_t>(c)];
        else if (song.channelSettings.empty() && c < song.channels && c < 16)
            setting = c % 2 == 0 ? c / 2 : 8 + c / 2;  // left and right in turn
        Put8(out, setting);
    }
    for (int order : song.orders)
        Put8(out, order);
    size_t pointers = out->size();
    for (int i = 0; i < instrumentCount + patternCount; ++i)
        Put16(out, 0);

    std::vector<size_t> instrumentAt(static_cast<size_t>(instrumentCount), 0);
    for (int i = 1; i <= instrumentCount; ++i) {
        Align(out);
        size_t at = out->size();
        Set16(out, pointers + 2 * static_cast<size_t>(i - 1), static_cast<int>(at / 16));
        auto found = song.samples.find(i);
        if (found == song.samples.end()) {
            PutText(out, "", 80);
            continue;
        }
        const SampleDesc& s = found->second;
        instrumentAt[static_cast<size_t>(i - 1)] = at;
        Put8(out, 1);
        PutText(out, s.name, 12);
        Put8(out, 0);  // data pointer, filled below
        Put16(out, 0);
        Put32(out, static_cast<uint32_t>(s.length));
        Put32(out, static_cast<uint32_t>(s.loopStart));
        Put32(out, static_cast<uint32_t>(s.loopEnd));
        Put8(out, s.volume);
        Put8(out, 0);
        Put8(out, 0);
        Put8(out, (s.loop != "none" ? 1 : 0) | (s.bits == 16 ? 4 : 0));
        Put32(out, static_cast<uint32_t>(s.c4));
        PutText(out, "", 12);
        PutText(out, s.name, 28);
        PutText(out, "SCRS", 4);
    }

    for (int p = 0; p < patternCount; ++p) {
        auto found = song.patterns.find(p);
        if (found == song.patterns.end())
            continue;  // pointer 0: an empty pattern
        if (found->second.rows != 64) {
            *error = "S3M patterns have 64 rows";
            return false;
        }
        Align(out);
        size_t at = out->size();
        Set16(out, pointers + 2 * static_cast<size_t>(instrumentCount + p), static_cast<int>(at / 16));
        Put16(out, 0);
        for (int row = 0; row < 64; ++row) {
            auto r = found->second.cells.find(row);
            if (r != found->second.cells.end()) {
                for (size_t c = 0; c < r->second.size(); ++c) {
                    const CellDesc& cell = r->second[c];
                    bool noteOrInstrument = cell.note != -1 || cell.instrument != 0;
                    int what = static_cast<int>(c) | (noteOrInstrument ? 32 : 0) | (cell.volume >= 0 ? 64 : 0) |
                               (cell.effect ? 128 : 0);
                    if (what == static_cast<int>(c))
                        continue;
                    Put8(out, what);
                    if (noteOrInstrument) {
                        Put8(out, cell.note == -1 ? 255 : cell.note == -2 ? 254 : (cell.note / 12) << 4 | cell.note % 12);
                        Put8(out, cell.instrument);
                    }
                    if (cell.volume >= 0)
                        Put8(out, cell.volume);
                    if (cell.effect) {
                        if (cell.effect < 'A' || cell.effect > 'Z') {
                            *error = std::string("S3M effect '") + cell.effect + "'";
                            return false;
                        }
                        Put8(out, cell.effect - 'A' + 1);
                        Put8(out, cell.param);
                    }
                }
            }
            Put8(out, 0);
        }
        Set16(out, at, static_cast<int>(out->size() - at));
    }

    for (int i = 1; i <= instrumentCount; ++i) {
        auto found = song.samples.find(i);
        if (found == song.samples.end())
            continue;
        const SampleDesc& s = found->second;
        Align(out);
        size_t at = instrumentAt[static_cast<size_t>(i - 1)];
        size_t paragraph = out->size() / 16;
        (*out)[at + 13] = static_cast<uint8_t>(paragraph >> 16);
        Set16(out, at + 14, static_cast<int>(paragraph & 0xFFFF));
        for (int v : SynthesiseSample(s)) {
            if (s.bits == 16)
                Put16(out, song.signedSamples ? v : v ^ 0x8000);
            else
                Put8(out, song.signedSamples ? v : v ^ 0x80);
        }
    }
    return true;
}
