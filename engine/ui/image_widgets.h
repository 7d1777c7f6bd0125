#pragma once
// The picture leaves: one frame of an image, a progress bar drawn from an empty and a full
// image, and a background assembled from nine tiles of the sprite list.
#include <cstdint>

#include "engine/ui/script_widget.h"
#include "engine/ui/widget_image.h"

class ImageWidget : public ScriptWidget {
public:
    using ScriptWidget::ScriptWidget;

    bool Init() override;
    void Draw() override;
    Size& GetPreferredSize(Size& out) override;
    Surface* GetFrameImage() const { return image_.GetFrameImage(); }

protected:
    ImageRef image_;
};

class ProgressBarWidget : public ScriptWidget {
public:
    using ScriptWidget::ScriptWidget;

    bool Init() override;
    void Draw() override;
    Size& GetPreferredSize(Size& out) override;
    // 0..256 of the full image's width.
    void SetValue(int value);
    int GetValue() const { return value_; }
    int GetFilledWidth() const { return filledWidth_; }

protected:
    ImageRef emptyImage_, fullImage_;
    int16_t fullOffsetX_ = 0, fullOffsetY_ = 0;
    uint8_t emptyPartOnly_ = 0;
    int value_ = 0;
    int filledWidth_ = 0;
};

class TiledBgWidget : public ScriptWidget {
public:
    TiledBgWidget(Widget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement, int tilesX,
                  int tilesY);

    bool Init() override;
    void Draw() override { DrawTiles(); }
    Size& GetPreferredSize(Size& out) override;
    void DrawTiles();
    bool LoadTile(ImageRef& tile, const char* setName);
    void ComputeNaturalSize();

    int GetTilesX() const { return tilesX_; }
    int GetTilesY() const { return tilesY_; }
    // Repeats the middle row as many times (at least 1); the natural size follows.
    void SetTilesY(int tiles);
    int GetCenterTileHeight() const { return rowHeight_[1]; }
    int GetNaturalWidth() const { return naturalWidth_; }
    int GetNaturalHeight() const { return naturalHeight_; }

protected:
    int tilesX_, tilesY_;
    // In the description's order: rows top, middle, bottom of columns left, middle, right.
    ImageRef tiles_[kTileCount];
    bool sideTiles_ = false;
    int naturalWidth_ = 0, naturalHeight_ = 0;
    Surface* grid_[3][3] = {};
    bool rowPresent_[3] = {}, columnPresent_[3] = {};
    int firstColumn_ = 0, lastColumn_ = 0, firstRow_ = 0, lastRow_ = 0;
    int rowHeight_[3] = {}, columnWidth_[3] = {};
};
