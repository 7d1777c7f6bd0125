#include "game/screens/temple_complete_screen.h"

#include <cmath>
#include <new>

#include "engine/core/archive.h"
#include "engine/core/format_text.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/widget_desc.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_helpers.h"
#include "game/app/profile_store.h"
#include "game/play/game_hud.h"
#include "game/screens/typewriter_label.h"
#include "game/tables/progression.h"

namespace {

constexpr const char* kLayoutFile = "keloui.txt";
constexpr int kFramesPerSecond = 33;
constexpr int kFortunes = 8;
constexpr int kOrbitStep = 2;
constexpr int kFrogTurn = 210;

String LookupText(GameApp* app, const char* key, int offset = 0)
{
    String out;
    if (StringTable* table = app ? app->GetLanguageTable() : nullptr)
        table->LookupOffset(out, key, offset);
    return out;
}

void SetLabel(DialogWidget* dialog, const char* name, const String& text)
{
    auto* label = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(dialog, name));
    if (!label)
        return;
    label->SetText(text.CStr());
    label->Relayout();
}

}  // namespace

int TemplePhraseIndex(int stage)
{
    int door = Adventure::DoorOfStage(stage - 1);
    return door == 13 ? 4 : Adventure::TempleOfDoor(door);
}

TempleCompleteScreen::TempleCompleteScreen(GameApp* app) : GameScreen(app)
{
    if (Surface* display = app ? app->GetScreenSurface() : nullptr)
        frogCentre_ = FixedVec2(Fixed::FromInt(display->GetWidth() / 2), Fixed::FromInt(display->GetHeight() / 2));
}

TempleCompleteScreen::~TempleCompleteScreen()
{
    DeleteGameHud(hud_);
    if (GameApp* app = GetGameApp())
        app->ReleaseSprite(frogSet_);
}

bool TempleCompleteScreen::Create()
{
    GameApp* app = GetGameApp();
    if (!app || !LoadLayout(kLayoutFile, "root_temple_complete") || !app->AcquireSprite(frogSet_, "FrogAll"))
        return false;
    // The dialog is placed against the whole display.
    if (Surface* display = app->GetScreenSurface())
        SetRect(0, 0, display->GetWidth(), display->GetHeight());
    const ScreenTransition& transition = app->GetTransition();
    if (transition.kind == kTransitionSlide) {
        frogCentre_ = transition.start;
        frogAngle_ = transition.angle;
    }
    // The frame, caption and score of the finished game; the bonus the win paid shows with the
    // statistics.
    DeleteGameHud(hud_);
    hud_ = new (std::nothrow) GameHud(app, nullptr);
    if (!hud_ || !hud_->Load())
        return false;
    hud_->RefreshLabels();
    livesBonus_ = WonLivesBonus(app);
    return true;
}

void TempleCompleteScreen::Update()
{
    GameScreen::Update();
    if (dialogOpened_)
        return;
    dialogOpened_ = 1;
    RunActionFromFile(kLayoutFile, "acn_temple_dlg_on");
}

void TempleCompleteScreen::Draw()
{
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!display)
        return;
    DialogWidget::Draw();
    if (IsScreenFadingIn() && app->GetTransition().kind == kTransitionSlide)
        DrawSlide(display);
    if (hud_)
        hud_->Draw(display);
}

void TempleCompleteScreen::DrawSlide(Surface* display)
{
    GameApp* app = GetGameApp();
    ScreenTransition& transition = app->GetTransition();
    for (int i = 0; i < 4; ++i) {
        Surface* piece = app->GetQuakeImage(i);
        if (!piece)
            continue;
        int x = app->QuakePosition(i).x.ToInt(), y = app->QuakePosition(i).y.ToInt();
        if (transition.quakeCountdown > 0) {
            x += app->NextJitter();
            y += app->NextJitter();
        }
        piece->Draw(display, x, y, piece->GetWidth(), piece->GetHeight(), 0, 0);
    }
    Surface* frog = frogSet_ ? frogSet_->GetFrame(0) : nullptr;
    if (frog && app->GetRenderer())
        app->GetRenderer()->DrawRotatedPivot(frog, display, frogCentre_.x, frogCentre_.y, frogAngle_.raw,
                                             Fixed::FromInt(frog->GetWidth() / 2),
                                             Fixed::FromInt(frog->GetHeight() / 2), transition.scale, 0);
}

DialogWidget* TempleCompleteScreen::WonStats()
{
    ScriptWidget* dialog = FindChildDialog();
    return dialog && SameText(dialog->GetName(), "dlg_won_stats") ? dynamic_cast<DialogWidget*>(dialog) : nullptr;
}

