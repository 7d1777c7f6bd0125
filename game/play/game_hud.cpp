#include "game/play/game_hud.h"

#include <algorithm>
#include <new>
#include <string>

#include "engine/core/format_text.h"
#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_helpers.h"
#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"
#include "game/play/region_copy.h"
#include "game/tables/progression.h"

namespace {

const char* const kPieceNames[GameHud::kPieces] = {"GameUIFrameTL", "GameUIFrameTR", "GameUIFrameL", "GameUIFrameR",
                                                     "GameUIFrameBL", "GameUIFrameB",  "GameUIFrameBR"};
enum { kTL, kTR, kL, kR, kBL, kB, kBR };
// The touch rectangle of each piece in the 3 x 3 order.
const int kPieceRect[GameHud::kPieces] = {0, 2, 3, 5, 6, 7, 8};

const char* Text(const String& s)
{
    return s.CStr() ? s.CStr() : "";
}

void DeleteSurface(Surface*& surface)
{
    delete surface;
    surface = nullptr;
}

}  // namespace

GameHud::GameHud(GameApp* application, GameplayScreen* board) : application_(application), board_(board) {}

GameHud::~GameHud()
{
    Unload();
}

int GameHud::ScreenWidth() const
{
    Surface* screen = application_->GetScreenSurface();
    return screen ? screen->GetWidth() : 0;
}

int GameHud::ScreenHeight() const
{
    Surface* screen = application_->GetScreenSurface();
    return screen ? screen->GetHeight() : 0;
}

ModeProgress* GameHud::Progress() const
{
    ProfileStore* profiles = application_->GetProfiles();
    PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
    return player ? player->CurrentModeProgress() : nullptr;
}

bool GameHud::IsSurvival() const
{
    ProfileStore* profiles = application_->GetProfiles();
    PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
    return player && player->mode == 1 && player->CurrentModeProgress()->gauntletKind == 0;
}

int GameHud::BoardScore() const
{
    return board_ ? board_->levelScore : 0;
}

int GameHud::BarWidth() const
{
    Surface* frame = barSet_ ? barSet_->GetFrame(0) : nullptr;
    return frame ? frame->GetWidth() : 0;
}

bool GameHud::Load()
{
    const LayoutTable& layout = application_->GetLayoutTable();
    for (int i = 0; i < kPieces; ++i) {
        if (!application_->AcquireSprite(pieceSets_[i], kPieceNames[i]))
            return false;
        pieces_[i] = pieceSets_[i]->GetFrame(0);
        if (!pieces_[i])
            return false;
    }
    const int W = ScreenWidth(), H = ScreenHeight();
    auto size = [&](int i) { return Size{pieces_[i]->GetWidth(), pieces_[i]->GetHeight()}; };
    const Size tl = size(kTL), tr = size(kTR), l = size(kL), r = size(kR), bl = size(kBL), b = size(kB),
               br = size(kBR);
    for (Rect& rect : touch_)
        rect = Rect();
    touch_[0] = {0, 0, tl.w, tl.h};
    touch_[2] = {tl.w, 0, tr.w, tr.h};
    touch_[3] = {0, tl.h, l.w, l.h};
    touch_[5] = {W - r.w, tr.h, r.w, r.h};
    touch_[6] = {0, H - bl.h, bl.w, bl.h};
    touch_[7] = {bl.w, H - b.h, b.w, b.h};
    touch_[8] = {W - br.w, H - br.h, br.w, br.h};

    for (int i = 0; i < kPieces; ++i) {
        cached_[i] = CreateSurfaceSized(application_, pieces_[i]->GetWidth(), pieces_[i]->GetHeight(), true);
        if (!cached_[i] || !cached_[i]->GetAlpha())
            return false;
        pieces_[i]->CopyTo(cached_[i], 0, 0, 0, 0);
        pieces_[i]->CopyAlphaTo(cached_[i], 0, 0, 0, 0);
    }

    if (!application_->AcquireSprite(barSet_, "LevelProgress") || barSet_->GetFrameCount() < 2)
        return false;
    for (int i = 0; i < 2; ++i) {
        Surface* frame = barSet_->GetFrame(i);
        if (!frame)
            return false;
        bar_[i] = CreateSurfaceSized(application_, frame->GetWidth(), frame->GetHeight(), false);
        if (!bar_[i])
            return false;
        // The part of the frame behind the bar, so the bar's own transparent edges show the frame.
        pieces_[kTR]->BlitRegion(bar_[i], (W - tr.w) - layout.ints[kLayoutProgressX], -layout.ints[kLayoutProgressY], 0,
                                 0, 0, 0, 0);
        frame->BlitRegion(bar_[i], 0, 0, 0, 0, 0, 0, 0);
    }

    scoreFont_ = captionFont_ = application_->GetSmallFont();
    if (StringTable* table = application_->GetLanguageTable())
        table->Lookup(survivalCaption_, "keloui_rad_survival");
    if (IsSurvival() && captionFont_) {
        livesX_ = layout.ints[kLayoutSurvivalCaptionX] - captionFont_->MeasureText(Text(survivalCaption_)) / 2;
        livesY_ = layout.ints[kLayoutSurvivalCaptionY] - captionFont_->GetLineHeight() / 2;
    } else {
        livesX_ = layout.ints[kLayoutLivesX];
        livesY_ = layout.ints[kLayoutLivesY];
    }
    return application_->AcquireSprite(livesSet_, "LivesFrog") && livesSet_->GetFrame(0);
}

