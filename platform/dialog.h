#pragma once
// The system message box. The SDL back end shows a real one over the game's window; the null back
// end shows nothing and records the text for tests, never blocking.
#include "platform/base.h"

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr int IDOK = 1;

int MessageBox(HWND window, const char* text, const char* caption, UINT type);
