#include <gtest/gtest.h>

#include <string>

#include "game/app/resource_folders.h"
#include "game/tables/display_mode.h"

// The six landscape sizes: each display mode has its own UI folder, image folder and pack, and
// the image folder is the one its pack is named for.
TEST(ResourceFolders, SixSizesHaveTheirOwnFoldersAndPacks)
{
    struct Row {
        int w, h;
        const char *ui, *images, *pack;
    } rows[] = {
        {640, 480, "ui\\ui_vga\\", "i_VGA\\", "_game_640x480.pak"},
        {800, 480, "ui\\ui_800x480\\", "i_800x480\\", "_game_800x480.pak"},
        {320, 240, "ui\\ui_qvga\\", "i_QVGA\\", "_game_320x240.pak"},
        {400, 240, "ui\\ui_400x240\\", "i_400x240\\", "_game_400x240.pak"},
        {320, 320, "ui\\ui_320x320\\", "i_320x320\\", "_game_320x320.pak"},
        {240, 240, "ui\\ui_240x240\\", "i_240x240\\", "_game_240x240.pak"},
    };
    for (const Row& row : rows) {
        int mode = DisplayModeOf(row.w, row.h);
        EXPECT_STREQ(UiFolderName(mode), row.ui);
        EXPECT_STREQ(ImageFolderName(row.w, row.h), row.images);
        EXPECT_STREQ(ScreenPakName(mode), row.pack);
    }
    EXPECT_STREQ(CommonPakName(), "_game_common.pak");
}

// Sizes off the six: the image folder follows its own width-and-height rule while the UI folder
// and pack follow the code of "any other size".
TEST(ResourceFolders, OtherSizesFollowTheirOwnRules)
{
    EXPECT_STREQ(ImageFolderName(480, 640), "i_VGA\\");
    EXPECT_STREQ(ImageFolderName(320, 480), "i_320x320\\");
    EXPECT_STREQ(ImageFolderName(480, 320), "i_320x320\\");
    EXPECT_STREQ(ImageFolderName(1024, 768), "i_VGA\\");
    int other = DisplayModeOf(480, 640);
    EXPECT_EQ(other, kDisplayModeOther);
    EXPECT_STREQ(UiFolderName(other), "ui\\ui_320x320\\");
    EXPECT_STREQ(ScreenPakName(other), "_game_640x480.pak");
    EXPECT_STREQ(UiFolderName(99), "ui\\");
}

// Every registered size turned to landscape is one of the six, in the registration order.
TEST(ResourceFolders, RegisteredSizesTurnToTheSixLandscapeSizes)
{
    const char* expected[] = {"640x480", "640x480", "320x240", "320x240", "320x320",
                              "800x480", "800x480", "400x240", "400x240", "240x240"};
    for (int i = 0; i < kGameResolutionCount; ++i) {
        int w = std::max(kGameResolutions[i].width, kGameResolutions[i].height);
        int h = std::min(kGameResolutions[i].width, kGameResolutions[i].height);
        EXPECT_EQ(std::to_string(w) + "x" + std::to_string(h), expected[i]);
        EXPECT_NE(DisplayModeOf(w, h), kDisplayModeOther);
    }
}
