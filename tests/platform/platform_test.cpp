#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/capture.h"
#include "platform/clock.h"
#include "platform/crt.h"
#include "platform/device.h"
#include "platform/files.h"
#include "platform/handheld_internal.h"
#include "platform/memory.h"
#include "platform/null/test_hooks.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace {

std::string MakeTempDir()
{
    char pattern[] = "/tmp/kelo_platform_XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "";
}

std::string QuerySaveDir()
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Morvalent\\Kelo", 0, KEY_QUERY_VALUE, &key), (LONG)ERROR_SUCCESS);
    char value[512] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG result = RegQueryValueEx(key, "SaveDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(value) : std::string("<error>");
}

struct EnvGuard {
    explicit EnvGuard(const char* name) : name_(name)
    {
        if (const char* v = getenv(name)) {
            had_ = true;
            value_ = v;
        }
    }
    ~EnvGuard()
    {
        if (had_)
            setenv(name_, value_.c_str(), 1);
        else
            unsetenv(name_);
    }
    const char* name_;
    bool had_ = false;
    std::string value_;
};

}  // namespace

TEST(PlatformClock, TestClockWrapsAndSleepAdvancesIt)
{
    nullbackend::SetClock(0xFFFFFFF0u);
    nullbackend::ResetSleptTotal();
    Sleep(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(nullbackend::SleptTotal(), 0x20u);
    nullbackend::AdvanceClock(5);
    EXPECT_EQ(GetTickCount(), 0x15u);
}

TEST(PlatformRandom, SeededSequenceStaysInTheHandheldRange)
{
    crt::srand(42);
    int first[8];
    for (int& v : first)
        v = crt::rand();
    crt::srand(42);
    bool sawHigh = false;
    for (int i = 0; i < 1000; ++i) {
        int v = crt::rand();
        if (i < 8) {
            EXPECT_EQ(v, first[i]);
        }
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        sawHigh |= v > 16384;
    }
    EXPECT_TRUE(sawHigh);
}

TEST(PlatformDevice, ScreenSizeParsingAndOemText)
{
    int w = 0, h = 0;
    EXPECT_TRUE(ParseScreenSize("640x480", &w, &h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    for (const char* bad : {"640", "x480", "640x", "64ax480", "0x480", "99999x480", "640x480x2"})
        EXPECT_FALSE(ParseScreenSize(bad, &w, &h)) << bad;
    EXPECT_EQ(w, 640);

    DeviceProfile saved = GetDeviceProfile();
    DeviceProfile profile;
    profile.screenWidth = 320;
    profile.screenHeight = 240;
    profile.oemText = "Sample X1i phone";
    SetDeviceProfile(profile);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 240);
    char text[8];
    ASSERT_TRUE(SystemParametersInfo(SPI_GETOEMINFO, sizeof text, text, 0));
    EXPECT_STREQ(text, "Sample ");  // cut to the buffer, always terminated
    SetDeviceProfile(saved);
}

TEST(PlatformFiles, PathsMatchWithoutRegardToCase)
{
    std::string dir = MakeTempDir();
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(mkdir((dir + "/Levels").c_str(), 0755), 0);
    FILE* f = fopen((dir + "/Levels/Map.DAT").c_str(), "w");
    ASSERT_NE(f, nullptr);
    fputs("x", f);
    fclose(f);

    std::string engine = hostpath::FromHost(dir);
    EXPECT_EQ(hostpath::ToHost((engine + "\\LEVELS\\map.dat").c_str()), dir + "/Levels/Map.DAT");
    // A missing last element keeps its spelling, so new files are created as named.
    EXPECT_EQ(hostpath::ToHost((engine + "\\levels\\New.txt").c_str()), dir + "/Levels/New.txt");

    // The exact spelling wins over another that differs only in case.
    FILE* g = fopen((dir + "/Levels/map.dat").c_str(), "w");
    ASSERT_NE(g, nullptr);
    fclose(g);
    EXPECT_EQ(hostpath::ToHost((engine + "\\Levels\\map.dat").c_str()), dir + "/Levels/map.dat");
    EXPECT_EQ(hostpath::ToHost((engine + "\\Levels\\Map.DAT").c_str()), dir + "/Levels/Map.DAT");

    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((engine + "\\levels\\MAP.dat").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    // Neither spelling matches exactly: the first in byte order is taken.
    EXPECT_STREQ(data.cFileName, "Map.DAT");
    EXPECT_EQ(data.nFileSizeLow, 1u);
    FindClose(find);

    find = FindFirstFile((engine + "\\levels\\*.dat").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int found = 1;
    while (FindNextFile(find, &data))
        ++found;
    EXPECT_EQ(found, 2);
    FindClose(find);

    EXPECT_EQ(FindFirstFile((engine + "\\nothing").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFile((engine + "\\Levels\\").c_str(), &data), INVALID_HANDLE_VALUE);

    EXPECT_TRUE(CreateDirectory((engine + "\\Saves").c_str(), nullptr));
    EXPECT_FALSE(CreateDirectory((engine + "\\saves").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    std::string cleanup = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(cleanup.c_str()), 0);
}

TEST(PlatformFiles, ModulePathIsTheRunningProgramInEngineForm)
{
    char small[8];
    DWORD n = GetModuleFileName(nullptr, small, sizeof small);
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(small[0], '\\');
    EXPECT_EQ(small[7], 0);

    char path[4096];
    n = GetModuleFileName(nullptr, path, sizeof path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(strchr(path, '/'), nullptr);
    std::string host = hostpath::ToHost(path);
    EXPECT_EQ(access(host.c_str(), X_OK), 0) << host;
}

TEST(PlatformRegistry, SaveDirFollowsTheEnvironment)
{
    EnvGuard save("KELO_SAVE_DIR"), xdg("XDG_DATA_HOME"), home("HOME");
    setenv("HOME", "/home/tester", 1);
    setenv("KELO_SAVE_DIR", "/srv/kelo/", 1);
    EXPECT_EQ(QuerySaveDir(), "\\srv\\kelo");
    setenv("KELO_SAVE_DIR", "~/games", 1);
    EXPECT_EQ(QuerySaveDir(), "\\home\\tester\\games");
    unsetenv("KELO_SAVE_DIR");
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(QuerySaveDir(), "\\data\\kelo");
    setenv("XDG_DATA_HOME", "relative/path", 1);  // a relative value counts as unset
    EXPECT_EQ(QuerySaveDir(), "\\home\\tester\\.local\\share\\kelo");
    setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(QuerySaveDir(), "\\home\\tester\\.local\\share\\kelo");

    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Other", 0, KEY_QUERY_VALUE, &key), (LONG)ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Morvalent\\Kelo", 0, KEY_QUERY_VALUE, &key), (LONG)ERROR_SUCCESS);
    BYTE tiny[4];
    DWORD size = sizeof tiny;
    EXPECT_EQ(RegQueryValueEx(key, "SaveDir", nullptr, nullptr, tiny, &size), (LONG)ERROR_MORE_DATA);
    EXPECT_EQ(size, strlen("\\home\\tester\\.local\\share\\kelo") + 1);
    RegCloseKey(key);
}

TEST(PlatformMemory, FailureInjectionAndTextConversion)
{
    nullbackend::FailAllocations(1, 100);
    void* small = HeapAlloc(GetProcessHeap(), 0, 10);
    EXPECT_NE(small, nullptr);
    EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 100), nullptr);
    void* after = HeapAlloc(GetProcessHeap(), 0, 100);
    EXPECT_NE(after, nullptr);
    HeapFree(GetProcessHeap(), 0, small);
    HeapFree(GetProcessHeap(), 0, after);

    char16_t wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a\xE9", -1, wide, 8), 3);
    EXPECT_EQ(wide[1], 0xE9);
    char narrow[8];
    const char16_t beyond[] = {u'a', 0x263A, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, beyond, -1, narrow, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, beyond, -1, narrow, 8, "?", nullptr), 3);
    EXPECT_STREQ(narrow, "a?");
}

TEST(PlatformEnvironment, FrameCountsAndSoundBuffersAreCheckedOrRefused)
{
    int count = 7;
    EXPECT_TRUE(ParseFrameCount("300", &count));
    EXPECT_EQ(count, 300);
    EXPECT_TRUE(ParseFrameCount("100000000", &count));
    for (const char* bad : {"10abc", "-5", "0", "", "abc", " ", "100000001", "99999999999999999999"}) {
        count = 7;
        EXPECT_FALSE(ParseFrameCount(bad, &count)) << bad;
        EXPECT_EQ(count, 7) << bad;
    }

    // A headless run that could never end refuses to start, and says why.
    EnvGuard frames("KELO_FRAMES"), headless("KELO_HEADLESS");
    setenv("KELO_HEADLESS", "1", 1);
    setenv("KELO_FRAMES", "10abc", 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PlatformStartup());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("KELO_FRAMES=10abc"), std::string::npos) << said;
    setenv("KELO_FRAMES", "12", 1);
    EXPECT_TRUE(PlatformStartup());
    EXPECT_EQ(GetRunOptions().frameLimit, 12);
    unsetenv("KELO_FRAMES");
    EXPECT_TRUE(PlatformStartup());
    EXPECT_EQ(GetRunOptions().frameLimit, 0);

    struct Case {
        const char* text;
        int frames;
        bool warns;
    };
    const Case cases[] = {{nullptr, 512, false}, {"", 512, false}, {"768", 768, false}, {"1024", 1024, false},
                          {"99", 512, true},     {"4096", 1024, true}, {"lots", 512, true}, {"600x", 512, true}};
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(sdlbackend::AudioBufferFrames(c.text), c.frames) << (c.text ? c.text : "unset");
        std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_EQ(warning.find("KELO_AUDIO_SAMPLES") != std::string::npos, c.warns) << warning;
    }
}
