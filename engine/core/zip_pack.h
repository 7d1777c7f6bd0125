#pragma once
// One .pak pack (a ZIP archive): the central directory is read once and its names indexed by
// HashName; entries, stored or raw deflate, unpack into the caller's buffer. Read-only.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"
#include "platform/base.h"

class Application;
class DiskFile;

// Result codes; E_POINTER, E_INVALIDARG and E_OUTOFMEMORY come from the platform.
constexpr int kPackOk = 1;
constexpr int kPackNotFound = 0;
constexpr int kPackNoEntries = -3;
constexpr int kPackCannotOpen = -4;
constexpr int kPackBadData = -5;
constexpr int kPackNotLoaded = -6;
constexpr int kPackBadMethod = -7;

class ZipPack {
public:
    explicit ZipPack(Application* application);
    ZipPack(const ZipPack&) = delete;
    ZipPack& operator=(const ZipPack&) = delete;
    virtual ~ZipPack();

    // Names are matched exactly, with '\' for the '/' of the archive; the first of equal names wins.
    virtual int FindEntry(const char* name, int* index);
    // The buffer holds at least the entry's size.
    virtual int ReadEntry(int index, void* buffer);
    virtual int GetEntrySize(int index, int32_t* size);
    // Copies the name and a terminating NUL into a buffer of bufferSize bytes.
    virtual int GetEntryName(int index, char* buffer, int bufferSize);
    virtual int GetEntryCount(int* count);
    // Drops the directory, the name index and the file.
    virtual int Close();
    // A result code, with why a pack that will not open failed.
    virtual LoadedValue<int> Open(const char* path);
    virtual void GetFolder(String& out);

private:
    struct IndexItem {
        const char* name;
        uint32_t hash;
        int32_t entry;
        int8_t length;
    };

    int OpenPack(const char* path, DWORD* error);
    const uint8_t* Header(int index) const;
    // The checks every call on one entry makes first: an output, a directory, an index in range.
    int CheckCall(const void* out, int index) const;
    int CheckEntry(int index) const;
    int Fail(int code);

    Application* application_;
    uint8_t* directory_ = nullptr;
    uint32_t* headerOffsets_ = nullptr;
    uint32_t directorySize_ = 0;
    int count_ = 0;
    ItemArrayOf<IndexItem> index_{500};
    DiskFile* file_ = nullptr;
    int32_t fileSize_ = 0;
    String folder_;
};
