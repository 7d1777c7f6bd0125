#include <atomic>

#include "platform/internal.h"
#include "platform/null/test_hooks.h"

namespace nullbackend {
namespace {
std::atomic<DWORD> g_now{0};
std::atomic<DWORD> g_slept{0};
}  // namespace

DWORD Ticks()
{
    return g_now.load();
}

// Sleeping moves the test clock instead of waiting, so timed recovery paths run at once.
void SleepFor(DWORD milliseconds)
{
    g_now.fetch_add(milliseconds);
    g_slept.fetch_add(milliseconds);
}

void SetClock(DWORD milliseconds)
{
    g_now.store(milliseconds);
}

void AdvanceClock(DWORD milliseconds)
{
    g_now.fetch_add(milliseconds);
}

DWORD SleptTotal()
{
    return g_slept.load();
}

void ResetSleptTotal()
{
    g_slept.store(0);
}

}  // namespace nullbackend
