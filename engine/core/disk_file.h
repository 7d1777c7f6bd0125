#pragma once
// A file on disk. Reads and seeks survive a storage card that wakes slowly after a suspend: they
// retry, then reopen the file and carry on where they were.
#include "engine/core/stream.h"
#include "engine/core/strings.h"

class DiskFile : public Stream {
public:
    DiskFile() = default;
    ~DiskFile() override;

    // Mode 5 (create, write) creates or truncates; mode 2 opens an existing file for reading.
    bool Open(Application* application, const char* name, int mode) override;
    // A new file for writing at a temporary name: whatever lies there is removed first and the
    // file is created exclusively, so a link at the name is never written through.
    bool OpenTemporary(const char* name);
    bool IsOpen() const override { return handle_ != nullptr; }
    void Close() override;
    // Read once per open and cached; writes do not update it.
    int32_t GetSize() override;
    // From the end the offset is added to the size.
    bool Seek(int32_t offset, int mode) override;
    int32_t Read(void* buffer, int32_t n) override;
    int32_t Write(const void* buffer, int32_t n) override;
    int32_t Tell() override { return position_; }
    bool Delete(const char* name) override;
    // Pushes what was written to the storage (FlushFileBuffers).
    bool Flush();

private:
    // Exclusive: created new, failing on anything at the name.
    bool OpenHandle(const char* name, int mode, bool exclusive = false);
    bool Reopen();
    bool SetPointer(int32_t target);

    void* handle_ = nullptr;
    String name_;
    int mode_ = 0;
    int32_t position_ = 0;
    int32_t sizeCache_ = -1;
};

// Writes n bytes to path through a temporary file beside it that is flushed and then renamed over
// the old file, so the old file stays whole until the new one is complete.
bool WriteFileReplacing(const char* path, const void* data, int32_t n);
