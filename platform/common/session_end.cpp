// The program's save for a session that ends where no close can run.
#include <unistd.h>

#include <atomic>

#include "platform/handheld_internal.h"
#include "platform/internal.h"
#include "platform/window.h"

namespace {
bool (*g_save)() = nullptr;
std::atomic<bool> g_ended{false};
}  // namespace

void SetSessionEndSave(bool (*save)())
{
    g_save = save;
}

namespace platform_internal {

bool SessionEnded()
{
    return g_ended;
}

void EndSessionWithoutDisplay()
{
    // Once only: a save that met the loss again ends here without saving twice.
    const char* outcome = "";
    if (!g_ended.exchange(true) && g_save)
        outcome = g_save() ? "; the game is saved as a close saves it" : "; the game could not be saved";
    Warn("the display was lost%s", outcome);
    _exit(kDisplayLostStatus);
}

}  // namespace platform_internal
