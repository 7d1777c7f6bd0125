#include "engine/core/options_record.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/core/application.h"
#include "engine/core/archive.h"
#include "engine/core/byte_order.h"
#include "engine/core/engine_keys.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/strings.h"
#include "platform/keys.h"

namespace {

constexpr int32_t kSaveCapacity = 15000;
constexpr int32_t kRawBlockSize = 192;
// Far above any real settings file; a larger one is refused before it is read.
constexpr int32_t kMaxFileSize = 1 << 20;
const char kFileName[] = "global.opt";
constexpr int32_t kVolumeLowest = 0;
constexpr int32_t kVolumeHighest = 100;
const char kClosingText[] = "BasicDataEnd";

bool OptionsPath(Application* application, String& path)
{
    if (!application)
        return false;
    path = OptionsRecord::FilePath(application);
    return true;
}

}  // namespace

String OptionsRecord::FilePath(Application* application)
{
    String path;
    if (application)
        String::Concat(path, application->GetSaveDirectory(), String(kFileName));
    return path;
}

uint32_t MakeFourCC(const char* text)
{
    if (!text)
        return 0;
    uint32_t word = 0;
    for (int i = 0; i < 4 && text[i]; ++i)
        word |= static_cast<uint32_t>(static_cast<uint8_t>(text[i])) << (8 * i);
    return word;
}

OptionsRecord::OptionsRecord() = default;

OptionsRecord::~OptionsRecord() = default;

void OptionsRecord::SetDefaultKeys()
{
    static const int32_t codes[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN};
    for (int key = kKeyLeft; key <= kKeyAction; ++key) {
        keyCodes[key] = codes[key - kKeyLeft];
        keyFlags[key] = 0;
    }
}

void OptionsRecord::SetDefaults()
{
    // Every entry, so nothing a damaged file left half-read survives.
    memset(keyCodes, 0, sizeof keyCodes);
    memset(keyFlags, 0, sizeof keyFlags);
    soundOn = true;
    soundVolume = 50;
    musicOn = true;
    musicVolume = 50;
    mute = false;
    rotation = 0;
    version = 1;
    tolerated_[0] = 0;
    SetDefaultKeys();
}

bool OptionsRecord::NoteTolerated(const char* format, ...)
{
    if (tolerated_[0] || !format)
        return false;
    va_list args;
    va_start(args, format);
    vsnprintf(tolerated_, sizeof tolerated_, format, args);
    va_end(args);
    return tolerated_[0] != 0;
}

bool OptionsRecord::Refuse(const char* format, ...)
{
    if (!refusal_[0] && format) {
        va_list args;
        va_start(args, format);
        vsnprintf(refusal_, sizeof refusal_, format, args);
        va_end(args);
    }
    return false;
}

void OptionsRecord::NoteLooseFlag(const Archive& archive)
{
    if (archive.LooseFlagAt() >= 0)
        NoteTolerated("the flag byte at offset %d is %d, read as 1", static_cast<int>(archive.LooseFlagAt()),
                      archive.LooseFlagByte());
}

void OptionsRecord::CheckLoadedValues()
{
    auto volume = [this](int32_t& value, const char* what) {
        const int32_t held = std::clamp(value, kVolumeLowest, kVolumeHighest);
        if (held != value)
            NoteTolerated("the %s %d is outside %d..%d, taken as %d", what, static_cast<int>(value),
                          static_cast<int>(kVolumeLowest), static_cast<int>(kVolumeHighest), static_cast<int>(held));
        value = held;
    };
    volume(soundVolume, "sound volume");
    volume(musicVolume, "music volume");
    // Any other word would make every start fail on the rotation.
    if (rotation != -2 && rotation != 0 && rotation != 1 && rotation != 2) {
        NoteTolerated("the screen rotation %d is none of -2, 0, 1, 2, taken as automatic", static_cast<int>(rotation));
        rotation = -2;
    }
}

bool OptionsRecord::Serialize(Stream* stream, bool saving)
{
    ArchiveContext archive;
    archive.Init(stream, saving);
    if (saving)
        version = 1;
    archive.SerializeInt32(version);
    // Written as 1 and never compared: another value is only said.
    if (!saving && version != 1)
        NoteTolerated("the version word is %u, not 1", version);
    archive.SerializeBool(soundOn);
    archive.SerializeValue(soundVolume);
    archive.SerializeBool(musicOn);
    archive.SerializeValue(musicVolume);
    archive.SerializeBool(mute);
    archive.SerializeValue(rotation);
    for (int i = 0; i < 32; ++i) {
        archive.SerializeValue(keyCodes[i]);
        bool flag = keyFlags[i] != 0;
        archive.SerializeBool(flag);
        keyFlags[i] = flag ? 1 : 0;
    }
    if (saving) {
        String text(kClosingText);
        archive.SerializeString(text);
        return archive.Succeeded();
    }
    // The closing text is whole when the file holds its length word and its characters.
    const int32_t closing = static_cast<int32_t>(4 + sizeof kClosingText - 1);
    const bool cut = archive.GetShortfall() > 0 || !stream || stream->GetSize() - stream->Tell() < closing;
    String text;
    archive.SerializeString(text);
    if (cut)
        return Refuse("cut short");
    if (!archive.Succeeded() || !text.Equals(kClosingText))
        return Refuse("damaged: its settings do not end in %s", kClosingText);
    NoteLooseFlag(archive);
    CheckLoadedValues();
    return true;
}

