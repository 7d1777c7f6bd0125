// The worst frames of play: the flows' scripted player (the winner bot on the real program, null
// back end, test clock) plays the adventure's first stages frame by frame, then loses a life on the
// next one on purpose (the loser bot), pays it and plays the level again, and restarts that level
// once more from the pause; every presented frame
// is timed in the main thread's CPU time, from the end of one present to the end of the next, less
// what the bot spent deciding and what the sound device's refills took (the audio thread's work in
// a real run, shown apart). Each frame is labelled with what happened in it: a shot, a ball landing,
// a match, a sound start, a save, a screen change or a step of a fade (a level load), a refill of
// the sound; and with the part of the run it belongs to (a won stage, the lost one, its restart
// after the paid life, its restart from the pause).
//
// Argument 0 runs headless; 1 also shows every presented frame in an SDL window, as the SDL back
// end presents it (skipped without a display: run under xvfb-run). The table of the worst frames
// goes to stderr, with the frames around each restart's screen change; the counters give the worst
// frame of play, the worst frame of a level change, how many frames of play passed 10 ms, and the
// worst frame of each restart from the loss (or the pause press) until the new board is in play.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/main_window.h"
#include "engine/sound/mixer.h"
#include "engine/sound/sound_manager.h"
#include "engine/sound/sound_voice.h"
#include "flows/board_bot.h"
#include "flows/scripted_game.h"
#include "flows/stage_play.h"
#include "game/app/player_record.h"
#include "game/play/ball_chain.h"
#include "platform/common/sound_device.h"
#include "platform/handheld_internal.h"
#include "platform/internal.h"
#include "../thread_clock.h"

namespace {

// Stages played: KELO_BENCH_STAGES (1 to 5, the first door), else the first three.
int StagesToPlay()
{
    const char* text = getenv("KELO_BENCH_STAGES");
    const int stages = text ? atoi(text) : 0;
    return stages >= 1 && stages <= 5 ? stages : 3;
}

constexpr int kStageFrames = 30000;
// Frame periods played on a restarted board before the next restart or the end.
constexpr int kReplayAfterFrames = 600;
constexpr double kPlayBudgetMs = 10.0;

double WallSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// What the frame's labels are read from, taken after each present.
struct Snapshot {
    const void* screen = nullptr;
    bool fading = false;
    bool fadingOut = false;
    int fadeLevel = 0;
    bool inPlay = false;
    int playState = -1;
    int shots = 0;
    int balls = 0;
    int score = 0;
    uint32_t soundStarts = 0;
    std::string saves;
};

// The parts of the run.
enum Part { kWonStage, kLostStage, kRestartAfterLoss, kRestartFromPause, kPartCount };
const char* const kPartNames[kPartCount] = {"won", "lost", "loss->new", "pause->new"};

struct Frame {
    double cpuMs = 0, wallMs = 0, audioMs = 0;
    int stage = 0;
    Part part = kWonStage;
    long index = 0;
    bool play = false;
    bool screenChange = false;
    std::string events;
};

struct Probe {
    ScriptedGame* game = nullptr;
    bool window = false;
    int stage = 0;  // 0 until the first stage is on its way in
    Part part = kWonStage;
    double lastCpu = 0, lastWall = 0;
    double excluded = 0;  // bot and audio CPU since the last present
    double audio = 0;
    int refills = 0;
    Snapshot last;
    std::vector<Frame> frames;
    WaveOutProc deviceCallback = nullptr;
};

Probe g_probe;

std::string SaveStamp(const std::string& folder)
{
    std::string stamp;
    for (const char* name : {"global.opt", "saveresume.dat"}) {
        struct stat info {};
        if (stat((folder + "/" + name).c_str(), &info) == 0)
            stamp += std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) + ":" +
                     std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + ";";
    }
    return stamp;
}

