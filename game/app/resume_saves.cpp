#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/file_failures.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/record_store.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"
#include "game/tables/progression.h"

// Resume records in saveresume.dat: one per player and mode, keyed id * 2 + mode, holding the id
// of the screen that existed and that screen's own state.

namespace {

constexpr int32_t kResumeCapacity = 50000;

const char* RecordName(int mode)
{
    return mode == 1 ? "Gauntlet Save" : "Adventure Save";
}

int SlotOfScreenId(int id)
{
    switch (id) {
    case kScreenIdGameplay: return kSlotGameplay;
    case kScreenIdAdventureMap: return kSlotAdventureMap;
    case kScreenIdGauntletMap: return kSlotGauntletMap;
    case kScreenIdStageComplete: return kSlotStageComplete;
    case kScreenIdTempleComplete: return kSlotTempleComplete;
    case kScreenIdEnd: return kSlotEnd;
    }
    return -1;
}

PlayerRecord* ExistingPlayer(ProfileStore* profiles)
{
    if (!profiles || profiles->GetPlayerCount() <= 0)
        return nullptr;
    PlayerRecord* player = profiles->CurrentPlayer();
    return player && player->id >= 0 ? player : nullptr;
}

// The door's and the temple's screens follow a finished door: the adventure then stands at the
// first stage of the next door, or past the last. A record of them stands only while it does, so
// one left behind by a program killed after the game moved on brings back nothing.
bool FollowsFinishedDoor(const PlayerRecord* player)
{
    int stage = player ? player->progress[0].stage : 0;
    return stage > 1 && (Adventure::IsFirstStageOfDoor(stage) || stage == kAdventureWonStage);
}

bool RecordStands(const PlayerRecord* player, int32_t id)
{
    return id != 0 && ((id != kScreenIdStageComplete && id != kScreenIdTempleComplete) || FollowsFinishedDoor(player));
}

// A saved board of a level before the profile's own, left behind by a program killed after the
// progress moved on (the level won) but before the next save: Continue does not play it on, and
// its points are already in the progress.
bool LevelPassed(const PlayerRecord* player, int mode, int32_t number)
{
    return player && player->PassedLevel(mode, number);
}

// Such a board of the stage that finished a door: the door's screen is still to come.
bool DoorScreenDue(const PlayerRecord* player, Stream* stream)
{
    if (!player || player->mode != 0 || !FollowsFinishedDoor(player))
        return false;
    int32_t at = stream->Tell();
    int32_t number = 0;
    bool read = stream->ReadInt32(&number) == 4;
    return stream->Seek(at, kSeekStart) && read && LevelPassed(player, 0, number);
}

}  // namespace

int GameApp::CurrentResumeKey(int mode)
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    return player ? ResumeKey(player->id, mode) : -1;
}

// The first slot in the writer's order that holds a screen decides. Each screen keeps the record
// of its own mode: the gauntlet map is shown without changing the player's mode.
GameScreen* GameApp::FindScreenToSave(int& id, int& mode)
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    if (GameScreen* gameplay = AsGameScreen(screens_[kSlotGameplay])) {
        if (!gameplay->CanSaveLevel() || !player)
            return nullptr;
        id = kScreenIdGameplay;
        mode = player->mode == 1 ? 1 : 0;
        return gameplay;
    }
    if (GameScreen* map = AsGameScreen(screens_[kSlotAdventureMap])) {
        if (!player || player->progress[0].stage == 1)
            return nullptr;
        id = kScreenIdAdventureMap;
        mode = 0;
        return map;
    }
    static const struct {
        int slot, id, mode;
    } kOthers[] = {{kSlotGauntletMap, kScreenIdGauntletMap, 1},
                   {kSlotTempleComplete, kScreenIdTempleComplete, 0},
                   {kSlotStageComplete, kScreenIdStageComplete, 0},
                   {kSlotEnd, kScreenIdEnd, 0}};
    for (const auto& other : kOthers) {
        if (GameScreen* screen = AsGameScreen(screens_[other.slot])) {
            id = other.id;
            mode = other.mode;
            return screen;
        }
    }
    return nullptr;
}

bool GameApp::SaveResumeState()
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    bool written = WriteResumeRecord(player ? player->mode : 0);
    // The records assume the progress in global.opt: a program killed later must not lose it.
    SaveOptions();
    return written;
}

