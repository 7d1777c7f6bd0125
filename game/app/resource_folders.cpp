#include "game/app/resource_folders.h"

#include "game/tables/display_mode.h"

const GameResolution kGameResolutions[kGameResolutionCount] = {
    {640, 480}, {480, 640}, {320, 240}, {240, 320}, {320, 320},
    {800, 480}, {480, 800}, {400, 240}, {240, 400}, {240, 240},
};

const char* UiFolderName(int displayMode)
{
    switch (displayMode) {
    case kDisplayMode640x480:
        return "ui\\ui_vga\\";
    case kDisplayMode320x240:
        return "ui\\ui_qvga\\";
    case kDisplayMode320x320:
    case kDisplayModeOther:
        return "ui\\ui_320x320\\";
    case kDisplayMode800x480:
        return "ui\\ui_800x480\\";
    case kDisplayMode400x240:
        return "ui\\ui_400x240\\";
    case kDisplayMode240x240:
        return "ui\\ui_240x240\\";
    default:
        return "ui\\";
    }
}

const char* ImageFolderName(int width, int height)
{
    if ((width == 320 && height >= 320) || (width > 320 && height == 320))
        return "i_320x320\\";
    if (width == 320 && height == 240)
        return "i_QVGA\\";
    if (width == 800 && height == 480)
        return "i_800x480\\";
    if (width == 400 && height == 240)
        return "i_400x240\\";
    if (width == 240 && height == 240)
        return "i_240x240\\";
    return "i_VGA\\";
}

const char* ScreenPakName(int displayMode)
{
    switch (displayMode) {
    case kDisplayMode800x480:
        return "_game_800x480.pak";
    case kDisplayMode320x320:
        return "_game_320x320.pak";
    case kDisplayMode400x240:
        return "_game_400x240.pak";
    case kDisplayMode320x240:
        return "_game_320x240.pak";
    case kDisplayMode240x240:
        return "_game_240x240.pak";
    default:
        return "_game_640x480.pak";
    }
}

const char* CommonPakName()
{
    return "_game_common.pak";
}
