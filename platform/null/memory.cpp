#include <mutex>

#include "platform/internal.h"
#include "platform/null/test_hooks.h"

namespace nullbackend {
namespace {
std::mutex g_lock;
int g_failCount = 0;
size_t g_failMin = 0;
int g_failSkip = 0;
}  // namespace

void FailAllocations(int count, size_t minBytes, int skip)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_failCount = count;
    g_failMin = minBytes;
    g_failSkip = count > 0 && skip > 0 ? skip : 0;
}

bool AllocationShouldFail(size_t bytes)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_failCount <= 0 || bytes < g_failMin)
        return false;
    if (g_failSkip > 0) {
        --g_failSkip;
        return false;
    }
    --g_failCount;
    return true;
}

}  // namespace nullbackend
