#include "engine/core/load_result.h"

#include <cstdio>

#include "engine/core/file_failures.h"

LoadResult::LoadResult(const char* file, const char* reason, bool missing) : ok_(false), missing_(missing)
{
    snprintf(file_, sizeof file_, "%s", file && *file ? file : "(no name)");
    snprintf(reason_, sizeof reason_, "%s", reason && *reason ? reason : "cannot be read");
}

LoadResult LoadResult::Failed(const char* file, const char* reason)
{
    return LoadResult(file, reason, false);
}

LoadResult LoadResult::Missing(const char* file, const char* reason)
{
    return LoadResult(file, reason, true);
}

LoadResult LoadResult::SystemError(const char* file, DWORD error)
{
    char text[sizeof reason_];
    ErrorText(error, text, sizeof text);
    return LoadResult(file, text, error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
}
