#include "flows/art_marks.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// The value of attribute `name` in the tag text, or 0.
double Attribute(const std::string& tag, const std::string& name)
{
    size_t at = tag.find(" " + name + "=\"");
    return at == std::string::npos ? 0 : std::atof(tag.c_str() + at + name.size() + 3);
}

// The text of the tag around position `at`.
std::string TagAround(const std::string& svg, size_t at)
{
    size_t open = svg.rfind('<', at);
    size_t close = svg.find('>', at);
    return open == std::string::npos || close == std::string::npos ? "" : svg.substr(open, close - open);
}

// The source with each ${name} replaced by the first frame's value.
std::string Filled(std::string text, const std::map<std::string, std::string>& vars)
{
    for (size_t at = text.find("${"); at != std::string::npos; at = text.find("${", at)) {
        size_t close = text.find('}', at);
        if (close == std::string::npos)
            break;
        auto var = vars.find(text.substr(at + 2, close - at - 2));
        const std::string value = var == vars.end() ? "0" : var->second;
        text.replace(at, close + 1 - at, value);
        at += value.size();
    }
    return text;
}

void ReadMarks(ArtPicture& picture, const std::string& file, const std::map<std::string, std::string>& vars)
{
    std::ifstream in(file);
    std::stringstream raw;
    raw << in.rdbuf();
    const std::string svg = Filled(raw.str(), vars);
    const std::string root = TagAround(svg, svg.find("<svg"));
    picture.width = Attribute(root, "width");
    picture.height = Attribute(root, "height");
    for (size_t at = svg.find("id=\"inner"); at != std::string::npos; at = svg.find("id=\"inner", at + 1)) {
        const std::string tag = TagAround(svg, at);
        picture.inners.push_back(
            ArtRect{Attribute(tag, "x"), Attribute(tag, "y"), Attribute(tag, "width"), Attribute(tag, "height")});
    }
    size_t plain = svg.find("id=\"plain\"");
    if (plain != std::string::npos) {
        const std::string tag = TagAround(svg, plain);
        picture.hasPlain = true;
        picture.plainLeft = Attribute(tag, "x1");
        picture.plainRight = Attribute(tag, "x2");
    }
}

std::vector<ArtPicture> ReadArtList()
{
    std::vector<ArtPicture> pictures;
    const std::string list = KELO_ART_LIST;
    const std::string folder = list.substr(0, list.find_last_of('/') + 1);
    std::ifstream in(list);
    std::string line, source;
    std::map<std::string, std::string> vars;
    ArtPicture picture;
    bool open = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key, value;
        words >> key >> value;
        if (key == "picture") {
            picture = ArtPicture{};
            picture.path = value;
            source.clear();
            vars.clear();
            open = true;
        } else if (!open) {
            continue;
        } else if (key == "source") {
            source = value;
        } else if (key == "screen") {
            picture.screen = true;
        } else if (key == "only") {
            for (std::string name = value; !name.empty(); name.clear(), words >> name)
                picture.only.push_back(name);
        } else if (key == "var") {
            std::string first;
            words >> first;
            if (first == "step")
                words >> first;
            vars[value] = first;
        } else if (key == "set") {
            picture.sets.push_back(value);
        } else if (key == "split") {
            // The last word names the script the tiles go to.
            std::vector<std::string> names{value};
            for (std::string name; words >> name;)
                names.push_back(name);
            names.pop_back();
            picture.sets.insert(picture.sets.end(), names.begin(), names.end());
        } else if (key == "end") {
            if (!source.empty())
                ReadMarks(picture, folder + source, vars);
            pictures.push_back(picture);
            open = false;
        }
    }
    return pictures;
}

const std::vector<ArtPicture>& ArtPictures()
{
    static const std::vector<ArtPicture> pictures = ReadArtList();
    return pictures;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool ArtPicture::ForFolder(const std::string& folder) const
{
    return only.empty() || std::find(only.begin(), only.end(), folder) != only.end();
}

const ArtPicture* ArtPictureOfSet(const std::string& set, const std::string& folder)
{
    for (const ArtPicture& picture : ArtPictures())
        if (!picture.sets.empty() && picture.sets[0] == set && picture.ForFolder(folder))
            return &picture;
    return nullptr;
}

const ArtPicture* ArtPictureAt(const std::string& path, const std::string& folder)
{
    for (const ArtPicture& picture : ArtPictures())
        if (SamePath(picture.path, path) && picture.ForFolder(folder))
            return &picture;
    return nullptr;
}

int ArtPicturesWithInners()
{
    return static_cast<int>(std::count_if(ArtPictures().begin(), ArtPictures().end(),
                                          [](const ArtPicture& picture) { return !picture.inners.empty(); }));
}
