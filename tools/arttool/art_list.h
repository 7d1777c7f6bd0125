#pragma once
// The art list: which pictures the tool renders, from which SVG sources, into which files, and
// which sprite sets they declare in the three sprite scripts.
#include <string>
#include <vector>

namespace art {

enum class Script { kNone, kSprites, kAtlases, kGame };
// A mask writes only the grey _a.jpg alpha plane: for a picture the game reads as a shape alone.
enum class Format { kPng, kJpeg, kMask };

// A value that changes per frame: listed once per frame, or start + step * frame.
struct FrameVar {
    std::string name;
    std::vector<std::string> values;
    bool linear = false;
    double start = 0, step = 0;
    std::string ValueAt(int frame) const;
};

struct Picture {
    std::string listFile;
    int line = 0;
    std::string path;    // below the image folder, '\' separators, no extension
    std::string source;  // host path of the SVG
    int sourceLine = 0;  // line of the `source` entry, for errors about the file as a whole
    bool screen = false; // drawn on the whole canvas and cut per resolution
    Format format = Format::kPng;
    int count = 1, columns = 1;
    std::vector<FrameVar> vars;
    std::vector<std::string> split;  // each frame its own file and single-frame set
    std::string set;
    Script script = Script::kNone;
    std::string atlas;               // the atlas whose texture also holds these frames
    std::vector<std::string> only;   // image folders; empty means every folder

    int Rows() const { return (count + columns - 1) / columns; }
    bool InFolder(const std::string& folder) const;
};

struct Atlas {
    std::string listFile;
    int line = 0;
    std::string name, path;
    int columns = 1;
    Script script = Script::kAtlases;
};

struct ArtList {
    std::vector<Picture> pictures;
    std::vector<Atlas> atlases;
};

// Reads and checks the list; on failure `error` is "<file>:<line>: <message>".
bool ReadArtList(const std::string& path, ArtList& out, std::string& error);

std::string ScriptFile(Script script);  // e.g. "sprite_atlases.txt"

// The file of one frame of a split picture: the picture's folder plus the set's name.
std::string SplitPath(const Picture& p, const std::string& name);

}  // namespace art
