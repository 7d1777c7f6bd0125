#pragma once
// The four help pages' demonstrations, queued on a fresh scene from the display mode's layout
// table: 0 a spinning coin, 1 a chain that opens, takes a shot and explodes (twice, the second
// time with a follow-up combo), 2 swapping the frog's balls with a tap, 3 aiming and shooting.
class HelpScene;
class Surface;

// Layout table integers of the help pages.
enum HelpLayout {
    kHelpCoinX = 103,
    kHelpCoinY = 104,
    kHelpRowX = 105,
    kHelpRowY = 106,
    kHelpSpacing = 107,
    kHelpShotX = 108,
    kHelpShotY = 109,
    kHelpShotSpeed = 110,
    kHelpSwapFrogX = 111,
    kHelpSwapFrogY = 112,
    kHelpTap1X = 113,
    kHelpTap1Y = 114,
    kHelpTap2X = 115,
    kHelpTap2Y = 116,
    kHelpText1X = 117,
    kHelpText1Y = 118,
    kHelpText2X = 119,
    kHelpText2Y = 120,
    kHelpAimFrogX = 121,
    kHelpAimMouthX = 122,
    kHelpAimFrogY = 123,
    kHelpAimTapX = 124,
    kHelpAimTapY = 125,
    kHelpAimTextX = 126,
    kHelpAimTextY = 127,
    kHelpBallSpeed = 128,
    kHelpTargetX = 129,
    kHelpTapTravel = 130,
    kHelpTapSpeed = 131,
};
// Layout table Fixed entry: the speed at which page 1's row opens.
constexpr int kHelpRowSpeedFixed = 51;

// Resets the scene and queues its page's steps; pages outside 0..3 queue nothing. The tap image
// and caption are the help screen's. Always true: a step that could not be queued is missing
// from the demonstration.
bool RunHelpScript(HelpScene& scene, int page, Surface* tapImage, const char* caption);
