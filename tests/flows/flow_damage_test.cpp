// Saved files cut short, as a card pulled mid-write would leave them: the game starts on its
// defaults or without the game to continue, and never falls over.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <utility>

#include "engine/core/pack_memory_file.h"
#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/play/game_hud.h"
#include "game/screens/gauntlet_map_screen.h"
#include "laid_profile.h"
#include "platform/null/test_hooks.h"
#include "scripted_game.h"
#include "stage_play.h"

namespace {

class Damage : public ::testing::TestWithParam<FlowSize> {};

std::string CurrentName(ScriptedGame& game)
{
    ProfileStore* profiles = game.Profiles();
    String name;
    profiles->GetPlayerName(profiles->GetCurrentIndex(), name);
    return name.CStr() ? name.CStr() : "";
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Answers the message boxes the run showed, as the player would: their texts, a line each.
std::string AnswerBoxes(ScriptedGame& game)
{
    std::string said;
    for (const std::string& box : game.AnswerMessageBoxes())
        said += box + "\n";
    return said;
}

const char* WelcomeOf(const FlowSize& size)
{
    return size.width == 240 ? "txt_welcome240_2" : "txt_welcome";
}

// Leaves the folder with a named player and a gauntlet to continue, by closing the window on the
// gauntlet's map.
void MakeSaves(const FlowSize& size, const FlowFolder& folder)
{
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("ITZEL"));
    ASSERT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Screen<GauntletMapScreen>(kSlotGauntletMap) != nullptr; }, 300));
    game.Wait(30);
    game.Close();
    ASSERT_TRUE(game.WaitUntil([&] { return !game.Running(); }, 300));
    EXPECT_EQ(game.QuitCode(), 0);
}

// Starts on the folder and answers whether the gauntlet offers its saved game, leaving the
// program on the menu; the welcome must name the expected player.
bool OffersContinue(ScriptedGame& game, const std::string& player)
{
    EXPECT_EQ(CurrentName(game), player);
    EXPECT_NE(game.TextOf(WelcomeOf(FlowSize{game.Width(), game.Height()})).find(player), std::string::npos);
    EXPECT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    bool asked = false;
    game.WaitUntil(
        [&] {
            asked = game.Shows("dlg_continue_gauntlet");
            return asked || game.Screen<GauntletMapScreen>(kSlotGauntletMap) != nullptr;
        },
        300);
    return asked;
}

