#include <algorithm>

#include "engine/core/memory.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/dialog_widget.h"
#include "engine/ui/tuner_widget.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"

LoadResult GameApp::CaptureQuakePieces()
{
    for (Surface*& piece : quakeImages_)
        DeleteAndNull(piece);
    Surface* target = GetDrawTarget();
    GameScreen* source = GetGameplayScreen();
    if (!source)
        source = GetStageCompleteScreen();
    if (!target || !source || !source->DrawCapture(target))
        return LoadResult::Unmade("quake", "no picture to cut the pieces from");
    int size = std::max(target->GetWidth(), target->GetHeight());
    String folder = GetImageFolder();
    for (int i = 0; i < 4; ++i) {
        String path;
        path.Format("%squake%02d_a", folder.CStr() ? folder.CStr() : "", i + 1);
        Surface* piece = CreateImage();
        quakeImages_[i] = piece;
        if (!piece)
            return LoadResult::Unmade(path.CStr(), "no memory left");
        // The mask gives the piece its shape; the picture is copied under it.
        LoadResult mask = LoadAlphaImage(this, path.CStr(), piece).why;
        if (mask.failed())
            return mask;
        int w = piece->GetWidth(), h = piece->GetHeight();
        void* pixels = Alloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 2);
        if (!pixels)
            return LoadResult::Unmade(path.CStr(), "no memory left");
        if (!piece->AttachPixels(pixels, w, h)) {
            Free(pixels);
            return LoadResult::Unmade(path.CStr(), "too large");
        }
        int x = layoutTable_.ints[kLayoutQuakeX + i], y = layoutTable_.ints[kLayoutQuakeY + i];
        CopySurfaceOriented(this, target, piece, -x, -y, size, size);
        quakePositions_[i] = FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
        quakeSpeeds_[i] =
            FixedVec2(layoutTable_.fixed[kLayoutQuakeSpeedX + i], layoutTable_.fixed[kLayoutQuakeSpeedY + i]);
    }
    return LoadResult();
}

void GameApp::FillSoundWidgets(DialogWidget* dialog)
{
    ProfileStore* profiles = GetProfiles();
    if (!dialog || !profiles)
        return;
    if (auto* tuner = dynamic_cast<TunerWidget*>(ScriptWidget::FindByName(dialog, "tuner_Sound")))
        tuner->SetValue(profiles->soundVolume);
    if (auto* tuner = dynamic_cast<TunerWidget*>(ScriptWidget::FindByName(dialog, "tuner_Music")))
        tuner->SetValue(profiles->musicVolume);
    if (auto* box = dynamic_cast<CheckBoxWidget*>(ScriptWidget::FindByName(dialog, "chk_mute")))
        box->SetChecked(profiles->mute);
}
