#pragma once
// A tracker module described in text, as modwriter reads it.
//
//   # comment (at a line's start or after a blank)
//   format xm | s3m | mod | mod15
//   name <text>                     channels <n>   speed <n>   tempo <n>   globalvolume <n>
//   linear 0|1   restart <n>        (XM)
//   signed 0|1                      (S3M sample storage; unsigned by default)
//   channelsettings <v> ...         (S3M, one byte per file channel; default left/right pairs)
//   orders <n> ...
//   sample <n> wave=sine|square|noise|silence length=<samples> cycle=<samples> amp=<percent>
//          bits=8|16 attack=<samples> decay=<samples> seed=<n> loop=none|forward|pingpong
//          loopstart=<n> loopend=<n> volume=<0..64> c4=<hz> finetune=<n> relnote=<n> pan=<0..255>
//          patch=<file>    the sound is rendered by the synthesiser from this patch (a path from
//                          the description's folder); a patch that loops makes a forward loop
//   instrument <n> samples=<s>,<s> map=<note>:<k>,... fadeout=<n> volenv=<x>:<y>,...
//          volsustain=<point> volloop=<a>:<b> panenv=... pansustain=... panloop=...   (XM)
//   pattern <n> rows=<r>
//   <row>: <cell> | <cell> | ...    cell = note instrument volume effect, e.g. C#4 01 40 A04;
//                                   "---" no note, "===" note off, ".." and "..." empty fields,
//                                   volume $hh gives a raw XM volume-column byte.
// Effects are written in the target format's own letters (MOD/XM 0-F and G.., S3M A-Z), with
// the parameter byte as typed: a break's row reads as the tracker shows it (C10 is row 10).
// Values are written as given, out-of-range ones included, so that tests can describe broken
// modules too.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SampleDesc {
    std::string name;
    std::string wave = "sine";
    int length = 0;
    int cycle = 64;
    int amp = 100;
    int bits = 8;
    int attack = 0;
    int decay = 0;
    uint32_t seed = 1;
    std::string loop = "none";
    int loopStart = 0;
    int loopEnd = 0;
    int volume = 64;
    int c4 = 8363;
    int finetune = 0;
    int relativeNote = 0;
    int pan = 128;
    std::string patch;
    int line = 0;                 // the description line that named the patch
    std::vector<int> rendered;    // the patch's samples, once rendered
};

struct EnvelopeDesc {
    std::vector<std::pair<int, int>> points;
    int sustain = -1;
    int loopStart = -1;
    int loopEnd = -1;
};

struct InstrumentDesc {
    std::string name;
    std::vector<int> samples;  // 1-based sample numbers
    std::map<int, int> map;    // note index 0..95 -> sample within the instrument
    int fadeout = 0;
    EnvelopeDesc volume, pan;
};

struct CellDesc {
    int note = -1;  // octave * 12 + semitone, -1 none, -2 note off
    int instrument = 0;
    int volume = -1;   // 0..64 set volume, -1 none
    int rawVolume = -1;  // raw XM volume-column byte
    char effect = 0;   // 0 = none
    int param = 0;
};

struct PatternDesc {
    int rows = 64;
    std::map<int, std::vector<CellDesc>> cells;  // by row, then channel
};

struct SongDesc {
    std::string format = "xm";
    std::string name;
    int channels = 4;
    int speed = 6;
    int tempo = 125;
    int globalVolume = 64;
    bool linear = true;
    int restart = 0;
    bool signedSamples = false;
    std::vector<int> channelSettings;
    std::vector<int> orders;
    std::map<int, SampleDesc> samples;
    std::map<int, InstrumentDesc> instruments;
    std::map<int, PatternDesc> patterns;
};

// False with "<line>: <message>" in `error` when the text cannot be read.
bool ParseDescription(const std::string& text, SongDesc* song, std::string* error);
// Renders the samples that name a patch, from `folder`; false with "<file>:<line>: <message>".
bool RenderPatches(const std::string& folder, const std::string& file, SongDesc* song, std::string* error);
// The sample's values, in -32768..32767 for 16-bit and -128..127 for 8-bit samples.
std::vector<int> SynthesiseSample(const SampleDesc& sample);

bool WriteMod(const SongDesc& song, std::vector<uint8_t>* out, std::string* error);
bool WriteS3m(const SongDesc& song, std::vector<uint8_t>* out, std::string* error);
bool WriteXm(const SongDesc& song, std::vector<uint8_t>* out, std::string* error);

// Little- and big-endian field writers.
void Put8(std::vector<uint8_t>* out, int value);
void Put16(std::vector<uint8_t>* out, int value);
void Put16BigEndian(std::vector<uint8_t>* out, int value);
void Put32(std::vector<uint8_t>* out, uint32_t value);
void PutText(std::vector<uint8_t>* out, const std::string& text, size_t width);
void Set16(std::vector<uint8_t>* out, size_t at, int value);
void Set32(std::vector<uint8_t>* out, size_t at, uint32_t value);