TEST_P(Damage, CutSavesGiveDefaultsAndNoContinue)
{
    const FlowSize size = GetParam();
    FlowFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    MakeSaves(size, folder);
    const std::string options = folder.Read("global.opt");
    const std::string resume = folder.Read("saveresume.dat");
    ASSERT_GT(options.size(), 16u);
    ASSERT_GT(resume.size(), 16u);

    {
        SCOPED_TRACE("whole saves");
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        EXPECT_TRUE(OffersContinue(game, "ITZEL")) << "the saves the damage is made from are good";
        EXPECT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_gauntlet_cancel"); }, 100));
        EXPECT_TRUE(game.Shot("continue_offered"));
        ASSERT_TRUE(game.TapWidget("btn_gauntlet_cancel"));
        EXPECT_EQ(game.Quit(), 0);
    }
    {
        SCOPED_TRACE("resume record cut");
        ASSERT_TRUE(folder.Write("global.opt", options));
        ASSERT_TRUE(folder.Write("saveresume.dat", resume.substr(0, resume.size() / 2)));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        EXPECT_FALSE(OffersContinue(game, "ITZEL"));
        EXPECT_EQ(game.Quit(), 0);
        EXPECT_EQ(Count(AnswerBoxes(game), "saveresume.dat.bad"), 1u);
    }
    {
        SCOPED_TRACE("options cut");
        ASSERT_TRUE(folder.Write("global.opt", options.substr(0, options.size() / 2)));
        ASSERT_TRUE(folder.Write("saveresume.dat", resume));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        // The defaults hold no player: the name entry opens as on a first start.
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("dlg_EditPlayer") || game.MenuAtRest(); }, 2000));
        EXPECT_TRUE(game.Shows("dlg_EditPlayer"));
        EXPECT_TRUE(game.WaitUntil([&] { return game.CanTap("btnA"); }, 100));
        EXPECT_TRUE(game.Shot("defaults"));
        EXPECT_TRUE(game.MatchesStoredHash("defaults"));
        ASSERT_TRUE(game.ReachMenu("KAWI"));
        EXPECT_EQ(game.Profiles()->GetPlayerCount(), 1);
        EXPECT_EQ(game.Profiles()->skipHelp, false);
        ASSERT_NE(game.Player(), nullptr);
        EXPECT_EQ(game.Player()->highestStage, 1);
        EXPECT_FALSE(OffersContinue(game, "KAWI")) << "a new player never inherits a saved game";
        EXPECT_EQ(game.Quit(), 0);
        EXPECT_EQ(Count(AnswerBoxes(game), "global.opt.bad"), 1u);
    }
    {
        SCOPED_TRACE("both cut to nothing but a byte");
        ASSERT_TRUE(folder.Write("global.opt", options.substr(0, 1)));
        ASSERT_TRUE(folder.Write("saveresume.dat", resume.substr(0, 1)));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("KAWI"));
        EXPECT_FALSE(OffersContinue(game, "KAWI"));
        ASSERT_TRUE(game.WaitUntil([&] { return game.Screen<GauntletMapScreen>(kSlotGauntletMap) != nullptr; }, 300));
        game.Wait(30);
        EXPECT_TRUE(game.Shot("gauntlet_map"));
        // Back on the menu by the window's close and a fresh start: the saves written over the
        // damage are whole again.
        game.Close();
        ASSERT_TRUE(game.WaitUntil([&] { return !game.Running(); }, 300));
        const std::string boxes = AnswerBoxes(game);
        EXPECT_EQ(Count(boxes, "global.opt.bad1"), 1u);
        EXPECT_EQ(Count(boxes, "saveresume.dat.bad1"), 1u);
    }
    EXPECT_GT(folder.Read("global.opt").size(), 16u);
    // No damaged file was thrown away unseen: each lies beside the new one, none over another.
    EXPECT_TRUE(folder.Read("saveresume.dat.bad") == resume.substr(0, resume.size() / 2));
    EXPECT_TRUE(folder.Read("saveresume.dat.bad1") == resume.substr(0, 1));
    EXPECT_TRUE(folder.Read("global.opt.bad") == options.substr(0, options.size() / 2));
    EXPECT_TRUE(folder.Read("global.opt.bad1") == options.substr(0, 1));
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("NOBODY"));
    EXPECT_TRUE(OffersContinue(game, "KAWI"));
    ASSERT_TRUE(game.TapWidget("btn_gauntlet_cancel"));
    EXPECT_EQ(game.Quit(), 0);
}

// ---- a damaged resume store beside a whole global.opt ----

constexpr int kTempleFourStage = 16;  // the fourth temple's first stage
constexpr int32_t kTempleFourScore = 180140;
constexpr int32_t kOtherPlayersKey = 3;

void AtTempleFour(ProfileStore& store)
{
    PlayerRecord& player = *store.CurrentPlayer();
    player.highestStage = kTempleFourStage;
    ModeProgress& adventure = player.progress[0];
    adventure.stage = kTempleFourStage;
    adventure.score = kTempleFourScore;
    adventure.lives = 3;
    for (uint8_t& shown : adventure.templeShown)
        shown = 1;
    store.skipHelp = true;
}

int32_t Le32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    return static_cast<int32_t>(value);
}

// The keys of a store's records, and where the data of the one under `key` lies.
std::vector<int32_t> StoreKeys(const std::string& store, int32_t key = -1, size_t* data = nullptr,
                               size_t* size = nullptr)
{
    std::vector<int32_t> keys;
    for (int32_t i = 0, n = Le32(store, 0); i < n && i < 99; ++i) {
        size_t record = static_cast<size_t>(Le32(store, 8 + 8 * i));
        keys.push_back(Le32(store, record));
        if (keys.back() == key && data && size) {
            *data = record + 8 + static_cast<size_t>(Le32(store, record + 4));
            *size = static_cast<size_t>(Le32(store, 4 + 8 * i));
        }
    }
    return keys;
}


