#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/clock.h"
#include "platform/device.h"
#include "platform/module.h"
#include "platform/null/test_hooks.h"
#include "platform/null/window_hooks.h"
#include "platform/power.h"
#include "platform/threads.h"

namespace {

DWORD ReadLe32(const uint8_t* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

TEST(Power, NotificationsReachTheQueueAndWakeTheWait)
{
    MSGQUEUEOPTIONS options;
    options.dwSize = sizeof options;
    options.cbMaxMessage = 40;
    options.bReadAccess = TRUE;
    HANDLE queue = CreateMsgQueue(nullptr, &options);
    ASSERT_NE(queue, nullptr);
    HANDLE request = RequestPowerNotifications(queue, PBT_TRANSITION);
    ASSERT_NE(request, nullptr);
    HANDLE stop = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE both[2] = {stop, queue};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_TIMEOUT);

    nullbackend::SimulatePowerSuspend();
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
    uint8_t buffer[40];
    DWORD read = 0, flags = 0;
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, 8, &read, 0, &flags)) << "a short buffer takes nothing";
    ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, &flags));
    EXPECT_EQ(ReadLe32(buffer), PBT_TRANSITION);
    EXPECT_TRUE(ReadLe32(buffer + 4) & POWER_STATE_SUSPEND);
    EXPECT_EQ(read, 12 + ReadLe32(buffer + 8));
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, &flags));
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);

    SetEvent(stop);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_OBJECT_0) << "manual reset stays set";

    EXPECT_TRUE(StopPowerNotifications(request));
    nullbackend::SimulatePowerOn();
    EXPECT_EQ(WaitForSingleObject(queue, 0), WAIT_TIMEOUT) << "no longer registered";
    EXPECT_TRUE(CloseMsgQueue(queue));
    EXPECT_EQ(WaitForSingleObject(queue, 0), WAIT_FAILED) << "a closed handle is refused";
    CloseHandle(stop);
}

std::atomic<int> g_gapSeen{0};

DWORD PollLikeTheWatcher(void* stop)
{
    for (;;) {
        DWORD before = GetTickCount();
        if (WaitForSingleObject(stop, 500) == WAIT_OBJECT_0)
            return 0;
        if (GetTickCount() - before >= 750)
            ++g_gapSeen;
    }
}

TEST(Power, TimedWaitsEndOnlyWhenTheTestLetsTimePass)
{
    HANDLE stop = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    int before = nullbackend::LiveThreadCount();
    HANDLE thread = CreateThread(nullptr, 0, PollLikeTheWatcher, stop, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);

    ASSERT_TRUE(nullbackend::SimulateSleepGap(2000));
    ASSERT_TRUE(nullbackend::SimulateSleepGap(500));
    // The second gap was granted only once the thread had counted the first and waited again.
    EXPECT_EQ(g_gapSeen.load(), 1);
    SetEvent(stop);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(g_gapSeen.load(), 1);
    EXPECT_EQ(nullbackend::LiveThreadCount(), before);
    CloseHandle(thread);
    CloseHandle(stop);
}

DWORD WaitForStop(void* stop)
{
    return WaitForSingleObject(stop, INFINITE);
}

// SDL's message box is a child forked while the power watcher waits; the child has no such thread,
// and a child that exits must still end.
TEST(Power, AChildForkedWhileAThreadWaitsCanExit)
{
    HANDLE stop = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, WaitForStop, stop, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // for the thread to be waiting
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        exit(0);
    int status = -1;
    pid_t ended = 0;
    for (int i = 0; i < 200 && ended == 0; ++i) {
        ended = waitpid(child, &status, WNOHANG);
        if (ended == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (ended == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    EXPECT_EQ(ended, child) << "the child's exit waited for a thread it does not have";
    SetEvent(stop);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(stop);
}

TEST(Power, AutoResetEventsAreTakenByOneWait)
{
    HANDLE event = CreateEvent(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForMultipleObjects(1, &event, TRUE, 0), WAIT_FAILED) << "waiting for all is not offered";
    CloseHandle(event);
}

TEST(Power, SystemEntriesFollowTheDeviceProfile)
{
    DeviceProfile profile;
    profile.powerFunctions = false;
    SetDeviceProfile(profile);
    HMODULE core = LoadLibrary("COREDLL.DLL");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(LoadLibrary("other.dll"), nullptr);
    EXPECT_NE(GetProcAddress(core, "ChangeDisplaySettingsEx"), nullptr);
    EXPECT_EQ(GetProcAddress(core, "CreateMsgQueue"), nullptr);
    profile.powerFunctions = true;
    profile.displaySettings = false;
    SetDeviceProfile(profile);
    EXPECT_EQ(GetProcAddress(core, "ChangeDisplaySettingsEx"), nullptr);
    EXPECT_EQ(reinterpret_cast<CreateMsgQueueProc>(GetProcAddress(core, "CreateMsgQueue")), &CreateMsgQueue);
    EXPECT_TRUE(FreeLibrary(core));
    SetDeviceProfile(DeviceProfile());

    OSVERSIONINFO info;
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionEx(&info));
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_LT(info.dwMinorVersion, 20u) << "by default the system predates power notifications";
    DWORD major = 0, minor = 0;
    EXPECT_TRUE(ParseSystemVersion("4.20", &major, &minor));
    EXPECT_EQ(major, 4u);
    EXPECT_EQ(minor, 20u);
    EXPECT_FALSE(ParseSystemVersion("4.", &major, &minor));
    EXPECT_FALSE(ParseSystemVersion("x.1", &major, &minor));
    EXPECT_FALSE(ParseSystemVersion("123.1", &major, &minor));
}

}  // namespace