bool TempleCompleteScreen::OnKey(int key, bool down)
{
    if (WonStats())
        return DialogWidget::OnKey(key, down);
    if (down)
        OnPress();
    return true;
}

bool TempleCompleteScreen::OnPointer(int x, int y, int kind)
{
    if (WonStats())
        return GameScreen::OnPointer(x, y, kind);
    if (kind == kPointerDown)
        OnPress();
    return true;
}

void TempleCompleteScreen::OnPress()
{
    GameApp* app = GetGameApp();
    ModeProgress* progress = CurrentProgressOf(app);
    // A press while fading would be lost with its post; a second one would post again. One before
    // the guardian's dialog is up would open the statistics under it, out of reach.
    if (!progress || pressed_ || IsScreenFading() || !dialogOpened_)
        return;
    int stage = progress->stage;
    if (stage > kAdventureStageCount) {
        ShowWonStats();
        return;
    }
    pressed_ = true;
    SendEvent(app, stage == kAdventureStageCount ? kEventPlayLevel : kEventAdventureMap, nullptr, 0, true);
}

void TempleCompleteScreen::ShowWonStats()
{
    if (ScriptWidget::FindByName(this, "dlg_won_stats"))
        return;
    RunActionFromFile(kLayoutFile, "acn_final_head_2_stats");
    auto* dialog = dynamic_cast<DialogWidget*>(ScriptWidget::FindByName(this, "dlg_won_stats"));
    GameApp* app = GetGameApp();
    ModeProgress* progress = CurrentProgressOf(app);
    if (!dialog || !progress)
        return;
    auto number = [](int n) { return FormatText("%d", {n}); };
    SetLabel(dialog, "txt_stats_combos", number(progress->totalCombos));
    SetLabel(dialog, "txt_stats_coins", number(progress->totalCoins));
    SetLabel(dialog, "txt_stats_gaps", number(progress->gapShots));
    SetLabel(dialog, "txt_stats_maxchain", number(progress->bestChain));
    SetLabel(dialog, "txt_stats_maxcombo", number(progress->bestCombo));
    String time;
    FormatTime(time, progress->totalFrames / kFramesPerSecond);
    SetLabel(dialog, "txt_stats_total_time", time);
    if (auto* bonus = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(dialog, "txt_stats_extralife_val"))) {
        WidgetDesc* desc = bonus->GetDesc();
        String format = desc && !desc->txtid.IsEmpty() ? LookupText(app, desc->txtid.CStr()) : String("%d");
        SetLabel(dialog, "txt_stats_extralife_val", FormatText(format.CStr(), {static_cast<int>(livesBonus_)}));
    }
    SetLabel(this, "txt_stats_tip", LookupText(app, "STR_FORTUNES_1", GameApp::Random(kFortunes)));
}

bool TempleCompleteScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgCommand && name && SameText(name, "btn_won_stats_ok")) {
        GameApp* app = GetGameApp();
        ModeProgress* progress = CurrentProgressOf(app);
        ProfileStore* profiles = app ? app->GetProfiles() : nullptr;
        // The won adventure's score, bonus included, goes into the table once.
        if (!scoreRecorded_ && profiles && progress) {
            scoreRecorded_ = true;
            profiles->InsertHighScore(progress->score);
            // The game is over: a record of this screen left behind by a program killed before
            // its deletion no longer stands, so the score cannot be entered twice.
            progress->stage = 0;
            app->SaveOptions();
        }
        if (app)
            app->DeleteResumeSave();
        SendEvent(app, kEventTheEnd, nullptr, 0, true);
        return true;
    }
    return DialogWidget::OnEvent(sender, code, name, param);
}

bool TempleCompleteScreen::Serialize(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    archive.SerializeWord(frogCentre_.x.raw);
    archive.SerializeWord(frogCentre_.y.raw);
    archive.SerializeWord(frogAngle_.raw);
    return archive.IsOk();
}

TempleCompleteDialog::~TempleCompleteDialog()
{
    if (auto* app = dynamic_cast<GameApp*>(application_)) {
        app->ReleaseSprite(headSet_);
        app->ReleaseSprite(frogSet_);
    }
}

