#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/handheld_internal.h"
#include "platform/internal.h"

extern char** environ;

namespace sdlbackend {

// The address goes to xdg-open as one argument, never through a shell.
BOOL StartProcess(const char*, const char* commandLine)
{
    char program[] = "xdg-open";
    char* arguments[] = {program, const_cast<char*>(commandLine), nullptr};
    pid_t child = 0;
    int error = posix_spawnp(&child, program, nullptr, nullptr, arguments, environ);
    if (error != 0) {
        platform_internal::Warn("cannot start xdg-open: %s", strerror(error));
        SetLastError(platform_internal::ErrorFromErrno(error));
        return FALSE;
    }
    // Reaped in the background, so it never lingers as a zombie while the program runs on.
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return TRUE;
}

}  // namespace sdlbackend
