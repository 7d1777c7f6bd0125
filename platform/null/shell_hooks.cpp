#include "platform/common/probes_internal.h"
#include "platform/null/window_hooks.h"
#include "platform/shell.h"

namespace nullbackend {

DWORD LastFullScreenState()
{
    return platform_internal::FullScreenState();
}

bool IsInputPanelShown()
{
    return (platform_internal::InputPanelFlags() & SIPF_ON) != 0;
}

bool AreKeysGrabbed()
{
    return platform_internal::KeysGrabbed();
}

std::vector<std::pair<BYTE, bool>> SentKeys()
{
    return platform_internal::KeysSent();
}

void SetImeKey(UINT virtualKey)
{
    platform_internal::HoldImeKey(virtualKey);
}

}  // namespace nullbackend
