#include "game/app/sound_bank.h"

#include <cstring>
#include <memory>

#include "engine/core/application.h"
#include "engine/sound/sound_manager.h"

const char* const kSoundBankFiles[kSoundBankSize] = {
    "ballclick1.ogg",   "ballclick2.ogg",     "fireball1.ogg",       "warning1.ogg",        "bombexplode.ogg",
    "earthquake.ogg",   "frogland2.ogg",      "jewelappear.ogg",     "gemvanishes.ogg",     "coingrab.ogg",
    "chain1.ogg",       "gapbonus1.ogg",      "rolling.ogg",         "extralife.ogg",       "slowdown1.ogg",
    "reverse1.ogg",     "accuracy3.ogg",      "lighttrail2.ogg",     "chant3.ogg",          "chant1.ogg",
    "chant2.ogg",       "chant4.ogg",         "chant14.ogg",         "chant8.ogg",          "chant5.ogg",
    "chant6.ogg",       "endoflevelpop1.ogg", "ballsdestroyed1.ogg", "ballsdestroyed3.ogg", "chime1.ogg",
    "chime2.ogg",       "chime3.ogg",         "chime4.ogg",          "button1.ogg",         "button2.ogg",
    "choral1.ogg",      "pop.ogg",            "ufo1.ogg",
};

namespace {

bool EndsWithOgg(const char* path)
{
    size_t n = strlen(path);
    return n >= 4 && memcmp(path + n - 4, ".ogg", 4) == 0;
}

}  // namespace

SoundManagerBase* SoundBank::Service() const
{
    return app_ ? app_->GetSoundManager() : nullptr;
}

bool SoundBank::LoadTable()
{
    for (const char* file : kSoundBankFiles) {
        if (!AddEntry(file, file))
            return false;
    }
    return true;
}

SoundBankEntry* SoundBank::AddEntry(const char* name, const char* file)
{
    std::unique_ptr<SoundBankEntry> entry(new (std::nothrow) SoundBankEntry());
    if (!entry)
        return nullptr;
    entry->name.Assign(name);
    entry->file.Assign(file);
    if (!entries_.Append(entry.get()))
        return nullptr;
    return entry.release();
}

SoundBankEntry* SoundBank::Find(const char* name) const
{
    if (!name)
        return nullptr;
    for (int i = 0; i < entries_.Count(); ++i) {
        SoundBankEntry* entry = entries_.Get(i);
        if (entry->name.Equals(name))
            return entry;
    }
    return nullptr;
}

SoundBankEntry* SoundBank::EntryAt(int index) const
{
    return index >= 0 && index < entries_.Count() ? entries_.Get(index) : nullptr;
}

LoadResult SoundBank::LoadEntry(SoundBankEntry* entry)
{
    SoundManagerBase* service = Service();
    if (!entry || !service)
        return LoadResult::Failed(entry ? entry->file.CStr() : nullptr, entry ? "no sound service" : "no such effect");
    if (entry->refCount == 0) {
        String path;
        String::Concat(path, app_->GetSoundFolder(), entry->file);
        const char* text = path.CStr() ? path.CStr() : "";
        LoadedValue<int> handle = EndsWithOgg(text) ? service->LoadSampleOgg(text) : service->LoadSample(text);
        if (handle.value < 0)
            return handle.why;
        entry->handle = handle.value;
    }
    ++entry->refCount;
    return LoadResult();
}

void SoundBank::ReleaseEntry(SoundBankEntry* entry)
{
    SoundManagerBase* service = Service();
    // Only a loaded entry gives back a slot: an extra release must not free a slot that has since
    // gone to another effect.
    if (!entry || !service || entry->refCount <= 0)
        return;
    if (--entry->refCount < 1) {
        service->UnloadSample(entry->handle);
        entry->refCount = 0;
        entry->handle = -1;
    }
}

bool SoundBank::Start(int index, bool loop)
{
    SoundManagerBase* service = Service();
    SoundBankEntry* entry = EntryAt(index);
    if (!service || !entry || entry->handle < 0)
        return false;
    return service->PlaySample(entry->handle, loop) != 0;
}

void SoundBank::Stop(int index)
{
    SoundManagerBase* service = Service();
    SoundBankEntry* entry = EntryAt(index);
    if (service && entry && entry->handle >= 0)
        service->StopSample(entry->handle);
}

void SoundBank::PlayMusic(int requestedState)
{
    if (requestedState == musicState_)
        return;
    SoundManagerBase* service = Service();
    if (!service)
        return;
    service->StopMusic();
    musicState_ = -1;
    if (service->PlayMusic(0, true) >= 0)
        musicState_ = 0;
}

void SoundBank::StopMusic()
{
    if (musicState_ == -1)
        return;
    musicState_ = -1;
    if (SoundManagerBase* service = Service())
        service->StopMusic();
}
