#include "engine/sound/music_stream.h"

#include <algorithm>
#include <new>

#include "engine/core/application.h"
#include "engine/core/disk_file.h"

namespace {

constexpr int32_t kMaxStreamBytes = 256 << 20;

}  // namespace

bool MusicStream::OpenFile(const char* path)
{
    if (!path)
        return false;
    file = app ? app->CreateDiskFile() : new (std::nothrow) DiskFile();
    return file && file->Open(app, path, kStreamRead) && file->GetSize() >= 0 && file->GetSize() <= kMaxStreamBytes;
}

void MusicStream::SetFormat(int rate, int channels, const char* path)
{
    rate_ = rate;
    channels_ = channels;
    mixRate_ = 22050;
    step_ = rate_ * 256 / mixRate_;
    name_ = String(path);
}

void MusicStream::CloseFile()
{
    active = false;
    loop_ = false;
    rate_ = 0;
    step_ = 0;
    channels_ = 0;
    if (file) {
        file->Close();
        delete file;
        file = nullptr;
    }
}

void MusicStream::AddScaled(int16_t& out, int32_t value) const
{
    out = static_cast<int16_t>(std::clamp(out + ((value * level_) >> 7), -32768, 32767));
}
