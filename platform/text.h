#pragma once
// Conversions between the engine's 8-bit text and UTF-16 at the system boundary. Code page 0 is
// the system's ANSI page, here Latin-1: one byte is one 16-bit unit.
#include "platform/base.h"

constexpr UINT CP_ACP = 0;

// Both return the units written including the terminator when `count` is -1 (0 on failure), or the
// size needed when the output size is 0. A unit above 255 has no 8-bit form and fails the call.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int count, char16_t* out, int outSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* text, int count, char* out, int outSize,
                        const char* defaultChar, BOOL* usedDefault);

void* CoTaskMemAlloc(size_t bytes);
void CoTaskMemFree(void* block);
