#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>

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
// The file denied, by what it is rather than its name: a new file made at the name is readable.
bool g_denying = false;
dev_t g_deniedDevice = 0;
ino_t g_deniedInode = 0;

bool Changes(FileCall call)
{
    return call == FileCall::Write || call == FileCall::Flush || call == FileCall::Move || call == FileCall::Delete;
}

void NoteChangingFileCall()
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (++g_changing == g_killAt)
        kill(getpid(), SIGKILL);
}

}  // namespace

void FailFileCalls(FileCall call, int count, DWORD error)
{
    std::lock_guard<std::mutex> hold(g_lock);
    int index = static_cast<int>(call);
    g_count[index] = count > 0 ? count : 0;
    g_error[index] = error;
}

bool FileCallFails(FileCall call, DWORD* error)
{
    if (Changes(call))
        NoteChangingFileCall();
    int index = static_cast<int>(call);
    std::lock_guard<std::mutex> hold(g_lock);
    if (index < 0 || index >= kCalls || g_count[index] <= 0)
        return false;
    --g_count[index];
    *error = g_error[index];
    return true;
}

void DenyOpening(const std::string& hostPath)
{
    struct stat info;
    std::lock_guard<std::mutex> hold(g_lock);
    g_denying = !hostPath.empty() && stat(hostPath.c_str(), &info) == 0;
    g_deniedDevice = g_denying ? info.st_dev : 0;
    g_deniedInode = g_denying ? info.st_ino : 0;
}

bool OpenDenied(const char* hostPath)
{
    struct stat info;
    std::lock_guard<std::mutex> hold(g_lock);
    return g_denying && hostPath && stat(hostPath, &info) == 0 && info.st_dev == g_deniedDevice &&
           info.st_ino == g_deniedInode;
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

}  // namespace nullbackend
