#include "engine/sound/module_music.h"

#include <memory>
#include <new>

#include "engine/core/memory.h"
#include "engine/sound/module_player.h"

ModuleMusic::~ModuleMusic()
{
    if (!player_)
        return;
    Stop();
    ModulePlayer::Unload(player_);
    player_->~ModulePlayer();
    Free(player_);
    player_ = nullptr;
}

bool ModuleMusic::Init()
{
    if (player_)
        return true;
    void* block = Alloc(sizeof(ModulePlayer));
    if (!block)
        return false;
    player_ = new (block) ModulePlayer();
    playing_ = 0;
    reserved_ = 0;
    stereo_ = 0;
    outputRate_ = 16000;
    player_->SetOutputFormat(16000, 1, 16, true);
    return true;
}

void ModuleMusic::SetSampleRate(int rate)
{
    if (!player_ || rate == outputRate_)
        return;
    if (rate != 8000 && rate != 11025 && rate != 16000 && rate != 22050 && rate != 44100)
        return;
    uint8_t wasPlaying = playing_;
    playing_ = 0;
    outputRate_ = rate;
    player_->SetOutputFormat(rate, stereo_ ? 2 : 1, 16, true);
    playing_ = wasPlaying && player_->playing;
}

bool ModuleMusic::Load(const uint8_t* data, uint32_t size)
{
    if (!player_)
        return false;
    Stop();
    ModulePlayer::Unload(player_);
    return ModulePlayer::Load(data, size, player_) == 0;
}

void ModuleMusic::Play()
{
    if (!player_ || playing_)
        return;
    if (player_->Start())
        playing_ = 1;
}

void ModuleMusic::Stop()
{
    if (!player_ || !playing_)
        return;
    player_->Stop();
    playing_ = 0;
}

void ModuleMusic::Render(int16_t* buffer, int samples)
{
    if (!playing_ || !buffer || samples <= 0)
        return;
    player_->outputBuffer = buffer;
    player_->outputBytes = samples * 2;
    player_->Render();
    player_->outputBuffer = nullptr;
    if (!player_->playing)
        playing_ = 0;
}

void ModuleMusic::SetVolume(int volume)
{
    if (player_)
        player_->moduleVolume = static_cast<uint8_t>(volume);
}

int ModuleMusic::GetVolume()
{
    return player_ ? player_->moduleVolume : 0;
}

void ModuleMusic::SetOrder(int order)
{
    if (player_)
        player_->orderPos = order;
}

void ModuleMusic::SetLoop(bool loop)
{
    if (player_)
        player_->loop = loop;
}

MusicSource* NewModuleMusic()
{
    std::unique_ptr<ModuleMusic> music(new (std::nothrow) ModuleMusic());
    if (music && !music->Init())
        return nullptr;
    return music.release();
}
