#pragma once
// The soft shadow under a chain ball: the level's shadow image painted black through its alpha
// plane at half strength. The reference goes through the turning renderer; a ball at its natural
// size (nearly all of them) takes the plain mask blit, which the busy-board benchmark showed to
// cost a third of the turned draw.
#include "engine/core/fixed.h"

class Surface;
class TrigTable;

// (x, y) is where the shadow's centre goes.
void DrawBallShadowReference(TrigTable& trig, Surface* shadow, Surface* target, Fixed x, Fixed y, Fixed16 scale);
void DrawBallShadow(TrigTable& trig, Surface* shadow, Surface* target, Fixed x, Fixed y, Fixed16 scale);
