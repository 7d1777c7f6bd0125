// The adventure map's door rules that need no screen: which door a direction key reaches and
// which temple pictures the doors open show.
#include <gtest/gtest.h>

#include "game/screens/adventure_map_screen.h"

namespace {

constexpr int kLeft = 1, kRight = 2, kUp = 3, kDown = 4;

}  // namespace

TEST(AdventureDoors, LeftAndRightFollowTheRowsAsFarAsTheDoorsAreOpen)
{
    struct Row {
        int direction, door, open, expected;
    };
    // Row A runs 4 5 6 1 2 3 7 8 9, row B 10 11 12; doors 10 and 12 step over to row A.
    const Row rows[] = {
        {kRight, 3, 7, 7},   {kLeft, 4, 7, -1},   {kRight, 6, 7, 1},   {kLeft, 1, 7, 6},
        {kRight, 3, 3, -1},  {kRight, 1, 4, 2},   {kLeft, 7, 9, 3},    {kRight, 9, 12, -1},
        {kLeft, 10, 12, 6},  {kLeft, 10, 4, 4},   {kRight, 12, 12, 7}, {kRight, 12, 5, 5},
        {kLeft, 12, 12, 11}, {kRight, 10, 12, 11}, {kRight, 10, 10, -1}, {kLeft, 11, 11, 10},
        {kRight, 6, 6, 1},   {kLeft, 5, 6, 4},
    };
    for (const Row& r : rows)
        EXPECT_EQ(AdventureMapScreen::NeighbourDoor(r.direction, r.door, r.open), r.expected)
            << "direction " << r.direction << " from " << r.door << " with " << r.open << " open";
}

TEST(AdventureDoors, UpAndDownJoinTheLowerTemplesToTheFourth)
{
    for (int door = 1; door <= 9; ++door)
        EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kUp, door, 9), -1) << "door 10 is not open yet";
    const int upFrom[10] = {0, 10, 11, 12, 10, 10, 10, 12, 12, 12};
    for (int door = 1; door <= 9; ++door) {
        EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kUp, door, 12), upFrom[door]) << door;
        EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kUp, door, 10), 10) << door;
    }
    EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kUp, 11, 12), -1);
    EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kDown, 10, 12), 1);
    EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kDown, 11, 12), 2);
    EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kDown, 12, 12), 3);
    EXPECT_EQ(AdventureMapScreen::NeighbourDoor(kDown, 5, 12), -1);
    // Doors outside 1..12, the final stage's 13 among them, have no neighbours.
    for (int direction = kLeft; direction <= kDown; ++direction) {
        EXPECT_EQ(AdventureMapScreen::NeighbourDoor(direction, 13, 12), -1);
        EXPECT_EQ(AdventureMapScreen::NeighbourDoor(direction, 0, 12), -1);
    }
}

TEST(AdventureDoors, TempleArtFollowsTheDoorsOpen)
{
    // Per row of doors open: temples 1..4 (0 nothing, 1 locked, 2 unlocked).
    const int table[13][4] = {
        {0, 0, 0, 0}, {0, 1, 1, 0}, {0, 1, 1, 0}, {0, 1, 1, 0}, {0, 2, 1, 0}, {0, 2, 1, 0}, {0, 2, 1, 0},
        {0, 2, 2, 0}, {0, 2, 2, 0}, {0, 2, 2, 0}, {0, 2, 2, 2}, {0, 2, 2, 2}, {0, 2, 2, 2},
    };
    for (int open = 0; open <= 12; ++open)
        for (int temple = 0; temple < 4; ++temple)
            EXPECT_EQ(AdventureMapScreen::TempleArt(open, temple), table[open][temple])
                << open << " open, temple " << temple + 1;
}
