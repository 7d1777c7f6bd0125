#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/null/sound_hooks.h"
#include "platform/sound.h"

namespace {

WAVEFORMATEX Format16Mono()
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = 22050;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = 44100;
    f.wBitsPerSample = 16;
    return f;
}

// Records what the device hands back and, when asked, writes each header again from inside the
// callback, as the mixer does.
struct Listener {
    std::vector<WAVEHDR*> done;
    std::vector<UINT> messages;
    bool requeue = false;
    char refillWith = 0;

    static void Callback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param, DWORD_PTR)
    {
        auto* self = reinterpret_cast<Listener*>(instance);
        self->messages.push_back(message);
        if (message != WOM_DONE)
            return;
        auto* header = reinterpret_cast<WAVEHDR*>(param);
        self->done.push_back(header);
        if (self->requeue) {
            EXPECT_EQ(waveOutUnprepareHeader(device, header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            for (DWORD i = 0; i < header->dwBufferLength; ++i)
                header->lpData[i] = self->refillWith;
            EXPECT_EQ(waveOutPrepareHeader(device, header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            EXPECT_EQ(waveOutWrite(device, header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
    }
};

class WaveOut : public ::testing::Test {
protected:
    void SetUp() override
    {
        nullbackend::SetSoundDeviceCount(1);
        nullbackend::FailSoundOpen(false);
        nullbackend::ClearCapturedSound();
        WAVEFORMATEX format = Format16Mono();
        ASSERT_EQ(waveOutOpen(&device, 0, &format, reinterpret_cast<DWORD_PTR>(&Listener::Callback),
                              reinterpret_cast<DWORD_PTR>(&listener), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        for (int i = 0; i < 3; ++i) {
            data[i].assign(4, static_cast<char>('a' + i));
            headers[i] = WAVEHDR{};
            headers[i].lpData = data[i].data();
            headers[i].dwBufferLength = 4;
        }
    }
    void TearDown() override
    {
        if (device) {
            listener.requeue = false;
            waveOutReset(device);
            EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
        }
    }
    void Queue(int i)
    {
        ASSERT_EQ(waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(device, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    std::string Captured() const
    {
        const auto& c = nullbackend::CapturedSound();
        return std::string(c.begin(), c.end());
    }

    HWAVEOUT device = nullptr;
    Listener listener;
    std::vector<char> data[3];
    WAVEHDR headers[3];
};

}  // namespace

TEST_F(WaveOut, HeadersPlayInOrderAcrossRequestsThenSilence)
{
    EXPECT_EQ(listener.messages.front(), WOM_OPEN);
    Queue(0);
    Queue(1);
    ASSERT_TRUE(nullbackend::PumpSound(6));
    EXPECT_EQ(Captured(), "aaaabb");
    ASSERT_EQ(listener.done.size(), 1u);
    EXPECT_EQ(listener.done[0], &headers[0]);
    EXPECT_TRUE(headers[0].dwFlags & WHDR_DONE);
    EXPECT_FALSE(headers[0].dwFlags & WHDR_INQUEUE);
    EXPECT_TRUE(headers[1].dwFlags & WHDR_INQUEUE);
    // The rest of header 1, then silence where nothing is queued.
    ASSERT_TRUE(nullbackend::PumpSound(4));
    EXPECT_EQ(Captured(), std::string("aaaabbbb") + std::string(2, '\0'));
    EXPECT_EQ(listener.done.size(), 2u);
}

TEST_F(WaveOut, AHeaderWrittenAgainInTheCallbackPlaysInTheSameRequest)
{
    listener.requeue = true;
    listener.refillWith = 'z';
    Queue(0);
    ASSERT_TRUE(nullbackend::PumpSound(10));
    EXPECT_EQ(Captured(), "aaaazzzzzz");
    EXPECT_EQ(nullbackend::QueuedSoundHeaders(), 1u);
}

TEST_F(WaveOut, PauseKeepsTheQueueAndPlaysSilence)
{
    Queue(0);
    ASSERT_EQ(waveOutPause(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(nullbackend::PumpSound(4));
    EXPECT_EQ(Captured(), std::string(4, '\0'));
    EXPECT_TRUE(listener.done.empty());
    ASSERT_EQ(waveOutRestart(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(nullbackend::PumpSound(4));
    EXPECT_EQ(Captured(), std::string(4, '\0') + "aaaa");
}

TEST_F(WaveOut, ResetReturnsTheQueueInOrderAndCloseRefusesWhileQueued)
{
    Queue(0);
    Queue(1);
    Queue(2);
    EXPECT_EQ(waveOutUnprepareHeader(device, &headers[1], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutWrite(device, &headers[1], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    ASSERT_EQ(listener.done.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(listener.done[i], &headers[i]);
        EXPECT_EQ(waveOutUnprepareHeader(device, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveOutWrite(device, &headers[0], sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    EXPECT_EQ(listener.messages.back(), WOM_CLOSE);
    EXPECT_FALSE(nullbackend::PumpSound(4));
    EXPECT_EQ(waveOutWrite(device, &headers[0], sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    device = nullptr;
}

TEST(WaveOutOpen, CountFailuresFormatsAndTwoDevicesAtOnce)
{
    WAVEFORMATEX format = Format16Mono();
    HWAVEOUT device = nullptr;
    nullbackend::SetSoundDeviceCount(0);
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    EXPECT_NE(waveOutOpen(&device, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    nullbackend::SetSoundDeviceCount(1);
    EXPECT_EQ(waveOutOpen(&device, 1, &format, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    nullbackend::FailSoundOpen(true);
    EXPECT_NE(waveOutOpen(&device, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    nullbackend::FailSoundOpen(false);
    WAVEFORMATEX bad = format;
    bad.wBitsPerSample = 12;
    EXPECT_EQ(waveOutOpen(&device, 0, &bad, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutOpen(&device, 0, &format, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);

    ASSERT_EQ(waveOutOpen(&device, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    HWAVEOUT second = nullptr;
    ASSERT_EQ(waveOutOpen(&second, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_NE(second, device);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutPause(device), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutPause(second), MMSYSERR_NOERROR);
    EXPECT_TRUE(nullbackend::SoundDeviceIsOpen());
    EXPECT_EQ(waveOutClose(second), MMSYSERR_NOERROR);
    EXPECT_FALSE(nullbackend::SoundDeviceIsOpen());
}

// A callback running on another thread when Close is called finishes before Close returns, and
// none starts afterwards.
TEST(WaveOutClose, WaitsForARunningCallbackAndNoneRunsAfter)
{
    static std::atomic<int> running{0};
    static std::atomic<int> afterClose{0};
    static std::atomic<bool> closed{false};
    static std::atomic<bool> entered{false};
    auto callback = [](HWAVEOUT, UINT message, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
        if (message != WOM_DONE)
            return;
        if (closed.load())
            afterClose.fetch_add(1);
        running.fetch_add(1);
        entered.store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        running.fetch_sub(1);
    };
    WAVEFORMATEX format = Format16Mono();
    HWAVEOUT device = nullptr;
    nullbackend::SetSoundDeviceCount(1);
    ASSERT_EQ(waveOutOpen(&device, 0, &format, reinterpret_cast<DWORD_PTR>(+callback), 0, CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    char bytes[4] = {};
    WAVEHDR header{};
    header.lpData = bytes;
    header.dwBufferLength = 4;
    waveOutPrepareHeader(device, &header, sizeof header);
    waveOutWrite(device, &header, sizeof header);
    std::thread audio([] {
        for (int i = 0; i < 50; ++i)
            nullbackend::PumpSound(4);
    });
    while (!entered.load())
        std::this_thread::yield();
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    EXPECT_EQ(running.load(), 0);
    closed.store(true);
    audio.join();
    EXPECT_EQ(afterClose.load(), 0);
}

TEST(CriticalSection, TheOwnerMayEnterAgain)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    std::atomic<bool> got{false};
    std::thread other([&] {
        EnterCriticalSection(&section);
        got.store(true);
        LeaveCriticalSection(&section);
    });
    LeaveCriticalSection(&section);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(got.load());
    LeaveCriticalSection(&section);
    other.join();
    EXPECT_TRUE(got.load());
    DeleteCriticalSection(&section);
    EXPECT_TRUE(MessageBeep(0));
}
