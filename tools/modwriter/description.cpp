#include <cmath>
#include <cstdlib>
#include <sstream>

#include "description.h"

namespace {

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ToInt(const std::string& text, int* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    long v = strtol(text.c_str(), &end, 10);
    if (*end)
        return false;
    *value = static_cast<int>(v);
    return true;
}

bool ParseNote(const std::string& text, int* note)
{
    if (text == "---" || text == "...") {
        *note = -1;
        return true;
    }
    if (text == "===" || text == "OFF") {
        *note = -2;
        return true;
    }
    static const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    if (text.size() != 3 || text[2] < '0' || text[2] > '9')
        return false;
    for (int s = 0; s < 12; ++s)
        if (text.compare(0, 2, names[s]) == 0) {
            *note = (text[2] - '0') * 12 + s;
            return true;
        }
    return false;
}

bool ParseCell(const std::string& text, CellDesc* cell)
{
    std::istringstream in(text);
    std::vector<std::string> fields;
    std::string field;
    while (in >> field)
        fields.push_back(field);
    if (fields.empty() || (fields.size() == 1 && fields[0] == "."))
        return true;
    if (fields.size() != 4 || !ParseNote(fields[0], &cell->note))
        return false;
    if (fields[1] != ".." && !ToInt(fields[1], &cell->instrument))
        return false;
    if (fields[2][0] == '$') {
        cell->rawVolume = static_cast<int>(strtol(fields[2].c_str() + 1, nullptr, 16));
    } else if (fields[2] != ".." && !ToInt(fields[2], &cell->volume)) {
        return false;
    }
    if (fields[3] != "...") {
        if (fields[3].size() != 3)
            return false;
        cell->effect = fields[3][0];
        char* end = nullptr;
        cell->param = static_cast<int>(strtol(fields[3].c_str() + 1, &end, 16));
        if (*end)
            return false;
    }
    return true;
}

bool ParseEnvelope(const std::string& text, EnvelopeDesc* envelope)
{
    std::istringstream in(text);
    std::string point;
    while (std::getline(in, point, ',')) {
        size_t colon = point.find(':');
        int x, y;
        if (colon == std::string::npos || !ToInt(point.substr(0, colon), &x) || !ToInt(point.substr(colon + 1), &y))
            return false;
        envelope->points.push_back({x, y});
    }
    return true;
}

bool ParsePair(const std::string& text, int* a, int* b)
{
    size_t colon = text.find(':');
    return colon != std::string::npos && ToInt(text.substr(0, colon), a) && ToInt(text.substr(colon + 1), b);
}

bool ParseSampleKey(const std::string& key, const std::string& value, SampleDesc* s)
{
    if (key == "name") { s->name = value; return true; }
    if (key == "patch") { s->patch = value; return !value.empty(); }
    if (key == "wave") { s->wave = value; return value == "sine" || value == "square" || value == "noise" || value == "silence"; }
    if (key == "loop") { s->loop = value; return value == "none" || value == "forward" || value == "pingpong"; }
    int v;
    if (!ToInt(value, &v))
        return false;
    if (key == "length") s->length = v;
    else if (key == "cycle") s->cycle = v > 0 ? v : 1;
    else if (key == "amp") s->amp = v;
    else if (key == "bits") s->bits = v;
    else if (key == "attack") s->attack = v;
    else if (key == "decay") s->decay = v;
    else if (key == "seed") s->seed = static_cast<uint32_t>(v);
    else if (key == "loopstart") s->loopStart = v;
    else if (key == "loopend") s->loopEnd = v;
    else if (key == "volume") s->volume = v;
    else if (key == "c4") s->c4 = v;
    else if (key == "finetune") s->finetune = v;
    else if (key == "relnote") s->relativeNote = v;
    else if (key == "pan") s->pan = v;
    else return false;
    return s->bits == 8 || s->bits == 16;
}

bool ParseInstrumentKey(const std::string& key, const std::string& value, InstrumentDesc* instrument)
{
    if (key == "name") { instrument->name = value; return true; }
    if (key == "volenv") return ParseEnvelope(value, &instrument->volume);
    if (key == "panenv") return ParseEnvelope(value, &instrument->pan);
    if (key == "volloop") return ParsePair(value, &instrument->volume.loopStart, &instrument->volume.loopEnd);
    if (key == "panloop") return ParsePair(value, &instrument->pan.loopStart, &instrument->pan.loopEnd);
    if (key == "samples" || key == "map") {
        std::istringstream in(value);
        std::string item;
        while (std::getline(in, item, ',')) {
            int a, b;
            if (key == "samples" && ToInt(item, &a))
                instrument->samples.push_back(a);
            else if (key == "map" && ParsePair(item, &a, &b))
                instrument->map[a] = b;
            else
                return false;
        }
        return true;
    }
    int v;
    if (!ToInt(value, &v))
        return false;
    if (key == "fadeout") instrument->fadeout = v;
    else if (key == "volsustain") instrument->volume.sustain = v;
    else if (key == "pansustain") instrument->pan.sustain = v;
    else return false;
    return true;
}

}  // namespace

