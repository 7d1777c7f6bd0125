#include "engine/graphics/resource_list.h"

#include <cstdio>
#include <memory>
#include <new>

#include "engine/core/hash_name.h"
#include "engine/graphics/resource_entry.h"

ResourceList::ResourceList(Application* app, int growStep) : application_(app), entries_(growStep) {}

ResourceList::~ResourceList()
{
    Clear();
}

bool ResourceList::Append(ResourceEntry* entry)
{
    return entry && entries_.Add(entry);
}

void ResourceList::RemoveAt(int index)
{
    if (index < 0 || index >= entries_.Count())
        return;
    delete Get(index);
    entries_.RemoveAt(index);
}

ResourceEntry* ResourceList::FindByName(const char* name) const
{
    if (!name)
        return nullptr;
    int32_t hash = static_cast<int32_t>(HashName(name));
    for (int i = 0; i < entries_.Count(); ++i) {
        ResourceEntry* entry = Get(i);
        if (entry->GetNameHash() == hash && entry->GetName().Equals(name))
            return entry;
    }
    return nullptr;
}

LoadedValue<ResourceEntry*> ResourceList::Require(const char* name) const
{
    ResourceEntry* entry = FindByName(name);
    // A list no script filled has no file to answer for what it lacks.
    if (entry || scripts_.Length() == 0)
        return {entry, LoadResult()};
    char reason[120];
    snprintf(reason, sizeof reason, "damaged: the sprite set \"%s\" is not declared", name ? name : "");
    return {nullptr, LoadResult::Failed(scripts_.CStr(), reason)};
}

void ResourceList::NoteScript(const char* shownName)
{
    if (!shownName || !*shownName)
        return;
    LongString joined(scripts_.Length() ? scripts_.CStr() : "");
    LongString::Concat(scripts_, joined, LongString(scripts_.Length() ? " or " : ""));
    joined = scripts_;
    LongString::Concat(scripts_, joined, LongString(shownName));
}

void ResourceList::Clear()
{
    for (int i = 0; i < entries_.Count();) {
        ResourceEntry* entry = Get(i);
        if (entry->HasAtlasData()) {
            ++i;
            continue;
        }
        delete entry;
        entries_.RemoveAt(i);
    }
    for (int i = 0; i < entries_.Count(); ++i)
        delete Get(i);
    entries_.FreeStorage();
}

bool ResourceList::AddSpriteSet(int kind, const char* name, const char* file, const char* afile, int count,
                                int columnsOrFirst, bool removeRgbaIn3d, bool force8888Texture)
{
    std::unique_ptr<ResourceEntry> entry(new (std::nothrow) ResourceEntry());
    if (!entry)
        return false;
    entry->SetDeclaration(application_, kind, file, afile, count, columnsOrFirst);
    entry->SetName(name);
    entry->SetScriptFlags(removeRgbaIn3d, force8888Texture);
    if (!Append(entry.get()))
        return false;
    entry.release();
    return true;
}

bool ResourceList::AddSpriteSetSingle(const char* name, const char* file, const char* afile, int count,
                                      int columns, bool removeRgbaIn3d, bool force8888Texture)
{
    return AddSpriteSet(kSpriteSingle, name, file, afile, count, columns, removeRgbaIn3d, force8888Texture);
}

bool ResourceList::AddSpriteSetMulti(const char* name, const char* file, const char* afile, int count, int first,
                                     bool removeRgbaIn3d, bool force8888Texture)
{
    return AddSpriteSet(kSpriteMulti, name, file, afile, count, first, removeRgbaIn3d, force8888Texture);
}

bool ResourceList::AddSpriteSetMultiOptional(const char* name, const char* file, const char* afile, int count,
                                             int first, bool removeRgbaIn3d, bool force8888Texture)
{
    return AddSpriteSet(kSpriteMultiOptional, name, file, afile, count, first, removeRgbaIn3d, force8888Texture);
}

bool ResourceList::AddSpriteSetCommonAlpha(const char* name, const char* file, const char* afile, int count,
                                           int columns, bool removeRgbaIn3d, bool force8888Texture)
{
    return AddSpriteSet(kSpriteCommonAlpha, name, file, afile, count, columns, removeRgbaIn3d, force8888Texture);
}
