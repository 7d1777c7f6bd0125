#include "engine/core/pack_memory_file.h"

#include <strings.h>

#include <cstring>
#include <new>

#include "engine/core/application.h"
#include "engine/core/disk_file.h"
#include "engine/core/memory.h"
#include "engine/core/strings.h"
#include "engine/core/zip_pack.h"

PackMemoryFile::~PackMemoryFile()
{
    Close();
}

void PackMemoryFile::FreeBuffer()
{
    Free(buffer_);
    buffer_ = nullptr;
    cursor_ = 0;
    size_ = 0;
}

void PackMemoryFile::Close()
{
    if (inner_) {
        inner_->Close();
        delete inner_;
        inner_ = nullptr;
    }
    FreeBuffer();
}

bool PackMemoryFile::Open(Application* application, const char* name, int mode)
{
    if (!application || !application->PacksEnabled())
        return LoadFromDisk(application, name, mode);
    Close();
    return OpenFromPacks(application, name).ok();
}

LoadResult PackMemoryFile::Load(Application* application, const char* name)
{
    if (!application || !application->PacksEnabled())
        return ReadFromDisk(application, name, kStreamRead, kMaxFileBytes);
    Close();
    return OpenFromPacks(application, name);
}

LoadResult PackMemoryFile::Refused(const char* reason) const
{
    return LoadResult::Failed(shownName_.CStr(), reason ? reason : "damaged: its contents could not be used");
}

LoadResult PackMemoryFile::OpenFromPacks(Application* application, const char* name)
{
    shownName_.Assign(name);
    if (!name)
        return LoadResult::Failed(nullptr, "no file named");
    ZipPack* chain[3] = {application->GetPack(0), nullptr, nullptr};
    if (application->IsSinglePackMode()) {
        chain[1] = application->GetPack(2);
    } else {
        chain[1] = application->GetPack(1);
        chain[2] = application->GetPack(2);
    }
    ZipPack* found = nullptr;
    int index = -1;
    // The name as the packs spell it, for the message of a failure.
    String shown;
    for (ZipPack* pack : chain) {
        if (!pack)
            break;
        String inPack;
        MapPackName(inPack, pack, name);
        if (shown.IsEmpty())
            shown = inPack.Equals("no_file_found") ? String(name) : inPack;
        if (pack->FindEntry(inPack.CStr(), &index) == kPackOk) {
            found = pack;
            break;
        }
    }
    if (!shown.IsEmpty())
        shownName_ = shown;
    if (!found)
        return LoadResult::Missing(shownName_.CStr(), "not in the packs");
    int32_t size = 0;
    if (found->GetEntrySize(index, &size) != kPackOk || size > kMaxFileBytes)
        return LoadResult::Failed(shownName_.CStr(), "damaged in its pack, or too large");
    if (!Allocate(size))
        return LoadResult::Failed(shownName_.CStr(), "too large for the memory left");
    if (found->ReadEntry(index, buffer_) != kPackOk) {
        Close();
        return LoadResult::Failed(shownName_.CStr(), "damaged in its pack");
    }
    return LoadResult();
}

bool PackMemoryFile::Seek(int32_t offset, int mode)
{
    int64_t target = cursor_;
    if (mode & kSeekStart)
        target = offset;
    else if (mode & kSeekCurrent)
        target = static_cast<int64_t>(cursor_) + offset;
    else if (mode & kSeekEnd)
        target = static_cast<int64_t>(size_) - offset;
    cursor_ = static_cast<int32_t>(target < 0 ? 0 : target > size_ ? size_ : target);
    return true;
}

int32_t PackMemoryFile::Read(void* buffer, int32_t n)
{
    if (n <= 0 || !buffer_ || !buffer)
        return 0;
    int32_t k = size_ - cursor_ < n ? size_ - cursor_ : n;
    memcpy(buffer, buffer_ + cursor_, static_cast<size_t>(k));
    cursor_ += k;
    return k;
}

int32_t PackMemoryFile::Write(const void* buffer, int32_t n)
{
    if (n < 0 || size_ - cursor_ < n || (n > 0 && !buffer))
        return -1;
    if (n > 0) {
        memcpy(buffer_ + cursor_, buffer, static_cast<size_t>(n));
        cursor_ += n;
    }
    return n;
}

bool PackMemoryFile::Delete(const char* name)
{
    bool deleted = inner_ ? inner_->Delete(name) : false;
    Close();
    return deleted;
}

// A zero-size file still gets a block, so an open empty file counts as open.
bool PackMemoryFile::Allocate(int32_t n)
{
    FreeBuffer();
    if (n < 0)
        return false;
    buffer_ = static_cast<uint8_t*>(Alloc(n > 0 ? static_cast<size_t>(n) : 1));
    if (!buffer_)
        return false;
    size_ = n;
    return true;
}

bool PackMemoryFile::SaveToFile(Application*, const char* name)
{
    if (!buffer_ || cursor_ <= 0)
        return false;
    return WriteFileReplacing(name, buffer_, cursor_);
}

bool PackMemoryFile::LoadFromDisk(Application* application, const char* name, int mode)
{
    return LoadFromDiskUpTo(application, name, mode, kMaxFileBytes);
}

bool PackMemoryFile::LoadFromDiskUpTo(Application* application, const char* name, int mode, int32_t maxBytes)
{
    return ReadFromDisk(application, name, mode, maxBytes).ok();
}

LoadResult PackMemoryFile::ReadFromDisk(Application* application, const char* name, int mode, int32_t maxBytes)
{
    Close();
    shownName_.Assign(name);
    inner_ = new (std::nothrow) DiskFile();
    if (!inner_)
        return LoadResult::Failed(name, "no memory left");
    if (!inner_->Open(application, name, mode)) {
        LoadResult why = LoadResult::Unopened(name, GetLastError());
        delete inner_;
        inner_ = nullptr;
        return why;
    }
    int32_t size = inner_->GetSize();
    if (size < 0 || size > maxBytes) {
        Close();
        return size < 0 ? LoadResult::Failed(name, "its size cannot be read") : LoadResult::TooLarge(name, maxBytes);
    }
    buffer_ = static_cast<uint8_t*>(Alloc(size > 0 ? static_cast<size_t>(size) : 1));
    if (!buffer_ || inner_->Read(buffer_, size) != size) {
        const char* reason = buffer_ ? "cannot be read" : "too large for the memory left";
        Close();
        return LoadResult::Failed(name, reason);
    }
    size_ = size;
    inner_->Close();
    delete inner_;
    inner_ = nullptr;
    cursor_ = 0;
    return LoadResult();
}

bool PackMemoryFile::SetBuffer(void* buffer, int32_t size)
{
    Close();
    buffer_ = static_cast<uint8_t*>(buffer);
    size_ = buffer_ && size > 0 ? size : 0;
    cursor_ = 0;
    return true;
}

void* PackMemoryFile::TakeBuffer()
{
    void* taken = buffer_;
    buffer_ = nullptr;
    size_ = 0;
    cursor_ = 0;
    Close();
    return taken;
}

void MapPackName(String& out, ZipPack* pack, const char* fullName)
{
    String folder;
    if (pack)
        pack->GetFolder(folder);
    size_t folderLength = folder.Length();
    size_t length = fullName ? strlen(fullName) : 0;
    // The file system ignores case, so the folder prefix does too.
    if (pack && length > folderLength && strncasecmp(fullName, folder.CStr() ? folder.CStr() : "", folderLength) == 0)
        out.Assign(fullName + folderLength);
    else
        out.Assign("no_file_found");
}
