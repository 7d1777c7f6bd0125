#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/internal.h"

namespace {
thread_local DWORD g_lastError = 0;
// The host's errno behind the last error, so its text is the host's own; 0 when none.
thread_local int g_hostErrno = 0;

// The errno whose text stands for a code no host call has set.
int ErrnoForCode(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND: return ENOENT;
    case ERROR_PATH_NOT_FOUND: return ENOTDIR;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY: return ENOMEM;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    case ERROR_DISK_FULL: return ENOSPC;
    case ERROR_INVALID_PARAMETER:
    case ERROR_NEGATIVE_SEEK: return EINVAL;
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT: return EIO;
    default: return 0;
    }
}
}  // namespace

DWORD GetLastError()
{
    return g_lastError;
}

void SetLastError(DWORD error)
{
    g_lastError = error;
    g_hostErrno = 0;
}

DWORD FormatMessage(DWORD flags, const void*, DWORD messageId, DWORD, char* buffer, DWORD size, void*)
{
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer || size == 0)
        return 0;
    int host = messageId == g_lastError && g_hostErrno ? g_hostErrno : ErrnoForCode(messageId);
    int n = host ? snprintf(buffer, size, "%s", strerror(host)) : snprintf(buffer, size, "error %u", messageId);
    if (n < 0)
        return 0;
    return static_cast<DWORD>(n) < size ? static_cast<DWORD>(n) : size - 1;
}

namespace platform_internal {

void Warn(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("kelo: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
}

void SetLastErrorFromErrno(int error, DWORD code)
{
    SetLastError(code);
    g_hostErrno = error;
}

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_WRITE_FAULT;
    }
}

}  // namespace platform_internal
