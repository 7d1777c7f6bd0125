#pragma once
// The game on the shipped packs at one resolution with its own door complete, temple complete and
// end screens, a current adventure player at a chosen stage, and the events the screens post
// recorded before the game answers them.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/pack_memory_file.h"
#include "engine/core/record_store.h"
#include "engine/ui/string_table.h"
#include "game/app/game_events.h"
#include "game/app/profile_store.h"
#include "shipped_game_app.h"

class ProgressApp : public ShippedGameApp {
public:
    ProgressApp(int width, int height) : ShippedGameApp(width, height, "keloui.txt", "root_theend")
    {
        GetProfiles()->mute = true;
        tables_ = levelTables_.Build();
        if (Ready())
            GetLanguageTable()->SelectLanguage(0);
    }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotStageComplete || slot == kSlotTempleComplete || slot == kSlotEnd ? GameApp::NewScreen(slot)
                                                                                           : nullptr;
    }
    bool OnEvent(Widget* sender, int code, const char* name, int value) override
    {
        if (code >= kEventPlayLevel)
            reached.push_back(code);
        return GameApp::OnEvent(sender, code, name, value);
    }
    // The current adventure player with the id, at the stage, with the lives, its progress new.
    ModeProgress& Player(int stage, int lives = 3, int id = 4)
    {
        ProfileStore* profiles = GetProfiles();
        // One player, made the first time and set afresh after.
        int index = profiles->GetPlayerCount() > 0 ? profiles->GetCurrentIndex() : profiles->AddPlayer();
        PlayerRecord* player = profiles->GetPlayer(index);
        player->progress[0] = ModeProgress();
        player->id = id;
        player->mode = 0;
        std::snprintf(player->name, sizeof player->name, "Ana");
        profiles->SetCurrentIndex(index);
        ModeProgress& progress = player->progress[0];
        progress.stage = stage;
        progress.lives = lives;
        Surface* display = GetScreenSurface();
        progress.holePositions[0] = FixedVec2(Fixed::FromInt(display->GetWidth() / 3), Fixed::FromInt(60));
        progress.holePositions[1] = FixedVec2(Fixed::FromInt(display->GetWidth() * 2 / 3), Fixed::FromInt(60));
        return progress;
    }
    template <typename T>
    T* Shown(int slot)
    {
        return dynamic_cast<T*>(GetScreen(slot));
    }
    // Runs the screen's event loop until its fade-in is over.
    void Settle(int most = 200)
    {
        for (int i = 0; i < most; ++i) {
            GameScreen* screen = AsGameScreen(focusChild_);
            if (!screen || !screen->IsScreenFading())
                return;
            Update();
        }
    }
    // The player's resume record of the adventure, empty without one.
    std::vector<uint8_t> Record()
    {
        PlayerRecord* player = GetProfiles()->CurrentPlayer();
        PackMemoryFile* stream = GetResumeStore()->ReadRecord(ResumeKey(player->id, 0));
        std::vector<uint8_t> bytes;
        if (!stream)
            return bytes;
        uint8_t byte = 0;
        while (stream->Read(&byte, 1) == 1)
            bytes.push_back(byte);
        delete stream;
        return bytes;
    }

    // Reads a resume record back as a continued game does.
    bool Restore(const std::vector<uint8_t>& bytes)
    {
        PackMemoryFile stream;
        if (!stream.Allocate(static_cast<int32_t>(bytes.size())))
            return false;
        stream.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
        stream.Seek(0, kSeekStart);
        return RestoreScreen(&stream);
    }

    bool Ready() const { return ShippedGameApp::Ready() && tables_; }

    std::vector<int> reached;

private:
    bool tables_ = false;
};

// A resume record made of the screen id and the words after it, little-endian.
inline std::vector<uint8_t> RecordOf(int32_t id, const std::vector<int32_t>& words)
{
    std::vector<uint8_t> bytes;
    auto put = [&](int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(id);
    for (int32_t w : words)
        put(w);
    return bytes;
}
