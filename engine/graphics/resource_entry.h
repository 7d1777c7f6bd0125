#pragma once
// One named sprite set: its declaration (kind, files, frame layout) and, while loaded, its frames.
// Loading is reference-counted: the first Load reads the images, the last Release frees them.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class Surface;

enum SpriteKind : int32_t {
    kSpriteNone = 0,
    kSpriteSingle = 1,
    kSpriteMulti = 2,
    kSpriteMultiOptional = 3,
    kSpriteCommonAlpha = 4,
};

struct AtlasItem {
    String name;
    int32_t x = 0, y = 0, w = 0, h = 0;
    int32_t nameHash = 0;
};

class ResourceEntry {
public:
    ResourceEntry();
    ResourceEntry(const ResourceEntry&) = delete;
    ResourceEntry& operator=(const ResourceEntry&) = delete;
    virtual ~ResourceEntry();

    void SetName(const char* name);
    // Private sets of widgets and particles: kind 1 cut from one sheet, kind 2 one file per frame.
    void SetSingle(Application* app, const char* file, const char* afile, int count, int columns);
    void SetMulti(Application* app, const char* file, const char* afile, int count, int first);
    // Any kind; columnsOrFirst is the columns of kinds 1 and 4, the first frame number of 2 and 3.
    void SetDeclaration(Application* app, int kind, const char* file, const char* afile, int count,
                        int columnsOrFirst);
    void SetAtlasData(const char* path);
    void SetAtlas(const char* texture, const char* indexes, int first, int count);
    void SetScriptFlags(bool removeRgbaIn3d, bool force8888Texture);
    void SetForceAtlas(bool on) { forceAtlas_ = on; }
    // Marks the sets the particle sprite cache made: they belong to its list, not to a system.
    void SetMadeByCache(bool on) { madeByCache_ = on; }

    // All or nothing: a failure leaves the entry unloaded (or, when it was loaded, as it was).
    LoadResult Load();
    void Release();

    Application* GetApplication() const { return application_; }
    Surface* GetFrame(int index) const { return index >= 0 && index < frameCount_ ? frames_[index] : nullptr; }
    int GetFrameCount() const { return frameCount_; }
    int GetLoadCount() const { return loadCount_; }
    Surface* GetCommonAlpha() const { return commonAlpha_; }
    const String& GetName() const { return name_; }
    int32_t GetNameHash() const { return nameHash_; }
    const String& GetFile() const { return file_; }
    const String& GetAlphaFile() const { return afile_; }
    int GetKind() const { return kind_; }
    int GetCount() const { return count_; }
    int GetColumnsOrFirst() const { return columnsOrFirst_; }
    bool GetRemoveRgbaIn3d() const { return removeRgbaIn3d_; }
    bool GetForce8888Texture() const { return force8888Texture_; }
    bool GetForceAtlas() const { return forceAtlas_; }
    bool IsMadeByCache() const { return madeByCache_; }
    bool HasAtlasData() const { return hasAtlasData_; }
    const String& GetAtlasData() const { return atlasData_; }
    bool HasAtlas() const { return atlas_; }
    const String& GetAtlasTexture() const { return atlasTexture_; }
    const String& GetAtlasIndexes() const { return atlasIndexes_; }
    int GetAtlasFirst() const { return atlasFirst_; }
    int GetAtlasCount() const { return atlasCount_; }
    int GetAtlasItemCount() const { return atlasItems_.Count(); }
    const AtlasItem* GetAtlasItem(int index) const
    {
        return index >= 0 && index < atlasItems_.Count() ? atlasItems_.Get(index) : nullptr;
    }

private:
    LoadResult LoadSheet();
    LoadResult LoadMulti(bool optional);
    LoadResult LoadCommonAlpha();
    LoadResult ReadAtlasData();
    // Why the set cannot be loaded as its script declares it.
    LoadResult BadDeclaration() const;
    // A sheet that could not be cut for want of memory or by its declaration is told as the set's.
    LoadResult SheetFailure(const LoadResult& why) const;
    void Unload();

    Application* application_ = nullptr;
    Surface** frames_ = nullptr;
    int32_t frameCount_ = 0;
    int32_t loadCount_ = 0;
    Surface* commonAlpha_ = nullptr;
    String name_;
    int32_t nameHash_ = 0;
    String file_;
    String afile_;
    int32_t count_ = 1;
    int32_t columnsOrFirst_ = 0;
    int32_t kind_ = kSpriteNone;
    bool removeRgbaIn3d_ = false;
    bool force8888Texture_ = false;
    bool hasAtlasData_ = false;
    String atlasData_;
    OwnedItemArray<AtlasItem> atlasItems_{50};
    bool atlas_ = false;
    String atlasTexture_;
    String atlasIndexes_;
    int32_t atlasFirst_ = 0;
    int32_t atlasCount_ = 0;
    bool forceAtlas_ = false;
    bool madeByCache_ = false;
};

// The file name of one frame of a multi set: the pattern with its one integer conversion (%d, %i
// or %0Nd) replaced by the number; %% is a percent sign and a pattern without a conversion names
// the same file for every frame. False, leaving out empty, for any other conversion.
bool FormatFramePattern(String& out, const char* pattern, int number);
