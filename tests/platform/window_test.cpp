#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/capture.h"
#include "platform/clock.h"
#include "platform/device.h"
#include "platform/display_settings.h"
#include "platform/gapi.h"
#include "platform/gdi.h"
#include "platform/keys.h"
#include "platform/null/test_hooks.h"
#include "platform/null/window_hooks.h"
#include "platform/process.h"
#include "platform/window.h"
#include "tests/support/instance_lock.h"

namespace {

int g_creates = 0;
std::vector<UINT> g_seen;

LRESULT CALLBACK_Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        ++g_creates;
    g_seen.push_back(message);
    return DefWindowProc(window, message, wParam, lParam);
}

// A save folder of its own for the instance lock, in the environment while it lives.
class LockFolder {
public:
    LockFolder()
    {
        char pattern[] = "/tmp/kelo_instance_XXXXXX";
        EXPECT_NE(mkdtemp(pattern), nullptr);
        path_ = pattern;
        const char* previous = getenv("KELO_SAVE_DIR");
        hadPrevious_ = previous != nullptr;
        previous_ = previous ? previous : "";
        setenv("KELO_SAVE_DIR", path_.c_str(), 1);
    }
    ~LockFolder()
    {
        if (hadPrevious_)
            setenv("KELO_SAVE_DIR", previous_.c_str(), 1);
        else
            unsetenv("KELO_SAVE_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string LockPath(const char* className) const { return path_ + "/" + className + ".lock"; }

private:
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(DeviceProfile()); }
    void TearDown() override
    {
        SetRunOptions(RunOptions());
        SetDeviceProfile(DeviceProfile());
        nullbackend::ResetHandheld();
    }
    void Fresh(const DeviceProfile& profile)
    {
        SetDeviceProfile(profile);
        nullbackend::ResetHandheld();
        g_creates = 0;
        g_seen.clear();
    }
    HWND MakeWindow()
    {
        WNDCLASS cls;
        cls.lpfnWndProc = CALLBACK_Record;
        cls.lpszClassName = "Test_Window";
        EXPECT_NE(RegisterClass(&cls), 0);
        HWND window = CreateWindowEx(0, "Test_Window", "Test", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(window, nullptr);
        return window;
    }
    static MSG Next()
    {
        MSG msg;
        GetMessage(&msg, nullptr, 0, 0);
        return msg;
    }
};

TEST_F(WindowTest, MessagesComeInTheHandheldsOrder)
{
    HWND window = MakeWindow();
    EXPECT_EQ(g_creates, 1);
    WNDCLASS again;
    again.lpfnWndProc = CALLBACK_Record;
    again.lpszClassName = "test_window";
    EXPECT_EQ(RegisterClass(&again), 0) << "class names are matched without regard to case";

    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 480);

    nullbackend::SetClock(1000);
    ASSERT_EQ(SetTimer(window, 1, 1, nullptr), 1u);
    PostMessage(window, WM_USER + 5, 7, 9);
    // Posted first, then the pending paint of a new window, then the timer once it is due.
    MSG msg = Next();
    EXPECT_EQ(msg.message, WM_USER + 5u);
    EXPECT_EQ(msg.wParam, 7u);
    msg = Next();
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessage(&msg);  // the default handler validates the window
    msg = Next();
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(GetTickCount(), 1001u) << "the null clock moves to the timer";
    msg = Next();
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(GetTickCount(), 1002u);

    PostQuitMessage(3);
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));
    EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(&g_creates), WM_USER, 0, 0));
}

TEST_F(WindowTest, InputArrivesAsTheHandheldsMessages)
{
    HWND window = MakeWindow();
    nullbackend::InjectKey(VK_BACK, true);
    nullbackend::InjectKey(VK_BACK, false);
    MSG msg = Next();
    ASSERT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.wParam, VK_BACK);
    EXPECT_TRUE(TranslateMessage(&msg));
    msg = Next();
    EXPECT_EQ(msg.message, WM_CHAR) << "Backspace also types character 8, next, ahead of the input after it";
    EXPECT_EQ(msg.wParam, 8u);
    msg = Next();
    EXPECT_EQ(msg.message, WM_KEYUP);
    EXPECT_FALSE(TranslateMessage(&msg));

    nullbackend::InjectStylus(1, 900, -5);
    msg = Next();
    EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
    EXPECT_EQ(LOWORD(msg.lParam), 799) << "points are kept on the screen";
    EXPECT_EQ(HIWORD(msg.lParam), 0);

    nullbackend::InjectFocus(false);
    EXPECT_EQ(Next().message, WM_ACTIVATE);
    EXPECT_EQ(Next().message, WM_KILLFOCUS);
    nullbackend::InjectClose();
    EXPECT_EQ(Next().message, WM_DESTROY);
}

