// mapart: paints the maps' pictures for one image folder of the staging tree: each map's level
// image along that screen's variant of its curve file, the overlays' alpha masks, the gauntlet
// thumbnails (and "random") and the nebula.
//   mapart <map list> <stage dir> <image folder> [--levels <track sources>] [--stamp <file>]
//          [--depfile <file>] [--jobs <n>]
// With the track sources, each roof goes to the overlay whose rectangle holds it. With a stamp from an
// earlier run, only the maps whose sources or files changed since are painted again (repaint.h).
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "tools/common/build_outputs.h"
#include "tools/common/jpeg_file.h"
#include "tools/mapart/extras.h"
#include "tools/mapart/map_list.h"
#include "tools/mapart/painter.h"
#include "tools/mapart/repaint.h"
#include "tools/mapart/track.h"

using namespace mapart;

namespace {

struct FolderSpec {
    const char* name;
    int width, height;
    float scale, offsetX, offsetY;
    const char* variant;  // below z_levels
    float fixed14, fixed3;
};

// The screens: design scale and place (the layout table's ints 0, 1 and Fixed 0), the curve
// variant level loading reads there, and the layout's Fixed 14 and 3 (mouth stretch, ball size).
const FolderSpec kFolders[] = {
    {"i_VGA", 640, 480, 1.f, 0, 0, "", 16.2f, 32},
    {"i_800x480", 800, 480, 1.f, 80, 0, "z_wide/", 16.2f, 32},
    {"i_QVGA", 320, 240, 0.5f, 0, 0, "", 16.2f, 16},
    {"i_400x240", 400, 240, 0.5f, 40, 0, "z_wide/", 16.2f, 16},
    {"i_320x320", 320, 320, 0.5f, 0, 40, "z_square/", 16.2f, 16},
    {"i_240x240", 240, 240, 0.375f, 0, 30, "z_square/", 12.15f, 12},
};

class Output {
public:
    explicit Output(std::string root) : root_(std::move(root)) {}
    bool Jpeg(const std::string& below, int w, int h, int components, const std::vector<uint8_t>& samples,
              int quality, std::string& error)
    {
        std::string path = root_ + "/" + below + ".jpg";
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        if (!jpeg_file::Write(path, w, h, components, samples, quality)) {
            error = "cannot write " + path;
            return false;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        written_.push_back(path);
        return true;
    }
    std::vector<std::string> Written() const { return written_; }

private:
    std::string root_;
    std::mutex mutex_;
    std::vector<std::string> written_;
};

bool PaintMap(const MapArt& map, const FolderSpec& folder, const std::string& stage, Output& out, std::string& error)
{
    int tw, th;
    ThumbnailSize(folder.width, folder.height, tw, th);
    if (map.nebula) {
        Picture nebula = NebulaThumbnail(tw, th, folder.scale * float(tw) / float(folder.width));
        return out.Jpeg(ThumbFile(map), tw, th, 3, nebula.rgb, 90, error);
    }
    std::vector<Track> tracks, plain;
    if (!ReadTracks(stage + "/z_levels/" + folder.variant + map.art + ".pth", tracks, error) ||
        !ReadTracks(stage + "/z_levels/" + map.art + ".pth", plain, error))
        return false;
    for (Track& t : tracks)
        Flatten(t, 0.8f / folder.scale);
    for (Track& t : plain)
        Flatten(t, 1.f);
    View view;
    view.width = folder.width;
    view.height = folder.height;
    view.scale = folder.scale;
    view.offsetX = folder.offsetX;
    view.offsetY = folder.offsetY;
    view.mouthStretch = folder.fixed14 + folder.fixed3 + 1;
    Painted level = PaintLevel(map, tracks, view, true);
    for (const std::string& w : level.warnings)
        std::fprintf(stderr, "mapart: %s: warning: %s\n", folder.name, w.c_str());
    if (!out.Jpeg(LevelFile(map), folder.width, folder.height, 3, level.picture.rgb, 90, error))
        return false;
    for (const OverlayMask& m : level.overlays)
        if (!out.Jpeg(MaskFile(map, m.image), m.width, m.height, 1, m.alpha, 97, error))
            return false;
    Picture thumb = Thumbnail(map, plain, tw, th);
    return out.Jpeg(ThumbFile(map), tw, th, 3, thumb.rgb, 90, error);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: mapart <map list> <stage dir> <image folder> [--levels dir] [--stamp f] [--depfile f] [--jobs n]\n");
        return 2;
    }
    std::string listPath = argv[1], stage = argv[2], folderName = argv[3], stamp, depfile, levels;
    unsigned jobs = 2;
    for (int i = 4; i < argc; i += 2) {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "mapart: %s wants a value\n", argv[i]);
            return 2;
        }
        if (!std::strcmp(argv[i], "--stamp"))
            stamp = argv[i + 1];
        else if (!std::strcmp(argv[i], "--depfile"))
            depfile = argv[i + 1];
        else if (!std::strcmp(argv[i], "--levels"))
            levels = argv[i + 1];
        else if (!std::strcmp(argv[i], "--jobs"))
            jobs = unsigned(std::max(1, std::atoi(argv[i + 1])));
        else {
            std::fprintf(stderr, "mapart: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    const FolderSpec* folder = nullptr;
    for (const FolderSpec& f : kFolders)
        if (folderName == f.name)
            folder = &f;
    if (!folder) {
        std::fprintf(stderr, "mapart: unknown image folder %s\n", folderName.c_str());
        return 2;
    }
    std::vector<MapArt> maps;
    std::string error;
    if (!ReadMapList(listPath, maps, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!levels.empty())
        for (MapArt& m : maps)
            if (!ReadOverlaySizes(levels + "/" + m.art + ".txt", m, error)) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return 1;
            }

    // What each map is painted from besides its entry: the depfile names those there are.
    std::vector<std::string> read = {listPath}, prints;
    for (const MapArt& m : maps) {
        std::vector<std::string> sources;
        if (!levels.empty())
            sources.push_back(levels + "/" + m.art + ".txt");
        if (!m.nebula)
            for (const std::string& v : {std::string(folder->variant), std::string()})
                sources.push_back(stage + "/z_levels/" + v + m.art + ".pth");
        prints.push_back(Fingerprint(m, sources));
        for (const std::string& file : sources)
            if (std::filesystem::exists(file) && std::find(read.begin(), read.end(), file) == read.end())
                read.push_back(file);
    }
    Repaint repaint = WhatToRepaint(maps, prints, stamp, stage, folder->name);

    // The maps to paint, then "random" and the nebula as two more jobs.
    const size_t randomJob = maps.size(), nebulaJob = maps.size() + 1;
    std::vector<size_t> work;
    for (size_t m = 0; m < maps.size(); ++m)
        if (repaint.maps[m])
            work.push_back(m);
    if (repaint.random)
        work.push_back(randomJob);
    if (repaint.nebula)
        work.push_back(nebulaJob);
    Output out(stage + "/" + folder->name);
    std::vector<std::string> errors(maps.size() + 2);
    std::atomic<size_t> next{0};
    auto worker = [&]() {
        for (size_t j; (j = next++) < work.size();) {
            size_t m = work[j];
            if (m < maps.size()) {
                PaintMap(maps[m], *folder, stage, out, errors[m]);
            } else if (m == randomJob) {
                int tw, th;
                ThumbnailSize(folder->width, folder->height, tw, th);
                out.Jpeg(kRandomFile, tw, th, 3, RandomThumbnail(tw, th).rgb, 90, errors[m]);
            } else {
                Picture nebula = Nebula(folder->width, folder->height, folder->scale);
                out.Jpeg(kNebulaFile, folder->width, folder->height, 3, nebula.rgb, 90, errors[m]);
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < std::min<size_t>(jobs, work.size()); ++t)
        threads.emplace_back(worker);
    for (std::thread& t : threads)
        t.join();
    for (size_t j = 0; j < errors.size(); ++j)
        if (!errors[j].empty()) {
            std::fprintf(stderr, "%s\n", errors[j].c_str());
            return 1;
        }

    std::vector<std::string> written = out.Written();
    for (const std::string& file : repaint.kept)
        written.push_back(stage + "/" + file);
    if ((!stamp.empty() && !WriteRecord(stamp, maps, prints, error)) ||
        !build_outputs::WriteStampAndDepfile(stamp, depfile, stage, read, written, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
