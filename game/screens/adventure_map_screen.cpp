#include "game/screens/adventure_map_screen.h"

#include "engine/core/archive.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/screens/map_screen_art.h"
#include "game/tables/progression.h"

namespace {

constexpr const char* kMapFile = "keloui.txt";
constexpr int kFadeStep = 4;

// The orders the left and right keys follow: temple 2, temple 1, temple 3; then temple 4.
constexpr int kRowA[] = {4, 5, 6, 1, 2, 3, 7, 8, 9};
constexpr int kRowB[] = {10, 11, 12};

// The nearest entry before (step -1) or after (step +1) the door in the row that is open, or -1.
template <size_t N>
int AlongRow(const int (&row)[N], int door, int step, int doorsOpen)
{
    int at = -1;
    for (size_t i = 0; i < N; ++i)
        if (row[i] == door)
            at = static_cast<int>(i);
    if (at < 0)
        return -1;
    for (int i = at + step; i >= 0 && i < static_cast<int>(N); i += step)
        if (row[i] <= doorsOpen)
            return row[i];
    return -1;
}

int Min(int a, int b)
{
    return a < b ? a : b;
}

bool Named(const char* name, const char* expected)
{
    return name && SameText(name, expected);
}

// Which image of which temple sits where: the layout integers of x (y follows).
struct TempleSpot {
    int temple;
    bool locked;
    const char* colour;
    const char* alpha;
    int layoutX;
};

constexpr TempleSpot kTempleSpots[] = {
    {1, true, "ui\\map\\adv_temple2_locked", "ui\\map\\adv_temple2_locked_a", kLayoutTemple2LockedX},
    {2, true, "ui\\map\\adv_temple3_locked", "ui\\map\\adv_temple3_locked_a", kLayoutTemple3LockedX},
    {1, false, "ui\\map\\adv_temple2", "ui\\map\\adv_temple2_a", kLayoutTemple2X},
    {2, false, "ui\\map\\adv_temple3", "ui\\map\\adv_temple3_a", kLayoutTemple3X},
    {3, false, "ui\\map\\adv_temple4", "ui\\map\\adv_temple4_a", kLayoutTemple4X},
};

}  // namespace

AdventureMapScreen::AdventureMapScreen(GameApp* app) : GameScreen(app) {}

AdventureMapScreen::~AdventureMapScreen()
{
    DeleteAndNull(sky_);
    DeleteAndNull(back_);
    DeleteAndNull(bottom_);
    for (int t = 0; t < 4; ++t) {
        DeleteAndNull(locked_[t]);
        DeleteAndNull(unlocked_[t]);
    }
    GameApp* app = GetGameApp();
    for (ResourceEntry*& set : doorSets_) {
        if (app)
            app->ReleaseSprite(set);
    }
}

ModeProgress* AdventureMapScreen::Progress()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
    return player ? player->CurrentModeProgress() : nullptr;
}

bool AdventureMapScreen::LoadTempleArt()
{
    GameApp* app = GetGameApp();
    if (!Loaded(LoadMapArt(app, sky_, "ui\\map\\advsky", nullptr)) ||
        !Loaded(LoadMapArt(app, back_, "ui\\map\\adv_back", "ui\\map\\adv_back_a")) ||
        !Loaded(LoadMapArt(app, bottom_, "ui\\map\\adv_bottom", "ui\\map\\adv_bottom_a")))
        return false;
    for (const TempleSpot& spot : kTempleSpots) {
        Surface*& slot = spot.locked ? locked_[spot.temple] : unlocked_[spot.temple];
        if (!Loaded(LoadMapArt(app, slot, spot.colour, spot.alpha)))
            return false;
        Point& at = spot.locked ? lockedAt_[spot.temple] : unlockedAt_[spot.temple];
        at = Point{GameApp::LayoutInt(app, spot.layoutX), GameApp::LayoutInt(app, spot.layoutX + 1)};
    }
    return true;
}

