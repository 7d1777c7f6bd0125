#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "engine/graphics/image_loader.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "support/host_file.h"
#include "support/sprite_app.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
    const char* name;
    int num, den;  // scale of the design space
};
const Folder kFolders[] = {{"i_VGA", 1, 1},     {"i_800x480", 1, 1}, {"i_QVGA", 1, 2},
                           {"i_400x240", 1, 2}, {"i_320x320", 1, 2}, {"i_240x240", 3, 8}};

struct ToolRun {
    int status;
    std::string output;
};

ToolRun RunTool(const std::string& list, const std::string& stage, const std::string& extra = "")
{
    std::string log = stage + ".log";
    std::string command = std::string(KELO_TOOLS_DIR) + "/arttool '" + list + "' '" + stage + "' " + extra + " >'" +
                          log + "' 2>&1";
    int status = std::system(command.c_str());
    auto bytes = ReadHostFile(log);
    return {status, std::string(bytes.begin(), bytes.end())};
}

// An application reading one image folder of a staged tree, with the sprite scripts given (a
// script that declares no set is refused).
struct FolderApp : SpriteApp {
    FolderApp(const std::string& stage, const char* folder,
              std::initializer_list<const char*> scripts = {"sprites.txt", "sprite_atlases.txt", "game_sprites.txt"})
    {
        imageFolder = hostpath::FromHost(stage + "/" + folder) + "\\";
        for (const char* script : scripts)
            scriptsLoaded =
                    scriptsLoaded && LoadSpriteScript(this, hostpath::FromHost(stage + "/ui/" + script).c_str()).ok();
    }
    std::unique_ptr<Surface> Image(const std::string& name, bool alphaOnly = false)
    {
        std::unique_ptr<Surface> surface(CreateImage());
        std::string path = imageFolder + name;
        Surface* loaded = alphaOnly ? LoadAlphaImage(this, path.c_str(), surface.get()).value
                                    : LoadImage(this, path.c_str(), surface.get()).value;
        return std::unique_ptr<Surface>(loaded ? surface.release() : nullptr);
    }
    bool scriptsLoaded = true;
};

uint8_t AlphaAt(const Surface* s, int x, int y)
{
    return s->GetAlpha() ? s->GetAlpha()[y * s->GetWidth() + x] : 255;
}

// The real art, drawn once for the suite.
class ShippedArt : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/kelo_art_XXXXXX";
        root = mkdtemp(pattern);
        run = RunTool(KELO_ART_LIST, root + "/stage", "--jobs 4");
    }
    static void TearDownTestSuite() { fs::remove_all(root); }
    void SetUp() override { ASSERT_EQ(run.status, 0) << run.output; }

    static std::string root;
    static ToolRun run;
};
std::string ShippedArt::root;
ToolRun ShippedArt::run;

}  // namespace

TEST_F(ShippedArt, EverySetLoadsEverywhereWithItsFramesScaledFromTheDesignSize)
{
    std::map<std::string, std::pair<int, int>> designSize;  // frame 0 at scale 1, from i_VGA
    for (const Folder& folder : kFolders) {
        FolderApp app(root + "/stage", folder.name);
        ASSERT_TRUE(app.scriptsLoaded) << folder.name;
        ASSERT_GT(app.sprites.GetCount(), 0);
        for (int i = 0; i < app.sprites.GetCount(); ++i) {
            ResourceEntry* set = app.sprites.Get(i);
            std::string name = set->GetName().CStr();
            ASSERT_TRUE(set->Load().ok()) << name << " in " << folder.name;
            ASSERT_EQ(set->GetFrameCount(), set->GetCount()) << name;
            Surface* frame = set->GetFrame(0);
            // The board's frame and bar are drawn per screen to its width and band sizes; the
            // shipped data tests hold them to those.
            bool perScreen = name.rfind("GameUIFrame", 0) == 0 || name == "LevelProgress";
            if (perScreen) {
                set->Release();
                continue;
            }
            if (folder.num == 1 && folder.den == 1) {
                designSize.emplace(name, std::make_pair(frame->GetWidth(), frame->GetHeight()));
            } else {
                auto [w, h] = designSize.at(name);
                EXPECT_EQ(frame->GetWidth(), w * folder.num / folder.den) << name << " in " << folder.name;
                EXPECT_EQ(frame->GetHeight(), h * folder.num / folder.den) << name << " in " << folder.name;
            }
            set->Release();
        }
    }
}

