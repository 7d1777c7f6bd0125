// Placeholders so the screen links while its parts are written; each goes as its part lands.
#include "game/play/gameplay_screen.h"

void GameplayScreen::CollectExploded(BallChain& /*chain*/) {}
void GameplayScreen::ScoreMatch(int /*x*/, int /*y*/, int /*ballCount*/, int /*colour*/, int /*gapBonus*/, int /*gapCount*/) {}
void GameplayScreen::AddScore(int /*points*/) {}
void GameplayScreen::AddCoinBonus(Fixed /*x*/, Fixed /*y*/, int /*points*/) {}
void GameplayScreen::AddPlainBonus(int /*x*/, int /*y*/, int /*points*/) {}
void GameplayScreen::SpawnBallExplosion(Fixed /*x*/, Fixed /*y*/, int /*colour*/) {}
void GameplayScreen::CheckTargetReached() {}
bool GameplayScreen::IsLevelCleared() { return false; }
bool GameplayScreen::NoEffectsPending() { return false; }
void GameplayScreen::StartPreviewSweep() {}
void GameplayScreen::StartEndSweep() {}
void GameplayScreen::UpdateEndExplosions() {}
bool GameplayScreen::IsEndSweepDone() { return false; }
void GameplayScreen::SpawnPowerUps() {}
void GameplayScreen::AttachPowerUp(int /*kind*/) {}
void GameplayScreen::TriggerPowerUp(int /*kind*/, Fixed /*x*/, Fixed /*y*/) {}
void GameplayScreen::StartAccuracy() {}
void GameplayScreen::StartReverse() {}
void GameplayScreen::StartSlowDown() {}
void GameplayScreen::DetonateBomb(Fixed /*x*/, Fixed /*y*/) {}
bool GameplayScreen::FindBombTargets(Fixed /*x*/, Fixed /*y*/) { return false; }
void GameplayScreen::BuildBombPattern() {}
void GameplayScreen::SpawnBombExplosions(Fixed /*x*/, Fixed /*y*/) {}
void GameplayScreen::SpawnDelayedExplosion(Fixed /*x*/, Fixed /*y*/, int /*delay*/) {}
void GameplayScreen::UpdatePowerUpTimers() {}
bool GameplayScreen::ChainsOnBoard() { return false; }
void GameplayScreen::UpdateCoins() {}
bool GameplayScreen::SpawnCoin(int /*x*/, int /*y*/) { return false; }
