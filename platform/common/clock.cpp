#include "platform/clock.h"

#include "platform/backend.h"
#include "platform/internal.h"

DWORD GetTickCount()
{
    return PlatformIsHeadless() ? nullbackend::Ticks() : sdlbackend::Ticks();
}

void Sleep(DWORD milliseconds)
{
    if (PlatformIsHeadless())
        nullbackend::SleepFor(milliseconds);
    else
        sdlbackend::SleepFor(milliseconds);
}