Snapshot Take(ScriptedGame& game)
{
    Snapshot s;
    s.screen = game.CurrentScreen();
    if (GameScreen* screen = game.CurrentScreen()) {
        s.fading = screen->IsScreenFading();
        s.fadingOut = screen->IsScreenFadingOut();
        s.fadeLevel = screen->GetFadeLevel();
    }
    if (GameplayScreen* board = stage_play::BoardInFront(game)) {
        s.playState = board->playState;
        s.inPlay = board->playState == kPlayPlaying && !board->lifeLost && !board->IsScreenFading();
        s.shots = board->shotCount;
        s.score = board->levelScore;
        for (BallChain* chain : board->chains)
            if (chain)
                s.balls += chain->count;
    }
    if (GameApp* app = game.App())
        if (auto* sound = dynamic_cast<SoundManager*>(app->GetSoundManager()))
            if (Mixer* mixer = sound->GetMixer())
                for (int h = 0; h < mixer->GetMusicVoiceCount() + mixer->GetSoundVoiceCount(); ++h)
                    if (SoundVoice* voice = mixer->FindVoice(h))
                        s.soundStarts += voice->serial;
    s.saves = SaveStamp(game.SaveFolder());
    return s;
}

// A new screen may take the old one's place in memory: a fade-in begun where none ran is one too.
bool ScreenChanged(const Snapshot& a, const Snapshot& b)
{
    const bool fadingIn = b.fading && !b.fadingOut && b.fadeLevel == 0;
    return a.screen != b.screen || (fadingIn && !(a.fading && !a.fadingOut));
}

std::string Events(const Snapshot& a, const Snapshot& b, int refills)
{
    std::string e;
    auto add = [&](const char* what) { e += e.empty() ? what : std::string(", ") + what; };
    if (ScreenChanged(a, b))
        add("screen change");
    else if (b.fading)
        add(((b.fadingOut ? "fade out " : "fade in ") + std::to_string(b.fadeLevel)).c_str());
    if (a.playState != b.playState)
        add("play state");
    if (b.shots > a.shots)
        add("shot");
    if (b.shots < a.shots && b.balls > a.balls)
        add("ball lands");
    if (b.score > a.score)
        add("match");
    else if (b.balls < a.balls)
        add("balls leave");
    if (b.soundStarts != a.soundStarts)
        add("sound start");
    if (a.saves != b.saves)
        add("save");
    if (refills)
        add("sound refill");
    return e;
}

void OnPresent()
{
    Probe& p = g_probe;
    if (!p.game)
        return;
    if (p.window) {
        const int width = platform_internal::DisplayWidth(), height = platform_internal::DisplayHeight();
        sdlbackend::Present(platform_internal::DisplayPixels(), width, height, RECT{0, 0, width, height});
    }
    const double cpu = ThreadSeconds(), wall = WallSeconds();
    Snapshot now = Take(*p.game);
    Frame f;
    f.cpuMs = (cpu - p.lastCpu - p.excluded) * 1e3;
    f.wallMs = (wall - p.lastWall - p.excluded) * 1e3;
    f.audioMs = p.audio * 1e3;
    f.stage = p.stage;
    f.part = p.part;
    f.screenChange = ScreenChanged(p.last, now);
    f.index = static_cast<long>(p.frames.size());
    f.play = p.last.inPlay && now.inPlay && p.last.screen == now.screen;
    f.events = Events(p.last, now, p.refills);
    p.frames.push_back(f);
    p.last = now;
    p.excluded = p.audio = 0;
    p.refills = 0;
    p.lastCpu = ThreadSeconds();
    p.lastWall = WallSeconds();
}

void TimedRefill(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR header, DWORD_PTR extra)
{
    const double t0 = ThreadSeconds();
    g_probe.deviceCallback(device, message, instance, header, extra);
    const double spent = ThreadSeconds() - t0;
    g_probe.audio += spent;
    g_probe.excluded += spent;
    ++g_probe.refills;
}

// A bot whose deciding time is kept out of the frames.
template <class Bot>
class TimedBot {
public:
    explicit TimedBot(uint32_t seed) : bot_(seed) {}
    void Act(const GameplayScreen& board, BotHands& hands)
    {
        const double t0 = ThreadSeconds();
        bot_.Act(board, hands);
        g_probe.excluded += ThreadSeconds() - t0;
    }
    void LetGo(BotHands& hands) { bot_.LetGo(hands); }

private:
    Bot bot_;
};

// Waits, a frame at a time, for a new board (one in its intro: the one left was in play or lost)
// and then for it to stand in play.
bool WaitForNewBoardInPlay(ScriptedGame& game)
{
    auto inFront = [&] { return stage_play::BoardInFront(game); };
    return game.WaitUntilEachFrame([&] { return inFront() && inFront()->playState <= kPlayIntro; }, 600) &&
           game.WaitUntilEachFrame(
               [&] { return inFront() && inFront()->playState == kPlayPlaying && !inFront()->IsScreenFading(); }, 900);
}

