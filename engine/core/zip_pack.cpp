#include "engine/core/zip_pack.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/byte_order.h"
#include "engine/core/disk_file.h"
#include "engine/core/hash_name.h"
#include "engine/core/load_result.h"
#include "engine/core/memory.h"
#include "engine/core/owned_block.h"

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kEndSize = 22;
constexpr uint32_t kCentralSize = 46;
constexpr uint32_t kLocalSize = 30;
// The index keeps a name's length in a signed byte.
constexpr uint32_t kLongestName = 127;
// Deflate never expands data more than 1032 times.
constexpr uint64_t kDeflateRatio = 1032;
// 65535 entries with names of 127 characters take less.
constexpr uint32_t kMaxDirectory = 16 << 20;

// Central header fields.
uint16_t Method(const uint8_t* h) { return ReadLe16(h + 10); }
uint32_t CompressedSize(const uint8_t* h) { return ReadLe32(h + 20); }
uint32_t UncompressedSize(const uint8_t* h) { return ReadLe32(h + 24); }
uint16_t NameLength(const uint8_t* h) { return ReadLe16(h + 28); }
uint32_t LocalOffset(const uint8_t* h) { return ReadLe32(h + 42); }

}  // namespace

ZipPack::ZipPack(Application* application) : application_(application) {}

ZipPack::~ZipPack()
{
    Close();
}

const uint8_t* ZipPack::Header(int index) const
{
    return directory_ + headerOffsets_[index];
}

int ZipPack::Fail(int code)
{
    Close();
    return code;
}

int ZipPack::Close()
{
    if (!directory_ && !file_)
        return kPackBadData;
    Free(directory_);
    directory_ = nullptr;
    headerOffsets_ = nullptr;
    directorySize_ = 0;
    count_ = 0;
    index_.Free();
    delete file_;
    file_ = nullptr;
    fileSize_ = 0;
    return kPackOk;
}

LoadedValue<int> ZipPack::Open(const char* path)
{
    DWORD error = ERROR_SUCCESS;
    int code = OpenPack(path, &error);
    if (code == kPackOk)
        return {code, LoadResult()};
    if (error != ERROR_SUCCESS)
        return {code, LoadResult::SystemError(path, error)};
    if (code == E_OUTOFMEMORY)
        return {code, LoadResult::Failed(path, "too large for the memory left")};
    return {code, LoadResult::Failed(path, "not a pack, or its directory is damaged")};
}

int ZipPack::OpenPack(const char* path, DWORD* error)
{
    Close();
    const char* last = path ? strrchr(path, '\\') : nullptr;
    if (last) {
        size_t n = static_cast<size_t>(last - path) + 1;
        char* folder = static_cast<char*>(Alloc(n + 1));
        if (folder) {
            memcpy(folder, path, n);
            folder[n] = 0;
        }
        folder_.Attach(folder);
    } else {
        folder_.Assign(nullptr);
    }
    if (!path || !*path)
        return kPackCannotOpen;

    file_ = new (std::nothrow) DiskFile();
    if (!file_)
        return E_OUTOFMEMORY;
    if (!file_->Open(application_, path, kStreamRead)) {
        *error = GetLastError();
        delete file_;
        file_ = nullptr;
        return kPackCannotOpen;
    }
    fileSize_ = file_->GetSize();
    if (fileSize_ < static_cast<int32_t>(kEndSize) || !file_->Seek(-static_cast<int32_t>(kEndSize), kSeekEnd))
        return Fail(kPackCannotOpen);
    uint32_t endOffset = static_cast<uint32_t>(file_->Tell());
    uint8_t end[kEndSize];
    if (file_->Read(end, kEndSize) != static_cast<int32_t>(kEndSize) || ReadLe32(end) != kEndSignature)
        return Fail(kPackCannotOpen);
    uint32_t count = ReadLe16(end + 8);
    uint32_t size = ReadLe32(end + 12);
    // The directory lies just before the end record; its stored offset is not used.
    if (size > endOffset || !file_->Seek(static_cast<int32_t>(endOffset - size), kSeekStart))
        return Fail(kPackCannotOpen);
    if (static_cast<uint64_t>(count) * kCentralSize > size || size > kMaxDirectory)
        return Fail(kPackBadData);

    uint32_t rounded = (size + 3) & ~3u;
    size_t blockSize = rounded + 4 * static_cast<size_t>(count);
    directory_ = static_cast<uint8_t*>(Alloc(blockSize));
    if (!directory_)
        return Fail(E_OUTOFMEMORY);
    memset(directory_, 0, blockSize);
    headerOffsets_ = reinterpret_cast<uint32_t*>(directory_ + rounded);
    directorySize_ = size;
    if (file_->Read(directory_, static_cast<int32_t>(size)) != static_cast<int32_t>(size))
        return Fail(kPackBadData);

    uint32_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - at < kCentralSize)
            return Fail(kPackBadData);
        uint8_t* header = directory_ + at;
        if (ReadLe32(header) != kCentralSignature)
            return Fail(kPackBadData);
        uint64_t length = kCentralSize + static_cast<uint64_t>(NameLength(header)) + ReadLe16(header + 30) + ReadLe16(header + 32);
        if (length > size - at)
            return Fail(kPackBadData);
        headerOffsets_[i] = at;
        char* name = reinterpret_cast<char*>(header + kCentralSize);
        for (uint16_t k = 0; k < NameLength(header); ++k) {
            if (name[k] == '/')
                name[k] = '\\';
        }
        at += static_cast<uint32_t>(length);
    }
    count_ = static_cast<int>(count);

    if (!index_.Reserve(count_))
        return Fail(E_OUTOFMEMORY);
    for (int i = 0; i < count_; ++i) {
        const uint8_t* header = Header(i);
        uint16_t length = NameLength(header);
        // A longer name does not fit the index and is never found; the rest of the pack reads.
        if (length > kLongestName)
            continue;
        const char* name = reinterpret_cast<const char*>(header + kCentralSize);
        index_.Append(IndexItem{name, HashName(name, length), i, static_cast<int8_t>(length)});
    }
    return kPackOk;
}

