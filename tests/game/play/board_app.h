#pragma once
// The board's test application: a game application with its layout table filled for a display
// mode, the renderer's trig table, a sprite list over PNG sheets drawn per test in a scratch
// folder, a sound bank whose plays are recorded, and a recording gameplay screen.
#include <unistd.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <png.h>

#include "engine/core/options_record.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "engine/sound/sound_manager.h"
#include "game/app/game_app.h"
#include "game/app/sound_bank.h"
#include "game/play/ball_chain.h"
#include "game/play/board_screen.h"
#include "game/play/curve_path.h"
#include "platform/crt.h"
#include "platform/files.h"
#include "tests/support/recording_sound.h"
#include "tests/engine/graphics/image_fixtures.h"

// Everything the pieces ask of the screen, answered from fields and written down.
class RecordingScreen : public BoardScreen {
public:
    int GetPlayState() const override { return playState; }
    int LossFadeValue() const override { return lossFade; }
    int GetShotCount() const override { return static_cast<int>(shots.size()); }
    Ball* GetShot(int index) override { return shots[static_cast<size_t>(index)]; }
    void RemoveShot(int index) override
    {
        removedShots.push_back(index);
        shots.erase(shots.begin() + index);
    }
    void AddCoinBonus(Fixed, Fixed, int points) override { coinBonuses.push_back(points); }
    void CountCoinCollected() override { ++coinsCollected; }
    int GetTargetScore() const override { return targetScore; }
    bool IsSurvival() const override { return survival; }
    void OnSparkleAtHole(int curve) override { holesReached.push_back(curve); }
    void SpawnDelayedExplosion(Fixed x, Fixed y, int delay) override
    {
        explosions.push_back({x.ToInt(), y.ToInt(), delay});
    }
    void AddPlainBonus(int x, int y, int points) override { bonuses.push_back({x, y, points}); }
    int GetCurveCount() const override { return curveCount; }
    CurvePath* GetCurve(int index) override { return index >= 0 && index < 2 ? curves[index] : nullptr; }
    void OnInsertedBallSettled() override { ++settled; }

    int playState = 2, lossFade = 0, targetScore = 0, curveCount = 0, coinsCollected = 0, settled = 0;
    bool survival = false;
    std::vector<Ball*> shots;
    std::vector<int> removedShots, coinBonuses, holesReached;
    std::vector<std::vector<int>> explosions, bonuses;
    CurvePath* curves[2] = {nullptr, nullptr};
};

class BoardApp : public GameApp {
public:
    explicit BoardApp(int displayMode = 5) : code(displayMode)
    {
        packsEnabled_ = false;
        char pattern[] = "/tmp/kelo_board_XXXXXX";
        const char* made = mkdtemp(pattern);
        folder = made ? made : "/tmp";
        LayoutTable::FillInts(layoutTable_, code);
        LayoutTable::FillFixed(layoutTable_, code);
        renderer_ = new TrigTable(this, 5760);
        renderer_->Build();
        spriteList_ = new ResourceList(this, 40);
        sound = new RecordingSound();
        soundManager_ = sound;
        soundBank_ = new SoundBank(this);
        soundBank_->LoadTable();
        // The recording service takes every effect; a fixture without them stops before any use.
        for (int i = 0; i < kSoundBankSize; ++i)
            if (soundBank_->LoadByIndex(i).failed())
                std::abort();
        crt::srand(1234);
    }
    ~BoardApp() override
    {
        SetBoardScreen(nullptr);
        std::system(("rm -rf '" + folder + "'").c_str());
    }

    String GetImageFolder() override { return String((hostpath::FromHost(folder) + "\\").c_str()); }
    String GetExeDirectory() override { return GetImageFolder(); }
    int GetLayoutIdCached() override { return code; }
    String GetSoundFolder() override { return String(); }

    std::string Host(const std::string& name) const { return folder + "/" + name; }

    // A set of `frames` cells of w x h in one row; cell i is red 8 * (i + 1), opaque in a centred
    // disc of alpha 200 when `alpha` is set, or in an upright bar half as wide as the cell.
    bool AddSet(const char* name, int frames, int w, int h, bool alpha = true, bool upright = false)
    {
        std::string file = std::string("set_") + name;
        int components = alpha ? 4 : 3;
        auto samples = fixtures::Fill(w * frames, h, components, [&](int x, int y, unsigned char* p) {
            int i = x / w, cx = x % w;
            p[0] = static_cast<unsigned char>((8 * (i + 1)) & 0xF8);
            p[1] = 64;
            p[2] = 32;
            if (alpha) {
                int dx = 2 * cx + 1 - w, dy = 2 * y + 1 - h;
                bool inside = upright ? std::abs(dx) < w / 2 : dx * dx + dy * dy <= w * h;
                p[3] = static_cast<unsigned char>(inside ? 200 : 0);
            }
        });
        if (!fixtures::WritePng(Host(file + ".png"), w * frames, h, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                                8, samples))
            return false;
        return spriteList_->AddSpriteSetSingle(name, file.c_str(), alpha ? file.c_str() : nullptr, frames, frames,
                                               false, false);
    }
    // The ball, bonus and glow sets of every colour.
    bool AddBallSets(int rollFrames = 50)
    {
        const char* bonus[6] = {"BonusBall1", "BonusBall2", "BonusBall3", "BonusBall4", "BonusBall5", "BonusBall6"};
        for (int c = 0; c < 6; ++c)
            if (!AddSet(GetBallName(c), rollFrames, 8, 8) || !AddSet(bonus[c], 4, 8, 8))
                return false;
        return AddSet("BonusLightAlpha", 4, 8, 8);
    }
    void UseScreen(RecordingScreen* screen) { SetBoardScreen(screen); }
    const LayoutTable& Layout() const { return layoutTable_; }

    int code;
    std::string folder;
    RecordingSound* sound = nullptr;
    Surface* surface = nullptr;  // a drawing target for those who want one; owned by the user
};
