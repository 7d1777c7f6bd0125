// One made-up busy board frame at 800x480 (KELO_SCREEN's size when set) on the shipped two-track
// map 14 at graphics setting 2: both chains about 80 % full, a shot in flight, a dozen explosions,
// a coin, eight score texts, the track sparkle and the display. The board's own update and draw
// are timed apart, and the draw per layer; the frame the player has is busy_frame_bench's.
//
// The board is topped up between timed frames (outside the timing): chains that rolled too far
// are laid out again, spent explosions, texts, the coin, the shot and the sparkle are replaced.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <string>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/surface.h"
#include "bench_app.h"
#include "busy_board.h"
#include "busy_layers.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/play/ball_chain.h"
#include "game/play/ball_sprite.h"
#include "game/play/curve_path.h"
#include "game/play/explosion.h"
#include "game/play/floating_text.h"
#include "game/play/frog.h"
#include "game/play/game_hud.h"
#include "game/play/gameplay_screen.h"
#include "game/play/track_sparkle.h"
#include "game/screens/loader_screen.h"
#include "platform/crt.h"

namespace {

constexpr int kMap = 14;
constexpr int kStage = 5;
constexpr int kExplosions = 12;
constexpr int kTexts = 8;

class BusyBoard {
public:
    // Puts the busy board on the shared application unless it is already there; false when it
    // cannot be set up.
    bool Prepare()
    {
        BenchGame& game = BenchGame::Get();
        if (game.Owner() == this)
            return board_ != nullptr;
        game.SetOwner(this);
        board_ = nullptr;
        app_ = game.App();
        if (!app_)
            return false;
        PlayerRecord* player = app_->GetProfiles()->CurrentPlayer();
        player->mode = 1;
        player->progress[1].stage = kStage;
        player->progress[1].gauntletMap = kMap;
        player->progress[1].gauntletKind = 1;
        crt::srand(2024);
        if (app_->ShowGameplay(true).failed())
            return false;
        board_ = dynamic_cast<GameplayScreen*>(app_->GetScreen(kSlotGameplay));
        for (int i = 0; board_ && i < 2000; ++i) {
            if (board_->playState == kPlayPlaying && !board_->rollInActive[0] && !board_->rollInActive[1])
                break;
            app_->Update();
        }
        if (!board_ || board_->playState != kPlayPlaying || board_->curveCount != 2) {
            board_ = nullptr;
            return false;
        }
        // Matches score but the level never ends under the benchmark.
        board_->targetScore = 1 << 30;
        for (int c = 0; c < 2; ++c)
            LayOutChain(c);
        TopUp();
        return true;
    }

    GameplayScreen* Board() const { return board_; }
    Surface* Screen() const { return app_->GetScreenSurface(); }

    // Brings the board back to its busy state.
    void TopUp()
    {
        GameplayScreen& b = *board_;
        for (int c = 0; c < 2; ++c) {
            BallChain* chain = b.chains[c];
            if (!chain || chain->count < Capacity(c) * 7 / 10 ||
                chain->balls[0].distance > Fixed::MultiplyInt(b.curveLength[c], 85) / Fixed::FromInt(100))
                LayOutChain(c);
        }
        int explosions = 0, coins = 0;
        for (int i = 0; i < b.effects.Count(); ++i) {
            GameObject* object = b.effects.Get(i);
            if (object && !object->IsDead()) {
                explosions += object->Type() == kObjectExplosion;
                coins += object->Type() == kObjectCoin;
            }
        }
        for (int i = explosions; i < kExplosions; ++i)
            b.SpawnBallExplosion(Fixed::FromInt(120 + 50 * i), Fixed::FromInt(160 + 20 * (i % 4)), i % 6);
        if (coins == 0)
            b.SpawnCoin(400, 120);
        int texts = 0;
        for (FloatingText* text : b.floatingTexts)
            texts += text && text->GetLife() > 0;
        for (int i = texts; i < kTexts; ++i)
            b.ShowScoreText(1230 + i, 150 + 70 * i, 300, i % 6, i % 3, 5, 0, 0);
        if (b.trackSparkle && !b.trackSparkle->IsActive(0))
            b.trackSparkle->Start(0, Fixed(), TrackSparkle::kPreview);
        if (b.shotCount == 0) {
            b.shotPending = 0;
            if (!b.currentBall)
                b.ReloadFrog();
            b.AimAt(400, 40);
            b.ShootBall();
        }
    }

private:
    int Capacity(int c) const
    {
        const GameplayScreen& b = *board_;
        const Fixed diameter = b.collisionDistance;
        return diameter.raw > 0 ? (b.curveLength[c].raw * 8 / 10) / diameter.raw : 0;
    }
    // The chain of the curve filled from its start to 80 % of the track, settled.
    void LayOutChain(int c)
    {
        GameplayScreen& b = *board_;
        BallChain* chain = b.chains[c];
        if (!chain)
            return;
        for (int i = 0; i < chain->count; ++i)
            if (chain->balls[i].sprite)
                chain->balls[i].sprite->Kill();
        chain->count = 0;
        b.ballsPerNewChain = Capacity(c);
        b.FillChain(c, c);
        b.ballsPerNewChain = 1;
        const Fixed shift = Fixed::MultiplyInt(b.curveLength[c], 80) / Fixed::FromInt(100) - b.startDistance[c];
        for (int i = 0; i < chain->count; ++i)
            chain->balls[i].distance += shift;
        chain->entering = 0;
        chain->speed = chain->targetSpeed = b.normalSpeed;
        b.rollInActive[c] = 0;
        chain->Update(&b);
    }

