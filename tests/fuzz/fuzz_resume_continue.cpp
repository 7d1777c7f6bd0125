// A save folder as a player leaves it, on any bytes: global.opt and saveresume.dat together, read
// by the real application (loaded once, on the packs the build shipped), then the menu's Continue
// for the mode the first byte picks and 60 frames with a tap. The program must keep a screen to
// show: the saved one or, when the record cannot be played back, the menu.
//
// Input: one byte of mode, a 4-byte little-endian length n, n bytes of global.opt, then
// saveresume.dat to the end.
#include <cstdint>
#include <cstdlib>

#include "engine/core/record_store.h"
#include "engine/ui/button_widget.h"
#include "game/app/game_screen.h"
#include "shipped_fuzz_app.h"

namespace {

constexpr int kWidth = 240, kHeight = 240;
constexpr int kFrames = 60;
constexpr int kTapFrame = 5;

// The saves are read where the game keeps them: both files in the save folder.
class ContinueApp : public ShippedFuzzApp {
public:
    ContinueApp() : ShippedFuzzApp(kWidth, kHeight)
    {
        resumeStore_ = new SaveFileHolder(this);
        resumeStore_->SetFile(FuzzEnginePath("saveresume.dat").c_str(), nullptr);
    }
};

ContinueApp& App()
{
    static ContinueApp* app = [] {
        FuzzFolder();
        auto* made = new ContinueApp();
        if (!made->Ready())
            abort();
        return made;
    }();
    return *app;
}

bool AnyScreen(const GameApp& app)
{
    for (int slot = 0; slot < kScreenSlotCount; ++slot)
        if (app.GetScreen(slot))
            return true;
    return false;
}

uint32_t ReadLength(const uint8_t* data)
{
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5 || size > 65536)
        return 0;
    ContinueApp& app = App();
    app.BeginInput();
    int mode = data[0] & 1;
    size_t optionsSize = ReadLength(data + 1);
    if (optionsSize > size - 5)
        optionsSize = size - 5;
    const uint8_t* options = data + 5;
    FuzzWriteFile("global.opt", options, optionsSize);
    FuzzWriteFile("saveresume.dat", options + optionsSize, size - 5 - optionsSize);
    app.LoadOptions();
    // The menu offers Continue only where there is a game to continue.
    if (app.HasResumeSave(mode)) {
        app.OnEvent(&app, kMsgCommand, mode == 0 ? "btn_continue_adventure" : "btn_continue_gauntlet", 0);
        if (!AnyScreen(app))
            abort();  // the player would be left on nothing
        for (int frame = 0; frame < kFrames; ++frame) {
            if (frame == kTapFrame) {
                app.OnPointer(kWidth / 2, kHeight / 2, 1);
                app.OnPointer(kWidth / 2, kHeight / 2, 2);
            }
            app.Update();
            // Drawing was most of an input's time, and a frame draws what the one before it drew
            // but for where things stand: every frame up to just past the tap, where the screens
            // change, then every fourth and the last.
            if (frame <= kTapFrame + 2 || frame % 4 == 0 || frame == kFrames - 1)
                app.Draw();
        }
    }
    app.EndInput();
    return 0;
}