bool GameApp::WriteResumeRecord(int)
{
    int id = 0, mode = 0;
    GameScreen* screen = FindScreenToSave(id, mode);
    int key = screen ? CurrentResumeKey(mode) : -1;
    if (!screen || key < 0)
        return true;
    if (!resumeStore_)
        return false;
    std::unique_ptr<PackMemoryFile> stream(CreatePackMemoryFile());
    if (!stream)
        return false;
    return stream->Allocate(kResumeCapacity) && stream->WriteInt32(id) == 4 && screen->Serialize(stream.get(), true) &&
           resumeStore_->WriteRecord(key, stream.get(), RecordName(mode));
}

bool GameApp::HasResumeSave(int mode)
{
    int key = CurrentResumeKey(mode);
    if (key < 0 || !resumeStore_)
        return false;
    std::unique_ptr<PackMemoryFile> stream(resumeStore_->ReadRecord(key));
    if (!stream)
        return false;
    int32_t id = 0;
    return stream->ReadInt32(&id) == 4 && RecordStands(ExistingPlayer(GetProfiles()), id);
}

bool GameApp::ReadResumeInfo(int mode, int32_t& value)
{
    int key = CurrentResumeKey(mode);
    std::unique_ptr<PackMemoryFile> stream(key >= 0 && resumeStore_ ? resumeStore_->ReadRecord(key) : nullptr);
    if (!stream)
        return false;
    int32_t id = 0;
    bool valid = stream->ReadInt32(&id) == 4 && id != 0;
    if (valid) {
        value = 0;
        // A saved level reports the second word of its state, its running score, while it is the
        // level Continue plays on.
        int32_t number = 0, score = 0;
        if (id == kScreenIdGameplay && stream->ReadInt32(&number) == 4 && stream->ReadInt32(&score) == 4 &&
            !LevelPassed(ExistingPlayer(GetProfiles()), mode, number))
            value = score;
    }
    return valid;
}

bool GameApp::ShowsResumableScreen() const
{
    for (int id : {kScreenIdGameplay, kScreenIdAdventureMap, kScreenIdGauntletMap, kScreenIdStageComplete,
                   kScreenIdTempleComplete, kScreenIdEnd})
        if (screens_[SlotOfScreenId(id)])
            return true;
    return false;
}

bool GameApp::ResumeGame(int mode)
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    if (!player)
        return true;
    player->mode = mode;
    if (!HasResumeSave(mode))
        return true;
    std::unique_ptr<PackMemoryFile> stream(resumeStore_->ReadRecord(CurrentResumeKey(mode)));
    if (!stream)
        return true;
    Restoration restored = RestoreFrom(stream.get());
    stream.reset();
    // Kept, it would be offered for ever and bring nothing each time.
    if (restored.how == Restored::kUnreadable || restored.how == Restored::kNoScreen)
        DropUnreadableRecord(mode);
    // The record is whole, the packs are not: it stays as it is for when they are whole again.
    if (restored.how == Restored::kNotMade) {
        String name;
        GetProfiles()->GetPlayerName(GetProfiles()->GetCurrentIndex(), name);
        TellPlayer("the saved %s of %s cannot be continued: %s could not be loaded: %s. The saved game is kept for "
                   "when that file is whole, and you are back at the menu.",
                   mode == 1 ? "gauntlet" : "adventure", name.CStr() ? name.CStr() : "the player",
                   ShownName(restored.why.File()).CStr(), restored.why.Reason());
    }
    return restored.how != Restored::kUnreadable && restored.how != Restored::kNotMade;
}

bool GameApp::RestoreScreen(Stream* stream)
{
    Restored restored = RestoreFrom(stream).how;
    return restored == Restored::kScreen || restored == Restored::kNoScreen;
}

