#include "tools/arttool/sprite_scripts.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace art {

namespace {

// Naming the sheet again as its own alpha is what cuts its alpha plane into the frames; without it
// the frames come out opaque. An opaque sheet named so still gives opaque frames.
void Block(std::ostream& out, const std::string& name, const std::string& file, int count, int columns)
{
    out << "set = " << name << "\nfile = " << file << ", " << count << ", " << columns << "\nafile = " << file
        << ", " << count << ", " << columns << "\n";
}

}  // namespace

int AtlasLayout::FirstItemOf(size_t picture) const
{
    for (size_t i = 0; i < members.size(); ++i)
        if (members[i].picture == picture)
            return int(i);
    return -1;
}

std::vector<AtlasLayout> LayOutAtlases(const ArtList& list)
{
    std::vector<AtlasLayout> layouts;
    for (const Atlas& atlas : list.atlases) {
        AtlasLayout layout;
        layout.atlas = &atlas;
        for (size_t p = 0; p < list.pictures.size(); ++p)
            if (list.pictures[p].atlas == atlas.name)
                for (int f = 0; f < list.pictures[p].count; ++f)
                    layout.members.push_back({p, f});
        layouts.push_back(layout);
    }
    return layouts;
}

std::string ItemName(const Atlas& atlas, int index)
{
    return atlas.name + "_" + std::to_string(index);
}

std::string AtlasData(const AtlasLayout& layout, int cellWidth, int cellHeight)
{
    std::ostringstream out;
    out << layout.members.size() << "\n";
    int columns = layout.atlas->columns;
    for (size_t i = 0; i < layout.members.size(); ++i)
        out << ItemName(*layout.atlas, int(i)) << "\n"
            << int(i) % columns * cellWidth << "\n"
            << int(i) / columns * cellHeight << "\n"
            << cellWidth << "\n"
            << cellHeight << "\n";
    return out.str();
}

bool WriteSpriteScripts(const ArtList& list, const std::vector<AtlasLayout>& atlases, const std::string& stage,
                        std::string& error)
{
    std::error_code ignored;
    std::filesystem::create_directories(stage + "/ui", ignored);
    for (Script script : {Script::kSprites, Script::kAtlases, Script::kGame}) {
        std::ostringstream out;
        out << "// Made by arttool from assets/art; edit the art list, not this file.\n";
        for (const AtlasLayout& layout : atlases) {
            if (layout.atlas->script != script)
                continue;
            out << "\n";
            Block(out, layout.atlas->name, layout.atlas->path, int(layout.members.size()), layout.atlas->columns);
            out << "atlas_data = " << layout.atlas->path << ".txt\nend\n";
        }
        std::set<std::string> declared;
        for (size_t p = 0; p < list.pictures.size(); ++p) {
            const Picture& picture = list.pictures[p];
            if (picture.script != script)
                continue;
            const AtlasLayout* layout = nullptr;
            for (const AtlasLayout& a : atlases)
                if (a.atlas->name == picture.atlas)
                    layout = &a;
            int firstItem = layout ? layout->FirstItemOf(p) : -1;
            auto atlasLines = [&](int first, int count) {
                if (layout)
                    out << "atlas_texture = " << layout->atlas->name << "\natlas_indexes = " << layout->atlas->name
                        << "_%d, " << first << ", " << count << "\n";
            };
            if (!picture.set.empty() && declared.insert(picture.set).second) {
                out << "\n";
                Block(out, picture.set, picture.path, picture.count, picture.columns);
                atlasLines(firstItem, picture.count);
                out << "end\n";
            }
            for (size_t f = 0; f < picture.split.size(); ++f) {
                if (!declared.insert(picture.split[f]).second)
                    continue;
                out << "\n";
                Block(out, picture.split[f], SplitPath(picture, picture.split[f]), 1, 1);
                atlasLines(firstItem + int(f), 1);
                out << "end\n";
            }
        }
        std::string path = stage + "/ui/" + ScriptFile(script);
        std::ofstream file(path, std::ios::binary);
        file << out.str();
        if (!file.flush()) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace art
