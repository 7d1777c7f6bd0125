#pragma once
// Files as the handheld names them. Paths use '\' and are matched element by element without
// regard to case (an exact-case match wins); "\home\u\kelo" is /home/u/kelo.
#include <string>

#include "platform/base.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

struct WIN32_FIND_DATA {
    DWORD dwFileAttributes = 0;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    char cFileName[MAX_PATH] = {};
};

// Full path of the program in the engine's form; returns the characters copied (cut to size - 1,
// with ERROR_INSUFFICIENT_BUFFER) or 0 on failure. module must be null.
DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD size);

// The last path element may hold '*' and '?'.
HANDLE FindFirstFile(const char* path, WIN32_FIND_DATA* data);
BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data);
BOOL FindClose(HANDLE find);
BOOL CreateDirectory(const char* path, void* security);

// Path helpers of the layer itself (also used by its tests).
namespace hostpath {
// The host path for an engine path; missing elements are kept as spelled.
std::string ToHost(const char* enginePath);
// The engine's form of a host path: '/' becomes '\'.
std::string FromHost(const std::string& hostPath);
}  // namespace hostpath