// From the menu: the adventure offers to continue with the player's place and score, and its
// Continue leads to the adventure map at that place; false when it did not. With `shots`, both
// are pictured.
bool ContinuesOnTheMap(ScriptedGame& game, bool shots = false)
{
    if (!game.TapWidget("btn_sm_adventure") ||
        !game.WaitUntil([&] { return game.CanTap("btn_continue_adventure"); }, 300)) {
        ADD_FAILURE() << "no Continue offered";
        return false;
    }
    // Temple, stage, place and score, a line each.
    std::vector<std::string> lines(1);
    for (char c : game.TextOf("txt_continue_2")) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += c;
    }
    EXPECT_EQ(lines.size(), 4u);
    EXPECT_EQ(stage_play::ShownNumber(lines.front()), 4);
    EXPECT_EQ(stage_play::ShownNumber(lines.size() > 1 ? lines[1] : ""), 1);
    EXPECT_EQ(stage_play::ShownNumber(lines.back()), kTempleFourScore);
    game.Wait(12);
    EXPECT_TRUE(!shots || game.Shot("continue_without_record"));
    if (!game.TapWidget("btn_continue_adventure") || !game.WaitUntil([&] { return stage_play::MapAtRest(game); }, 600))
        return false;
    game.Wait(12);
    EXPECT_TRUE(!shots || game.Shot("map_at_the_saved_place"));
    const ModeProgress* adventure = stage_play::AdventureProgress(game);
    EXPECT_EQ(adventure->stage, kTempleFourStage);
    EXPECT_EQ(adventure->score, kTempleFourScore);
    return true;
}

// The saves of the fourth temple's map: the player's global.opt (at the fourth temple, then as the
// edit leaves it), the map's record and another player's beside it.
void LayMapOfTheFourthTemple(const FlowFolder& folder, const std::function<void(ProfileStore&)>& edit)
{
    ASSERT_TRUE(LayFile(folder.Path(), "global.opt", ProfileBytes("ITZEL", [&](ProfileStore& store) {
                            AtTempleFour(store);
                            edit(store);
                        })));
    LaidRecord map{0, "Adventure Save", ScreenRecord(kScreenIdAdventureMap, {})};
    LaidRecord other{kOtherPlayersKey, "Gauntlet Save", ScreenRecord(kScreenIdGauntletMap, {})};
    ASSERT_TRUE(LayFile(folder.Path(), "saveresume.dat", ResumeStoreBytes({other, map})));
}

// From the menu: Adventure -> Continue to the map, and its stage into play.
bool PlayOnFromTheMap(ScriptedGame& game)
{
    return game.TapWidget("btn_sm_adventure") && game.TapWidget("btn_continue_adventure") &&
           game.WaitUntil([&] { return stage_play::MapAtRest(game); }, 600) && game.TapWidget("btn_adv_play") &&
           stage_play::WaitForPlay(game);
}

// The saves of a board of the fourth temple, as the game leaves them at the window's close: the
// player's global.opt, the board's record and another player's beside it.
void LayBoardOfTheFourthTemple(const FlowSize& size, const FlowFolder& folder)
{
    LayMapOfTheFourthTemple(folder, [](ProfileStore&) {});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("NOBODY"));
    ASSERT_TRUE(PlayOnFromTheMap(game));
    game.Wait(40);
    game.Close();
    ASSERT_TRUE(game.WaitUntil([&] { return !game.Running(); }, 300));
}