bool TempleCompleteDialog::Init()
{
    auto* app = dynamic_cast<GameApp*>(application_);
    if (!app || !GameDialog::Init())
        return false;
    const LayoutTable& table = app->GetLayoutTable();
    centres_[0] = Point{table.ints[kLayoutOrbit1X], table.ints[kLayoutOrbit1Y]};
    centres_[1] = Point{table.ints[kLayoutOrbit2X], table.ints[kLayoutOrbit2Y]};
    radius_ = table.ints[kLayoutOrbitRadius];
    angles_[0] = Fixed::FromInt(GameApp::Random(360));
    angles_[1] = Fixed::FromInt(GameApp::Random(360));
    if (!app->AcquireSprite(headSet_, "head") || !app->AcquireSprite(frogSet_, "FrogAll") ||
        headSet_->GetFrameCount() < 1 || frogSet_->GetFrameCount() < 1)
        return false;
    PlaceOnOrbit(0);
    PlaceOnOrbit(1);

    ProfileStore* profiles = app->GetProfiles();
    ModeProgress* progress = CurrentProgressOf(app);
    int t = TemplePhraseIndex(progress ? progress->stage : 1);
    if (t < 0 || t > 4)
        t = 0;
    bool finishedBefore = profiles && profiles->CurrentPlayer()->adventureFinished;
    String phrases[3];
    phrases[0] = LookupText(app, "STR_TEMPLE_COMPLETE_1_1", t);
    if (!finishedBefore) {
        phrases[2] = LookupText(app, t == 3 ? "STR_RIBBIT_ASK" : "STR_RIBBIT");
    } else {
        String head = LookupText(app, t == 3 ? "STR_RIBBIT_ASK" : "STR_RIBBIT_EXCLAIM");
        String tail = LookupText(app, "STR_TEMPLE_COMPLETE_F_1", t);
        String spaced;
        String::Concat(spaced, head, String(" "));
        String::Concat(phrases[2], spaced, tail);
    }
    // Only the last temple's guardian answers the frog.
    phrases[1] = t == 3 ? LookupText(app, "STR_TEMPLE_COMPLETE_2_4") : String(" ");
    static const char* const kNames[3] = {"txt_temple_phrase1", "txt_temple_phrase2", "txt_temple_phrase3"};
    for (int i = 0; i < 3; ++i) {
        phrases_[i] = dynamic_cast<TypewriterLabel*>(ScriptWidget::FindByName(this, kNames[i]));
        if (!phrases_[i])
            continue;
        phrases_[i]->SetText(phrases[i].IsEmpty() ? " " : phrases[i].CStr());
        phrases_[i]->Rewrap();
        if (i == 0)
            phrases_[i]->Show();
        else
            phrases_[i]->Hide();
    }
    return true;
}

void TempleCompleteDialog::PlaceOnOrbit(int which)
{
    // (0, radius) turned by the angle about the orbit's centre.
    double radians = angles_[which].ToDouble() * 3.14159265358979 / 180.0;
    double x = centres_[which].x - radius_ * std::sin(radians);
    double y = centres_[which].y + radius_ * std::cos(radians);
    positions_[which] = FixedVec2(Fixed::FromDouble(x), Fixed::FromDouble(y));
}

void TempleCompleteDialog::Update()
{
    DialogWidget::Update();
    if (!headSet_ || !frogSet_)
        return;
    angles_[0] = Fixed::FromInt((angles_[0].ToInt() + kOrbitStep) % 360);
    angles_[1] = Fixed::FromInt((angles_[1].ToInt() + 360 - kOrbitStep) % 360);
    PlaceOnOrbit(0);
    PlaceOnOrbit(1);
    // The frog answers once the guardian has spoken, and the guardian once more after it.
    if (phrases_[2] && phrases_[2]->IsDone() && phrases_[1])
        phrases_[1]->Show();
    if (phrases_[0] && phrases_[0]->IsDone() && phrases_[2])
        phrases_[2]->Show();
}

void TempleCompleteDialog::Draw()
{
    GameDialog::Draw();
    auto* app = dynamic_cast<GameApp*>(application_);
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    Surface* head = headSet_ ? headSet_->GetFrame(0) : nullptr;
    Surface* frog = frogSet_ ? frogSet_->GetFrame(0) : nullptr;
    if (!display || !head || !frog || !app->GetRenderer())
        return;
    int change = (GetEffectiveAlpha() >> 8) - 255;
    TrigTable* renderer = app->GetRenderer();
    renderer->DrawRotatedAlpha(head, display, positions_[0].x, positions_[0].y, 0, Fixed16::FromInt(1), change);
    renderer->DrawRotatedAlpha(frog, display, positions_[1].x, positions_[1].y, kFrogTurn * 256, Fixed16::FromInt(1),
                               change);
}
