#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/common/backend_table.h"
#include "platform/files.h"
#include "platform/internal.h"

using platform_internal::FileCall;

namespace {

struct FileObject : platform_internal::KernelObject {
    explicit FileObject(int descriptor) : fd(descriptor) {}
    ~FileObject() override { close(fd); }
    int fd;
};

FileObject* AsFile(HANDLE handle)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return dynamic_cast<FileObject*>(static_cast<platform_internal::KernelObject*>(handle));
}

// A call the back end refuses, with the error it gives.
bool Refused(FileCall call)
{
    DWORD error = 0;
    if (!platform_internal::Backend().hooks.fileCallFails(call, &error))
        return false;
    SetLastError(error);
    return true;
}

BOOL FailWithErrno(DWORD fallback = 0)
{
    int error = errno;
    platform_internal::SetLastErrorFromErrno(error, error == EIO && fallback ? fallback : platform_internal::ErrorFromErrno(error));
    return FALSE;
}

// The folder holding a host path.
std::string FolderOf(const std::string& host)
{
    size_t slash = host.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : host.substr(0, slash);
}

// A rename lives in its folder's entries: until they reach the disk, a power cut can bring the
// old file back even though the new one was flushed.
BOOL SyncFolder(const std::string& folder)
{
    if (Refused(FileCall::FolderSync))
        return FALSE;
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return FailWithErrno(ERROR_WRITE_FAULT);
    int result = fsync(fd);
    int error = errno;
    close(fd);
    // Some file systems cannot sync a folder at all; nothing more can be done there.
    if (result != 0 && error != EINVAL && error != ENOTSUP) {
        errno = error;
        return FailWithErrno(ERROR_WRITE_FAULT);
    }
    return TRUE;
}

// After a rename both folders it touched are synced.
BOOL SyncRenamed(const std::string& source, const std::string& target)
{
    std::string from = FolderOf(source), to = FolderOf(target);
    if (!SyncFolder(to))
        return FALSE;
    return from == to ? TRUE : SyncFolder(from);
}

}  // namespace

HANDLE CreateFile(const char* path, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (Refused(FileCall::Open))
        return INVALID_HANDLE_VALUE;
    int flags = O_CLOEXEC;
    bool reading = access & GENERIC_READ;
    bool writing = access & GENERIC_WRITE;
    flags |= writing ? (reading ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW:
        // Anything at the name, a link included, makes it fail: nothing is written through a link.
        flags |= O_CREAT | O_EXCL | O_NOFOLLOW;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // Truncation needs write access on the handheld too; O_TRUNC on a read-only descriptor would not.
    if ((flags & O_TRUNC) && !writing)
        flags = (flags & ~(O_RDONLY | O_WRONLY | O_RDWR)) | O_WRONLY;
    std::string host = hostpath::ToHost(path);
    if (platform_internal::Backend().hooks.openDenied(host.c_str())) {
        errno = EACCES;
        FailWithErrno();
        return INVALID_HANDLE_VALUE;
    }
    // The handheld has only files and folders: a pipe or device would block or never end, so
    // the open never waits and anything but a regular file is refused.
    int fd = open(host.c_str(), flags | O_NONBLOCK, 0644);
    if (fd < 0) {
        FailWithErrno();
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    auto* file = new FileObject(fd);
    SetLastError(ERROR_SUCCESS);
    return static_cast<platform_internal::KernelObject*>(file);
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD n, DWORD* read, void*)
{
    if (read)
        *read = 0;
    FileObject* file = AsFile(handle);
    if (!file || (!buffer && n)) {
        SetLastError(file ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (Refused(FileCall::Read))
        return FALSE;
    DWORD total = 0;
    while (total < n) {
        ssize_t got = ::read(file->fd, static_cast<char*>(buffer) + total, n - total);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FailWithErrno(ERROR_READ_FAULT);
        }
        if (got == 0)
            break;
        total += static_cast<DWORD>(got);
    }
    if (read)
        *read = total;
    return TRUE;
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD n, DWORD* written, void*)
{
    if (written)
        *written = 0;
    FileObject* file = AsFile(handle);
    if (!file || (!buffer && n)) {
        SetLastError(file ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (Refused(FileCall::Write))
        return FALSE;
    DWORD total = 0;
    while (total < n) {
        ssize_t put = ::write(file->fd, static_cast<const char*>(buffer) + total, n - total);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            if (written)
                *written = total;
            return FailWithErrno(ERROR_WRITE_FAULT);
        }
        total += static_cast<DWORD>(put);
    }
    if (written)
        *written = total;
    return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distanceHigh, DWORD method)
{
    FileObject* file = AsFile(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    if (Refused(FileCall::Seek))
        return INVALID_SET_FILE_POINTER;
    int64_t offset = distanceHigh ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                                         static_cast<uint32_t>(distance))
                                  : distance;
    int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : method == FILE_END ? SEEK_END : -1;
    if (whence < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    off_t base = whence == SEEK_SET ? 0 : lseek(file->fd, 0, whence);
    if (base < 0 || base + offset < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    off_t at = lseek(file->fd, static_cast<off_t>(base + offset), SEEK_SET);
    if (at < 0) {
        FailWithErrno();
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(at) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(at);
}

DWORD GetFileSize(HANDLE handle, DWORD* sizeHigh)
{
    FileObject* file = AsFile(handle);
    struct stat info;
    if (!file || fstat(file->fd, &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(info.st_size);
    if (sizeHigh)
        *sizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL FlushFileBuffers(HANDLE handle)
{
    FileObject* file = AsFile(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (Refused(FileCall::Flush))
        return FALSE;
    if (fsync(file->fd) != 0)
        return FailWithErrno(ERROR_WRITE_FAULT);
    return TRUE;
}

BOOL DeleteFile(const char* path)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (Refused(FileCall::Delete))
        return FALSE;
    std::string host = hostpath::ToHost(path);
    struct stat info;
    if (lstat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(host.c_str()) != 0)
        return FailWithErrno();
    return TRUE;
}

BOOL MoveFileEx(const char* from, const char* to, DWORD flags)
{
    if (!from || !*from || !to || !*to) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (Refused(FileCall::Move))
        return FALSE;
    std::string source = hostpath::ToHost(from);
    std::string target = hostpath::ToHost(to);
    if (flags & MOVEFILE_REPLACE_EXISTING) {
        if (rename(source.c_str(), target.c_str()) != 0)
            return FailWithErrno();
        return SyncRenamed(source, target);
    }
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return SyncRenamed(source, target);
    if (errno != EINVAL && errno != ENOSYS)
        return FailWithErrno();
    // A file system without the no-replace rename: check, then rename.
    struct stat info;
    if (lstat(target.c_str(), &info) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (rename(source.c_str(), target.c_str()) != 0)
        return FailWithErrno();
    return SyncRenamed(source, target);
}

BOOL MoveFile(const char* from, const char* to)
{
    return MoveFileEx(from, to, 0);
}
