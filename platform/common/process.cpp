#include <strings.h>

#include "platform/common/backend_table.h"
#include "platform/handheld_internal.h"
#include "platform/process.h"

// An address that starts with "-" would reach the opener as an option; it is refused.

BOOL CreateProcess(const char* application, const char* commandLine, void*, void*, BOOL, DWORD, void*, const char*,
                   void*, PROCESS_INFORMATION* info)
{
    platform_internal::CountCall("CreateProcess");
    if (info)
        *info = PROCESS_INFORMATION();
    if (!application || strcasecmp(application, "iexplore.exe") != 0 || !commandLine || !commandLine[0] ||
        commandLine[0] == '-') {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    return platform_internal::Backend().process.start(application, commandLine);
}
