#include "engine/ui/widget_image.h"

#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/core/text_script.h"
#include "engine/ui/widget_desc.h"

void ImageRef::Release()
{
    if (entry) {
        if (owned)
            delete entry;
        else if (loaded)
            entry->Release();
    }
    entry = nullptr;
    owned = false;
    loaded = false;
}

Surface* ImageRef::GetFrameImage() const
{
    return entry ? entry->GetFrame(frame) : nullptr;
}

Surface* ImageRef::GetMeasureImage() const
{
    if (!entry)
        return nullptr;
    Surface* image = entry->GetFrame(frame);
    return image ? image : entry->GetFrame(0);
}

int ImageRef::GetFrameCount() const
{
    return entry ? entry->GetFrameCount() : 0;
}

int ImageRef::GetWidth() const
{
    Surface* image = GetMeasureImage();
    return image ? image->GetWidth() : 0;
}

int ImageRef::GetHeight() const
{
    Surface* image = GetMeasureImage();
    return image ? image->GetHeight() : 0;
}

LoadResult LoadWidgetImage(Application* app, ImageRef& out, const ImageSpec& spec)
{
    out.Release();
    if (!app)
        return LoadResult::Failed(spec.file.CStr(), "no application to read it");
    if (!spec.useSet) {
        ShortString file(spec.file.CStr()), afile(spec.afile.CStr());
        if (!PairImageNames(file, afile))
            return LoadResult();
        std::unique_ptr<ResourceEntry> entry(new (std::nothrow) ResourceEntry());
        if (!entry)
            return LoadResult::Failed(file.CStr(), "no memory left");
        int frames = spec.frameCount < 1 ? 1 : spec.frameCount;
        if (frames != 1)
            entry->SetSingle(app, file.CStr(), afile.CStr(), frames, spec.columns < 1 ? 1 : spec.columns);
        else
            entry->SetMulti(app, file.CStr(), afile.CStr(), 1, spec.columns);
        LoadResult why = entry->Load();
        if (why.failed())
            return why;
        out.entry = entry.release();
        out.owned = true;
    } else {
        ResourceList* list = app->GetSpriteList();
        if (!list)
            return LoadResult::Failed(spec.set.CStr(), "no sprite list");
        // A widget that names no set shows none; one that names a set the scripts lack is theirs to answer for.
        if (spec.set.IsEmpty())
            return LoadResult();
        LoadedValue<ResourceEntry*> required = list->Require(spec.set.CStr());
        if (!required.value)
            return required.why;  // ok for a list no script filled: the widget shows no set
        ResourceEntry* entry = required.value;
        LoadResult why = entry->Load();
        if (why.failed())
            return why;
        out.entry = entry;
        out.loaded = true;
    }
    out.frame = static_cast<int16_t>(spec.frame);
    return LoadResult();
}
