// Writes curve files (.pth). Two kinds of source:
// - a map's pieces (track_source.h), written as the three variants the screens read:
//       curvewriter MAP.txt PLAIN.pth WIDE.pth SQUARE.pth
//   or as the plain variant alone: curvewriter MAP.txt OUT.pth
// - bare control points, for tests that need exact points:
//       curve                 starts a track
//       p X Y                 one control point in the 640x480 design space
//       t F F F ...           tunnel flags, one per segment (missing ones are 0)
//   Blank lines and lines starting with '#' are ignored.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/common/text_file.h"
#include "tools/curvewriter/track_source.h"

namespace {

struct Curve {
    std::vector<int32_t> xy;
    std::vector<uint8_t> tunnels;
};

void Put(std::string& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool Fail(const std::string& file, int line, const std::string& why)
{
    std::fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, why.c_str());
    return false;
}

bool Parse(const std::string& file, std::vector<Curve>& curves)
{
    std::ifstream in(file);
    if (!in)
        return Fail(file, 0, "cannot open");
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::istringstream words(text);
        std::string word;
        if (!(words >> word) || word[0] == '#')
            continue;
        if (word == "curve") {
            curves.emplace_back();
            continue;
        }
        if (curves.empty())
            return Fail(file, line, "'curve' must come first");
        Curve& curve = curves.back();
        if (word == "p") {
            long x, y;
            if (!(words >> x >> y) || x < -16384 || x > 16384 || y < -16384 || y > 16384)
                return Fail(file, line, "a point needs two coordinates within +-16384");
            curve.xy.push_back(static_cast<int32_t>(x));
            curve.xy.push_back(static_cast<int32_t>(y));
        } else if (word == "t") {
            int flag;
            while (words >> flag)
                curve.tunnels.push_back(flag != 0 ? 1 : 0);
        } else {
            return Fail(file, line, "unknown word '" + word + "'");
        }
    }
    if (curves.empty() || curves.size() > 2)
        return Fail(file, 0, "a curve file holds one or two curves");
    for (const Curve& curve : curves) {
        size_t points = curve.xy.size() / 2;
        if (points < 4 || (points - 1) / 3 > 200)
            return Fail(file, 0, "a curve needs 4 to 601 points");
        if (curve.tunnels.size() > (points - 1) / 3)
            return Fail(file, 0, "more tunnel flags than segments");
    }
    return true;
}

// A source of bare points has a line starting with "p".
bool IsPointSource(const std::string& file)
{
    std::ifstream in(file);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream words(text);
        std::string word;
        if (words >> word && word == "p")
            return true;
    }
    return false;
}

int WritePieces(int argc, char** argv)
{
    track::Source source;
    std::string error;
    if (!track::ReadSource(argv[1], source, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (int v = 0; v + 2 < argc; ++v)
        if (!text_file::Write(argv[v + 2], track::CurveFileBytes(source, v))) {
            std::fprintf(stderr, "%s:0: cannot write\n", argv[v + 2]);
            return 1;
        }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: curvewriter IN.txt OUT.pth [WIDE.pth SQUARE.pth]\n");
        return 2;
    }
    if (argc == 5 || !IsPointSource(argv[1]))
        return WritePieces(argc, argv);
    std::vector<Curve> curves;
    if (!Parse(argv[1], curves))
        return 1;
    std::string out;
    Put(out, static_cast<uint32_t>(curves.size()), 1);
    for (const Curve& curve : curves) {
        size_t points = curve.xy.size() / 2;
        Put(out, static_cast<uint32_t>(points), 2);
        for (int32_t v : curve.xy)
            Put(out, static_cast<uint32_t>(v), 4);
        size_t segments = (points - 1) / 3;
        for (size_t i = 0; i < segments; ++i)
            Put(out, i < curve.tunnels.size() ? curve.tunnels[i] : 0, 1);
    }
    Put(out, 0, 4);
    Put(out, 0, 4);
    return text_file::Write(argv[2], out) ? 0 : 1;
}
