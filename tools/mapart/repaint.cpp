#include "tools/mapart/repaint.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "tools/common/build_outputs.h"

namespace mapart {

namespace fs = std::filesystem;

namespace {

std::string RecordPath(const std::string& stamp)
{
    return fs::path(stamp).replace_extension(".sources").string();
}

// FNV-1a, 64 bits; the length goes first so that no two lists of parts hash alike by shifting bytes.
void Hash(uint64_t& h, const std::string& part)
{
    std::string sized = std::to_string(part.size()) + ":" + part;
    for (char c : sized)
        h = (h ^ uint8_t(c)) * 1099511628211ull;
}

// Below the stage, with the ending the tool writes.
std::vector<std::string> MapFiles(const MapArt& map, const std::string& folder)
{
    std::vector<std::string> files;
    if (!map.nebula) {
        files.push_back(LevelFile(map));
        for (const OverlaySpot& o : map.overlays)
            files.push_back(MaskFile(map, o.image));
    }
    files.push_back(ThumbFile(map));
    for (std::string& file : files)
        file = folder + "/" + file + ".jpg";
    return files;
}

}  // namespace

std::string LevelFile(const MapArt& map) { return "levels/" + map.art + "/" + map.art; }
std::string MaskFile(const MapArt& map, const std::string& image) { return "levels/" + map.art + "/" + image + "_a"; }
std::string ThumbFile(const MapArt& map) { return "thumbs/" + map.art; }

std::string Fingerprint(const MapArt& map, const std::vector<std::string>& files)
{
    uint64_t h = 14695981039346656037ull;
    Hash(h, map.entry);
    for (const std::string& path : files) {
        std::ifstream in(path, std::ios::binary);
        Hash(h, in ? "file" : "gone");
        Hash(h, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, h);
    return text;
}

Repaint WhatToRepaint(const std::vector<MapArt>& maps, const std::vector<std::string>& prints,
                      const std::string& stamp, const std::string& stage, const std::string& folder)
{
    Repaint repaint;
    repaint.maps.assign(maps.size(), true);
    std::error_code ec;
    fs::file_time_type made = fs::last_write_time(stamp, ec);
    if (ec)
        return repaint;
    std::ifstream recordFile(RecordPath(stamp));
    if (!recordFile)
        return repaint;
    // Gone counts as newer.
    auto newer = [&](const std::string& path) {
        std::error_code missing;
        fs::file_time_type time = fs::last_write_time(path, missing);
        return missing || time > made;
    };
    if (newer("/proc/self/exe"))
        return repaint;
    std::map<std::string, std::string> record;
    for (std::string line; std::getline(recordFile, line);) {
        std::istringstream words(line);
        std::string art, print;
        if (words >> art >> print)
            record[art] = print;
    }
    std::set<std::string> last;
    std::ifstream lines(stamp);
    for (std::string line; std::getline(lines, line);)
        last.insert(line);
    // Painted again when a file the last run wrote is gone, newer or was not written; else kept.
    auto stale = [&](const std::vector<std::string>& files) {
        for (const std::string& file : files)
            if (!last.count(file) || newer(stage + "/" + file))
                return true;
        repaint.kept.insert(repaint.kept.end(), files.begin(), files.end());
        return false;
    };
    for (size_t m = 0; m < maps.size(); ++m) {
        auto known = record.find(maps[m].art);
        repaint.maps[m] = known == record.end() || known->second != prints[m] || stale(MapFiles(maps[m], folder));
    }
    repaint.random = stale({folder + "/" + kRandomFile + ".jpg"});
    repaint.nebula = stale({folder + "/" + kNebulaFile + ".jpg"});
    return repaint;
}

bool WriteRecord(const std::string& stamp, const std::vector<MapArt>& maps, const std::vector<std::string>& prints,
                 std::string& error)
{
    std::string text;
    for (size_t m = 0; m < maps.size(); ++m)
        text += maps[m].art + " " + prints[m] + "\n";
    if (!build_outputs::WriteText(RecordPath(stamp), text)) {
        error = "cannot write " + RecordPath(stamp);
        return false;
    }
    return true;
}

}  // namespace mapart