void GameHud::Unload()
{
    for (Surface*& surface : cached_)
        DeleteSurface(surface);
    for (Surface*& surface : bar_)
        DeleteSurface(surface);
    for (int i = 0; i < kPieces; ++i) {
        application_->ReleaseSprite(pieceSets_[i]);
        pieces_[i] = nullptr;
    }
    application_->ReleaseSprite(barSet_);
    application_->ReleaseSprite(livesSet_);
    survivalCaption_.Assign(nullptr);
    scoreText_.Assign(nullptr);
    caption_.Assign(nullptr);
    livesText_.Assign(nullptr);
}

void GameHud::ComputeTargetWidth()
{
    const int barWidth = BarWidth();
    if (!board_) {
        targetWidth_ = barWidth;
        return;
    }
    if (board_->levelScore < board_->targetScore) {
        // The share of the bar earned, in 1/65536: held to the whole bar before it is scaled, so a
        // score near the int range's end cannot carry the product past 64 bits.
        constexpr int64_t kWholeBar = 1 << 16;
        const int64_t earned = int64_t(board_->levelScore) * board_->progressScale.raw;
        const int64_t share = std::clamp<int64_t>(earned, 0, kWholeBar);
        targetWidth_ = static_cast<int32_t>((barWidth * share) >> 16);
    } else {
        targetWidth_ = barWidth;
    }
}

int GameHud::CaptionedValue() const
{
    ModeProgress* progress = Progress();
    return progress ? progress->stage : 0;
}

void GameHud::RefreshCaption()
{
    ModeProgress* progress = Progress();
    ProfileStore* profiles = application_->GetProfiles();
    PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
    StringTable* table = application_->GetLanguageTable();
    String text;
    std::string caption;
    const int value = progress ? progress->stage : 0;
    if (board_ && player && player->mode == 1) {
        int rank = Gauntlet::RankOfLevel(value);
        if (table)
            table->LookupOffset(text, "STR_GAUNT_RANK_SHORT_1", rank);
        caption = Text(FormatText((std::string(Text(text)) + " %d").c_str(), {value - Gauntlet::RankFirstLevel(rank) + 1}));
    } else {
        // The completion screens caption the stage just finished.
        int stage = board_ ? value : value - 1;
        if (table)
            table->Lookup(text, "STR_LVL");
        caption = Text(FormatText((std::string(Text(text)) + " %d").c_str(), {Adventure::DoorOfStage(stage)}));
        caption += Text(FormatText("-%d", {Adventure::StageInDoor(stage)}));
    }
    caption_.Assign(caption.empty() ? nullptr : caption.c_str());
    captionX_ = application_->GetLayoutTable().ints[kLayoutLevelCaptionX] -
                (captionFont_ ? captionFont_->MeasureText(Text(caption_)) : 0) / 2;
    if (board_)
        captionedValue_ = value;
    captionedScore_ = BoardScore();
    ComputeTargetWidth();
}

void GameHud::RefreshScore()
{
    ModeProgress* progress = Progress();
    int32_t shown = SaturatedAdd(progress ? progress->score : 0, BoardScore());
    // After the won final stage the score shows as won; its lives bonus shows with the statistics.
    if (!board_)
        shown = SaturatedAdd(shown, -static_cast<int64_t>(WonLivesBonus(application_)));
    scoreText_ = FormatWithCommas(shown);
    scoreX_ = application_->GetLayoutTable().ints[kLayoutScoreRight] -
              (scoreFont_ ? scoreFont_->MeasureText(Text(scoreText_)) : 0);
    if (board_) {
        ComputeTargetWidth();
        shownScore_ = board_->levelScore;
        RedrawPieces();
    }
}

