#pragma once
// The keyed record store: up to 99 records {id, name, data} in one file ("saveresume.dat"). The
// table loads on open; records read from the file keep their data there until it is needed. A
// changed store is rewritten on close into "<path>2", flushed and checked, and renamed over the
// old file in one step.
#include <cstdint>
#include <memory>

#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class DiskFile;
class PackMemoryFile;
class Stream;

constexpr int kMaxRecords = 99;
// A reader rejects name lengths from this on, so a writer refuses them.
constexpr int kMaxRecordName = 99;
// The largest store taken: twice what the game's eight players can fill with their two saves of
// 50,000 bytes, so the saves of players added beside another profile's still fit. A larger file
// is refused as a damaged one, and a record that would make the store larger is not written.
constexpr int32_t kMaxStoreBytes = 2 << 20;

// True when anything lies at the path: a store file, whole or not, or something that is no store
// at all (a folder, a pipe), which is then a store that cannot be read.
bool StoreFileExists(const char* path);

struct RecordEntry {
    ~RecordEntry();

    int32_t id = 0;
    String name;
    // -1 for a record added in memory.
    int32_t recordOffset = -1;
    int32_t dataOffset = -1;
    // Only for records added in memory.
    uint8_t* data = nullptr;
    int32_t size = 0;
};

class RecordFile {
public:
    RecordFile(Application* application, const char* path);
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    // Once per container; a missing, empty or damaged file gives an empty store, and a damaged
    // one (or anything there that will not open) is set aside by the next Save (SetAsideDamaged),
    // with why it could not be read (Damage).
    bool Load();
    // Rewrites the file when something changed; false when a rewrite was needed and failed, in
    // which case the old file is untouched.
    bool Save();

    int Find(int32_t id) const;
    void RemoveAll(int32_t id);
    bool Append(RecordEntry* entry);
    RecordEntry* At(int index) const { return entries_[index]; }
    int Count() const { return count_; }
    // The bytes the file holds once written with a new record {id, name, data} in place of those
    // with that id.
    int64_t BytesWith(int32_t id, int64_t nameLength, int64_t dataBytes) const;
    DiskFile* Input() const { return input_.get(); }
    bool IsLoaded() const { return loaded_; }
    // Ok, or why the file there could not be read.
    const LoadResult& Damage() const { return damage_; }

private:
    void Empty();
    void DropInput();
    // Null when the table is whole, else what is wrong with it.
    const char* LoadTable(int32_t fileSize);
    bool WriteAll(DiskFile& out, int32_t* written);

    Application* application_;
    String path_;
    RecordEntry* entries_[kMaxRecords] = {};
    int count_ = 0;
    std::unique_ptr<DiskFile> input_;
    bool loaded_ = false;
    bool dirty_ = false;
    // The file existed and failed the load checks: it is kept aside when replaced.
    LoadResult damage_;
};

class RecordStore {
public:
    explicit RecordStore(Application* application);
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;
    // Closes the store, and so saves it.
    virtual ~RecordStore();

    // A file whose FileChecksum differs from *expected is deleted first.
    bool Open(const char* path, const uint16_t* expected);
    // Saves a changed store; stores the new FileChecksum in *checksum when given. False when the
    // rewrite failed (the old file stays).
    bool Close(uint16_t* checksum);
    // The data is what the stream holds before its cursor.
    bool WriteRecord(int32_t id, Stream* stream, const char* name);
    // A new stream the caller deletes, or null.
    PackMemoryFile* ReadRecord(int32_t id);
    void DeleteRecord(int32_t id);
    bool HasNoRecord(int32_t id) const;
    // The ids of the records, up to capacity of them, in record order; the number written.
    int Ids(int32_t* ids, int capacity) const;

private:
    String path_;
    Application* application_;
    std::unique_ptr<RecordFile> container_;
};

// The application's handle on one store file: every operation opens the store, does its one
// thing and closes it again, so the file on disk is complete between operations.
class SaveFileHolder {
public:
    explicit SaveFileHolder(Application* application);
    SaveFileHolder(const SaveFileHolder&) = delete;
    SaveFileHolder& operator=(const SaveFileHolder&) = delete;
    virtual ~SaveFileHolder();

    // The checksum word stays the caller's; null for none.
    void SetFile(const char* path, uint16_t* expectedChecksum);
    // False also when the store could not be written back.
    bool WriteRecord(int32_t id, Stream* stream, const char* name);
    PackMemoryFile* ReadRecord(int32_t id);
    void DeleteRecord(int32_t id);
    int ReadIds(int32_t* ids, int capacity);
    // Whether the store's file is there (a damaged one included); false for one never written.
    bool HasFile() const { return !path_.IsEmpty() && StoreFileExists(path_.CStr()); }
    const String& GetPath() const { return path_; }

private:
    RecordStore* OpenStore();
    bool CloseStore();

    Application* application_;
    std::unique_ptr<RecordStore> store_;
    String path_;
    uint16_t* expected_ = nullptr;
};

// CRC-16/X-25 with its two bytes exchanged; the length is taken modulo 65536.
uint16_t Crc16(const void* data, uint32_t length);
// The sum of the Crc16 of each 4096-byte block of the file; 0 for a missing or empty file.
uint16_t FileChecksum(Application* application, const char* path);
