#pragma once
// Playing the adventure's stages through the real screens: the bots' hands on the handheld's
// input, the board in front, and what the screens between the stages show, read as a player
// reads them.
#include <functional>
#include <string>

#include "board_bot.h"
#include "bot_hands.h"
#include "game/play/gameplay_screen.h"
#include "scripted_game.h"

// The language's text of a key, as the screens look it up (bot_play.cpp).
std::string LanguageText(ScriptedGame& game, const char* key, int offset = 0);

namespace stage_play {

// The bots' hands on the handheld, counted: the player steps frame by frame only while they act.
class CountedHands : public BotHands {
public:
    explicit CountedHands(ScriptedGame& game) : hands_(game) {}
    void Stylus(int kind, int x, int y) override
    {
        hands_.Stylus(kind, x, y);
        ++sent_;
    }
    void Key(unsigned vk, bool down) override
    {
        hands_.Key(vk, down);
        held_ += down ? 1 : -1;
        ++sent_;
    }
    // Events sent so far, and whether a key is held now.
    int Sent() const { return sent_; }
    bool Holding() const { return held_ > 0; }

private:
    ScriptedHands hands_;
    int sent_ = 0;
    int held_ = 0;
};

// The board in front (shown, not a leftover beneath another screen), or null.
GameplayScreen* BoardInFront(ScriptedGame& game);
// The board in play with a ball in the frog's mouth and none on its way.
bool ReadyToAim(ScriptedGame& game, const GameplayScreen& board);

// Lets the bot play the board in front until done() holds. It may act on every frame; a frame
// at a time passes while it aims (a ball loaded, a key held, an act just sent), otherwise the
// engine catches up. A patient bot (one that only waits for the hole) always lets it catch up.
// False when maxFrames frame periods passed first or the program ended.
template <class Bot>
bool PlayUntil(ScriptedGame& game, Bot& bot, const std::function<bool()>& done, int maxFrames,
               bool patient = false)
{
    CountedHands hands(game);
    const int64_t start = game.FramesRun();
    while (game.FramesRun() - start < maxFrames && game.Running() && !done()) {
        GameplayScreen* board = BoardInFront(game);
        const bool inPlay = board && board->playState == kPlayPlaying && !board->lifeLost &&
                            !board->IsScreenFading() && game.OpenDialog() == nullptr;
        const int sent = hands.Sent();
        if (inPlay)
            bot.Act(*board, hands);
        const bool aiming = inPlay && (hands.Sent() != sent || hands.Holding() || ReadyToAim(game, *board));
        if (aiming && !patient)
            game.Frame();
        else
            game.Wait(6);
    }
    const bool ended = done();
    // Nothing stays held for the screens that follow.
    bot.LetGo(hands);
    game.Frame();
    return ended;
}

// Lets the bot play the board in front until its won level's statistics can be closed. False when
// a life was lost on the way (`lost` then says so) or maxFrames passed first.
template <class Bot>
bool PlayToWonStats(ScriptedGame& game, Bot& bot, int maxFrames, bool& lost)
{
    lost = false;
    const bool ended = PlayUntil(
        game, bot,
        [&] {
            GameplayScreen* board = BoardInFront(game);
            lost = lost || (board && board->lifeLost);
            return lost || game.CanTap("btn_stats_ok");
        },
        maxFrames);
    return ended && !lost;
}

// What the statistics of a won level show.
struct ShownStats {
    int score = -1, combos = -1, coins = -1, gaps = -1, maxChain = -1, maxCombo = -1;
    int seconds = -1;  // the player's time
    std::string bonus;
};
ShownStats ReadWonStats(ScriptedGame& game);

// The number a text shows, thousands' commas allowed; -1 when it is not one.
int ShownNumber(const std::string& text);
// "mm:ss" or "hh:mm:ss" as seconds; -1 when it is neither.
int ShownSeconds(const std::string& text);
// The current player's progress in the adventure, or null.
ModeProgress* AdventureProgress(ScriptedGame& game);

// The score, caption and spare lives the board's frame shows.
struct ShownHud {
    int score = -1;
    std::string caption;
    int lifeIcons = 0;
};
ShownHud ReadHud(const GameplayScreen& board);

// From the menu at rest: the adventure button, then the map at rest.
bool OpenAdventureMap(ScriptedGame& game);
// The adventure map shown and no longer fading or unveiling a temple.
bool MapAtRest(ScriptedGame& game);

// Waits, frame by frame, for the board of the stage to come in; true once it stands in front
// with the progress at the stage. quaked tells whether it came in with the quake.
bool WaitForStage(ScriptedGame& game, int stage, bool& quaked, int maxFrames = 600);
// Waits until the board has finished its intro and is in play.
bool WaitForPlay(ScriptedGame& game, int maxFrames = 900);

}  // namespace stage_play