TEST_F(ShippedArt, TheGameFindsTheSetsItAsksForWithTheirFrames)
{
    FolderApp app(root + "/stage", "i_240x240");
    ASSERT_TRUE(app.scriptsLoaded);
    const std::pair<const char*, int> wanted[] = {
        {"btn_wide", 4},    {"btn_small", 4},    {"btn_mini_240", 4}, {"check_off", 4},  {"check_on", 4},
        {"tuner_track", 2}, {"tuner_handle", 3}, {"tick_ul_1", 1},    {"tick_ul_2", 1},  {"tick", 1},
        {"dlg_11", 1},      {"dlg_22", 1},       {"dlg_33", 1},       {"mini_dlg_11", 1}, {"mini_dlg_33", 1}};
    for (auto [name, frames] : wanted) {
        ResourceEntry* set = app.sprites.FindByName(name);
        ASSERT_NE(set, nullptr) << name;
        EXPECT_EQ(set->GetCount(), frames) << name;
    }
    // Frames keep the sheet's alpha: a button's rounded corner is clear, its middle solid.
    ResourceEntry* button = app.sprites.FindByName("btn_wide");
    ASSERT_TRUE(button->Load().ok());
    for (int f = 0; f < 4; ++f) {
        const Surface* frame = button->GetFrame(f);
        EXPECT_EQ(AlphaAt(frame, 0, frame->GetHeight() - 1), 0) << "frame " << f;
        EXPECT_EQ(AlphaAt(frame, frame->GetWidth() / 2, frame->GetHeight() / 2), 255) << "frame " << f;
    }
    // The panel's repeated tiles must fit the corners: edges as long as the centre, as thick as the corners.
    ResourceEntry* corner = app.sprites.FindByName("dlg_11");
    ResourceEntry* top = app.sprites.FindByName("dlg_12");
    ResourceEntry* centre = app.sprites.FindByName("dlg_22");
    ASSERT_TRUE(corner->Load().ok() && top->Load().ok() && centre->Load().ok());
    EXPECT_EQ(top->GetFrame(0)->GetHeight(), corner->GetFrame(0)->GetHeight());
    EXPECT_EQ(top->GetFrame(0)->GetWidth(), centre->GetFrame(0)->GetWidth());
}

TEST_F(ShippedArt, TheExitButtonFillsTheScreensTopRightCorner)
{
    for (const Folder& folder : kFolders) {
        FolderApp app(root + "/stage", folder.name);
        for (const char* name : {"ui\\exit_0", "ui\\exit_1"}) {
            auto image = app.Image(name);
            ASSERT_TRUE(image) << name << " in " << folder.name;
            int w = image->GetWidth(), h = image->GetHeight();
            EXPECT_EQ(w, 48 * folder.num / folder.den);
            EXPECT_GE(AlphaAt(image.get(), w - 1, 0), 245) << "the corner pixel is part of the button";
            EXPECT_LE(AlphaAt(image.get(), 0, h - 1), 10) << "the far corner is rounded away";
            // The grey companion is the alpha plane LoadImage attached.
            auto alpha = app.Image(std::string(name) + "_a", true);
            ASSERT_TRUE(alpha);
            EXPECT_EQ(AlphaAt(alpha.get(), w / 2, h / 2), AlphaAt(image.get(), w / 2, h / 2));
        }
    }
}

TEST_F(ShippedArt, TheAtlasTextureHoldsEachMemberAtItsItem)
{
    for (const Folder& folder : kFolders) {
        FolderApp app(root + "/stage", folder.name);
        ResourceEntry* atlas = app.sprites.FindByName("mini_dlg_atlas");
        ResourceEntry* centre = app.sprites.FindByName("mini_dlg_22");
        ASSERT_TRUE(atlas && centre);
        EXPECT_TRUE(centre->HasAtlas());
        EXPECT_STREQ(centre->GetAtlasTexture().CStr(), "mini_dlg_atlas");
        ASSERT_TRUE(atlas->Load().ok() && centre->Load().ok());
        ASSERT_EQ(atlas->GetAtlasItemCount(), 9);
        const AtlasItem* item = atlas->GetAtlasItem(centre->GetAtlasFirst());
        ASSERT_NE(item, nullptr);
        const Surface* tile = centre->GetFrame(0);
        // mini_dlg_22 is item 4 of a 3-column texture: one tile right and one down.
        EXPECT_EQ(item->x, tile->GetWidth());
        EXPECT_EQ(item->y, tile->GetHeight());
        EXPECT_EQ(item->w, tile->GetWidth());
        const Surface* cell = atlas->GetFrame(centre->GetAtlasFirst());
        ASSERT_EQ(cell->GetWidth(), tile->GetWidth());
        for (int i = 0; i < tile->GetWidth() * tile->GetHeight(); ++i)
            ASSERT_EQ(cell->GetPixels()[i], tile->GetPixels()[i]) << folder.name << " pixel " << i;
    }
}