bool OptionsRecord::SerializeDerivedRaw(Stream*, bool)
{
    return true;
}

bool OptionsRecord::WriteRaw(Stream* stream)
{
    if (!stream)
        return false;
    // Field by field with zero padding, in the layout the raw file has always had.
    uint8_t block[kRawBlockSize] = {};
    WriteLe32(block, MakeFourCC("APPS"));
    block[4] = soundOn ? 1 : 0;
    WriteLe32(block + 8, static_cast<uint32_t>(soundVolume));
    block[12] = musicOn ? 1 : 0;
    WriteLe32(block + 16, static_cast<uint32_t>(musicVolume));
    block[20] = mute ? 1 : 0;
    for (int i = 0; i < 32; ++i)
        WriteLe32(block + 24 + 4 * i, static_cast<uint32_t>(keyCodes[i]));
    memcpy(block + 152, keyFlags, 32);
    WriteLe32(block + 184, static_cast<uint32_t>(rotation));
    WriteLe32(block + 188, MakeFourCC("APPE"));
    if (stream->Write(block, kRawBlockSize) != kRawBlockSize)
        return false;
    if (!HasDerivedBlock())
        return true;
    return stream->WriteUInt32(MakeFourCC("DRVS")) == 4 && SerializeDerivedRaw(stream, true) &&
           stream->WriteUInt32(MakeFourCC("DRVE")) == 4;
}

bool OptionsRecord::ReadRaw(Stream* stream)
{
    if (!stream)
        return false;
    uint8_t block[kRawBlockSize];
    if (stream->Read(block, kRawBlockSize) != kRawBlockSize)
        return Refuse("cut short");
    if (ReadLe32(block) != MakeFourCC("APPS") || ReadLe32(block + 188) != MakeFourCC("APPE"))
        return Refuse("damaged: its settings are not framed by APPS and APPE");
    soundOn = block[4] != 0;
    soundVolume = static_cast<int32_t>(ReadLe32(block + 8));
    musicOn = block[12] != 0;
    musicVolume = static_cast<int32_t>(ReadLe32(block + 16));
    mute = block[20] != 0;
    for (int i = 0; i < 32; ++i)
        keyCodes[i] = static_cast<int32_t>(ReadLe32(block + 24 + 4 * i));
    memcpy(keyFlags, block + 152, 32);
    rotation = static_cast<int32_t>(ReadLe32(block + 184));
    CheckLoadedValues();
    if (!HasDerivedBlock())
        return true;
    uint32_t tag = 0;
    if (stream->ReadUInt32(&tag) != 4 || tag != MakeFourCC("DRVS") || !SerializeDerivedRaw(stream, false))
        return Refuse("damaged, or cut short: its own block");
    tag = 0;
    if (stream->ReadUInt32(&tag) != 4 || tag != MakeFourCC("DRVE"))
        return Refuse("damaged, or cut short: its own block does not end in DRVE");
    return true;
}

LoadResult OptionsRecord::Load(Application* application)
{
    if (UsesArchiveForm())
        return LoadSerialized(application);
    return ReadFile(application, [this](PackMemoryFile& file) { return ReadRaw(&file); });
}

LoadResult OptionsRecord::ReadFile(Application* application, const std::function<bool(PackMemoryFile&)>& read)
{
    String path;
    if (!OptionsPath(application, path))
        return LoadResult::Unmade(kFileName, "no save folder");
    PackMemoryFile file;
    LoadResult why = file.ReadFromDisk(application, path.CStr(), kStreamRead, kMaxFileSize);
    if (why.failed())
        return why;
    refusal_[0] = 0;
    tolerated_[0] = 0;
    if (read(file))
        return LoadResult();
    return LoadResult::Failed(path.CStr(), refusal_[0] ? refusal_ : "damaged");
}

bool OptionsRecord::Save(Application* application)
{
    if (UsesArchiveForm())
        return SaveSerialized(application);
    String path;
    if (!OptionsPath(application, path))
        return false;
    PackMemoryFile file;
    return file.Allocate(kSaveCapacity) && WriteRaw(&file) && file.SaveToFile(application, path.CStr());
}

LoadResult OptionsRecord::LoadSerialized(Application* application)
{
    return ReadFile(application, [this](PackMemoryFile& file) { return Serialize(&file, false); });
}

bool OptionsRecord::SaveSerialized(Application* application)
{
    String path;
    if (!OptionsPath(application, path))
        return false;
    PackMemoryFile file;
    if (!file.Allocate(kSaveCapacity) || !Serialize(&file, true))
        return false;
    return file.SaveToFile(application, path.CStr());
}
