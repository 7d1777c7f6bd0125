#include "contact_sheet.h"

#include <algorithm>

#include "engine/core/frame_shot.h"

void ContactSheet::Add(const uint16_t* pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0)
        return;
    int factor = (width + kThumbWidth - 1) / kThumbWidth;
    Thumb thumb;
    thumb.width = width / factor;
    thumb.height = height / factor;
    thumb.rgb.resize(static_cast<size_t>(thumb.width) * thumb.height * 3);
    // Each thumbnail pixel is the mean of its factor x factor block.
    for (int y = 0; y < thumb.height; ++y)
        for (int x = 0; x < thumb.width; ++x) {
            unsigned sum[3] = {0, 0, 0};
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) {
                    unsigned p = pixels[static_cast<size_t>(y * factor + dy) * width + x * factor + dx];
                    unsigned r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
                    sum[0] += r << 3 | r >> 2;
                    sum[1] += g << 2 | g >> 4;
                    sum[2] += b << 3 | b >> 2;
                }
            uint8_t* out = &thumb.rgb[(static_cast<size_t>(y) * thumb.width + x) * 3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>(sum[c] / (factor * factor));
        }
    thumbs_.push_back(std::move(thumb));
}

std::vector<uint8_t> ContactSheet::Compose(int* width, int* height) const
{
    int cellW = 0, cellH = 0;
    for (const Thumb& t : thumbs_) {
        cellW = std::max(cellW, t.width);
        cellH = std::max(cellH, t.height);
    }
    int count = Count();
    int columns = std::min(count, kColumns);
    int rows = columns > 0 ? (count + columns - 1) / columns : 0;
    *width = columns * (cellW + kGap) + kGap;
    *height = rows * (cellH + kGap) + kGap;
    std::vector<uint8_t> sheet(static_cast<size_t>(*width) * *height * 3, 48);
    for (int i = 0; i < count; ++i) {
        const Thumb& t = thumbs_[static_cast<size_t>(i)];
        int left = kGap + (i % columns) * (cellW + kGap);
        int top = kGap + (i / columns) * (cellH + kGap);
        for (int y = 0; y < t.height; ++y)
            std::copy_n(&t.rgb[static_cast<size_t>(y) * t.width * 3], t.width * 3,
                        &sheet[(static_cast<size_t>(top + y) * *width + left) * 3]);
    }
    return sheet;
}

bool ContactSheet::Write(const std::string& path) const
{
    if (thumbs_.empty())
        return false;
    int width = 0, height = 0;
    std::vector<uint8_t> sheet = Compose(&width, &height);
    return WriteRgbPng(path.c_str(), width, height, sheet.data()).ok();
}
