#include "engine/core/memory.h"

#include <cstdio>

#include "engine/core/message_box.h"
#include "platform/crt.h"
#include "platform/memory.h"

void* Alloc(size_t bytes)
{
    void* block = HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!block) {
        char text[64];
        snprintf(text, sizeof text, "Malloc failed: %d bytes", static_cast<int>(bytes));
        ShowMessageBox(text);
    }
    return block;
}

void Free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

int Random(int n)
{
    if (n < 2)
        return 0;
    return crt::rand() % n;
}
