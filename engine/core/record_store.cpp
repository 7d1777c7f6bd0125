#include "engine/core/record_store.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/disk_file.h"
#include "engine/core/file_failures.h"
#include "engine/core/memory.h"
#include "engine/core/owned_block.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/set_aside.h"
#include "platform/files.h"

namespace {
constexpr int32_t kCopyBlock = 4096;
}  // namespace

bool StoreFileExists(const char* path)
{
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

RecordEntry::~RecordEntry()
{
    Free(data);
}

RecordFile::RecordFile(Application* application, const char* path) : application_(application), path_(path) {}

RecordFile::~RecordFile()
{
    Save();
    Empty();
}

void RecordFile::DropInput()
{
    input_.reset();
}

void RecordFile::Empty()
{
    for (int i = 0; i < count_; ++i) {
        delete entries_[i];
        entries_[i] = nullptr;
    }
    count_ = 0;
    DropInput();
}

bool RecordFile::Load()
{
    if (loaded_)
        return true;
    input_.reset(new (std::nothrow) DiskFile());
    if (!input_)
        return false;
    loaded_ = true;
    dirty_ = false;
    if (!input_->Open(application_, path_.CStr(), kStreamRead)) {
        // A file that is there but cannot be read is set aside like a damaged one.
        const DWORD error = GetLastError();
        if (StoreFileExists(path_.CStr())) {
            damage_ = LoadResult::Unopened(path_.CStr(), error);
            dirty_ = true;
        }
        DropInput();
        return true;
    }
    int32_t size = input_->GetSize();
    if (size == 0) {
        DropInput();
        return true;
    }
    if (size < 0)
        damage_ = LoadResult::Failed(path_.CStr(), "its size cannot be read");
    else if (size > kMaxStoreBytes)
        damage_ = LoadResult::TooLarge(path_.CStr(), kMaxStoreBytes);
    else if (const char* wrong = LoadTable(size))
        damage_ = LoadResult::Failed(path_.CStr(), wrong);
    if (damage_.failed()) {
        // Set aside at the close, with a whole empty store in its place: said once, and a
        // store that is there stays there.
        Empty();
        dirty_ = true;
    } else if (count_ == 0) {
        DropInput();
    }
    return true;
}

// Every size and offset is checked against the file before it is used.
const char* RecordFile::LoadTable(int32_t fileSize)
{
    constexpr const char* kCut = "cut short";
    constexpr const char* kOutside = "cut short, or damaged: a record lies past its end";
    int32_t n = 0;
    if (input_->ReadInt32(&n) != 4)
        return kCut;
    // An empty store is its count alone: more after a count of 0 is a store damaged, say zeroed.
    if (n == 0)
        return fileSize == 4 ? nullptr : "damaged: its record count is 0, yet more follows";
    if (n < 1 || n > kMaxRecords)
        return "damaged: its record count is outside 1..99";
    int64_t tableEnd = 4 + 8 * static_cast<int64_t>(n);
    if (tableEnd > fileSize)
        return kCut;
    for (int i = 0; i < n; ++i) {
        int32_t size = 0, offset = 0;
        if (input_->ReadInt32(&size) != 4 || input_->ReadInt32(&offset) != 4)
            return kCut;
        // A record is read whole when it is asked for: none the game writes comes near the bound.
        if (size < 0 || size > kMaxFileBytes || offset < tableEnd)
            return "damaged: its record table holds an impossible size or offset";
        if (offset > fileSize - 8)
            return kOutside;
        auto* entry = new (std::nothrow) RecordEntry();
        if (!entry)
            return "too large for the memory left";
        entry->recordOffset = offset;
        entry->size = size;
        entries_[count_++] = entry;
    }
    char name[kMaxRecordName];
    for (int i = 0; i < count_; ++i) {
        RecordEntry* entry = entries_[i];
        int32_t length = -1;
        if (!input_->Seek(entry->recordOffset, kSeekStart) || input_->ReadInt32(&entry->id) != 4 ||
            input_->ReadInt32(&length) != 4)
            return kCut;
        if (length < 0 || length >= kMaxRecordName)
            return "damaged: a record name length outside 0..98";
        int64_t dataOffset = static_cast<int64_t>(entry->recordOffset) + 8 + length;
        if (dataOffset + entry->size > fileSize)
            return kOutside;
        if (length > 0 && input_->Read(name, length) != length)
            return kCut;
        name[length] = 0;
        entry->name.Assign(name);
        entry->dataOffset = static_cast<int32_t>(dataOffset);
    }
    return nullptr;
}

int RecordFile::Find(int32_t id) const
{
    for (int i = 0; i < count_; ++i) {
        if (entries_[i]->id == id)
            return i;
    }
    return -1;
}

void RecordFile::RemoveAll(int32_t id)
{
    for (int i = Find(id); i >= 0; i = Find(id)) {
        delete entries_[i];
        for (int k = i; k + 1 < count_; ++k)
            entries_[k] = entries_[k + 1];
        entries_[--count_] = nullptr;
        dirty_ = true;
    }
}

bool RecordFile::Append(RecordEntry* entry)
{
    if (count_ >= kMaxRecords)
        return false;
    entries_[count_++] = entry;
    dirty_ = true;
    return true;
}

int64_t RecordFile::BytesWith(int32_t id, int64_t nameLength, int64_t dataBytes) const
{
    int64_t bytes = 4 + 8 + 8 + nameLength + dataBytes;
    for (int i = 0; i < count_; ++i) {
        if (entries_[i]->id != id)
            bytes += 8 + 8 + static_cast<int64_t>(entries_[i]->name.Length()) + entries_[i]->size;
    }
    return bytes;
}

bool RecordFile::WriteAll(DiskFile& out, int32_t* written)
{
    int64_t at = 4 + 8 * static_cast<int64_t>(count_);
    int64_t offsets[kMaxRecords];
    for (int i = 0; i < count_; ++i) {
        offsets[i] = at;
        at += 8 + static_cast<int64_t>(entries_[i]->name.Length()) + entries_[i]->size;
    }
    if (at > INT32_MAX)
        return false;
    if (out.WriteInt32(count_) != 4)
        return false;
    for (int i = 0; i < count_; ++i) {
        if (out.WriteInt32(entries_[i]->size) != 4 || out.WriteInt32(static_cast<int32_t>(offsets[i])) != 4)
            return false;
    }
    uint8_t copy[kCopyBlock];
    for (int i = 0; i < count_; ++i) {
        const RecordEntry* entry = entries_[i];
        int32_t length = static_cast<int32_t>(entry->name.Length());
        if (out.WriteInt32(entry->id) != 4 || out.WriteInt32(length) != 4 ||
            (length > 0 && out.Write(entry->name.CStr(), length) != length))
            return false;
        if (entry->size == 0)
            continue;
        if (entry->data) {
            if (out.Write(entry->data, entry->size) != entry->size)
                return false;
            continue;
        }
        if (!input_ || !input_->Seek(entry->dataOffset, kSeekStart))
            return false;
        for (int32_t left = entry->size; left > 0;) {
            int32_t n = left < kCopyBlock ? left : kCopyBlock;
            if (input_->Read(copy, n) != n || out.Write(copy, n) != n)
                return false;
            left -= n;
        }
    }
    *written = static_cast<int32_t>(at);
    return true;
}

bool RecordFile::Save()
{
    if (!loaded_)
        return true;
    loaded_ = false;
    if (!dirty_) {
        DropInput();
        return true;
    }
    dirty_ = false;
    String temporary;
    String::Concat(temporary, path_, String("2"));
    DiskFile out;
    if (!out.OpenTemporary(temporary.CStr())) {
        ReportSaveFailure(path_.CStr(), GetLastError());
        DropInput();
        return false;
    }
    int32_t written = 0;
    SetLastError(ERROR_SUCCESS);
    bool ok = WriteAll(out, &written) && out.Flush();
    out.Close();
    DropInput();
    if (ok) {
        DiskFile check;
        ok = check.Open(application_, temporary.CStr(), kStreamRead) && check.GetSize() == written;
    }
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    // What could not be read is never written over: it is kept aside, or the store stays as it is.
    if (ok && damage_.failed() && !SetAsideDamaged(path_.CStr(), damage_.Reason())) {
        DeleteFile(temporary.CStr());
        return false;
    }
    if (!ok || !MoveFileEx(temporary.CStr(), path_.CStr(), MOVEFILE_REPLACE_EXISTING)) {
        ReportSaveFailure(path_.CStr(), ok ? GetLastError() : error);
        DeleteFile(temporary.CStr());
        return false;
    }
    damage_ = LoadResult();
    return true;
}

RecordStore::RecordStore(Application* application) : application_(application) {}

RecordStore::~RecordStore()
{
    Close(nullptr);
}

bool RecordStore::Open(const char* path, const uint16_t* expected)
{
    Close(nullptr);
    if (!path || !*path)
        return false;
    path_.Assign(path);
    if (expected && FileChecksum(application_, path) != *expected)
        DeleteFile(path);
    container_.reset(new (std::nothrow) RecordFile(application_, path));
    if (!container_)
        return false;
    if (!container_->Load()) {
        container_.reset();
        return false;
    }
    return true;
}

bool RecordStore::Close(uint16_t* checksum)
{
    if (!container_)
        return true;
    bool saved = container_->Save();
    container_.reset();
    if (checksum)
        *checksum = FileChecksum(application_, path_.CStr());
    return saved;
}

// The new record is complete before the old one with its id goes, so a failed read keeps it.
bool RecordStore::WriteRecord(int32_t id, Stream* stream, const char* name)
{
    if (!container_ || !stream)
        return false;
    size_t nameLength = name ? strlen(name) : 0;
    if (nameLength >= static_cast<size_t>(kMaxRecordName))
        return false;
    int32_t n = stream->Tell();
    if (n < 0)
        return false;
    OwnedBlock<uint8_t> block(static_cast<uint8_t*>(Alloc(n > 0 ? static_cast<size_t>(n) : 1)));
    if (!block)
        return false;
    if (!stream->Seek(0, kSeekStart) || (n > 0 && stream->Read(block.get(), n) != n))
        return false;
    std::unique_ptr<RecordEntry> entry(new (std::nothrow) RecordEntry());
    if (!entry)
        return false;
    entry->id = id;
    entry->name.Assign(name);
    entry->data = block.release();
    entry->size = n;
    if (container_->BytesWith(id, static_cast<int64_t>(nameLength), n) > kMaxStoreBytes)
        return false;
    container_->RemoveAll(id);
    if (!container_->Append(entry.get()))
        return false;
    entry.release();
    return true;
}

PackMemoryFile* RecordStore::ReadRecord(int32_t id)
{
    if (!container_)
        return nullptr;
    int index = container_->Find(id);
    if (index < 0)
        return nullptr;
    const RecordEntry* entry = container_->At(index);
    OwnedBlock<uint8_t> block(static_cast<uint8_t*>(Alloc(entry->size > 0 ? static_cast<size_t>(entry->size) : 1)));
    if (!block)
        return nullptr;
    if (entry->data) {
        memcpy(block.get(), entry->data, static_cast<size_t>(entry->size));
    } else if (entry->size > 0) {
        DiskFile* input = container_->Input();
        if (!input || !input->Seek(entry->dataOffset, kSeekStart) ||
            input->Read(block.get(), entry->size) != entry->size)
            return nullptr;
    }
    auto* file = new (std::nothrow) PackMemoryFile();
    if (!file)
        return nullptr;
    file->SetBuffer(block.release(), entry->size);
    return file;
}

void RecordStore::DeleteRecord(int32_t id)
{
    if (container_)
        container_->RemoveAll(id);
}

bool RecordStore::HasNoRecord(int32_t id) const
{
    return !container_ || container_->Find(id) < 0;
}

int RecordStore::Ids(int32_t* ids, int capacity) const
{
    int n = 0;
    for (int i = 0; container_ && ids && i < container_->Count() && n < capacity; ++i)
        ids[n++] = container_->At(i)->id;
    return n;
}

uint16_t Crc16(const void* data, uint32_t length)
{
    length &= 0xFFFF;
    if (!data || length == 0)
        return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint32_t c = 0xFFFF;
    for (uint32_t i = 0; i < length; ++i) {
        uint32_t b = bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            c = ((b ^ c) & 1) ? (c ^ 0x10810) >> 1 : c >> 1;
            b >>= 1;
        }
    }
    c = ~c & 0xFFFF;
    return static_cast<uint16_t>(((c & 0xFF) << 8) | (c >> 8));
}

uint16_t FileChecksum(Application* application, const char* path)
{
    DiskFile file;
    if (!file.Open(application, path, kStreamRead))
        return 0;
    int32_t size = file.GetSize();
    if (size <= 0)
        return 0;
    uint8_t block[kCopyBlock];
    uint32_t sum = 0;
    for (;;) {
        int32_t n = file.Read(block, kCopyBlock);
        if (n > 0)
            sum += Crc16(block, static_cast<uint32_t>(n));
        if (n < kCopyBlock)
            break;
    }
    return static_cast<uint16_t>(sum);
}
