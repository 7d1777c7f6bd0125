// The maps' tracks as the game reads them from the packs, at every screen, against the rules of a
// playable board; and the rules themselves, each proved on a fixture that breaks it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <memory>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/play/curve_file.h"
#include "game/tables/display_mode.h"
#include "game/tables/level_tables.h"
#include "shipped_app.h"
#include "track_rules.h"

namespace {

// A game application that only carries the layout table of a display mode, for binding paths.
class LayoutApp : public GameApp {
public:
    explicit LayoutApp(int code)
    {
        LayoutTable::FillInts(layoutTable_, code);
        LayoutTable::FillFixed(layoutTable_, code);
    }
};

// The largest fill share among the records that play a map: its adventure stages, and the gauntlet
// (two-curve) table for every map but the final one.
double HighestFill(const LevelTables& tables, int number)
{
    int best = 0;
    for (int stage = 1; stage <= kAdventureStageCount; ++stage)
        if (AdventureStageMap(stage) == number)
            best = std::max(best, tables.adventure[stage - 1].fillPercent);
    const MapInfo& map = tables.maps[number];
    const SettingsTable& gauntlet = map.twoCurves ? tables.dual : tables.gauntlet;
    if (!map.nebula)
        for (const LevelSettings& record : gauntlet)
            best = std::max(best, record.fillPercent);
    return best / 100.0;
}

struct Loaded {
    std::unique_ptr<LayoutApp> layoutApp;
    CurvePath curves[kMaxCurves];
    int count = 0;
    bool ok = false;
};

void LoadShipped(ShippedApp& app, const ShippedResolution& r, const MapInfo& map, Loaded& out)
{
    int mode = DisplayModeOf(r.width, r.height);
    out.layoutApp = std::make_unique<LayoutApp>(mode);
    for (CurvePath& c : out.curves)
        c.Bind(out.layoutApp.get());
    DesignMapping mapping{mode, r.width, r.height};
    String path = CurveFilePath(String(app.Path("z_levels\\").c_str()), mapping, map.art);
    PackMemoryFile file;
    out.ok = file.Open(&app, path.CStr(), 2) && ReadCurves(&file, mapping, out.curves, out.count);
}

// Each map as the game loads it from the packs on each shipped screen, handed to visit.
template <typename Visit>
void ForEachShippedMap(const LevelTables& tables, Visit visit)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.PacksOpen());
        for (int n = 0; n < MapInfo::kCount; ++n) {
            const MapInfo& map = tables.maps[n];
            Loaded loaded;
            LoadShipped(app, r, map, loaded);
            ASSERT_TRUE(loaded.ok) << map.art << " " << ShippedName(r);
            TrackScreen screen{ShippedName(r), r.width, r.height, DisplayModeOf(r.width, r.height),
                               &loaded.layoutApp->GetLayoutTable()};
            visit(app, n, loaded, screen);
        }
    }
}

TEST(ShippedTracks, EveryMapIsPlayableOnEveryScreen)
{
    LevelTables tables;
    ASSERT_TRUE(tables.Build());
    ForEachShippedMap(tables, [&](ShippedApp&, int n, Loaded& loaded, const TrackScreen& screen) {
        const MapInfo& map = tables.maps[n];
        EXPECT_EQ(loaded.count, map.twoCurves ? 2 : 1) << map.art;
        TrackCheck check = CheckTracks(map, loaded.curves, loaded.count, screen, HighestFill(tables, n));
        for (const std::string& fault : check.faults)
            ADD_FAILURE() << fault;
        // The figures of the design screen, for the table of difficulty.
        if (screen.width != 640)
            return;
        for (size_t c = 0; c < check.figures.size(); ++c) {
            const CurveFigures& f = check.figures[c];
            std::printf("%-14s c%zu L %5.0f roll-in %5.0f danger %5.0f frog %4.0f shot %4.0f hidden %4.2f guards",
                        map.art, c + 1, f.length, f.rollIn, f.danger, f.frogDistance, f.meanShot, f.hiddenShare);
            for (double g : f.coinGuards)
                std::printf(" %5.0f%s", g, g > f.danger ? "!" : "");
            std::printf("\n");
        }
    });
}

