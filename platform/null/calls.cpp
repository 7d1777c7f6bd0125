#include <map>
#include <mutex>
#include <string>

#include "platform/internal.h"
#include "platform/null/window_hooks.h"

namespace nullbackend {
namespace {
std::mutex g_lock;
std::map<std::string, int> g_counts;
}  // namespace

void CountCall(const char* name)
{
    std::lock_guard<std::mutex> hold(g_lock);
    ++g_counts[name];
}

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