bool AdventureMapScreen::Create()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (!profiles || !LoadLayout(kMapFile, "root_adventure"))
        return false;
    PlayerRecord* player = profiles->CurrentPlayer();
    doorsOpen_ = Min(Adventure::DoorOfStage(player->highestStage), kAdventureDoors);
    if (!LoadTempleArt())
        return false;
    for (int d = 1; d <= kAdventureDoors; ++d) {
        doorX_[d] = GameApp::LayoutInt(app, kLayoutDoorX + d);
        doorY_[d] = GameApp::LayoutInt(app, kLayoutDoorY + d);
        String name;
        name.Format("AdvDoor%d", d);
        if (!app->AcquireSprite(doorSets_[d], name.CStr()))
            return false;
    }
    menuButton_ = RequireWidget("btn_adv_menu");
    playButton_ = RequireWidget("btn_adv_play");
    stageText_ = RequireWidget("txt_adv_stage");
    if (!menuButton_ || !playButton_ || !stageText_)
        return false;
    FillHighScoreRows(this, profiles->AdventureScores());
    SelectDoor(Adventure::DoorOfStage(player->CurrentModeProgress()->stage));
    SetFocusChildDirect(playButton_);
    StartTempleUnveil();
    return true;
}

void AdventureMapScreen::SelectDoor(int door)
{
    selected_ = door;
    GameApp* app = GetGameApp();
    StringTable* table = app ? app->GetLanguageTable() : nullptr;
    if (auto* number = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(this, "txt_adv_stage_n"))) {
        String text;
        text.Format("%d", door);
        number->SetText(text.CStr());
        number->Relayout();
    }
    int temple = Adventure::TempleOfDoor(door);
    auto* templeName = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(this, "txt_adv_temple"));
    if (templeName && table && temple >= 0 && temple <= 3) {
        String text;
        table->LookupOffset(text, "STR_TEMPLE_NAME_1", temple);
        templeName->SetText(text.CStr());
        templeName->Relayout();
    }
    // Without a door there is no row to read: the row before the first would be another text.
    auto* description = dynamic_cast<TextMultiWidget*>(ScriptWidget::FindByName(this, "txt_adv_stage_desc"));
    if (description && table && door >= 1) {
        String text;
        table->LookupOffset(text, "STR_ADV_DESC_1", door - 1);
        description->SetText(text.CStr());
        description->Relayout();
    }
}

int AdventureMapScreen::TempleArt(int doorsOpen, int temple)
{
    if (doorsOpen < 1 || temple < 1 || temple > 3)
        return 0;
    // Temples 2 and 3 stand locked from the start; each opens with its first door, temple 4
    // appears with door 10.
    int reached = (Min(doorsOpen, kAdventureDoors) - 1) / 3;
    if (temple == 3)
        return reached >= 3 ? 2 : 0;
    return reached >= temple ? 2 : 1;
}

void AdventureMapScreen::StartTempleUnveil()
{
    ModeProgress* progress = Progress();
    int temple = Adventure::TempleOfDoor(doorsOpen_);
    if (!progress || temple < 0 || temple > 3 || progress->templeShown[temple] == 1)
        return;
    unveiling_ = temple;
    progress->templeShown[temple] = 1;
    if (temple != 3) {
        unveilFade_ = Fixed::FromInt(-255);
        return;
    }
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    int height = display ? display->GetHeight() : 0;
    riseOffset_ = Fixed::FromInt(height - GameApp::LayoutInt(app, kLayoutTemple4Y));
    riseStep_ = Fixed::Raw(riseOffset_.raw / kRiseUpdates);
    if (riseStep_.raw == 0)
        riseStep_ = Fixed::Raw(1);
    int range = GameApp::LayoutInt(app, kLayoutRiseJitter);
    jitterCount_ = 0;
    for (Point& point : jitter_) {
        point.x = GameApp::Random(range) - range / 2;
        point.y = GameApp::Random(range) - range / 2;
        ++jitterCount_;
    }
    for (int& index : jitterIndex_)
        index = GameApp::Random(jitterCount_);
    if (SoundBank* bank = app ? app->GetSoundBank() : nullptr)
        bank->Play(kQuakeSound);
}

