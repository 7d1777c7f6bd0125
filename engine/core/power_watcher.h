#pragma once
// The second thread that notices the device going to sleep: through the system's power
// notifications on 4.20 and later, else by a 500 ms wait that took much longer.
#include "platform/base.h"

void StartPowerWatcher();
void StopPowerWatcher();
bool LoadPowerFunctions();
DWORD PowerWatcherThread(void* argument);
DWORD SleepPollThread(void* argument);
