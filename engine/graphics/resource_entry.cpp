#include "engine/graphics/resource_entry.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/hash_name.h"
#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/text_builder.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/sprite_limits.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/core/text_script.h"

namespace {

// Zero padding wider than this is refused, so a pattern cannot ask for a huge name.
constexpr int kMaxPatternWidth = 16;

// A line that is a whole number and nothing else (an optional minus, at most nine digits).
bool WholeNumber(const char* text, int32_t* out)
{
    const char* digits = text && *text == '-' ? text + 1 : text;
    size_t n = digits ? strlen(digits) : 0;
    if (n == 0 || n > 9 || strspn(digits, "0123456789") != n)
        return false;
    *out = ParseInt(text);
    return true;
}

void Prefixed(String& out, Application* app, const char* name)
{
    String folder = app->GetImageFolder();
    out.Format("%s%s", folder.CStr() ? folder.CStr() : "", name);
}

}  // namespace

bool FormatFramePattern(String& out, const char* pattern, int number)
{
    out.Assign(nullptr);
    if (!pattern)
        return false;
    TextBuilder text;
    bool converted = false;
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%') {
            text.Append(*p);
            continue;
        }
        ++p;
        if (*p == '%') {
            text.Append('%');
            continue;
        }
        int width = 0;
        if (*p == '0') {
            ++p;
            if (*p < '1' || *p > '9')
                return false;
            while (*p >= '0' && *p <= '9') {
                width = width * 10 + (*p - '0');
                if (width > kMaxPatternWidth)
                    return false;
                ++p;
            }
        }
        if ((*p != 'd' && *p != 'i') || converted)
            return false;
        converted = true;
        char digits[32];
        snprintf(digits, sizeof digits, "%0*d", width, number);
        text.Append(digits, strlen(digits));
    }
    out.Assign(text.CStr());
    return true;
}

ResourceEntry::ResourceEntry() = default;

ResourceEntry::~ResourceEntry()
{
    Unload();
    atlasItems_.Clear();
}

void ResourceEntry::SetName(const char* name)
{
    name_.Assign(name);
    nameHash_ = static_cast<int32_t>(HashName(name_.CStr()));
}

void ResourceEntry::SetDeclaration(Application* app, int kind, const char* file, const char* afile, int count,
                                   int columnsOrFirst)
{
    if (!app)
        return;
    application_ = app;
    kind_ = kind;
    file_.Assign(file);
    afile_.Assign(afile);
    count_ = count;
    columnsOrFirst_ = columnsOrFirst;
}

void ResourceEntry::SetSingle(Application* app, const char* file, const char* afile, int count, int columns)
{
    SetDeclaration(app, kSpriteSingle, file, afile, count, columns);
}

void ResourceEntry::SetMulti(Application* app, const char* file, const char* afile, int count, int first)
{
    SetDeclaration(app, kSpriteMulti, file, afile, count, first);
}

void ResourceEntry::SetAtlasData(const char* path)
{
    atlasData_.Assign(path);
    hasAtlasData_ = !atlasData_.IsEmpty();
}

void ResourceEntry::SetAtlas(const char* texture, const char* indexes, int first, int count)
{
    atlasTexture_.Assign(texture);
    atlasIndexes_.Assign(indexes);
    atlasFirst_ = first;
    atlasCount_ = count;
    atlas_ = !atlasTexture_.IsEmpty() && !atlasIndexes_.IsEmpty() && count > 0;
}

void ResourceEntry::SetScriptFlags(bool removeRgbaIn3d, bool force8888Texture)
{
    if (removeRgbaIn3d)
        removeRgbaIn3d_ = true;
    if (force8888Texture)
        force8888Texture_ = true;
}

