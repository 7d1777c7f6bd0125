#pragma once
// The engine's key codes, as Application::MapKey gives them: the four directions the widgets move
// the focus with and the action key that presses a button. The game numbers its own keys after
// these; a code outside 0..kEngineKeyCount - 1 is no key.

enum EngineKey {
    kKeyNone = 0,
    kKeyLeft = 1,
    kKeyRight = 2,
    kKeyUp = 3,
    kKeyDown = 4,
    kKeyAction = 5,
};

constexpr int kEngineKeyCount = 32;

inline bool IsDirectionKey(int key)
{
    return key >= kKeyLeft && key <= kKeyDown;
}
