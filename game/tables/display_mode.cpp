#include "game/tables/display_mode.h"

int DisplayModeOf(int width, int height)
{
    struct Size {
        int width, height, code;
    };
    static const Size kSizes[] = {
        {800, 480, kDisplayMode800x480}, {640, 480, kDisplayMode640x480}, {320, 320, kDisplayMode320x320},
        {400, 240, kDisplayMode400x240}, {320, 240, kDisplayMode320x240}, {240, 240, kDisplayMode240x240},
    };
    for (const Size& size : kSizes) {
        if (size.width == width && size.height == height)
            return size.code;
    }
    return kDisplayModeOther;
}
