#include "engine/core/load_result.h"

#include <cstdio>

#include "engine/core/file_failures.h"

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