void AdventureMapScreen::UpdateUnveil()
{
    if (unveiling_ < 0)
        return;
    if (unveiling_ == 3) {
        riseOffset_ = riseOffset_ - riseStep_;
        if (riseOffset_.raw <= 0) {
            riseOffset_ = Fixed();
            unveiling_ = -1;
            return;
        }
        for (int& index : jitterIndex_)
            index = jitterCount_ > 0 ? (index + 1) % jitterCount_ : 0;
        return;
    }
    unveilFade_ = Fixed::Raw(unveilFade_.raw + Fixed::FromInt(kFadeStep).raw);
    if (unveilFade_.raw >= 0) {
        unveilFade_ = Fixed();
        unveiling_ = -1;
    }
}

void AdventureMapScreen::Update()
{
    GameScreen::Update();
    ScrollMapSky(skyOffset_, sky_);
    UpdateUnveil();
}

Point AdventureMapScreen::GetDoorPosition(int door) const
{
    if (door < 1 || door > kAdventureDoors)
        return Point{};
    return Point{doorX_[door], doorY_[door]};
}

ResourceEntry* AdventureMapScreen::GetDoorSprite(int door) const
{
    return door >= 1 && door <= kAdventureDoors ? doorSets_[door] : nullptr;
}

void AdventureMapScreen::DrawDoor(Surface* display, int door, int frame, int alpha)
{
    if (door < 1 || door > kAdventureDoors || !doorSets_[door])
        return;
    int y = doorY_[door];
    if (door >= 10 && Rising())
        y += riseOffset_.ToInt();
    if (Surface* image = doorSets_[door]->GetFrame(frame))
        image->Draw(display, doorX_[door], y, image->GetWidth(), image->GetHeight(), 0, alpha);
}

void AdventureMapScreen::DrawLockedDoors(Surface* display, int temple)
{
    // The last door of a temple leaves none of it sealed.
    if ((doorsOpen_ - 1) % 3 == 2)
        return;
    for (int door = doorsOpen_ + 1; door <= 3 * temple + 3; ++door)
        DrawDoor(display, door, 0, 0);
}

int AdventureMapScreen::DoorAlpha(int door) const
{
    if (unveiling_ >= 0 && unveiling_ != 3 && unveilFade_.raw < 0 && Adventure::TempleOfDoor(door) == unveiling_)
        return unveilFade_.ToInt();
    return 0;
}

void AdventureMapScreen::DrawTemples(Surface* display)
{
    bool rising = Rising();
    for (int temple = 3; temple >= 0; --temple) {
        int state = TempleArt(doorsOpen_, temple);
        if (state == 2) {
            Surface* image = unlocked_[temple];
            Point at = unlockedAt_[temple];
            if (temple == 3 && rising) {
                if (image)
                    image->Draw(display, at.x, at.y + riseOffset_.ToInt(), image->GetWidth(), image->GetHeight(), 0,
                                0);
                if (doorsOpen_ >= 1 && doorsOpen_ <= 11)
                    DrawLockedDoors(display, 3);
                if (selected_ >= 10 && selected_ <= 12)
                    DrawDoor(display, selected_, 3, 0);
                if (hovered_ >= 10 && hovered_ <= 12)
                    DrawDoor(display, hovered_, 2, 0);
            } else if (image) {
                if (rising && temple < 3 && jitterCount_ > 0) {
                    const Point& shake = jitter_[jitterIndex_[temple] % jitterCount_];
                    at.x += shake.x;
                    at.y += shake.y;
                }
                image->Draw(display, at.x, at.y, image->GetWidth(), image->GetHeight(), 0, 0);
            }
        }
        bool fadingOut = state == 2 && unveiling_ == temple && unveilFade_.raw < 0;
        if ((state == 1 || fadingOut) && locked_[temple]) {
            Surface* image = locked_[temple];
            int alpha = fadingOut ? -255 - unveilFade_.ToInt() : 0;
            image->Draw(display, lockedAt_[temple].x, lockedAt_[temple].y, image->GetWidth(), image->GetHeight(), 0,
                        alpha);
        }
    }
}

