#include <chrono>

#include "platform/common/probes_internal.h"
#include "platform/null/test_hooks.h"
#include "platform/null/window_hooks.h"
#include "platform/power.h"

namespace nullbackend {

void SimulatePowerSuspend()
{
    platform_internal::PostPowerTransition(POWER_STATE_SUSPEND, "suspend");
}

void SimulatePowerOn()
{
    platform_internal::PostPowerTransition(POWER_STATE_ON, "on");
}

bool SimulateSleepGap(DWORD milliseconds)
{
    return platform_internal::EndTimedWaits(std::chrono::seconds(5), [milliseconds] { AdvanceClock(milliseconds); });
}

int LiveThreadCount()
{
    return platform_internal::LiveThreads();
}

int LoadedModuleCount()
{
    return platform_internal::LoadedModules();
}

}  // namespace nullbackend