GameApp::Restoration GameApp::RestoreFrom(Stream* stream)
{
    int32_t id = 0;
    if (!stream || stream->ReadInt32(&id) != 4 || id == 0)
        return {Restored::kUnreadable, LoadResult()};
    int slot = SlotOfScreenId(id);
    if (slot < 0)
        return {Restored::kNoScreen, LoadResult()};
    if (slot == kSlotGameplay && DoorScreenDue(ExistingPlayer(GetProfiles()), stream)) {
        LoadResult door = ShowScreen(kSlotStageComplete);
        return {door.ok() ? Restored::kScreen : Restored::kNotMade, door};
    }
    // A saved level gets its screen without a level of its own: the record brings the board.
    LoadResult shown = slot == kSlotGameplay ? ShowGameplay(false) : ShowScreen(slot);
    if (shown.failed())
        return {Restored::kNotMade, shown};
    GameScreen* screen = AsGameScreen(screens_[slot]);
    if (!screen)
        return {Restored::kNotMade, LoadResult::Unmade("saved screen", "it could not be made")};
    if (!screen->Serialize(stream, false)) {
        // A level whose files cannot be loaded says nothing against the record read with it.
        auto* gameplay = dynamic_cast<GameplayScreen*>(screen);
        LoadResult needed = gameplay ? gameplay->levelLoad : LoadResult();
        // A half-restored screen must not stay.
        DetachAndDeleteWidget(screens_[slot]);
        return {needed.ok() ? Restored::kUnreadable : Restored::kNotMade, needed};
    }
    return {Restored::kScreen, LoadResult()};
}

void GameApp::DropUnreadableRecord(int mode)
{
    DeleteResumeRecord(mode);
    ProfileStore* profiles = GetProfiles();
    String name;
    if (profiles)
        profiles->GetPlayerName(profiles->GetCurrentIndex(), name);
    ShownName store(resumeStore_ ? resumeStore_->GetPath().CStr() : "saveresume.dat");
    const char* who = name.CStr() ? name.CStr() : "the player";
    const char* kept = mode == 1 ? "the ranks and scores are kept" : "the adventure goes on from the stage reached";
    TellPlayer("the saved %s of %s could not be read back from %s%s%s, and is removed; %s.",
               mode == 1 ? "gauntlet" : "adventure", who, store.Name(), store.Folder()[0] ? " in the folder " : "",
               store.Folder(), kept);
}

int GameApp::CurrentAdventureStage()
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    return player ? player->progress[0].stage : 0;
}

bool GameApp::AdventureLacksItsRecord()
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    if (!player || !resumeStore_)
        return false;
    int stage = player->progress[0].stage;
    return stage > 1 && stage <= kAdventureStageCount && resumeStore_->HasFile() && !HasResumeSave(0);
}

void GameApp::DeleteResumeRecord(int mode)
{
    int key = CurrentResumeKey(mode);
    if (key >= 0 && resumeStore_)
        resumeStore_->DeleteRecord(key);
}

void GameApp::DeleteResumeSave()
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    if (player && (player->mode == 0 || player->mode == 1))
        DeleteResumeRecord(player->mode);
}

void GameApp::ResetCurrentGame(int mode, int gauntletSubMode)
{
    PlayerRecord* player = ExistingPlayer(GetProfiles());
    if (!player || mode < 0 || mode > 1)
        return;
    player->mode = mode;
    ModeProgress& progress = player->progress[mode];
    // The temple flags and the hole positions outlive a new game.
    ModeProgress fresh;
    for (int i = 0; i < 4; ++i)
        fresh.templeShown[i] = progress.templeShown[i];
    fresh.holePositions[0] = progress.holePositions[0];
    fresh.holePositions[1] = progress.holePositions[1];
    fresh.stage = 1;
    fresh.gauntletKind = mode == 1 ? gauntletSubMode : 0;
    progress = fresh;
}

// A saved game whose player the profile does not hold (its global.opt was damaged and set aside)
// keeps its key: the newcomer takes another id, so it neither inherits nor overwrites that game,
// and the old profile put back finds it again.
int GameApp::AddPlayer()
{
    ProfileStore* profiles = GetProfiles();
    if (!profiles)
        return -1;
    int32_t taken[kMaxRecords];
    int count = resumeStore_ ? resumeStore_->ReadIds(taken, kMaxRecords) : 0;
    for (int i = 0; i < count; ++i)
        taken[i] = taken[i] >= 0 ? taken[i] / 2 : -1;
    return profiles->AddPlayer(taken, count);
}

void GameApp::DeletePlayer(int index)
{
    ProfileStore* profiles = GetProfiles();
    PlayerRecord* player = profiles && index >= 0 && index < profiles->GetPlayerCount() ? profiles->GetPlayer(index)
                                                                                        : nullptr;
    if (!player)
        return;
    int id = player->id;
    profiles->DeletePlayer(index);
    if (resumeStore_ && id >= 0) {
        resumeStore_->DeleteRecord(ResumeKey(id, 0));
        resumeStore_->DeleteRecord(ResumeKey(id, 1));
    }
}
