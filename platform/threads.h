#pragma once
// Threads, events and waits. A thread handle is signalled when its thread has ended; closing the
// handle of a running thread lets it run on. On the null back end a wait with a finite timeout
// ends only when its object is signalled or a test lets the time pass (window_hooks.h), so that
// timed loops run the same way on every run.
#include "platform/base.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(void*);

// The handheld's priorities run from 0 (time-critical) to 7 (idle).
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 0;
constexpr int THREAD_PRIORITY_NORMAL = 3;

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

constexpr DWORD EVENT_PULSE = 1;
constexpr DWORD EVENT_RESET = 2;
constexpr DWORD EVENT_SET = 3;

HANDLE CreateThread(void* security, size_t stackSize, LPTHREAD_START_ROUTINE start, void* argument,
                    DWORD flags, DWORD* threadId);
// Recorded; the host's scheduler is left alone.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);

HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initialState, const char* name);
BOOL EventModify(HANDLE event, DWORD function);
inline BOOL SetEvent(HANDLE event) { return EventModify(event, EVENT_SET); }
inline BOOL ResetEvent(HANDLE event) { return EventModify(event, EVENT_RESET); }

// Waits for any one of the objects (waitAll must be FALSE): WAIT_OBJECT_0 + its index, WAIT_TIMEOUT
// or WAIT_FAILED. Auto-reset events are reset by the wait that takes them.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds);
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

// Threads, events and message queues are closed with CloseHandle (files.h) as well.
BOOL CloseHandle(HANDLE object);
