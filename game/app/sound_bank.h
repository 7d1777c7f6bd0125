#pragma once
// The game's 38 named sound effects: loaded through the sound service when a screen asks for them,
// counted by reference, played by index; and the start and stop of the loaded music.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class SoundManagerBase;

constexpr int kSoundBankSize = 38;
extern const char* const kSoundBankFiles[kSoundBankSize];

struct SoundBankEntry {
    virtual ~SoundBankEntry() = default;
    String name;
    String file;
    int32_t refCount = 0;
    int32_t handle = -1;
};

class SoundBank {
public:
    explicit SoundBank(Application* app) : app_(app) {}
    virtual ~SoundBank() = default;
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    bool LoadTable();
    SoundBankEntry* AddEntry(const char* name, const char* file);
    SoundBankEntry* Find(const char* name) const;
    SoundBankEntry* EntryAt(int index) const;
    int Count() const { return entries_.Count(); }

    LoadResult LoadByIndex(int index) { return LoadEntry(EntryAt(index)); }
    LoadResult LoadByName(const char* name) { return LoadEntry(Find(name)); }
    LoadResult LoadEntry(SoundBankEntry* entry);
    void UnloadByIndex(int index) { ReleaseEntry(EntryAt(index)); }
    void UnloadByName(const char* name) { ReleaseEntry(Find(name)); }
    void ReleaseEntry(SoundBankEntry* entry);

    bool Play(int index) { return Start(index, false); }
    bool PlayLooped(int index) { return Start(index, true); }
    void Stop(int index);
    void PlayMusic(int requestedState = 0);
    void StopMusic();
    int GetMusicState() const { return musicState_; }

private:
    SoundManagerBase* Service() const;
    bool Start(int index, bool loop);

    Application* app_;
    OwnedItemArray<SoundBankEntry> entries_;
    int32_t musicState_ = -1;
};
