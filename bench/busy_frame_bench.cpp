// The busy frame as the player has it: the board the winner saved at its busiest on a two-track
// stage (tests/data/busy_board_800x480.rec, the screen id 1 and the board's record, as the resume
// store holds it) is restored through the game's own resume at 800x480, graphics setting 2, its
// "Ready?" closed by its button, then the application's update and draw run as the frame timer
// runs them (dialogs, display, texts; not the presentation). Goal: at most 0.9 ms on one core (3 %
// of the 30 ms frame). At other sizes (KELO_SCREEN) the made-up busy board of the gameplay
// benchmarks is saved and restored instead.
//
// The board moves on as it plays, so it is restored again, outside the timing, every
// kFramesPerRestore frames: the frames timed are the record's and the second after it.
//
// Time is the thread's CPU time, so that other work on a shared machine does not count; the wall
// time of the same steps is the counter wall_us.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_app.h"
#include "thread_clock.h"
#include "busy_board.h"
#include "busy_layers.h"
#include "engine/core/pack_memory_file.h"
#include "engine/ui/script_widget.h"
#include "game/play/ball_chain.h"
#include "game/play/gameplay_screen.h"
#include "platform/crt.h"

namespace {

constexpr int kFramesPerRestore = 30;
constexpr int kSeed = 2024;

// The stored record of the winner's board: an adventure stage, the second word of the record.
bool LoadStoredRecord(BusyRecord& record)
{
    const std::string path = std::string(KELO_TEST_DATA) + "/busy_board_800x480.rec";
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    uint8_t buffer[4096];
    size_t n;
    record.bytes.clear();
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        record.bytes.insert(record.bytes.end(), buffer, buffer + n);
    std::fclose(file);
    if (record.bytes.size() < 8)
        return false;
    const uint8_t* b = record.bytes.data();
    record.mode = 0;
    record.stage = int32_t(b[4] | b[5] << 8 | b[6] << 16 | uint32_t(b[7]) << 24);
    return true;
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

class RestoredBoard {
public:
    // Restores the record when the board has played long enough or another benchmark replaced it.
    bool Ready()
    {
        BenchGame& game = BenchGame::Get();
        if (game.Owner() == this && board_ && frames_ < kFramesPerRestore)
            return true;
        game.SetOwner(this);
        board_ = nullptr;
        frames_ = 0;
        if (record_.bytes.empty()) {
            const bool stored = game.Width() == 800 && game.Height() == 480 && LoadStoredRecord(record_);
            if (!stored && !SaveBusyBoardRecord(record_))
                return false;
        }
        // Making the record put another board on the application.
        game.SetOwner(this);
        app_ = game.App();
        if (!app_ || !Restore())
            return false;
        return true;
    }

    void CountFrame() { ++frames_; }

    BenchApp* App() const { return app_; }
    GameplayScreen* Board() const { return board_; }
    Surface* Screen() const { return app_->GetScreenSurface(); }
private:
    void Frame()
    {
        app_->Update();
        app_->DrawFrame();
    }

    bool Restore()
    {
        PlayerRecord* player = app_->GetProfiles()->CurrentPlayer();
        player->mode = record_.mode;
        player->progress[record_.mode].stage = record_.stage;
        player->progress[record_.mode].gauntletMap = record_.gauntletMap;
        app_->GetProfiles()->skipHelp = true;
        PackMemoryFile stream;
        const int32_t bytes = int32_t(record_.bytes.size());
        if (!stream.Allocate(bytes) || stream.Write(record_.bytes.data(), bytes) < 0 || !stream.Seek(0, kSeekStart))
            return false;
        crt::srand(kSeed);
        if (!app_->RestoreScreen(&stream))
            return false;
        auto* board = dynamic_cast<GameplayScreen*>(app_->GetScreen(kSlotGameplay));
        if (!board || board->curveCount != 2)
            return false;
        // The dialog comes in first; then its button is tapped as the player would.
        for (int i = 0; i < 30; ++i)
            Frame();
        ScriptWidget* button = ScriptWidget::FindByName(board, "btn_ready_go");
        if (!button)
            return false;
        Point at;
        button->GetPosition(at);
        Size size;
        button->GetPreferredSize(size);
        app_->OnPointer(at.x + size.w / 2, at.y + size.h / 2, 1);
        app_->OnPointer(at.x + size.w / 2, at.y + size.h / 2, 2);
        for (int i = 0; i < 30 && ScriptWidget::FindByName(board, "dlg_ready_go"); ++i)
            Frame();
        if (ScriptWidget::FindByName(board, "dlg_ready_go") || board->playState != kPlayPlaying)
            return false;
        board_ = board;
        frames_ = 0;
        return true;
    }

    BusyRecord record_;
    BenchApp* app_ = nullptr;
    GameplayScreen* board_ = nullptr;
    int frames_ = 0;
};

RestoredBoard& Restored()
{
    static RestoredBoard board;
    return board;
}

// Times the step of each iteration; the board then moves on by the rest of its frame, untimed.
template <class Step, class Rest>
void TimeRestored(benchmark::State& state, Step&& step, Rest&& rest)
{
    RestoredBoard& restored = Restored();
    double wall = 0;
    for (auto _ : state) {
        if (!restored.Ready()) {
            state.SkipWithError("the busy board record could not be restored");
            return;
        }
        const double startWall = WallSeconds(), startCpu = ThreadSeconds();
        step(restored);
        const double cpu = ThreadSeconds() - startCpu;
        wall += WallSeconds() - startWall;
        state.SetIterationTime(cpu);
        rest(restored);
        restored.CountFrame();
    }
    state.counters["wall_us"] = benchmark::Counter(wall * 1e6, benchmark::Counter::kAvgIterations);
}

void BM_BusyRestoredFrame(benchmark::State& state)
{
    TimeRestored(
        state,
        [](RestoredBoard& restored) {
            restored.App()->Update();
            restored.App()->DrawFrame();
        },
        [](RestoredBoard&) {});
    if (GameplayScreen* board = Restored().Board()) {
        int balls = 0;
        for (BallChain* chain : board->chains)
            balls += chain ? chain->count : 0;
        state.counters["balls"] = balls;
        state.counters["effects"] = board->effects.Count();
        state.counters["playState"] = board->playState;
    }
}

void BM_BusyRestoredUpdate(benchmark::State& state)
{
    TimeRestored(
        state, [](RestoredBoard& restored) { restored.App()->Update(); },
        [](RestoredBoard& restored) { restored.App()->DrawFrame(); });
}

void BM_BusyRestoredDraw(benchmark::State& state)
{
    TimeRestored(
        state, [](RestoredBoard& restored) { restored.App()->DrawFrame(); },
        [](RestoredBoard& restored) { restored.App()->Update(); });
}

// The board's layers in their order, each on the frame the whole draw would have drawn.
void BM_BusyRestoredLayer(benchmark::State& state)
{
    const int layer = static_cast<int>(state.range(0));
    state.SetLabel(busy_layers::Name(layer));
    TimeRestored(
        state, [layer](RestoredBoard& restored) { busy_layers::Draw(*restored.Board(), restored.Screen(), layer); },
        [](RestoredBoard& restored) {
            restored.App()->Update();
            restored.App()->DrawFrame();
        });
}

}  // namespace

BENCHMARK(BM_BusyRestoredFrame)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(600);
BENCHMARK(BM_BusyRestoredUpdate)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(600);
BENCHMARK(BM_BusyRestoredDraw)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(600);
BENCHMARK(BM_BusyRestoredLayer)->DenseRange(0, busy_layers::kCount - 1)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(600);
