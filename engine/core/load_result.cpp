#include "engine/core/load_result.h"

#include <cstdio>

#include "engine/core/file_failures.h"
#include "platform/files.h"

LoadResult::LoadResult(const char* file, const char* reason, Kind kind) : ok_(false), kind_(kind)
{
    snprintf(file_, sizeof file_, "%s", file && *file ? file : "(no name)");
    snprintf(reason_, sizeof reason_, "%s", reason && *reason ? reason : "cannot be read");
}

LoadResult LoadResult::Failed(const char* file, const char* reason)
{
    return LoadResult(file, reason, Kind::kFailed);
}

LoadResult LoadResult::Missing(const char* file, const char* reason)
{
    return LoadResult(file, reason, Kind::kMissing);
}

LoadResult LoadResult::Unmade(const char* what, const char* reason)
{
    return LoadResult(what, reason, Kind::kUnmade);
}

LoadResult LoadResult::SystemError(const char* file, DWORD error)
{
    char text[sizeof reason_];
    ErrorText(error, text, sizeof text);
    return LoadResult(file, text, error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Kind::kMissing
                                                                                                  : Kind::kFailed);
}

LoadResult LoadResult::Unopened(const char* file, DWORD error)
{
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return SystemError(file, error);
    WIN32_FIND_DATA data;
    HANDLE find = file ? FindFirstFile(file, &data) : INVALID_HANDLE_VALUE;
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return Failed(file, "a folder");
    }
    char text[sizeof reason_ - 16];
    ErrorText(error, text, sizeof text);
    char reason[sizeof reason_];
    snprintf(reason, sizeof reason, "not readable: %s", text);
    return Failed(file, reason);
}

LoadResult LoadResult::TooLarge(const char* file, int64_t limit)
{
    constexpr int64_t kMiB = 1 << 20;
    char reason[sizeof reason_];
    if (limit > 0 && limit % kMiB == 0)
        snprintf(reason, sizeof reason, "larger than %lld MiB", static_cast<long long>(limit / kMiB));
    else
        snprintf(reason, sizeof reason, "larger than %lld bytes", static_cast<long long>(limit));
    return Failed(file, reason);
}
