#pragma once
// The game application for the screen tests, on the null back end: the display of a chosen size,
// the layouts of tests/data/screens, art, fonts and saves in a scratch folder of its own, a
// counting sound service, and test screens made by slot through NewScreen.
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/main_window.h"
#include "engine/core/record_store.h"
#include "engine/core/stream.h"
#include "engine/graphics/font_manager.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/sound/sound_manager.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "platform/files.h"
#include "support/host_file.h"
#include "tests/support/recording_sound.h"
#include "tests/engine/graphics/image_fixtures.h"

constexpr const char* kScreensFile = "screens.txt";

class ScreenTestApp;

// A screen built from one root of the test layout; its saved state is one word.
class TestScreen : public GameScreen {
public:
    TestScreen(ScreenTestApp* app, std::string root, int slot);
    bool Create() override { return createResult && LoadLayout(kScreensFile, root.c_str()); }
    bool Serialize(Stream* stream, bool saving) override
    {
        if (saving)
            return saveBytes == 0 ? stream->WriteInt32(state) == 4 : WriteFiller(stream);
        return readResult && stream->ReadInt32(&state) == 4;
    }
    // A picture whose every pixel tells where it is: x in red and blue, y in green.
    bool DrawCapture(Surface* target) override
    {
        for (int y = 0; y < target->GetRawHeight(); ++y)
            for (int x = 0; x < target->GetRawWidth(); ++x)
                target->GetPixels()[y * target->GetRawWidth() + x] = CapturePixel(x, y);
        return true;
    }
    static uint16_t CapturePixel(int x, int y)
    {
        return static_cast<uint16_t>(((x & 31) << 11) | ((y & 63) << 5) | ((x >> 5) & 31));
    }
    bool CanSaveLevel() override { return levelRunning; }
    void OpenPauseDialog() override { ++pauses; }
    void Update() override
    {
        ++updates;
        GameScreen::Update();
    }
    bool WriteFiller(Stream* stream)
    {
        std::vector<char> bytes(static_cast<size_t>(saveBytes), 'x');
        return stream->Write(bytes.data(), saveBytes) == saveBytes;
    }

    std::string root;
    int slot;
    bool createResult = true;
    bool readResult = true;
    bool levelRunning = true;
    int32_t state = 0;
    int saveBytes = 0;
    int pauses = 0;
    int updates = 0;
};

struct ReachedEvent {
    int code;
    std::string name;
    size_t soundsPlayed;
};

class ScreenTestApp : public GameApp {
public:
    explicit ScreenTestApp(int width = 320, int height = 240)
    {
        char pattern[] = "/tmp/kelo_screens_XXXXXX";
        const char* made = mkdtemp(pattern);
        folder_ = made ? made : "/tmp";
        packsEnabled_ = false;
        SetApplication(this);
        g_application = this;
        options_ = new ProfileStore();
        sound = new RecordingSound();
        soundManager_ = sound;
        SetUpArea(width, height);
        ApplyLayout(width, height);
        soundBank_ = new SoundBank(this);
        soundBank_->LoadTable();
        EXPECT_TRUE(soundBank_->LoadByIndex(33).ok());
        resumeStore_ = new SaveFileHolder(this);
        resumeStore_->SetFile(Engine("saveresume.dat").c_str(), nullptr);
        spriteList_ = new ResourceList(this, 10);
    }
    ~ScreenTestApp() override
    {
        DestroyScreens();
        DeleteAndNull(spriteList_);
        // Nothing is written into the scratch folder once it is gone.
        DeleteAndNull(options_);
        if (g_application == this)
            g_application = nullptr;
        std::system(("rm -rf '" + folder_ + "'").c_str());
    }

    void SetUpArea(int width, int height)
    {
        areaWidth_ = width;
        areaHeight_ = height;
        GameArea area;
        area.gameWidth = area.drawWidth = area.screenWidth = width;
        area.gameHeight = area.drawHeight = area.screenHeight = height;
        SetGameArea(area);
        CreateScreenSurface(width, height, 0, 0);
    }

    String GetUiFolder() override
    {
        return String((hostpath::FromHost(std::string(KELO_TEST_DATA) + "/screens") + "\\").c_str());
    }
    String GetImageFolder() override { return String((Engine("") + "\\").c_str()); }
    String GetSaveDirectory() override { return String((Engine("") + "\\").c_str()); }
    GameScreen* NewScreen(int slot) override
    {
        if (slot < 0 || slot >= kScreenSlotCount || roots[slot].empty())
            return nullptr;
        auto* screen = new (std::nothrow) TestScreen(this, roots[slot], slot);
        if (screen && onNew)
            onNew(screen);
        return screen;
    }
    bool OnEvent(Widget* sender, int code, const char* name, int value) override
    {
        reached.push_back({code, name ? name : "", sound->played.size()});
        if (onEvent)
            onEvent(code);
        return gameEvents ? GameApp::OnEvent(sender, code, name, value) : true;
    }

    std::string Host(const std::string& name) const { return folder_ + "/" + name; }
    std::string Engine(const std::string& name) const { return hostpath::FromHost(Host(name)); }
    ProfileStore& Profiles() { return *GetProfiles(); }
    LayoutTable& Layout() { return layoutTable_; }
    // A player with the id, current, in the mode.
    PlayerRecord& MakePlayer(int id, int mode)
    {
        int index = Profiles().AddPlayer();
        PlayerRecord* player = Profiles().GetPlayer(index);
        player->id = id;
        player->mode = mode;
        Profiles().SetCurrentIndex(index);
        return *player;
    }
    // A quake piece of w x h at (x, y) moving by (dx, dy) a step, whole pixels.
    void SetPiece(int i, int w, int h, int x, int y, int dx, int dy)
    {
        DeleteAndNull(quakeImages_[i]);
        quakeImages_[i] = CreateImage();
        quakeImages_[i]->Create(w, h);
        quakePositions_[i] = FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
        quakeSpeeds_[i] = FixedVec2(Fixed::FromInt(dx), Fixed::FromInt(dy));
    }
    void AddExitButton(int size)
    {
        exitNormal_ = CreateImage();
        exitPressed_ = CreateImage();
        exitNormal_->Create(size, size);
        exitPressed_->Create(size, size);
    }
    // Exit images waiting for the end of loading, as the start-up leaves them.
    void SetPendingExit(int size)
    {
        for (Surface*& image : pendingExit_) {
            DeleteAndNull(image);
            image = CreateImage();
            image->Create(size, size);
        }
    }
    Surface* ExitImage() const { return exitNormal_; }
    void SetRotation(int rotation) { rotation_ = rotation; }
    TestScreen* Screen(int slot) { return dynamic_cast<TestScreen*>(GetScreen(slot)); }
    // The test art, the fonts "small" (first entry) and "main", and the sprite sets.
    bool LoadLookAssets();
    // Runs whole frames through the engine's tick.
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            Tick();
    }

    RecordingSound* sound;
    std::string roots[kScreenSlotCount];
    std::function<void(TestScreen*)> onNew;
    std::function<void(int)> onEvent;
    std::vector<ReachedEvent> reached;
    // Events go on to the game's own handler once recorded.
    bool gameEvents = false;

private:
    std::string folder_;
};

inline TestScreen::TestScreen(ScreenTestApp* app, std::string rootName, int slotIndex)
    : GameScreen(app), root(std::move(rootName)), slot(slotIndex)
{
}
