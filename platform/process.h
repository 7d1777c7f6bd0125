#pragma once
// Starting another program. The virtual handheld knows one: the web browser ("iexplore.exe"),
// which opens its command line as an address with xdg-open. The null back end records the call.
#include "platform/base.h"

struct PROCESS_INFORMATION {
    HANDLE hProcess = nullptr;
    HANDLE hThread = nullptr;
    DWORD dwProcessId = 0;
    DWORD dwThreadId = 0;
};

// TRUE when the program was started; the handles in `info` (when given) are closed with
// CloseHandle.
BOOL CreateProcess(const char* application, const char* commandLine, void* processSecurity, void* threadSecurity,
                   BOOL inheritHandles, DWORD flags, void* environment, const char* directory, void* startup,
                   PROCESS_INFORMATION* info);
