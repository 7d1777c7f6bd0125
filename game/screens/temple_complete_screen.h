#pragma once
// After a temple's last door, and after the final stage: a stone guardian and the frog circle
// two points while three phrases are typed out one after another. A press goes back to the
// adventure map, on to the final stage, or, once the adventure is won, to its statistics, whose
// OK records the score and closes the adventure with the end screen.
#include <cstdint>

#include "engine/core/fixed.h"
#include "game/app/game_dialog.h"
#include "game/app/game_screen.h"

class GameHud;
class ResourceEntry;
class TypewriterLabel;

// The phrase row of the temple just finished: 0..3 for temples 1..4, 4 after the final stage;
// stage is the current (next) stage.
int TemplePhraseIndex(int stage);

class TempleCompleteScreen : public GameScreen {
public:
    explicit TempleCompleteScreen(GameApp* app);
    ~TempleCompleteScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool Serialize(Stream* stream, bool saving) override;

    void ShowWonStats();

    int GetLivesBonus() const { return livesBonus_; }
    FixedVec2 GetFrogCentre() const { return frogCentre_; }
    Fixed GetFrogAngle() const { return frogAngle_; }
    bool IsDialogOpened() const { return dialogOpened_ != 0; }
    GameHud* GetHud() const { return hud_; }

private:
    // The won statistics when they are up, else null.
    DialogWidget* WonStats();
    // The previous screen's pieces and the frog while the slide fades this one in.
    void DrawSlide(Surface* display);
    // What a press does while the statistics are not up; only the first counts.
    void OnPress();

    ResourceEntry* frogSet_ = nullptr;
    GameHud* hud_ = nullptr;
    int32_t livesBonus_ = 0;
    int32_t dialogOpened_ = 0;
    FixedVec2 frogCentre_;
    Fixed frogAngle_;
    bool pressed_ = false;
    bool scoreRecorded_ = false;
};

class TempleCompleteDialog : public GameDialog {
public:
    using GameDialog::GameDialog;
    ~TempleCompleteDialog() override;

    void Update() override;
    void Draw() override;
    bool Init() override;

    FixedVec2 GetSpritePosition(int which) const { return positions_[which & 1]; }
    Fixed GetOrbitAngle(int which) const { return angles_[which & 1]; }
    TypewriterLabel* GetPhrase(int i) const { return phrases_[i % 3]; }

private:
    void PlaceOnOrbit(int which);

    Point centres_[2];
    int32_t radius_ = 0;
    ResourceEntry* headSet_ = nullptr;
    ResourceEntry* frogSet_ = nullptr;
    Fixed angles_[2];
    FixedVec2 positions_[2];
    TypewriterLabel* phrases_[3] = {};
};
