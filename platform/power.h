#pragma once
// Point-to-point message queues and the power manager's notifications. A notification is a
// POWER_BROADCAST message: Message, Flags, Length (32-bit little-endian words at offsets 0, 4 and
// 8), then Length bytes of the power state's name. A queue handle is signalled while it holds a
// message. Only the null back end produces power transitions (window_hooks.h).
#include "platform/base.h"

struct MSGQUEUEOPTIONS {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwMaxMessages = 0;  // 0: no limit
    DWORD cbMaxMessage = 0;
    BOOL bReadAccess = FALSE;
};

constexpr DWORD PBT_TRANSITION = 0x00000001;
constexpr DWORD PBT_RESUME = 0x00000002;
constexpr DWORD POWER_STATE_ON = 0x00010000;
constexpr DWORD POWER_STATE_OFF = 0x00020000;
constexpr DWORD POWER_STATE_SUSPEND = 0x00200000;
constexpr DWORD POWER_NOTIFY_ALL = 0xFFFFFFFF;

// Only unnamed queues with read access.
HANDLE CreateMsgQueue(const char* name, MSGQUEUEOPTIONS* options);
// Takes the oldest message; FALSE (ERROR_TIMEOUT when the queue is empty and the wait is over,
// ERROR_INSUFFICIENT_BUFFER when it does not fit) otherwise. Only a timeout of 0 or INFINITE.
BOOL ReadMsgQueue(HANDLE queue, void* buffer, DWORD size, DWORD* read, DWORD milliseconds, DWORD* flags);
BOOL CloseMsgQueue(HANDLE queue);
HANDLE RequestPowerNotifications(HANDLE queue, DWORD which);
BOOL StopPowerNotifications(HANDLE request);

using CreateMsgQueueProc = HANDLE (*)(const char*, MSGQUEUEOPTIONS*);
using ReadMsgQueueProc = BOOL (*)(HANDLE, void*, DWORD, DWORD*, DWORD, DWORD*);
using CloseMsgQueueProc = BOOL (*)(HANDLE);
using RequestPowerNotificationsProc = HANDLE (*)(HANDLE, DWORD);
using StopPowerNotificationsProc = BOOL (*)(HANDLE);

constexpr DWORD ERROR_TIMEOUT = 1460;
