#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "shipped_app.h"

namespace {

std::vector<std::string> EntryNames(ZipPack& pack)
{
    std::vector<std::string> names;
    int count = 0;
    if (pack.GetEntryCount(&count) != 1)
        return names;
    for (int i = 0; i < count; ++i) {
        char name[256];
        if (pack.GetEntryName(i, name, sizeof name) == 1)
            names.push_back(name);
    }
    return names;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

const char* const kPacks[] = {"_game_common.pak",  "_game_640x480.pak", "_game_800x480.pak", "_game_320x240.pak",
                              "_game_400x240.pak", "_game_320x320.pak", "_game_240x240.pak"};

}  // namespace

TEST(ShippedPacks, EveryPackOpensAndEveryEntryReads)
{
    ShippedApp app(640, 480);
    for (const char* file : kPacks) {
        SCOPED_TRACE(file);
        ZipPack pack(&app);
        ASSERT_EQ(pack.Open(app.Path(file).c_str()).value, kPackOk);
        std::vector<std::string> names = EntryNames(pack);
        ASSERT_FALSE(names.empty());
        for (size_t i = 0; i < names.size(); ++i) {
            int32_t size = -1;
            ASSERT_EQ(pack.GetEntrySize(int(i), &size), 1) << names[i];
            std::vector<uint8_t> bytes(size_t(size) + 1);
            EXPECT_EQ(pack.ReadEntry(int(i), bytes.data()), 1) << names[i];
            // Every name is found again as the game spells it, and only so.
            int found = -1;
            EXPECT_EQ(pack.FindEntry(names[i].c_str(), &found), 1);
            EXPECT_EQ(found, int(i));
            EXPECT_EQ(names[i].find('/'), std::string::npos) << names[i];
        }
    }
}

// The screen pack the game opens for a registered size holds the image folder it reads there;
// portrait sizes are turned to landscape first, so every size lands on one of the six.
TEST(ShippedPacks, EveryRegisteredSizeFindsItsImagesInItsScreenPack)
{
    for (const GameResolution& size : kGameResolutions) {
        int w = size.width > size.height ? size.width : size.height;
        int h = size.width > size.height ? size.height : size.width;
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        int mode = DisplayModeOf(w, h);
        EXPECT_NE(mode, kDisplayModeOther);
        ShippedApp app(w, h);
        ASSERT_TRUE(app.PacksOpen());
        std::string folder = ImageFolderName(w, h);
        std::vector<std::string> names = EntryNames(*app.GetPack(1));
        size_t inFolder = 0;
        for (const std::string& name : names)
            inFolder += name.compare(0, folder.size(), folder) == 0;
        EXPECT_EQ(inFolder, names.size()) << ScreenPakName(mode) << " holds files outside " << folder;
        EXPECT_GT(inFolder, 0u);
        // The UI folder the game reads at that size is in the common pack.
        std::string ui = UiFolderName(mode);
        int index = -1;
        EXPECT_EQ(app.GetPack(0)->FindEntry((ui + "keloui.txt").c_str(), &index), 1) << ui;
        EXPECT_EQ(app.GetPack(0)->FindEntry((ui + "styles.txt").c_str(), &index), 1) << ui;
    }
}

// With packs on, a file that lies on disk beside the packs but in no pack is not read.
TEST(ShippedPacks, ReadsComeFromThePacksOnly)
{
    ShippedApp app(320, 240);
    ASSERT_TRUE(app.PacksOpen());
    PackMemoryFile file;
    EXPECT_TRUE(file.Open(&app, app.Path("ui\\ui_qvga\\keloui.txt").c_str(), 2));
    EXPECT_FALSE(file.Open(&app, app.Path("stage\\ui\\ui_qvga\\keloui.txt").c_str(), 2));
    EXPECT_FALSE(file.Open(&app, app.Path("UI\\UI_QVGA\\keloui.txt").c_str(), 2));
}

TEST(ShippedPacks, EveryImageLoadsAtEveryResolution)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.PacksOpen());
        std::string folder = ImageFolderName(r.width, r.height);
        int images = 0;
        for (const std::string& name : EntryNames(*app.GetPack(1))) {
            if (!EndsWith(name, ".jpg") && !EndsWith(name, ".png"))
                continue;
            std::string path = app.Path(name);
            bool alphaOnly = EndsWith(name, "_a.jpg") || (name.find("\\fonts\\") != std::string::npos && !EndsWith(name, "_eff.jpg"));
            LoadedValue<Surface*> image =
                alphaOnly ? LoadAlphaImage(&app, path.c_str(), nullptr) : LoadImage(&app, path.c_str(), nullptr);
            EXPECT_TRUE(image.why.ok()) << image.why.File() << ": " << image.why.Reason();
            if (image.value) {
                EXPECT_GT(image.value->GetWidth(), 0) << name;
                delete image.value;
            }
            ++images;
        }
        EXPECT_GT(images, 0);
    }
}
