#include <algorithm>
#include <cstring>

#include "engine/core/format_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_helpers.h"
#include "game/app/name_fit.h"
#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/play/frog.h"
#include "game/play/gameplay_rules_end.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/tables/map_info.h"
#include "game/tables/progression.h"

// The statistics of a won or lost level, the time bonus, and the level end that folds the level
// into the player's progress and moves on to the next level or screen.

namespace {

constexpr const char* kLayoutFile = "keloui.txt";
constexpr int kTips = 10;
constexpr int kFortunes = 8;

bool Named(const char* name, const char* expected)
{
    return name && std::strcmp(name, expected) == 0;
}

String Number(int value)
{
    return FormatText("%d", {value});
}

String Time(int seconds)
{
    String out;
    FormatTime(out, seconds);
    return out;
}

FixedVec2 CentreOf(const FixedRect& rect)
{
    return FixedVec2(rect.x + Fixed::ShiftRight(rect.w, 1), rect.y + Fixed::ShiftRight(rect.h, 1));
}

// The best-time record of the level just played: the stage's in adventure, the map and level's
// in gauntlet practice, none in survival.
BestTime* BestTimeEntry(GameplayScreen& screen)
{
    PlayerRecord* player = gameplay_end::CurrentPlayer(screen);
    ProfileStore* profiles = screen.application ? screen.application->GetProfiles() : nullptr;
    if (!player || !profiles)
        return nullptr;
    ModeProgress* progress = player->CurrentModeProgress();
    if (player->mode == 0)
        return profiles->AdventureTime(progress->stage);
    if (screen.IsSurvival())
        return nullptr;
    return profiles->PracticeTime(progress->gauntletMap, std::min(progress->stage - 1, kPracticeTimeLevels - 1));
}

// The next level comes in with the quake when the pieces can be cut from this board, else with
// no visible fade.
void StartNextLevelTransition(GameplayScreen& screen)
{
    GameApp* app = screen.application;
    ScreenTransition& transition = app->GetTransition();
    LoadResult quake = app->CaptureQuakePieces();
    if (quake.failed()) {
        app->TellOnce("earthquake", quake);
        transition.kind = kTransitionNone;
        return;
    }
    transition.kind = kTransitionQuake;
    if (screen.frog) {
        transition.start = CentreOf(screen.frog->Bounds());
        transition.angle = screen.frog->GetAngle();
    }
    transition.quake = true;
    transition.quakeCountdown = kQuakeCountdown;
    if (SoundBank* sounds = app->GetSoundBank())
        sounds->Play(kQuakeSound);
}

}  // namespace

namespace gameplay_end {

PlayerRecord* CurrentPlayer(GameplayScreen& screen)
{
    ProfileStore* profiles = screen.application ? screen.application->GetProfiles() : nullptr;
    return profiles ? profiles->CurrentPlayer() : nullptr;
}

ModeProgress* Progress(GameplayScreen& screen)
{
    PlayerRecord* player = CurrentPlayer(screen);
    return player ? player->CurrentModeProgress() : nullptr;
}

void FoldLevelIntoProgress(GameplayScreen& screen, bool clear)
{
    if (ModeProgress* progress = Progress(screen)) {
        progress->score = SaturatedAdd(progress->score, screen.levelScore);
        progress->totalCombos = SaturatedAdd(progress->totalCombos, screen.combos);
        progress->totalFrames = SaturatedAdd(progress->totalFrames, screen.levelTime);
        progress->gapShots = SaturatedAdd(progress->gapShots, screen.gapShots);
        progress->totalCoins = SaturatedAdd(progress->totalCoins, screen.coinsCollected);
        progress->bestCombo = std::max(progress->bestCombo, screen.bestCombo);
        progress->bestChain = std::max(progress->bestChain, screen.bestChain);
    }
    if (!clear)
        return;
    // Gap shots go too: folded twice they would count twice.
    screen.levelScore = screen.combos = screen.levelTime = screen.coinsCollected = 0;
    screen.bestCombo = screen.bestChain = screen.gapShots = 0;
}

void SetWidgetText(Widget* root, const char* name, const String& text)
{
    auto* widget = dynamic_cast<TextWidget*>(root ? ScriptWidget::FindByName(root, name) : nullptr);
    if (!widget)
        return;
    widget->SetText(text.CStr() ? text.CStr() : "");
    widget->Relayout();
}

void SetWidgetNumber(Widget* root, const char* name, int value)
{
    SetWidgetText(root, name, Number(value));
}

void SetTipText(GameplayScreen& screen, const char* firstRow, int rows)
{
    Widget* tip = ScriptWidget::FindByName(&screen, "txt_stats_tip");
    if (!tip)
        return;
    String text;
    StringTable* texts = screen.application ? screen.application->GetLanguageTable() : nullptr;
    int row = GameApp::Random(rows);
    if (texts)
        texts->LookupOffset(text, firstRow, row);
    SetWidgetText(tip, "txt_stats_tip", text);
}

}  // namespace gameplay_end