void AdventureMapScreen::Draw()
{
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!display)
        return;
    DrawMapSky(display, sky_, skyOffset_);
    if (back_)
        back_->Draw(display, GameApp::LayoutInt(app, kLayoutAdvBackX), GameApp::LayoutInt(app, kLayoutAdvBackY),
                    back_->GetWidth(), back_->GetHeight(), 0, 0);
    DrawTemples(display);
    if (bottom_)
        bottom_->Draw(display, 0, display->GetHeight() - bottom_->GetHeight(), bottom_->GetWidth(),
                      bottom_->GetHeight(), 0, 0);
    bool rising = Rising();
    if (doorsOpen_ >= 1 && doorsOpen_ <= 11) {
        int temple = (doorsOpen_ - 1) / 3;
        if (temple < 3 || !rising)
            DrawLockedDoors(display, temple);
    }
    // Doors 10..12 rode up with their temple above.
    if (!(rising && selected_ >= 10 && selected_ <= 12))
        DrawDoor(display, selected_, 3, DoorAlpha(selected_));
    if (!(rising && hovered_ >= 10 && hovered_ <= 12))
        DrawDoor(display, hovered_, 2, DoorAlpha(hovered_));
    DialogWidget::Draw();
}

int AdventureMapScreen::NeighbourDoor(int direction, int door, int doorsOpen)
{
    if (door < 1 || door > kAdventureDoors)
        return -1;
    switch (direction) {
    case kKeyLeft:
        if (door == 10)
            return Min(doorsOpen, 6);
        return door >= 10 ? AlongRow(kRowB, door, -1, doorsOpen) : AlongRow(kRowA, door, -1, doorsOpen);
    case kKeyRight:
        if (door == 12)
            return Min(doorsOpen, 7);
        return door >= 10 ? AlongRow(kRowB, door, 1, doorsOpen) : AlongRow(kRowA, door, 1, doorsOpen);
    case kKeyUp:
        if (doorsOpen <= 9 || door > 9)
            return -1;
        if (door == 2)
            return Min(doorsOpen, 11);
        if (door == 1 || (door >= 4 && door <= 6))
            return Min(doorsOpen, 10);
        return Min(doorsOpen, 12);
    case kKeyDown:
        if (door >= 10)
            return Min(doorsOpen, door - 9);
        return -1;
    }
    return -1;
}

int AdventureMapScreen::DoorAt(int x, int y)
{
    for (int d = 1; d <= kAdventureDoors && d <= doorsOpen_; ++d) {
        Surface* sealed = doorSets_[d] ? doorSets_[d]->GetFrame(0) : nullptr;
        if (sealed && x >= doorX_[d] && y >= doorY_[d] && x < doorX_[d] + sealed->GetWidth() &&
            y < doorY_[d] + sealed->GetHeight())
            return d;
    }
    return 0;
}

void AdventureMapScreen::Focus(const char* name)
{
    if (ScriptWidget* widget = ScriptWidget::FindByName(this, name))
        SetFocusChildDirect(widget);
}

