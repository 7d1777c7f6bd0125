#pragma once
// A small registry of our own. The only value it knows is "SaveDir" under
// "software\Morvalent\Kelo" in HKEY_CURRENT_USER: $KELO_SAVE_DIR, else $XDG_DATA_HOME/kelo, else
// ~/.local/share/kelo, else (said on stderr) the program's folder, answered as an 8-bit path in the
// engine's form.
#include "platform/base.h"

inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<intptr_t>(0x80000001));
constexpr DWORD REG_SZ = 1;
constexpr DWORD KEY_QUERY_VALUE = 1;

LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD options, DWORD access, HKEY* result);
// Copies the value with its terminator; ERROR_MORE_DATA (with *size set) when the buffer is short.
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegCloseKey(HKEY key);
