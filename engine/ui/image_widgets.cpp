#include "engine/ui/image_widgets.h"

#include "engine/core/application.h"
#include "engine/graphics/surface.h"

bool ImageWidget::Init()
{
    if (!ScriptWidget::Init())
        return false;
    auto* desc = dynamic_cast<ImageDesc*>(desc_);
    return desc && Loaded(LoadWidgetImage(application_, image_, desc->image));
}

void ImageWidget::Draw()
{
    Surface* screen = GetScreen();
    Surface* image = image_.GetFrameImage();
    if (!screen || !image || effectiveAlpha_ <= 0)
        return;
    image->Draw(screen, x_, y_, image->GetWidth(), image->GetHeight(), 0, ImageAlphaOffset(effectiveAlpha_));
}

Size& ImageWidget::GetPreferredSize(Size& out)
{
    out = Size{width_, height_};
    if (out.w < 2)
        out.w = image_.GetWidth();
    if (out.h < 2)
        out.h = image_.GetHeight();
    return out;
}

bool ProgressBarWidget::Init()
{
    if (!ScriptWidget::Init())
        return false;
    auto* desc = dynamic_cast<ProgressBarDesc*>(desc_);
    // The description has no keys for the offsets or the empty-part flag: they stay 0.
    return desc && Loaded(LoadWidgetImage(application_, emptyImage_, desc->emptyImage)) &&
           Loaded(LoadWidgetImage(application_, fullImage_, desc->fullImage));
}

void ProgressBarWidget::SetValue(int value)
{
    value = value < 0 ? 0 : value > 256 ? 256 : value;
    if (value == value_)
        return;
    Surface* full = fullImage_.GetFrameImage();
    if (!full)
        return;
    value_ = value;
    filledWidth_ = (full->GetWidth() * value) >> 8;
}

void ProgressBarWidget::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0)
        return;
    int alpha = ImageAlphaOffset(effectiveAlpha_);
    if (Surface* empty = emptyImage_.GetFrameImage()) {
        if (!emptyPartOnly_) {
            empty->Draw(screen, x_, y_, empty->GetWidth(), empty->GetHeight(), 0, alpha);
        } else {
            int from = fullOffsetX_ + filledWidth_;
            if (from < empty->GetWidth())
                empty->BlitRegion(screen, x_ + from, y_, empty->GetWidth() - from, empty->GetHeight(), from, 0, alpha);
        }
    }
    Surface* full = fullImage_.GetFrameImage();
    if (full && filledWidth_ > 0)
        full->BlitRegion(screen, x_ + fullOffsetX_, y_ + fullOffsetY_, filledWidth_, full->GetHeight(), 0, 0, alpha);
}

Size& ProgressBarWidget::GetPreferredSize(Size& out)
{
    out = Size{width_, height_};
    if (out.w < 2) {
        out.w = emptyImage_.GetWidth();
        if (out.w < 2)
            out.w = fullImage_.GetWidth();
    }
    if (out.h < 2) {
        out.h = emptyImage_.GetHeight();
        if (out.h < 2)
            out.h = fullImage_.GetHeight();
    }
    return out;
}

TiledBgWidget::TiledBgWidget(Widget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement,
                             int tilesX, int tilesY)
    : ScriptWidget(parent, layout, desc, placement), tilesX_(tilesX), tilesY_(tilesY)
{
}

bool TiledBgWidget::LoadTile(ImageRef& tile, const char* setName)
{
    ImageSpec spec;
    spec.useSet = true;
    spec.set.Assign(setName);
    return Loaded(LoadWidgetImage(application_, tile, spec));
}

void TiledBgWidget::ComputeNaturalSize()
{
    naturalWidth_ = tilesX_ * tiles_[kTileCenter].GetWidth() + tiles_[kTileLeft].GetWidth() +
                    tiles_[kTileRight].GetWidth();
    naturalHeight_ = tilesY_ * tiles_[kTileCenter].GetHeight() + tiles_[kTileTop].GetHeight() +
                     tiles_[kTileBottom].GetHeight();
}