TEST_F(ShippedArt, SameSourcesGiveTheSameBytes)
{
    ToolRun again = RunTool(KELO_ART_LIST, root + "/again", "--jobs 1");
    ASSERT_EQ(again.status, 0) << again.output;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root + "/stage")) {
        if (!entry.is_regular_file())
            continue;
        std::string relative = fs::relative(entry.path(), root + "/stage").string();
        EXPECT_EQ(ReadHostFile(entry.path().string()), ReadHostFile(root + "/again/" + relative)) << relative;
        ++files;
    }
    EXPECT_GT(files, 6 * 20);
}

namespace {

struct ArtToolRuns : ::testing::Test {
    SpriteApp scratch;
    ToolRun Check(const std::string& list)
    {
        scratch.Write("art.txt", list);
        return RunTool(scratch.Host("art.txt"), scratch.Host("stage"));
    }
    static std::string Svg(int w, int h, const std::string& body)
    {
        return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) + "\" height=\"" +
               std::to_string(h) + "\">\n" + body + "</svg>\n";
    }
};

}  // namespace

TEST_F(ArtToolRuns, SheetsAndFramesMustDivideIntoWholePixels)
{
    scratch.Write("sheet.svg", Svg(100, 48, "<rect width=\"100\" height=\"48\" fill=\"#808080\"/>\n"));
    ToolRun run = Check("picture ui\\sheet\n  source sheet.svg\n  frames 3 3\n  set sheet sprites\nend\n");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("art.txt:1: sheet 100x48"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("no multiple of its grid of 3x1"), std::string::npos) << run.output;

    // 60 divides by the 3 columns, but a 20-pixel frame is 7.5 pixels at 3/8.
    scratch.Write("sheet.svg", Svg(60, 48, "<rect width=\"60\" height=\"48\" fill=\"#808080\"/>\n"));
    run = Check("// a comment line\npicture ui\\sheet\n  source sheet.svg\n  frames 3 3\nend\n");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("art.txt:2: frame 20x48"), std::string::npos) << run.output;
}

TEST_F(ArtToolRuns, ASetKeepsItsCountAndColumnsInEveryFolder)
{
    scratch.Write("big.svg", Svg(32, 32, "<rect width=\"32\" height=\"32\" fill=\"#c08040\"/>\n"));
    ToolRun run = Check(
        "picture ui\\gem\n  source big.svg\n  frames 4 2\n  var a 1 2 3 4\n  only i_VGA i_800x480\n  set gem game\nend\n"
        "picture ui\\gem\n  source big.svg\n  frames 3 3\n  var a 1 2 3\n  only i_240x240\n  set gem game\nend\n");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("art.txt:8: set gem has 3 frames in 3 columns here but 4 in 2"), std::string::npos)
        << run.output;

    // The same grid for other folders is how a set gets art of its own on some screens.
    run = Check(
        "picture ui\\gem\n  source big.svg\n  frames 4 2\n  var a 1 2 3 4\n  only i_VGA i_800x480\n  set gem game\nend\n"
        "picture ui\\gem\n  source big.svg\n  frames 4 2\n  var a 1 2 3 4\n  only i_240x240\n  set gem game\nend\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(scratch.Host("stage/i_240x240/ui/gem.png")));
    EXPECT_FALSE(fs::exists(scratch.Host("stage/i_QVGA/ui/gem.png")));
}

TEST_F(ArtToolRuns, TwoPicturesMayNotWriteOneFile)
{
    scratch.Write("a.svg", Svg(8, 8, "<rect width=\"8\" height=\"8\"/>\n"));
    ToolRun run = Check("picture ui\\a\n  source a.svg\nend\n\npicture ui\\a\n  source a.svg\n  only i_QVGA\nend\n");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("art.txt:5: i_QVGA\\ui\\a is already drawn by the picture at line 1"), std::string::npos)
        << run.output;
}