LoadResult ResourceEntry::Load()
{
    if (kind_ == kSpriteNone || !application_)
        return LoadResult::Failed(name_.CStr(), "a sprite set with no declaration");
    if (loadCount_ >= 1) {
        ++loadCount_;
        return LoadResult();
    }
    LoadResult loaded;
    switch (kind_) {
    case kSpriteMulti:
        loaded = LoadMulti(false);
        break;
    case kSpriteMultiOptional:
        loaded = LoadMulti(true);
        break;
    case kSpriteCommonAlpha:
        loaded = LoadCommonAlpha();
        break;
    default:
        loaded = LoadSheet();
        break;
    }
    if (loaded.failed())
        return loaded;
    if (hasAtlasData_) {
        LoadResult atlas = ReadAtlasData();
        if (atlas.failed()) {
            Unload();
            return atlas;
        }
    }
    return LoadResult();
}

LoadResult ResourceEntry::BadDeclaration() const
{
    return LoadResult::Failed(name_.IsEmpty() ? file_.CStr() : name_.CStr(), "its sprite script declares it wrongly");
}

void ResourceEntry::Release()
{
    --loadCount_;
    if (loadCount_ < 1)
        Unload();
}

void ResourceEntry::Unload()
{
    if (frames_) {
        for (int i = 0; i < frameCount_; ++i) {
            if (frames_[i]) {
                frames_[i]->Release();
                delete frames_[i];
            }
        }
        Free(frames_);
        frames_ = nullptr;
    }
    frameCount_ = 0;
    loadCount_ = 0;
    delete commonAlpha_;
    commonAlpha_ = nullptr;
}

LoadResult ResourceEntry::LoadSheet()
{
    if (count_ < 1 || columnsOrFirst_ < 1 || (file_.IsEmpty() && afile_.IsEmpty()))
        return BadDeclaration();
    int32_t* offsets = nullptr;
    return SheetFailure(LoadSpriteSheet(count_, columnsOrFirst_, file_.CStr(), afile_.CStr(), 0, loadCount_,
                                        frameCount_, frames_, offsets, true, application_, false));
}

LoadResult ResourceEntry::SheetFailure(const LoadResult& why) const
{
    return why.IsUnmade() ? LoadResult::Failed(name_.CStr(), "cannot be made from its declaration") : why;
}

LoadResult ResourceEntry::LoadMulti(bool optional)
{
    // The last frame's number must still be a number.
    if (count_ < 1 || count_ > kMaxSpriteFrames || columnsOrFirst_ < 0 || columnsOrFirst_ > INT32_MAX - count_ ||
        (file_.IsEmpty() && afile_.IsEmpty()))
        return BadDeclaration();
    // Patterns come from data: check both before any file is named with them.
    String name;
    if (!FormatFramePattern(name, file_.CStr() ? file_.CStr() : "", 0) ||
        !FormatFramePattern(name, afile_.CStr() ? afile_.CStr() : "", 0))
        return BadDeclaration();
    frames_ = static_cast<Surface**>(Alloc(sizeof(Surface*) * size_t(count_)));
    if (!frames_)
        return LoadResult::Failed(name_.CStr(), "no memory left");
    memset(frames_, 0, sizeof(Surface*) * size_t(count_));
    frameCount_ = count_;
    bool separateAlpha = !afile_.IsEmpty() && !afile_.Equals(file_);
    String path;
    for (int i = 0; i < count_; ++i) {
        Surface* frame = application_->CreateImage();
        if (!frame) {
            Unload();
            return LoadResult::Failed(name_.CStr(), "no memory left");
        }
        int number = columnsOrFirst_ + i;
        LoadResult why;
        if (!file_.IsEmpty()) {
            FormatFramePattern(name, file_.CStr(), number);
            Prefixed(path, application_, name.CStr() ? name.CStr() : "");
            why = LoadImage(application_, path.CStr(), frame).why;
        }
        if (why.ok() && !frame->GetAlpha() && separateAlpha) {
            FormatFramePattern(name, afile_.CStr(), number);
            Prefixed(path, application_, name.CStr() ? name.CStr() : "");
            why = LoadAlphaImage(application_, path.CStr(), frame).why;
        }
        if (why.ok() && !frame->GetPixels() && !frame->GetAlpha())
            why = LoadResult::Failed(path.CStr(), "holds no picture");
        if (why.failed()) {
            delete frame;
            // An optional set may lack frames; one that is there but damaged is still a failure.
            if (optional && why.IsMissing())
                continue;
            Unload();
            return why;
        }
        frames_[i] = frame;
    }
    loadCount_ = 1;
    return LoadResult();
}

