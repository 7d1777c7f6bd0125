#include "platform/sdl/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sdlbackend {

namespace {

PictureRect Centre(int areaX, int areaY, int areaWidth, int areaHeight, int w, int h)
{
    PictureRect picture;
    picture.w = std::clamp(w, 1, areaWidth);
    picture.h = std::clamp(h, 1, areaHeight);
    picture.x = areaX + (areaWidth - picture.w) / 2;
    picture.y = areaY + (areaHeight - picture.h) / 2;
    return picture;
}

}  // namespace

PictureRect FitPicture(int areaX, int areaY, int areaWidth, int areaHeight, int width, int height)
{
    if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return PictureRect();
    int scale = std::min(areaWidth / width, areaHeight / height);
    if (scale < 1)
        return FillPicture(areaX, areaY, areaWidth, areaHeight, width, height);
    return Centre(areaX, areaY, areaWidth, areaHeight, width * scale, height * scale);
}

PictureRect FillPicture(int areaX, int areaY, int areaWidth, int areaHeight, int width, int height)
{
    if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return PictureRect();
    if (int64_t(areaWidth) * height <= int64_t(areaHeight) * width) {
        // The width is the tighter side: it fills the area and the height follows, rounded.
        int h = static_cast<int>((int64_t(height) * areaWidth * 2 + width) / (int64_t(width) * 2));
        return Centre(areaX, areaY, areaWidth, areaHeight, areaWidth, h);
    }
    int w = static_cast<int>((int64_t(width) * areaHeight * 2 + height) / (int64_t(height) * 2));
    return Centre(areaX, areaY, areaWidth, areaHeight, w, areaHeight);
}

int WholeScale(const PictureRect& picture, int width, int height)
{
    if (width <= 0 || height <= 0 || picture.w % width != 0)
        return 0;
    int scale = picture.w / width;
    return scale >= 1 && picture.h == height * scale ? scale : 0;
}

void MapToDevice(const PictureRect& picture, int width, int height, double px, double py, int* x, int* y)
{
    if (picture.w <= 0 || picture.h <= 0) {
        *x = std::clamp(static_cast<int>(px), 0, std::max(width - 1, 0));
        *y = std::clamp(static_cast<int>(py), 0, std::max(height - 1, 0));
        return;
    }
    double dx = std::floor((px + 0.5 - picture.x) * width / picture.w);
    double dy = std::floor((py + 0.5 - picture.y) * height / picture.h);
    *x = static_cast<int>(std::clamp(dx, 0.0, double(std::max(width - 1, 0))));
    *y = static_cast<int>(std::clamp(dy, 0.0, double(std::max(height - 1, 0))));
}

}  // namespace sdlbackend
