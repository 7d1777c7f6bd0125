#pragma once
// Shared between the sources of the platform layer only.
#include "platform/base.h"

namespace platform_internal {

void Warn(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The system error for an errno value.
DWORD ErrorFromErrno(int error);
// Sets the last error to code and keeps errno for its text (FormatMessage).
void SetLastErrorFromErrno(int error, DWORD code);

// Everything CloseHandle closes derives from this: files now, other kinds of handle later.
struct KernelObject {
    virtual ~KernelObject() = default;
};

// The file calls a back end can refuse (the null back end's tests make them fail on request).
enum class FileCall { Open, Read, Write, Seek, Flush, Move, Delete, FolderSync };

}  // namespace platform_internal

// Back-end entry points, gathered into each back end's table (common/backend_table.h).
namespace nullbackend {
DWORD Ticks();
void SleepFor(DWORD milliseconds);
int ShowMessage(const char* text, const char* caption);
bool AllocationShouldFail(size_t bytes);
// Consumes one injected failure of the call; true with the error. A write, flush, move or delete
// is counted first and may end the process (KillAtFileCall).
bool FileCallFails(platform_internal::FileCall call, DWORD* error);
bool OpenDenied(const char* hostPath);
void CountCall(const char* name);
}  // namespace nullbackend

namespace sdlbackend {
DWORD Ticks();
// Nanoseconds from now until the tick counter reaches the first multiple of `grain` ms that lies at
// least `milliseconds` ahead.
int64_t NanosecondsToGrain(DWORD milliseconds, DWORD grain);
void SleepFor(DWORD milliseconds);
int ShowMessage(const char* text, const char* caption);
}  // namespace sdlbackend

// The display's orientation, which GetSystemMetrics and the work area follow.
namespace platform_internal {
bool DisplaySwapsAxes();
void ResetDisplayOrientation(DWORD orientation);
}  // namespace platform_internal
