#include "tools/arttool/art_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tools/arttool/folders.h"

namespace art {

namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

bool ParseInt(const std::string& text, int& value)
{
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < 1 || v > 4096)
        return false;
    value = int(v);
    return true;
}

bool ParseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && !*end;
}

bool ParseScript(const std::string& word, Script& script)
{
    if (word == "sprites")
        script = Script::kSprites;
    else if (word == "atlases")
        script = Script::kAtlases;
    else if (word == "game")
        script = Script::kGame;
    else
        return false;
    return true;
}

bool ValidName(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

bool ValidPath(const std::string& path)
{
    if (path.empty() || path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos)
        return false;
    return std::all_of(path.begin(), path.end(), [](char c) { return c == '\\' || ValidName(std::string(1, c)); });
}

std::string Directory(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

class Reader {
public:
    Reader(const std::string& file, ArtList& out) : file_(file), out_(out) {}

    bool Fail(int line, const std::string& message)
    {
        error = file_ + ":" + std::to_string(line) + ": " + message;
        return false;
    }

    bool Read(std::istream& in)
    {
        std::string text;
        int line = 0;
        Picture* open = nullptr;
        while (std::getline(in, text)) {
            ++line;
            size_t comment = text.find("//");
            if (comment != std::string::npos)
                text.resize(comment);
            std::vector<std::string> w = Words(text);
            if (w.empty())
                continue;
            const std::string& key = w[0];
            if (!open) {
                if (key == "picture") {
                    if (w.size() != 2 || !ValidPath(w[1]))
                        return Fail(line, "picture wants one path below the image folder, like ui\\btn_wide");
                    out_.pictures.emplace_back();
                    open = &out_.pictures.back();
                    open->listFile = file_;
                    open->line = line;
                    open->path = w[1];
                } else if (key == "atlas") {
                    if (!ReadAtlas(w, line))
                        return false;
                } else {
                    return Fail(line, "expected 'picture' or 'atlas', found '" + key + "'");
                }
                continue;
            }
            if (key == "end") {
                if (!Finish(*open))
                    return false;
                open = nullptr;
            } else if (!ReadKey(*open, w, line)) {
                return false;
            }
        }
        if (open)
            return Fail(open->line, "picture " + open->path + " has no 'end'");
        return CheckAcross();
    }

    std::string error;

private:
    bool ReadAtlas(const std::vector<std::string>& w, int line)
    {
        Atlas atlas;
        atlas.listFile = file_;
        atlas.line = line;
        if (w.size() != 5 || !ValidName(w[1]) || !ValidPath(w[2]) || !ParseInt(w[3], atlas.columns) ||
            !ParseScript(w[4], atlas.script))
            return Fail(line, "atlas wants: atlas <set> <path> <columns> <sprites|atlases|game>");
        atlas.name = w[1];
        atlas.path = w[2];
        out_.atlases.push_back(atlas);
        return true;
    }

    bool ReadKey(Picture& p, const std::vector<std::string>& w, int line)
    {
        const std::string& key = w[0];
        if (key == "source") {
            if (w.size() != 2)
                return Fail(line, "source wants one SVG file");
            p.source = Directory(file_) + w[1];
            p.sourceLine = line;
        } else if (key == "screen") {
            if (w.size() != 1)
                return Fail(line, "screen takes no value");
            p.screen = true;
        } else if (key == "format") {
            if (w.size() != 2 || (w[1] != "png" && w[1] != "jpg" && w[1] != "mask"))
                return Fail(line, "format is png, jpg or mask");
            p.format = w[1] == "png" ? Format::kPng : w[1] == "jpg" ? Format::kJpeg : Format::kMask;
        } else if (key == "frames") {
            if (w.size() != 3 || !ParseInt(w[1], p.count) || !ParseInt(w[2], p.columns))
                return Fail(line, "frames wants a count and columns, both 1 or more");
            if (p.columns > p.count)
                return Fail(line, "more columns than frames");
        } else if (key == "var") {
            return ReadVar(p, w, line);
        } else if (key == "set") {
            if (w.size() != 3 || !ValidName(w[1]) || !ParseScript(w[2], p.script))
                return Fail(line, "set wants a name and a script: sprites, atlases or game");
            p.set = w[1];
        } else if (key == "split") {
            if (w.size() < 3 || !ParseScript(w.back(), p.script))
                return Fail(line, "split wants one set name per frame and a script");
            p.split.assign(w.begin() + 1, w.end() - 1);
            for (const std::string& name : p.split)
                if (!ValidName(name))
                    return Fail(line, "bad set name '" + name + "'");
        } else if (key == "atlas") {
            if (w.size() != 2 || !ValidName(w[1]))
                return Fail(line, "atlas wants the atlas set's name");
            p.atlas = w[1];
        } else if (key == "only") {
            if (w.size() < 2)
                return Fail(line, "only wants image folders");
            for (size_t i = 1; i < w.size(); ++i) {
                if (!FindFolder(w[i]))
                    return Fail(line, "no image folder '" + w[i] + "'");
                p.only.push_back(w[i]);
            }
        } else {
            return Fail(line, "unknown key '" + key + "'");
        }
        return true;
    }

    bool ReadVar(Picture& p, const std::vector<std::string>& w, int line)
    {
        if (w.size() < 3 || !ValidName(w[1]) || w[1] == "frame")
            return Fail(line, "var wants a name (not 'frame') and values");
        FrameVar var;
        var.name = w[1];
        if (w[2] == "step") {
            if (w.size() != 5 || !ParseNumber(w[3], var.start) || !ParseNumber(w[4], var.step))
                return Fail(line, "var <name> step <start> <step>");
            var.linear = true;
        } else {
            var.values.assign(w.begin() + 2, w.end());
        }
        for (const FrameVar& other : p.vars)
            if (other.name == var.name)
                return Fail(line, "var '" + var.name + "' given twice");
        varLines_[&p - out_.pictures.data()].push_back(line);
        p.vars.push_back(var);
        return true;
    }

    bool Finish(Picture& p)
    {
        if (p.source.empty())
            return Fail(p.line, "picture " + p.path + " has no source");
        const std::vector<int>& lines = varLines_[&p - out_.pictures.data()];
        for (size_t i = 0; i < p.vars.size(); ++i)
            if (!p.vars[i].linear && int(p.vars[i].values.size()) != p.count)
                return Fail(lines[i], "var '" + p.vars[i].name + "' has " + std::to_string(p.vars[i].values.size()) +
                                          " values for " + std::to_string(p.count) + " frames");
        if (!p.split.empty() && int(p.split.size()) != p.count)
            return Fail(p.line, "split names " + std::to_string(p.split.size()) + " sets for " +
                                    std::to_string(p.count) + " frames");
        if (!p.split.empty() && !p.set.empty())
            return Fail(p.line, "a picture is either one set or split into sets");
        if (p.screen && (p.count != 1 || !p.atlas.empty()))
            return Fail(p.line, "a screen picture has one frame and joins no atlas");
        return true;
    }

    // A set may come from several pictures (one per group of folders) but must look the same to the
    // sprite scripts everywhere, as one script serves every resolution.
    bool CheckAcross()
    {
        struct Seen {
            const Picture* picture;
            int count, columns;
            std::string file;
        };
        std::map<std::string, Seen> sets;
        for (const Picture& p : out_.pictures) {
            std::vector<std::pair<std::string, Seen>> declared;
            if (!p.set.empty())
                declared.push_back({p.set, {&p, p.count, p.columns, p.path}});
            for (const std::string& name : p.split)
                declared.push_back({name, {&p, 1, 1, SplitPath(p, name)}});
            for (const auto& [name, seen] : declared) {
                auto found = sets.find(name);
                if (found == sets.end()) {
                    sets.emplace(name, seen);
                    continue;
                }
                const Seen& first = found->second;
                std::string where = first.picture->listFile + ":" + std::to_string(first.picture->line);
                if (first.count != seen.count || first.columns != seen.columns)
                    return Fail(p.line, "set " + name + " has " + std::to_string(seen.count) + " frames in " +
                                            std::to_string(seen.columns) + " columns here but " +
                                            std::to_string(first.count) + " in " + std::to_string(first.columns) +
                                            " at " + where + "; one script serves every resolution");
                if (first.file != seen.file || first.picture->script != p.script)
                    return Fail(p.line, "set " + name + " is declared differently at " + where);
                for (const Folder& folder : Folders())
                    if (p.InFolder(folder.name) && first.picture->InFolder(folder.name))
                        return Fail(p.line, "set " + name + " is drawn twice for " + folder.name + " (see " + where + ")");
            }
        }
        // Two pictures writing one file would leave whichever finished last.
        std::map<std::string, const Picture*> files;
        for (const Picture& p : out_.pictures) {
            std::vector<std::string> paths = {p.path};
            for (const std::string& name : p.split)
                paths.push_back(SplitPath(p, name));
            for (const Folder& folder : Folders()) {
                if (!p.InFolder(folder.name))
                    continue;
                for (const std::string& path : paths) {
                    auto [at, fresh] = files.emplace(folder.name + "\\" + path, &p);
                    if (!fresh && at->second != &p)
                        return Fail(p.line, folder.name + "\\" + path + " is already drawn by the picture at line " +
                                                std::to_string(at->second->line));
                }
            }
        }
        for (const Picture& p : out_.pictures) {
            if (p.atlas.empty())
                continue;
            auto atlas = std::find_if(out_.atlases.begin(), out_.atlases.end(),
                                      [&](const Atlas& a) { return a.name == p.atlas; });
            if (atlas == out_.atlases.end())
                return Fail(p.line, "no atlas '" + p.atlas + "'");
            if (!p.only.empty())
                return Fail(p.line, "a picture in an atlas is drawn for every folder");
        }
        return true;
    }

    std::string file_;
    ArtList& out_;
    std::map<size_t, std::vector<int>> varLines_;
};

}  // namespace

std::string FrameVar::ValueAt(int frame) const
{
    if (!linear)
        return values[size_t(frame)];
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", start + step * frame);
    return text;
}

bool Picture::InFolder(const std::string& folder) const
{
    return only.empty() || std::find(only.begin(), only.end(), folder) != only.end();
}

std::string SplitPath(const Picture& p, const std::string& name)
{
    size_t slash = p.path.rfind('\\');
    return (slash == std::string::npos ? std::string() : p.path.substr(0, slash + 1)) + name;
}

bool ReadArtList(const std::string& path, ArtList& out, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ":0: cannot open the art list";
        return false;
    }
    Reader reader(path, out);
    if (!reader.Read(in)) {
        error = reader.error;
        return false;
    }
    return true;
}

std::string ScriptFile(Script script)
{
    switch (script) {
    case Script::kSprites:
        return "sprites.txt";
    case Script::kAtlases:
        return "sprite_atlases.txt";
    case Script::kGame:
        return "game_sprites.txt";
    default:
        return "";
    }
}

}  // namespace art