// The time a board gives before a chain reaches its danger point: the track between where the chains
// have rolled in to and where the danger begins, summed over a map's chains (two chains share the
// player's shots). It falls along the adventure's order of first appearance, so later maps are
// harder; a tie within an eighth of a ball is allowed.
TEST(ShippedTracks, TimeToTheHoleFallsAlongTheAdventure)
{
    LevelTables tables;
    ASSERT_TRUE(tables.Build());
    std::vector<int> order;
    for (int stage = 1; stage <= kAdventureStageCount; ++stage)
        if (std::find(order.begin(), order.end(), AdventureStageMap(stage)) == order.end())
            order.push_back(AdventureStageMap(stage));
    ASSERT_EQ(order.size(), static_cast<size_t>(MapInfo::kCount));
    std::vector<double> time(MapInfo::kCount, -1);
    ForEachShippedMap(tables, [&](ShippedApp&, int n, Loaded& loaded, const TrackScreen& screen) {
        if (screen.width != 640 || screen.height != 480)
            return;
        TrackCheck check =
            CheckTracks(tables.maps[n], loaded.curves, loaded.count, screen, HighestFill(tables, n));
        time[n] = 0;
        for (const CurveFigures& f : check.figures)
            time[n] += f.danger - f.rollIn;
    });
    const double tie = 4;
    for (size_t i = 1; i < order.size(); ++i) {
        const MapInfo& before = tables.maps[order[i - 1]];
        const MapInfo& map = tables.maps[order[i]];
        EXPECT_GT(time[order[i]], 0) << map.art;
        EXPECT_LE(time[order[i]], time[order[i - 1]] + tie)
            << map.art << " gives more time to the hole than " << before.art << ", which comes before it";
    }
}

// The covers a map's source assumes are the map record's overlays, at the record's places: the
// overlay art is cut at those places from the tunnels the source lays under them.
TEST(ShippedTracks, SourcesAssumeTheMapRecordsOverlays)
{
    std::string levels = std::string(KELO_MANIFEST);
    levels = levels.substr(0, levels.rfind('/')) + "/levels/";
    LevelTables tables;
    ASSERT_TRUE(tables.Build());
    for (int n = 0; n < MapInfo::kCount; ++n) {
        const MapInfo& map = tables.maps[n];
        std::ifstream source(levels + map.art + ".txt");
        ASSERT_TRUE(source.good()) << map.art;
        std::vector<std::string> assumed, recorded;
        std::string line;
        while (std::getline(source, line)) {
            std::istringstream words(line);
            std::string word, name;
            int x = 0, y = 0;
            if (words >> word && word == "overlay" && words >> name >> x >> y)
                assumed.push_back(name + " " + std::to_string(x) + " " + std::to_string(y));
        }
        for (const OverlayImage& o : map.overlays)
            recorded.push_back(std::string(o.image) + " " + std::to_string(o.x) + " " + std::to_string(o.y));
        EXPECT_EQ(assumed, recorded) << map.art;
    }
}

TEST(ShippedTracks, TunnelsLieUnderTheOverlayMasks)
{
    LevelTables tables;
    ASSERT_TRUE(tables.Build());
    ForEachShippedMap(tables, [&](ShippedApp& app, int n, Loaded& loaded, const TrackScreen& screen) {
        const MapInfo& map = tables.maps[n];
        const LayoutTable& t = *screen.layout;
        std::vector<std::unique_ptr<Surface>> images;
        std::vector<TrackMask> masks;
        for (const OverlayImage& o : map.overlays) {
            std::string path = std::string(app.GetImageFolder().CStr()) + "levels\\" + map.name + "\\" + o.image + "_a";
            images.emplace_back(LoadAlphaImage(&app, path.c_str(), nullptr).value);
            if (!images.back()) {
                ADD_FAILURE() << "missing overlay mask " << path;
                continue;
            }
            TrackMask m;
            m.x = (Fixed::FromInt(o.x) * t.fixed[kLayoutDesignScale]).ToInt() + t.ints[kLayoutOriginX];
            m.y = (Fixed::FromInt(o.y) * t.fixed[kLayoutDesignScale]).ToInt() + t.ints[kLayoutOriginY];
            m.alpha = images.back().get();
            masks.push_back(m);
        }
        for (const std::string& f : CheckMasks(map, loaded.curves, loaded.count, screen, masks))
            ADD_FAILURE() << f;
    });
}

}  // namespace

// The board's menu button stands in the bottom-left corner (a 48-unit plate at the design scale):
// no hole may lie under it, where a press meant for the button would land on the board.
TEST(ShippedTracks, NoHoleUnderTheMenuButton)
{
    LevelTables tables;
    ASSERT_TRUE(tables.Build());
    int checked = 0;
    ForEachShippedMap(tables, [&](ShippedApp&, int n, Loaded& loaded, const TrackScreen& screen) {
        double scale = screen.layout->fixed[kLayoutDesignScale].ToDouble();
        double side = 48 * scale, top = screen.height - side;
        for (int c = 0; c < loaded.count; ++c) {
            FixedVec2 hole = loaded.curves[c].PointAt(loaded.curves[c].Length(), nullptr, nullptr);
            // Distance from the hole's centre to the button's square, 0 inside it.
            double dx = std::max(0.0, hole.x.ToDouble() - side), dy = std::max(0.0, top - hole.y.ToDouble());
            EXPECT_GE(std::sqrt(dx * dx + dy * dy), 32 * scale)
                << tables.maps[n].art << " " << screen.name << " hole of curve " << c + 1;
            ++checked;
        }
    });
    EXPECT_GT(checked, 0);
}
