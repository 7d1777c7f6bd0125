#pragma once
// The process heap.
#include "platform/base.h"

HANDLE GetProcessHeap();
void* HeapAlloc(HANDLE heap, DWORD flags, size_t bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, void* block);
