#pragma once
// A whole file held in one heap block: read from the packs or from disk, or a fixed-size buffer
// into which a save is serialized before it goes to disk in one piece. Writes never grow it.
#include "engine/core/load_result.h"
#include "engine/core/stream.h"
#include "engine/core/strings.h"

class DiskFile;
class ZipPack;

// No file the game reads whole comes near this; a larger one is refused before anything is
// allocated for it, from a pack or from a folder.
constexpr int32_t kMaxFileBytes = 16 << 20;

class PackMemoryFile : public Stream {
public:
    PackMemoryFile() = default;
    ~PackMemoryFile() override;

    // From the application's packs when they are enabled (the common pack, then the resolution
    // pack, then the extra one; in single-pack mode the common and the extra pack), else from disk.
    bool Open(Application* application, const char* name, int mode) override;
    // As Open in read mode, handing back why the file could not be read.
    LoadResult Load(Application* application, const char* name);
    // Why the reader of this file's contents refused them, naming the file as Load found it.
    LoadResult Refused(const char* reason) const;
    const char* GetShownName() const { return shownName_.CStr(); }
    bool IsOpen() const override { return buffer_ != nullptr; }
    void Close() override;
    int32_t GetSize() override { return size_; }
    // Always true; the cursor stays within the buffer. From the end the offset counts backwards.
    bool Seek(int32_t offset, int mode) override;
    int32_t Read(void* buffer, int32_t n) override;
    // -1, copying nothing, when fewer than n bytes are left.
    int32_t Write(const void* buffer, int32_t n) override;
    bool MatchesCrc(uint16_t) override { return true; }
    int32_t Tell() override { return cursor_; }
    bool Delete(const char* name) override;
    bool IsInMemory() const override { return true; }

    virtual bool Allocate(int32_t n);
    // Writes the bytes before the cursor to the named file, replacing it only once they are all
    // written; false when there is nothing to write.
    virtual bool SaveToFile(Application* application, const char* name);
    virtual bool LoadFromDisk(Application* application, const char* name, int mode);
    // As LoadFromDisk, but a file of more than maxBytes is refused before anything is read.
    bool LoadFromDiskUpTo(Application* application, const char* name, int mode, int32_t maxBytes);
    LoadResult ReadFromDisk(Application* application, const char* name, int mode, int32_t maxBytes);
    // Takes ownership of a block from Alloc; the cursor goes to the start.
    virtual bool SetBuffer(void* buffer, int32_t size);
    // Hands the block to the caller, who frees it with Free, and leaves the stream empty.
    virtual void* TakeBuffer();
    virtual void* GetBuffer() { return buffer_; }

private:
    LoadResult OpenFromPacks(Application* application, const char* name);
    void FreeBuffer();

    uint8_t* buffer_ = nullptr;
    int32_t cursor_ = 0;
    int32_t size_ = 0;
    DiskFile* inner_ = nullptr;
    // The name a failure is told by: as the packs spell it, or the path on disk.
    String shownName_;
};

// The name under which a pack holds a full path: the part after the pack's folder, or
// "no_file_found" when the path does not lie inside that folder.
void MapPackName(String& out, ZipPack* pack, const char* fullName);
