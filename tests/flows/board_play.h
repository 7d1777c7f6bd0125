#pragma once
// A bot's hands on the scripted game: the null back end's stylus (game points mapped to the
// display) and keys; and a level played by a bot until it ends.
#include "flows/board_bot.h"

class ScriptedGame;

class FlowHands : public BotHands {
public:
    explicit FlowHands(ScriptedGame& game) : game_(game) {}
    void Stylus(int kind, int x, int y) override;
    void Key(unsigned vk, bool down) override;

private:
    ScriptedGame& game_;
};

// Lets the bot play the board until the level is won or a life is lost (the board's play state
// leaves play); frames run six at a time while a shot flies. False when the board went away or
// `budget` frames passed first.
bool PlayUntilTheLevelEnds(ScriptedGame& game, WinnerBot& bot, int budget);
bool PlayUntilTheLevelEnds(ScriptedGame& game, LoserBot& bot, int budget);
