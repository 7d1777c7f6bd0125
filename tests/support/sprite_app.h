#pragma once
// A disk application with a sprite list, an image folder in its scratch folder, and PNG art drawn
// per test: sheets whose cells each have their own colour and alpha.
#include <string>

#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/image_loader.h"
#include "support/disk_app.h"
#include "tests/engine/graphics/image_fixtures.h"

class SpriteApp : public DiskApp {
public:
    SpriteApp() { imageFolder = Engine("") + "\\"; }
    ResourceList* GetSpriteList() override { return &sprites; }
    void SetRotation(int rotation) { rotation_ = rotation; }

    // The colour of cell i: red steps of 8 so 5:6:5 keeps it exact, blue marks the cell's row.
    static int CellRed(int i) { return (i * 24 + 8) & 0xF8; }
    static int CellBlue(int row) { return (row * 64 + 32) & 0xF8; }
    static uint16_t CellPixel(int i, int row)
    {
        return uint16_t(((CellRed(i) >> 3) << 11) | (CellBlue(row) >> 3));
    }
    static int CellAlpha(int i) { return 10 + i * 20; }

    // A w x h RGBA sheet of cells cw x ch, numbered along rows of `columns`.
    bool WriteSheet(const std::string& name, int w, int h, int cw, int ch, int columns, bool withAlpha = true)
    {
        int components = withAlpha ? 4 : 3;
        auto samples = fixtures::Fill(w, h, components, [&](int x, int y, unsigned char* p) {
            int row = y / ch, i = row * columns + x / cw;
            p[0] = static_cast<unsigned char>(CellRed(i));
            p[1] = 0;
            p[2] = static_cast<unsigned char>(CellBlue(row));
            if (withAlpha)
                p[3] = static_cast<unsigned char>(CellAlpha(i));
        });
        return fixtures::WritePng(Host(name), w, h, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, 8, samples);
    }
    // An alpha image: each cell's alpha plus `offset`.
    bool WriteAlphaSheet(const std::string& name, int w, int h, int cw, int ch, int columns, int offset)
    {
        auto samples = fixtures::Fill(w, h, 2, [&](int x, int y, unsigned char* p) {
            p[0] = 0;
            p[1] = static_cast<unsigned char>(CellAlpha((y / ch) * columns + x / cw) + offset);
        });
        return fixtures::WritePng(Host(name), w, h, PNG_COLOR_TYPE_GRAY_ALPHA, 8, samples);
    }

    ResourceList sprites{this, 10};
};
