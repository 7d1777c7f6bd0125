#pragma once
// The bots on the scripted player's hands: the stylus and keys of the handheld, and a loop that
// lets a bot play the board in front until something the flow waits for has happened.
#include <functional>
#include <string>

#include "board_bot.h"
#include "game/play/gameplay_screen.h"
#include "scripted_game.h"

class ScriptedHands : public BotHands {
public:
    explicit ScriptedHands(ScriptedGame& game) : game_(game) {}
    void Stylus(int kind, int x, int y) override;
    void Key(unsigned vk, bool down) override;

private:
    ScriptedGame& game_;
};

// The board in play, or null.
GameplayScreen* BoardOf(ScriptedGame& game);

// Lets the bot play until done() holds; false when maxFrames frame periods passed first or the
// program ended. The engine catches up while a shot flies or nothing can be done; otherwise the
// bot looks every `stride` frames (1: every frame, as the winner's aim needs).
template <class Bot>
bool PlayUntil(ScriptedGame& game, Bot& bot, const std::function<bool()>& done, int maxFrames, int stride = 6)
{
    ScriptedHands hands(game);
    const int64_t start = game.FramesRun();
    while (game.FramesRun() - start < maxFrames) {
        if (done())
            return true;
        if (!game.Running())
            return false;
        GameplayScreen* board = BoardOf(game);
        bool playing = board && board->playState == kPlayPlaying && !board->lifeLost && !game.OpenDialog() &&
                       !board->IsScreenFading();
        if (playing)
            bot.Act(*board, hands);
        board = BoardOf(game);
        bool idle = !board || board->shotCount > 0 || board->playState != kPlayPlaying;
        game.Wait(idle ? 6 : stride);
    }
    return done();
}

// The language's text of a key, as the screens look it up.
std::string LanguageText(ScriptedGame& game, const char* key, int offset = 0);
