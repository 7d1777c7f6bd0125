#include "platform/memory.h"

#include <cstdlib>

#include "platform/common/backend_table.h"

HANDLE GetProcessHeap()
{
    static int heap;
    return &heap;
}

void* HeapAlloc(HANDLE, DWORD, size_t bytes)
{
    if (platform_internal::Backend().hooks.allocationFails(bytes)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A zero-byte request still gets a block of its own, as the handheld's heap gives.
    void* block = malloc(bytes ? bytes : 1);
    if (!block)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

BOOL HeapFree(HANDLE, DWORD, void* block)
{
    free(block);
    return TRUE;
}
