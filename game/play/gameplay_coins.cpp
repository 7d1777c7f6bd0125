// When and where a treasure coin comes up on the board, and when it goes: at most one at a time.
#include <memory>
#include <new>

#include "game/app/game_app.h"
#include "game/app/sound_bank.h"
#include "game/play/coin.h"
#include "game/play/gameplay_screen.h"

namespace {

}  // namespace

void GameplayScreen::UpdateCoins()
{
    for (int i = effects.Count() - 1; i >= 0; --i) {
        GameObject* object = effects.Get(i);
        if (!object || object->Type() != kObjectCoin)
            continue;
        if (!lifeLost && !levelFinished) {
            object->Update();
            if (!object->IsDead())
                return;
        }
        // A coin gone (or swept away by a lost life or a won level) restarts the wait.
        effects.DeleteAt(i);
        lastCoinFrame = frameCounter;
        return;
    }
    if (lifeLost || levelFinished || !coinPoints || coinPoints->Count() < 1 || targetReached ||
        frameCounter - lastCoinFrame <= coinInterval)
        return;
    const int i = GameApp::Random(coinPoints->Count());
    if (!coinGuards[0] || !coinGuards[1] || coinGuards[0]->Count() <= i || coinGuards[1]->Count() <= i)
        return;
    const Fixed guard0 = *coinGuards[0]->At(i);
    const Fixed guard1 = *coinGuards[1]->At(i);
    bool allowed = !(guard0.raw > 0 && CurveHeadDistance(0) < guard0);
    if (curveCount == 2 && guard1.raw > 0 && CurveHeadDistance(1) < guard1)
        allowed = false;
    if (!allowed || GameApp::Random(coinInterval) != 0)
        return;
    const ItemPair& point = *coinPoints->At(i);
    float x = static_cast<float>(static_cast<int16_t>(point.first));
    float y = static_cast<float>(static_cast<int16_t>(point.second));
    MapDesignPoint(x, y);
    SpawnCoin(static_cast<int>(x), static_cast<int>(y));
}

bool GameplayScreen::SpawnCoin(int x, int y)
{
    std::unique_ptr<Coin> coin(new (std::nothrow) Coin(application));
    if (!coin || !coin->Init())
        return false;
    FixedRect bounds = coin->Bounds();
    bounds.x = Fixed::FromInt(x) - bounds.HalfWidth();
    bounds.y = Fixed::FromInt(y) - bounds.HalfHeight();
    coin->SetBounds(bounds);
    if (!effects.Append(coin.get()))
        return false;
    coin.release();
    PlayRulesSound(kCoinAppearSound);
    return true;
}
