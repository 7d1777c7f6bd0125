#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "game/tables/display_mode.h"
#include "game/tables/layout_table.h"

namespace {

using Entries = std::vector<std::pair<int, int>>;

LayoutTable Filled(int code)
{
    LayoutTable table;
    LayoutTable::FillInts(table, code);
    LayoutTable::FillFixed(table, code);
    return table;
}

void ExpectInts(int code, const Entries& expected)
{
    LayoutTable table = Filled(code);
    for (auto [entry, value] : expected)
        EXPECT_EQ(table.ints[entry], value) << "code " << code << ", integer " << entry;
}

}  // namespace

TEST(LayoutTable, Wide800x480ShiftsHorizontalAnchorsBy80)
{
    // 15 (progress bar x) and 95 are not horizontal anchors; 83 and 96 are.
    ExpectInts(kDisplayMode800x480, {{0, 80}, {1, 0}, {15, 481}, {29, 112}, {67, 800}, {68, 480}, {83, 256},
                                     {89, 724}, {95, 0}, {96, 373}, {129, 366}});
}

TEST(LayoutTable, Quarter320x240HalvesTowardZeroWithItsOwnValues)
{
    ExpectInts(kDisplayMode320x240, {{2, 45}, {3, 4}, {15, 240}, {67, 320}, {68, 240}, {97, 40}, {163, -4},
                                     {165, 3}, {177, -4}, {186, 1}, {187, -1}});
}

TEST(LayoutTable, Wide400x240ShiftsTheQuarterSetBy40)
{
    // 67 keeps the design area's width; 96 is 293 halved plus 40.
    ExpectInts(kDisplayMode400x240, {{0, 40}, {3, 4}, {12, 14}, {13, 17}, {15, 240}, {67, 320}, {89, 362},
                                     {96, 186}});
}

TEST(LayoutTable, Square320x320MovesTheQuarterSetDown)
{
    ExpectInts(kDisplayMode320x320, {{0, 0}, {1, 40}, {15, 240}, {84, 199}, {96, 131}, {97, 0}, {98, 190},
                                     {99, 0}, {100, 0}, {175, 257}, {177, -4}});
}

TEST(LayoutTable, Square240x240TakesItsOwnList)
{
    ExpectInts(kDisplayMode240x240, {{0, 0}, {1, 30}, {15, 188}, {67, 240}, {68, 180}, {186, 1}, {187, -1}});
}

TEST(LayoutTable, OtherSizesTakeThe320x320Sets)
{
    LayoutTable other = Filled(kDisplayModeOther);
    LayoutTable square = Filled(kDisplayMode320x320);
    EXPECT_EQ(other.ints, square.ints);
    EXPECT_EQ(other.fixed, square.fixed);
}

TEST(LayoutTable, StartsZeroAndCodesWithoutASetLeaveIt)
{
    LayoutTable zero = Filled(19);
    EXPECT_TRUE(std::all_of(zero.ints.begin(), zero.ints.end(), [](int v) { return v == 0; }));
    EXPECT_TRUE(std::all_of(zero.fixed.begin(), zero.fixed.end(), [](Fixed v) { return v.raw == 0; }));

    LayoutTable before = Filled(kDisplayMode640x480);
    for (int code : {0, 19, 3, -1}) {
        LayoutTable table = before;
        LayoutTable::FillInts(table, code);
        LayoutTable::FillFixed(table, code);
        EXPECT_EQ(table.ints, before.ints) << "code " << code;
        EXPECT_EQ(table.fixed, before.fixed) << "code " << code;
    }
}

TEST(LayoutTable, FixedSetsRoundAndDeriveWhenFilled)
{
    struct Row {
        int entry;
        int wide640, wide320, square240;
    };
    // 0.8 rounds to 205; halved in Fixed division it is 102, times 0.375 it is 76.
    const Row rows[] = {
        {0, 256, 128, 96},  {29, 205, 102, 76},     {4, 58, 58, 43},   {12, 20, 10, 8},
        {42, -1536, -768, -768}, {50, 128, 102, 102}, {51, 358, 179, 179}, {26, 0, 0, 0},
        {27, 0, 0, 0},      {28, -1024, -512, -384},
    };
    const int codes[][3] = {
        {kDisplayMode640x480, kDisplayMode320x240, kDisplayMode240x240},
        {kDisplayMode800x480, kDisplayMode400x240, kDisplayMode240x240},
        {kDisplayMode640x480, kDisplayMode320x320, kDisplayMode240x240},
    };
    for (const auto& set : codes) {
        LayoutTable wide640 = Filled(set[0]), wide320 = Filled(set[1]), square240 = Filled(set[2]);
        for (const Row& row : rows) {
            EXPECT_EQ(wide640.fixed[row.entry].raw, row.wide640) << "Fixed " << row.entry;
            EXPECT_EQ(wide320.fixed[row.entry].raw, row.wide320) << "Fixed " << row.entry;
            EXPECT_EQ(square240.fixed[row.entry].raw, row.square240) << "Fixed " << row.entry;
        }
    }
}
