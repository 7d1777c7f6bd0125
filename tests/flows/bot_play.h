#pragma once
// A bot playing the board in front on the scripted player's hands until something a flow waits
// for has happened, and the texts the flows compare what they see with.
#include <functional>
#include <string>

#include "bot_hands.h"
#include "game/play/gameplay_screen.h"
#include "scripted_game.h"

// The board in play, or null.
GameplayScreen* BoardOf(ScriptedGame& game);

// Lets the bot play until done() holds; false when maxFrames frame periods passed first or the
// program ended. The engine catches up while a shot flies or nothing can be done; otherwise the
// bot looks again after `stride` frames. The bot lets go of everything before the flow goes on.
template <class Bot>
bool PlayUntil(ScriptedGame& game, Bot& bot, const std::function<bool()>& done, int maxFrames, int stride = 6)
{
    ScriptedHands hands(game);
    const int64_t start = game.FramesRun();
    while (game.FramesRun() - start < maxFrames && game.Running() && !done()) {
        GameplayScreen* board = BoardOf(game);
        bool playing = board && board->playState == kPlayPlaying && !board->lifeLost && !game.OpenDialog() &&
                       !board->IsScreenFading();
        if (playing)
            bot.Act(*board, hands);
        board = BoardOf(game);
        bool idle = !board || board->shotCount > 0 || board->playState != kPlayPlaying;
        game.Wait(idle ? 6 : stride);
    }
    bot.LetGo(hands);
    game.Frame();
    return game.Running() && done();
}

// The language's text of a key, as the screens look it up.
std::string LanguageText(ScriptedGame& game, const char* key, int offset = 0);