int GameHud::GetLifeIcons() const
{
    ModeProgress* progress = Progress();
    int spare = (progress ? progress->lives : 0) - 1;
    return spare >= 1 && spare <= 3 ? spare : 1;
}

int GameHud::PlacePieceTexts(PieceText (&out)[kPieceTexts]) const
{
    const LayoutTable& layout = application_->GetLayoutTable();
    Font* small = application_->GetSmallFont();
    Surface* icon = livesSet_ ? livesSet_->GetFrame(0) : nullptr;
    int count = 0;
    auto put = [&](int piece, Point at, Font* font, const String& text, int red, int green, int blue, int effect) {
        if (font && !text.IsEmpty())
            out[count++] = PieceText{piece, at, font, &text, red, green, blue, effect};
    };
    if (IsSurvival())
        put(kTL, Point{livesX_, livesY_}, small, survivalCaption_, 255, 255, 255, kEffectNone);
    else if (icon && small)
        put(kTL, Point{livesX_ + layout.ints[kLayoutLivesSpacing], livesY_ + icon->GetHeight() / 2 - small->GetLineHeight() / 2},
            small, livesText_, 255, 255, 128, kEffectBorder2);
    const int o = ScreenWidth() - pieces_[kTR]->GetWidth();
    put(kTR, Point{scoreX_ - o, scoreY_}, scoreFont_, scoreText_, 255, 255, 128, kEffectNone);
    put(kTR, Point{captionX_ - o, captionY_}, captionFont_, caption_, 255, 255, 128, kEffectNone);
    return count;
}

int GameHud::GetTextPlaces(TextPlace* out, int max) const
{
    if (!cached_[kTL] || !cached_[kTR])
        return 0;
    PieceText texts[kPieceTexts];
    const int count = PlacePieceTexts(texts);
    for (int i = 0; i < count && i < max; ++i) {
        const PieceText& text = texts[i];
        const Rect& piece = touch_[kPieceRect[text.piece]];
        out[i] = PlaceText(text.font, piece.x + text.at.x, piece.y + text.at.y, Text(*text.text));
    }
    return count;
}

void GameHud::RedrawPieces()
{
    if (!cached_[kTL] || !cached_[kTR])
        return;
    const LayoutTable& layout = application_->GetLayoutTable();
    pieces_[kTL]->CopyTo(cached_[kTL], 0, 0, 0, 0);
    pieces_[kTR]->CopyTo(cached_[kTR], 0, 0, 0, 0);
    livesText_.Assign(nullptr);
    if (!IsSurvival()) {
        ModeProgress* progress = Progress();
        int spare = (progress ? progress->lives : 0) - 1;
        Surface* icon = livesSet_ ? livesSet_->GetFrame(0) : nullptr;
        int icons = GetLifeIcons();
        for (int i = 0; icon && i < icons; ++i)
            icon->BlitRegion(cached_[kTL], livesX_ + i * layout.ints[kLayoutLivesSpacing], livesY_, 0, 0, 0, 0, 0);
        if (spare < 1 || spare > 3)
            livesText_ = FormatText("x %d", {spare});
    }
    PlaceTopLine();
    PieceText texts[kPieceTexts];
    const int count = PlacePieceTexts(texts);
    for (int i = 0; i < count; ++i) {
        const PieceText& text = texts[i];
        text.font->DrawText(cached_[text.piece], text.at.x, text.at.y, Text(*text.text), text.red, text.green,
                            text.blue, text.effect, 255, nullptr);
    }
}

// The table's rows for the score and the caption (below 0 on the small screens) assume fonts with
// more blank rows above their capitals than ours: where the ink would start above the frame's
// top row, both move down together, just enough, keeping the table's spacing between them.
void GameHud::PlaceTopLine()
{
    const LayoutTable& layout = application_->GetLayoutTable();
    scoreY_ = layout.ints[kLayoutScoreY];
    captionY_ = layout.ints[kLayoutLevelCaptionY];
    int drop = 0, top = 0;
    if (scoreFont_ && scoreFont_->MeasureInkTop(Text(scoreText_), &top))
        drop = std::max(drop, kTopLineInk - (scoreY_ + top));
    if (captionFont_ && captionFont_->MeasureInkTop(Text(caption_), &top))
        drop = std::max(drop, kTopLineInk - (captionY_ + top));
    scoreY_ += drop;
    captionY_ += drop;
}

