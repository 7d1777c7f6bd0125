#include "platform/common/probes_internal.h"
#include "platform/display_settings.h"
#include "platform/null/window_hooks.h"

namespace nullbackend {

void TurnDisplay(DWORD orientation)
{
    DEVMODE mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmDisplayOrientation = orientation;
    ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr);
}

DWORD CurrentOrientation()
{
    return platform_internal::DisplayOrientation();
}

bool IsGapiOpen()
{
    return platform_internal::GapiIsOpen();
}

bool IsGapiSuspended()
{
    return platform_internal::GapiIsSuspended();
}

}  // namespace nullbackend
