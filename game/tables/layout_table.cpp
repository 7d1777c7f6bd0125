#include "game/tables/layout_table.h"

#include <span>

#include "game/tables/display_mode.h"

namespace {

using Ints = std::array<int32_t, LayoutTable::kIntCount>;

struct IntException {
    int entry;
    int32_t value;
};

// The 640x480 set; the 800x480, 400x240, 320x240 and 320x320 sets are derived from it.
constexpr Ints kInts640x480 = std::to_array<int32_t>({
    0, 0, 45, 9, 47, 108, 108, 120, 75, 63,                 // 0
    63, 42, 42, 51, 29, 481, 2, 432, 0, 34,                 // 10
    31, 3, 235, 0, 0, 5, 0, 112, 0, 113,                    // 20
    395, 131, 395, 127, 173, 5, 0, 0, 450, 270,             // 30
    227, 296, 366, 0, 69, 120, 452, 509, 568, 219,          // 40
    292, 370, 300, 270, 300, 165, 160, 156, 154, 154,       // 50
    154, 38, 39, 39, 14, 510, 442, 640, 480, 590,           // 60
    350, 400, 24, 209, 232, 249, 265, 179, 129, 82,         // 70
    28, 0, 0, 176, 239, 305, 197, 470, 250, 564,            // 80
    148, 78, 14, 42, 48, 0, 293, 81, 382, 0,                // 90
    0, 138, 174, 320, 320, 404, 176, 32, 384, 76,           // 100
    2, 520, 326, 538, 308, 528, 300, 598, 320, 588,         // 110
    312, 70, 90, 150, 200, 134, 250, 150, 7, 286,           // 120
    40, 4, 150, 490, 150, 490, 216, 216, 360, 360,          // 130
    20, 8, 32, 120, 190, 110, 173, 110, 390, 10,            // 140
    20, 12, 600, 400, 2, 1, 1, 4, 8, 10,                    // 150
    8, 14, 0, -8, 52, 5, 191, 331, 29, 25,                  // 160
    87, 16, 219, 368, 276, 355, 0, 0, 32, 24,               // 170
    11, 11, 11, 11, 11, 300, 3, -4,                         // 180
});

// The 240x240 set stands on its own: its design area is scaled by 3/8, which no rule derives.
constexpr Ints kInts240x240 = std::to_array<int32_t>({
    0, 30, 45, 4, 47, 54, 54, 45, 28, 63,                   // 0
    63, 42, 42, 51, 10, 188, 1, 178, -3, 17,                // 10
    15, 1, 92, -3, 0, 46, 0, 67, 0, 67,                     // 20
    148, 74, 148, 72, 64, 46, 0, 0, 168, 101,               // 30
    85, 111, 137, 0, 25, 45, 169, 190, 213, 81,             // 40
    109, 138, 139, 128, 139, 87, 86, 84, 83, 83,            // 50
    83, 59, 59, 59, 5, 191, 165, 240, 180, 221,             // 60
    131, 150, 9, 78, 87, 93, 99, 127, 108, 90,              // 70
    70, 0, 60, 63, 151, 114, 73, 176, 153, 211,             // 80
    115, 38, 7, 15, 68, 0, 106, 0, 150, 0,                  // 90
    0, 69, 87, 120, 160, 151, 77, 12, 144, 44,              // 100
    1, 195, 162, 201, 155, 198, 152, 224, 160, 220,         // 110
    157, 26, 33, 72, 75, 66, 93, 72, 2, 107,                // 120
    15, 2, 56, 183, 56, 183, 81, 81, 135, 135,              // 130
    7, 3, 12, 45, 71, 35, 64, 35, 206, 3,                   // 140
    7, 4, 225, 150, 0, 4, -2, 0, 3, 3,                      // 150
    3, 5, 0, -3, 19, 3, 71, 184, 10, 9,                     // 160
    32, 6, 82, 198, 103, 193, 2, -3, 16, 12,                // 170
    5, 5, 5, 5, 5, 112, 1, -1,                              // 180
});

// Horizontal positions: they follow the design area when the wide screens centre it.
constexpr int kHorizontalEntries[] = {
    0, 30, 32, 34, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 73, 74, 75, 76, 83, 87,
    96, 97, 98, 103, 105, 108, 111, 113, 115, 117, 119, 121, 122, 124, 126, 129,
};

constexpr IntException kOwn800x480[] = {{29, 112}, {31, 127}, {65, 670}, {67, 800}, {89, 724}};

constexpr IntException kOwn320x240[] = {
    {2, 45}, {4, 47}, {9, 63}, {10, 63}, {11, 42}, {12, 42}, {13, 51}, {18, -2}, {23, -2}, {155, 1},
    {156, 1}, {157, 1}, {165, 3}, {176, 3}, {177, -4}, {187, -1},
};

constexpr IntException kOwn400x240[] = {{12, 14}, {13, 17}, {89, 362}};

constexpr IntException kOwn320x320[] = {
    {1, 40}, {25, 82}, {27, 136}, {29, 136}, {31, 145}, {33, 143}, {35, 82}, {52, 230},
    {53, 215}, {54, 230}, {55, 162}, {56, 160}, {57, 158}, {58, 157}, {59, 157}, {60, 157},
    {61, 99}, {62, 99}, {63, 99}, {77, 169}, {78, 144}, {79, 121}, {80, 94}, {82, 80},
    {84, 199}, {88, 205}, {90, 154}, {94, 94}, {96, 131}, {97, 0}, {98, 190}, {101, 92},
    {102, 134}, {104, 200}, {106, 128}, {109, 78}, {112, 203}, {114, 194}, {116, 190}, {118, 200},
    {120, 196}, {123, 115}, {125, 107}, {127, 115}, {131, 3}, {167, 245}, {173, 264}, {175, 257},
};

void ShiftHorizontal(Ints& ints, int offset)
{
    for (int entry : kHorizontalEntries)
        ints[entry] += offset;
}

void Apply(Ints& ints, std::span<const IntException> exceptions)
{
    for (const IntException& e : exceptions)
        ints[e.entry] = e.value;
}

Ints Ints800x480()
{
    Ints ints = kInts640x480;
    ShiftHorizontal(ints, 80);
    Apply(ints, kOwn800x480);
    return ints;
}

Ints Ints320x240()
{
    Ints ints = kInts640x480;
    for (int32_t& value : ints)
        value /= 2;  // C++ division truncates toward zero, as the set asks
    Apply(ints, kOwn320x240);
    return ints;
}

Ints Ints400x240()
{
    Ints ints = Ints320x240();
    ShiftHorizontal(ints, 40);
    Apply(ints, kOwn400x240);
    return ints;
}

Ints Ints320x320()
{
    Ints ints = Ints320x240();
    Apply(ints, kOwn320x320);
    return ints;
}

// The Fixed part: each entry has a 640x480 decimal and, for the 320-wide and 240x240 sets,
// either a decimal of its own or a rule applied to the 640x480 value.
enum class Rule { Own, Half, ThreeEighths };

struct FixedCell {
    Rule rule;
    double value;
};

constexpr FixedCell Own(double value) { return {Rule::Own, value}; }
constexpr FixedCell kHalf{Rule::Half, 0};
constexpr FixedCell kThreeEighths{Rule::ThreeEighths, 0};

struct FixedRow {
    int entry;
    double wide640;
    FixedCell wide320;
    FixedCell square240;
};

// Entries 16-18, 23, 26 and 27 are written by no set: nothing reads them.
constexpr FixedRow kFixedRows[] = {
    {0, 1, Own(0.5), Own(0.375)},
    {1, 15, Own(15), Own(15)},
    {2, 16, Own(8), Own(6)},
    {3, 32, Own(16), Own(12)},
    {4, 0.225, Own(0.225), Own(0.1687)},
    {5, 1.5, Own(1.5), Own(1.125)},
    {6, 0.6, Own(0.6), Own(0.45)},
    {7, 0.1125, Own(0.1125), Own(0.0844)},
    {8, 18, Own(18), Own(13.5)},
    {9, 3.75, Own(3.75), Own(2.8125)},
    {10, 27, Own(27), Own(20.25)},
    {11, 0.75, Own(0.75), Own(0.5625)},
    {12, 0.08, Own(0.04), Own(0.03)},
    {13, 7.2, Own(7.2), Own(5.4)},
    {14, 16.2, Own(16.2), Own(12.15)},
    {15, 30, Own(30), Own(22.5)},
    {19, 15, Own(15), Own(11.25)},
    {20, 1.5, Own(1.5), Own(1.125)},
    {21, 16.5, Own(16.5), Own(12.375)},
    {22, 1.5, Own(1.5), Own(1.125)},
    {24, 1.5, Own(1.5), Own(1.5)},
    {25, 4.5, Own(3), Own(3)},
    {28, -4, kHalf, kThreeEighths},
    {29, 0.8, kHalf, kThreeEighths},
    {30, -4, kHalf, kThreeEighths},
    {31, 26, kHalf, kThreeEighths},
    {32, -2, kHalf, kThreeEighths},
    {33, 33, kHalf, kThreeEighths},
    {34, 14, kHalf, kThreeEighths},
    {35, 40, kHalf, kThreeEighths},
    {36, 40, kHalf, kThreeEighths},
    {37, 15, kHalf, kThreeEighths},
    {38, 50, kHalf, kThreeEighths},
    {39, 12, kHalf, kThreeEighths},
    {40, 40, kHalf, kThreeEighths},
    {41, 20, kHalf, kThreeEighths},
    {42, -6, kHalf, kHalf},
    {43, 6, kHalf, kHalf},
    {44, 0, kHalf, kHalf},
    {45, 6, kHalf, kHalf},
    {46, -4, kHalf, kHalf},
    {47, -6, kHalf, kHalf},
    {48, 8, kHalf, kHalf},
    {49, 6, kHalf, kHalf},
    {50, 0.5, Own(0.4), Own(0.4)},
    {51, 1.4, kHalf, kHalf},
    {52, 1, kHalf, kHalf},
    {53, 2, kHalf, kHalf},
};

enum class FixedSet { Wide640, Wide320, Square240 };

Fixed Resolve(const FixedRow& row, FixedSet set)
{
    Fixed base = Fixed::FromDouble(row.wide640);
    if (set == FixedSet::Wide640)
        return base;
    const FixedCell& cell = set == FixedSet::Wide320 ? row.wide320 : row.square240;
    switch (cell.rule) {
    case Rule::Own:
        return Fixed::FromDouble(cell.value);
    case Rule::Half:
        return Fixed::Divide(base, Fixed::FromInt(2));
    case Rule::ThreeEighths:
        return Fixed::Multiply(base, Fixed::FromDouble(0.375));
    }
    return base;
}

}  // namespace

