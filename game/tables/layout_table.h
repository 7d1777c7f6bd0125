#pragma once
// The per-display-mode table of screen positions, sizes, speeds and distances that the screens,
// board objects and rules read by entry number. Filled once at start-up for the game area's
// display-mode code, then only read.
#include <array>
#include <cstdint>

#include "engine/core/fixed.h"

// The integer entries, named after what they place; a name marked "+ n" starts a run of entries.
enum LayoutIntEntry : int {
    kLayoutOriginX = 0,  // the 640x480 design area's offset on the screen
    kLayoutOriginY = 1,
    kLayoutCurveSamples = 2,  // per curve segment
    kLayoutShotSpeed = 3,     // pixels per step
    kLayoutBallFrameRange = 4,
    kLayoutFrogWidth = 5,
    kLayoutFrogHeight = 6,
    kLayoutBombRadius = 7,
    kLayoutBombRing = 8,
    kLayoutMouthDistance = 14,  // from the frog's centre
    kLayoutProgressX = 15,
    kLayoutProgressY = 16,
    kLayoutScoreRight = 17,
    kLayoutScoreY = 18,
    kLayoutLivesX = 19,
    kLayoutLivesSpacing = 20,
    kLayoutLivesY = 21,
    kLayoutLevelCaptionX = 22,  // centre
    kLayoutLevelCaptionY = 23,
    kLayoutAdvBackX = 24,
    kLayoutAdvBackY = 25,
    kLayoutTemple2X = 26,  // each temple image's x, then its y
    kLayoutTemple2LockedX = 28,
    kLayoutTemple3X = 30,
    kLayoutTemple3LockedX = 32,
    kLayoutTemple4X = 34,
    kLayoutTemple4Y = 35,
    kLayoutDoorX = 39,  // + door 1..12
    kLayoutDoorY = 51,  // + door 1..12
    kLayoutRiseJitter = 64,
    kLayoutLevelTitleRight = 69,
    kLayoutLevelTitleY = 70,  // then the map name's y
    kLayoutSparkleEndMargin = 72,
    kLayoutGemX = 73,  // + gem 0..3
    kLayoutGemY = 77,  // + gem 0..3
    kLayoutGauntBgX = 81,
    kLayoutGauntBgY = 82,
    kLayoutThumbX = 83,
    kLayoutThumbY = 84,
    kLayoutThumbW = 85,
    kLayoutThumbH = 86,
    kLayoutModeNameRight = 87,
    kLayoutModeNameTop = 88,
    kLayoutEmblemX = 89,
    kLayoutEmblemY = 90,
    kLayoutSurvivalCaptionX = 91,  // centre
    kLayoutSurvivalCaptionY = 92,
    kLayoutSunX = 93,
    kLayoutSunY = 94,
    kLayoutQuakeX = 95,  // + quake piece 0..3
    kLayoutQuakeY = 99,  // + quake piece 0..3
    kLayoutHelpCoinX = 103,
    kLayoutHelpCoinY = 104,
    kLayoutHelpRowX = 105,
    kLayoutHelpRowY = 106,
    kLayoutHelpSpacing = 107,
    kLayoutHelpShotX = 108,
    kLayoutHelpShotY = 109,
    kLayoutHelpShotSpeed = 110,
    kLayoutHelpSwapFrogX = 111,
    kLayoutHelpSwapFrogY = 112,
    kLayoutHelpTap1X = 113,
    kLayoutHelpTap1Y = 114,
    kLayoutHelpTap2X = 115,
    kLayoutHelpTap2Y = 116,
    kLayoutHelpText1X = 117,
    kLayoutHelpText1Y = 118,
    kLayoutHelpText2X = 119,
    kLayoutHelpText2Y = 120,
    kLayoutHelpAimFrogX = 121,
    kLayoutHelpAimMouthX = 122,
    kLayoutHelpAimFrogY = 123,
    kLayoutHelpAimTapX = 124,
    kLayoutHelpAimTapY = 125,
    kLayoutHelpAimTextX = 126,
    kLayoutHelpAimTextY = 127,
    kLayoutHelpBallSpeed = 128,
    kLayoutHelpTargetX = 129,
    kLayoutHelpTapTravel = 130,
    kLayoutHelpTapSpeed = 131,
    kLayoutWalkX = 132,  // + waypoint 0..3
    kLayoutWalkY = 136,  // + waypoint 0..3
    kLayoutEvenSpeed = 140,
    kLayoutOddSpeed = 141,
    kLayoutLastSpeed = 142,
    kLayoutStageTextY = 143,
    kLayoutCompleteTextY = 144,
    kLayoutOrbit1X = 145,
    kLayoutOrbit1Y = 146,
    kLayoutOrbit2X = 147,
    kLayoutOrbit2Y = 148,
    kLayoutOrbitRadius = 149,
    kLayoutEndTextX = 150,  // then the text's y, width and height
    kLayoutEndStep = 154,   // pixels per update
    kLayoutBackCaptionX = 155,
    kLayoutNextCaptionX = 156,
    kLayoutMapCaptionY = 157,
    kLayoutMenuCaptionX = 158,
    kLayoutMenuCaptionY = 159,
    kLayoutMenuPressX = 160,
    kLayoutMenuPressY = 161,
    kLayoutOptionsPressY = 162,
    kLayoutHelpPressY = 163,
    kLayoutFrogTouch = 164,  // reach of a tap on the frog
    kLayoutUnderlineLead = 165,
    kLayoutEyeMaskX = 166,
    kLayoutEyeMaskY = 167,
    kLayoutLeftEyeCentreX = 168,
    kLayoutLeftEyeCentreY = 169,
    kLayoutRightEyeCentreX = 170,
    kLayoutRightEyeCentreY = 171,
    kLayoutLeftEyeX = 172,
    kLayoutLeftEyeY = 173,
    kLayoutRightEyeX = 174,
    kLayoutRightEyeY = 175,
    kLayoutCaptionX = 176,
    kLayoutCaptionY = 177,
    kLayoutFrameBands = 178,  // + frame piece TL, TR, L, R, BL, B, BR
    kLayoutGapBonusScale = 185,
    kLayoutLetterCaptionX = 186,
    kLayoutLetterCaptionY = 187,
};

