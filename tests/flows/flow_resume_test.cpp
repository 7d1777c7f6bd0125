// A level left and taken up again: through the pause menu, by closing the program mid-level, and
// by a program killed in the middle of a save; a lost focus or a power cut pauses the board.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board_bot.h"
#include "game/app/game_helpers.h"
#include "game/app/profile_store.h"
#include "game/play/game_hud.h"
#include "game/play/gameplay_rules_end.h"
#include "game/play/gameplay_screen.h"
#include "game/screens/end_screen.h"
#include "game/screens/stage_complete_screen.h"
#include "game/screens/temple_complete_screen.h"
#include "laid_profile.h"
#include "platform/null/test_hooks.h"
#include "scripted_game.h"
#include "stage_play.h"

namespace {

namespace fs = std::filesystem;

const char kPlayer[] = "RESUMA";

class Resume : public ::testing::TestWithParam<FlowSize> {};

// The bots' hands are the player's: the stylus and the keys, a frame each.
class Hands : public BotHands {
public:
    explicit Hands(ScriptedGame& game) : game_(game) {}
    void Stylus(int kind, int x, int y) override
    {
        if (kind == 1)
            game_.Press(x, y);
        else if (kind == 2)
            game_.Release(x, y);
        else
            game_.Drag(x, y);
    }
    void Key(unsigned vk, bool down) override { down ? game_.KeyDown(vk) : game_.KeyUp(vk); }

private:
    ScriptedGame& game_;
};

GameplayScreen* BoardOf(const ScriptedGame& game)
{
    return game.Screen<GameplayScreen>(kSlotGameplay);
}

ModeProgress* ProgressOf(const ScriptedGame& game)
{
    ProfileStore* profiles = game.Profiles();
    return profiles && profiles->GetPlayerCount() > 0 ? profiles->CurrentPlayer()->CurrentModeProgress() : nullptr;
}

// A board in play with nothing in the air: no shot flying, no ball growing into a chain or
// pulled back across a gap, no match waiting to burst, no dialog over it.
bool Settled(const ScriptedGame& game)
{
    GameplayScreen* board = BoardOf(game);
    if (!board || board->playState != kPlayPlaying || board->shotCount > 0 || board->IsScreenFading() ||
        game.OpenDialog())
        return false;
    for (BallChain* chain : board->chains) {
        for (int i = 0; chain && i < chain->count; ++i) {
            const Ball& ball = chain->balls[i];
            if (ball.growth < Fixed::FromInt(1) || ball.pullSpeed.raw != 0 || ball.matched)
                return false;
        }
    }
    return true;
}

// A fresh board of the stage, shown and past its fade.
bool NewBoardOf(const ScriptedGame& game, int stage)
{
    GameplayScreen* board = BoardOf(game);
    ModeProgress* progress = ProgressOf(game);
    return board && progress && progress->stage == stage && board->playState <= kPlayPlaying && board->endState == 0 &&
           !board->IsScreenFading();
}

// Lets the bot play until done() holds; false once maxFrames periods passed first.
template <class Bot>
bool PlayUntil(ScriptedGame& game, Bot& bot, const std::function<bool()>& done, int maxFrames)
{
    Hands hands(game);
    const int64_t end = game.FramesRun() + maxFrames;
    while (!done()) {
        if (game.FramesRun() >= end || !game.Running())
            return false;
        GameplayScreen* board = BoardOf(game);
        if (!board || board->playState != kPlayPlaying || game.OpenDialog()) {
            game.Wait(3);
            continue;
        }
        bot.Act(*board, hands);
        board = BoardOf(game);
        // While a shot flies the engine may catch up.
        if (board && board->shotCount > 0)
            game.Wait(3);
        else
            game.Frame();
    }
    return true;
}

// What the player sees of the level: the stage, the score and lives on the display, the balls.
struct Seen {
    int stage = 0;
    int score = 0;  // the finished stages' and this level's
    int lives = 0;
    std::string scoreText;
    int lifeIcons = 0;
    int balls = 0;