bool TiledBgWidget::Init()
{
    if (!ScriptWidget::Init())
        return false;
    auto* desc = dynamic_cast<TiledBgDesc*>(desc_);
    if (!desc)
        return false;
    sideTiles_ = desc->sideTiles != 0;
    static const int kMiddle[] = {kTileCenter, kTileTop, kTileBottom};
    static const int kSides[] = {kTileLeft, kTileLeftTop, kTileLeftBottom, kTileRight, kTileRightTop, kTileRightBottom};
    for (int slot : kMiddle) {
        if (!LoadTile(tiles_[slot], desc->tiles[slot].CStr()))
            return false;
    }
    if (sideTiles_) {
        for (int slot : kSides) {
            if (!LoadTile(tiles_[slot], desc->tiles[slot].CStr()))
                return false;
        }
    }
    if (desc->ownTiles) {
        tilesX_ = desc->tilesX;
        tilesY_ = desc->tilesY;
    }
    ComputeNaturalSize();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            grid_[row][column] = tiles_[row * 3 + column].GetFrameImage();
    auto any = [this](int a, int b, int c) {
        return tiles_[a].entry || tiles_[b].entry || tiles_[c].entry;
    };
    columnPresent_[0] = sideTiles_ && any(kTileLeftTop, kTileLeft, kTileLeftBottom);
    columnPresent_[1] = any(kTileTop, kTileCenter, kTileBottom);
    columnPresent_[2] = sideTiles_ && any(kTileRightTop, kTileRight, kTileRightBottom);
    rowPresent_[0] = any(kTileLeftTop, kTileTop, kTileRightTop);
    rowPresent_[1] = any(kTileLeft, kTileCenter, kTileRight);
    rowPresent_[2] = any(kTileLeftBottom, kTileBottom, kTileRightBottom);
    firstColumn_ = columnPresent_[0] ? 0 : columnPresent_[1] ? 1 : 2;
    lastColumn_ = columnPresent_[2] ? 2 : columnPresent_[1] ? 1 : 0;
    firstRow_ = rowPresent_[0] ? 0 : rowPresent_[1] ? 1 : 2;
    lastRow_ = rowPresent_[2] ? 2 : rowPresent_[1] ? 1 : 0;
    for (int column = 0; column < 3; ++column) {
        columnWidth_[column] = 0;
        for (int row = 0; row < 3; ++row) {
            if (tiles_[row * 3 + column].entry) {
                columnWidth_[column] = tiles_[row * 3 + column].GetWidth();
                break;
            }
        }
    }
    for (int row = 0; row < 3; ++row) {
        rowHeight_[row] = 0;
        for (int column = 0; column < 3; ++column) {
            if (tiles_[row * 3 + column].entry) {
                rowHeight_[row] = tiles_[row * 3 + column].GetHeight();
                break;
            }
        }
    }
    return true;
}

void TiledBgWidget::DrawTiles()
{
    Surface* screen = GetScreen();
    if (!screen || firstColumn_ > lastColumn_ || firstRow_ > lastRow_ || effectiveAlpha_ <= 0)
        return;
    int alpha = ImageAlphaOffset(effectiveAlpha_);
    int y = y_;
    for (int row = firstRow_; row <= lastRow_; ++row) {
        int rowRepeats = row == 1 ? tilesY_ : 1;
        for (int r = 0; r < rowRepeats; ++r) {
            int x = x_;
            for (int column = firstColumn_; column <= lastColumn_; ++column) {
                int columnRepeats = column == 1 ? tilesX_ : 1;
                for (int c = 0; c < columnRepeats; ++c) {
                    if (Surface* image = grid_[row][column])
                        image->Draw(screen, x, y, image->GetWidth(), image->GetHeight(), 0, alpha);
                    x += columnWidth_[column];
                }
            }
            y += rowHeight_[row];
        }
    }
}

void TiledBgWidget::SetTilesY(int tiles)
{
    tilesY_ = tiles < 1 ? 1 : tiles;
    ComputeNaturalSize();
}

Size& TiledBgWidget::GetPreferredSize(Size& out)
{
    out = Size{naturalWidth_ < 1 ? width_ : naturalWidth_, naturalHeight_ < 1 ? height_ : naturalHeight_};
    return out;
}
