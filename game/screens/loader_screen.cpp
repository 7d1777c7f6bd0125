#include "game/screens/loader_screen.h"

#include <cstdio>
#include <cstring>

#include "engine/core/file_failures.h"
#include "engine/graphics/particle_manager.h"
#include "engine/graphics/particle_system.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/ui/image_widgets.h"
#include "game/app/game_app.h"
#include "engine/sound/sound_manager.h"
#include "game/app/game_events.h"
#include "game/app/sound_bank.h"
#include "game/tables/display_mode.h"

namespace {

constexpr int kParticleItem = 10;
// Frames the layout's fade-ins are given on top of the loading ones.
constexpr int kSplashFrames = 132;

}  // namespace

LoaderScreen::LoaderScreen(GameApp* app) : GameScreen(app) {}

LoaderScreen::~LoaderScreen()
{
    bar_ = nullptr;
}

bool LoaderScreen::IsOptionalSet(const char* name)
{
    static const char* const kOptional[] = {"btn_mini_240", "mini_dlg_11", "mini_dlg_12", "mini_dlg_13",
                                            "mini_dlg_21",  "mini_dlg_22", "mini_dlg_23", "mini_dlg_31",
                                            "mini_dlg_32",  "mini_dlg_33"};
    for (const char* optional : kOptional) {
        if (name && std::strcmp(name, optional) == 0)
            return true;
    }
    return false;
}

bool LoaderScreen::Create()
{
    if (!LoadLayout("keloui.txt", "root_loader_simple"))
        return false;
    // The first screen shows at once, without the fade from black.
    ClearScreenFadingIn();
    bar_ = dynamic_cast<ProgressBarWidget*>(RequireWidget("prog_loader_simple"));
    if (!bar_)
        return false;
    GameApp* app = GetGameApp();
    ResourceList* sprites = app ? app->GetSpriteList() : nullptr;
    nextItem_ = 0;
    totalItems_ = (sprites ? sprites->GetCount() : 0) + kSoundBankSize;
    expectedFrames_ = (totalItems_ + itemsPerFrame_ - 1) / itemsPerFrame_ + kSplashFrames;
    framesElapsed_ = 0;
    SetProgress(0, expectedFrames_);
    return true;
}

void LoaderScreen::SetProgress(int value, int maximum)
{
    if (maximum != 0 && bar_)
        bar_->SetValue(static_cast<int>(int64_t(value) * 256 / maximum));
}

void LoaderScreen::Fail(const char* what, const char* name, const LoadResult& why)
{
    String subject;
    subject.Format("%s%s%s", what, name ? " " : "", name ? name : "");
    ReportLoadFailure(subject.CStr(), why, kCannotStart);
    if (application_)
        application_->RequestQuit(1);
}

bool LoaderScreen::LoadParticles()
{
    GameApp* app = GetGameApp();
    if (!app || !app->CreateParticleManager()) {
        Fail("particle systems", nullptr, LoadResult::Failed("particles", "no memory left"));
        return false;
    }
    ParticleManager* particles = app->GetParticleManager();
    for (int j = 0; j < particles->GetCount(); ++j) {
        ParticleSystem* system = particles->GetSystem(j);
        LoadResult why = system ? system->LoadByName() : LoadResult::Failed("particles", "no memory left");
        if (why.failed()) {
            Fail("particle system", system ? system->GetFileName().CStr() : nullptr, why);
            return false;
        }
    }
    return true;
}

bool LoaderScreen::LoadItem(int i)
{
    GameApp* app = GetGameApp();
    if (!app)
        return false;
    ResourceList* sprites = app->GetSpriteList();
    int count = sprites ? sprites->GetCount() : 0;
    if (i < count) {
        ResourceEntry* entry = sprites->Get(i);
        const char* name = entry ? entry->GetName().CStr() : nullptr;
        LoadResult why = entry ? entry->Load() : LoadResult::Failed("sprites", "no memory left");
        // The small panel is drawn by the 240x240 layout only: elsewhere its files may be missing,
        // but not damaged.
        bool optional = why.IsMissing() && IsOptionalSet(name) && app->GetLayoutIdCached() != kDisplayMode240x240;
        if (why.failed() && !optional) {
            Fail("sprite set", name, why);
            return false;
        }
    } else {
        int k = i - count;
        SoundBank* bank = app->GetSoundBank();
        // Without a sound service the game runs silent, so there is nothing to load.
        if (app->HasSoundService() && k < kSoundBankSize) {
            LoadResult why = bank ? bank->LoadByIndex(k) : LoadResult::Failed("sounds", "no memory left");
            if (why.failed()) {
                SoundBankEntry* effect = bank ? bank->EntryAt(k) : nullptr;
                Fail("sound effect", effect ? effect->file.CStr() : nullptr, why);
                return false;
            }
        }
    }
    if (i == kParticleItem && !LoadParticles())
        return false;
    return true;
}

void LoaderScreen::Update()
{
    GameScreen::Update();
    if (!IsAnyBusy()) {
        for (int n = 0; n < itemsPerFrame_; ++n) {
            if (nextItem_ >= totalItems_) {
                GameApp* app = GetGameApp();
                if (!app)
                    return;
                LoadResult why = app->LoadMusic();
                if (why.failed() && app->HasSoundService()) {
                    Fail("music", nullptr, why);
                    return;
                }
                app->SetFrameRate(33, true, true);
                SendEvent(app, kEventLoaded, nullptr, 0, true);
                return;
            }
            if (!LoadItem(nextItem_))
                return;
            ++nextItem_;
        }
    }
    ++framesElapsed_;
    SetProgress(framesElapsed_, expectedFrames_);
}
