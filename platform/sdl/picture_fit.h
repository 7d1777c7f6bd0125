#pragma once
// Where the device's picture lies in an area of the desktop, and which device pixel a point of that
// area falls on. Plain arithmetic, so the window's size on any desktop can be worked out by hand.

namespace sdlbackend {

struct PictureRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// The picture of width x height centred in the area: at the largest whole multiple that fits
// (square, sharp pixels), or, when not even one fits, as large as the area allows with the aspect
// kept. Never larger than the area, so a window placed this way lies inside it.
PictureRect FitPicture(int areaX, int areaY, int areaWidth, int areaHeight, int width, int height);
// The picture centred in the area as large as its shape allows, whatever the scale (a full screen).
PictureRect FillPicture(int areaX, int areaY, int areaWidth, int areaHeight, int width, int height);
// The whole multiple the placed picture is of width x height; 0 when it is no whole multiple.
int WholeScale(const PictureRect& picture, int width, int height);

// The device pixel under the point (px, py) of the area, measured at the point's pixel centre and
// held to the screen, so a drag into the black bars stays on the edge.
void MapToDevice(const PictureRect& picture, int width, int height, double px, double py, int* x, int* y);

}  // namespace sdlbackend
