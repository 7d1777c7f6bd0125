#include "engine/sound/sound_manager.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/load_result.h"
#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/device_info.h"
#include "engine/sound/mixer.h"
#include "engine/sound/music_source.h"
#include "engine/sound/ogg_music_stream.h"
#include "engine/sound/ogg_sample.h"
#include "engine/sound/wav_music_stream.h"
#include "engine/sound/wav_sample.h"

namespace {

bool ValidSample(int slot)
{
    return slot >= 0 && slot < SoundManager::kSampleSlots;
}

bool ValidStream(int slot)
{
    return slot >= 0 && slot < SoundManager::kStreamSlots;
}

bool EndsWith(const char* path, const char* ending)
{
    size_t n = strlen(path);
    size_t length = strlen(ending);
    return n >= length && memcmp(path + n - length, ending, length) == 0;
}

}  // namespace

SoundManager::SoundManager(Application* app) : app_(app)
{
    for (int& handle : sampleVoice_)
        handle = -1;
}

SoundManager::~SoundManager()
{
    Shutdown();
}

int SoundManager::Scaled(int level) const
{
    if (!quietDevice_)
        return level;
    return static_cast<int>((static_cast<int64_t>(level) * deviceFactor_.raw) >> 8);
}

int SoundManager::Init()
{
    for (int i = 0; i < kSampleSlots; ++i) {
        sampleVoice_[i] = -1;
        sampleSerial_[i] = 0;
    }
    deviceFactor_ = Fixed::Raw(256);
    quietDevice_ = false;
    mixer_.reset(new (std::nothrow) Mixer());
    if (!mixer_)
        return 0;
    bool quiet = OemInfoContains("MotoQ");
    mixRate_ = 22050;
    int opened = mixer_->Open(mixRate_, 16, 0, 1, 8);
    if (opened != 1) {
        // Without a device the service stays silent until its creator deletes it.
        mixer_.reset();
        return opened;
    }
    quietDevice_ = quiet;
    if (quietDevice_)
        deviceFactor_ = Fixed::Raw(38);
    return 1;
}

void SoundManager::Shutdown()
{
    {
        std::lock_guard<std::mutex> hold(pauseLock_);
        if (mixer_) {
            mixer_->Close();
            mixer_.reset();
        }
    }
    for (int i = 0; i < kSampleSlots; ++i)
        FreeSampleSlotContents(i);
    for (std::unique_ptr<MusicStream>& stream : streams_) {
        if (stream) {
            stream->Close();
            stream.reset();
        }
    }
    FreeMusic();
    WavMusicStream::FreeScratch();
}

void SoundManager::FreeMusic()
{
    music_.reset();
    musicFile_.reset();
    musicData_.reset();
}

void SoundManager::FreeSampleSlotContents(int slot)
{
    samples_[slot].reset();
    if (sampleSource_[slot]) {
        sampleSource_[slot]->Close();
        sampleSource_[slot].reset();
    }
    sampleVoice_[slot] = -1;
}

PackMemoryFile* SoundManager::NewMemoryFile()
{
    return app_ ? app_->CreatePackMemoryFile() : new (std::nothrow) PackMemoryFile();
}

int SoundManager::FreeSampleSlot() const
{
    for (int i = 0; i < kSampleSlots; ++i)
        if (!samples_[i])
            return i;
    return -1;
}

void SoundManager::ClearHandles()
{
    for (int& handle : sampleVoice_)
        handle = -1;
}

WavSample* SoundManager::GetSample(int slot) const
{
    return ValidSample(slot) ? samples_[slot].get() : nullptr;
}

MusicStream* SoundManager::GetStream(int slot) const
{
    return ValidStream(slot) ? streams_[slot].get() : nullptr;
}

int SoundManager::GetSampleVoice(int slot) const
{
    return ValidSample(slot) ? sampleVoice_[slot] : -1;
}

LoadedValue<int> SoundManager::LoadSample(const char* path)
{
    if (!path)
        return {-1, LoadResult::Failed(path, "cannot be loaded")};
    return LoadSampleSlot(path, false);
}

LoadedValue<int> SoundManager::LoadSampleOgg(const char* path)
{
    if (!mixer_ || !path)
        return {-1, LoadResult::Failed(path, "cannot be loaded")};
    return LoadSampleSlot(path, true);
}

