#include <cstring>
#include <memory>

#include "engine/core/application.h"
#include "engine/core/memory.h"
#include "engine/core/strings.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/sprite_limits.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"

namespace {

struct Grid {
    int count, columns;
    int frameWidth = 0, frameHeight = 0;

    Grid(const Surface* image, int count_, int columns_) : count(count_), columns(columns_)
    {
        int rows = (count + columns - 1) / columns;
        if (rows < 1)
            rows = 1;
        frameWidth = image->GetWidth() / columns;
        frameHeight = image->GetHeight() / rows;
    }
    // The cell's rectangle in the image's raw buffer, as a copy offset that lands it at a frame's origin.
    RawRect Cell(const Surface* image, int i) const
    {
        return MapLogicalRect(image->GetOrientation(), image->GetRawWidth(), image->GetRawHeight(),
                              (i % columns) * frameWidth, (i / columns) * frameHeight, frameWidth, frameHeight);
    }
};

Surface* NewFrame(Application* app, const Grid& grid)
{
    std::unique_ptr<Surface> frame(app->CreateImage());
    if (frame && !CreateSurfaceOriented(app, frame.get(), grid.frameWidth, grid.frameHeight))
        return nullptr;
    return frame.release();
}

LoadResult LoadWhole(Application* app, const String& folder, const char* name, bool alphaOnly,
                     std::unique_ptr<Surface>& out)
{
    String path;
    path.Format("%s%s", folder.CStr() ? folder.CStr() : "", name);
    std::unique_ptr<Surface> surface(app->CreateImage());
    if (!surface)
        return LoadResult::Unmade(path.CStr(), "no memory left");
    LoadedValue<Surface*> loaded = alphaOnly ? LoadAlphaImage(app, path.CStr(), surface.get())
                                             : LoadImage(app, path.CStr(), surface.get());
    if (!loaded.value)
        return loaded.why;
    out = std::move(surface);
    return LoadResult();
}

}  // namespace

LoadResult LoadSpriteSheet(int count, int columns, const char* file, const char* afile, int, int32_t& loadCounter,
                           int32_t& frameCount, Surface**& frames, int32_t*& offsets, bool keepAlpha,
                           Application* app, bool makeOffsets)
{
    bool haveFile = file && *file, haveAlpha = afile && *afile;
    const char* sheetName = haveFile ? file : afile;
    if (!app || columns < 1 || columns > kMaxSpriteColumns || count < 1 || count > kMaxSpriteFrames ||
        (!haveFile && !haveAlpha))
        return LoadResult::Unmade(sheetName, "cannot be cut into the frames declared for it");
    bool sameAlpha = !haveAlpha || (haveFile && strcmp(file, afile) == 0);
    String folder = app->GetImageFolder();
    ++loadCounter;
    if (frameCount != 0)
        return LoadResult();

    std::unique_ptr<Surface> sheet;
    std::unique_ptr<Surface> alphaSheet;
    bool ownOffsets = false;
    auto fail = [&](const LoadResult& why) {
        if (frames) {
            for (int i = 0; i < count; ++i)
                delete frames[i];
            Free(frames);
            frames = nullptr;
        }
        if (ownOffsets) {
            Free(offsets);
            offsets = nullptr;
        }
        frameCount = 0;
        --loadCounter;
        return why;
    };
    auto noMemory = [&]() { return fail(LoadResult::Unmade(sheetName, "no memory left")); };

    frames = static_cast<Surface**>(Alloc(sizeof(Surface*) * size_t(count)));
    if (!frames)
        return noMemory();
    memset(frames, 0, sizeof(Surface*) * size_t(count));
    if (makeOffsets) {
        offsets = static_cast<int32_t*>(Alloc(sizeof(int32_t) * 2 * size_t(count)));
        if (!offsets)
            return noMemory();
        ownOffsets = true;
        memset(offsets, 0, sizeof(int32_t) * 2 * size_t(count));
    }
    frameCount = count;

    if (haveFile) {
        LoadResult loaded = LoadWhole(app, folder, file, false, sheet);
        if (loaded.failed())
            return fail(loaded);
        Grid grid(sheet.get(), count, columns);
        for (int i = 0; i < count; ++i) {
            Surface* frame = NewFrame(app, grid);
            if (!frame)
                return noMemory();
            frames[i] = frame;
            if (!haveAlpha)
                frame->FreeAlpha();
            RawRect cell = grid.Cell(sheet.get(), i);
            sheet->CopyTo(frame, -cell.x, -cell.y, 0, 0);
            if (sameAlpha) {
                if (sheet->GetAlpha())
                    sheet->CopyAlphaTo(frame, -cell.x, -cell.y, 0, 0);
                else
                    frame->FreeAlpha();
            }
        }
        sheet.reset();
    }

    if (!sameAlpha) {
        LoadResult loaded = LoadWhole(app, folder, afile, true, alphaSheet);
        if (loaded.failed())
            return fail(loaded);
        // Without a colour sheet the frames take their size from the alpha image.
        Grid grid(alphaSheet.get(), count, columns);
        for (int i = 0; i < count; ++i) {
            if (!frames[i]) {
                Surface* frame = NewFrame(app, grid);
                if (!frame)
                    return noMemory();
                frames[i] = frame;
                if (!haveFile)
                    frame->FreePixels();
            }
            RawRect cell = grid.Cell(alphaSheet.get(), i);
            alphaSheet->CopyAlphaTo(frames[i], -cell.x, -cell.y, 0, 0);
        }
        alphaSheet.reset();
    }

    for (int i = 0; i < count; ++i) {
        frames[i]->ReturnTrue();
        if (!keepAlpha)
            frames[i]->BuildColourKey();
    }
    return LoadResult();
}
