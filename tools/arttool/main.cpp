// arttool: renders the art list's SVG sources into every image folder of the staging tree and
// writes the sprite scripts that declare them.
//   arttool <art list> <stage dir> [--stamp <file>] [--depfile <file>] [--jobs <n>]
// The stamp lists the files written; with one from an earlier run, only what changed since is drawn
// again (redraw.h). The depfile gives the stamp the list, every source and every file written.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "tools/arttool/art_list.h"
#include "tools/arttool/folders.h"
#include "tools/arttool/image.h"
#include "tools/arttool/redraw.h"
#include "tools/arttool/sprite_scripts.h"
#include "tools/arttool/svg_source.h"
#include "tools/common/build_outputs.h"

using namespace art;

namespace {

std::string HostPath(const std::string& stage, const std::string& folder, const std::string& path)
{
    std::string host = path;
    std::replace(host.begin(), host.end(), '\\', '/');
    return stage + "/" + folder + "/" + host;
}

// Writes one rendered sheet into every folder of its scale.
bool WriteOutputs(const Picture& picture, int scaleIndex, const Image& sheet, const std::string& stage,
                  std::vector<std::string>& written, std::string& error)
{
    const Scale& scale = Scales()[size_t(scaleIndex)];
    for (const Folder& folder : Folders()) {
        if (folder.scale != scaleIndex || !picture.InFolder(folder.name))
            continue;
        if (picture.screen) {
            int x = scale.Pixels(-kCanvasX) - folder.offsetX, y = scale.Pixels(-kCanvasY) - folder.offsetY;
            if (!WriteImage(HostPath(stage, folder.name, picture.path), picture.format,
                            sheet.Crop(x, y, folder.width, folder.height), written, error))
                return false;
        } else if (picture.split.empty()) {
            if (!WriteImage(HostPath(stage, folder.name, picture.path), picture.format, sheet, written, error))
                return false;
        } else {
            int cw = sheet.width / picture.columns, ch = sheet.height / picture.Rows();
            for (int f = 0; f < picture.count; ++f)
                if (!WriteImage(HostPath(stage, folder.name, SplitPath(picture, picture.split[size_t(f)])),
                                picture.format, sheet.Crop(f % picture.columns * cw, f / picture.columns * ch, cw, ch),
                                written, error))
                    return false;
        }
    }
    return true;
}

bool WriteAtlases(const ArtList& list, const std::vector<AtlasLayout>& layouts,
                  const std::map<std::pair<size_t, int>, Image>& sheets, const std::string& stage,
                  std::vector<std::string>& written, std::string& error)
{
    for (const AtlasLayout& layout : layouts) {
        const Atlas& atlas = *layout.atlas;
        if (layout.members.empty()) {
            error = atlas.listFile + ":" + std::to_string(atlas.line) + ": atlas " + atlas.name + " has no pictures";
            return false;
        }
        for (int s = 0; s < int(Scales().size()); ++s) {
            int cw = 0, ch = 0;
            std::vector<Image> cells;
            for (const AtlasLayout::Member& m : layout.members) {
                const Picture& picture = list.pictures[m.picture];
                const Image& sheet = sheets.at({m.picture, s});
                int w = sheet.width / picture.columns, h = sheet.height / picture.Rows();
                if (cells.empty()) {
                    cw = w;
                    ch = h;
                } else if (w != cw || h != ch) {
                    error = picture.listFile + ":" + std::to_string(picture.line) + ": the frames of atlas " +
                            atlas.name + " are not all of one size";
                    return false;
                }
                cells.push_back(sheet.Crop(m.frame % picture.columns * w, m.frame / picture.columns * h, w, h));
            }
            int rows = (int(cells.size()) + atlas.columns - 1) / atlas.columns;
            Image texture(cw * atlas.columns, ch * rows);
            for (size_t i = 0; i < cells.size(); ++i)
                texture.Paste(cells[i], int(i) % atlas.columns * cw, int(i) / atlas.columns * ch);
            std::string data = AtlasData(layout, cw, ch);
            for (const Folder& folder : Folders()) {
                if (folder.scale != s)
                    continue;
                std::string base = HostPath(stage, folder.name, atlas.path);
                if (!WriteImage(base, Format::kPng, texture, written, error))
                    return false;
                written.push_back(base + ".txt");
                std::ofstream file(base + ".txt", std::ios::binary);
                file << data;
                if (!file.flush()) {
                    error = "cannot write " + base + ".txt";
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: arttool <art list> <stage dir> [--stamp f] [--depfile f] [--jobs n]\n");
        return 2;
    }
    std::string listPath = argv[1], stage = argv[2], stamp, depfile;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "arttool: %s wants a value\n", argv[i]);
            return 2;
        }
        if (!std::strcmp(argv[i], "--stamp")) {
            stamp = argv[i + 1];
        } else if (!std::strcmp(argv[i], "--depfile")) {
            depfile = argv[i + 1];
        } else if (!std::strcmp(argv[i], "--jobs")) {
            jobs = unsigned(std::max(1, std::atoi(argv[i + 1])));
        } else {
            std::fprintf(stderr, "arttool: unknown option %s\n", argv[i]);
            return 2;
        }
    }

    ArtList list;
    std::string error;
    if (!ReadArtList(listPath, list, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Redraw redraw = WhatToRedraw(list, listPath, stamp, stage);
    std::vector<AtlasLayout> atlases = LayOutAtlases(list);
    // A picture is rendered when it is drawn again or its sheet goes into an atlas drawn again.
    std::vector<bool> rendered = redraw.pictures;
    for (size_t a = 0; a < atlases.size(); ++a)
        for (const AtlasLayout::Member& m : atlases[a].members)
            if (redraw.atlases[a])
                rendered[m.picture] = true;
    std::vector<SvgSource> sources(list.pictures.size());
    std::vector<std::string> read = {listPath};
    for (size_t i = 0; i < list.pictures.size(); ++i) {
        const Picture& p = list.pictures[i];
        if (!std::filesystem::exists(p.source)) {
            std::fprintf(stderr, "%s:%d: no source %s\n", p.listFile.c_str(), p.sourceLine, p.source.c_str());
            return 1;
        }
        if (std::find(read.begin(), read.end(), p.source) == read.end())
            read.push_back(p.source);
        if (rendered[i] && !ReadSvgSource(p.source, sources[i], error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }

    // One job per picture and scale; each scale is drawn once and cut for its folders.
    std::vector<std::pair<size_t, int>> work;
    for (size_t i = 0; i < list.pictures.size(); ++i)
        for (int s = 0; s < int(Scales().size()); ++s)
            for (const Folder& f : Folders())
                if (rendered[i] && f.scale == s && list.pictures[i].InFolder(f.name)) {
                    work.push_back({i, s});
                    break;
                }
    std::map<std::pair<size_t, int>, Image> atlasSheets;
    std::vector<std::string> errors(work.size());
    std::vector<std::vector<std::string>> written(work.size() + 1);
    std::mutex keep;
    std::atomic<size_t> next{0};
    auto worker = [&]() {
        for (size_t j; (j = next++) < work.size();) {
            auto [p, s] = work[j];
            Image sheet;
            if (!RenderPicture(list.pictures[p], sources[p], Scales()[size_t(s)], sheet, errors[j]) ||
                (redraw.pictures[p] && !WriteOutputs(list.pictures[p], s, sheet, stage, written[j], errors[j])))
                continue;
            if (!list.pictures[p].atlas.empty()) {
                std::lock_guard<std::mutex> lock(keep);
                atlasSheets[{p, s}] = std::move(sheet);
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < std::min<size_t>(jobs, work.size()); ++t)
        threads.emplace_back(worker);
    for (std::thread& t : threads)
        t.join();
    // The first fault in list order, so the message does not depend on thread timing.
    for (const std::string& e : errors)
        if (!e.empty()) {
            std::fprintf(stderr, "%s\n", e.c_str());
            return 1;
        }

    std::vector<AtlasLayout> redrawnAtlases;
    for (size_t a = 0; a < atlases.size(); ++a)
        if (redraw.atlases[a])
            redrawnAtlases.push_back(atlases[a]);
    if (!WriteAtlases(list, redrawnAtlases, atlasSheets, stage, written.back(), error) ||
        (redraw.scripts && !WriteSpriteScripts(list, atlases, stage, error))) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (redraw.scripts)
        for (const std::string& script : ScriptFiles())
            written.back().push_back(stage + "/" + script);
    for (const std::string& file : redraw.kept)
        written.back().push_back(stage + "/" + file);

    std::vector<std::string> all;
    for (const std::vector<std::string>& files : written)
        all.insert(all.end(), files.begin(), files.end());
    if (!build_outputs::WriteStampAndDepfile(stamp, depfile, stage, read, all, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