TEST_F(ArtToolRuns, ABadSourceIsNamedWithItsLine)
{
    const char* list = "picture ui\\p\n  source p.svg\n  var tint #ff0000\nend\n";
    scratch.Write("p.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\">\n<g>\n<rect/></b>\n</svg>\n");
    ToolRun run = Check(list);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("p.svg:3: SVG:"), std::string::npos) << run.output;

    scratch.Write("p.svg", Svg(8, 8, "<rect width=\"8\" height=\"8\"/>\n<text x=\"1\" y=\"6\">A</text>\n"));
    run = Check(list);
    EXPECT_NE(run.output.find("p.svg:3: text is not drawn the same on every machine"), std::string::npos)
        << run.output;

    scratch.Write("p.svg", Svg(8, 8, "<rect width=\"8\" height=\"8\" fill=\"${tint}\"/>\n<rect fill=\"${shade}\"/>\n"));
    run = Check(list);
    EXPECT_NE(run.output.find("p.svg:3: no frame value 'shade'"), std::string::npos) << run.output;

    scratch.Write("p.svg", Svg(8, 8, "<rect width=\"8\" height=\"8\" fill=\"${tint}\"/>\n<use href=\"#a\"/>\n<use\n xlink:href = 'other.svg#b'/>\n"));
    run = Check(list);
    EXPECT_NE(run.output.find("p.svg:5: only references inside the source"), std::string::npos) << run.output;

    run = Check("picture ui\\p\n  source p.svg\n  frames 2 2\n  var tint #ff0000\nend\n");
    EXPECT_NE(run.output.find("art.txt:4: var 'tint' has 1 values for 2 frames"), std::string::npos) << run.output;
}

// Full-screen art: the canvas covers the design space from -80 to 720 across and -80 to 560 down;
// each screen shows its part, at its scale, with the design area at the layout's offsets.
TEST_F(ArtToolRuns, AScreenPictureIsCutAtEachFoldersOffsets)
{
    scratch.Write("screen.svg",
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"640\" viewBox=\"-80 -80 800 640\">\n"
                  "<rect x=\"-80\" y=\"-80\" width=\"800\" height=\"640\" fill=\"#00ff00\"/>\n"
                  "<rect x=\"-80\" y=\"-80\" width=\"80\" height=\"640\" fill=\"#ff0000\"/>\n"
                  "<rect x=\"640\" y=\"-80\" width=\"80\" height=\"640\" fill=\"#0000ff\"/>\n"
                  "<rect x=\"0\" y=\"-80\" width=\"640\" height=\"80\" fill=\"#ffff00\"/>\n"
                  "<rect x=\"0\" y=\"480\" width=\"640\" height=\"80\" fill=\"#ff00ff\"/>\n"
                  "</svg>\n");
    ToolRun run = Check("picture bg\n  source screen.svg\n  screen\n  format png\nend\n");
    ASSERT_EQ(run.status, 0) << run.output;
    const uint16_t red = 0xF800, green = 0x07E0, blue = 0x001F, yellow = 0xFFE0, magenta = 0xF81F;
    struct Probe {
        const char* folder;
        int w, h, x, y;
        uint16_t colour;
    };
    const Probe probes[] = {
        {"i_VGA", 640, 480, 0, 0, green},         {"i_VGA", 640, 480, 639, 479, green},
        {"i_800x480", 800, 480, 79, 240, red},    {"i_800x480", 800, 480, 80, 0, green},
        {"i_800x480", 800, 480, 720, 479, blue},  {"i_QVGA", 320, 240, 319, 239, green},
        {"i_400x240", 400, 240, 39, 120, red},    {"i_400x240", 400, 240, 40, 120, green},
        {"i_400x240", 400, 240, 360, 120, blue},  {"i_320x320", 320, 320, 160, 39, yellow},
        {"i_320x320", 320, 320, 160, 40, green},  {"i_320x320", 320, 320, 0, 280, magenta},
        {"i_240x240", 240, 240, 120, 29, yellow}, {"i_240x240", 240, 240, 120, 30, green},
        {"i_240x240", 240, 240, 239, 209, green}, {"i_240x240", 240, 240, 120, 210, magenta},
    };
    for (const Probe& p : probes) {
        FolderApp app(scratch.Host("stage"), p.folder);
        auto image = app.Image("bg");
        ASSERT_TRUE(image) << p.folder;
        ASSERT_EQ(image->GetWidth(), p.w);
        ASSERT_EQ(image->GetHeight(), p.h);
        EXPECT_EQ(image->GetPixels()[p.y * p.w + p.x], p.colour) << p.folder << " at " << p.x << "," << p.y;
    }
}

