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

// File handles. Access rights, share mode and dispositions carry the handheld's values; the share
// mode is accepted and not enforced. CREATE_NEW fails on anything at the name, a link included.
// A handle is closed with CloseHandle.
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;

HANDLE CreateFile(const char* path, DWORD access, DWORD share, void* security, DWORD disposition,
                  DWORD attributes, HANDLE templateFile);
// Reads up to n bytes; at the end of the file it succeeds with 0 bytes read.
BOOL ReadFile(HANDLE file, void* buffer, DWORD n, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD n, DWORD* written, void* overlapped);
// Without a high word the distance is a signed 32-bit value; the new position, or
// INVALID_SET_FILE_POINTER with the last error set.
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
BOOL FlushFileBuffers(HANDLE file);
BOOL CloseHandle(HANDLE object);
BOOL DeleteFile(const char* path);
// Fails when the target exists.
BOOL MoveFile(const char* from, const char* to);
// With MOVEFILE_REPLACE_EXISTING the target is replaced in one step (rename(2)). The folders are
// synced after the rename, so it survives a power cut; FALSE when that fails (the file has moved).
BOOL MoveFileEx(const char* from, const char* to, DWORD flags);

// Path helpers of the layer itself (also used by its tests).
namespace hostpath {
// The host path for an engine path; missing elements are kept as spelled.
std::string ToHost(const char* enginePath);
// The engine's form of a host path: '/' becomes '\'.
std::string FromHost(const std::string& hostPath);
}  // namespace hostpath
