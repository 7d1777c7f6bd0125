#include <map>
#include <mutex>
#include <string>

#include "platform/handheld_internal.h"
#include "platform/null/window_hooks.h"

namespace {
std::mutex g_lock;
std::map<std::string, int> g_counts;
}  // namespace

namespace platform_internal {

void CountCall(const char* name)
{
    std::lock_guard<std::mutex> hold(g_lock);
    ++g_counts[name];
}

}  // namespace platform_internal

namespace nullbackend {

int CallCount(const char* name)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto found = g_counts.find(name);
    return found == g_counts.end() ? 0 : found->second;
}

void ResetCallCounts()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_counts.clear();
}

}  // namespace nullbackend
