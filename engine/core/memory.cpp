#include "engine/core/memory.h"

#include "engine/core/tell_player.h"
#include "platform/crt.h"
#include "platform/memory.h"

void* Alloc(size_t bytes)
{
    void* block = HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!block)
        TellPlayer("Malloc failed: %d bytes", static_cast<int>(bytes));
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