TEST_P(Damage, ADamagedResumeStoreKeepsTheAdventure)
{
    const FlowSize size = GetParam();
    FlowFolder folder;
    LayBoardOfTheFourthTemple(size, folder);
    ASSERT_FALSE(HasFatalFailure());
    const std::string options = folder.Read("global.opt");
    const std::string resume = folder.Read("saveresume.dat");
    size_t data = 0, length = 0;
    ASSERT_EQ(StoreKeys(resume, 0, &data, &length), (std::vector<int32_t>{kOtherPlayersKey, 0}));
    ASSERT_EQ(Le32(resume, data), 1) << "no board saved";

    std::string noise(resume.size(), '\0');
    std::mt19937 random(97);
    for (char& c : noise)
        c = static_cast<char>(random());
    for (const auto& [what, damaged] : {std::pair<const char*, std::string>{"random bytes", noise},
                                        {"cut in half", resume.substr(0, resume.size() / 2)}}) {
        SCOPED_TRACE(what);
        std::remove((folder.Path() + "/saveresume.dat.bad").c_str());
        ASSERT_TRUE(folder.Write("global.opt", options));
        ASSERT_TRUE(folder.Write("saveresume.dat", damaged));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        testing::internal::CaptureStderr();
        EXPECT_TRUE(ContinuesOnTheMap(game));
        EXPECT_EQ(game.Quit(), 0);
        EXPECT_EQ(Count(testing::internal::GetCapturedStderr(), "saveresume.dat.bad"), 1u) << "said once";
        EXPECT_EQ(Count(AnswerBoxes(game), "saveresume.dat.bad"), 1u) << "and shown";
        EXPECT_TRUE(folder.Read("saveresume.dat.bad") == damaged) << "the damaged store is kept aside";
    }
    {
        SCOPED_TRACE("the board's record damaged inside");
        std::remove((folder.Path() + "/saveresume.dat.bad").c_str());
        std::string flipped = resume;
        for (size_t at = data + 96; at < data + length; at += 97)
            flipped[at] = static_cast<char>(~flipped[at]);
        ASSERT_TRUE(folder.Write("global.opt", options));
        ASSERT_TRUE(folder.Write("saveresume.dat", flipped));
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        testing::internal::CaptureStderr();
        EXPECT_TRUE(ContinuesOnTheMap(game, true));
        EXPECT_EQ(StoreKeys(folder.Read("saveresume.dat")), (std::vector<int32_t>{kOtherPlayersKey, 0}))
            << "the record read back is gone, the other player's stays, the map's is saved";
        EXPECT_TRUE(folder.Read("saveresume.dat.bad").empty()) << "the store itself was whole";
        EXPECT_EQ(game.Quit(), 0);
        EXPECT_EQ(Count(testing::internal::GetCapturedStderr(), "could not be read back"), 1u) << "said once";
        EXPECT_EQ(Count(AnswerBoxes(game), "could not be read back"), 1u) << "and shown";
    }
    {
        SCOPED_TRACE("taken up again, the adventure stands");
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        EXPECT_TRUE(ContinuesOnTheMap(game));
        EXPECT_EQ(game.Quit(), 0);
    }
    {
        SCOPED_TRACE("no store at all: a new adventure, as for a new player");
        std::remove((folder.Path() + "/saveresume.dat").c_str());
        ScriptedGame game(size.width, size.height, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("NOBODY"));
        ASSERT_TRUE(stage_play::OpenAdventureMap(game));
        EXPECT_EQ(stage_play::AdventureProgress(game)->stage, 1);
        EXPECT_EQ(game.Quit(), 0);
    }
}

