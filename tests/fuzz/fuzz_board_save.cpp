// The gameplay screen's board record on any bytes, read over the shipped levels at 240x240 by a
// fresh screen as a resume would: the first byte picks the mode the player is in, the rest is the
// record. A record that loads runs a few frames and draws, saves, and the saved record loads again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/main_window.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/zip_pack.h"
#include "engine/ui/script_widget.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "game/play/gameplay_screen.h"
#include "game/tables/display_mode.h"
#include "shipped_fuzz_app.h"
#include "tests/game/play/record_io.h"

namespace {

constexpr int kSize = 240;

class RecordApp : public ShippedFuzzApp {
public:
    RecordApp() : ShippedFuzzApp(kSize, kSize) {}

    // Screen changes the board asks for are not made: the record is what is tried.
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        return code >= kEventPlayLevel && code < 1100 ? true : GameApp::OnEvent(sender, code, name, param);
    }
    GameplayScreen* Board() const { return dynamic_cast<GameplayScreen*>(GetScreen(kSlotGameplay)); }

protected:
    void PrepareProfiles(ProfileStore& profiles) override { profiles.SetCurrentIndex(profiles.AddPlayer()); }
};

RecordApp& App()
{
    static RecordApp* app = [] {
        FuzzFolder();
        auto* made = new RecordApp();
        if (!made->Ready())
            abort();
        return made;
    }();
    return *app;
}

std::vector<uint8_t> Save(GameplayScreen& board)
{
    PackMemoryFile file;
    if (!file.Allocate(1 << 20) || !board.SaveGame(&file))
        abort();
    auto* bytes = static_cast<uint8_t*>(file.GetBuffer());
    return std::vector<uint8_t>(bytes, bytes + file.Tell());
}

bool Load(RecordApp& app, const std::vector<uint8_t>& bytes)
{
    if (app.ShowGameplay(false).failed() || !app.Board())
        abort();
    PackMemoryFile file;
    FillStream(file, bytes);
    return app.Board()->LoadSavedGame(&file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 60000)
        return 0;
    RecordApp& app = App();
    app.BeginInput();
    PlayerRecord* player = app.GetProfiles()->CurrentPlayer();
    // Adventure, gauntlet practice or survival; a level 1 profile takes any record's level.
    player->mode = data[0] % 3 == 0 ? 0 : 1;
    for (ModeProgress& progress : player->progress) {
        progress.Reset();
        progress.stage = 1;
    }
    player->progress[1].gauntletKind = data[0] % 3 == 2 ? 0 : 1;
    player->progress[1].gauntletMap = (data[0] >> 2) % MapInfo::kCount;
    if (Load(app, std::vector<uint8_t>(data + 1, data + size))) {
        GameplayScreen* board = app.Board();
        std::vector<uint8_t> saved = Save(*board);
        // Past the "Ready?" question the board moves.
        if (Widget* ready = ScriptWidget::FindByName(board, "dlg_ready_go"))
            DetachAndDeleteWidget(ready);
        for (int i = 0; i < 3; ++i) {
            board->Update();
            board->Draw();
        }
        if (!Load(app, saved))
            abort();
    }
    app.EndInput();
    return 0;
}