// The stage after the won ones: the loser lets a chain into the hole, the player pays a life with
// a tap, the level starts again; a while into it the pause's replay starts it once more.
bool LoseAndRestart(ScriptedGame& game, int stage, benchmark::State& state)
{
    using namespace stage_play;
    g_probe.stage = stage;
    g_probe.part = kLostStage;
    bool quaked = false;
    if (!WaitForStage(game, stage, quaked) || !WaitForPlay(game)) {
        state.SkipWithError("the stage to lose never came into play");
        return false;
    }
    TimedBot<LoserBot> loser(17);
    GameplayScreen* board = BoardInFront(game);
    if (!PlayUntil(game, loser, [&] { return board->lifeLost != 0; }, kStageFrames, true) ||
        !game.WaitUntil([&] { return board->waitingAfterLoss && board->messageFrames >= 60; }, 3000)) {
        state.SkipWithError("the loser never lost a life");
        return false;
    }
    g_probe.part = kRestartAfterLoss;
    game.Tap(game.Width() / 2, game.Height() / 2);
    if (!WaitForNewBoardInPlay(game)) {
        state.SkipWithError("the level did not start again after the paid life");
        return false;
    }
    g_probe.part = kLostStage;
    TimedBot<WinnerBot> bot(31);
    PlayUntil(game, bot, [] { return false; }, kReplayAfterFrames);
    g_probe.part = kRestartFromPause;
    if (!game.TapWidget("btn_menu") || !game.TapWidget("btn_replay_replay") || !WaitForNewBoardInPlay(game)) {
        state.SkipWithError("the pause's replay did not start the level again");
        return false;
    }
    g_probe.part = kLostStage;
    PlayUntil(game, bot, [] { return false; }, kReplayAfterFrames);
    return true;
}

bool PlayStages(ScriptedGame& game, benchmark::State& state)
{
    using namespace stage_play;
    if (!game.ReachMenu("ITZEL") || !OpenAdventureMap(game) || !game.TapWidget("btn_adv_play")) {
        state.SkipWithError("the adventure did not open");
        return false;
    }
    // The help before the first stage.
    if (!game.WaitUntil([&] { return game.CanTap("btn_help_ok"); }, 600) || !game.TapWidget("btn_help_ok")) {
        state.SkipWithError("the help before play did not show");
        return false;
    }
    TimedBot<WinnerBot> bot(29);
    const int stages = StagesToPlay();
    for (int stage = 1; stage <= stages; ++stage) {
        g_probe.stage = stage;
        bool quaked = false;
        if (!WaitForStage(game, stage, quaked) || !WaitForPlay(game)) {
            state.SkipWithError(("stage " + std::to_string(stage) + " never came into play").c_str());
            return false;
        }
        bool lost = false;
        if (!PlayToWonStats(game, bot, kStageFrames, lost)) {
            state.SkipWithError(("the winner did not clear stage " + std::to_string(stage)).c_str());
            return false;
        }
        if (!game.TapWidget("btn_stats_ok")) {
            state.SkipWithError("the statistics did not close");
            return false;
        }
    }
    return LoseAndRestart(game, stages + 1, state);
}