using namespace gameplay_end;

void GameplayScreen::RecordBestTime()
{
    BestTime* entry = BestTimeEntry(*this);
    PlayerRecord* player = CurrentPlayer(*this);
    if (!entry || !player)
        return;
    const int seconds = levelTime / kFramesPerSecond;
    // No record yet, or a faster time: a slower win keeps the old one.
    if (entry->seconds > 0 && entry->seconds <= seconds)
        return;
    entry->seconds = seconds;
    std::memcpy(entry->name, player->name, sizeof entry->name);
    entry->name[sizeof entry->name - 1] = 0;
}

int GameplayScreen::TimeBonus(int frames, int parFrames)
{
    if (frames > parFrames || parFrames <= 0)
        return 0;
    const Fixed share = Fixed::FromInt(frames) / Fixed::FromInt(parFrames);
    const int bonus = Fixed::MultiplyInt(Fixed::FromInt(1) - share, 25000).ToInt();
    return bonus / 100 * 100 + 100;
}

void GameplayScreen::ShowStatsDialog()
{
    if (ScriptWidget::FindByName(this, "dlg_stats"))
        return;
    StopLoopingSounds();
    RunActionFromFile(kLayoutFile, "acn_stats_on");
    Widget* dialog = ScriptWidget::FindByName(this, "dlg_stats");
    if (!dialog)
        return;
    SetWidgetNumber(dialog, "txt_stats_score", levelScore);
    SetWidgetNumber(dialog, "txt_stats_combos", combos);
    SetWidgetNumber(dialog, "txt_stats_coins", coinsCollected);
    SetWidgetNumber(dialog, "txt_stats_gaps", gapShots);
    SetWidgetNumber(dialog, "txt_stats_maxchain", bestChain);
    SetWidgetNumber(dialog, "txt_stats_maxcombo", bestCombo);
    SetWidgetText(dialog, "txt_stats_yourtime", Time(levelTime / kFramesPerSecond));
    SetWidgetText(dialog, "txt_stats_acetime", Time(parTime));
    if (auto* bonus = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(dialog, "txt_stats_bonus"))) {
        // The layout's own text is the format, so each language places the number itself.
        String format;
        bonus->GetCaptionText(format);
        if (format.IsEmpty()) {
            if (const TextSpec* spec = GetTextSpec(bonus->GetDesc()))
                format = spec->caption;
        }
        SetWidgetText(bonus, "txt_stats_bonus", FormatText(format.CStr() ? format.CStr() : "", {timeBonus}));
    }
    BestTime* best = BestTimeEntry(*this);
    String bestName(" ");
    String bestTime(" ");
    if (best) {
        bestTime = Time(best->seconds);
        char name[kPlayerNameBytes + 1] = {};
        std::memcpy(name, best->name, kPlayerNameBytes);
        bestName = name;
    }
    SetWidgetText(dialog, "txt_stats_best_time", bestTime);
    // A name the layout gives a width keeps to one line of it.
    auto* nameRow = dynamic_cast<TextMultiWidget*>(ScriptWidget::FindByName(dialog, "txt_stats_best_name"));
    SetWidgetText(dialog, "txt_stats_best_name",
                  nameRow ? FitNameOnOneLine("%s", bestName.CStr(), nameRow) : bestName);
    ModeProgress* progress = Progress(*this);
    if (progress && progress->stage == kAdventureStageCount)
        SetTipText(*this, "STR_FORTUNES_1", kFortunes);
    else
        SetTipText(*this, "STR_TIPS_1", kTips);
}

void GameplayScreen::ShowLostStatsDialog()
{
    FoldLevelIntoProgress(*this, true);
    if (ScriptWidget::FindByName(this, "dlg_lost_stats"))
        return;
    StopLoopingSounds();
    RunActionFromFile(kLayoutFile, "acn_lost_stats_on");
    Widget* dialog = ScriptWidget::FindByName(this, "dlg_lost_stats");
    ModeProgress* progress = Progress(*this);
    if (!dialog || !progress)
        return;
    SetWidgetNumber(dialog, "txt_stats_combos", progress->totalCombos);
    SetWidgetNumber(dialog, "txt_stats_coins", progress->totalCoins);
    SetWidgetNumber(dialog, "txt_stats_gaps", progress->gapShots);
    SetWidgetNumber(dialog, "txt_stats_maxchain", progress->bestChain);
    SetWidgetNumber(dialog, "txt_stats_maxcombo", progress->bestCombo);
    SetWidgetText(dialog, "txt_stats_total_time", Time(progress->totalFrames / kFramesPerSecond));
    SetTipText(*this, "STR_FORTUNES_1", kFortunes);
}

