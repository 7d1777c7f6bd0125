#include "engine/core/stream.h"

#include <type_traits>

#include "engine/core/memory.h"
#include "engine/core/record_store.h"

Stream::~Stream() = default;

int32_t Stream::WriteLittle(uint32_t value, int bytes)
{
    uint8_t data[4];
    for (int i = 0; i < bytes; ++i)
        data[i] = static_cast<uint8_t>(value >> (8 * i));
    return Write(data, bytes);
}

int32_t Stream::ReadLittle(uint32_t* value, int bytes)
{
    uint8_t data[4];
    for (int i = 0; i < bytes; ++i)
        data[i] = static_cast<uint8_t>(*value >> (8 * i));
    int32_t moved = Read(data, bytes);
    uint32_t result = 0;
    for (int i = 0; i < bytes; ++i)
        result |= static_cast<uint32_t>(data[i]) << (8 * i);
    *value = result;
    return moved;
}

template <typename T>
int32_t Stream::ReadSigned(T* out)
{
    using Unsigned = std::make_unsigned_t<T>;
    uint32_t value = static_cast<Unsigned>(*out);
    int32_t moved = ReadLittle(&value, static_cast<int>(sizeof(T)));
    *out = static_cast<T>(static_cast<Unsigned>(value));
    return moved;
}

int32_t Stream::WriteInt32(int32_t value)
{
    return WriteLittle(static_cast<uint32_t>(value), 4);
}

int32_t Stream::ReadInt32(int32_t* out)
{
    return ReadSigned(out);
}

int32_t Stream::WriteUInt32(uint32_t value)
{
    return WriteLittle(value, 4);
}

int32_t Stream::ReadUInt32(uint32_t* out)
{
    return ReadLittle(out, 4);
}

int32_t Stream::WriteInt8(int8_t value)
{
    return WriteLittle(static_cast<uint8_t>(value), 1);
}

int32_t Stream::ReadInt8(int8_t* out)
{
    return ReadSigned(out);
}

int32_t Stream::WriteInt16(int16_t value)
{
    return WriteLittle(static_cast<uint16_t>(value), 2);
}

int32_t Stream::ReadInt16(int16_t* out)
{
    return ReadSigned(out);
}

bool Stream::MatchesCrc(uint16_t expected)
{
    int32_t size = GetSize();
    if (size < 0)
        return false;
    uint16_t crc = 0;
    if (size > 0) {
        auto* block = static_cast<uint8_t*>(Alloc(static_cast<size_t>(size)));
        if (!block)
            return false;
        bool whole = Read(block, size) == size;
        if (whole)
            crc = Crc16(block, static_cast<uint32_t>(size));
        Free(block);
        if (!whole) {
            Seek(0, kSeekStart);
            return false;
        }
    }
    Seek(0, kSeekStart);
    return crc == expected;
}
