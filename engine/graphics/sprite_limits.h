#pragma once
// Most frames one sprite set may declare, and most frames to a row of its sheet: counts from a
// script are checked against them before any arithmetic or frame array uses them.
constexpr int kMaxSpriteFrames = 4096;
constexpr int kMaxSpriteColumns = 4096;
