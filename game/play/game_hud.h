#pragma once
// The frame around the board and what stands in it: seven edge pieces, the level caption, the
// running score, the spare lives (or the survival caption) and the progress bar that fills towards
// the level's target and flashes when it is reached. Owned by the gameplay screen, and built
// without a board by the completion screens to show the game in progress.
#include <cstdint>

#include "engine/core/strings.h"
#include "engine/core/widget.h"
#include "engine/ui/script_widget.h"

class Font;
class GameApp;
class GameplayScreen;
class ResourceEntry;
class Surface;
class SurfaceBase;
struct ModeProgress;

class GameHud {
public:
    static constexpr int kPieces = 7;  // TL, TR, L, R, BL, B, BR
    static constexpr int kTouchRects = 9;
    static constexpr int kFlashFrames = 48;
    // The first screen row the score's and the caption's ink may take: a row of frame stays above.
    static constexpr int kTopLineInk = 1;

    GameHud(GameApp* application, GameplayScreen* board);
    GameHud(const GameHud&) = delete;
    GameHud& operator=(const GameHud&) = delete;
    ~GameHud();

    bool Load();
    void RefreshLabels();
    void Update();
    void FillBar();
    void Draw(SurfaceBase* surface);
    void DrawFrame(SurfaceBase* surface, bool everyFrame);
    bool HitTest(int x, int y) const;
    void Unload();

    const Rect& GetTouchRect(int i) const { return touch_[i]; }
    int GetTargetWidth() const { return targetWidth_; }
    int GetShownWidth() const { return shownWidth_; }
    int GetBlinkCounter() const { return blinkCounter_; }
    const String& GetScoreText() const { return scoreText_; }
    const String& GetCaption() const { return caption_; }
    int GetScoreX() const { return scoreX_; }
    int GetCaptionX() const { return captionX_; }
    // Where the score and the caption are drawn (the y given to the font), once the pieces are drawn.
    int GetScoreY() const { return scoreY_; }
    int GetCaptionY() const { return captionY_; }
    int GetLivesX() const { return livesX_; }
    int GetLivesY() const { return livesY_; }
    // The icons and the "x n" text the lives are drawn with: n icons when 1 <= n <= 3, else one
    // icon and the count.
    int GetLifeIcons() const;
    const String& GetLivesText() const { return livesText_; }
    Surface* GetCachedPiece(int i) const { return cached_[i]; }
    Surface* GetBarImage(int i) const { return bar_[i]; }
    // The texts the cached pieces carry, in screen coordinates, as the last redraw placed them:
    // the survival caption or the lives count, the score, the level caption.
    int GetTextPlaces(TextPlace* out, int max) const;

private:
    // A text a cached piece carries: drawn on that piece at `at`, in the piece's pixels. The
    // redraw draws, and GetTextPlaces reports, these and only these.
    struct PieceText {
        int piece;
        Point at;
        Font* font;
        const String* text;
        int red, green, blue, effect;
    };
    static constexpr int kPieceTexts = 3;  // the lives count or survival caption, the score, the caption
    // The texts with a font and something to say, in drawing order; answers how many.
    int PlacePieceTexts(PieceText (&out)[kPieceTexts]) const;

    ModeProgress* Progress() const;
    bool IsSurvival() const;
    int BoardScore() const;
    int BarWidth() const;
    void ComputeTargetWidth();
    void RefreshCaption();
    void RefreshScore();
    void RedrawPieces();
    void PlaceTopLine();
    int CaptionedValue() const;
    int ScreenWidth() const;
    int ScreenHeight() const;

    GameApp* application_;
    GameplayScreen* board_;
    ResourceEntry* pieceSets_[kPieces] = {};
    Surface* pieces_[kPieces] = {};
    Surface* cached_[kPieces] = {};
    Surface* bar_[2] = {};
    ResourceEntry* barSet_ = nullptr;
    ResourceEntry* livesSet_ = nullptr;
    int32_t livesX_ = 0, livesY_ = 0;
    Font* scoreFont_ = nullptr;
    Font* captionFont_ = nullptr;
    String survivalCaption_;
    int32_t targetWidth_ = 0;
    int32_t shownWidth_ = 0;
    String scoreText_;
    int32_t shownScore_ = -1;
    int32_t scoreX_ = 0;
    int32_t scoreY_ = 0;
    String caption_;
    int32_t captionX_ = 0;
    int32_t captionY_ = 0;
    int32_t captionedValue_ = 0;
    int32_t captionedScore_ = 0;
    int32_t blinkCounter_ = 0;
    uint32_t targetBlinkDone_ = 0;
    int32_t seenLevel_ = 0;
    Rect touch_[kTouchRects];
    String livesText_;
};