// The Fixed entries: scales, speeds and distances.
enum LayoutFixedEntry : int {
    kLayoutDesignScale = 0,  // design pixels to screen pixels
    kLayoutLookAhead = 1,    // how far ahead a rolling ball looks to orient itself
    kLayoutBallRadius = 2,
    kLayoutBallDiameter = 3,
    kLayoutGrowthStep = 4,  // of an inserted ball, per frame
    kLayoutRollInSpeed = 5,
    kLayoutNormalSpeed = 6,
    kLayoutEndSpeed = 7,
    kLayoutRushSpeed = 8,
    kLayoutReverseSpeed = 9,
    kLayoutGapClosing = 10,  // + value 0..2
    kLayoutPushLimit = 13,
    kLayoutTunnelMargin = 14,
    kLayoutLifeLostSpeed = 15,
    kLayoutStarSpreadX = 19,  // the even stars' and the sparks'
    kLayoutStarSpreadY = 20,
    kLayoutOddStarSpreadX = 21,
    kLayoutOddStarSpreadY = 22,
    kLayoutTextRise = 24,  // of a floating text, per frame
    kLayoutShadowOffset = 25,
    kLayoutRecoilSpeed = 28,
    kLayoutRecoilReturn = 29,
    kLayoutRecoilLimit = 30,
    kLayoutNextBallOffset = 31,
    kLayoutBlinkOffset = 32,
    kLayoutTongueOffset = 33,
    kLayoutNoseOffset = 34,
    kLayoutPreviewSparkleSpeed = 35,
    kLayoutSweepSparkleSpeed = 36,
    kLayoutPreviewSparkleStep = 37,
    kLayoutSweepSparkleStep = 38,
    kLayoutAimGuideX = 39,
    kLayoutAimGuideY = 40,
    kLayoutSweepRadius = 41,
    kLayoutQuakeSpeedX = 42,  // + quake piece 0..3
    kLayoutQuakeSpeedY = 46,  // + quake piece 0..3
    kLayoutNebulaScroll = 50,
    kLayoutHelpRowSpeed = 51,
    kLayoutAboutAutoSpeed = 52,
    kLayoutAboutKeySpeed = 53,
};

class LayoutTable {
public:
    static constexpr int kIntCount = 188;
    static constexpr int kFixedCount = 54;

    // Writes the 188 integers of the code's set; a code without a set leaves them as they were.
    static void FillInts(LayoutTable& table, int displayModeCode);
    // Writes the Fixed values of the code's set; a code without a set leaves them as they were.
    static void FillFixed(LayoutTable& table, int displayModeCode);

    std::array<int32_t, kIntCount> ints{};
    std::array<Fixed, kFixedCount> fixed{};
};
