#pragma once
// A help page's little demonstration: named picture items (sprites, still images, wrapped texts,
// a live frog) driven by a queue of timed steps. The help screen updates and draws each scene once
// a frame and builds its page again when the scene has run out of steps.
#include "engine/core/arrays.h"
#include "engine/core/fixed.h"
#include "engine/core/strings.h"

class Font;
class Frog;
class GameApp;
class ResourceEntry;
class Surface;
class WrappedText;

// What a scene's owner offers it: building a page again.
class HelpPageBuilder {
public:
    virtual ~HelpPageBuilder() = default;
    virtual bool BuildPage(int page) = 0;
};

enum HelpItemKind {
    kHelpItemSprite = 0,
    kHelpItemText = 1,
    kHelpItemFrog = 2,
};

// One step of a value towards a stop along a wrapping range (frames of a set, degrees of a turn):
// with a stop ahead the step ends on it, otherwise the value wraps into 0..range; arriving on
// the stop exactly ends the motion (speed 0). A stop below 0 means none.
void StepTowardsStop(Fixed& value, Fixed& speed, Fixed stop, Fixed range);

class HelpItem {
public:
    HelpItem(GameApp* app, const char* name);
    HelpItem(const HelpItem&) = delete;
    HelpItem& operator=(const HelpItem&) = delete;
    virtual ~HelpItem() = default;
    virtual void Update() = 0;
    virtual void Draw(Surface* surface, int originX, int originY) = 0;
    virtual int Kind() const { return -1; }
    const String& GetName() const { return name_; }

protected:
    GameApp* app_;
    String name_;
};

class HelpSpriteItem : public HelpItem {
public:
    // Takes over one load reference of the set, given back when the item goes.
    HelpSpriteItem(GameApp* app, const char* name, ResourceEntry* set, Surface* image);
    ~HelpSpriteItem() override;
    void Update() override;
    void Draw(Surface* surface, int originX, int originY) override;
    int Kind() const override { return kHelpItemSprite; }
    ResourceEntry* GetSet() const { return set_; }

    Surface* shadow = nullptr;
    Fixed frame, frameSpeed, stopFrame = Fixed::FromInt(-1);
    Fixed x, y;
    Fixed alpha;
    Fixed angle, turnSpeed, stopAngle;
    Fixed16 scale = Fixed16::FromInt(1);
    bool tinted = false;

private:
    ResourceEntry* set_;
    Surface* image_;
};

class HelpTextItem : public HelpItem {
public:
    HelpTextItem(GameApp* app, const char* name);
    ~HelpTextItem() override;
    // Wraps the text to the width and places the block's centre at centreX; false when the block
    // cannot be made or holds nothing.
    bool Init(const char* text, int centreX, int topY, int width, Font* font, int r, int g, int b, int alpha);
    void Update() override {}
    void Draw(Surface* surface, int originX, int originY) override;
    int Kind() const override { return kHelpItemText; }
    const WrappedText* GetBlock() const { return block_; }

    int left = 0, top = 0;
    Fixed alpha;

private:
    WrappedText* block_ = nullptr;
    Font* font_ = nullptr;
    int r_ = 0, g_ = 0, b_ = 0;
};

class HelpFrogItem : public HelpItem {
public:
    HelpFrogItem(GameApp* app, const char* name);
    ~HelpFrogItem() override;
    // The frog centred on (x, y) in screen pixels, aimed at the angle, holding the two colours.
    bool Init(int x, int y, int colour, int nextColour, Fixed angle);
    void Update() override;
    void Draw(Surface* surface, int originX, int originY) override;
    int Kind() const override { return kHelpItemFrog; }
    void Aim(Fixed angle);
    void SwapBalls();
    void Shoot();

    Frog* GetFrog() const { return frog_; }
    int GetColour() const { return colour_; }
    int GetNextColour() const { return nextColour_; }
    Fixed GetMouthX() const { return mouthX_; }
    Fixed GetMouthY() const { return mouthY_; }
    int GetShotCounter() const { return shotCounter_; }

    Fixed turnSpeed, stopAngle;

private:
    Frog* frog_ = nullptr;
    int colour_ = 0, nextColour_ = 0;
    Fixed mouthX_, mouthY_;
    ResourceEntry* ballSet_ = nullptr;
    int shotCounter_ = 0;
};

class HelpScene;

class HelpStep {
public:
    HelpStep(GameApp* app, HelpScene* scene) : app_(app), scene_(scene) {}
    HelpStep(const HelpStep&) = delete;
    HelpStep& operator=(const HelpStep&) = delete;
    virtual ~HelpStep() = default;
    // Once a frame while unfinished.
    virtual void Run() { finished = true; }
    virtual void OnItemRemoved(HelpItem* /*item*/) {}

    bool blocking = false;
    bool finished = false;

protected:
    GameApp* app_;
    HelpScene* scene_;
};

class HelpScene {
public:
    HelpScene(GameApp* app, int page, HelpPageBuilder* owner, int originX, int originY);
    HelpScene(const HelpScene&) = delete;
    HelpScene& operator=(const HelpScene&) = delete;
    // The steps go first: they may point at items.
    ~HelpScene();

    void Reset();
    void BlockOnLast();
    bool IsBusy() const;
    void Update();
    void Draw();
    // The latest item of the name, or null.
    HelpItem* FindItem(const char* name) const;
    void NotifyItemRemoved(HelpItem* item);
    bool AddItem(HelpItem* item);
    // Takes the latest item of the name out of the list, tells the steps and deletes it.
    void RemoveItem(const char* name);

    bool AddWait(int frames);
    bool AddHold();
    bool AddCreateSprite(const char* name, const char* setName, int frame, int x, int y, int alpha);
    bool AddCreateSpriteTinted(const char* name, const char* setName, int frame, int x, int y, int alpha);
    bool AddCreateImage(const char* name, Surface* image, int x, int y, int alpha);
    bool AddCreateText(const char* name, const char* text, int centreX, int topY, int width, Font* font, int r,
                       int g, int b, int alpha);
    bool AddMove(const char* name, Fixed dx, Fixed dy, Fixed speedX, Fixed speedY);
    bool AddRemove(const char* name);
    bool AddAnimate(const char* name, Fixed frameSpeed, int stopFrame);
    bool AddTurn(const char* name, Fixed turnSpeed, int stopAngle);
    bool AddCreateFrog(const char* name, int x, int y, int colour, int nextColour, Fixed angle);
    bool AddSwapBalls(const char* name);
    bool AddShoot(const char* name);

    GameApp* GetApp() const { return app_; }
    int GetPage() const { return page_; }
    HelpPageBuilder* GetOwner() const { return owner_; }
    int GetOriginX() const { return originX_; }
    int GetOriginY() const { return originY_; }
    int GetItemCount() const { return items_.Count(); }
    HelpItem* GetItem(int index) const { return items_.Get(index); }
    int GetStepCount() const { return steps_.Count(); }
    HelpStep* GetStep(int index) const { return steps_.Get(index); }

private:
    bool AddStep(HelpStep* step);

    GameApp* app_;
    int page_;
    HelpPageBuilder* owner_;
    int originX_, originY_;
    OwnedItemArray<HelpItem> items_{1};
    OwnedItemArray<HelpStep> steps_{1};
};
