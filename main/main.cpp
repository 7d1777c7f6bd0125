// The program's entry: the virtual handheld starts, the engine's WinMain runs the program, and a
// picture of the last frame is written when the environment asks for one. The status a shell sees is
// 0 for any quit the player asked for and 1 for a run that failed, with its reason on stderr.
#include <cstdio>
#include <new>
#include <string>

#include "engine/core/frame_shot.h"
#include "engine/core/main_window.h"
#include "game/app/game_app.h"
#include "platform/backend.h"
#include "platform/capture.h"
#include "platform/window.h"

namespace {
int g_module;  // the program's instance handle points here
}

Application* CreateApplication()
{
    return new (std::nothrow) GameApp();
}

int main()
{
    if (!PlatformStartup()) {
        PlatformShutdown();
        return 1;
    }
    // The program's string resources: its window class and title.
    SetStringResource(102, "Kelo_Window");
    SetStringResource(103, "Kelo");
    char commandLine[] = "";
    // Only a failure asks for 1; every quit the player chose (the close button asks for 2) is 0.
    int status = WinMain(&g_module, nullptr, commandLine, SW_SHOW) == 1 || ProcessExitStatus() != 0 ? 1 : 0;
    if (IsSecondInstance())
        fputs("kelo: Kelo is already running\n", stderr);
    else if (ProcessExitStatus() != 0)
        fputs("kelo: the program could not start\n", stderr);
    const RunOptions& run = GetRunOptions();
    if (status == 0 && !run.shotPath.empty() && !IsSecondInstance()) {
        Outcome shot = WritePresentedFramePng(run.shotPath.c_str());
        if (shot.failed()) {
            fprintf(stderr, "kelo: cannot write the picture to %s: %s\n", run.shotPath.c_str(), shot.Reason());
            status = 1;
        }
    }
    PlatformShutdown();
    return status;
}