LoadResult ResourceEntry::LoadCommonAlpha()
{
    // The frames are cut from the colour sheet, so both files are needed.
    if (count_ < 1 || columnsOrFirst_ < 1 || file_.IsEmpty() || afile_.IsEmpty())
        return BadDeclaration();
    int32_t* offsets = nullptr;
    LoadResult why = SheetFailure(LoadSpriteSheet(count_, columnsOrFirst_, file_.CStr(), nullptr, 0, loadCount_,
                                                  frameCount_, frames_, offsets, true, application_, false));
    if (why.failed())
        return why;
    commonAlpha_ = application_->CreateImage();
    String path;
    Prefixed(path, application_, afile_.CStr());
    Surface* first = frames_[0];
    why = commonAlpha_ ? LoadAlphaImage(application_, path.CStr(), commonAlpha_).why : LoadResult();
    // Every frame shares the one plane, so it must be exactly one frame in size.
    if (why.ok() && (!commonAlpha_ || !commonAlpha_->GetAlpha() ||
                     commonAlpha_->GetRawWidth() != first->GetRawWidth() ||
                     commonAlpha_->GetRawHeight() != first->GetRawHeight()))
        why = LoadResult::Failed(path.CStr(), "is not one frame's alpha");
    if (why.failed()) {
        Unload();
        return why;
    }
    for (int i = 0; i < frameCount_; ++i)
        frames_[i]->SetAlpha(commonAlpha_->GetAlpha());
    return LoadResult();
}

LoadResult ResourceEntry::ReadAtlasData()
{
    atlasItems_.Clear();
    String path;
    Prefixed(path, application_, atlasData_.CStr());
    std::unique_ptr<PackMemoryFile> file(application_->CreatePackMemoryFile());
    if (!file)
        return LoadResult::Failed(path.CStr(), "no memory left");
    LoadResult opened = file->Load(application_, path.CStr());
    if (opened.failed())
        return opened;
    file->Seek(0, kSeekStart);
    // The count, then five lines an item: name, x, y, w, h. A count or a place that is no number,
    // or fewer items than the count (a list cut short), is a damaged list, not an atlas of fewer items.
    const char* damage = nullptr;
    ShortString line;
    int32_t total = 0;
    if (!ReadScriptLine(file.get(), line) || !WholeNumber(line.CStr(), &total) || total < 0 ||
        total > kMaxSpriteFrames)
        damage = "damaged: no count of its items";
    for (int32_t i = 0; !damage && i < total; ++i) {
        ShortString fields[5];
        bool complete = true;
        for (auto& field : fields)
            complete = complete && ReadScriptLine(file.get(), field);
        if (!complete) {
            damage = "damaged: it holds fewer items than it counts: it is cut short";
            break;
        }
        int32_t box[4] = {};
        for (int f = 0; f < 4 && !damage; ++f) {
            if (!WholeNumber(fields[f + 1].CStr(), &box[f]) || box[f] < (f < 2 ? 0 : 1))
                damage = "damaged: an item's place is no number";
        }
        if (damage)
            break;
        std::unique_ptr<AtlasItem> item(new (std::nothrow) AtlasItem);
        if (!item || !atlasItems_.Append(item.get())) {
            damage = "no memory left";
            break;
        }
        item->name.Assign(fields[0].CStr());
        item->nameHash = static_cast<int32_t>(HashName(item->name.CStr()));
        item->x = box[0];
        item->y = box[1];
        item->w = box[2];
        item->h = box[3];
        item.release();
    }
    if (!damage)
        return LoadResult();
    atlasItems_.Clear();
    return file->Refused(damage);
}
