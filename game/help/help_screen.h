#pragma once
// The instructions of "root_help": the layout's backdrop with four framed panes, one looping
// demonstration per pane (a HelpScene each), short texts beside them, the "don't show again" box
// and the OK button. Opened from the start menu it leads back there; before a stage (the
// in-game variant) its OK starts the stage.
#include "engine/core/strings.h"
#include "game/app/game_screen.h"
#include "game/help/help_scene.h"

class ResourceEntry;
class Surface;

constexpr int kHelpPageCount = 4;

class HelpScreen : public GameScreen, public HelpPageBuilder {
public:
    explicit HelpScreen(GameApp* app);
    ~HelpScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    bool OnKey(int key, bool down) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    bool BuildPage(int page) override;

    HelpScene* GetScene(int page) const;
    Surface* GetTapImage() const { return tapImage_; }
    const String& GetCaption() const { return caption_; }

protected:
    // The screen-change the OK button asks for.
    virtual int OkEvent() const;

private:
    HelpScene* scenes_[kHelpPageCount] = {};
    ResourceEntry* tapSet_ = nullptr;
    Surface* tapImage_ = nullptr;
    String caption_;
};

// The help shown before a stage: its OK starts the stage.
class HelpScreenInGame : public HelpScreen {
public:
    using HelpScreen::HelpScreen;

protected:
    int OkEvent() const override;
};