bool ParseDescription(const std::string& text, SongDesc* song, std::string* error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    PatternDesc* pattern = nullptr;
    auto fail = [&](const std::string& why) {
        *error = std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        // A comment starts with a '#' at the line's start or after a blank (C#4 is a note).
        for (size_t hash = line.find('#'); hash != std::string::npos; hash = line.find('#', hash + 1))
            if (hash == 0 || line[hash - 1] == ' ' || line[hash - 1] == '\t') {
                line.erase(hash);
                break;
            }
        line = Trim(line);
        if (line.empty())
            continue;
        size_t colon = line.find(':');
        int rowNumber;
        if (pattern && colon != std::string::npos && ToInt(Trim(line.substr(0, colon)), &rowNumber)) {
            std::vector<CellDesc> cells;
            std::istringstream in(line.substr(colon + 1));
            std::string cellText;
            while (std::getline(in, cellText, '|')) {
                CellDesc cell;
                if (!ParseCell(cellText, &cell))
                    return fail("bad cell '" + Trim(cellText) + "'");
                cells.push_back(cell);
            }
            if (rowNumber < 0 || rowNumber >= 256)
                return fail("row out of range");
            pattern->cells[rowNumber] = cells;
            continue;
        }
        std::istringstream in(line);
        std::string word;
        in >> word;
        std::string rest;
        std::getline(in, rest);
        rest = Trim(rest);
        std::vector<std::string> items;
        {
            std::istringstream words(rest);
            std::string item;
            while (words >> item)
                items.push_back(item);
        }
        int value = 0;
        bool isNumber = items.size() == 1 && ToInt(items[0], &value);
        if (word == "format") {
            song->format = rest;
            if (rest != "xm" && rest != "s3m" && rest != "mod" && rest != "mod15")
                return fail("unknown format");
        } else if (word == "name") {
            song->name = rest;
        } else if (word == "channels" && isNumber) {
            song->channels = value;
        } else if (word == "speed" && isNumber) {
            song->speed = value;
        } else if (word == "tempo" && isNumber) {
            song->tempo = value;
        } else if (word == "globalvolume" && isNumber) {
            song->globalVolume = value;
        } else if (word == "linear" && isNumber) {
            song->linear = value != 0;
        } else if (word == "restart" && isNumber) {
            song->restart = value;
        } else if (word == "signed" && isNumber) {
            song->signedSamples = value != 0;
        } else if (word == "orders" || word == "channelsettings") {
            std::vector<int>& list = word == "orders" ? song->orders : song->channelSettings;
            for (const std::string& item : items) {
                if (!ToInt(item, &value))
                    return fail("bad number '" + item + "'");
                list.push_back(value);
            }
        } else if (word == "sample" || word == "instrument" || word == "pattern") {
            if (items.empty() || !ToInt(items[0], &value) || value < 0)
                return fail(word + " needs a number");
            pattern = nullptr;
            if (word == "sample")
                song->samples[value].line = number;
            if (word == "pattern")
                pattern = &song->patterns[value];
            for (size_t i = 1; i < items.size(); ++i) {
                size_t equals = items[i].find('=');
                if (equals == std::string::npos)
                    return fail("expected key=value, got '" + items[i] + "'");
                std::string key = items[i].substr(0, equals), v = items[i].substr(equals + 1);
                bool ok = false;
                if (word == "sample")
                    ok = ParseSampleKey(key, v, &song->samples[value]);
                else if (word == "instrument")
                    ok = ParseInstrumentKey(key, v, &song->instruments[value]);
                else
                    ok = key == "rows" && ToInt(v, &pattern->rows) && pattern->rows >= 0 && pattern->rows <= 256;
                if (!ok)
                    return fail("bad value '" + items[i] + "'");
            }
        } else {
            return fail("unknown line '" + line + "'");
        }
    }
    return true;
}

std::vector<int> SynthesiseSample(const SampleDesc& s)
{
    if (!s.patch.empty())
        return s.rendered;
    std::vector<int> values(static_cast<size_t>(s.length > 0 ? s.length : 0));
    double full = s.bits == 16 ? 32767.0 : 127.0;
    uint32_t noise = s.seed ? s.seed : 1;
    for (int i = 0; i < s.length; ++i) {
        double wave = 0;
        if (s.wave == "sine") {
            wave = std::sin(2 * M_PI * i / s.cycle);
        } else if (s.wave == "square") {
            wave = i % s.cycle < s.cycle / 2 || s.cycle == 1 ? 1.0 : -1.0;
        } else if (s.wave == "noise") {
            noise = noise * 1103515245u + 12345u;
            wave = static_cast<double>((noise >> 8) & 0xFFFF) / 32767.5 - 1.0;
        }
        double envelope = 1.0;
        if (s.attack > 0 && i < s.attack)
            envelope = static_cast<double>(i) / s.attack;
        else if (s.decay > 0)
            envelope = std::max(0.0, 1.0 - static_cast<double>(i - s.attack) / s.decay);
        long v = std::lround(wave * envelope * full * s.amp / 100.0);
        if (v > full)
            v = static_cast<long>(full);
        if (v < -full - 1)
            v = static_cast<long>(-full - 1);
        values[static_cast<size_t>(i)] = static_cast<int>(v);
    }
    return values;
}

void Put8(std::vector<uint8_t>* out, int value)
{
    out->push_back(static_cast<uint8_t>(value));
}

void Put16(std::vector<uint8_t>* out, int value)
{
    Put8(out, value & 0xFF);
    Put8(out, (value >> 8) & 0xFF);
}

void Put16BigEndian(std::vector<uint8_t>* out, int value)
{
    Put8(out, (value >> 8) & 0xFF);
    Put8(out, value & 0xFF);
}

void Put32(std::vector<uint8_t>* out, uint32_t value)
{
    Put16(out, static_cast<int>(value & 0xFFFF));
    Put16(out, static_cast<int>(value >> 16));
}

void PutText(std::vector<uint8_t>* out, const std::string& text, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        Put8(out, i < text.size() ? text[i] : 0);
}

void Set16(std::vector<uint8_t>* out, size_t at, int value)
{
    (*out)[at] = static_cast<uint8_t>(value & 0xFF);
    (*out)[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

void Set32(std::vector<uint8_t>* out, size_t at, uint32_t value)
{
    Set16(out, at, static_cast<int>(value & 0xFFFF));
    Set16(out, at + 2, static_cast<int>(value >> 16));
}