// The sample points into the file's bytes (for Ogg, the image decoded from them), which the
// slot's source keeps.
LoadedValue<int> SoundManager::LoadSampleSlot(const char* path, bool ogg)
{
    int slot = FreeSampleSlot();
    if (slot < 0)
        return {-1, LoadResult::Failed(path, "every sound slot is taken")};
    FreeSampleSlotContents(slot);
    std::unique_ptr<WavSample> sample(new (std::nothrow) WavSample());
    std::unique_ptr<PackMemoryFile> source(NewMemoryFile());
    LoadResult opened = source ? source->Load(app_, path) : LoadResult::Failed(path, "no memory left");
    if (opened.failed())
        return {-1, opened};
    if (!sample)
        return {-1, source->Refused("no memory left")};
    Outcome decoded = ogg ? DecodeOggSource(source.get()) : Outcome();
    if (decoded.failed())
        return {-1, source->Refused(decoded.Reason())};
    Outcome taken = sample->LoadFromMemory(static_cast<const uint8_t*>(source->GetBuffer()),
                                           static_cast<size_t>(source->GetSize() > 0 ? source->GetSize() : 0));
    if (taken.failed())
        return {-1, source->Refused(taken.Reason())};
    samples_[slot] = std::move(sample);
    sampleSource_[slot] = std::move(source);
    sampleVoice_[slot] = -1;
    return {slot, LoadResult()};
}

// Replaces the source's bytes by the sample image decoded from them.
Outcome SoundManager::DecodeOggSource(PackMemoryFile* source)
{
    mixer_->Lock();
    DecodedOggSample decoded = DecodeOggSample(source);
    mixer_->Unlock();
    if (decoded.why.failed())
        return decoded.why;
    source->Close();
    if (!source->SetBuffer(decoded.image, static_cast<int32_t>(decoded.bytes))) {
        Free(decoded.image);
        return Outcome::Refused("the decoded sound cannot be held");
    }
    return Outcome();
}

int SoundManager::PlaySample(int slot, bool loop)
{
    if (!sfxOn_ || !ValidSample(slot) || !samples_[slot] || !mixer_)
        return 0;
    // A looped sound already going is not started twice.
    if (loop && sampleVoice_[slot] != -1 && mixer_->IsVoicePlaying(sampleVoice_[slot], sampleSerial_[slot]))
        return 1;
    WavSample* sample = samples_[slot].get();
    bool ownLoop = sample->GetLoop();
    sample->SetLoop(loop);
    uint32_t serial = 0;
    int handle = mixer_->PlaySample(sample, &serial);
    sample->SetLoop(ownLoop);
    sampleVoice_[slot] = handle;
    sampleSerial_[slot] = serial;
    return 1;
}

void SoundManager::StopSample(int slot)
{
    if (!mixer_ || !ValidSample(slot) || sampleVoice_[slot] < 0)
        return;
    mixer_->StopVoice(sampleVoice_[slot], sampleSerial_[slot]);
    sampleVoice_[slot] = -1;
}

void SoundManager::UnloadSample(int slot)
{
    if (!mixer_ || !ValidSample(slot) || !samples_[slot])
        return;
    // Voices point into the sample's data: nothing may play it once it is gone.
    mixer_->StopAll();
    ClearHandles();
    FreeSampleSlotContents(slot);
}

int SoundManager::StopAll()
{
    if (mixer_)
        mixer_->StopAll();
    ClearHandles();
    StopMusic();
    return 0;
}

void SoundManager::SetSfxVolume(int percent)
{
    if (!mixer_)
        return;
    sfxVolume_ = percent * 64 / 100;
    mixer_->SetMasterVolume(Scaled(sfxVolume_));
}

int SoundManager::GetSfxVolume()
{
    return mixer_ ? sfxVolume_ * 100 / 64 : 100;
}

void SoundManager::SetMusicVolume(int percent)
{
    if (!mixer_)
        return;
    musicVolume_ = percent * 191 / 100;
    int level = Scaled(musicVolume_) & 0xFF;
    mixer_->Lock();
    if (music_)
        music_->SetVolume(level);
    for (const std::unique_ptr<MusicStream>& stream : streams_)
        if (stream)
            stream->SetVolume(level);
    mixer_->Unlock();
}

int SoundManager::GetMusicVolume()
{
    return mixer_ ? musicVolume_ * 100 / 191 : 100;
}

