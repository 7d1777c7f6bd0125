#include <cstdlib>
#include <set>
#include <sstream>

#include "tools/common/source_error.h"
#include "tools/common/text_file.h"
#include "tools/layouttool/layout_source.h"

namespace layouttool {

namespace {

const char* const kTypeWords[] = {"root",    "image", "text",       "button",   "dialog",  "progress",
                                  "tiledBG", "tuner", "text_multi", "checkBox", "textInfo"};

bool IsTypeWord(const std::string& key)
{
    for (const char* word : kTypeWords)
        if (key == word)
            return true;
    return false;
}

// Key before the first '=' or ':' outside double quotes; the rest is the value.
void SplitLine(const std::string& text, std::string& key, std::string& value)
{
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && (text[i] == '=' || text[i] == ':')) {
            key = text_file::Trim(text.substr(0, i));
            value = text_file::Trim(text.substr(i + 1));
            return;
        }
    }
    key.clear();
    value = text;
}

std::string Unquote(const std::string& s)
{
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        return s.substr(1, s.size() - 2);
    return s;
}

std::vector<std::string> Items(const std::string& value)
{
    std::vector<std::string> items;
    std::string item;
    std::istringstream in(value);
    for (char c; in.get(c);) {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!item.empty())
                items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.empty())
        items.push_back(item);
    return items;
}

bool ToInt(const std::string& item, int& out)
{
    char* end = nullptr;
    long v = std::strtol(item.c_str(), &end, 10);
    if (item.empty() || *end != 0 || v < -32768 || v > 32767)
        return false;
    out = static_cast<int>(v);
    return true;
}

// Resolution prefix "[a,b]" or "[!a,b]": whether the line belongs to this resolution.
bool TakePrefix(const SourceLine& line, const DataResolution& resolution, std::string& text, bool& selected,
                bool& isOverride)
{
    text = line.text;
    selected = true;
    isOverride = false;
    if (text.empty() || text.front() != '[')
        return true;
    size_t close = text.find(']');
    if (close == std::string::npos)
        return SourceError(line.file, line.line, "a resolution prefix is [640x480,...]");
    std::string list = text.substr(1, close - 1);
    bool exclude = !list.empty() && list.front() == '!';
    if (exclude)
        list.erase(0, 1);
    bool listed = false;
    for (const std::string& name : Items(list)) {
        if (!FindDataResolution(name))
            return SourceError(line.file, line.line, "unknown resolution " + name);
        listed = listed || name == resolution.name;
    }
    selected = exclude ? !listed : listed;
    isOverride = true;
    text = text_file::Trim(text.substr(close + 1));
    return true;
}

// The value of a design-unit key in this resolution's pixels.
bool ScaleValue(const SourceLine& line, const std::string& key, const std::string& value,
                const DesignMapping& mapping, std::string& out)
{
    bool onArea = key == "area_position";
    std::vector<std::string> items = Items(value);
    size_t wanted = key == "size" || key == "position" || onArea ? 2 : 1;
    if (items.size() != wanted)
        return SourceError(line.file, line.line, key + " needs " + std::to_string(wanted) + " number(s)");
    out.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        int v = 0;
        if (key == "position" && i == 0 && items[i] == "centered") {
            out = "centered";
            continue;
        }
        if (!ToInt(items[i], v))
            return SourceError(line.file, line.line, key + ": " + items[i] + " is not a number");
        // Sizes below 2 mean "automatic" and stay as they are.
        int scaled = key == "size" && v < 2 ? v : ScaleDesign(v, mapping);
        if (onArea)
            scaled += i == 0 ? mapping.areaX : mapping.areaY;
        out += (i ? ", " : "") + std::to_string(scaled);
    }
    return true;
}

bool IsDesignKey(const std::string& key)
{
    return key == "size" || key == "position" || key == "area_position" || key == "offsetLeft" ||
           key == "offsetRight" || key == "textOffset" || key == "row_add_dy";
}

struct Reference {
    std::string name;
    const SourceLine* line;
    bool action;
};

}  // namespace

