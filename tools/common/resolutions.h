#pragma once
// The six screen sizes the game ships data for, with the folders the game reads for each.
#include <string>

struct DataResolution {
    const char* name;         // "640x480"...
    int width, height;
    const char* uiFolder;     // below the staging tree
    const char* imageFolder;  // below the staging tree
};

inline constexpr DataResolution kDataResolutions[6] = {
    {"640x480", 640, 480, "ui/ui_vga", "i_VGA"},
    {"800x480", 800, 480, "ui/ui_800x480", "i_800x480"},
    {"320x240", 320, 240, "ui/ui_qvga", "i_QVGA"},
    {"400x240", 400, 240, "ui/ui_400x240", "i_400x240"},
    {"320x320", 320, 320, "ui/ui_320x320", "i_320x320"},
    {"240x240", 240, 240, "ui/ui_240x240", "i_240x240"},
};

inline const DataResolution* FindDataResolution(const std::string& name)
{
    for (const DataResolution& r : kDataResolutions)
        if (name == r.name)
            return &r;
    return nullptr;
}