TEST_P(Damage, ContinueWithoutItsBoardStartsTheStageItNames)
{
    const FlowSize size = GetParam();
    constexpr int kStage = 3;  // the first door's third stage
    constexpr int32_t kScore = 15080;
    FlowFolder folder;
    ASSERT_TRUE(LayFile(folder.Path(), "global.opt", ProfileBytes("ITZEL", [](ProfileStore& store) {
                            PlayerRecord& player = *store.CurrentPlayer();
                            player.highestStage = kStage;
                            player.progress[0].stage = kStage;
                            player.progress[0].score = kScore;
                            store.skipHelp = true;
                        })));
    ASSERT_TRUE(folder.Write("saveresume.dat", "not a store at all"));
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("NOBODY"));
    ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_continue_adventure"); }, 300));
    const std::string promised = game.TextOf("txt_continue_2");
    EXPECT_NE(promised.find(std::to_string(kStage)), std::string::npos) << promised;
    game.Wait(12);
    EXPECT_TRUE(game.Shot("continue_inside_a_door"));
    ASSERT_TRUE(game.TapWidget("btn_continue_adventure"));
    // The stage the question named, afresh, with the points of the stages before it.
    ASSERT_TRUE(stage_play::WaitForPlay(game));
    EXPECT_TRUE(game.Shot("the_stage_it_named"));
    EXPECT_EQ(stage_play::AdventureProgress(game)->stage, kStage);
    EXPECT_EQ(stage_play::AdventureProgress(game)->score, kScore);
    EXPECT_EQ(stage_play::BoardInFront(game)->levelScore, 0);
    EXPECT_EQ(game.Quit(), 0);
    EXPECT_EQ(Count(AnswerBoxes(game), "saveresume.dat.bad"), 1u);
}

// ---- every save damaged every way, through Adventure -> Continue ----

enum class Harm { kCutByOne, kHalf, kZeroed, kJunk, kRepeated, kFolder, kPipe, kUnreadable };
constexpr Harm kHarms[] = {Harm::kCutByOne, Harm::kHalf,   Harm::kZeroed, Harm::kJunk,
                           Harm::kRepeated, Harm::kFolder, Harm::kPipe,   Harm::kUnreadable};

const char* HarmName(Harm harm)
{
    switch (harm) {
    case Harm::kCutByOne: return "cut by one byte";
    case Harm::kHalf: return "cut in half";
    case Harm::kZeroed: return "zeroed";
    case Harm::kJunk: return "junk";
    case Harm::kRepeated: return "repeated past the largest a save may be";
    case Harm::kFolder: return "a folder";
    case Harm::kPipe: return "a pipe";
    case Harm::kUnreadable: return "unreadable";
    }
    return "";
}

// Why the harmed file could not be read, as its message says it.
std::string ReasonOf(Harm harm, bool store)
{
    switch (harm) {
    case Harm::kCutByOne:
    case Harm::kHalf: return "cut short";
    case Harm::kZeroed:
    case Harm::kJunk: return "damaged";
    case Harm::kRepeated: return store ? "larger than 2 MiB." : "larger than 1 MiB.";
    case Harm::kFolder: return "a folder.";
    case Harm::kPipe:
    case Harm::kUnreadable: return "not readable: ";
    }
    return "";
}

// Puts the harm in place of the good file, its bytes in *bytes (none for a folder or a pipe); an
// unreadable one keeps its bytes, and the null back end refuses to open it as the system refuses
// a file its user may not read.
bool Harmed(const FlowFolder& folder, const char* name, const std::string& good, Harm harm, std::string* harmed)
{
    const std::string path = folder.Path() + "/" + name;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    std::string& bytes = *harmed;
    bytes = good;
    switch (harm) {
    case Harm::kCutByOne: bytes.pop_back(); break;
    case Harm::kHalf: bytes.resize(good.size() / 2); break;
    case Harm::kZeroed: bytes.assign(good.size(), '\0'); break;
    case Harm::kJunk: {
        std::mt19937 random(static_cast<unsigned>(good.size()));
        for (char& c : bytes)
            c = static_cast<char>(random());
        break;
    }
    case Harm::kRepeated:
        // Whole at its start, as a copy gone wrong leaves it: more than any store the game fills.
        while (bytes.size() <= (3u << 20))
            bytes += good;
        break;
    case Harm::kFolder: bytes.clear(); return std::filesystem::create_directory(path, ignored);
    case Harm::kPipe: bytes.clear(); return mkfifo(path.c_str(), 0600) == 0;
    case Harm::kUnreadable: break;
    }
    if (!folder.Write(name, bytes))
        return false;
    if (harm == Harm::kUnreadable)
        nullbackend::DenyOpening(path);
    return true;
}

