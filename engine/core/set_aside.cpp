#include "engine/core/set_aside.h"

#include <cstdio>

#include "engine/core/file_failures.h"
#include "platform/files.h"

bool SetAsideDamaged(const char* path, const char* reason)
{
    if (!path || !*path)
        return false;
    DWORD error = ERROR_ALREADY_EXISTS;
    for (int i = 0; i < kSetAsideNames; ++i) {
        char kept[MAX_PATH];
        int n = i == 0 ? snprintf(kept, sizeof kept, "%s.bad", path) : snprintf(kept, sizeof kept, "%s.bad%d", path, i);
        if (n < 0 || n >= static_cast<int>(sizeof kept)) {
            error = ERROR_INSUFFICIENT_BUFFER;
            break;
        }
        // Never over an earlier one: a name that is taken moves on to the next.
        if (MoveFileEx(path, kept, 0)) {
            ReportSetAside(path, kept, reason);
            return true;
        }
        error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            break;
    }
    ReportSetAsideFailure(path, error, reason);
    return false;
}
