#pragma once
// Milliseconds since start, wrapping past 2^32 like the handheld's tick counter.
#include "platform/base.h"

DWORD GetTickCount();
void Sleep(DWORD milliseconds);
