#pragma once
// The system library looked up by name: "coredll.dll" answers the display-settings and power
// notification entries, unless the device profile says the system lacks them.
#include "platform/base.h"

using FARPROC = void (*)();

HMODULE LoadLibrary(const char* name);
BOOL FreeLibrary(HMODULE module);
// Known names: "ChangeDisplaySettingsEx", "CreateMsgQueue", "ReadMsgQueue", "CloseMsgQueue",
// "RequestPowerNotifications", "StopPowerNotifications".
FARPROC GetProcAddress(HMODULE module, const char* name);