// The good file put back in place of whatever the run left at its name.
bool PutBack(const FlowFolder& folder, const char* name, const std::string& good)
{
    nullbackend::DenyOpening("");
    std::error_code ignored;
    std::filesystem::remove_all(folder.Path() + "/" + name, ignored);
    return folder.Write(name, good);
}

// The saved board back in front, as it was saved: its stage and its frame counter.
bool BoardCameBack(ScriptedGame& game, int32_t frames)
{
    if (!game.TapWidget("btn_sm_adventure") || !game.TapWidget("btn_continue_adventure"))
        return false;
    if (!game.WaitUntil([&] { return stage_play::BoardInFront(game) && !game.CurrentScreen()->IsScreenFading(); },
                        600))
        return false;
    EXPECT_EQ(stage_play::AdventureProgress(game)->stage, kTempleFourStage);
    EXPECT_EQ(stage_play::AdventureProgress(game)->score, kTempleFourScore);
    return stage_play::BoardInFront(game)->frameCounter == frames;
}

// The board of the fourth temple laid, and what it left: both files, where the board's record lies
// in the store, and the board's frame counter.
struct LaidBoard {
    std::string options, resume;
    size_t data = 0, length = 0;
    int32_t frames = 0;
};

void LayAndReadBoard(const FlowSize& size, const FlowFolder& folder, LaidBoard* laid)
{
    LayBoardOfTheFourthTemple(size, folder);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    laid->options = folder.Read("global.opt");
    laid->resume = folder.Read("saveresume.dat");
    ASSERT_EQ(StoreKeys(laid->resume, 0, &laid->data, &laid->length),
              (std::vector<int32_t>{kOtherPlayersKey, 0}));
    ASSERT_EQ(Le32(laid->resume, laid->data), kScreenIdGameplay) << "no board saved";
    // The screen id, the stage, then the board's words: the frame counter is the ninth.
    laid->frames = Le32(laid->resume, laid->data + 4 + 32);
    ASSERT_GT(laid->frames, 0);
}

TEST(DamagedSaves, EachHarmIsSaidOnceAndLosesNothing)
{
    const FlowSize size = kFlowSizes.front();
    FlowFolder folder;
    LaidBoard laid;
    LayAndReadBoard(size, folder, &laid);
    ASSERT_FALSE(HasFatalFailure());
    const std::string& options = laid.options;
    const std::string& resume = laid.resume;
    const size_t data = laid.data, length = laid.length;
    const int32_t frames = laid.frames;

    for (const char* name : {"saveresume.dat", "global.opt"}) {
        const bool store = name[0] == 's';
        const std::string& good = store ? resume : options;
        for (Harm harm : kHarms) {
            SCOPED_TRACE(std::string(name) + " " + HarmName(harm));
            for (const char* leftover : {"saveresume.dat.bad", "global.opt.bad"}) {
                std::error_code ignored;
                std::filesystem::remove_all(folder.Path() + "/" + leftover, ignored);
            }
            ASSERT_TRUE(PutBack(folder, store ? "global.opt" : "saveresume.dat", store ? options : resume));
            std::string harmed;
            ASSERT_TRUE(Harmed(folder, name, good, harm, &harmed));
            {
                ScriptedGame game(size.width, size.height, folder.Path());
                testing::internal::CaptureStderr();
                ASSERT_TRUE(game.Start());
                if (store) {
                    // The profile stands: its adventure is offered and goes on from its place.
                    ASSERT_TRUE(game.ReachMenu("NOBODY"));
                    EXPECT_TRUE(ContinuesOnTheMap(game));
                } else {
                    // The defaults hold no player; the newcomer gets no one's saved game.
                    ASSERT_TRUE(game.ReachMenu("KAWI"));
                    ASSERT_TRUE(stage_play::OpenAdventureMap(game));
                    EXPECT_EQ(stage_play::AdventureProgress(game)->stage, 1);
                }
                EXPECT_EQ(game.Quit(), 0);
                const std::string said = testing::internal::GetCapturedStderr();
                const std::string kept = std::string(name) + ".bad";
                EXPECT_EQ(Count(said, kept), 1u) << said;
                const std::string why = "could not be read from " + std::string(name) + ": " + ReasonOf(harm, store);
                EXPECT_EQ(Count(said, why), 1u) << said;
                EXPECT_EQ(Count(AnswerBoxes(game), kept), 1u) << "shown in the window too";
                EXPECT_TRUE(std::filesystem::exists(folder.Path() + "/" + kept)) << "kept aside";
                if (harm != Harm::kFolder && harm != Harm::kPipe) {
                    EXPECT_TRUE(folder.Read(kept) == harmed) << "as it was";
                }
                if (!store) {
                    size_t at = 0, bytes = 0;
                    const std::string now = folder.Read("saveresume.dat");
                    std::vector<int32_t> keys = StoreKeys(now, 0, &at, &bytes);
                    EXPECT_NE(std::find(keys.begin(), keys.end(), 0), keys.end()) << "the old player's board stays";
                    EXPECT_TRUE(now.compare(at, bytes, resume, data, length) == 0 && bytes == length);
                }
            }
            ASSERT_TRUE(PutBack(folder, name, good));
            ScriptedGame game(size.width, size.height, folder.Path());
            ASSERT_TRUE(game.Start());
            ASSERT_TRUE(game.ReachMenu("NOBODY"));
            EXPECT_EQ(CurrentName(game), "ITZEL");
            EXPECT_TRUE(BoardCameBack(game, frames)) << "the good file put back gives the board back";
            EXPECT_EQ(game.Quit(), 0);
            EXPECT_TRUE(game.AnswerMessageBoxes().empty());
        }
    }
}

