#pragma once
// Where the game's resources lie for a game area: the UI folder and the screen pack follow the
// display-mode code, the image folder its own width-and-height rule. Names are relative to the
// program folder and end in a backslash, as the game joins them.

// The game areas the application registers, in order (ties in the fitting rule go to the earlier).
struct GameResolution {
    int width, height;
};
constexpr int kGameResolutionCount = 10;
extern const GameResolution kGameResolutions[kGameResolutionCount];

// "ui\" followed by the folder of the display mode; "ui\" alone for a code with no folder.
const char* UiFolderName(int displayMode);
// "i_VGA\", "i_QVGA\", "i_320x320\", "i_800x480\", "i_400x240\" or "i_240x240\".
const char* ImageFolderName(int width, int height);
const char* ScreenPakName(int displayMode);
const char* CommonPakName();
