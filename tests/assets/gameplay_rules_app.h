#pragma once
// The gameplay application for the rules of a level's end: the screen changes the board asks for
// are written down instead of made, and boards are saved to bytes and read back from them.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstring>
#include <vector>

#include "engine/core/pack_memory_file.h"
#include "engine/ui/script_widget.h"
#include "game/app/game_events.h"
#include "game/play/ball_sprite.h"
#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"
#include "gameplay_look_app.h"
#include "tests/game/play/board_valid.h"
#include "tests/game/play/record_io.h"

class RulesApp : public GameplayLookApp {
public:
    RulesApp(int width, int height) : GameplayLookApp(width, height) {}
    // Screen changes reach the list; with passEvents they are also made.
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        if (code >= kEventPlayLevel && code < 1100) {
            events.push_back(code);
            if (!passEvents)
                return true;
        }
        return GameApp::OnEvent(sender, code, name, param);
    }
    // The gameplay screen, set up as the application makes it, past its fade-in (a fading screen
    // drops the screen changes it is asked for).
    bool ShowBoard(bool startLevel)
    {
        if (ShowGameplay(startLevel).failed() || !Board())
            return false;
        Board()->ClearScreenFadingIn();
        return true;
    }
    // The board's own frames, past the screen's fade, its rules checked after each.
    void BoardFrames(int n)
    {
        for (int i = 0; i < n && Board(); ++i) {
            Board()->Update();
            EXPECT_TRUE(BoardValid(*Board())) << "frame " << i;
        }
    }
    // The application's frames, so that a fading screen delivers what it parked.
    void DeliverParked(int frames = 40) { Frames(frames); }

    bool passEvents = false;
};

inline std::vector<uint8_t> SaveBoard(GameplayScreen& board)
{
    PackMemoryFile file;
    if (!file.Allocate(1 << 20) || !board.SaveGame(&file))
        return {};
    auto* bytes = static_cast<uint8_t*>(file.GetBuffer());
    return std::vector<uint8_t>(bytes, bytes + file.Tell());
}

inline bool LoadBoard(GameplayScreen& board, const std::vector<uint8_t>& bytes)
{
    PackMemoryFile file;
    FillStream(file, bytes);
    return board.LoadSavedGame(&file);
}

// Takes the "Ready?" question away without running a frame.
inline void RemoveReadyDialog(GameplayScreen& board)
{
    Widget* dialog = ScriptWidget::FindByName(&board, "dlg_ready_go");
    if (dialog)
        DetachAndDeleteWidget(dialog);
}

inline void PurgeDeadSprites(GameplayScreen& board)
{
    for (int i = 0; i < board.ballSprites.Count();) {
        if (board.ballSprites.Get(i)->IsDead())
            board.ballSprites.DeleteAt(i);
        else
            ++i;
    }
}

// The frog's ball leaves as a shot that has crossed a gap before the chain's third ball.
inline void AddFlyingShot(GameplayScreen& board, BallChain& chain)
{
    Ball& shot = board.shot;
    shot.Reset();
    shot.colour = board.currentBall->GetColour();
    shot.position = board.mouthPoint;
    shot.previousPosition = board.mouthPoint;
    shot.velocity = FixedVec2(Fixed(), Fixed::FromInt(-4));
    shot.radius = chain.balls[0].radius;
    shot.AddGapCrossed(chain.curveIndex, 40, chain.balls[2].serial);
    shot.sprite = board.currentBall;
    board.effects.Append(board.currentBall);
    board.currentBall = nullptr;
    board.shotCount = 1;
    board.shotPending = 1;
}

// Lays balls of the tail's colour on behind the tail until the chain holds n.
inline void FillChainTo(GameplayScreen& board, BallChain& chain, int n)
{
    while (chain.count > 0 && chain.count < n) {
        Ball ball = chain.balls[chain.count - 1];
        ball.distance -= board.collisionDistance;
        ball.sprite = board.CreateBallSprite(ball.colour);
        if (!ball.sprite)
            return;
        board.ballSprites.Append(ball.sprite);
        ball.serial = Ball::NewSerial();
        chain.balls[chain.count++] = ball;
        ++board.colourCount[ball.colour];
    }
}

// With KELO_RECORD_SEEDS naming a folder, a saved record goes there as a seed of the board
// record's fuzz target: first the byte that picks the player's mode (its remainder by 3: 0
// adventure, 1 practice, 2 survival) and gauntlet map (the bits above the lowest two), then the
// record.
inline void KeepAsSeed(const std::vector<uint8_t>& record, uint8_t modeByte, const char* name)
{
    const char* folder = std::getenv("KELO_RECORD_SEEDS");
    if (!folder || record.empty())
        return;
    std::string path = std::string(folder) + "/" + name;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fputc(modeByte, file);
        std::fwrite(record.data(), 1, record.size(), file);
        std::fclose(file);
    }
}
