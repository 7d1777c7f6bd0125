#include "engine/core/disk_file.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/file_failures.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace {
constexpr int kRetries = 4;
constexpr DWORD kRetryPause = 500;
const char kRestoreFailed[] = "Vantu: File Handle Restore failed.";
const char kRestored[] = "Restoring 2.2 OK";
const char kSeekFailed[] = "Vantu: File Handle Seek failed.";
}  // namespace

DiskFile::~DiskFile()
{
    Close();
}

bool DiskFile::OpenHandle(const char* name, int mode, bool exclusive)
{
    DWORD access = 0;
    if (mode & kStreamRead)
        access |= GENERIC_READ;
    if (mode & kStreamWrite)
        access |= GENERIC_WRITE;
    DWORD disposition = exclusive ? CREATE_NEW
                        : (mode & kStreamCreate) && !(mode & kStreamRead) ? CREATE_ALWAYS
                                                                         : OPEN_EXISTING;
    HANDLE handle = CreateFile(name, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    handle_ = handle;
    position_ = 0;
    sizeCache_ = -1;
    return true;
}

bool DiskFile::Open(Application*, const char* name, int mode)
{
    Close();
    if (!name || !*name)
        return false;
    String keep(name);
    if (!OpenHandle(name, mode))
        return false;
    name_ = keep;
    mode_ = mode;
    return IsOpen();
}

bool DiskFile::OpenTemporary(const char* name)
{
    Close();
    if (!name || !*name)
        return false;
    String keep(name);
    // A leftover of an interrupted save, or a link planted at the name, goes; the new file is then
    // made exclusively, so a link put there meanwhile makes the open fail instead.
    DeleteFile(name);
    if (!OpenHandle(name, kStreamWrite, true))
        return false;
    name_ = keep;
    mode_ = kStreamWrite;
    return true;
}

// The file existed when it was opened, so a reopen never creates or truncates it again.
bool DiskFile::Reopen()
{
    return OpenHandle(name_.CStr(), mode_ & ~kStreamCreate);
}

void DiskFile::Close()
{
    if (!handle_)
        return;
    CloseHandle(handle_);
    handle_ = nullptr;
    position_ = 0;
    sizeCache_ = -1;
}

int32_t DiskFile::GetSize()
{
    if (!handle_)
        return 0;
    if (sizeCache_ == -1) {
        DWORD high = 0;
        DWORD low = GetFileSize(handle_, &high);
        sizeCache_ = low == INVALID_FILE_SIZE || high || low > 0x7FFFFFFFu ? -1 : static_cast<int32_t>(low);
    }
    return sizeCache_;
}

bool DiskFile::SetPointer(int32_t target)
{
    return SetFilePointer(handle_, target, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

bool DiskFile::Seek(int32_t offset, int mode)
{
    if (!handle_)
        return false;
    int64_t target = offset;
    if (mode & kSeekStart)
        target = offset;
    else if (mode & kSeekCurrent)
        target += Tell();
    else if (mode & kSeekEnd)
        target += GetSize();
    // A target before the start or past 2 GB is the caller's mistake, not a storage failure to
    // recover from.
    if (target < 0 || target > INT32_MAX)
        return false;
    position_ = static_cast<int32_t>(target);
    if (SetPointer(position_))
        return true;
    for (int i = 0; i < kRetries; ++i) {
        Sleep(kRetryPause);
        if (SetPointer(position_))
            return true;
    }
    CloseHandle(handle_);
    handle_ = nullptr;
    int32_t wanted = position_;
    for (int i = 0; i < kRetries; ++i) {
        if (Reopen()) {
            if (SetPointer(wanted)) {
                position_ = wanted;
                return true;
            }
            break;
        }
        Sleep(kRetryPause);
    }
    TellPlayer("%s", kSeekFailed);
    return false;
}

int32_t DiskFile::Read(void* buffer, int32_t n)
{
    if (!handle_ || n < 0)
        return -1;
    int32_t start = position_;
    DWORD got = 0;
    if (ReadFile(handle_, buffer, static_cast<DWORD>(n), &got, nullptr)) {
        position_ += static_cast<int32_t>(got);
        return static_cast<int32_t>(got);
    }
    for (int i = 0; i < kRetries && GetLastError() != 0; ++i) {
        Sleep(kRetryPause);
        if (ReadFile(handle_, buffer, static_cast<DWORD>(n), &got, nullptr)) {
            position_ += static_cast<int32_t>(got);
            return static_cast<int32_t>(got);
        }
    }
    CloseHandle(handle_);
    handle_ = nullptr;
    bool reopened = false;
    for (int i = 0; i < kRetries && !reopened; ++i) {
        reopened = Reopen();
        if (!reopened)
            Sleep(kRetryPause);
    }
    if (!reopened || !Seek(start, kSeekStart) || !ReadFile(handle_, buffer, static_cast<DWORD>(n), &got, nullptr)) {
        TellPlayer("%s", kRestoreFailed);
        return -1;
    }
    TellPlayer("%s", kRestored);
    position_ += static_cast<int32_t>(got);
    return static_cast<int32_t>(got);
}

int32_t DiskFile::Write(const void* buffer, int32_t n)
{
    if (!handle_ || n < 0)
        return -1;
    DWORD put = 0;
    if (!WriteFile(handle_, buffer, static_cast<DWORD>(n), &put, nullptr))
        return -1;
    position_ += static_cast<int32_t>(put);
    return static_cast<int32_t>(put);
}

bool DiskFile::Delete(const char* name)
{
    return name && DeleteFile(name);
}

bool DiskFile::Flush()
{
    return handle_ && FlushFileBuffers(handle_);
}

namespace {

// Whether the plain file at path holds exactly these bytes. Read straight through the system's
// calls: a file that cannot be opened or read is only not the same.
bool HoldsAlready(const char* path, const void* data, int32_t n)
{
    HANDLE handle =
        CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool same = GetFileSize(handle, nullptr) == static_cast<DWORD>(n);
    std::unique_ptr<char[]> held(same && n > 0 ? new (std::nothrow) char[n] : nullptr);
    if (same && n > 0) {
        DWORD got = 0;
        same = held && ReadFile(handle, held.get(), static_cast<DWORD>(n), &got, nullptr) &&
               got == static_cast<DWORD>(n) && memcmp(held.get(), data, static_cast<size_t>(n)) == 0;
    }
    CloseHandle(handle);
    return same;
}

}  // namespace

bool WriteFileReplacing(const char* path, const void* data, int32_t n)
{
    if (!path || !*path || n < 0)
        return false;
    // Unchanged, it is left as it is: the flush to the storage, which can take longer than a
    // frame, is paid only for a change (a restart saves the options twice without one).
    if (HoldsAlready(path, data, n))
        return true;
    String temporary;
    String::Concat(temporary, String(path), String(".tmp"));
    DiskFile file;
    if (!file.OpenTemporary(temporary.CStr())) {
        ReportSaveFailure(path, GetLastError());
        return false;
    }
    bool written = (n == 0 || file.Write(data, n) == n) && file.Flush();
    file.Close();
    if (!written || !MoveFileEx(temporary.CStr(), path, MOVEFILE_REPLACE_EXISTING)) {
        DWORD error = GetLastError();
        ReportSaveFailure(path, error);
        DeleteFile(temporary.CStr());
        SetLastError(error);
        return false;
    }
    return true;
}
