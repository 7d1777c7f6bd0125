#include "tools/mapart/map_list.h"

#include <fstream>
#include <sstream>

namespace mapart {

namespace {

const char* const kGrounds[] = {"flagstone", "tiles", "bricks", "sand", "water", "lava", "pebbles", "marble"};

std::string At(const std::string& path, int line, const std::string& message)
{
    return path + ":" + std::to_string(line) + ": " + message;
}

}  // namespace

uint32_t MapArt::Seed() const
{
    uint32_t h = 2166136261u;
    for (char c : art)
        h = (h ^ uint8_t(c)) * 16777619u;
    return h;
}

bool ParseColour(const std::string& text, Rgb& out)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    unsigned v = 0;
    for (size_t i = 1; i < 7; ++i) {
        char c = text[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0)
            return false;
        v = v * 16 + unsigned(d);
    }
    out = {float(v >> 16) / 255.f, float((v >> 8) & 255) / 255.f, float(v & 255) / 255.f};
    return true;
}

bool KnownGround(const std::string& kind)
{
    for (const char* k : kGrounds)
        if (kind == k)
            return true;
    return false;
}

bool ReadMapList(const std::string& path, std::vector<MapArt>& maps, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = At(path, 0, "cannot open");
        return false;
    }
    std::string text;
    MapArt* open = nullptr;
    int line = 0;
    auto fail = [&](const std::string& message) {
        error = At(path, line, message);
        return false;
    };
    while (std::getline(in, text)) {
        ++line;
        std::istringstream words(text);
        std::string key;
        if (!(words >> key) || key[0] == '#')
            continue;
        if (key == "map") {
            if (open)
                return fail("map inside map " + open->art);
            maps.emplace_back();
            open = &maps.back();
            open->line = line;
            open->entry = text + "\n";
            if (!(words >> open->art))
                return fail("map wants a name");
            for (size_t i = 0; i + 1 < maps.size(); ++i)
                if (maps[i].art == open->art)
                    return fail("map " + open->art + " listed twice");
            continue;
        }
        if (!open)
            return fail("'" + key + "' outside a map");
        open->entry += text + "\n";
        if (key == "end") {
            if (!open->nebula && open->ground.empty())
                return fail("map " + open->art + " has no ground");
            open = nullptr;
        } else if (key == "ground") {
            std::string b, d, a;
            if (!(words >> open->ground >> b >> d >> a) || !KnownGround(open->ground) || !ParseColour(b, open->base) ||
                !ParseColour(d, open->dark) || !ParseColour(a, open->accent))
                return fail("ground wants a known kind and three colours #rrggbb");
        } else if (key == "roof") {
            std::string c;
            if (!(words >> c) || !ParseColour(c, open->roof))
                return fail("roof wants a colour #rrggbb");
        } else if (key == "moss") {
            if (!(words >> open->moss) || open->moss < 0 || open->moss > 1)
                return fail("moss wants a share from 0 to 1");
        } else if (key == "frog") {
            if (!(words >> open->frogX >> open->frogY))
                return fail("frog wants x and y");
        } else if (key == "overlay") {
            OverlaySpot spot;
            if (!(words >> spot.image >> spot.x >> spot.y) || spot.x < 0 || spot.y < 0 || spot.x >= 640 || spot.y >= 480)
                return fail("overlay wants a name and a corner inside the design area");
            open->overlays.push_back(spot);
        } else if (key == "nebula") {
            open->nebula = true;
        } else {
            return fail("unknown key '" + key + "'");
        }
        std::string extra;
        if (words >> extra && extra[0] != '#')
            return fail("unexpected '" + extra + "'");
    }
    if (open) {
        error = At(path, open->line, "map " + open->art + " has no 'end'");
        return false;
    }
    return true;
}

bool ReadOverlaySizes(const std::string& path, MapArt& map, std::string& error)
{
    std::ifstream in(path);
    if (!in)
        return true;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::istringstream words(text);
        std::string key, name;
        int x, y, w, h;
        if (!(words >> key) || key != "overlay")
            continue;
        if (!(words >> name >> x >> y >> w >> h) || w <= 0 || h <= 0) {
            error = At(path, line, "overlay wants a name, a corner and a size");
            return false;
        }
        OverlaySpot* spot = nullptr;
        for (OverlaySpot& o : map.overlays)
            if (o.image == name)
                spot = &o;
        if (!spot || spot->x != x || spot->y != y) {
            error = At(path, line, "overlay " + name + " is not one of map " + map.art + "'s overlays at that corner");
            return false;
        }
        spot->width = w;
        spot->height = h;
    }
    return true;
}

}  // namespace mapart