// ---- scores taken as saved, up to the end of the int range ----

TEST(DamagedSaves, AScoreAtTheEndOfTheRangeIsHeldThere)
{
    const FlowSize size = kFlowSizes.back();
    constexpr int32_t kNearTheEnd = 2147483600;
    FlowFolder folder;
    LayMapOfTheFourthTemple(folder,
                            [](ProfileStore& store) { store.CurrentPlayer()->progress[0].score = kNearTheEnd; });
    ASSERT_FALSE(HasFatalFailure());
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("NOBODY"));
    ASSERT_TRUE(PlayOnFromTheMap(game));
    auto shownScore = [&] {
        const String& text = stage_play::BoardInFront(game)->hud->GetScoreText();
        return std::string(text.CStr() ? text.CStr() : "");
    };
    EXPECT_EQ(shownScore(), "2,147,483,600");
    // Points past what the int range has left: the frame shows the score held at its end.
    WinnerBot bot(7);
    auto pastTheEnd = [&] {
        GameplayScreen* board = stage_play::BoardInFront(game);
        return board && board->levelScore > INT32_MAX - kNearTheEnd;
    };
    ASSERT_TRUE(stage_play::PlayUntil(game, bot, pastTheEnd, 6000));
    EXPECT_EQ(shownScore(), "2,147,483,647");
    EXPECT_EQ(game.Quit(), 0);
}

// ---- every word of global.opt at the ends of its range, through Adventure -> Continue ----

// Where the reader takes each 32-bit word of a file, in reading order.
class WordLog : public PackMemoryFile {
public:
    int32_t ReadInt32(int32_t* out) override
    {
        at.push_back(static_cast<size_t>(Tell()));
        return PackMemoryFile::ReadInt32(out);
    }
    int32_t ReadUInt32(uint32_t* out) override
    {
        at.push_back(static_cast<size_t>(Tell()));
        return PackMemoryFile::ReadUInt32(out);
    }
    std::vector<size_t> at;
};

// The offsets of global.opt's words, as the game's own profile reader takes them from the bytes.
std::vector<size_t> WordsOfTheOptions(const std::string& bytes)
{
    WordLog log;
    if (!log.Allocate(static_cast<int32_t>(bytes.size())) ||
        log.Write(bytes.data(), static_cast<int32_t>(bytes.size())) != static_cast<int32_t>(bytes.size()) ||
        !log.Seek(0, kSeekStart))
        return {};
    ProfileStore store;
    store.SetDefaults();
    return store.Serialize(&log, false) ? log.at : std::vector<size_t>{};
}

