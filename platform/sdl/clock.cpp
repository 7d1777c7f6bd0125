#include <sched.h>
#include <ctime>

#include "platform/handheld_internal.h"
#include "platform/internal.h"

namespace sdlbackend {

DWORD Ticks()
{
    timespec now;
    // Counts the time the machine was suspended too, as the handheld's tick counter did.
    clock_gettime(CLOCK_BOOTTIME, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

int64_t NanosecondsToGrain(DWORD milliseconds, DWORD grain)
{
    timespec now;
    clock_gettime(CLOCK_BOOTTIME, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return platform_internal::GrainSleep(ms, now.tv_nsec % 1000000, milliseconds, grain);
}

void SleepFor(DWORD milliseconds)
{
    timespec wait;
    wait.tv_sec = milliseconds / 1000;
    wait.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    while (nanosleep(&wait, &wait) != 0) {
    }
}

}  // namespace sdlbackend