bool WriteLayout(const std::vector<SourceLine>& source, const DataResolution& resolution, std::string& out)
{
    DesignMapping mapping = MappingOf(resolution);
    std::vector<std::string> lines;
    std::vector<std::string> keys;  // the key of each output line, for overrides
    size_t groupStart = 0;
    enum { kTop, kDesc, kAction } state = kTop;
    bool inChild = false, inActions = false;
    const SourceLine* openedAt = nullptr;
    std::set<std::string> descriptions, actions;
    std::vector<Reference> references;
    auto emit = [&](const std::string& key, const std::string& text, bool isOverride) {
        if (isOverride) {
            for (size_t i = lines.size(); i > groupStart; --i)
                if (keys[i - 1] == key) {
                    lines[i - 1] = text;
                    return;
                }
        }
        lines.push_back(text);
        keys.push_back(key);
    };
    for (const SourceLine& line : source) {
        std::string text;
        bool selected, isOverride;
        if (!TakePrefix(line, resolution, text, selected, isOverride))
            return false;
        if (!selected)
            continue;
        std::string key, value;
        SplitLine(text, key, value);
        std::string indent(state == kTop ? 0 : inChild || inActions ? 8 : 4, ' ');
        if (text == "end") {
            if (state == kTop)
                return SourceError(line.file, line.line, "end outside a block");
            if (state == kDesc && (inChild || inActions)) {
                inChild = inActions = false;
                indent = "    ";
            } else {
                state = kTop;
                indent.clear();
            }
            lines.push_back(indent + "end");
            keys.push_back("end");
            groupStart = lines.size();
            continue;
        }
        if (isOverride && state == kTop)
            return SourceError(line.file, line.line, "a resolution prefix belongs inside a block");
        if (state == kTop) {
            if (key == "action") {
                state = kAction;
                actions.insert(Unquote(value));
            } else if (IsTypeWord(key)) {
                state = kDesc;
                if (!descriptions.insert(Unquote(value)).second)
                    return SourceError(line.file, line.line, "a second description named " + value);
            } else {
                return SourceError(line.file, line.line, "expected a widget type word or action");
            }
            if (value.size() < 3 || value.front() != '"' || value.back() != '"')
                return SourceError(line.file, line.line, "a block's name is quoted");
            openedAt = &line;
            lines.push_back(key + ": " + value);
            keys.push_back(key);
            groupStart = lines.size();
            continue;
        }
        if (state == kDesc && value == "actions" && key.empty()) {
            inActions = true;
            inChild = false;
            lines.push_back("    actions");
            keys.push_back("actions");
            groupStart = lines.size();
            continue;
        }
        if (state == kDesc && key == "child") {
            inChild = true;
            inActions = false;
            references.push_back({Unquote(value), &line, false});
            lines.push_back("    child: " + value);
            keys.push_back("child");
            groupStart = lines.size();
            continue;
        }
        if (state == kDesc && inActions && key == "onCommand") {
            std::vector<std::string> items = Items(value);
            if (items.size() != 2)
                return SourceError(line.file, line.line, "onCommand needs a command and an action");
            if (Unquote(items[1]) != "actionBack")
                references.push_back({Unquote(items[1]), &line, true});
        }
        if (state == kDesc && !inChild && !inActions && key == "background")
            references.push_back({Unquote(value), &line, false});
        if (key.empty())
            return SourceError(line.file, line.line, "expected key: value");
        std::string written = value;
        if (IsDesignKey(key) && !ScaleValue(line, key, value, mapping, written))
            return false;
        std::string outKey = key == "area_position" ? "position" : key;
        emit(key, indent + outKey + ": " + written, isOverride);
    }
    if (state != kTop)
        return SourceError(openedAt->file, openedAt->line, "this block has no end");
    for (const Reference& ref : references) {
        bool found = ref.action ? actions.count(ref.name) > 0 : descriptions.count(ref.name) > 0;
        if (!found)
            return SourceError(ref.line->file, ref.line->line,
                               std::string(ref.action ? "no action named " : "no description named ") + ref.name);
    }
    out = "// Made by the layout tool for " + std::string(resolution.name) + "\r\n";
    for (const std::string& l : lines)
        out += l + "\r\n";
    return true;
}

}  // namespace layouttool
