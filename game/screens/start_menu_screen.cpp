#include "game/screens/start_menu_screen.h"

#include "engine/core/format_text.h"
#include "engine/core/main_window.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/widget_desc.h"
#include "game/app/game_app.h"
#include "game/app/game_helpers.h"
#include "game/app/name_fit.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/screens/name_entry_dialog.h"
#include "game/screens/players_dialog.h"
#include "game/tables/display_mode.h"
#include "game/tables/map_info.h"
#include "game/tables/progression.h"

namespace {

constexpr const char* kMenuFile = "keloui.txt";
constexpr const char* kMakerPage = "https://tarvane.example/games";
constexpr int kGlowLow = 96;
constexpr int kGlowHigh = 224;
constexpr int kSkyStepRaw = 128;  // half a pixel a frame

bool Named(const char* name, const char* expected)
{
    return name && SameText(name, expected);
}

}  // namespace

StartMenuScreen::StartMenuScreen(GameApp* app) : GameScreen(app)
{
    maskOrigin_.x = GameApp::LayoutInt(application_, kLayoutEyeMaskX);
    maskOrigin_.y = GameApp::LayoutInt(application_, kLayoutEyeMaskY);
}

StartMenuScreen::~StartMenuScreen()
{
    DeleteAndNull(sky_);
    DeleteAndNull(sun_);
    DeleteAndNull(glow_);
    welcome_ = nullptr;
    DeleteAndNull(leftEyeImage_);
    DeleteAndNull(rightEyeImage_);
    DeleteAndNull(eyeMask_);
}

bool StartMenuScreen::LoadArt(Surface*& slot, const char* colour, const char* alpha)
{
    GameApp* app = GetGameApp();
    if (!app)
        return false;
    slot = app->CreateImage();
    if (!slot)
        return Loaded(LoadResult::Unmade(colour ? colour : alpha, "no memory left"));
    String folder = app->GetImageFolder();
    LoadResult why;
    if (colour)
        why = LoadImage(app, Joined(folder, colour).CStr(), slot).why;
    if (why.ok() && alpha)
        why = LoadAlphaImage(app, Joined(folder, alpha).CStr(), slot).why;
    return Loaded(why);
}

bool StartMenuScreen::Create()
{
    if (!LoadLayout(kMenuFile, "root_startmenu"))
        return false;
    if (!LoadArt(sky_, "ui\\startmenu\\startmenu_sky", nullptr) ||
        !LoadArt(sun_, "ui\\startmenu\\mmsun", "ui\\startmenu\\mmsun_a"))
        return false;
    sunCentre_.x = GameApp::LayoutInt(application_, kLayoutSunX);
    sunCentre_.y = GameApp::LayoutInt(application_, kLayoutSunY);
    if (!LoadArt(glow_, nullptr, "ui\\startmenu\\mmsunglow_a"))
        return false;
    glowAlpha_ = Fixed::FromInt(kGlowLow);
    glowStep_ = Fixed::FromInt(1);
    if (!LoadArt(leftEyeImage_, "ui\\startmenu\\mmeyeleft", "ui\\startmenu\\mmeyeleft_a") ||
        !LoadArt(rightEyeImage_, "ui\\startmenu\\mmeyeright", "ui\\startmenu\\mmeyeright_a"))
        return false;
    leftEye_ = Point{GameApp::LayoutInt(application_, kLayoutLeftEyeX),
                     GameApp::LayoutInt(application_, kLayoutLeftEyeY)};
    rightEye_ = Point{GameApp::LayoutInt(application_, kLayoutRightEyeX),
                      GameApp::LayoutInt(application_, kLayoutRightEyeY)};
    if (!LoadArt(eyeMask_, nullptr, "ui\\startmenu\\mmeyemask_a"))
        return false;
    // Only the mask's alpha is ever read.
    eyeMask_->FreePixels();

    GameApp* app = GetGameApp();
    const char* welcomeName = app && app->GetLayoutIdCached() == kDisplayMode240x240 ? "txt_welcome240_2" : "txt_welcome";
    welcome_ = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(this, welcomeName));
    UpdateWelcomeText();
    if (auto* adventure = dynamic_cast<ButtonWidget*>(ScriptWidget::FindByName(this, "btn_sm_adventure")))
        SetFocusChildDirect(adventure);
    EnsurePlayer();
    if (SoundBank* bank = app ? app->GetSoundBank() : nullptr)
        bank->PlayMusic();
    return true;
}

void StartMenuScreen::UpdateWelcomeText()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (!welcome_ || !profiles)
        return;
    String format;
    welcome_->GetCaptionText(format);
    if (format.IsEmpty()) {
        if (const TextSpec* spec = GetTextSpec(welcome_->GetDesc()))
            format = spec->caption;
    }
    String name;
    profiles->GetPlayerName(profiles->GetCurrentIndex(), name);
    // A greeting without a name reads as a fault ("Welcome, !"): it waits for the first name.
    const bool named = !name.IsEmpty();
    if (!named)
        name.Assign(" ");
    // A greeting the layout gives a width keeps to one line of it: a long name is cut.
    const char* greeting = format.CStr() ? format.CStr() : "";
    auto* block = dynamic_cast<TextMultiWidget*>(welcome_);
    welcome_->SetText(block ? FitNameOnOneLine(greeting, name.CStr(), block).CStr() : FormatText(greeting, {name}).CStr());
    welcome_->Relayout();
    if (named)
        welcome_->Show();
    else
        welcome_->Hide();
}

void StartMenuScreen::EnsurePlayer()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (!profiles || profiles->GetPlayerCount() >= 1)
        return;
    int index = app->AddPlayer();
    if (index < 0)
        return;
    profiles->SetCurrentIndex(index);
    // A layout without the name entry opens nothing; the welcome then stays hidden.
    RunActionFromFile(kMenuFile, "acn_show_edit");
    if (auto* entry = dynamic_cast<NameEntryDialog*>(ScriptWidget::FindByName(this, "dlg_EditPlayer")))
        entry->Refresh();
}

bool StartMenuScreen::StoreTypedName()
{
    auto* entry = dynamic_cast<NameEntryDialog*>(ScriptWidget::FindByName(this, "dlg_EditPlayer"));
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    if (!entry || !profiles)
        return true;
    if (entry->IsNameInUse()) {
        // The entry stays open under the message, the name unstored.
        RunActionFromFile(kMenuFile, "acn_show_same_name");
        return false;
    }
    profiles->SetPlayerName(profiles->GetCurrentIndex(), entry->GetName());
    UpdateWelcomeText();
    return true;
}

void StartMenuScreen::RemoveCurrentPlayer()
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    int current = profiles ? profiles->GetCurrentIndex() : -1;
    // The last player is never removed.
    if (!profiles || current < 0 || current >= profiles->GetPlayerCount() || profiles->GetPlayerCount() <= 1)
        return;
    app->DeletePlayer(current);
    if (auto* list = dynamic_cast<PlayersDialog*>(ScriptWidget::FindByName(this, "dlg_players"))) {
        list->Refresh();
        SetFocusChildDirect(list);
    }
}

void StartMenuScreen::Update()
{
    GameScreen::Update();
    if (sky_) {
        skyOffset_ = Fixed::Raw(skyOffset_.raw + kSkyStepRaw);
        if (skyOffset_.raw >= 0)
            skyOffset_ = Fixed::SubtractInt(skyOffset_, sky_->GetWidth());
    }
    glowAlpha_ += glowStep_;
    if (glowAlpha_.GreaterThanInt(kGlowHigh)) {
        glowAlpha_ = Fixed::FromInt(kGlowHigh);
        glowStep_ = Fixed::FromInt(-1);
    } else if (glowAlpha_.LessThanInt(kGlowLow)) {
        glowAlpha_ = Fixed::FromInt(kGlowLow);
        glowStep_ = Fixed::FromInt(1);
    }
    glowAngle_ = Fixed::SubtractInt(glowAngle_, 1);
    if (glowAngle_.LessThanInt(0))
        glowAngle_ = glowAngle_ + Fixed::FromInt(360);
}

void StartMenuScreen::DrawSky(Surface* display)
{
    int width = sky_->GetWidth();
    int x = skyOffset_.ToInt();
    do {
        sky_->Draw(display, x, 0, width, sky_->GetHeight(), 0, 0);
        x += width;
    } while (x < display->GetWidth() && width > 0);
}

void StartMenuScreen::DrawCentred(Surface* image, Surface* display, Point centre)
{
    if (image)
        image->Draw(display, centre.x - image->GetWidth() / 2, centre.y - image->GetHeight() / 2, image->GetWidth(),
                    image->GetHeight(), 0, 0);
}

void StartMenuScreen::Draw()
{
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!display)
        return;
    if (sky_)
        DrawSky(display);
    auto* bottom = dynamic_cast<ImageWidget*>(ScriptWidget::FindByName(this, "img_startmenu_bottom"));
    if (bottom)
        bottom->Draw();
    else
        DialogWidget::Draw();
    DrawCentred(leftEyeImage_, display, leftEye_);
    DrawCentred(rightEyeImage_, display, rightEye_);
    if (glow_ && glowAlpha_.raw > 0) {
        if (TrigTable* renderer = app->GetRenderer())
            renderer->DrawRotatedTinted(glow_, display, Fixed::FromInt(sunCentre_.x), Fixed::FromInt(sunCentre_.y),
                                        glowAngle_.raw, Fixed16::FromInt(1), 255, 255, 0, glowAlpha_.ToInt() - 255);
    }
    DrawCentred(sun_, display, sunCentre_);
    if (bottom)
        DrawChildrenExcept(bottom);
}

bool StartMenuScreen::OnPointer(int x, int y, int kind)
{
    pointerHeld_ = kind == kPointerDown || kind == kPointerMove;
    UpdateEyes(x, y);
    for (int i = children_.Count() - 1; i >= 0; --i) {
        Widget* child = ChildAt(i);
        if (!child->IsVisible() || !(child->HitTest(x, y) || child->IsModal()))
            continue;
        SetFocusChild(child);
        return child->OnPointer(x, y, kind);
    }
    return true;
}

void StartMenuScreen::UpdateEyes(int x, int y)
{
    if (!pointerHeld_)
        return;
    Point pointer{x, y};
    TrackEye(eyeMask_, leftEyeImage_,
             Point{GameApp::LayoutInt(application_, kLayoutLeftEyeCentreX),
                   GameApp::LayoutInt(application_, kLayoutLeftEyeCentreY)},
             maskOrigin_, pointer, leftEye_);
    TrackEye(eyeMask_, rightEyeImage_,
             Point{GameApp::LayoutInt(application_, kLayoutRightEyeCentreX),
                   GameApp::LayoutInt(application_, kLayoutRightEyeCentreY)},
             maskOrigin_, pointer, rightEye_);
}

bool StartMenuScreen::TrackEye(const Surface* mask, const Surface* eye, Point centre, Point origin, Point pointer,
                               Point& out)
{
    if (!mask || !eye)
        return false;
    FixedVec2 c(Fixed::FromInt(centre.x), Fixed::FromInt(centre.y));
    FixedVec2 s(Fixed::FromInt(origin.x + centre.x), Fixed::FromInt(origin.y + centre.y));
    FixedVec2 d(Fixed::FromInt(pointer.x) - s.x, Fixed::FromInt(pointer.y) - s.y);
    d.Normalize();
    const Fixed tenth = Fixed::FromDouble(0.1);
    if (Fixed::Abs(d.x) <= tenth && Fixed::Abs(d.y) <= tenth)
        return false;
    const uint8_t* alpha = mask->GetAlpha();
    if (!alpha)
        return false;
    int width = mask->GetWidth(), height = mask->GetHeight();
    int i = 0;
    for (;; ++i) {
        Fixed qx = c.x + Fixed::MultiplyInt(d.x, i), qy = c.y + Fixed::MultiplyInt(d.y, i);
        if (qx.raw < 0 || qy.raw < 0 || qx.GreaterOrEqualInt(width) || qy.GreaterOrEqualInt(height))
            break;
        int px = qx.ToInt(), py = qy.ToInt();
        ToSurfaceCoords(mask, px, py);
        if (alpha[static_cast<size_t>(py) * static_cast<size_t>(mask->GetRawWidth()) + static_cast<size_t>(px)] > 128)
            break;
    }
    int r = i - eye->GetHeight() / 2 - 1;
    if (r < 0)
        r = 0;
    out.x = (s.x + Fixed::MultiplyInt(d.x, r)).ToInt();
    out.y = (s.y + Fixed::MultiplyInt(d.y, r)).ToInt();
    return true;
}

bool StartMenuScreen::FillContinueText(TextMultiWidget* text, int mode)
{
    GameApp* app = GetGameApp();
    ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
    StringTable* table = app ? app->GetLanguageTable() : nullptr;
    if (!text || !profiles || !table)
        return false;
    WidgetDesc* desc = text->GetDesc();
    if (!desc || desc->txtid.IsEmpty())
        return false;
    String format;
    table->Lookup(format, desc->txtid.CStr());
    if (format.IsEmpty())
        return false;
    const ModeProgress& progress = profiles->CurrentPlayer()->progress[mode];
    int level = progress.stage;
    int32_t score = progress.score;
    int32_t running = 0;
    if (app->ReadResumeInfo(mode, running))
        score = SaturatedAdd(score, running);
    String mapName;
    String content;
    if (mode == 0) {
        if (level < 1 || level > kAdventureStageCount)
            return false;
        MapDisplayName(mapName, app, AdventureStageMaps[level - 1]);
        content = FormatText(format.CStr(), {Adventure::DoorOfStage(level), Adventure::StageInDoor(level), mapName,
                                             static_cast<int>(score)});
    } else {
        // The level and its rank of four, so the name and score fall where the text shows them.
        MapDisplayName(mapName, app, progress.gauntletMap);
        content = FormatText(format.CStr(),
                             {level, Gauntlet::RankOfLevel(level) + 1, mapName, static_cast<int>(score)});
    }
    text->SetText(content.CStr());
    text->Rewrap();
    return true;
}

bool StartMenuScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgCommand) {
        if (Named(name, "btn_sm_help")) {
            RunActionFromFile(kMenuFile, "acn_help_full_on");
            return true;
        }
        if (Named(name, "btn_help_support")) {
            RunActionFromFile(kMenuFile, "acn_helpfull_2_support");
            return true;
        }
        if (Named(name, "btn_sm_quit")) {
            // A chosen quit is no failure.
            if (application_)
                application_->RequestQuit(0);
            return true;
        }
        if (Named(name, "btn_get_more_games")) {
            OpenUrl(kMakerPage);
            return true;
        }
        if (Named(name, "btnPlayerOK")) {
            if (!StoreTypedName())
                return true;
        } else if (Named(name, "btn_players_ok")) {
            UpdateWelcomeText();
        } else if (Named(name, "btn_remove_yes")) {
            RemoveCurrentPlayer();
        }
        // The binding closes the dialog once its work above is done.
        return DialogWidget::OnEvent(sender, code, name, param);
    }
    if (code == kMsgActionRun) {
        bool adventure = Named(name, "acn_confirm_adventure");
        if (adventure || Named(name, "acn_confirm_gauntlet")) {
            auto* text = dynamic_cast<TextMultiWidget*>(ScriptWidget::FindByName(this, "txt_continue_2"));
            // Only the adventure's question goes without the text it cannot fill.
            if (!FillContinueText(text, adventure ? 0 : 1) && text && adventure)
                text->Hide();
            return true;
        }
        return DialogWidget::OnEvent(sender, code, name, param);
    }
    if (code == kMsgChildClosed) {
        const char* opener = Named(name, "dlg_options")             ? "btn_sm_options"
                             : Named(name, "dlg_continue_gauntlet") ? "btn_sm_gauntlet"
                                                                    : "btn_sm_adventure";
        auto* button = dynamic_cast<ButtonWidget*>(ScriptWidget::FindByName(this, opener));
        if (button && (!focusChild_ || !focusChild_->IsModal()))
            SetFocusChild(button);
    }
    return DialogWidget::OnEvent(sender, code, name, param);
}