void GameplayScreen::LevelEnd()
{
    PlayerRecord* player = CurrentPlayer(*this);
    if (player && player->mode == 1)
        GauntletLevelEnd();
    else
        AdventureLevelEnd();
}

void GameplayScreen::GauntletLevelEnd()
{
    PlayerRecord* player = CurrentPlayer(*this);
    ProfileStore* profiles = application ? application->GetProfiles() : nullptr;
    if (!player || !profiles)
        return;
    ModeProgress* progress = player->CurrentModeProgress();
    FoldLevelIntoProgress(*this, false);
    progress->stage = SaturatedAdd(progress->stage, 1);
    const int rank = Gauntlet::RankOfLevel(progress->stage);
    const int map = progress->randomMap ? kRandomMapEntry : progress->gauntletMap;
    if (map >= 0 && map < kMapRankCount && player->mapRanks[map] < rank)
        player->mapRanks[map] = static_cast<int8_t>(rank);
    if (progress->randomMap)
        progress->gauntletMap = profiles->PickRandomGauntletMap(GameApp::Random);
    progress->levelUp = true;
    SendEvent(application, kEventPlayLevel, nullptr, 0, true);
    if (progress->randomMap)
        StartNextLevelTransition(*this);
    else
        application->GetTransition().kind = kTransitionNone;
}

void GameplayScreen::AdventureLevelEnd()
{
    PlayerRecord* player = CurrentPlayer(*this);
    if (!player)
        return;
    ModeProgress* progress = player->CurrentModeProgress();
    FoldLevelIntoProgress(*this, false);
    // Finishing a stage opens its map in the gauntlet.
    const int map = AdventureStageMap(progress->stage);
    if (map >= 0 && map < kMapRankCount && player->mapRanks[map] < 0)
        player->mapRanks[map] = 0;
    progress->stage = SaturatedAdd(progress->stage, 1);
    if (player->highestStage < progress->stage)
        player->highestStage = static_cast<int8_t>(std::min(progress->stage, 127));
    if (progress->stage > kAdventureStageCount)
        player->adventureFinished = 1;
    // Paid with the stage past the last, in the one save: a program killed on the screens that
    // follow can neither lose the bonus nor pay it twice.
    progress->score = SaturatedAdd(progress->score, WonLivesBonus(application));
    for (int c = 0; c < curveCount && c < kBoardCurves; ++c) {
        if (Hole* hole = curves[c].GetHole())
            progress->holePositions[c] = CentreOf(hole->Bounds());
    }
    ScreenTransition& transition = application->GetTransition();
    if (progress->stage <= kAdventureStageCount && !Adventure::IsFirstStageOfDoor(progress->stage)) {
        application->SaveResumeState();
        SendEvent(application, kEventPlayLevel, nullptr, 0, true);
        StartNextLevelTransition(*this);
        return;
    }
    transition.angle = frog ? frog->GetAngle() : Fixed();
    transition.nebulaOffset = nebulaScroll;
    application->SaveResumeState();
    SendEvent(application, kEventStageComplete, nullptr, 0, true);
    transition.kind = kTransitionNone;
}

bool GameplayScreen::OnRulesUiEvent(Widget*, int code, const char* name, int)
{
    if (code == kMsgChildClosed && Named(name, "dlg_stats")) {
        statisticsClosed = 1;
        return true;
    }
    if (code != kMsgCommand || !Named(name, "btn_lost_stats_ok"))
        return false;
    // A second press while the screen fades out must not enter the score again.
    if (endState != 0)
        return true;
    endState = 1;
    ProfileStore* profiles = application ? application->GetProfiles() : nullptr;
    ModeProgress* progress = Progress(*this);
    if (!profiles || !progress)
        return true;
    profiles->InsertHighScore(SaturatedAdd(progress->score, levelScore));
    application->DeleteResumeSave();
    if (CurrentPlayer(*this)->mode == 0) {
        application->ResetCurrentGame(0, 0);
        SendEvent(application, kEventNewAdventure, nullptr, 0, true);
    } else {
        SendEvent(application, kEventGauntletMap, nullptr, 0, true);
    }
    return true;
}
