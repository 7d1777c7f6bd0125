#pragma once
// The serializer of every saved structure: one Serialize routine per class runs the same list of
// field operations for both directions. Failures are collected and judged once at the end.
#include <cstdint>

class Stream;
class String;

class Archive {
public:
    Archive() = default;
    Archive(Stream* stream, bool saving) { Init(stream, saving); }

    void Init(Stream* stream, bool saving);
    bool IsOk() const { return ok_; }
    // No failed operation and no byte missing.
    bool Succeeded() const { return ok_ && shortfall_ == 0; }
    bool IsSaving() const { return saving_; }
    int32_t GetShortfall() const { return shortfall_; }

    // Clears ok unless all four bytes moved.
    void SerializeWord(int32_t& v);
    // The others add the bytes they did not move to the shortfall.
    void SerializeValue(int32_t& v);
    void SerializeInt32(int32_t& v);
    void SerializeInt32(uint32_t& v);
    void SerializeInt16(int16_t& v);
    void SerializeInt8(int8_t& v);
    void SerializeInt8(uint8_t& v);
    // One byte, 0 or 1; any non-zero byte loads as 1, and the first byte above 1 is kept
    // (LooseFlagAt, LooseFlagByte) for the reader to say.
    void SerializeBool(bool& v);
    // The stream offset of the first flag byte read that was neither 0 nor 1, or -1.
    int32_t LooseFlagAt() const { return looseFlagAt_; }
    uint8_t LooseFlagByte() const { return looseFlagByte_; }
    void SerializePair(int32_t* v);
    void SerializeBytes(void* buffer, int32_t n);
    // Length word, then the text without a terminator. Clears ok on any failure.
    void SerializeString(String& v);

private:
    void Count(int32_t expected, int32_t moved);

    Stream* stream_ = nullptr;
    bool ok_ = true;
    bool saving_ = false;
    int32_t shortfall_ = 0;
    int32_t looseFlagAt_ = -1;
    uint8_t looseFlagByte_ = 0;
};

// The stack form the options and profile records use.
using ArchiveContext = Archive;
