#include "platform/files.h"
#include "platform/internal.h"

BOOL CloseHandle(HANDLE object)
{
    if (!object || object == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete static_cast<platform_internal::KernelObject*>(object);
    return TRUE;
}