TEST_F(ArtToolRuns, AnImageChangingFormatLeavesNoOtherFileBehind)
{
    scratch.Write("half.svg", Svg(16, 16, "<rect width=\"8\" height=\"16\" fill=\"#a07030\"/>\n"));
    ASSERT_EQ(Check("picture ui\\half\n  source half.svg\n  format jpg\nend\n").status, 0);
    EXPECT_TRUE(fs::exists(scratch.Host("stage/i_QVGA/ui/half.jpg")));
    EXPECT_TRUE(fs::exists(scratch.Host("stage/i_QVGA/ui/half_a.jpg")));
    ASSERT_EQ(Check("picture ui\\half\n  source half.svg\n  format png\nend\n").status, 0);
    EXPECT_TRUE(fs::exists(scratch.Host("stage/i_QVGA/ui/half.png")));
    EXPECT_FALSE(fs::exists(scratch.Host("stage/i_QVGA/ui/half.jpg")));
    EXPECT_FALSE(fs::exists(scratch.Host("stage/i_QVGA/ui/half_a.jpg")));
}

TEST_F(ArtToolRuns, TheDepfileNamesTheListAndEverySourceItRead)
{
    scratch.Write("one.svg", Svg(8, 8, "<rect width=\"8\" height=\"8\"/>\n"));
    scratch.Write("two.svg", Svg(8, 8, "<rect width=\"8\" height=\"8\"/>\n"));
    scratch.Write("art.txt", "picture ui\\one\n  source one.svg\nend\npicture ui\\two\n  source two.svg\nend\n");
    ToolRun run = RunTool(scratch.Host("art.txt"), scratch.Host("stage"),
                          "--stamp '" + scratch.Host("art.stamp") + "' --depfile '" + scratch.Host("art.d") + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(scratch.Host("art.stamp")));
    auto bytes = ReadHostFile(scratch.Host("art.d"));
    std::string deps(bytes.begin(), bytes.end());
    EXPECT_EQ(deps.rfind(scratch.Host("art.stamp") + ": ", 0), 0u) << deps;
    for (const char* file : {"art.txt", "one.svg", "two.svg", "stage/i_240x240/ui/two.png", "stage/ui/sprites.txt"})
        EXPECT_NE(deps.find(scratch.Host(file)), std::string::npos) << file << " missing from " << deps;
}

// JPEG blocks mix the colour under clear pixels into the visible edge; that colour must be the
// edge's own, not black, or every cut-out would wear a dark fringe.
TEST_F(ArtToolRuns, ClearPixelsOfAJpegTakeTheColourOfTheNearestVisibleOnes)
{
    scratch.Write("left.svg", Svg(16, 16, "<rect width=\"8\" height=\"16\" fill=\"#ff0000\"/>\n"));
    ASSERT_EQ(Check("picture ui\\left\n  source left.svg\n  format jpg\nend\n").status, 0);
    FolderApp app(scratch.Host("stage"), "i_VGA");
    auto image = app.Image("ui\\left");
    ASSERT_TRUE(image);
    uint16_t clear = image->GetPixels()[8 * 16 + 12];
    EXPECT_LE(AlphaAt(image.get(), 12, 8), 8);
    EXPECT_GE(clear >> 11, 28) << "red under the clear half";
    EXPECT_LE(clear & 0x1F, 4);
}

// An animated set: one template, a value stepping per frame, cut back into frames by the engine.
TEST_F(ArtToolRuns, AFrameValueStepsAcrossTheFramesOfASet)
{
    scratch.Write("slide.svg", Svg(32, 8, "<rect x=\"${x}\" width=\"8\" height=\"8\" fill=\"#ff0000\"/>\n"));
    ToolRun run = Check("picture ui\\slide\n  source slide.svg\n  frames 4 2\n  var x step 0 8\n  set slide game\nend\n");
    ASSERT_EQ(run.status, 0) << run.output;
    for (const char* folder : {"i_VGA", "i_QVGA"}) {
        FolderApp app(scratch.Host("stage"), folder, {"game_sprites.txt"});
        ASSERT_TRUE(app.scriptsLoaded);
        ResourceEntry* slide = app.sprites.FindByName("slide");
        ASSERT_TRUE(slide && slide->Load().ok());
        ASSERT_EQ(slide->GetFrameCount(), 4);
        int unit = folder == std::string("i_VGA") ? 8 : 4;  // 8 design pixels at the folder's scale
        for (int f = 0; f < 4; ++f) {
            const Surface* frame = slide->GetFrame(f);
            ASSERT_EQ(frame->GetWidth(), 4 * unit);
            for (int cell = 0; cell < 4; ++cell)
                EXPECT_EQ(AlphaAt(frame, cell * unit + unit / 2, unit / 2), cell == f ? 255 : 0)
                    << folder << " frame " << f << " cell " << cell;
        }
    }
}

