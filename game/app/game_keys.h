#pragma once
// The game's keys (GameApp::MapKey): the engine's directions and action, and back.
#include "engine/core/engine_keys.h"

constexpr int kKeyBack = 6;
constexpr int kGameKeyCount = 6;  // keys 1..6, each with an entry in the options' key table