    bool operator==(const Seen& other) const
    {
        return stage == other.stage && score == other.score && lives == other.lives &&
               scoreText == other.scoreText && lifeIcons == other.lifeIcons && balls == other.balls;
    }
};

std::ostream& operator<<(std::ostream& out, const Seen& seen)
{
    return out << "stage " << seen.stage << " score " << seen.score << " (" << seen.scoreText << ") lives "
               << seen.lives << " (" << seen.lifeIcons << " icons) balls " << seen.balls;
}

Seen SeenOf(const ScriptedGame& game)
{
    Seen seen;
    GameplayScreen* board = BoardOf(game);
    ModeProgress* progress = ProgressOf(game);
    if (!board || !progress)
        return seen;
    seen.stage = progress->stage;
    seen.score = progress->score + board->levelScore;
    seen.lives = progress->lives;
    if (board->hud) {
        seen.scoreText = board->hud->GetScoreText().CStr() ? board->hud->GetScoreText().CStr() : "";
        seen.lifeIcons = board->hud->GetLifeIcons();
    }
    for (BallChain* chain : board->chains)
        seen.balls += chain ? chain->count : 0;
    return seen;
}

// From the menu, a new adventure's first stage, the help before play ticked away on the way.
void PlayFirstStage(ScriptedGame& game)
{
    ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_adv_play") && !game.CurrentScreen()->IsScreenFading(); },
                               600));
    ASSERT_TRUE(game.TapWidget("btn_adv_play"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_help_ok") || BoardOf(game); }, 600));
    if (game.Shows("btn_help_ok")) {
        game.Wait(12);
        if (game.Shows("chk_dontshow") && !game.IsTicked("chk_dontshow"))
            game.TapWidget("chk_dontshow");
        ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    }
    ASSERT_TRUE(game.WaitUntil([&] { return NewBoardOf(game, 1) && BoardOf(game)->playState == kPlayPlaying; }, 3000));
}

// The score the Continue dialog offers, the last of its values; -1 when it shows none.
int OfferedScore(ScriptedGame& game)
{
    if (!game.Shows("txt_continue_2"))
        return -1;
    const std::string offer = game.TextOf("txt_continue_2");
    const size_t last = offer.rfind('\n');
    return last == std::string::npos ? -1 : stage_play::ShownNumber(offer.substr(last + 1));
}

// From the menu, Continue on the adventure: a saved board comes back under "Ready?", a level
// the profile has moved past starts afresh. The score the dialog offered goes to `offered`.
void ContinueAdventure(ScriptedGame& game, int* offered = nullptr)
{
    ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_continue_adventure"); }, 300))
        << "no Continue offered";
    game.Wait(12);
    if (offered)
        *offered = OfferedScore(game);
    ASSERT_TRUE(game.TapWidget("btn_continue_adventure"));
    ASSERT_TRUE(game.WaitUntil(
        [&] {
            GameplayScreen* board = BoardOf(game);
            return board && !board->IsScreenFading() && (game.Shows("btn_ready_go") || board->playState != kPlayStart);
        },
        600));
}

// Plays until the board has settled after at least `shots` more shots.
void PlayShots(ScriptedGame& game, WinnerBot& bot, int shots)
{
    const int wanted = bot.Shots() + shots;
    ASSERT_TRUE(PlayUntil(game, bot, [&] { return bot.Shots() >= wanted && Settled(game); }, 3000));
}

bool Ended(ScriptedGame& game)
{
    return game.WaitUntil([&] { return !game.Running(); }, 300);
}

TEST_P(Resume, LeftAndTakenUpAgainGivesTheSameBoard)
{
    const FlowSize size = GetParam();
    FlowFolder folder;
    Seen left;
    {
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu(kPlayer));
        PlayFirstStage(game);
        WinnerBot bot(7);
        PlayShots(game, bot, 4);

        // Left through the pause menu; the dialog holds the board still.
        ASSERT_TRUE(game.TapWidget("btn_menu"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_pause_menu"); }, 200));
        left = SeenOf(game);
        EXPECT_GT(left.score, 0) << "the winner scored nothing in four shots";
        game.Wait(12);
        EXPECT_EQ(SeenOf(game), left) << "the board moved under the pause dialog";
        EXPECT_TRUE(game.Shot("pause"));
        ASSERT_TRUE(game.TapWidget("btn_pause_menu"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_sm_adventure") && !BoardOf(game); }, 300));
        const std::string saved = folder.Read("saveresume.dat");
        ASSERT_FALSE(saved.empty());

        // Continue: the same board, and saved again (the program closed under "Ready?") the same bytes.
        ContinueAdventure(game);
        ASSERT_TRUE(game.Shows("btn_ready_go"));
        EXPECT_EQ(SeenOf(game), left);
        game.Wait(12);
        EXPECT_TRUE(game.Shot("continued"));
        EXPECT_TRUE(game.MatchesStoredHash("continued"));
        game.Close();
        ASSERT_TRUE(Ended(game));
        EXPECT_EQ(folder.Read("saveresume.dat"), saved) << "the board came back changed";
    }

    // Closed mid-level, restarted on the same folder: the board it left.
    Seen closed;
    std::string closedBytes;
    {
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu(kPlayer));
        ContinueAdventure(game);
        EXPECT_EQ(SeenOf(game), left);
        ASSERT_TRUE(game.TapWidget("btn_ready_go"));
        WinnerBot bot(11);
        PlayShots(game, bot, 3);
        closed = SeenOf(game);
        game.Close();
        ASSERT_TRUE(Ended(game));
        closedBytes = folder.Read("saveresume.dat");
        ASSERT_FALSE(closedBytes.empty());
    }
    {
        ScriptedGame game(size.width, size.height, folder.Path());
        // Each run keeps a contact sheet of its own.
        game.SetFlowName("resume_restarted");
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu(kPlayer));
        ContinueAdventure(game);
        ASSERT_TRUE(game.Shows("btn_ready_go"));
        EXPECT_EQ(SeenOf(game), closed);
        EXPECT_TRUE(game.Shot("restarted"));
        game.Close();
        ASSERT_TRUE(Ended(game));
        EXPECT_EQ(folder.Read("saveresume.dat"), closedBytes) << "the board came back changed";
    }

    // A lost focus and a power cut each pause the board.
    {
        ScriptedGame game(size.width, size.height, folder.Path());
        game.SetFlowName("resume_paused");
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu(kPlayer));
        ContinueAdventure(game);
        ASSERT_TRUE(game.TapWidget("btn_ready_go"));
        ASSERT_TRUE(game.WaitUntil([&] { return Settled(game); }, 300));
        game.Focus(false);
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_pause_resume"); }, 200)) << "focus lost, no pause";
        game.Focus(true);
        game.Wait(12);
        const Seen paused = SeenOf(game);
        game.Wait(60);
        EXPECT_EQ(SeenOf(game), paused) << "the board moved under the pause dialog";
        ASSERT_TRUE(game.TapWidget("btn_pause_resume"));
        ASSERT_TRUE(game.WaitUntil([&] { return Settled(game); }, 300));

        ASSERT_TRUE(game.Suspend());
        ASSERT_TRUE(game.PowerOn());
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_pause_resume"); }, 200)) << "power cut, no pause";
        game.Wait(12);
        EXPECT_TRUE(game.Shot("power_pause"));
        EXPECT_EQ(game.Quit(), 0);
    }
}

// ---- killed in the middle of a save ----

// The files a save touches, with the leftovers a save cut short may leave.
bool IsSaveFile(const std::string& name)
{
    return name.rfind("global.opt", 0) == 0 || name.rfind("saveresume.dat", 0) == 0;
}

std::map<std::string, std::string> SaveFilesIn(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || !IsSaveFile(name))
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[name] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

void PutSaveFiles(const std::string& folder, const std::map<std::string, std::string>& files)
{
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && IsSaveFile(entry.path().filename().string()))
            fs::remove(entry.path());
    }
    for (const auto& [name, bytes] : files)
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

