#include <signal.h>
#include <unistd.h>

#include <mutex>

#include "platform/internal.h"
#include "platform/null/test_hooks.h"

namespace nullbackend {
namespace {
constexpr int kCalls = 8;
std::mutex g_lock;
int g_count[kCalls] = {};
DWORD g_error[kCalls] = {};
int g_changing = 0;
int g_killAt = 0;
}  // namespace

void FailFileCalls(FileCall call, int count, DWORD error)
{
    std::lock_guard<std::mutex> hold(g_lock);
    int index = static_cast<int>(call);
    g_count[index] = count > 0 ? count : 0;
    g_error[index] = error;
}

bool FileCallShouldFail(int call, DWORD* error)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (call < 0 || call >= kCalls || g_count[call] <= 0)
        return false;
    --g_count[call];
    *error = g_error[call];
    return true;
}

void KillAtFileCall(int k)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_changing = 0;
    g_killAt = k > 0 ? k : 0;
}

int ChangingFileCalls()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_changing;
}

void NoteChangingFileCall()
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (++g_changing == g_killAt)
        kill(getpid(), SIGKILL);
}

}  // namespace nullbackend
