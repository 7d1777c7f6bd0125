#pragma once
// The handheld's virtual-key codes. Letters and digits are their upper-case ASCII codes.
#include "platform/base.h"

constexpr UINT VK_BACK = 8;
constexpr UINT VK_TAB = 9;
constexpr UINT VK_RETURN = 13;
constexpr UINT VK_SHIFT = 16;
constexpr UINT VK_CONTROL = 17;
constexpr UINT VK_MENU = 18;
constexpr UINT VK_ESCAPE = 27;
constexpr UINT VK_SPACE = 32;
constexpr UINT VK_PRIOR = 33;
constexpr UINT VK_NEXT = 34;
constexpr UINT VK_END = 35;
constexpr UINT VK_HOME = 36;
constexpr UINT VK_LEFT = 37;
constexpr UINT VK_UP = 38;
constexpr UINT VK_RIGHT = 39;
constexpr UINT VK_DOWN = 40;
constexpr UINT VK_DELETE = 46;
constexpr UINT VK_LWIN = 91;
constexpr UINT VK_RWIN = 92;
constexpr UINT VK_F1 = 112;
constexpr UINT VK_F2 = 113;
constexpr UINT VK_F3 = 114;
constexpr UINT VK_F4 = 115;
constexpr UINT VK_F5 = 116;
constexpr UINT VK_F6 = 117;
constexpr UINT VK_F7 = 118;
constexpr UINT VK_F8 = 119;
constexpr UINT VK_F9 = 120;
constexpr UINT VK_F10 = 121;
constexpr UINT VK_F11 = 122;
constexpr UINT VK_F12 = 123;
constexpr UINT VK_F20 = 131;
constexpr UINT VK_F21 = 132;
constexpr UINT VK_F23 = 134;
constexpr UINT VK_APOSTROPHE = 0xDE;
// A key the input method has taken; ImmGetVirtualKey gives the real one.
constexpr UINT VK_PROCESSKEY = 229;
