// Resume records read back through the application's restore, on the packs the build shipped: a
// record either fails, leaving no screen, or shows a screen that updates, draws and saves again.
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "engine/core/main_window.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/record_store.h"
#include "engine/core/zip_pack.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/trig_table.h"
#include "shipped_fuzz_app.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "game/tables/display_mode.h"

namespace {

constexpr int kWidth = 240, kHeight = 240;

class ResumeFuzzApp : public ShippedFuzzApp {
public:
    ResumeFuzzApp() : ShippedFuzzApp(kWidth, kHeight)
    {
        resumeStore_ = new SaveFileHolder(this);
        resumeStore_->SetFile((FuzzEnginePath("saveresume.dat")).c_str(), nullptr);
    }
    // Whatever a screen posts stays unanswered: the record alone is under test.
    bool OnEvent(Widget*, int, const char*, int) override { return true; }

protected:
    void PrepareProfiles(ProfileStore& profiles) override
    {
        profiles.SetCurrentIndex(profiles.AddPlayer());
        profiles.skipHelp = true;
    }
};

Widget* AnyScreen(GameApp& app)
{
    for (int slot = 0; slot < kScreenSlotCount; ++slot)
        if (Widget* screen = app.GetScreen(slot))
            return screen;
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ResumeFuzzApp* app = [] {
        FuzzFolder();
        return new ResumeFuzzApp();
    }();
    if (!app->Ready() || size > 4096)
        return 0;
    app->BeginInput();
    PackMemoryFile record;
    if (!record.Allocate(static_cast<int32_t>(size) + 1))
        return 0;
    record.Write(data, static_cast<int32_t>(size));
    record.Seek(0, kSeekStart);
    bool restored = app->RestoreScreen(&record);
    Widget* screen = AnyScreen(*app);
    if (!restored && screen)
        abort();  // a refused record must leave nothing half made
    if (screen) {
        for (int i = 0; i < 3; ++i)
            app->Update();
        app->Draw();
        app->SaveResumeState();
    }
    app->EndInput();
    return 0;
}
