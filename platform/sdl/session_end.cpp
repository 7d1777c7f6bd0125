// The session ending under the program: a signal (SIGTERM, SIGINT, SIGHUP of a closed terminal)
// closes the window as the desktop's close does; the display lost ends the program after its save.
// SDL's message box runs in a child forked from the program, which inherits these handlers: only
// the program's own process saves; any other ends at once, running none of the exit handlers it
// copied (one would wait for ever on a thread the child does not have).
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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
