#include "platform/backend.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/capture.h"
#include "platform/common/backend_table.h"
#include "platform/device.h"
#include "platform/handheld_internal.h"
#include "platform/internal.h"

namespace {
constexpr int kMostFrames = 100000000;
}  // namespace

namespace platform_internal {

constinit const BackendTable* g_backend = &kNullBackend;

void CountCall(const char* name)
{
    g_backend->hooks.countCall(name);
}

}  // namespace platform_internal

bool ParseFrameCount(const char* text, int* count)
{
    if (!text || !text[0] || !count)
        return false;
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (end == text || *end != 0 || errno != 0 || value < 1 || value > kMostFrames)
        return false;
    *count = static_cast<int>(value);
    return true;
}

bool PlatformStartup()
{
    const char* headless = getenv("KELO_HEADLESS");
    bool isHeadless = headless && headless[0] && strcmp(headless, "0") != 0;
    platform_internal::g_backend = isHeadless ? &platform_internal::kNullBackend : &platform_internal::kSdlBackend;

    DeviceProfile profile;
    const char* screen = getenv("KELO_SCREEN");
    if (screen && screen[0] && !ParseScreenSize(screen, &profile.screenWidth, &profile.screenHeight))
        platform_internal::Warn("KELO_SCREEN=%s is not WIDTHxHEIGHT with sides of %d to %d; using 800x480", screen,
                                kSmallestScreenSide, kLargestScreenSide);
    if (const char* oem = getenv("KELO_OEM"))
        profile.oemText = oem;
    if (const char* raw = getenv("KELO_RAW_FRAMEBUFFER"); raw && raw[0]) {
        if (strcmp(raw, "0") == 0 || strcmp(raw, "1") == 0)
            profile.rawFrameBuffer = raw[0] == '1';
        else
            platform_internal::Warn("KELO_RAW_FRAMEBUFFER=%s is not 0 or 1; the device answers the probe", raw);
    }
    const char* version = getenv("KELO_SYSTEM_VERSION");
    if (version && version[0] && !ParseSystemVersion(version, &profile.majorVersion, &profile.minorVersion))
        platform_internal::Warn("KELO_SYSTEM_VERSION=%s is not MAJOR.MINOR; using 4.10", version);
    SetDeviceProfile(profile);

    RunOptions run;
    if (const char* frames = getenv("KELO_FRAMES"); frames && frames[0]) {
        if (!ParseFrameCount(frames, &run.frameLimit)) {
            // Nothing but the count ends a run without a window: it would spin unseen for ever.
            if (isHeadless) {
                platform_internal::Warn("KELO_FRAMES=%s is not a frame count from 1 to %d; a headless run "
                                        "needs one to end, so it does not start",
                                        frames, kMostFrames);
                return false;
            }
            platform_internal::Warn("KELO_FRAMES=%s is not a frame count from 1 to %d; running until closed", frames,
                                    kMostFrames);
        }
    }
    if (const char* shot = getenv("KELO_SHOT"))
        run.shotPath = shot;
    SetRunOptions(run);
    return true;
}

void PlatformShutdown()
{
    platform_internal::Backend().shutdown();
}
