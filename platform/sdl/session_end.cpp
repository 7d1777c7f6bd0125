// The session ending under the program: a signal (SIGTERM, SIGINT, SIGHUP of a closed terminal)
// closes the window as the desktop's close does; the display lost ends the program after its save.
// SDL's message box runs in a child forked from the program, which inherits these handlers: only
// the program's own process saves; any other ends at once, running none of the exit handlers it
// copied (one would wait for ever on a thread the child does not have).
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <SDL.h>

#include "platform/handheld_internal.h"
#include "platform/internal.h"
#include "platform/sdl/session_end.h"
// Last: its macros take names the platform's headers use.
#include <X11/Xlib.h>

namespace sdlbackend {
namespace {

constexpr int kSessionSignals[] = {SIGTERM, SIGINT, SIGHUP};
pid_t g_program = 0;
// A signal wakes the closing thread through this pipe; nothing else is safe in a handler.
int g_wake[2] = {-1, -1};

void OnSessionSignal(int signal)
{
    if (getpid() != g_program)
        _exit(128 + signal);
    int saved = errno;
    char byte = 1;
    ssize_t written = write(g_wake[1], &byte, 1);
    (void)written;
    errno = saved;
}

// A signal to the program alone finds it waiting on SDL's box, in a child forked from it, for an
// answer that may never come: the box is ended as a signal to both would end it, and the close
// follows. Only a child running the program's own image is such a box; a page opened through
// xdg-open, whatever it became, is the desktop's and is left alone.
void EndBoxes()
{
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self);
    DIR* processes = length > 0 && length < static_cast<ssize_t>(sizeof self) ? opendir("/proc") : nullptr;
    if (!processes)
        return;
    while (dirent* entry = readdir(processes)) {
        pid_t pid = static_cast<pid_t>(atoi(entry->d_name));
        if (pid <= 0 || pid == g_program)
            continue;
        char path[64], stat[512];
        snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
        FILE* file = fopen(path, "re");
        if (!file)
            continue;
        size_t got = fread(stat, 1, sizeof stat - 1, file);
        fclose(file);
        stat[got] = 0;
        // The name in parentheses may hold anything; the parent follows the last ')' and the state.
        const char* named = strrchr(stat, ')');
        char state = 0;
        int parent = 0;
        if (!named || sscanf(named + 1, " %c %d", &state, &parent) != 2 || parent != g_program)
            continue;
        char image[PATH_MAX];
        snprintf(path, sizeof path, "/proc/%d/exe", static_cast<int>(pid));
        if (readlink(path, image, sizeof image) == length && memcmp(image, self, static_cast<size_t>(length)) == 0)
            kill(pid, SIGTERM);
    }
    closedir(processes);
}

// The quit SDL's own handlers would post, which closes the window once, as its close button does.
void CloseOnSignals()
{
    for (;;) {
        char byte;
        ssize_t got = read(g_wake[0], &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        if (SDL_WasInit(SDL_INIT_EVENTS)) {
            SDL_Event quit;
            SDL_zero(quit);
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        EndBoxes();
    }
}

// Xlib ends the process when its handler returns, so the handler never does.
int OnDisplayLost(Display*)
{
    if (getpid() != g_program)
        _exit(platform_internal::kDisplayLostStatus);
    platform_internal::EndSessionWithoutDisplay();
}

}  // namespace

void WatchSessionSignals()
{
    if (g_program)
        return;
    g_program = getpid();
    // Without the pipe SDL's own handlers stand: SIGTERM and SIGINT still close the window.
    if (pipe2(g_wake, O_CLOEXEC) != 0) {
        platform_internal::Warn("cannot watch for the session's end: %s", strerror(errno));
        return;
    }
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    fcntl(g_wake[1], F_SETFL, O_NONBLOCK);
    std::thread(CloseOnSignals).detach();
    for (int signal : kSessionSignals) {
        struct sigaction now{};
        // A signal ignored when the program started (nohup, a background job) stays ignored.
        if (sigaction(signal, nullptr, &now) != 0 || now.sa_handler == SIG_IGN)
            continue;
        struct sigaction handler{};
        handler.sa_handler = OnSessionSignal;
        sigemptyset(&handler.sa_mask);
        handler.sa_flags = SA_RESTART;
        sigaction(signal, &handler, nullptr);
    }
}

void WatchDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || SDL_strcmp(driver, "x11") != 0)
        return;
    // Xlib is SDL's, already loaded; the program does not link it itself.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib)
        return;
    using SetHandler = XIOErrorHandler (*)(XIOErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler")))
        set(OnDisplayLost);
    dlclose(xlib);
}

}  // namespace sdlbackend
