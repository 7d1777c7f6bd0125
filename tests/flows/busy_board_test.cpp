// The busiest board the winner meets on a two-track stage at 800x480, graphics setting 2, kept in
// tests/data as the resume store holds a level: the screen id 1, then the board's own record.
// With KELO_WRITE_BUSY_BOARD=1 the board is played and the file written again; otherwise the
// stored file must still come back through the game's own restore.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/gameplay_rules_app.h"
#include "bot_hands.h"
#include "engine/ui/script_widget.h"
#include "game/play/floating_text.h"
#include "platform/crt.h"
#include "support/host_file.h"

namespace {

constexpr int kWidth = 800, kHeight = 480;
constexpr int kStage = 52;  // the serpents' two tracks, late in the adventure
const std::string kFile = std::string(KELO_TEST_DATA) + "/busy_board_800x480.rec";

void PrepareApp(RulesApp& app, int stage)
{
    app.GetProfiles()->skipHelp = true;
    app.GetProfiles()->graphicsQuality = 2;
    app.PlayAdventure(stage);
}

// How much the frame has to show: balls, effects (explosions, sparks, the coin) and live texts.
int Busyness(const GameplayScreen& board)
{
    int n = board.effects.Count();
    for (const BallChain* chain : board.chains)
        n += chain ? chain->count : 0;
    for (const FloatingText* text : board.floatingTexts)
        n += text && text->GetLife() > 0 ? 1 : 0;
    return n;
}

// How far along its track the furthest chain head stands, 0..1.
double HeadsReach(const GameplayScreen& board)
{
    double most = 0;
    for (const BallChain* chain : board.chains) {
        if (!chain || chain->count < 1)
            continue;
        const int curve = chain->curveIndex >= 0 && chain->curveIndex < kBoardCurves ? chain->curveIndex : 0;
        if (board.curveLength[curve].raw > 0)
            most = std::max(most, chain->balls[0].distance.ToDouble() / board.curveLength[curve].ToDouble());
    }
    return most;
}

std::vector<uint8_t> ResumeRecord(GameplayScreen& board)
{
    std::vector<uint8_t> bytes = SaveBoard(board);
    if (bytes.empty())
        return bytes;
    const uint8_t id[4] = {kScreenIdGameplay, 0, 0, 0};
    bytes.insert(bytes.begin(), id, id + 4);
    return bytes;
}

// The offset of the first byte where two records differ, -1 for equal records.
long FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i])
            return long(i);
    return a.size() == b.size() ? -1 : long(std::min(a.size(), b.size()));
}

int32_t Le32(const std::vector<uint8_t>& bytes, size_t at)
{
    return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// Plays the stage with the winner and keeps the record of its busiest frame.
std::vector<uint8_t> PlayForBusiest()
{
    crt::srand(52);
    RulesApp app(kWidth, kHeight);
    if (!app.Ready())
        return {};
    PrepareApp(app, kStage);
    if (!app.ShowBoard(true))
        return {};
    WinnerBot bot(52);
    AppHands hands(app);
    std::vector<uint8_t> best;
    int most = -1;
    bool played = false, firing = false;
    for (int frame = 0; frame < 20000; ++frame) {
        GameplayScreen* board = app.Board();
        if (!board || (played && board->playState != kPlayPlaying))
            break;
        played = board->playState == kPlayPlaying;
        if (board->playState == kPlayPlaying && board->CanSaveLevel() && Busyness(*board) > most) {
            most = Busyness(*board);
            best = ResumeRecord(*board);
        }
        // The winner holds its fire until the chains are three quarters in, so that it clears full tracks.
        if (played && (firing || HeadsReach(*board) >= 0.85)) {
            firing = true;
            bot.Act(*board, hands);
        }
        app.Update();
    }
    std::printf("busiest: %d balls, effects and texts; %zu bytes\n", most, best.size());
    return best;
}

}  // namespace

TEST(BusyBoard, TheStoredBoardComesBackThroughTheGamesRestore)
{
    if (const char* write = std::getenv("KELO_WRITE_BUSY_BOARD"); write && std::string(write) == "1") {
        const std::vector<uint8_t> record = PlayForBusiest();
        ASSERT_FALSE(record.empty());
        ASSERT_TRUE(WriteHostFile(kFile, record));
    }
    const std::vector<uint8_t> stored = ReadHostFile(kFile);
    ASSERT_GE(stored.size(), 8u) << kFile;
    ASSERT_EQ(Le32(stored, 0), kScreenIdGameplay);
    const int stage = Le32(stored, 4);

    RulesApp app(kWidth, kHeight);
    ASSERT_TRUE(app.Ready());
    PrepareApp(app, stage);
    PackMemoryFile stream;
    FillStream(stream, stored);
    ASSERT_TRUE(app.RestoreScreen(&stream));
    GameplayScreen* board = app.Board();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->curveCount, 2);
    EXPECT_NE(ScriptWidget::FindByName(board, "dlg_ready_go"), nullptr);
    int balls = 0;
    for (const BallChain* chain : board->chains)
        balls += chain ? chain->count : 0;
    EXPECT_GE(balls, 50);
    // Read back whole: saved again it is the same record.
    EXPECT_EQ(FirstDifference(ResumeRecord(*board), stored), -1);
}