void GameHud::RefreshLabels()
{
    ModeProgress* progress = Progress();
    if (board_ && progress)
        seenLevel_ = progress->stage;
    RefreshCaption();
    RefreshScore();
    if (!board_)
        RedrawPieces();
    shownWidth_ = targetWidth_;
}

void GameHud::FillBar()
{
    shownWidth_ = BarWidth();
}

void GameHud::Update()
{
    if (shownWidth_ < targetWidth_)
        ++shownWidth_;
    else if (shownWidth_ > targetWidth_)
        --shownWidth_;
    if (board_ && board_->levelScore != shownScore_)
        RefreshScore();
    if (blinkCounter_ > 0)
        --blinkCounter_;
    ModeProgress* progress = Progress();
    if (IsSurvival()) {
        if (progress && progress->stage != seenLevel_) {
            seenLevel_ = progress->stage;
            blinkCounter_ = kFlashFrames;
        }
    } else if (board_ && board_->targetReached && !targetBlinkDone_) {
        targetBlinkDone_ = 1;
        blinkCounter_ = kFlashFrames;
    }
    // A new level on the same board (survival) shows its caption at once, not only once the next
    // points come in: a game lost before any would end on the old one.
    if (board_ && CaptionedValue() != captionedValue_) {
        RefreshCaption();
        RedrawPieces();
    }
}

void GameHud::Draw(SurfaceBase* surface)
{
    DrawFrame(surface, true);
    const LayoutTable& layout = application_->GetLayoutTable();
    const int x = layout.ints[kLayoutProgressX], y = layout.ints[kLayoutProgressY];
    if (!bar_[0] || !bar_[1])
        return;
    if (!board_) {
        bar_[1]->BlitRegion(surface, x, y, 0, 0, 0, 0, 0);
        return;
    }
    if (board_->targetReached && shownWidth_ == targetWidth_) {
        if (blinkCounter_ == 0 || (blinkCounter_ & 8))
            bar_[1]->BlitRegion(surface, x, y, 0, 0, 0, 0, 0);
        return;
    }
    if (shownWidth_ <= 0)
        return;
    Surface* image = blinkCounter_ == 0 ? bar_[0] : (blinkCounter_ & 8) ? bar_[1] : nullptr;
    if (image)
        image->BlitRegion(surface, x, y, shownWidth_, image->GetHeight(), 0, 0, 0);
}

void GameHud::DrawFrame(SurfaceBase* surface, bool everyFrame)
{
    if (!surface)
        return;
    const LayoutTable& layout = application_->GetLayoutTable();
    for (int i = 0; i < kPieces; ++i) {
        Surface* piece = cached_[i];
        if (!piece)
            continue;
        const Rect& at = touch_[kPieceRect[i]];
        const int w = piece->GetWidth(), h = piece->GetHeight();
        const int band = layout.ints[kLayoutFrameBands + i];
        const int x = at.x, y = at.y;
        // The edge band lies along the screen's edge; the inner band is the rest of the piece.
        Rect edge, inner;
        switch (i) {
        case kTL:
        case kTR: edge = {0, 0, w, band}; inner = {0, band, w, h - band}; break;
        case kL: edge = {0, 0, band, h}; inner = {band, 0, w - band, h}; break;
        case kR: edge = {w - band, 0, band, h}; inner = {0, 0, w - band, h}; break;
        default: edge = {0, h - band, w, band}; inner = {0, 0, w, h - band}; break;
        }
        const bool corner = i == kTL || i == kTR || i == kBL || i == kBR;
        if (everyFrame) {
            if (edge.w > 0 && edge.h > 0)
                CopyRegionOpaque(piece, surface, x + edge.x, y + edge.y, edge.w, edge.h, edge.x, edge.y);
            if (corner && inner.w > 0 && inner.h > 0)
                piece->BlitRegion(surface, x + inner.x, y + inner.y, inner.w, inner.h, inner.x, inner.y, 0);
        } else if (!corner && inner.w > 0 && inner.h > 0) {
            piece->BlitRegion(surface, x + inner.x, y + inner.y, inner.w, inner.h, inner.x, inner.y, 0);
        }
    }
}

bool GameHud::HitTest(int x, int y) const
{
    for (int i = kTouchRects - 1; i >= 0; --i) {
        const Rect& r = touch_[i];
        if (x > r.x && x <= r.x + r.w && y > r.y && y <= r.y + r.h)
            return true;
    }
    return false;
}