void ZipPack::GetFolder(String& out)
{
    out = folder_;
}

int ZipPack::FindEntry(const char* name, int* index)
{
    if (!name || !index)
        return E_POINTER;
    if (!directory_)
        return kPackNotLoaded;
    uint32_t hash = HashName(name);
    size_t length = strlen(name);
    for (int i = 0; i < index_.Count(); ++i) {
        const IndexItem* item = index_.At(i);
        if (item->hash == hash && static_cast<size_t>(item->length) == length && memcmp(item->name, name, length) == 0) {
            *index = item->entry;
            return kPackOk;
        }
    }
    return kPackNotFound;
}

int ZipPack::CheckCall(const void* out, int index) const
{
    if (!out)
        return E_POINTER;
    if (!directory_)
        return kPackNotLoaded;
    if (index < 0 || index >= count_)
        return E_INVALIDARG;
    return kPackOk;
}

// Sizes and offsets the directory claims are checked against the file before anyone allocates.
int ZipPack::CheckEntry(int index) const
{
    const uint8_t* header = Header(index);
    uint32_t compressed = CompressedSize(header);
    uint32_t size = UncompressedSize(header);
    uint64_t fileSize = static_cast<uint64_t>(fileSize_);
    if (compressed > fileSize || static_cast<uint64_t>(LocalOffset(header)) + kLocalSize > fileSize)
        return kPackBadData;
    switch (Method(header)) {
    case 0:
        return compressed == size ? kPackOk : kPackBadData;
    case 8:
        return size <= compressed * kDeflateRatio ? kPackOk : kPackBadData;
    default:
        return kPackBadMethod;
    }
}

int ZipPack::GetEntrySize(int index, int32_t* size)
{
    int check = CheckCall(size, index);
    if (check == kPackOk)
        check = CheckEntry(index);
    if (check != kPackOk)
        return check;
    *size = static_cast<int32_t>(UncompressedSize(Header(index)));
    return kPackOk;
}

int ZipPack::GetEntryName(int index, char* buffer, int bufferSize)
{
    int check = CheckCall(buffer, index);
    if (check != kPackOk)
        return check;
    const uint8_t* header = Header(index);
    uint16_t length = NameLength(header);
    if (bufferSize < length + 1)
        return E_INVALIDARG;
    memcpy(buffer, header + kCentralSize, length);
    buffer[length] = 0;
    return kPackOk;
}

int ZipPack::GetEntryCount(int* count)
{
    if (!count)
        return E_POINTER;
    if (count_ == 0)
        return kPackNoEntries;
    *count = count_;
    return kPackOk;
}

int ZipPack::ReadEntry(int index, void* buffer)
{
    int check = CheckCall(buffer, index);
    if (check == kPackOk)
        check = CheckEntry(index);
    if (check != kPackOk)
        return check;
    uint32_t size = UncompressedSize(Header(index));
    uint32_t offset = LocalOffset(Header(index));

    uint8_t local[kLocalSize];
    if (!file_->Seek(static_cast<int32_t>(offset), kSeekStart) ||
        file_->Read(local, kLocalSize) != static_cast<int32_t>(kLocalSize) || ReadLe32(local) != kLocalSignature)
        return kPackBadData;
    // The local header's method and compressed size are the ones used.
    uint16_t method = ReadLe16(local + 8);
    uint32_t compressed = ReadLe32(local + 18);
    uint64_t dataStart = static_cast<uint64_t>(offset) + kLocalSize + ReadLe16(local + 26) + ReadLe16(local + 28);
    if (dataStart + compressed > static_cast<uint64_t>(fileSize_) || !file_->Seek(static_cast<int32_t>(dataStart), kSeekStart))
        return kPackBadData;

    if (method == 0) {
        // Anything else would overrun the caller's buffer, which has the directory's size.
        if (compressed != size)
            return kPackBadData;
        return file_->Read(buffer, static_cast<int32_t>(size)) == static_cast<int32_t>(size) ? kPackOk : kPackBadData;
    }
    if (method != 8)
        return kPackBadMethod;
    if (size > compressed * kDeflateRatio)
        return kPackBadData;
    OwnedBlock<uint8_t> packed(static_cast<uint8_t*>(Alloc(compressed ? compressed : 1)));
    if (!packed)
        return E_OUTOFMEMORY;
    memset(packed.get(), 0, compressed ? compressed : 1);
    if (file_->Read(packed.get(), static_cast<int32_t>(compressed)) != static_cast<int32_t>(compressed))
        return kPackBadData;
    z_stream z;
    memset(&z, 0, sizeof z);
    z.next_in = packed.get();
    z.avail_in = compressed;
    z.next_out = static_cast<Bytef*>(buffer);
    z.avail_out = size;
    int result = kPackBadData;
    if (inflateInit2(&z, -MAX_WBITS) == Z_OK) {
        int status = inflate(&z, Z_FINISH);
        // Whole output only: a stream that stops short leaves part of the buffer unwritten.
        if ((status == Z_STREAM_END || status == Z_BUF_ERROR) && z.avail_out == 0)
            result = kPackOk;
        inflateEnd(&z);
    }
    return result;
}