// The player's standing as the profile keeps it.
struct Standing {
    int stage = 0, score = 0, lives = 0;
    bool operator==(const Standing& other) const
    {
        return stage == other.stage && score == other.score && lives == other.lives;
    }
};

std::ostream& operator<<(std::ostream& out, const Standing& standing)
{
    return out << "stage " << standing.stage << " score " << standing.score << " lives " << standing.lives;
}

Standing StandingOf(const ScriptedGame& game)
{
    ModeProgress* progress = ProgressOf(game);
    return progress ? Standing{progress->stage, progress->score, progress->lives} : Standing{};
}

// A save cut short at call k, for every k of it: `act` starts it and `done` tells it finished.
struct CutSave {
    std::string what;
    Standing before, after;
    // The points of the board the record holds: played on while the profile stands at its level.
    int recordScore = 0;
    int calls = 0;
    std::vector<std::map<std::string, std::string>> folders;  // what each kill left, k = 1..calls
};

constexpr int kChildTimedOut = 255;
constexpr int kChildSurvived = 254;

// The child goes on from the parent's very frame; it never returns into the test.
[[noreturn]] void RunChild(ScriptedGame& game, int k, const std::function<void()>& act,
                           const std::function<bool()>& done)
{
    nullbackend::KillAtFileCall(k);
    act();
    if (!game.WaitUntil(done, 1500))
        _exit(kChildTimedOut);
    // Late saves of the same step (the level's start) are part of it.
    game.Wait(12);
    if (k > 0)
        _exit(kChildSurvived);
    _exit(std::min(nullbackend::ChangingFileCalls(), 250));
}

