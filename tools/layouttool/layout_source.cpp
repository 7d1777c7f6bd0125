#include "tools/layouttool/layout_source.h"

#include <filesystem>
#include <map>

#include "tools/common/cp1252.h"
#include "tools/common/source_error.h"
#include "tools/common/text_file.h"

namespace layouttool {

bool ReadLayoutSource(const std::string& path, std::vector<SourceLine>& out, std::vector<std::string>& files)
{
    if (files.size() > 64)
        return SourceError(path, 0, "includes nest too deep");
    std::vector<std::string> lines;
    if (!text_file::ReadLines(path, lines))
        return SourceError(path, 0, "cannot read");
    files.push_back(path);
    for (size_t i = 0; i < lines.size(); ++i) {
        int lineNo = static_cast<int>(i) + 1;
        std::string text = text_file::Trim(lines[i]);
        if (text.empty() || text.compare(0, 2, "//") == 0)
            continue;
        if (text.compare(0, 8, "include ") == 0) {
            std::string name = text_file::Trim(text.substr(8));
            if (name.size() < 3 || name.front() != '"' || name.back() != '"')
                return SourceError(path, lineNo, "include needs a quoted file name");
            std::filesystem::path other = std::filesystem::path(path).parent_path() / name.substr(1, name.size() - 2);
            if (!ReadLayoutSource(other.string(), out, files))
                return SourceError(path, lineNo, "in the file included here");
            continue;
        }
        std::string converted;
        unsigned bad = 0;
        if (!cp1252::FromUtf8(text, converted, bad))
            return SourceError(path, lineNo, bad ? "a character outside Windows-1252" : "malformed UTF-8");
        out.push_back({path, lineNo, converted});
    }
    return true;
}

DesignMapping MappingOf(const DataResolution& r)
{
    if (r.width == 800)
        return {1, 1, 80, 0};
    if (r.width == 640)
        return {1, 1, 0, 0};
    if (r.width == 400)
        return {1, 2, 40, 0};
    if (r.width == 320 && r.height == 320)
        return {1, 2, 0, 40};
    if (r.width == 320)
        return {1, 2, 0, 0};
    return {3, 8, 0, 30};
}

int ScaleDesign(int value, const DesignMapping& mapping)
{
    // Truncation toward zero, as the game's own tables halve their 640x480 values.
    return value * mapping.numerator / mapping.denominator;
}

}  // namespace layouttool