TEST_F(ArtToolRuns, APictureTakenOutOfTheListLeavesTheStage)
{
    scratch.Write("one.svg", Svg(8, 8, "<rect width=\"8\" height=\"8\"/>\n"));
    std::string stamp = "--stamp '" + scratch.Host("art.stamp") + "'";
    scratch.Write("art.txt", "picture ui\\one\n  source one.svg\nend\npicture ui\\two\n  source one.svg\nend\n");
    ASSERT_EQ(RunTool(scratch.Host("art.txt"), scratch.Host("stage"), stamp).status, 0);
    ASSERT_TRUE(fs::exists(scratch.Host("stage/i_240x240/ui/two.png")));
    scratch.Write("stage/i_VGA/ui/font.png", "made by another tool");

    scratch.Write("art.txt", "picture ui\\one\n  source one.svg\nend\n");
    ASSERT_EQ(RunTool(scratch.Host("art.txt"), scratch.Host("stage"), stamp).status, 0);
    for (const Folder& folder : kFolders) {
        EXPECT_TRUE(fs::exists(scratch.Host(std::string("stage/") + folder.name + "/ui/one.png")));
        EXPECT_FALSE(fs::exists(scratch.Host(std::string("stage/") + folder.name + "/ui/two.png"))) << folder.name;
    }
    EXPECT_TRUE(fs::exists(scratch.Host("stage/i_VGA/ui/font.png"))) << "only the tool's own files go";
}

// With its stamp the tool draws again only the pictures of a source edited since, or of a file it
// wrote that is gone or was edited by hand; the rest keeps its files untouched.
TEST_F(ArtToolRuns, AStampedRunDrawsAgainOnlyWhatChangedOrIsGone)
{
    std::string list;
    for (const char* name : {"one", "two", "three"}) {
        scratch.Write(std::string(name) + ".svg", Svg(8, 8, "<rect width=\"8\" height=\"8\"/>\n"));
        list += std::string("picture ui\\") + name + "\n  source " + name + ".svg\nend\n";
    }
    scratch.Write("art.txt", list);
    std::string stamp = "--stamp '" + scratch.Host("art.stamp") + "'";
    ASSERT_EQ(RunTool(scratch.Host("art.txt"), scratch.Host("stage"), stamp).status, 0);
    auto now = fs::file_time_type::clock::now();
    auto before = now - std::chrono::hours(1), after = now + std::chrono::hours(1);
    auto age = [&]() {
        for (const fs::directory_entry& file : fs::recursive_directory_iterator(scratch.Host("stage")))
            if (file.is_regular_file())
                fs::last_write_time(file.path(), before);
    };
    auto redrawn = [&](const std::string& picture, const char* folder) {
        std::string file = scratch.Host(std::string("stage/") + folder + "/ui/" + picture + ".png");
        return fs::exists(file) && fs::last_write_time(file) > before && fs::last_write_time(file) < after;
    };

    age();
    fs::last_write_time(scratch.Host("one.svg"), after);
    fs::remove(scratch.Host("stage/i_QVGA/ui/two.png"));
    ASSERT_EQ(RunTool(scratch.Host("art.txt"), scratch.Host("stage"), stamp).status, 0);
    for (const Folder& folder : kFolders) {
        EXPECT_TRUE(redrawn("one", folder.name)) << folder.name;
        EXPECT_TRUE(redrawn("two", folder.name)) << folder.name;
        EXPECT_FALSE(redrawn("three", folder.name)) << folder.name;
    }
    EXPECT_EQ(fs::last_write_time(scratch.Host("stage/ui/sprites.txt")), before);

    age();
    fs::last_write_time(scratch.Host("one.svg"), before);
    fs::last_write_time(scratch.Host("stage/i_VGA/ui/three.png"), after);
    ASSERT_EQ(RunTool(scratch.Host("art.txt"), scratch.Host("stage"), stamp).status, 0);
    for (const Folder& folder : kFolders) {
        EXPECT_FALSE(redrawn("one", folder.name)) << folder.name;
        EXPECT_TRUE(redrawn("three", folder.name)) << folder.name;
    }
}