int WaitForChild(pid_t child, bool* killed)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    *killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void CutEverywhere(ScriptedGame& game, CutSave& cut, const std::function<void()>& act,
                   const std::function<bool()>& done)
{
    const std::string folder = game.SaveFolder();
    const auto before = SaveFilesIn(folder);
    fflush(nullptr);
    pid_t counter = fork();
    ASSERT_GE(counter, 0);
    if (counter == 0)
        RunChild(game, 0, act, done);
    bool killed = false;
    cut.calls = WaitForChild(counter, &killed);
    ASSERT_FALSE(killed);
    ASSERT_GT(cut.calls, 0) << cut.what << ": the save changed no file";
    ASSERT_LT(cut.calls, 250) << cut.what << ": the child did not finish";
    for (int k = 1; k <= cut.calls; ++k) {
        PutSaveFiles(folder, before);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            RunChild(game, k, act, done);
        int code = WaitForChild(child, &killed);
        EXPECT_TRUE(killed) << cut.what << ": call " << k << " of " << cut.calls << " ended with " << code;
        cut.folders.push_back(SaveFilesIn(folder));
    }
    PutSaveFiles(folder, before);
}

// Kills that leave the same bytes in the two files a start reads, beside leftovers of the same
// names, differ only in how much of a temporary file was written, and no start opens one: each
// such state is started once, on what the last of its kills left. Keyed by the calls, "4-12".
std::vector<std::pair<std::string, const std::map<std::string, std::string>*>> DistinctStates(const CutSave& cut)
{
    std::vector<std::pair<std::string, const std::map<std::string, std::string>*>> states;
    std::string lastKey;
    int first = 0;
    for (int k = 1; k <= static_cast<int>(cut.folders.size()); ++k) {
        const auto& files = cut.folders[k - 1];
        std::string key;
        for (const auto& [name, bytes] : files) {
            key += name + "\n";
            if (name == "global.opt" || name == "saveresume.dat")
                key += bytes + "\n";
        }
        if (k > 1 && key == lastKey) {
            states.back() = {std::to_string(first) + "-" + std::to_string(k), &files};
            continue;
        }
        first = k;
        lastKey = key;
        states.push_back({std::to_string(k), &files});
    }
    return states;
}

// The program started on what a kill left: both files load, Continue gives the saved level or
// the next, and nothing is counted twice.
// Starts the program on what a kill left: both files load, the player stands where the save
// began or where it ended.
void StartOnKill(ScriptedGame& game, const CutSave& cut, const char* player)
{
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("NOBODY"));
    ASSERT_EQ(game.Profiles()->GetPlayerCount(), 1) << "global.opt did not load";
    String name;
    game.Profiles()->GetPlayerName(0, name);
    EXPECT_STREQ(name.CStr(), player);
    const Standing standing = StandingOf(game);
    EXPECT_TRUE(standing == cut.before || standing == cut.after)
        << standing << "; before the save " << cut.before << ", after it " << cut.after;
}

