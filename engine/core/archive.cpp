#include "engine/core/archive.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/stream.h"
#include "engine/core/strings.h"

void Archive::Init(Stream* stream, bool saving)
{
    stream_ = stream;
    ok_ = true;
    saving_ = saving;
    shortfall_ = 0;
    looseFlagAt_ = -1;
    looseFlagByte_ = 0;
}

void Archive::Count(int32_t expected, int32_t moved)
{
    shortfall_ += expected - (moved > 0 ? moved : 0);
}

void Archive::SerializeWord(int32_t& v)
{
    int32_t moved = !stream_ ? 0 : saving_ ? stream_->WriteInt32(v) : stream_->ReadInt32(&v);
    if (moved != 4)
        ok_ = false;
}

void Archive::SerializeValue(int32_t& v)
{
    if (!stream_)
        return Count(4, 0);
    Count(4, saving_ ? stream_->WriteInt32(v) : stream_->ReadInt32(&v));
}

void Archive::SerializeInt32(int32_t& v)
{
    SerializeValue(v);
}

void Archive::SerializeInt32(uint32_t& v)
{
    if (!stream_)
        return Count(4, 0);
    Count(4, saving_ ? stream_->WriteUInt32(v) : stream_->ReadUInt32(&v));
}

void Archive::SerializeInt16(int16_t& v)
{
    if (!stream_)
        return Count(2, 0);
    Count(2, saving_ ? stream_->WriteInt16(v) : stream_->ReadInt16(&v));
}

void Archive::SerializeInt8(int8_t& v)
{
    if (!stream_)
        return Count(1, 0);
    Count(1, saving_ ? stream_->WriteInt8(v) : stream_->ReadInt8(&v));
}

void Archive::SerializeInt8(uint8_t& v)
{
    int8_t byte = static_cast<int8_t>(v);
    SerializeInt8(byte);
    v = static_cast<uint8_t>(byte);
}

void Archive::SerializeBool(bool& v)
{
    uint8_t byte = v ? 1 : 0;
    const int32_t at = stream_ && !saving_ ? stream_->Tell() : -1;
    SerializeInt8(byte);
    if (saving_)
        return;
    v = byte != 0;
    if (byte > 1 && looseFlagAt_ < 0 && at >= 0) {
        looseFlagAt_ = at;
        looseFlagByte_ = byte;
    }
}

void Archive::SerializePair(int32_t* v)
{
    if (!stream_)
        return Count(8, 0);
    int32_t first = saving_ ? stream_->WriteInt32(v[0]) : stream_->ReadInt32(&v[0]);
    int32_t second = saving_ ? stream_->WriteInt32(v[1]) : stream_->ReadInt32(&v[1]);
    Count(8, (first > 0 ? first : 0) + (second > 0 ? second : 0));
}

void Archive::SerializeBytes(void* buffer, int32_t n)
{
    if (n <= 0)
        return;
    if (!stream_)
        return Count(n, 0);
    Count(n, saving_ ? stream_->Write(buffer, n) : stream_->Read(buffer, n));
}

void Archive::SerializeString(String& v)
{
    if (!stream_) {
        ok_ = false;
        return;
    }
    if (saving_) {
        int32_t length = static_cast<int32_t>(v.Length());
        if (stream_->WriteInt32(length) != 4 || (length > 0 && stream_->Write(v.CStr(), length) != length))
            ok_ = false;
        return;
    }
    int32_t length = 0;
    if (stream_->ReadInt32(&length) != 4) {
        ok_ = false;
        return;
    }
    if (length < 1) {
        v.Assign(nullptr);
        return;
    }
    // A length beyond what the stream still holds is damage, not a reason to allocate.
    int32_t size = stream_->GetSize();
    int32_t at = stream_->Tell();
    if (size >= 0 && at >= 0 && length > size - at) {
        ok_ = false;
        return;
    }
    auto* block = static_cast<char*>(Alloc(static_cast<size_t>(length) + 1));
    if (!block) {
        ok_ = false;
        return;
    }
    memset(block, 0, static_cast<size_t>(length) + 1);
    if (stream_->Read(block, length) != length) {
        Free(block);
        ok_ = false;
        return;
    }
    v.Attach(block);
}