void SoundManager::EnableMusic(bool on)
{
    musicOn_ = on;
    if (!mixer_ || on)
        return;
    // The audio thread may be rendering these right now.
    mixer_->Lock();
    if (music_)
        music_->Stop();
    for (const std::unique_ptr<MusicStream>& stream : streams_)
        if (stream)
            stream->Stop();
    mixer_->Unlock();
}

// Takes no mixer lock: the power watcher calls it, and the audio thread may hold that lock.
void SoundManager::SetPaused(bool paused)
{
    std::lock_guard<std::mutex> hold(pauseLock_);
    if (!mixer_ || paused_.load() == paused)
        return;
    if (paused)
        mixer_->Pause();
    else
        mixer_->Resume();
    paused_.store(paused);
}

LoadedValue<int> SoundManager::LoadMusic(const char* path)
{
    if (!path)
        return {-1, LoadResult::Failed(path, "cannot be loaded")};
    if (music_ && musicName_.Equals(path))
        return {0, LoadResult()};
    musicName_.Assign(path);
    if (music_ && mixer_)
        mixer_->StopMusic();
    FreeMusic();

    musicFile_.reset(NewMemoryFile());
    LoadResult opened = musicFile_ ? musicFile_->Load(app_, path) : LoadResult::Failed(path, "no memory left");
    if (opened.failed())
        return {-1, opened};
    int32_t size = musicFile_->GetSize();
    LoadResult refused = musicFile_->Refused("damaged: not a module that can be played");
    musicData_.reset(musicFile_->TakeBuffer());
    if (!musicData_ || size <= 0)
        return {-1, refused};
    music_.reset(NewModuleMusic());
    if (music_)
        music_->SetSampleRate(mixRate_);
    if (!music_ || !music_->Load(static_cast<const uint8_t*>(musicData_.get()), static_cast<uint32_t>(size))) {
        music_.reset();
        return {-1, refused};
    }
    return {0, LoadResult()};
}

int SoundManager::PlayMusic(int startOrder, bool loop)
{
    if (!music_ || !musicOn_ || !mixer_)
        return -1;
    mixer_->PlayMusic(music_.get(), startOrder, Scaled(musicVolume_), loop);
    return 0;
}

int SoundManager::StopMusic()
{
    if (mixer_)
        mixer_->StopMusic();
    return 0;
}

void SoundManager::UnloadMusic()
{
    if (mixer_)
        mixer_->StopMusic();
    FreeMusic();
}

int SoundManager::OpenStream(const char* path)
{
    if (!mixer_ || !path)
        return -1;
    for (int i = 0; i < kStreamSlots; ++i)
        if (streams_[i] && streams_[i]->GetName().Equals(path))
            return i;
    int slot = -1;
    for (int i = 0; i < kStreamSlots && slot < 0; ++i)
        if (!streams_[i])
            slot = i;
    if (slot < 0)
        return -1;
    std::unique_ptr<MusicStream> stream;
    mixer_->Lock();
    if (EndsWith(path, ".ogg") || EndsWith(path, ".OGG"))
        stream.reset(new (std::nothrow) OggMusicStream(app_));
    else if (EndsWith(path, ".wav") || EndsWith(path, ".WAV"))
        stream.reset(new (std::nothrow) WavMusicStream(app_));
    if (stream && !stream->Open(path))
        stream.reset();
    mixer_->Unlock();
    if (!stream)
        return -1;
    streams_[slot] = std::move(stream);
    return slot;
}

int SoundManager::PlayStream(int slot, bool asSfx, bool loop)
{
    if (!ValidStream(slot) || !streams_[slot] || !mixer_)
        return -1;
    if (asSfx ? !sfxOn_ : !musicOn_)
        return -1;
    mixer_->AddStream(streams_[slot].get(), Scaled(asSfx ? sfxVolume_ : musicVolume_), loop);
    return 0;
}

int SoundManager::StopStream(int slot)
{
    if (!ValidStream(slot) || !streams_[slot] || !mixer_)
        return -1;
    mixer_->RemoveStream(streams_[slot].get());
    return 0;
}

void SoundManager::CloseStream(int slot)
{
    if (!ValidStream(slot) || !streams_[slot] || !mixer_)
        return;
    mixer_->RemoveStream(streams_[slot].get());
    mixer_->Lock();
    streams_[slot]->Close();
    streams_[slot].reset();
    mixer_->Unlock();
}