void ExpectNoneSetAside(const std::string& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_NE(entry.path().extension(), ".bad") << entry.path().filename() << " was set aside";
}

void CheckComesBack(const FlowSize& size, const CutSave& cut, const std::string& calls,
                    const std::map<std::string, std::string>& files)
{
    SCOPED_TRACE(cut.what + ", killed at call " + calls + " of " + std::to_string(cut.calls));
    FlowFolder folder;
    PutSaveFiles(folder.Path(), files);
    ScriptedGame game(size.width, size.height, folder.Path());
    game.SetFlowName("resume_killed");
    StartOnKill(game, cut, kPlayer);
    if (::testing::Test::HasFatalFailure())
        return;
    const Standing standing = StandingOf(game);
    int offered = -1;
    ContinueAdventure(game, &offered);
    const Seen seen = SeenOf(game);
    // The board is the profile's level, never one already won: the saved one before the save,
    // a fresh one after it.
    EXPECT_EQ(seen.stage, standing.stage);
    EXPECT_EQ(seen.score, standing.score + (standing == cut.before ? cut.recordScore : 0));
    EXPECT_EQ(seen.lives, standing.lives);
    EXPECT_EQ(offered, seen.score) << "the Continue dialog's score is not the one played on";
    EXPECT_EQ(game.Quit(), 0);
    ExpectNoneSetAside(folder.Path());
}