void AdventureMapScreen::OnDirectionKey(int key)
{
    bool onMenu = FocusIs(menuButton_), onPlay = FocusIs(playButton_);
    int next = -1;
    switch (key) {
    case kKeyLeft:
    case kKeyRight:
        if (onMenu || onPlay) {
            if ((key == kKeyLeft) == onPlay)
                SetFocusChildDirect(key == kKeyLeft ? menuButton_ : playButton_);
            return;
        }
        if (selected_ == 0) {
            SetFocusChildDirect(key == kKeyLeft ? menuButton_ : playButton_);
            return;
        }
        next = NeighbourDoor(key, selected_, doorsOpen_);
        break;
    case kKeyUp:
        if (onMenu || onPlay) {
            SetFocusChildDirect(stageText_);
            SelectDoor(Min(doorsOpen_, onMenu ? 1 : 3));
            return;
        }
        if (selected_ == 0) {
            SetFocusChildDirect(stageText_);
            SelectDoor(1);
            return;
        }
        next = NeighbourDoor(kKeyUp, selected_, doorsOpen_);
        break;
    case kKeyDown:
        if (onMenu || onPlay)
            return;
        if (selected_ >= 10 && selected_ <= 12)
            next = NeighbourDoor(kKeyDown, selected_, doorsOpen_);
        else if (selected_ >= 7 && selected_ <= 9)
            next = 3;
        else if (selected_ >= 4 && selected_ <= 6)
            next = 1;
        else if (selected_ == 3) {
            SetFocusChildDirect(playButton_);
            return;
        } else if (selected_ <= 2) {
            SetFocusChildDirect(menuButton_);
            return;
        } else {
            return;  // the final stage's door has no neighbour
        }
        break;
    }
    if (next > 0)
        SelectDoor(next);
    SetFocusChildDirect(stageText_);
}

bool AdventureMapScreen::OnKey(int key, bool down)
{
    if (FindModalChild())
        return DialogWidget::OnKey(key, down);
    if (key == kKeyBack) {
        if (!down)
            OnEvent(this, kMsgCommand, "btn_adv_menu", 0);
        return true;
    }
    if (IsDirectionKey(key)) {
        if (down)
            OnDirectionKey(key);
        return true;
    }
    if (key == kKeyAction) {
        if (FocusIs(menuButton_) || FocusIs(playButton_))
            return DialogWidget::OnKey(key, down);
        if (!down && selected_ != 0)
            SendEvent(this, kMsgCommand, "btn_adv_play", 0);
    }
    return true;
}

bool AdventureMapScreen::OnPointer(int x, int y, int kind)
{
    bool result = true;
    if (OfferPointerToChildren(this, x, y, kind, result))
        return result;
    int door = DoorAt(x, y);
    if (kind == kPointerDown || kind == kPointerMove) {
        if (door > 0)
            hovered_ = door;
        return true;
    }
    if (kind == kPointerUp) {
        hovered_ = 0;
        if (door > 0 && door == selected_)
            SendEvent(this, kMsgCommand, "btn_adv_play", 0);
        else if (door > 0)
            SelectDoor(door);
    }
    return true;
}

bool AdventureMapScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    GameApp* app = GetGameApp();
    if (code == kMsgCommand && Named(name, "btn_adv_play")) {
        // No door chosen (a progress at stage 0) would start a stage that does not exist.
        int first = Adventure::DoorFirstStage(selected_);
        if (first >= 1)
            SendEvent(this, kEventChooseStage, nullptr, first, true);
        return true;
    }
    if (code == kMsgCommand && Named(name, "btn_adv_menu")) {
        if (app) {
            app->SaveResumeState();
            app->SendEvent(app, kEventStartMenu, nullptr, 0, true);
        }
        return true;
    }
    if (code == kEventChooseStage) {
        ModeProgress* progress = Progress();
        ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
        if (!progress || !profiles || param < 1 || param > kAdventureStageCount)
            return true;
        progress->stage = param;
        // The delivery replaces this screen: nothing of it is touched afterwards.
        app->SendEvent(app, profiles->skipHelp ? kEventPlayLevel : kEventHelpBeforePlay, nullptr, 0, false);
        return true;
    }
    return DialogWidget::OnEvent(sender, code, name, param);
}

bool AdventureMapScreen::Serialize(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    return archive.IsOk();
}
