#pragma once
// The application's list of declared sprite sets, found by name. The list owns its entries.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class ResourceEntry;

class ResourceList {
public:
    ResourceList(Application* app, int growStep);
    ResourceList(const ResourceList&) = delete;
    ResourceList& operator=(const ResourceList&) = delete;
    virtual ~ResourceList();

    // False for a null entry or when the list cannot grow; the caller keeps the entry then.
    bool Append(ResourceEntry* entry);
    int GetCount() const { return entries_.Count(); }
    ResourceEntry* Get(int index) const { return static_cast<ResourceEntry*>(entries_.Get(index)); }
    ResourceEntry* GetLast() const { return Get(entries_.Count() - 1); }
    void RemoveAt(int index);
    ResourceEntry* FindByName(const char* name) const;
    // The set a screen asks for by name. One that no script read into the list declares is damage
    // of those scripts (a script cut short loses its last sets): the failure names them. A list
    // that no script filled answers null without a failure.
    LoadedValue<ResourceEntry*> Require(const char* name) const;
    // Notes a script read into the list, as its pack names it, for Require's failure.
    void NoteScript(const char* shownName);
    // Sets without atlas data go first: the atlas images outlive the sets that refer to them.
    void Clear();

    // One member per kind: declare a set and append it; false (nothing appended) on failure.
    bool AddSpriteSetSingle(const char* name, const char* file, const char* afile, int count, int columns,
                            bool removeRgbaIn3d, bool force8888Texture);
    bool AddSpriteSetMulti(const char* name, const char* file, const char* afile, int count, int first,
                           bool removeRgbaIn3d, bool force8888Texture);
    bool AddSpriteSetMultiOptional(const char* name, const char* file, const char* afile, int count, int first,
                                   bool removeRgbaIn3d, bool force8888Texture);
    bool AddSpriteSetCommonAlpha(const char* name, const char* file, const char* afile, int count, int columns,
                                 bool removeRgbaIn3d, bool force8888Texture);

    Application* GetApplication() const { return application_; }

private:
    bool AddSpriteSet(int kind, const char* name, const char* file, const char* afile, int count,
                      int columnsOrFirst, bool removeRgbaIn3d, bool force8888Texture);

    Application* application_;
    PtrArray entries_;
    LongString scripts_;  // "ui\sprites.txt or ui\game_sprites.txt"
};

// Reads one sprite script into the application's sprite list; entries made before a failure stay.
// A script that declares no set at all is refused: it is not a sprite script.
LoadResult LoadSpriteScript(Application* app, const char* fileName);
