#include "tools/arttool/redraw.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "tools/arttool/folders.h"

namespace art {

namespace fs = std::filesystem;

namespace {

// Below the stage, in every folder that has the picture.
std::vector<std::string> InFolders(const Picture* picture, const std::string& path,
                                   std::initializer_list<const char*> endings)
{
    std::string host = path;
    std::replace(host.begin(), host.end(), '\\', '/');
    std::vector<std::string> files;
    for (const Folder& folder : Folders())
        if (!picture || picture->InFolder(folder.name))
            for (const char* ending : endings)
                files.push_back(folder.name + "/" + host + ending);
    return files;
}

}  // namespace

std::vector<std::string> PictureFiles(const Picture& picture)
{
    std::vector<std::string> files;
    std::vector<std::string> paths = picture.split.empty() ? std::vector<std::string>{picture.path}
                                                           : std::vector<std::string>{};
    for (const std::string& name : picture.split)
        paths.push_back(SplitPath(picture, name));
    for (const std::string& path : paths)
        for (std::string& file : InFolders(&picture, path, {".png", ".jpg", "_a.jpg"}))
            files.push_back(std::move(file));
    return files;
}

std::vector<std::string> AtlasFiles(const Atlas& atlas)
{
    return InFolders(nullptr, atlas.path, {".png", ".txt"});
}

std::vector<std::string> ScriptFiles()
{
    std::vector<std::string> files;
    for (Script script : {Script::kSprites, Script::kAtlases, Script::kGame})
        files.push_back("ui/" + ScriptFile(script));
    return files;
}

Redraw WhatToRedraw(const ArtList& list, const std::string& listPath, const std::string& stamp,
                    const std::string& stage)
{
    Redraw redraw;
    redraw.pictures.assign(list.pictures.size(), true);
    redraw.atlases.assign(list.atlases.size(), true);
    std::error_code ec;
    fs::file_time_type made = fs::last_write_time(stamp, ec);
    if (ec)
        return redraw;
    // Gone counts as newer.
    auto newer = [&](const std::string& path) {
        std::error_code missing;
        fs::file_time_type time = fs::last_write_time(path, missing);
        return missing || time > made;
    };
    if (newer(listPath) || newer("/proc/self/exe"))
        return redraw;
    std::set<std::string> last;
    std::ifstream lines(stamp);
    for (std::string line; std::getline(lines, line);)
        last.insert(line);
    // Drawn again when a file the last run wrote is gone or newer, or when it wrote none.
    auto stale = [&](const std::vector<std::string>& files) {
        bool any = false;
        for (const std::string& file : files)
            if (last.count(file)) {
                if (newer(stage + "/" + file))
                    return true;
                any = true;
            }
        return !any;
    };
    auto keep = [&](const std::vector<std::string>& files) {
        for (const std::string& file : files)
            if (last.count(file))
                redraw.kept.push_back(file);
    };
    for (size_t p = 0; p < list.pictures.size(); ++p) {
        const Picture& picture = list.pictures[p];
        std::vector<std::string> files = PictureFiles(picture);
        redraw.pictures[p] = newer(picture.source) || stale(files);
        if (!redraw.pictures[p])
            keep(files);
    }
    for (size_t a = 0; a < list.atlases.size(); ++a) {
        std::vector<std::string> files = AtlasFiles(list.atlases[a]);
        bool member = false;
        for (size_t p = 0; p < list.pictures.size(); ++p)
            member = member || (redraw.pictures[p] && list.pictures[p].atlas == list.atlases[a].name);
        redraw.atlases[a] = member || stale(files);
        if (!redraw.atlases[a])
            keep(files);
    }
    redraw.scripts = stale(ScriptFiles());
    if (!redraw.scripts)
        keep(ScriptFiles());
    return redraw;
}

}  // namespace art
