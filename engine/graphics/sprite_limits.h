#pragma once
// Most frames one sprite set may declare: a count from a script is checked against it before
// any frame array is allocated.
constexpr int kMaxSpriteFrames = 4096;
