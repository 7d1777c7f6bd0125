#include "flows/board_play.h"

#include "flows/scripted_game.h"
#include "game/play/gameplay_screen.h"
#include "platform/null/window_hooks.h"

void FlowHands::Stylus(int kind, int x, int y)
{
    int dx = 0, dy = 0;
    game_.GameToDisplay(x, y, &dx, &dy);
    nullbackend::InjectStylus(kind, dx, dy);
}

void FlowHands::Key(unsigned vk, bool down)
{
    nullbackend::InjectKey(vk, down);
}

namespace {

template <class Bot>
bool Play(ScriptedGame& game, Bot& bot, int budget)
{
    FlowHands hands(game);
    for (int frames = 0; frames < budget;) {
        auto* board = dynamic_cast<GameplayScreen*>(game.Board());
        if (!board || !game.Running())
            return false;
        if (board->playState >= kPlayWon)
            return true;
        bot.Act(*board, hands);
        const int steps = board->shotCount > 0 || board->playState != kPlayPlaying ? 6 : 1;
        game.Wait(steps);
        frames += steps;
    }
    return false;
}

}  // namespace

bool PlayUntilTheLevelEnds(ScriptedGame& game, WinnerBot& bot, int budget)
{
    return Play(game, bot, budget);
}

bool PlayUntilTheLevelEnds(ScriptedGame& game, LoserBot& bot, int budget)
{
    return Play(game, bot, budget);
}
