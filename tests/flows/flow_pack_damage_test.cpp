// One run of the damaged-pack play check (tests/smoke/damaged_play.py): the program on a copy of
// the packs in which one entry is junk, played by the handheld's input to the first screen that
// reads that entry. The driver lays the copy beside a link to this binary, a folder per run, and
// names the route; the case writes down what the player was shown and where they were left, and
// the driver judges. Without a route the case is skipped.
//   KELO_ROUTE        "<kind> [map]": menu, adventure, gauntlet [map or random], play <map>,
//                     continue <map>, stage_complete <map>, quake, temple, end, help, about
//   KELO_ROUTE_SIZE   the screen, as 800x480
//   KELO_ROUTE_OUT    the folder facts.txt goes to
//   KELO_ROUTE_WHOLE  1 when the packs are whole: the route must play through, and a continue run
//                     first plays its board and leaves its saves in KELO_ROUTE_OUT/board
//   KELO_ROUTE_BOARD  a continue run on damaged packs: the folder holding those saves
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include "engine/core/fixed.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/stream.h"
#include "game/app/profile_store.h"
#include "game/screens/end_screen.h"
#include "game/screens/gauntlet_map_screen.h"
#include "game/screens/stage_complete_screen.h"
#include "game/screens/temple_complete_screen.h"
#include "game/tables/level_tables.h"
#include "laid_profile.h"
#include "platform/null/test_hooks.h"
#include "scripted_game.h"
#include "stage_play.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSettle = 30;       // frames the checkpoint's screen runs before it is pictured
constexpr int kMenuGivesUp = 30;  // frames of the menu at rest that end a wait for another screen
constexpr int kQuakeFrames = 10;  // the quake is pictured this many frames after the tap
constexpr int kFirstDoorEnd = 5;  // its next door lies in the same temple: the quake follows
const char* const kSaves[] = {"global.opt", "saveresume.dat"};

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

int MapNumber(const std::string& name)
{
    MapTable maps;
    if (!LevelTables::BuildMaps(maps))
        return -1;
    for (int i = 0; i < maps.Count(); ++i)
        if (name == maps[i].name)
            return i;
    return -1;
}

// The first stage of a door played on the map, or 0: the adventure map's Play starts only those.
int DoorStageOf(int map)
{
    for (int door = 1; door <= Adventure::DoorOfStage(kAdventureStageCount); ++door)
        if (AdventureStageMap(Adventure::DoorFirstStage(door)) == map)
            return Adventure::DoorFirstStage(door);
    return 0;
}