void LayoutTable::FillInts(LayoutTable& table, int displayModeCode)
{
    switch (displayModeCode) {
    case kDisplayMode800x480:
        table.ints = Ints800x480();
        break;
    case kDisplayMode640x480:
        table.ints = kInts640x480;
        break;
    case kDisplayMode400x240:
        table.ints = Ints400x240();
        break;
    case kDisplayMode320x240:
        table.ints = Ints320x240();
        break;
    case kDisplayMode320x320:
    case kDisplayModeOther:
        table.ints = Ints320x320();
        break;
    case kDisplayMode240x240:
        table.ints = kInts240x240;
        break;
    default:
        break;
    }
}

void LayoutTable::FillFixed(LayoutTable& table, int displayModeCode)
{
    FixedSet set;
    switch (displayModeCode) {
    case kDisplayMode800x480:
    case kDisplayMode640x480:
        set = FixedSet::Wide640;
        break;
    case kDisplayMode400x240:
    case kDisplayMode320x240:
    case kDisplayMode320x320:
    case kDisplayModeOther:
        set = FixedSet::Wide320;
        break;
    case kDisplayMode240x240:
        set = FixedSet::Square240;
        break;
    default:
        return;
    }
    for (const FixedRow& row : kFixedRows)
        table.fixed[row.entry] = Resolve(row, set);
}
