#include "engine/core/message_box.h"

#include <cstdio>

#include "engine/core/box_text.h"
#include "engine/core/display.h"
#include "engine/core/main_window.h"
#include "platform/dialog.h"
#include "platform/gapi.h"

namespace {

// Each cause is said once, so few boxes ever wait; past these the next is shown at once rather
// than lost. Held in place: a box may say that memory ran out.
constexpr int kHeldBoxes = 16;
// About three seconds of frames: a screen that does not come to rest does not hold a box back.
constexpr int kHeldFramesMost = 100;

char g_held[kHeldBoxes][kSaidBytes];
int g_heldCount = 0;
int g_heldFrames = 0;
bool g_holding = false;

// The frame stops while the box is up. The timer is started again only when it ran before, so a
// box shown while the program is in the background does not start frames there.
void ShowNow(const char* text)
{
    char lines[kSaidBytes + kSaidBytes / kBoxColumns];
    LayOutForBox(text, kBoxColumns, lines, sizeof lines);
    bool wasRunning = g_timerRunning;
    StopTimer();
    if (g_gapiOpen)
        GXSuspend();
    MessageBox(g_mainWindow, lines, nullptr, MB_TOPMOST);
    if (g_gapiOpen)
        GXResume();
    if (wasRunning)
        StartTimer();
}

void ShowHeld()
{
    // A box shown may end up asking for another: it joins the end of the line.
    for (int i = 0; i < g_heldCount; ++i)
        ShowNow(g_held[i]);
    g_heldCount = 0;
    g_heldFrames = 0;
}

}  // namespace

// Said on stderr at once, for a run started from a terminal and for a headless one, which shows no
// box.
void ShowMessageBox(const char* text)
{
    if (!text)
        text = "";
    fprintf(stderr, "kelo: %s\n", text);
    if (g_holding && g_heldCount < kHeldBoxes) {
        snprintf(g_held[g_heldCount++], kSaidBytes, "%s", text);
        return;
    }
    ShowNow(text);
}

void HoldMessageBoxes(bool on)
{
    g_holding = on;
    if (!on)
        ShowHeld();
}

void ShowHeldMessageBoxes(bool screenAtRest)
{
    if (g_heldCount == 0)
        return;
    if (!screenAtRest && ++g_heldFrames < kHeldFramesMost)
        return;
    ShowHeld();
}

void DropHeldMessageBoxes()
{
    g_holding = false;
    g_heldCount = 0;
    g_heldFrames = 0;
}
