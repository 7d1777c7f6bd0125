// The program's entry: the virtual handheld starts, the engine's WinMain runs the program, and a
// picture of the last frame is written when the environment asks for one.
#include <cstdio>
#include <new>

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
    PlatformStartup();
    // The program's string resources: its window class and title.
    SetStringResource(102, "Kelo_Window");
    SetStringResource(103, "Kelo");
    char commandLine[] = "";
    int code = WinMain(&g_module, nullptr, commandLine, SW_SHOW);
    const RunOptions& run = GetRunOptions();
    if (!run.shotPath.empty() && !IsSecondInstance() && !WritePresentedFramePng(run.shotPath.c_str())) {
        fprintf(stderr, "kelo: cannot write the picture to %s\n", run.shotPath.c_str());
        if (code == 0)
            code = 1;
    }
    PlatformShutdown();
    return code;
}
