// Placeholders so the screen links while its parts are written; each goes as its part lands.
#include "game/play/gameplay_screen.h"

Fixed GameplayScreen::ChainSpeedOf(BallChain& /*chain*/, bool& /*pause*/) { return Fixed(); }
void GameplayScreen::KeepSpacing() {}
void GameplayScreen::AdvanceChains() {}
void GameplayScreen::FeedChains() {}
void GameplayScreen::CloseGaps() {}
bool GameplayScreen::SameColourAcrossGap(BallChain& /*chain*/, int /*i*/) { return false; }
void GameplayScreen::RemoveUnenteredBalls() {}
void GameplayScreen::FindMatches() {}
void GameplayScreen::GapAfterMatch(BallChain& /*chain*/) {}
void GameplayScreen::AimVector(FixedVec2& /*out*/) {}
void GameplayScreen::ShootBall() {}
void GameplayScreen::UpdateShots() {}
void GameplayScreen::KeepPreviousShotPositions() {}
void GameplayScreen::RemoveShot(int /*index*/) {}
bool GameplayScreen::ShotHitsChain(Ball& /*shot*/) { return false; }
void GameplayScreen::RecordCrossings(Ball& /*shot*/) {}
void GameplayScreen::FindBallsAroundDistance(int /*curve*/, Fixed /*distance*/, Ball*& /*behind*/, Ball*& /*ahead*/) {}
Coin* GameplayScreen::CoinAtPoint(const FixedVec2& /*point*/) { return nullptr; }
Ball* GameplayScreen::ChainBallNear(const FixedVec2& /*point*/) { return nullptr; }
void GameplayScreen::PlaceFrogBalls() {}
void GameplayScreen::RefreshFrogBalls() {}
void GameplayScreen::HoldLoadedBall() {}
void GameplayScreen::SwapBalls() {}
bool GameplayScreen::ReloadFrog() { return false; }
void GameplayScreen::UpdateNextBall() {}
void GameplayScreen::SetLevelScore(int /*points*/) {}
void GameplayScreen::OnInsertedBallSettled() {}