    BenchApp* app_ = nullptr;
    GameplayScreen* board_ = nullptr;
};

BusyBoard& Busy()
{
    static BusyBoard board;
    return board;
}

using Clock = std::chrono::steady_clock;

// Times one step per iteration, the board topped up before each.
template <class Step>
void TimeSteps(benchmark::State& state, Step&& step)
{
    BusyBoard& busy = Busy();
    if (!busy.Prepare()) {
        state.SkipWithError("the busy board could not be set up");
        return;
    }
    for (auto _ : state) {
        busy.TopUp();
        auto start = Clock::now();
        step(*busy.Board(), busy.Screen());
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}

void BM_BusyFrameUpdate(benchmark::State& state)
{
    TimeSteps(state, [](GameplayScreen& board, Surface*) { board.Update(); });
}

void BM_BusyFrameDraw(benchmark::State& state)
{
    TimeSteps(state, [](GameplayScreen& board, Surface*) {
        board.UpdateAimGuide();
        board.Draw();
    });
}

void BM_BusyFrameWhole(benchmark::State& state)
{
    TimeSteps(state, [](GameplayScreen& board, Surface*) {
        board.Update();
        board.Draw();
    });
    // What the last frame held, to show the board stayed busy.
    if (GameplayScreen* board = Busy().Board()) {
        int explosions = 0, coins = 0, texts = 0;
        for (int i = 0; i < board->effects.Count(); ++i) {
            GameObject* object = board->effects.Get(i);
            explosions += object && !object->IsDead() && object->Type() == kObjectExplosion;
            coins += object && !object->IsDead() && object->Type() == kObjectCoin;
        }
        for (FloatingText* text : board->floatingTexts)
            texts += text && text->GetLife() > 0;
        state.counters["balls"] = board->chains[0]->count + board->chains[1]->count;
        state.counters["explosions"] = explosions;
        state.counters["coins"] = coins;
        state.counters["texts"] = texts;
        state.counters["shots"] = board->shotCount;
        state.counters["playState"] = board->playState;
    }
}

// The draw's layers in their order.
void BM_BusyDrawLayer(benchmark::State& state)
{
    const int layer = static_cast<int>(state.range(0));
    state.SetLabel(busy_layers::Name(layer));
    TimeSteps(state, [layer](GameplayScreen& board, Surface* screen) { busy_layers::Draw(board, screen, layer); });
}

}  // namespace

BENCHMARK(BM_BusyFrameUpdate)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(400);
BENCHMARK(BM_BusyFrameDraw)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(400);
BENCHMARK(BM_BusyFrameWhole)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(400);
BENCHMARK(BM_BusyDrawLayer)->DenseRange(0, 10)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(400);

bool SaveBusyBoardRecord(BusyRecord& record)
{
    BusyBoard& busy = Busy();
    if (!busy.Prepare())
        return false;
    busy.TopUp();
    PackMemoryFile stream;
    if (!stream.Allocate(1 << 16) || stream.WriteInt32(1) != 4 || !busy.Board()->SaveGame(&stream))
        return false;
    const auto* bytes = static_cast<const uint8_t*>(stream.GetBuffer());
    record.bytes.assign(bytes, bytes + stream.Tell());
    record.mode = 1;
    record.stage = kStage;
    record.gauntletMap = kMap;
    return true;
}
