#pragma once
// The handheld's basic types and result words, as the engine above this layer uses them.
#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using HRESULT = int32_t;
using HANDLE = void*;
using HMODULE = void*;
using HINSTANCE = void*;
using HKEY = void*;
using HWND = struct WindowRecord*;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// The image libraries define these too, with the same values.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
constexpr DWORD MAX_PATH = 260;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

// System error codes (GetLastError).
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_HANDLE_EOF = 38;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_FILES = 18;

constexpr DWORD ERROR_NEGATIVE_SEEK = 131;

// Result words of the handheld's component calls.
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

DWORD GetLastError();
void SetLastError(DWORD error);

// The system's text for an error code, cut to size - 1 characters; the characters written, or 0.
// Only FORMAT_MESSAGE_FROM_SYSTEM is known; source, language and arguments are ignored.
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
DWORD FormatMessage(DWORD flags, const void* source, DWORD messageId, DWORD languageId, char* buffer, DWORD size,
                    void* arguments);

// Window, drawing and input-method handles.
using HDC = struct DeviceContext*;
using HGDIOBJ = struct GdiObject*;
using HBITMAP = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HICON = void*;
using HCURSOR = void*;
using HMENU = void*;
using HIMC = struct InputMethodContext*;
using COLORREF = DWORD;

struct POINT {
    LONG x = 0, y = 0;
};

// Right and bottom are exclusive.
struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;
};

inline WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
inline WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
inline LPARAM MAKELPARAM(unsigned low, unsigned high)
{
    return static_cast<LPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
