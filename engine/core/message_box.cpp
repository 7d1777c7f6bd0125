#include "engine/core/message_box.h"

#include <cstdio>

#include "engine/core/display.h"
#include "engine/core/main_window.h"
#include "platform/dialog.h"
#include "platform/gapi.h"

// Said on stderr too, for a run started from a terminal and for a headless one, which shows no box.
// The frame stops while the box is up. The timer is started again only when it ran before, so a
// box shown while the program is in the background does not start frames there.
void ShowMessageBox(const char* text)
{
    if (!text)
        text = "";
    fprintf(stderr, "kelo: %s\n", text);
    bool wasRunning = g_timerRunning;
    StopTimer();
    if (g_gapiOpen)
        GXSuspend();
    MessageBox(g_mainWindow, text, nullptr, MB_TOPMOST);
    if (g_gapiOpen)
        GXResume();
    if (wasRunning)
        StartTimer();
}
