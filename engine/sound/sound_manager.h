#pragma once
// The engine's sound service: sound effects by slot, one tracker-module track, streamed music,
// switches, volumes and pause, all through the software mixer. The rest of the engine is written
// against SoundManagerBase, whose defaults are silent.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/core/fixed.h"
#include "engine/core/load_result.h"
#include "engine/core/owned_block.h"
#include "engine/core/strings.h"
#include "platform/outcome.h"

class Application;
class Mixer;
class MusicSource;
class MusicStream;
class PackMemoryFile;
class WavSample;

class SoundManagerBase {
public:
    virtual ~SoundManagerBase() = default;
    // 1 = ok, else the mixer's failure code.
    virtual int Init() = 0;
    virtual void Shutdown() = 0;
    // A slot 0..99, or -1 with why.
    virtual LoadedValue<int> LoadSample(const char* path) = 0;
    // 1 accepted, 0 refused.
    virtual int PlaySample(int slot, bool loop) = 0;
    virtual void StopSample(int slot) = 0;
    virtual void UnloadSample(int slot) = 0;
    virtual LoadedValue<int> LoadSampleOgg(const char* path) = 0;
    virtual int Reserved() = 0;
    virtual int StopAll() = 0;
    // Percentages 0..100.
    virtual void SetSfxVolume(int) {}
    virtual int GetSfxVolume() { return 100; }
    virtual void SetMusicVolume(int) {}
    virtual int GetMusicVolume() { return 100; }
    virtual void EnableSfx(bool) {}
    virtual void EnableMusic(bool) {}
    // Safe to call from the power watcher thread.
    virtual void SetPaused(bool) {}
    // 0 ok, -1 failure with why.
    virtual LoadedValue<int> LoadMusic(const char*) { return {0, LoadResult()}; }
    virtual int PlayMusic(int, bool) { return 0; }
    virtual int StopMusic() { return 0; }
    virtual void UnloadMusic() {}
    // A stream slot 0..255, or -1.
    virtual int OpenStream(const char*) { return 0; }
    virtual int PlayStream(int, bool, bool) { return 0; }
    virtual int StopStream(int) { return 0; }
    virtual void CloseStream(int) {}
};

class SoundManager : public SoundManagerBase {
public:
    static constexpr int kSampleSlots = 100;
    static constexpr int kStreamSlots = 256;

    explicit SoundManager(Application* app);
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;
    ~SoundManager() override;

    int Init() override;
    void Shutdown() override;
    LoadedValue<int> LoadSample(const char* path) override;
    int PlaySample(int slot, bool loop) override;
    void StopSample(int slot) override;
    void UnloadSample(int slot) override;
    LoadedValue<int> LoadSampleOgg(const char* path) override;
    int Reserved() override { return 0; }
    int StopAll() override;
    void SetSfxVolume(int percent) override;
    int GetSfxVolume() override;
    void SetMusicVolume(int percent) override;
    int GetMusicVolume() override;
    void EnableSfx(bool on) override { sfxOn_ = on; }
    void EnableMusic(bool on) override;
    void SetPaused(bool paused) override;
    LoadedValue<int> LoadMusic(const char* path) override;
    int PlayMusic(int startOrder, bool loop) override;
    int StopMusic() override;
    void UnloadMusic() override;
    int OpenStream(const char* path) override;
    int PlayStream(int slot, bool asSfx, bool loop) override;
    int StopStream(int slot) override;
    void CloseStream(int slot) override;

    bool IsSfxEnabled() const { return sfxOn_; }
    bool IsMusicEnabled() const { return musicOn_; }
    bool IsPaused() const { return paused_.load(); }
    Mixer* GetMixer() const { return mixer_.get(); }
    WavSample* GetSample(int slot) const;
    MusicStream* GetStream(int slot) const;
    MusicSource* GetMusic() const { return music_.get(); }
    int GetSampleVoice(int slot) const;

private:
    // A level for the mixer: on the quiet device every level is scaled down.
    int Scaled(int level) const;
    int FreeSampleSlot() const;
    PackMemoryFile* NewMemoryFile();
    void ClearHandles();
    void FreeSampleSlotContents(int slot);
    LoadedValue<int> LoadSampleSlot(const char* path, bool ogg);
    Outcome DecodeOggSource(PackMemoryFile* source);
    void FreeMusic();

    // Shutdown frees these in its own order: the device is closed before anything it reads goes.
    std::unique_ptr<Mixer> mixer_;
    std::unique_ptr<WavSample> samples_[kSampleSlots];
    int sampleVoice_[kSampleSlots];
    // Which start of the voice the handle names, so a stolen or ended voice is not mistaken for it.
    uint32_t sampleSerial_[kSampleSlots] = {};
    std::unique_ptr<PackMemoryFile> sampleSource_[kSampleSlots];
    std::unique_ptr<PackMemoryFile> musicFile_;
    OwnedBlock<void> musicData_;
    Application* app_;
    bool sfxOn_ = false;
    bool musicOn_ = false;
    std::unique_ptr<MusicSource> music_;
    String musicName_;
    int musicVolume_ = 100;
    int sfxVolume_ = 100;
    std::atomic<bool> paused_{false};
    bool quietDevice_ = false;
    Fixed deviceFactor_;
    int mixRate_ = 22050;
    std::unique_ptr<MusicStream> streams_[kStreamSlots];
    // Orders the device calls of SetPaused between the main and the power watcher thread.
    std::mutex pauseLock_;
};