// The sanitizer build, many times slower, sets each word to one of the four values only (the four
// cases share the words out between them), so each word is still met once.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The four values each word of global.opt is set to in turn.
const std::vector<int32_t> kWordValues = {0, -1, INT32_MAX, INT32_MIN};

class EveryWord : public ::testing::TestWithParam<size_t> {};

// Each word in turn, then Adventure -> Continue: the player and the board come back (a word read
// tolerantly said once, a word without a range taken as it stands), or the file is kept aside as
// it was and said once. Never a player or a board gone in silence.
TEST_P(EveryWord, OfTheOptionsKeepsThePlayerAndTheBoardOrIsKeptAside)
{
    const size_t valueIndex = GetParam();
    const int32_t value = kWordValues[valueIndex];
    // The smallest screen: the same files read, the quickest frames.
    const FlowSize size = kFlowSizes.back();
    FlowFolder folder(true);
    LaidBoard laid;
    LayAndReadBoard(size, folder, &laid);
    ASSERT_FALSE(HasFatalFailure());
    const std::string& options = laid.options;
    const std::string& resume = laid.resume;
    const std::vector<size_t> words = WordsOfTheOptions(options);
    ASSERT_GT(words.size(), 300u) << "the reader took no words";

    const std::string kept = folder.Path() + "/global.opt.bad";
    for (size_t w = 0; w < words.size(); ++w) {
        if (kSanitized && w % kWordValues.size() != valueIndex)
            continue;
        const size_t at = words[w];
        std::string harmed = options;
        for (size_t i = 0; i < 4; ++i)
            harmed[at + i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
        if (harmed == options)
            continue;
        SCOPED_TRACE("the word at offset " + std::to_string(at) + " set to " + std::to_string(value));
        std::remove(kept.c_str());
        ASSERT_TRUE(folder.Write("global.opt", harmed));
        ASSERT_TRUE(folder.Write("saveresume.dat", resume));
        ScriptedGame game(size.width, size.height, folder.Path());
        game.KeepNoRecords();
        testing::internal::CaptureStderr();
        ASSERT_TRUE(game.Start());
        const bool refused = std::filesystem::exists(kept);
        if (refused) {
            EXPECT_TRUE(folder.Read("global.opt.bad") == harmed) << "kept aside as it was";
        } else {
            EXPECT_TRUE(game.ReachMenu("NOBODY"));
            EXPECT_EQ(CurrentName(game), "ITZEL");
            EXPECT_TRUE(game.TapWidget("btn_sm_adventure") && game.TapWidget("btn_continue_adventure"));
            EXPECT_TRUE(game.WaitUntil([&] { return stage_play::BoardInFront(game) != nullptr; }, 300));
            GameplayScreen* board = stage_play::BoardInFront(game);
            EXPECT_TRUE(board && board->frameCounter == laid.frames) << "the saved board is in front";
        }
        game.Close();
        EXPECT_TRUE(game.WaitUntil([&] { return !game.Running(); }, 300));
        const std::string said = testing::internal::GetCapturedStderr();
        // Kept aside and said once ("... global.opt ... global.opt.bad ..."), or taken with at most
        // the first word read tolerantly said.
        const size_t told = Count(said, "global.opt");
        EXPECT_EQ(Count(said, "global.opt.bad"), refused ? 1u : 0u) << said;
        EXPECT_LE(told, refused ? 2u : 1u) << said;
        EXPECT_EQ(Count(AnswerBoxes(game), "global.opt"), told) << "shown as said";
        // One word's failure is told once, not again for every word after it.
        if (HasFailure())
            return;
    }
}

std::string WordValueName(const ::testing::TestParamInfo<size_t>& info)
{
    static const char* const kNames[] = {"zero", "minus_one", "int_max", "int_min"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(DamagedSaves, EveryWord, ::testing::Range(size_t(0), kWordValues.size()), WordValueName);

INSTANTIATE_TEST_SUITE_P(Sizes, Damage, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace
