#include "game/screens/gauntlet_map_screen.h"

#include <memory>

#include "engine/core/archive.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/font.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/app/profile_store.h"
#include "game/screens/map_screen_art.h"
#include "game/screens/map_widgets.h"
#include "game/tables/display_mode.h"
#include "game/tables/progression.h"

namespace {

constexpr const char* kMapFile = "keloui.txt";

// The browsing order; map 21 joins before the random entry once the adventure is finished.
constexpr int kBrowseOrder[] = {13, 3, 17, 19, 14, 7, 2, 0, 1, 9, 6, 18, 16, 11, 4, 12, 8, 20, 15, 10, 5};

bool Named(const char* name, const char* expected)
{
    return name && SameText(name, expected);
}

}  // namespace

GauntletMapScreen::GauntletMapScreen(GameApp* app) : GameScreen(app) {}

GauntletMapScreen::~GauntletMapScreen()
{
    DeleteAndNull(sky_);
    DeleteAndNull(background_);
    GameApp* app = GetGameApp();
    for (ResourceEntry*& set : gemSets_) {
        if (app)
            app->ReleaseSprite(set);
    }
    for (Surface*& emblem : emblems_)
        DeleteAndNull(emblem);
    DeleteAndNull(thumbnail_);
    survival_ = practice_ = nullptr;
    switch_ = nullptr;
}

bool GauntletMapScreen::Create()
{
    GameApp* app = GetGameApp();
    if (!app || !app->GetProfiles() || !LoadLayout(kMapFile, "root_gauntlet"))
        return false;
    if (!Loaded(LoadMapArt(app, sky_, "ui\\map\\gauntsky", nullptr)) ||
        !Loaded(LoadMapArt(app, background_, "ui\\map\\gaunt_bg", "ui\\map\\gaunt_bg_a")) ||
        !Loaded(LoadMapArt(app, emblems_[1], "ui\\map\\gaunt_gem_eagle", "ui\\map\\gaunt_gem_eagle_a")) ||
        !Loaded(LoadMapArt(app, emblems_[2], "ui\\map\\gaunt_gem_jaguar", "ui\\map\\gaunt_gem_jaguar_a")) ||
        !Loaded(LoadMapArt(app, emblems_[3], "ui\\map\\gaunt_gem_sungod", "ui\\map\\gaunt_gem_sungod_a")))
        return false;
    for (int g = 0; g < 4; ++g) {
        gemAt_[g] = Point{GameApp::LayoutInt(app, kLayoutGemX + g), GameApp::LayoutInt(app, kLayoutGemY + g)};
        String name;
        name.Format("GauntDoor%d", g + 1);
        if (!app->AcquireSprite(gemSets_[g], name.CStr()))
            return false;
    }
    thumbnail_ = CreateSurfaceSized(app, GameApp::LayoutInt(app, kLayoutThumbW), GameApp::LayoutInt(app, kLayoutThumbH),
                                    false);
    if (!thumbnail_)
        return false;
    // Until a picture is drawn into it, and after one fails, it shows black, never what the memory held.
    thumbnail_->Clear(0, 0, 0);
    survival_ = dynamic_cast<GauntletModeRadio*>(RequireWidget("rad_survival"));
    practice_ = dynamic_cast<GauntletModeRadio*>(RequireWidget("rad_practice"));
    if (!survival_ || !practice_)
        return false;
    // The switch is the visible mode control; the radios only follow the mode.
    survival_->Hide();
    practice_->Hide();
    switch_ = dynamic_cast<GauntletModeSwitch*>(ScriptWidget::FindByName(this, "chk_gaunt_switch"));
    BuildLevelList();
    SetMode(0);
    if (switch_)
        switch_->SetChecked(mode_ == 0);
    int32_t first = 0;
    browse_.Get(first, browseIndex_);
    SelectLevel(first);
    ScriptWidget* play = ScriptWidget::FindByName(this, "btn_gaunt_play");
    if (play && play->IsVisible())
        SetFocusChildDirect(play);
    else if (ScriptWidget* next = ScriptWidget::FindByName(this, "btn_gaunt_next"))
        SetFocusChildDirect(next);
    return true;
}

void GauntletMapScreen::BuildLevelList()
{
    browse_.Free();
    for (int map : kBrowseOrder)
        browse_.Append(map);
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (profiles && profiles->CurrentPlayer()->adventureFinished)
        browse_.Append(MapInfo::kCount - 1);
    browse_.Append(kRandomMapEntry);
}

void GauntletMapScreen::SetMode(int mode)
{
    mode_ = mode;
    if (survival_)
        survival_->SetChecked(mode == 0);
    if (practice_)
        practice_->SetChecked(mode != 0);
    UpdateDescription();
    UpdateHighScores();
}

void GauntletMapScreen::SelectLevel(int map)
{
    if (map == selectedMap_ || map < 0 || map > kRandomMapEntry)
        return;
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    selectedMap_ = map;
    int rank = profiles ? profiles->CurrentPlayer()->mapRanks[map] : -1;
    // A damaged profile's byte is held to the ranks there are.
    rankReached_ = rank < -1 ? -1 : rank > 3 ? 3 : rank;
    if (chosenRank_ < 1)
        chosenRank_ = 0;
    if (chosenRank_ > rankReached_)
        chosenRank_ = rankReached_;
    RenderThumbnail();
    UpdateHighScores();
    UpdateDescription();
    if (ScriptWidget* play = ScriptWidget::FindByName(this, "btn_gaunt_play")) {
        if (rankReached_ >= 0)
            play->Show();
        else
            play->Hide();
    }
}

void GauntletMapScreen::UpdateDescription()
{
    auto* text = dynamic_cast<TextMultiWidget*>(ScriptWidget::FindByName(this, "txt_gaunt_desc"));
    GameApp* app = GetGameApp();
    StringTable* table = app ? app->GetLanguageTable() : nullptr;
    if (!text || !table)
        return;
    const char* key;
    if (selectedMap_ == kRandomMapEntry)
        key = mode_ == 0 ? "STR_SURVIVALRANDOMDESC" : "STR_PRACTICERANDOMDESC";
    else if (rankReached_ < 0)
        key = "STR_LOCKEDGAUNTDESC";
    else
        key = mode_ == 0 ? "STR_SURVIVALDESC" : "STR_PRACTICEDESC";
    String content;
    table->Lookup(content, key);
    if (content.IsEmpty())
        return;
    text->SetText(content.CStr());
    text->Rewrap();
}

void GauntletMapScreen::UpdateHighScores()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    const ScoreEntry* entries = nullptr;
    if (profiles && selectedMap_ >= 0 && selectedMap_ < MapInfo::kCount)
        entries = profiles->GauntletScores(mode_, selectedMap_);
    FillHighScoreRows(this, entries);
}

LoadResult GauntletMapScreen::DrawThumbPicture(Surface* target, const char* name, int alpha, int& w, int& h)
{
    GameApp* app = GetGameApp();
    String path = Joined(app->GetImageFolder(), "thumbs\\");
    path = Joined(path, name);
    std::unique_ptr<Surface> picture(app->CreateImage());
    if (!picture)
        return LoadResult::Unmade(path.CStr(), "no memory left");
    LoadResult why = LoadImage(app, path.CStr(), picture.get()).why;
    if (why.failed())
        return why;
    picture->FreeAlpha();
    w = picture->GetWidth();
    h = picture->GetHeight();
    picture->Draw(target, 0, 0, w, h, 0, alpha);
    return LoadResult();
}

void GauntletMapScreen::RenderThumbnail()
{
    GameApp* app = GetGameApp();
    Surface* target = app ? app->GetDrawTarget() : nullptr;
    if (!thumbnail_ || !target || selectedMap_ < 0)
        return;
    bool random = selectedMap_ == kRandomMapEntry;
    const MapInfo* map = random ? nullptr : app->GetLevelTables().maps.Find(selectedMap_);
    if (!random && (!map || !map->art))
        return;
    int w = 0, h = 0;
    // A picture that cannot be drawn leaves the thumbnail black: neither garbage nor another map's picture and name.
    LoadResult drawn = DrawThumbPicture(target, random ? "random" : map->art, 0, w, h);
    bool locked = !random && rankReached_ < 0;
    int ignoredW = 0, ignoredH = 0;
    if (drawn.ok() && locked)
        drawn = DrawThumbPicture(target, "random", -128, ignoredW, ignoredH);
    if (drawn.failed()) {
        thumbnail_->Clear(0, 0, 0);
        app->TellOnce("map's picture", drawn);
        return;
    }
    Font* small = app->GetSmallFont();
    // Our fonts carry no blank rows to close the name's lines up by: they keep their full height,
    // and the smallest screen only lifts the block by two.
    int d1 = 0, d2 = app->GetLayoutIdCached() == kDisplayMode240x240 ? -2 : 0;
    int lineHeight = (small ? small->GetLineHeight() : 0) + d1;
    if (small) {
        String name;
        MapDisplayName(name, app, random ? kRandomMapEntry : map->number);
        int margin = small->MeasureText("i");
        WrappedText block;
        block.alignment = 1;
        block.width = w - 2 * margin;
        // An empty name is a block of no lines.
        if (!name.IsEmpty())
            block.SetText(w - 2 * margin, small, name.CStr());
        block.Draw(target, margin, h - 2 * lineHeight + d2, small, 255, 255, 255, 1, 255, d1, nullptr);
    }
    if (random || locked) {
        String mark;
        if (random)
            mark.Assign("?");
        else if (StringTable* table = app->GetLanguageTable())
            table->Lookup(mark, "STR_LOCKED");
        Font* main = app->GetMainFont();
        if (main && !mark.IsEmpty())
            main->DrawText(target, (w - main->MeasureText(mark.CStr())) / 2, (h - lineHeight) >> 1, mark.CStr(), 255,
                           255, 0, 5, 255, nullptr);
    }
    int size = target->GetWidth() > target->GetHeight() ? target->GetWidth() : target->GetHeight();
    CopySurfaceOriented(app, target, thumbnail_, 0, 0, size, size);
}

void GauntletMapScreen::Update()
{
    GameScreen::Update();
    ScrollMapSky(skyOffset_, sky_);
}

int GauntletMapScreen::GemFrame(int gem) const
{
    if (gem == hoveredGem_)
        return 2;
    if (gem == chosenRank_)
        return 3;
    return gem > rankReached_ ? 0 : 1;
}

void GauntletMapScreen::DrawRankGems(Surface* target)
{
    GameApp* app = GetGameApp();
    bool square = app->GetLayoutIdCached() == kDisplayMode240x240;
    Font* font = square ? app->GetSmallFont() : app->GetMainFont();
    StringTable* table = app->GetLanguageTable();
    static const int kSquareDown[4] = {1, 1, 1, 2};
    for (int g = 0; g < 4; ++g) {
        ResourceEntry* set = gemSets_[g];
        if (!set || set->GetFrameCount() < 1)
            continue;
        int frame = GemFrame(g);
        Surface* image = set->GetFrame(frame);
        if (!image)
            continue;
        // The sealed frame is the tier as the background shows it: only its size is used.
        if (frame != 0)
            image->Draw(target, gemAt_[g].x, gemAt_[g].y, image->GetWidth(), image->GetHeight(), 0, 0);
        String label;
        if (table)
            table->LookupOffset(label, "STR_GAUNT_RANK_1", g);
        if (!font || label.IsEmpty())
            continue;
        int x = gemAt_[g].x + (image->GetWidth() - font->MeasureText(label.CStr())) / 2;
        int y = gemAt_[g].y + (image->GetHeight() - font->GetLineHeight()) / 2;
        if (square) {
            x += 2;
            y += kSquareDown[g];
        }
        if (frame == 2) {
            ++x;
            ++y;
        }
        int r = 190, gr = 107, b = 41, effect = 0;
        if (frame == 1) {
            r = 194;
            gr = 138;
            b = 43;
            effect = 3;
        } else if (frame >= 2) {
            r = 225;
            gr = 199;
            b = 88;
            effect = 5;
        }
        if (square && frame >= 1)
            effect = 1;
        font->DrawText(target, x, y, label.CStr(), r, gr, b, effect, 255, nullptr);
    }
}

TextPlace GauntletMapScreen::ModeNamePlace()
{
    GameApp* app = GetGameApp();
    Font* small = app->GetSmallFont();
    StringTable* table = app->GetLanguageTable();
    if (!small || !table)
        return TextPlace();
    String name;
    table->LookupOffset(name, "STR_GAUNT_MODE_NAME_1", mode_ == 0 ? 0 : 1);
    if (name.IsEmpty())
        return TextPlace();
    return PlaceText(small, GameApp::LayoutInt(app, kLayoutModeNameRight) - small->MeasureText(name.CStr()),
                     GameApp::LayoutInt(app, kLayoutModeNameTop), name.CStr());
}

int GauntletMapScreen::GetTextPlaces(TextPlace* out, int max)
{
    TextPlace name = ModeNamePlace();
    if (!name.font)
        return 0;
    if (max > 0)
        out[0] = name;
    return 1;
}

void GauntletMapScreen::DrawModeName(Surface* target)
{
    TextPlace name = ModeNamePlace();
    if (name.font)
        name.font->DrawText(target, name.x, name.y, name.text.CStr(), 255, 255, 0, 5, 255, nullptr);
}

void GauntletMapScreen::Draw()
{
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!display)
        return;
    if (thumbnail_)
        thumbnail_->Draw(display, GameApp::LayoutInt(app, kLayoutThumbX), GameApp::LayoutInt(app, kLayoutThumbY),
                         thumbnail_->GetWidth(), thumbnail_->GetHeight(), 0, 0);
    DrawMapSky(display, sky_, skyOffset_);
    if (background_)
        background_->Draw(display, GameApp::LayoutInt(app, kLayoutGauntBgX), GameApp::LayoutInt(app, kLayoutGauntBgY),
                          background_->GetWidth(), background_->GetHeight(), 0, 0);
    DrawRankGems(display);
    if (rankReached_ > 0 && rankReached_ <= 3 && emblems_[rankReached_]) {
        Surface* emblem = emblems_[rankReached_];
        emblem->Draw(display, GameApp::LayoutInt(app, kLayoutEmblemX) - emblem->GetWidth() / 2,
                     GameApp::LayoutInt(app, kLayoutEmblemY) - emblem->GetHeight() / 2, emblem->GetWidth(),
                     emblem->GetHeight(), 0, 0);
    }
    DrawModeName(display);
    DialogWidget::Draw();
}

int GauntletMapScreen::HitRankGem(int x, int y)
{
    for (int g = 0; g <= rankReached_ && g <= 3; ++g) {
        Surface* sealed = gemSets_[g] ? gemSets_[g]->GetFrame(0) : nullptr;
        if (sealed && x >= gemAt_[g].x && x < gemAt_[g].x + sealed->GetWidth() && y >= gemAt_[g].y &&
            y < gemAt_[g].y + sealed->GetHeight())
            return g;
    }
    return -1;
}

bool GauntletMapScreen::OnPointer(int x, int y, int kind)
{
    bool result = true;
    if (OfferPointerToChildren(this, x, y, kind, result))
        return result;
    int gem = HitRankGem(x, y);
    if (kind == kPointerDown || kind == kPointerMove) {
        if (gem >= 0)
            hoveredGem_ = gem;
    } else if (kind == kPointerUp) {
        hoveredGem_ = -1;
        if (gem >= 0 && gem == chosenRank_)
            SendEvent(this, kMsgCommand, "btn_gaunt_play", 0);
        else if (gem >= 0)
            chosenRank_ = gem;
    }
    return true;
}

bool GauntletMapScreen::OnKey(int key, bool down)
{
    if (FindModalChild())
        return DialogWidget::OnKey(key, down);
    switch (key) {
    case kKeyBack:
        if (!down)
            SendEvent(this, kMsgCommand, "btn_gaunt_menu", 0);
        return true;
    case kKeyUp:
        if (down && chosenRank_ < rankReached_)
            ++chosenRank_;
        return true;
    case kKeyDown:
        if (down && chosenRank_ > 0)
            --chosenRank_;
        return true;
    }
    return OnNavigateKey(key, down);
}

void GauntletMapScreen::Browse(int step)
{
    int count = browse_.Count();
    if (count <= 0)
        return;
    browseIndex_ = ((browseIndex_ + step) % count + count) % count;
    int32_t map = 0;
    browse_.Get(map, browseIndex_);
    SelectLevel(map);
}

bool GauntletMapScreen::StartGame()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    // A locked map or no rank would start the gauntlet's level 0.
    if (!profiles || rankReached_ < 0 || chosenRank_ < 0 || selectedMap_ < 0 || selectedMap_ > kRandomMapEntry)
        return false;
    app->ResetCurrentGame(1, mode_);
    ModeProgress& progress = profiles->CurrentPlayer()->progress[1];
    progress.stage = Gauntlet::RankFirstLevel(chosenRank_);
    bool random = selectedMap_ == kRandomMapEntry;
    if (random && mode_ != 0)
        progress.randomMap = true;
    if (!random)
        progress.gauntletMap = selectedMap_;
    else if (mode_ == 0)
        progress.gauntletMap = profiles->PickAnyUnlockedMap(GameRandom);
    else
        progress.gauntletMap = profiles->PickRandomGauntletMap(GameRandom);
    app->SendEvent(app, profiles->skipHelp ? kEventPlayLevel : kEventHelpBeforePlay, nullptr, 0, true);
    return true;
}

bool GauntletMapScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgCommand) {
        if (Named(name, "btn_gaunt_play")) {
            StartGame();
            return true;
        }
        if (Named(name, "btn_gaunt_next") || Named(name, "btn_gaunt_back")) {
            Browse(Named(name, "btn_gaunt_next") ? 1 : -1);
            return true;
        }
        if (Named(name, "btn_gaunt_menu")) {
            if (GameApp* app = GetGameApp())
                app->SendEvent(app, kEventStartMenu, nullptr, 0, true);
            return true;
        }
    }
    if (code == kMsgCheckToggled) {
        if (Named(name, "rad_survival") || Named(name, "rad_practice")) {
            SetMode(Named(name, "rad_survival") ? 0 : 1);
            return true;
        }
        if (Named(name, "chk_gaunt_switch")) {
            if (switch_)
                SetMode(switch_->IsChecked() ? 0 : 1);
            return true;
        }
    }
    return DialogWidget::OnEvent(sender, code, name, param);
}

bool GauntletMapScreen::Serialize(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (!archive.IsOk() || !profiles || profiles->GetPlayerCount() < 1)
        return archive.IsOk();
    // The record holds no selection: the gauntlet's current map carries it. The record replaces
    // any game of the mode, so nothing else reads that map until play sets it again.
    int32_t& map = profiles->CurrentPlayer()->progress[1].gauntletMap;
    if (saving) {
        if (selectedMap_ >= 0 && selectedMap_ <= kRandomMapEntry)
            map = selectedMap_;
        return true;
    }
    for (int i = 0; i < browse_.Count(); ++i) {
        int32_t entry = -1;
        browse_.Get(entry, i);
        if (entry == map) {
            browseIndex_ = i;
            SelectLevel(entry);
            break;
        }
    }
    return true;
}