TEST_P(Resume, KilledInTheMiddleOfASaveComesBackWhole)
{
    const FlowSize size = GetParam();
    FlowFolder folder;
    CutSave won, paid;
    won.what = "the save after a won stage";
    paid.what = "the save after a paid life";
    {
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu(kPlayer));
        PlayFirstStage(game);

        // Left with points through the pause menu and taken up again, so the record the won
        // stage leaves behind holds a board with points of its own.
        WinnerBot opener(3);
        PlayShots(game, opener, 4);
        ASSERT_TRUE(game.TapWidget("btn_menu"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_pause_menu"); }, 200));
        won.recordScore = BoardOf(game)->levelScore;
        ASSERT_GT(won.recordScore, 0) << "the opener scored nothing in four shots";
        ASSERT_TRUE(game.TapWidget("btn_pause_menu"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
        ContinueAdventure(game);
        ASSERT_TRUE(game.TapWidget("btn_ready_go"));

        // Stage 1 won up to its statistics; their OK ends the level and saves.
        WinnerBot winner(3);
        ASSERT_TRUE(PlayUntil(
            game, winner, [&] { return game.Shows("btn_stats_ok") && !BoardOf(game)->IsScreenFading(); }, 20000));
        game.Wait(12);
        won.before = StandingOf(game);
        won.after = Standing{2, won.before.score + BoardOf(game)->levelScore, won.before.lives};
        auto pressOk = [&] { game.TapWidget("btn_stats_ok"); };
        auto stageTwo = [&] { return NewBoardOf(game, 2); };
        CutEverywhere(game, won, pressOk, stageTwo);
        pressOk();
        ASSERT_TRUE(game.WaitUntil(stageTwo, 1500));
        EXPECT_EQ(StandingOf(game), won.after);

        // A life lost on stage 2; the press after its message pays it and saves.
        LoserBot loser(5);
        ASSERT_TRUE(PlayUntil(
            game, loser,
            [&] {
                GameplayScreen* board = BoardOf(game);
                return board && board->waitingAfterLoss && board->endState == 0 &&
                       board->messageFrames >= gameplay_end::kMessageFrames;
            },
            30000));
        paid.before = StandingOf(game);
        paid.after = Standing{2, paid.before.score, paid.before.lives - 1};
        auto press = [&] { game.Tap(game.Width() / 2, game.Height() / 2); };
        auto again = [&] { return NewBoardOf(game, 2) && BoardOf(game)->waitingAfterLoss == 0; };
        CutEverywhere(game, paid, press, again);
        press();
        ASSERT_TRUE(game.WaitUntil(again, 1500));
        EXPECT_EQ(StandingOf(game), paid.after);
        EXPECT_EQ(game.Quit(), 0);
    }
    std::cout << "calls that change files: " << won.calls << " in " << won.what << ", " << paid.calls << " in "
              << paid.what << "\n";
    for (const CutSave* cut : {&won, &paid}) {
        std::cout << cut->what << ", started on the kills at calls";
        for (const auto& [calls, files] : DistinctStates(*cut)) {
            std::cout << " " << calls;
            CheckComesBack(size, *cut, calls, *files);
        }
        std::cout << "\n";
    }
}

// ---- killed in the saves of the won adventure: its last door, its last temple, its end ----

template <class T>
bool InFrontAtRest(const ScriptedGame& game, int slot)
{
    T* screen = game.Screen<T>(slot);
    return screen && game.CurrentScreen() == screen && !screen->IsScreenFading();
}

void TapMiddle(ScriptedGame& game)
{
    game.Tap(game.Width() / 2, game.Height() / 2);
}

int TimesInTable(const ScriptedGame& game, int32_t score)
{
    int times = 0;
    const ScoreEntry* table = game.Profiles()->AdventureScores();
    for (int i = 0; i < kHighScoreEntries; ++i)
        times += table[i].score == score ? 1 : 0;
    return times;
}

// The save cut short, and the screens a start after any of its kills must still show.
struct WonCut {
    WonCut(const std::string& what, bool door, bool temple) : showsDoor(door), showsTemple(temple) { cut.what = what; }
    CutSave cut;
    bool showsDoor = false, showsTemple = false;
};

enum class Reached { Nothing, Board, Door, Temple, WonStats, End, Menu };

Reached WaitForScreen(ScriptedGame& game)
{
    Reached reached = Reached::Nothing;
    game.WaitUntil(
        [&] {
            if (BoardOf(game))
                reached = Reached::Board;
            else if (InFrontAtRest<StageCompleteScreen>(game, kSlotStageComplete))
                reached = Reached::Door;
            else if (game.CanTap("btn_won_stats_ok"))
                reached = Reached::WonStats;
            else if (InFrontAtRest<TempleCompleteScreen>(game, kSlotTempleComplete) && !game.Find("dlg_won_stats"))
                reached = Reached::Temple;
            else if (InFrontAtRest<EndScreen>(game, kSlotEnd))
                reached = Reached::End;
            else if (game.MenuAtRest())
                reached = Reached::Menu;
            return reached != Reached::Nothing;
        },
        900);
    return reached;
}

// The program started on what a kill left and led on from the menu: the final stage saved before
// its win comes back as it was; else every completion screen the save had not yet passed shows
// again, the lives bonus is the lives' worth, and the won score stands in the table once.
void CheckFinishes(const FlowSize& size, const WonCut& won, const std::string& calls,
                   const std::map<std::string, std::string>& files, int32_t wonScore, int32_t bonus)
{
    const CutSave& cut = won.cut;
    SCOPED_TRACE(cut.what + ", killed at call " + calls + " of " + std::to_string(cut.calls));
    FlowFolder folder;
    PutSaveFiles(folder.Path(), files);
    ScriptedGame game(size.width, size.height, folder.Path());
    game.SetFlowName("resume_killed_won");
    StartOnKill(game, cut, "ITZEL");
    if (::testing::Test::HasFatalFailure())
        return;
    bool door = false, temple = false;
    if (game.App()->HasResumeSave(0)) {
        ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_continue_adventure"); }, 300));
        // Past the last stage the dialog shows no place and no score.
        const int offered = OfferedScore(game);
        const int stage = StandingOf(game).stage;
        EXPECT_EQ(offered < 0, stage < 1 || stage > laid_final::kStage) << "offered " << offered << " at stage " << stage;
        ASSERT_TRUE(game.TapWidget("btn_continue_adventure"));
        bool first = true;
        for (Reached reached = WaitForScreen(game); reached != Reached::End && reached != Reached::Menu;
             reached = WaitForScreen(game)) {
            ASSERT_NE(reached, Reached::Nothing) << "no screen came";
            if (first && offered >= 0) {
                const int given = StandingOf(game).score + (reached == Reached::Board ? BoardOf(game)->levelScore : 0);
                EXPECT_EQ(offered, given) << "the Continue dialog's score is not the one played on";
            }
            first = false;
            if (reached == Reached::Board) {
                EXPECT_EQ(StandingOf(game), cut.before) << "a board after the won final stage";
                EXPECT_EQ(game.Quit(), 0);
                return;
            }
            if (reached == Reached::WonStats) {
                EXPECT_EQ(game.Screen<TempleCompleteScreen>(kSlotTempleComplete)->GetLivesBonus(), bonus);
                ASSERT_TRUE(game.TapWidget("btn_won_stats_ok"));
                continue;
            }
            door = door || reached == Reached::Door;
            temple = temple || reached == Reached::Temple;
            // Seen first, as a player would.
            game.Wait(12);
            EXPECT_TRUE(game.Shot(reached == Reached::Door ? "door_again" : "temple_again"));
            TapMiddle(game);
        }
    }
    EXPECT_TRUE(door || !won.showsDoor) << "the door's screen was skipped";
    EXPECT_TRUE(temple || !won.showsTemple) << "the temple's screen was skipped";
    EXPECT_EQ(TimesInTable(game, wonScore), 1) << "the won score, " << wonScore << ", in the table";
    EXPECT_EQ(game.Quit(), 0);
    ExpectNoneSetAside(folder.Path());
}

TEST_P(Resume, KilledInTheSavesOfTheWonAdventureSkipsNothingAndPaysOnce)
{
    const FlowSize size = GetParam();
    FlowFolder folder;
    ASSERT_TRUE(LayFinalSaves(folder.Path(), size.width, size.height));
    WonCut door("the saves of the won final stage", true, true);
    WonCut temple("the save of the last temple", false, true);
    WonCut ended("the saves of the won statistics", false, false);
    const int32_t bonus = laid_final::kLives * kLivesBonusEach;
    int32_t wonScore = 0;
    {
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        // Back at the fourth temple, and from it into the final stage.
        ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_continue_adventure"); }, 300));
        ASSERT_TRUE(game.TapWidget("btn_continue_adventure"));
        ASSERT_TRUE(game.WaitUntil([&] { return InFrontAtRest<TempleCompleteScreen>(game, kSlotTempleComplete); }, 300));
        TapMiddle(game);
        ASSERT_TRUE(game.WaitUntil([&] { return NewBoardOf(game, laid_final::kStage) && !game.OpenDialog(); }, 900));
        WinnerBot winner(76);
        ASSERT_TRUE(PlayUntil(
            game, winner, [&] { return game.Shows("btn_stats_ok") || BoardOf(game)->lifeLost; }, 60000));
        ASSERT_FALSE(BoardOf(game)->lifeLost) << "the winner lost a life on the final stage";
        ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_stats_ok"); }, 300));
        wonScore = StandingOf(game).score + BoardOf(game)->levelScore + bonus;

        // Each step cut at every call, then taken whole.
        auto step = [&](WonCut& won, const std::function<void()>& act, const std::function<bool()>& done) {
            won.cut.before = StandingOf(game);
            CutEverywhere(game, won.cut, act, done);
            act();
            ASSERT_TRUE(game.WaitUntil(done, 1500)) << won.cut.what;
            game.Wait(12);
            won.cut.after = StandingOf(game);
        };
        step(door, [&] { game.TapWidget("btn_stats_ok"); },
             [&] { return InFrontAtRest<StageCompleteScreen>(game, kSlotStageComplete); });
        step(temple, [&] { TapMiddle(game); },
             [&] { return InFrontAtRest<TempleCompleteScreen>(game, kSlotTempleComplete); });
        TapMiddle(game);
        ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_won_stats_ok"); }, 300));
        step(ended, [&] { game.TapWidget("btn_won_stats_ok"); }, [&] { return InFrontAtRest<EndScreen>(game, kSlotEnd); });
        EXPECT_EQ(TimesInTable(game, wonScore), 1);
        EXPECT_EQ(game.Quit(), 0);
    }
    for (const WonCut* won : {&door, &temple, &ended}) {
        std::cout << won->cut.what << " (" << won->cut.calls << " calls), started on the kills at calls";
        for (const auto& [calls, files] : DistinctStates(won->cut)) {
            std::cout << " " << calls;
            CheckFinishes(size, *won, calls, *files, wonScore, bonus);
        }
        std::cout << "\n";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Resume, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace
