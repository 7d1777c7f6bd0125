#pragma once
// The bots' hands: on the scripted player's handheld they put the stylus and keys in as the window
// receives them, and a board is played out with one act a frame; on an application made by a test
// they go straight down the application's own input path.
#include <cstdint>

#include "board_bot.h"
#include "engine/core/input.h"
#include "game/app/game_app.h"
#include "game/play/gameplay_screen.h"
#include "platform/null/window_hooks.h"
#include "scripted_game.h"

class AppHands : public BotHands {
public:
    explicit AppHands(GameApp& app) : app_(app) {}
    void Stylus(int kind, int x, int y) override { app_.OnPointer(x, y, kind); }
    void Key(unsigned vk, bool down) override { OnVirtualKey(static_cast<int>(vk), down); }

private:
    GameApp& app_;
};

// Game points are mapped to the display; nothing is delivered until the next frame, so the
// press, drag and release of one act arrive together, as a quick hand's would.
class ScriptedHands : public BotHands {
public:
    explicit ScriptedHands(ScriptedGame& game) : game_(game) {}
    void Stylus(int kind, int x, int y) override
    {
        int dx = 0, dy = 0;
        game_.GameToDisplay(x, y, &dx, &dy);
        nullbackend::InjectStylus(kind, dx, dy);
    }
    void Key(unsigned vk, bool down) override { nullbackend::InjectKey(vk, down); }

private:
    ScriptedGame& game_;
};

enum class BoardEnd { kWon, kLifeLost, kLeft, kOutOfTime };

// Lets the bot play the board in front until its level is won (the end sweeps begin), a life is
// lost, the board goes or maxFrames frame periods pass; then the bot lets go and one more frame
// delivers that. The engine catches up while a shot flies or the board is not in play (intro,
// dialogs).
template <class Bot>
BoardEnd PlayBoard(ScriptedGame& game, Bot& bot, int maxFrames)
{
    ScriptedHands hands(game);
    const int64_t start = game.FramesRun();
    BoardEnd end = BoardEnd::kOutOfTime;
    while (game.Running() && game.FramesRun() - start < maxFrames) {
        auto* board = game.Screen<GameplayScreen>(kSlotGameplay);
        if (!board) {
            end = BoardEnd::kLeft;
            break;
        }
        if (board->playState >= kPlayWon && board->playState <= kPlayStatistics) {
            end = BoardEnd::kWon;
            break;
        }
        if (board->lifeLost) {
            end = BoardEnd::kLifeLost;
            break;
        }
        bot.Act(*board, hands);
        if (board->shotCount > 0 || board->playState != kPlayPlaying)
            game.Wait(6);
        else
            game.Frame();
    }
    // Nothing stays held for the screens that follow (a held key would repeat into them).
    bot.LetGo(hands);
    game.Frame();
    return end;
}