// The last stage of a door played on the map, or 0: the door's screen shows that stage's picture.
int DoorEndOf(int map)
{
    for (int door = 1; door <= Adventure::DoorOfStage(kAdventureStageCount); ++door) {
        int next = Adventure::DoorFirstStage(door + 1);
        int last = next > 0 ? next - 1 : kAdventureStageCount;
        if (AdventureStageMap(last) == map)
            return last;
    }
    return 0;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A player at the stage with every temple already shown, every gauntlet map open and no help
// before play, so that nothing but the route's own screens comes between. With a map, the
// gauntlet's game stands as its Play leaves it on that map: a start is the player's own change.
std::vector<uint8_t> PlayerAt(int stage, int gauntletMap = -1)
{
    return ProfileBytes("ITZEL", [stage, gauntletMap](ProfileStore& store) {
        PlayerRecord& player = *store.CurrentPlayer();
        player.highestStage = static_cast<int8_t>(stage);
        player.adventureFinished = stage > kAdventureStageCount;
        for (int8_t& rank : player.mapRanks)
            rank = 0;
        ModeProgress& adventure = player.progress[0];
        adventure.stage = stage;
        adventure.score = 2500 * (stage - 1);
        for (uint8_t& shown : adventure.templeShown)
            shown = 1;
        if (gauntletMap >= 0) {
            player.progress[1].stage = 1;
            player.progress[1].gauntletMap = gauntletMap;
        }
        store.skipHelp = true;
    });
}

LaidRecord Record(int32_t screenId, const std::vector<int32_t>& words)
{
    return LaidRecord{0, "Adventure Save", ScreenRecord(screenId, words)};
}

// The door's screen as the game leaves it once its frog has walked: finished, fully dimmed.
LaidRecord DoorScreenRecord(int width, int height)
{
    const int32_t speed = Fixed::FromInt(4).raw;
    return Record(kScreenIdStageComplete,
                  {0, Fixed::FromInt(width / 2).raw, Fixed::FromInt(height / 2).raw, Fixed16::FromInt(1).raw,
                   StageCompleteScreen::kFinished, StageCompleteScreen::kDimMax, speed, speed, speed, 0, 0, 0});
}

// The progress of each player as the saves hold it: what a damaged data file must not change.
std::string ProgressIn(const std::string& options)
{
    PackMemoryFile file;
    ProfileStore store;
    if (options.empty() || !file.Allocate(static_cast<int32_t>(options.size())) ||
        file.Write(options.data(), static_cast<int32_t>(options.size())) != static_cast<int32_t>(options.size()) ||
        !file.Seek(0, kSeekStart) || !store.Serialize(&file, false))
        return "unreadable";
    std::ostringstream out;
    for (int i = 0; i < store.GetPlayerCount(); ++i) {
        const PlayerRecord& player = *store.GetPlayer(i);
        out << std::string(player.name, strnlen(player.name, kPlayerNameBytes)) << " highest " << int{player.highestStage} << " finished " << int{player.adventureFinished};
        for (const ModeProgress& mode : player.progress)
            out << " | stage " << mode.stage << " score " << mode.score << " lives " << mode.lives;
        for (int8_t rank : player.mapRanks)
            out << ' ' << int{rank};
        out << '\n';
    }
    return out.str();
}

template <class T>
bool InFrontAtRest(ScriptedGame& game, int slot)
{
    T* screen = game.Screen<T>(slot);
    return screen && game.CurrentScreen() == screen && !screen->IsScreenFading();
}

class RouteRun {
public:
    RouteRun(const std::string& kind, const std::string& map, int width, int height)
        : kind_(kind), map_(map), width_(width), height_(height), whole_(Env("KELO_ROUTE_WHOLE") == "1")
    {
    }

    // Lays the route's saves; false when the route names nothing the game has.
    bool Lay(const std::string& folder);
    // Plays the route to its checkpoint and on to where the player is left.
    void Play(const std::string& folder);
    void WriteFacts(const std::string& path) const;

private:
    bool ToCheckpoint(ScriptedGame& game, const std::string& kind);
    bool Continue(ScriptedGame& game);
    bool GauntletAt(ScriptedGame& game, int map);
    bool Await(ScriptedGame& game, const std::function<bool()>& there, int maxFrames);
    int CheckpointSlot() const;
    std::string LeftAt(ScriptedGame& game);
    std::string SavesKept(const std::string& folder) const;
    bool LayBoard(const std::string& folder);
    bool Fail(const std::string& why)
    {
        failure_ = why;
        return false;
    }

    std::string kind_, map_;
    int width_, height_;
    bool whole_;
    bool viaGauntlet_ = false;
    std::string laid_[2];
    // What the facts say.
    std::string failure_;
    bool started_ = false, menu_ = false, reached_ = false;
    uint64_t hash_ = 0;
    std::string left_, saves_ = "not checked";
    int exit_ = -1;
    std::vector<std::string> boxes_;
};

bool RouteRun::Lay(const std::string& folder)
{
    std::vector<LaidRecord> records;
    int stage = 1;
    const int map = MapNumber(map_);
    if (kind_ == "play" || kind_ == "continue") {
        if (map < 0)
            return Fail("no map " + map_);
        // A map that starts no door is played in the gauntlet, where any open map can be.
        stage = std::max(DoorStageOf(map), 1);
        viaGauntlet_ = DoorStageOf(map) == 0;
        if (stage > 1)
            records.push_back(Record(kScreenIdAdventureMap, {}));
    } else if (kind_ == "stage_complete" || kind_ == "quake") {
        int end = kind_ == "quake" ? kFirstDoorEnd : DoorEndOf(map);
        if (end < 1)
            return Fail("no door ends on " + map_);
        stage = end + 1;
        records.push_back(DoorScreenRecord(width_, height_));
    } else if (kind_ == "temple") {
        // The finale's own saves: the player after the fourth temple and its screen's record.
        if (!LayFinalSaves(folder, width_, height_))
            return Fail("the temple's saves could not be laid");
        stage = 0;
    } else if (kind_ == "end") {
        stage = kAdventureStageCount + 1;
        records.push_back(Record(kScreenIdEnd, {0}));
    } else if (kind_ == "gauntlet") {
        if (!map_.empty() && map_ != "random" && map < 0)
            return Fail("no map " + map_);
        // The finished adventure adds its last map to the gauntlet's.
        stage = kAdventureStageCount + 1;
    } else if (kind_ != "menu" && kind_ != "adventure" && kind_ != "help" && kind_ != "about") {
        return Fail("no route " + kind_);
    }
    if (kind_ == "continue" && !whole_) {
        const std::string board = Env("KELO_ROUTE_BOARD");
        std::error_code error;
        for (const char* name : kSaves)
            if (!fs::copy_file(fs::path(board) / name, fs::path(folder) / name, error))
                return Fail(std::string("no board save ") + name + " in " + board);
    } else if (stage > 0 && (!LayFile(folder, kSaves[0], PlayerAt(stage, viaGauntlet_ ? map : -1)) ||
                             (!records.empty() && !LayFile(folder, kSaves[1], ResumeStoreBytes(records))))) {
        return Fail("the saves could not be laid");
    }
    if (kind_ == "continue" && whole_ && !LayBoard(folder))
        return false;
    for (int i = 0; i < 2; ++i)
        laid_[i] = ReadFile(fs::path(folder) / kSaves[i]);
    return true;
}

// On whole packs: the map's stage played until its board is in play, and the window closed, as
// a player leaves a board to continue later; the saves are kept for the damaged runs.
bool RouteRun::LayBoard(const std::string& folder)
{
    {
        ScriptedGame game(width_, height_, folder);
        game.KeepNoRecords();
        if (!game.Start() || !game.ReachMenu("NOBODY") || !ToCheckpoint(game, "play"))
            return Fail("the board to continue could not be played");
        game.Close();
        game.WaitUntil([&] { return !game.Running(); }, 300);
    }
    fs::path board = fs::path(Env("KELO_ROUTE_OUT")) / "board";
    std::error_code error;
    fs::create_directories(board, error);
    for (const char* name : kSaves)
        if (!fs::copy_file(fs::path(folder) / name, board / name, fs::copy_options::overwrite_existing, error))
            return Fail(std::string("the board's ") + name + " could not be kept");
    return true;
}

bool RouteRun::Await(ScriptedGame& game, const std::function<bool()>& there, int maxFrames)
{
    int menu = 0;
    for (int waited = 0; waited < maxFrames && game.Running(); waited += 3) {
        if (there())
            return true;
        // The game turned the player back.
        menu = game.MenuAtRest() ? menu + 3 : 0;
        if (menu >= kMenuGivesUp)
            return false;
        game.Wait(3);
    }
    return game.Running() && there();
}

bool RouteRun::Continue(ScriptedGame& game)
{
    const char* menu = viaGauntlet_ ? "btn_sm_gauntlet" : "btn_sm_adventure";
    const char* button = viaGauntlet_ ? "btn_continue_gauntlet" : "btn_continue_adventure";
    return game.TapWidget(menu) && Await(game, [&] { return game.CanTap(button); }, 300) && game.TapWidget(button);
}

// The gauntlet's map at rest with the map chosen (-1: as it opens).
bool RouteRun::GauntletAt(ScriptedGame& game, int map)
{
    auto screen = [&] { return game.Screen<GauntletMapScreen>(kSlotGauntletMap); };
    if (!game.TapWidget("btn_sm_gauntlet") ||
        !Await(game, [&] { return InFrontAtRest<GauntletMapScreen>(game, kSlotGauntletMap); }, 600))
        return false;
    for (int taps = 0; map >= 0 && screen() && screen()->GetSelectedMap() != map && taps <= kRandomMapEntry; ++taps)
        if (!game.TapWidget("btn_gaunt_next"))
            return false;
    return screen() && (map < 0 || screen()->GetSelectedMap() == map);
}

bool RouteRun::ToCheckpoint(ScriptedGame& game, const std::string& kind)
{
    auto board = [&] { return stage_play::BoardInFront(game) && !stage_play::BoardInFront(game)->IsScreenFading(); };
    auto inPlay = [&] { return board() && stage_play::BoardInFront(game)->playState == kPlayPlaying; };
    // The route is the map's only while the board in front is of it.
    auto onMap = [&] {
        const MapInfo* map = board() ? stage_play::BoardInFront(game)->CurrentMap() : nullptr;
        return map && map->name && map_ == map->name;
    };
    if (kind == "menu")
        return game.MenuAtRest();
    if (kind == "help" || kind == "about") {
        const int slot = kind == "help" ? kSlotHelp : kSlotAbout;
        auto page = [&] { return game.Screen<GameScreen>(slot) && game.CanTap("btn_help_ok"); };
        return game.TapWidget("btn_sm_help") && game.TapWidget(slot == kSlotHelp ? "btn_help_instructions" : "btn_help_about") &&
               Await(game, page, 300);
    }
    if (kind == "gauntlet")
        return GauntletAt(game, map_.empty() ? -1 : map_ == "random" ? kRandomMapEntry : MapNumber(map_));
    if (kind == "play" && viaGauntlet_)
        return GauntletAt(game, MapNumber(map_)) && game.TapWidget("btn_gaunt_play") && Await(game, inPlay, 1200) &&
               onMap();
    if (kind == "adventure" || kind == "play") {
        auto map = [&] { return stage_play::MapAtRest(game); };
        if (!game.TapWidget("btn_sm_adventure") ||
            !Await(game, [&] { return map() || game.CanTap("btn_continue_adventure"); }, 600))
            return false;
        if (!map() && (!game.TapWidget("btn_continue_adventure") || !Await(game, map, 600)))
            return false;
        return kind == "adventure" || (game.TapWidget("btn_adv_play") && Await(game, inPlay, 1200) && onMap());
    }
    if (!Continue(game))
        return false;
    if (kind == "continue")
        return Await(game, board, 900) && onMap();
    if (kind == "temple")
        return Await(game, [&] {
            return InFrontAtRest<TempleCompleteScreen>(game, kSlotTempleComplete) && game.Shows("dlg_temple_complete");
        }, 900);
    if (kind == "end")
        return Await(game, [&] { return InFrontAtRest<EndScreen>(game, kSlotEnd); }, 900);
    auto doorDone = [&] {
        auto* door = game.Screen<StageCompleteScreen>(kSlotStageComplete);
        return InFrontAtRest<StageCompleteScreen>(game, kSlotStageComplete) &&
               door->GetPhase() == StageCompleteScreen::kFinished;
    };
    if (!Await(game, doorDone, 900))
        return false;
    if (kind == "stage_complete")
        return true;
    // The tap cuts the door's picture into the quake's pieces; they fly while the next board comes in.
    game.Tap(width_ / 2, height_ / 2);
    const bool quaked = game.App() && game.App()->GetTransition().kind == kTransitionQuake;
    game.Frames(kQuakeFrames);
    return quaked && game.App() && game.App()->GetTransition().quakeCountdown > 0;
}

int RouteRun::CheckpointSlot() const
{
    if (kind_ == "menu")
        return kSlotStartMenu;
    if (kind_ == "help")
        return kSlotHelp;
    if (kind_ == "about")
        return kSlotAbout;
    if (kind_ == "gauntlet")
        return kSlotGauntletMap;
    if (kind_ == "adventure")
        return kSlotAdventureMap;
    if (kind_ == "stage_complete")
        return kSlotStageComplete;
    if (kind_ == "temple")
        return kSlotTempleComplete;
    if (kind_ == "end")
        return kSlotEnd;
    return kSlotGameplay;
}

// The start menu at rest, the checkpoint's own screen, or what else holds the player.
std::string RouteRun::LeftAt(ScriptedGame& game)
{
    game.WaitUntil([&] { return game.MenuAtRest() || !game.Running(); }, reached_ ? 60 : 300);
    if (!game.Running())
        return "ended";
    if (game.MenuAtRest())
        return "menu";
    GameScreen* front = game.CurrentScreen();
    ScriptWidget* dialog = game.OpenDialog();
    if (front && front == game.App()->GetScreen(CheckpointSlot()))
        return "screen";
    std::string where = front ? typeid(*front).name() : "no screen";
    return where + (dialog ? std::string(" under ") + dialog->GetName() : "");
}

std::string RouteRun::SavesKept(const std::string& folder) const
{
    std::string changed;
    for (const auto& file : fs::directory_iterator(folder))
        if (file.path().extension() == ".bad")
            changed += file.path().filename().string() + " set aside; ";
    const std::string resume = ReadFile(fs::path(folder) / kSaves[1]);
    if (resume != laid_[1])
        changed += laid_[1].empty() ? "saveresume.dat written; "
                   : resume.empty() ? "saveresume.dat removed; "
                                    : "saveresume.dat changed; ";
    if (ProgressIn(ReadFile(fs::path(folder) / kSaves[0])) != ProgressIn(laid_[0]))
        changed += "the progress in global.opt changed; ";
    return changed.empty() ? "kept" : changed.substr(0, changed.size() - 2);
}

void RouteRun::Play(const std::string& folder)
{
    ScriptedGame game(width_, height_, folder);
    game.KeepNoRecords();
    started_ = game.Start();
    menu_ = started_ && game.ReachMenu("NOBODY");
    if (menu_) {
        reached_ = ToCheckpoint(game, kind_);
        if (reached_ && kind_ != "quake")
            game.Wait(kSettle);
        hash_ = game.FrameHash();
    }
    left_ = started_ ? LeftAt(game) : "ended";
    boxes_ = game.MessageBoxes();
    // Taken down here: the harness would count them as its own failure.
    nullbackend::ClearMessageBoxes();
    // Where the damage turned the player back the saves stand as laid, and still after the menu's
    // quit; where the game went on, what it saves is its own.
    if (left_ != "screen")
        saves_ = SavesKept(folder);
    const bool onMenu = left_ == "menu";
    exit_ = game.Running() ? game.Quit() : game.QuitCode();
    if (onMenu && saves_ == "kept")
        saves_ = SavesKept(folder);
}

std::string OneLine(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string(" ") : c == '\r' ? std::string() : std::string(1, c);
    return out;
}

void RouteRun::WriteFacts(const std::string& path) const
{
    std::ofstream out(path, std::ios::trunc);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(hash_));
    if (!failure_.empty())
        out << "failure " << failure_ << '\n';
    out << "way " << (viaGauntlet_ ? "gauntlet" : "adventure") << "\nstarted " << started_ << "\nmenu " << menu_
        << "\nreached " << reached_ << "\nhash " << hash << "\nleft " << left_ << "\nsaves " << saves_ << "\nexit "
        << exit_ << '\n';
    for (const std::string& box : boxes_)
        out << "box " << OneLine(box) << '\n';
    out << "done\n";
}

TEST(PackDamage, TheRouteToTheEntrysReader)
{
    const std::string route = Env("KELO_ROUTE"), out = Env("KELO_ROUTE_OUT");
    int width = 0, height = 0;
    if (route.empty() || out.empty() || std::sscanf(Env("KELO_ROUTE_SIZE").c_str(), "%dx%d", &width, &height) != 2)
        GTEST_SKIP() << "run by tests/smoke/damaged_play.py";
    std::istringstream words(route);
    std::string kind, map;
    words >> kind >> map;
    RouteRun run(kind, map, width, height);
    FlowFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    if (run.Lay(folder.Path()))
        run.Play(folder.Path());
    run.WriteFacts(out + "/facts.txt");
    if (Env("KELO_ROUTE_WHOLE") == "1") {
        const std::string facts = ReadFile(out + "/facts.txt");
        EXPECT_NE(facts.find("reached 1\n"), std::string::npos) << facts;
        EXPECT_NE(facts.find(kind == "menu" ? "left menu\n" : "left screen\n"), std::string::npos) << facts;
        EXPECT_EQ(facts.find("box "), std::string::npos) << facts;
    }
}

}  // namespace
