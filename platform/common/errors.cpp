#include <cerrno>
#include <cstdarg>
#include <cstdio>

#include "platform/internal.h"

namespace {
thread_local DWORD g_lastError = 0;
}

DWORD GetLastError()
{
    return g_lastError;
}

void SetLastError(DWORD error)
{
    g_lastError = error;
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
