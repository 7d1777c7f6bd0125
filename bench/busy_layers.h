#pragma once
// The board's draw, layer by layer in the order the board draws them, for the busy-frame benchmarks.
#include "engine/graphics/blend_rows.h"
#include "engine/graphics/rotated_draw.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/play/game_hud.h"
#include "game/play/gameplay_screen.h"
#include "game/play/track_sparkle.h"

namespace busy_layers {

constexpr int kCount = 12;

inline const char* Name(int layer)
{
    static const char* const kNames[kCount] = {
        "hole covers", "background", "holes", "sparkle", "balls and overlays", "frog", "effects", "texts", "display",
        "menu and dialogs", "balls and overlays without shadows", "balls and overlays, reference routines"};
    return layer >= 0 && layer < kCount ? kNames[layer] : "";
}

// After the board's own layers: the balls at the setting below the shadows', to show their share,
// and the balls through the reference drawing routines, to show what the fast ones save.
inline void Draw(GameplayScreen& board, Surface* screen, int layer)
{
    switch (layer) {
    case 0: board.RefreshHoleCovers(); break;
    case 1: board.DrawBackground(screen); break;
    case 2: board.DrawHoles(screen, false); break;
    case 3:
        if (board.trackSparkle)
            board.trackSparkle->Draw(screen);
        break;
    case 4: board.DrawLayers(); break;
    case 5: board.DrawFrogAndBalls(screen, false, 0, 0); break;
    case 6: board.DrawEffects(screen); break;
    case 7: board.DrawFloatingTexts(); break;
    case 8:
        if (board.hud)
            board.hud->Draw(screen);
        break;
    case 9:
        if (board.menuButton)
            board.menuButton->Draw();
        board.DrawTitle(screen);
        board.DrawChildrenExcept(board.menuButton);
        break;
    case 10: {
        ProfileStore* profiles = board.application->GetProfiles();
        const int quality = profiles->graphicsQuality;
        profiles->graphicsQuality = 1;
        board.DrawLayers();
        profiles->graphicsQuality = quality;
        break;
    }
    case 11:
        rotated_draw::SetFastPathsEnabled(false);
        blend_rows::SetFastPathsEnabled(false);
        board.DrawLayers();
        rotated_draw::SetFastPathsEnabled(true);
        blend_rows::SetFastPathsEnabled(true);
        break;
    }
}

}  // namespace busy_layers
