#include "platform/clock.h"

#include "platform/common/backend_table.h"

DWORD GetTickCount()
{
    return platform_internal::Backend().clock.ticks();
}

void Sleep(DWORD milliseconds)
{
    platform_internal::Backend().clock.sleep(milliseconds);
}
