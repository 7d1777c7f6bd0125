#pragma once
// Every file the engine reads or writes goes through a Stream: a file on disk (DiskFile) or a
// whole file held in memory (PackMemoryFile). Multi-byte values move little-endian.
#include <cstdint>

class Application;

// Open modes, combined as bits.
constexpr int kStreamCreate = 1;
constexpr int kStreamRead = 2;
constexpr int kStreamWrite = 4;
// Seek modes.
constexpr int kSeekStart = 1;
constexpr int kSeekCurrent = 2;
constexpr int kSeekEnd = 4;

class Stream {
public:
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    virtual ~Stream();

    virtual bool Open(Application* application, const char* name, int mode) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    virtual int32_t GetSize() = 0;
    virtual bool Seek(int32_t offset, int mode) = 0;
    // Bytes moved, or -1 for a closed stream or a failure.
    virtual int32_t Read(void* buffer, int32_t n) = 0;
    virtual int32_t Write(const void* buffer, int32_t n) = 0;
    virtual int32_t WriteInt32(int32_t value);
    // A short read leaves the bytes of *out it did not reach as they were.
    virtual int32_t ReadInt32(int32_t* out);
    virtual int32_t WriteUInt32(uint32_t value);
    virtual int32_t ReadUInt32(uint32_t* out);
    virtual int32_t WriteInt8(int8_t value);
    virtual int32_t ReadInt8(int8_t* out);
    virtual int32_t WriteInt16(int16_t value);
    virtual int32_t ReadInt16(int16_t* out);
    // Whether the Crc16 of the whole stream equals expected; the stream ends at its start.
    virtual bool MatchesCrc(uint16_t expected);
    virtual int32_t Tell() { return -1; }
    virtual bool Delete(const char* name) = 0;
    virtual bool IsInMemory() const { return false; }

private:
    int32_t WriteLittle(uint32_t value, int bytes);
    int32_t ReadLittle(uint32_t* value, int bytes);
    template <typename T>
    int32_t ReadSigned(T* out);
};
