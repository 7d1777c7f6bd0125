#include "engine/graphics/particle_sprites.h"

#include <cstring>
#include <new>

#include "engine/core/strings.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"

namespace {

constexpr int kCacheGrowStep = 15;

// An unset String and "" name the same (absent) file.
bool SameText(const String& stored, const char* text)
{
    const char* s = stored.CStr();
    if (!s || !*s)
        return !text || !*text;
    return text && strcmp(s, text) == 0;
}

}  // namespace

ParticleSpriteCache::ParticleSpriteCache(Application* application)
    : application_(application), list_(new (std::nothrow) ResourceList(application, kCacheGrowStep))
{
}

ParticleSpriteCache::~ParticleSpriteCache()
{
    delete list_;
    list_ = nullptr;
}

ResourceEntry* ParticleSpriteCache::FindOrCreate(const char* file, const char* alphaFile, int count, int columns)
{
    // Without an application a declaration would stay kind 0 and pile up unused in the list.
    if (!list_ || !application_)
        return nullptr;
    for (int i = 0; i < list_->GetCount(); ++i) {
        ResourceEntry* entry = list_->Get(i);
        if (entry->GetKind() == kSpriteSingle && SameText(entry->GetFile(), file) &&
            SameText(entry->GetAlphaFile(), alphaFile) && entry->GetCount() == count &&
            entry->GetColumnsOrFirst() == columns)
            return entry;
    }
    String name;
    name.Format("set_%d", list_->GetCount());
    if (!list_->AddSpriteSetSingle(name.CStr(), file, alphaFile, count, columns, false, false))
        return nullptr;
    ResourceEntry* made = list_->GetLast();
    made->SetMadeByCache(true);
    return made;
}
