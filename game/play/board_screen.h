#pragma once
// What the board pieces ask of the running level: the gameplay screen implements it and the
// application hands it out while a level runs (null otherwise).
#include "engine/core/fixed.h"

class Ball;
class CurvePath;

class BoardScreen {
public:
    virtual ~BoardScreen() = default;

    virtual int GetPlayState() const = 0;
    // The frog's alpha offset while a lost life fades it.
    virtual int LossFadeValue() const = 0;

    // The flying shots, in array order.
    virtual int GetShotCount() const = 0;
    virtual Ball* GetShot(int index) = 0;
    virtual void RemoveShot(int index) = 0;
    virtual void AddCoinBonus(Fixed x, Fixed y, int points) = 0;
    virtual void CountCoinCollected() = 0;
    virtual int GetTargetScore() const = 0;
    virtual bool IsSurvival() const = 0;

    virtual void OnSparkleAtHole(int curve) = 0;
    virtual void SpawnDelayedExplosion(Fixed x, Fixed y, int delay) = 0;
    virtual void AddPlainBonus(int x, int y, int points) = 0;
    virtual int GetCurveCount() const = 0;
    virtual CurvePath* GetCurve(int index) = 0;

    // An inserted ball came to rest: without a match since the shot the chain counter ends, and
    // the matched flag and the pending shot clear.
    virtual void OnInsertedBallSettled() = 0;
};
