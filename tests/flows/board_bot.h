#pragma once
// Two scripted players for the board: the winner clears levels as a careful player would, the
// loser lets the chains roll into the hole. Both only read the board; they act through the hands
// they are given (the stylus and the keys, as a player would), once per frame.
#include <cstdint>

class BoardForecast;
class GameplayScreen;

// The player's hands. Stylus kinds: 1 down, 2 up, 3 move; points in game coordinates. Keys are
// the handheld's virtual keys.
struct BotHands {
    virtual void Stylus(int kind, int x, int y) = 0;
    virtual void Key(unsigned vk, bool down) = 0;
    virtual ~BotHands() = default;
};

// What a bot's plan says of a shot along one aim: where it first touches a chain, on which side
// of that ball it goes in and how long a run of its colour it makes there (0: it touches none).
struct ShotOutcome {
    int chain = -1;    // slot in the board's chains
    int ball = -1;     // index of the touched ball in that chain
    int insertAt = -1; // index the shot takes in the chain
    int run = 0;
    int steps = 0;     // shot steps until the touch, or until it left the screen
};

// What both bots share: when the board takes a shot, and the shot's path ahead of time.
class BoardBot {
public:
    explicit BoardBot(uint32_t seed) : random_(seed ? seed : 1) {}
    // Shots this bot fired, and frog taps or keys that swapped its balls.
    int Shots() const { return shots_; }
    int Swaps() const { return swaps_; }
    // Lets go of whatever the hands hold: a key goes up, a stylus still down is released where it
    // went down (which fires, as it would for a player). For a script taking the hands back.
    void LetGo(BotHands& hands);

protected:
    // The board is in play, the frog holds a ball and no shot is asked for or on its way.
    static bool ReadyToShoot(const GameplayScreen& board);
    // The stylus goes down near the point and drags towards it; the release at the point (on a
    // later frame, or at once in FireByStylus) fires.
    void PressStylus(const GameplayScreen& board, BotHands& hands, int x, int y);
    void ReleaseStylus(BotHands& hands, int x, int y);
    void FireByStylus(const GameplayScreen& board, BotHands& hands, int x, int y);
    void ReleaseKeys(BotHands& hands);
    // The frog is tapped: its balls change places.
    void SwapByStylus(const GameplayScreen& board, BotHands& hands);
    uint32_t Next();

    uint32_t random_;
    int shots_ = 0;
    int swaps_ = 0;
    int wait_ = 0;  // frames to let pass before acting again
    int keyHeld_ = 0;       // the key held down now (0: none)
    bool pressed_ = false;  // the stylus is down, aiming
    int pressX_ = 0, pressY_ = 0;
};

// Aims at a chain ball outside the tunnels that makes three or more with the ball in the mouth,
// on a clear line, led by the chain's motion, nearest the hole first; swaps when only the next
// ball has such a target; sometimes turns the frog with the keys instead of the stylus.
class WinnerBot : public BoardBot {
public:
    explicit WinnerBot(uint32_t seed) : BoardBot(seed) {}
    void Act(const GameplayScreen& board, BotHands& hands);
    int KeyShots() const { return keyShots_; }

private:
    struct Plan {
        double angle = 0;
        int x = 0, y = 0;  // the stylus point
        ShotOutcome outcome;
    };
    // The best shot that puts the colour in a run of `run` (3: a match, nearest the hole first; 2:
    // a pair, furthest from it first); false when none.
    bool FindRun(const BoardForecast& forecast, const GameplayScreen& board, int colour, int run, Plan& plan) const;
    // A shot that makes a pair far from the hole, or one into nothing.
    bool FindFiller(const BoardForecast& forecast, const GameplayScreen& board, int colour, Plan& plan) const;
    // One frame of aiming with the keys; false when no short turn makes a match any more.
    bool ActWithKeys(const GameplayScreen& board, BotHands& hands);

    bool keyMode_ = false;
    int keyFrames_ = 0;    // frames spent turning with the keys on this shot
    bool swappedForShot_ = false;
    int keyShots_ = 0;
};

// Shoots where no chain is, so the chains run into the hole.
class LoserBot : public BoardBot {
public:
    explicit LoserBot(uint32_t seed) : BoardBot(seed) {}
    void Act(const GameplayScreen& board, BotHands& hands);
};