// A top-down 5:6:5 DIB of w x h.
BITMAPINFO Info565(int w, int h)
{
    BITMAPINFO info;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_BITFIELDS;
    info.bmiColors[0] = 0xF800;
    info.bmiColors[1] = 0x07E0;
    info.bmiColors[2] = 0x001F;
    return info;
}

TEST_F(WindowTest, DibSectionsAreSixteenBitTopDownOnly)
{
    BITMAPINFO info = Info565(4, 3);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);

    BITMAPINFO bottomUp = info;
    bottomUp.bmiHeader.biHeight = 3;
    EXPECT_EQ(CreateDIBSection(nullptr, &bottomUp, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    BITMAPINFO fiveFive = info;
    fiveFive.bmiColors[1] = 0x03E0;
    EXPECT_EQ(CreateDIBSection(nullptr, &fiveFive, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    BITMAPINFO huge = info;
    huge.bmiHeader.biWidth = 100000;
    EXPECT_EQ(CreateDIBSection(nullptr, &huge, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);

    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap stays";
    SelectObject(memory, old);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_BRUSH)));
}

// A 2x2 DIB with four colours.
struct SmallDib {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint16_t* pixels = nullptr;
    SmallDib(int w, int h)
    {
        BITMAPINFO info = Info565(w, h);
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<uint16_t*>(bits);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~SmallDib()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

TEST_F(WindowTest, ScreenCopiesClipAndReachThePresentedFrame)
{
    DeviceProfile profile;
    profile.screenWidth = 8;
    profile.screenHeight = 6;
    Fresh(profile);
    HWND window = MakeWindow();
    SmallDib dib(2, 2);
    dib.pixels[0] = 1;
    dib.pixels[1] = 2;
    dib.pixels[2] = 3;
    dib.pixels[3] = 4;

    HDC screen = GetDC(window);
    EXPECT_TRUE(StretchBlt(screen, 0, 0, 4, 4, dib.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_TRUE(BitBlt(screen, 7, 5, 2, 2, dib.dc, 0, 0, SRCCOPY)) << "clipped at the screen's corner";
    EXPECT_TRUE(BitBlt(screen, 4, 0, 2, 2, dib.dc, 1, 1, SRCCOPY)) << "clipped at the source's corner";
    RECT bar{6, 0, 8, 2};
    EXPECT_EQ(FillRect(screen, &bar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 1);
    EXPECT_EQ(GetPresentedFrameCount(), 0) << "nothing is shown until the context is released";
    ReleaseDC(window, screen);
    ASSERT_EQ(GetPresentedFrameCount(), 1);

    PresentedFrame frame;
    ASSERT_TRUE(GetPresentedFrame(&frame));
    ASSERT_EQ(frame.width, 8);
    ASSERT_EQ(frame.height, 6);
    auto at = [&](int x, int y) { return frame.pixels[static_cast<size_t>(y) * 8 + x]; };
    EXPECT_EQ(at(0, 0), 1);
    EXPECT_EQ(at(1, 1), 1);
    EXPECT_EQ(at(2, 1), 2);
    EXPECT_EQ(at(3, 3), 4);
    EXPECT_EQ(at(7, 5), 1);
    EXPECT_EQ(at(4, 0), 4);
    EXPECT_EQ(at(5, 0), 0) << "nothing beyond the source";
    EXPECT_EQ(at(6, 1), 0xFFFF);
    EXPECT_EQ(at(7, 0), 0xFFFF);
}

TEST_F(WindowTest, GapiHalvesWideScreensAndDoublesItsPixels)
{
    DeviceProfile profile;
    profile.screenWidth = 480;
    profile.screenHeight = 640;
    Fresh(profile);
    HWND window = MakeWindow();
    GXDisplayProperties properties = GXGetDisplayProperties();
    EXPECT_EQ(properties.cxWidth, 240u);
    EXPECT_EQ(properties.cyHeight, 320u);
    EXPECT_EQ(properties.cbxPitch, 2);
    EXPECT_EQ(properties.cbyPitch, 480);
    EXPECT_EQ(GXBeginDraw(), nullptr) << "closed";
    ASSERT_EQ(GXOpenDisplay(window, GX_FULLSCREEN), 1);
    auto* buffer = static_cast<uint16_t*>(GXBeginDraw());
    ASSERT_NE(buffer, nullptr);
    buffer[0] = 0x1234;
    buffer[240 * 319 + 239] = 0x4321;
    EXPECT_EQ(GXEndDraw(), 1);
    PresentedFrame frame;
    ASSERT_TRUE(GetPresentedFrame(&frame));
    EXPECT_EQ(frame.pixels[0], 0x1234);
    EXPECT_EQ(frame.pixels[481], 0x1234);
    EXPECT_EQ(frame.pixels[2], 0);
    EXPECT_EQ(frame.pixels[640 * 480 - 1], 0x4321);
    EXPECT_EQ(frame.pixels[638 * 480 + 478], 0x4321);
    GXSuspend();
    EXPECT_EQ(GXBeginDraw(), nullptr) << "suspended";
    GXResume();
    EXPECT_NE(GXBeginDraw(), nullptr);

    profile.screenWidth = 240;
    profile.screenHeight = 320;
    profile.gapiOpens = false;
    Fresh(profile);
    EXPECT_EQ(GXGetDisplayProperties().cxWidth, 240u);
    EXPECT_EQ(GXOpenDisplay(MakeWindow(), GX_FULLSCREEN), 0);
}

TEST_F(WindowTest, RawFrameBufferIsShownAfterTimerMessagesAtTheRefreshRate)
{
    RawFrameBufferInfo info;
    DeviceProfile profile;
    profile.rawFrameBuffer = false;
    Fresh(profile);
    EXPECT_EQ(ExtEscape(nullptr, GETRAWFRAMEBUFFER, 0, nullptr, sizeof info, reinterpret_cast<char*>(&info)), 0);

    Fresh(DeviceProfile());
    HWND window = MakeWindow();
    EXPECT_EQ(ExtEscape(nullptr, GETRAWFRAMEBUFFER, 0, nullptr, 4, reinterpret_cast<char*>(&info)), -1);
    ASSERT_EQ(ExtEscape(nullptr, GETRAWFRAMEBUFFER, 0, nullptr, sizeof info, reinterpret_cast<char*>(&info)), 1);
    EXPECT_EQ(info.cxPixels, 800);
    EXPECT_EQ(info.cyPixels, 480);
    EXPECT_EQ(info.cxStride, 2);
    EXPECT_EQ(info.cyStride, 1600);
    auto* frame = static_cast<uint16_t*>(info.pFramePointer);
    frame[5] = 0xBEEF;

    nullbackend::SetClock(100);
    SetTimer(window, 1, 1, nullptr);
    MSG msg;
    auto runTimers = [&](int count) {
        for (int timers = 0; timers < count && GetMessage(&msg, nullptr, 0, 0);) {
            DispatchMessage(&msg);
            timers += msg.message == WM_TIMER;
        }
    };
    // 40 ms of 1 ms ticks at 60 Hz: looked at on the first tick, then every 16 ms; the picture goes
    // out once, as it changes once, and the display's own refreshes count as no frame of the program.
    runTimers(40);
    EXPECT_EQ(nullbackend::CallCount("ShowPicture"), 1);
    EXPECT_EQ(GetPresentedFrameCount(), 0);
    PresentedFrame shown;
    ASSERT_TRUE(GetPresentedFrame(&shown));
    EXPECT_EQ(shown.pixels[5], 0xBEEF);
    frame[6] = 0x1234;
    runTimers(20);
    EXPECT_EQ(nullbackend::CallCount("ShowPicture"), 2) << "a change shows at the next refresh";
    ASSERT_TRUE(GetPresentedFrame(&shown));
    EXPECT_EQ(shown.pixels[6], 0x1234);

    // A program that says it wrote its frame has it counted, whether the frame changed or not.
    RawFrameWritten();
    RawFrameWritten();
    EXPECT_EQ(GetPresentedFrameCount(), 2);
    EXPECT_EQ(nullbackend::CallCount("ShowPicture"), 2) << "the same picture is not shown again";
    frame[7] = 0x4321;
    RawFrameWritten();
    EXPECT_EQ(GetPresentedFrameCount(), 3);
    EXPECT_EQ(nullbackend::CallCount("ShowPicture"), 3);
    // ...and the display leaves the refreshing to it.
    frame[8] = 0x5555;
    runTimers(100);
    EXPECT_EQ(nullbackend::CallCount("ShowPicture"), 3);

    // A program that shows its frames through GDI is left to do so.
    HDC screen = GetDC(window);
    RECT all{0, 0, 1, 1};
    FillRect(screen, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(window, screen);
    int count = GetPresentedFrameCount();
    int pictures = nullbackend::CallCount("ShowPicture");
    frame[9] = 0x6666;
    runTimers(100);
    EXPECT_EQ(GetPresentedFrameCount(), count);
    EXPECT_EQ(nullbackend::CallCount("ShowPicture"), pictures);
}

TEST_F(WindowTest, FrameLimitClosesTheWindow)
{
    RunOptions run;
    run.frameLimit = 2;
    SetRunOptions(run);
    HWND window = MakeWindow();
    for (int i = 0; i < 3; ++i) {
        HDC screen = GetDC(window);
        RECT all{0, 0, 2, 2};
        FillRect(screen, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(window, screen);
    }
    int destroys = 0;
    for (const MSG& msg : nullbackend::QueuedMessages())
        destroys += msg.message == WM_DESTROY;
    EXPECT_EQ(destroys, 1);
}

TEST_F(WindowTest, TurningTheDisplaySwapsItsSize)
{
    DeviceProfile profile;
    profile.screenWidth = 480;
    profile.screenHeight = 640;
    profile.displayOrientation = DMDO_270;
    Fresh(profile);
    HWND window = MakeWindow();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    DEVMODE mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(mode.dmDisplayOrientation, DMDO_270);

    mode.dmDisplayOrientation = DMDO_0;
    ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    std::vector<MSG> queued = nullbackend::QueuedMessages();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].message, WM_SETTINGCHANGE);
    EXPECT_EQ(queued[0].hwnd, window);
    EXPECT_EQ(queued[0].wParam, SETTINGCHANGE_RESET);

    nullbackend::TurnDisplay(DMDO_180);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480) << "half a turn keeps the size";
    mode.dmDisplayOrientation = 3;
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_BADMODE);
    EXPECT_EQ(nullbackend::CurrentOrientation(), DMDO_180);
}

TEST_F(WindowTest, AnotherInstanceIsFoundThroughTheSaveFolderLock)
{
    LockFolder folder;
    // Another process holds the lock: a second open file of the same lock file stands for it.
    int other = open(folder.LockPath("Other_Class").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_TRUE(LockAsAnotherProgram(other));
    HWND found = FindWindow("Other_Class", "Other");
    EXPECT_NE(found, nullptr);
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(found) | 1)));
    close(other);
}

// SDL's message box is a child the program forks; one that outlives the program must not keep the
// next start out.
TEST_F(WindowTest, AForkedChildNeverKeepsTheInstanceLock)
{
    LockFolder folder;
    int told[2];
    ASSERT_EQ(pipe(told), 0);
    pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        if (FindWindow("Forked_Class", "Forked"))
            _exit(2);
        pid_t box = fork();
        if (box == 0) {
            pause();
            _exit(0);
        }
        _exit(write(told[1], &box, sizeof box) == sizeof box ? 0 : 3);
    }
    int status = -1;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    ASSERT_EQ(status, 0) << "the program could not take the lock and fork";
    pid_t box = 0;
    ASSERT_EQ(read(told[0], &box, sizeof box), static_cast<ssize_t>(sizeof box));
    close(told[0]);
    close(told[1]);
    pid_t next = fork();
    ASSERT_GE(next, 0);
    if (next == 0)
        _exit(FindWindow("Forked_Class", "Forked") ? 1 : 0);
    ASSERT_EQ(waitpid(next, &status, 0), next);
    kill(box, SIGKILL);
    EXPECT_EQ(status, 0) << "the program's child kept the next start out";
}

TEST_F(WindowTest, BrowserStartsAreRecordedAndUnsafeAddressesRefused)
{
    PROCESS_INFORMATION info;
    EXPECT_TRUE(CreateProcess("iexplore.exe", "https://example.org/a b", nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, &info));
    EXPECT_FALSE(CreateProcess("iexplore.exe", "--help", nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
    EXPECT_FALSE(CreateProcess("cmd.exe", "x", nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
    nullbackend::FailProcessStarts(true);
    EXPECT_FALSE(CreateProcess("iexplore.exe", "https://x", nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
    ASSERT_EQ(nullbackend::StartedProcesses().size(), 1u);
    EXPECT_EQ(nullbackend::StartedProcesses()[0], "iexplore.exe|https://example.org/a b");
}

TEST_F(WindowTest, StringResourcesReplaceTheDefaults)
{
    char buffer[6] = "xxxxx";
    EXPECT_EQ(LoadString(nullptr, 4242, buffer, sizeof buffer), 0);
    SetStringResource(4242, "Kelo window");
    EXPECT_EQ(LoadString(nullptr, 4242, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "Kelo ");
    SetStringResource(4242, nullptr);
}

}  // namespace
