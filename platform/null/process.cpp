#include <mutex>
#include <string>
#include <vector>

#include "platform/handheld_internal.h"
#include "platform/null/window_hooks.h"

namespace nullbackend {
namespace {
std::mutex g_lock;
std::vector<std::string> g_started;
bool g_fail = false;
}  // namespace

BOOL StartProcess(const char* application, const char* commandLine)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_fail) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    g_started.push_back(std::string(application) + "|" + commandLine);
    return TRUE;
}

std::vector<std::string> StartedProcesses()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_started;
}

void FailProcessStarts(bool fail)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_fail = fail;
}

void ClearStartedProcesses()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_started.clear();
    g_fail = false;
}

}  // namespace nullbackend
