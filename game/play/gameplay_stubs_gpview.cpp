// Placeholders so the screen links while its parts are written; each goes as its part lands.
#include "game/play/gameplay_screen.h"

bool GameplayScreen::OnEvent(Widget* /*sender*/, int /*code*/, const char* /*name*/, int /*param*/) { return false; }
bool GameplayScreen::OnKey(int /*key*/, bool /*down*/) { return false; }
bool GameplayScreen::OnPointer(int /*x*/, int /*y*/, int /*kind*/) { return false; }
bool GameplayScreen::OnPointerEx(int /*x*/, int /*y*/, int /*kind*/, int /*pointer*/) { return false; }
void GameplayScreen::SetAim(Fixed /*angle*/) {}
void GameplayScreen::AimAt(int /*x*/, int /*y*/) {}
bool GameplayScreen::HitTestFrog(int /*x*/, int /*y*/) { return false; }
void GameplayScreen::Draw() {}
void GameplayScreen::DrawBackground(Surface* /*target*/) {}
void GameplayScreen::DrawLayers() {}
void GameplayScreen::CaptureHoleBackgrounds(Surface* /*levelImage*/) {}
void GameplayScreen::DrawHoles(Surface* /*target*/, bool /*full*/) {}
void GameplayScreen::UpdateAimGuide() {}
void GameplayScreen::DrawAimGuide() {}
bool GameplayScreen::CreateFloatingTexts() { return false; }
void GameplayScreen::ShowScoreText(int /*points*/, int /*x*/, int /*y*/, int /*colour*/, int /*combo*/, int /*chain*/, int /*gapBonus*/, int /*gaps*/) {}
void GameplayScreen::ShowCoinBonusText(int /*points*/, int /*x*/, int /*y*/) {}