void Report(const std::vector<Frame>& frames, bool window)
{
    std::vector<const Frame*> order;
    for (const Frame& f : frames)
        order.push_back(&f);
    std::sort(order.begin(), order.end(), [](const Frame* a, const Frame* b) { return a->cpuMs > b->cpuMs; });
    std::fprintf(stderr, "\nWorst frames (%s), main-thread CPU ms; audio = the refills in that frame:\n",
                 window ? "in a window" : "headless");
    std::fprintf(stderr, "%6s %5s %-10s %6s %8s %8s %8s  %s\n", "frame", "stage", "part", "play", "cpu_ms", "wall_ms",
                 "audio_ms", "what happened");
    auto print = [](const Frame& f) {
        std::fprintf(stderr, "%6ld %5d %-10s %6s %8.2f %8.2f %8.2f  %s\n", f.index, f.stage, kPartNames[f.part],
                     f.play ? "yes" : "no", f.cpuMs, f.wallMs, f.audioMs, f.events.c_str());
    };
    int shown = 0;
    for (const Frame* f : order)
        if (f->play && shown++ < 12)
            print(*f);
    std::fprintf(stderr, "Worst frames outside play (level changes, fades, screens between stages):\n");
    shown = 0;
    for (const Frame* f : order)
        if (!f->play && shown++ < 6)
            print(*f);
    std::fprintf(stderr, "Worst frames of the lost stage and of its restarts, in play or not:\n");
    for (Part part : {kLostStage, kRestartAfterLoss, kRestartFromPause}) {
        shown = 0;
        for (const Frame* f : order)
            if (f->part == part && shown++ < 3)
                print(*f);
    }
    // Where in the fade the new board is built: the frames around the screen changes that brought
    // in the first stage (a level start by a fade, from the help) and the third (by the quake),
    // and around each restart.
    auto around = [&](const char* what, const Frame& change) {
        std::fprintf(stderr, "Around the screen change of %s:\n", what);
        const long from = std::max(0L, change.index - 10), to = std::min(long(frames.size()) - 1, change.index + 3);
        for (long i = from; i <= to; ++i)
            print(frames[size_t(i)]);
    };
    bool faded = false, quaked = false, afterLoss = false, fromPause = false;
    for (const Frame& f : frames) {
        if (!f.screenChange)
            continue;
        if (!faded && f.part == kWonStage && f.stage == 1) {
            faded = true;
            around("a level start by a fade (stage 1)", f);
        } else if (!quaked && f.part == kWonStage && f.stage == 3) {
            quaked = true;
            around("a level start by the quake (stage 3)", f);
        } else if (!afterLoss && f.part == kRestartAfterLoss) {
            afterLoss = true;
            around("the restart after a paid life", f);
        } else if (!fromPause && f.part == kRestartFromPause) {
            fromPause = true;
            around("the restart from the pause", f);
        }
    }
}

void BM_PlayFirstStages(benchmark::State& state)
{
    const bool window = state.range(0) == 1;
    if (window && (!getenv("DISPLAY") || !getenv("DISPLAY")[0])) {
        state.SkipWithError("no display (run under xvfb-run)");
        return;
    }
    for (auto _ : state) {
        g_probe = Probe();
        ScriptedGame game(800, 480);
        game.SetFlowName("play_frames");
        game.SetCatchUp(1);  // every frame period is drawn and presented, as in a real run
        g_probe.window = window;
        SetPresentHook(OnPresent);
        if (!game.Start() || (window && !sdlbackend::CreateMainWindow("Kelo play frames", true))) {
            SetPresentHook(nullptr);
            state.SkipWithError(window ? "the program or its window did not start" : "the program did not start");
            break;
        }
        if (WaveOutDevice* device = platform_sound::OpenDevice()) {
            g_probe.deviceCallback = device->callback;
            if (device->callback)
                device->callback = TimedRefill;
        }
        g_probe.game = &game;
        g_probe.last = Take(game);
        g_probe.lastCpu = ThreadSeconds();
        g_probe.lastWall = WallSeconds();
        bool played = PlayStages(game, state);
        SetPresentHook(nullptr);
        g_probe.game = nullptr;
        if (window)
            sdlbackend::Shutdown();
        if (!played)
            break;
    }
    const std::vector<Frame>& frames = g_probe.frames;
    double worstPlay = 0, worstOther = 0;
    double worstPart[kPartCount] = {};
    long over = 0, play = 0;
    for (const Frame& f : frames) {
        worstPart[f.part] = std::max(worstPart[f.part], f.cpuMs);
        if (f.play) {
            ++play;
            worstPlay = std::max(worstPlay, f.cpuMs);
            over += f.cpuMs > kPlayBudgetMs;
        } else {
            worstOther = std::max(worstOther, f.cpuMs);
        }
    }
    Report(frames, window);
    state.counters["frames"] = double(frames.size());
    state.counters["play_frames"] = double(play);
    state.counters["worst_play_ms"] = worstPlay;
    state.counters["worst_change_ms"] = worstOther;
    state.counters["play_over_10ms"] = double(over);
    state.counters["worst_lost_stage_ms"] = worstPart[kLostStage];
    state.counters["worst_loss_restart_ms"] = worstPart[kRestartAfterLoss];
    state.counters["worst_pause_restart_ms"] = worstPart[kRestartFromPause];
}

}  // namespace

BENCHMARK(BM_PlayFirstStages)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);
