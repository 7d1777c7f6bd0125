// The program's entry. Until the window exists it builds the application on the null back end,
// runs its start-up and reports the outcome.
#include <cstdio>
#include <cstdlib>

#include "engine/core/application.h"
#include "platform/backend.h"
#include "platform/device.h"

int main()
{
    setenv("KELO_HEADLESS", "1", 1);
    PlatformStartup();
    Application* app = CreateApplication();
    if (!app) {
        PlatformShutdown();
        return 0;
    }
    app->LoadOptions();
    app->SetScreenRotation(app->GetRequestedRotation());
    GameArea area = app->FitGameArea(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    app->SetGameArea(area);
    bool ok = app->Init(area.gameWidth, area.gameHeight);
    printf("kelo: game area %dx%d on a %dx%d screen, start-up %s (code %d)\n", area.gameWidth, area.gameHeight,
           area.screenWidth, area.screenHeight, ok ? "complete" : "failed", app->GetInitError());
    delete app;
    PlatformShutdown();
    return 0;
}
