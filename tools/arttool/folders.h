#pragma once
// The six image folders, the scale of the 640x480 design space each is drawn at, and where the
// design area sits on its screen (the layout table's offsets, ints 0 and 1).
#include <string>
#include <vector>

namespace art {

struct Scale {
    int num, den;
    double Value() const { return double(num) / den; }
    // Whole pixels of a design length at this scale, or -1 when it does not come out whole.
    int Pixels(int design) const { return design * num % den ? -1 : design * num / den; }
};

struct Folder {
    std::string name;
    int scale;  // index into Scales()
    int width, height;
    int offsetX, offsetY;
};

// Full-screen art is drawn on this design-space canvas, which covers every screen's view.
constexpr int kCanvasX = -80, kCanvasY = -80, kCanvasW = 800, kCanvasH = 640;

inline const std::vector<Scale>& Scales()
{
    static const std::vector<Scale> scales = {{1, 1}, {1, 2}, {3, 8}};
    return scales;
}

inline const std::vector<Folder>& Folders()
{
    static const std::vector<Folder> folders = {
        {"i_VGA", 0, 640, 480, 0, 0},      {"i_800x480", 0, 800, 480, 80, 0},
        {"i_QVGA", 1, 320, 240, 0, 0},     {"i_400x240", 1, 400, 240, 40, 0},
        {"i_320x320", 1, 320, 320, 0, 40}, {"i_240x240", 2, 240, 240, 0, 30},
    };
    return folders;
}

inline const Folder* FindFolder(const std::string& name)
{
    for (const Folder& f : Folders())
        if (f.name == name)
            return &f;
    return nullptr;
}

}  // namespace art
