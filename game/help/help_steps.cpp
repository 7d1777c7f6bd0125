#include <cstring>
#include <memory>
#include <new>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "game/app/game_app.h"
#include "game/help/help_scene.h"

// The twelve kinds of step a help scene queues, and the scene's factories that queue them.

namespace {

class WaitStep : public HelpStep {
public:
    WaitStep(GameApp* app, HelpScene* scene, int frames) : HelpStep(app, scene), counter_(frames) {}
    void Run() override
    {
        if (counter_ > 0)
            --counter_;
        else
            finished = true;
    }

private:
    int counter_;
};

// Keeps the scene busy for ever, so its page is never built again.
class HoldStep : public HelpStep {
public:
    using HelpStep::HelpStep;
    void Run() override {}
};

bool IsBallSet(const char* name)
{
    if (!name)
        return false;
    for (int colour = 0; colour < 6; ++colour)
        if (std::strcmp(name, GameApp::GetBallName(colour)) == 0)
            return true;
    return false;
}

class CreateSpriteStep : public HelpStep {
public:
    CreateSpriteStep(GameApp* app, HelpScene* scene, const char* name, const char* setName, int frame, int x, int y,
                     int alpha, bool tinted)
        : HelpStep(app, scene), name_(name), setName_(setName), frame_(frame), x_(x), y_(y), alpha_(alpha),
          tinted_(tinted)
    {
    }
    void Run() override
    {
        finished = true;
        ResourceList* sprites = app_ ? app_->GetSpriteList() : nullptr;
        ResourceEntry* set = sprites && !setName_.IsEmpty() ? sprites->FindByName(setName_.CStr()) : nullptr;
        if (!set || set->Load().failed())
            return;
        auto* item = new (std::nothrow) HelpSpriteItem(app_, name_.CStr(), set, nullptr);
        if (!item) {
            set->Release();
            return;
        }
        item->frame = Fixed::FromInt(frame_);
        item->x = Fixed::FromInt(x_);
        item->y = Fixed::FromInt(y_);
        item->alpha = Fixed::FromInt(alpha_);
        item->tinted = tinted_;
        if (IsBallSet(setName_.CStr())) {
            // The loader holds every set; the shadow is only looked at, never loaded here.
            ResourceEntry* shadow = sprites->FindByName("BallShadow");
            item->shadow = shadow ? shadow->GetFrame(0) : nullptr;
        }
        scene_->AddItem(item);
    }

private:
    String name_, setName_;
    int frame_, x_, y_, alpha_;
    bool tinted_;
};

class CreateImageStep : public HelpStep {
public:
    CreateImageStep(GameApp* app, HelpScene* scene, const char* name, Surface* image, int x, int y, int alpha)
        : HelpStep(app, scene), name_(name), image_(image), x_(x), y_(y), alpha_(alpha)
    {
    }
    void Run() override
    {
        finished = true;
        auto* item = new (std::nothrow) HelpSpriteItem(app_, name_.CStr(), nullptr, image_);
        if (!item)
            return;
        item->x = Fixed::FromInt(x_);
        item->y = Fixed::FromInt(y_);
        item->alpha = Fixed::FromInt(alpha_);
        scene_->AddItem(item);
    }

private:
    String name_;
    Surface* image_;
    int x_, y_, alpha_;
};

class CreateTextStep : public HelpStep {
public:
    CreateTextStep(GameApp* app, HelpScene* scene, const char* name, const char* text, int centreX, int topY,
                   int width, Font* font, int r, int g, int b, int alpha)
        : HelpStep(app, scene), name_(name), text_(text), centreX_(centreX), topY_(topY), width_(width),
          font_(font), r_(r), g_(g), b_(b), alpha_(alpha)
    {
    }
    void Run() override
    {
        finished = true;
        std::unique_ptr<HelpTextItem> item(new (std::nothrow) HelpTextItem(app_, name_.CStr()));
        if (!item || !item->Init(text_.CStr(), centreX_, topY_, width_, font_, r_, g_, b_, alpha_))
            return;
        scene_->AddItem(item.release());
    }

private:
    String name_, text_;
    int centreX_, topY_, width_;
    Font* font_;
    int r_, g_, b_, alpha_;
};

// Moves a sprite or text item by signed totals on both axes at once, each at its own speed.
class MoveStep : public HelpStep {
public:
    MoveStep(GameApp* app, HelpScene* scene, const char* name, Fixed dx, Fixed dy, Fixed speedX, Fixed speedY)
        : HelpStep(app, scene), name_(name), dx_(dx), dy_(dy), speedX_(speedX), speedY_(speedY)
    {
    }
    void Run() override
    {
        bool stuckX = speedX_.raw == 0 && dx_.raw != 0, stuckY = speedY_.raw == 0 && dy_.raw != 0;
        if (stuckX || stuckY || (dx_.raw == 0 && dy_.raw == 0)) {
            finished = true;
            return;
        }
        if (!item_ && !name_.IsEmpty()) {
            HelpItem* found = scene_->FindItem(name_.CStr());
            if (found && (found->Kind() == kHelpItemSprite || found->Kind() == kHelpItemText))
                item_ = found;
        }
        if (!item_) {
            finished = true;
            return;
        }
        Fixed stepX = Advance(movedX_, dx_, speedX_);
        Fixed stepY = Advance(movedY_, dy_, speedY_);
        if (stepX.raw == 0 && stepY.raw == 0) {
            finished = true;
            return;
        }
        if (item_->Kind() == kHelpItemSprite) {
            auto* sprite = static_cast<HelpSpriteItem*>(item_);
            sprite->x += stepX;
            sprite->y += stepY;
        } else {
            auto* text = static_cast<HelpTextItem*>(item_);
            text->left += stepX.ToInt();
            text->top += stepY.ToInt();
        }
    }
    void OnItemRemoved(HelpItem* item) override
    {
        if (item == item_)
            item_ = nullptr;
    }

private:
    // The signed step of one axis this frame (0 once it has arrived), added to moved.
    static Fixed Advance(Fixed& moved, Fixed total, Fixed speed)
    {
        Fixed step;
        if (total.raw > 0 && moved < total) {
            Fixed left = total - moved;
            step = left < speed ? left : speed;
        } else if (total.raw < 0 && moved > total) {
            Fixed left = moved - total;
            step = -(left < speed ? left : speed);
        }
        moved += step;
        return step;
    }

    String name_;
    Fixed dx_, dy_, speedX_, speedY_;
    Fixed movedX_, movedY_;
    HelpItem* item_ = nullptr;
};

class RemoveStep : public HelpStep {
public:
    RemoveStep(GameApp* app, HelpScene* scene, const char* name) : HelpStep(app, scene), name_(name) {}
    void Run() override
    {
        finished = true;
        scene_->RemoveItem(name_.CStr());
    }

private:
    String name_;
};

// A step that finds its item by name in its one Run and acts on it; a missing name does nothing.
class NamedItemStep : public HelpStep {
public:
    NamedItemStep(GameApp* app, HelpScene* scene, const char* name) : HelpStep(app, scene), name_(name) {}
    void Run() override
    {
        finished = true;
        if (HelpItem* item = scene_->FindItem(name_.CStr()))
            Apply(item);
    }

protected:
    virtual void Apply(HelpItem* item) = 0;

private:
    String name_;
};

// Sets a sprite's frame speed and stop frame.
class AnimateStep : public NamedItemStep {
public:
    AnimateStep(GameApp* app, HelpScene* scene, const char* name, Fixed speed, int stop)
        : NamedItemStep(app, scene, name), speed_(speed), stop_(stop)
    {
    }

protected:
    void Apply(HelpItem* item) override
    {
        if (item->Kind() != kHelpItemSprite)
            return;
        auto* sprite = static_cast<HelpSpriteItem*>(item);
        sprite->frameSpeed = speed_;
        sprite->stopFrame = Fixed::FromInt(stop_);
    }

private:
    Fixed speed_;
    int stop_;
};

// Sets the turn speed and stop angle of a sprite or of the frog.
class TurnStep : public NamedItemStep {
public:
    TurnStep(GameApp* app, HelpScene* scene, const char* name, Fixed speed, int stop)
        : NamedItemStep(app, scene, name), speed_(speed), stop_(stop)
    {
    }

protected:
    void Apply(HelpItem* item) override
    {
        if (item->Kind() == kHelpItemSprite) {
            auto* sprite = static_cast<HelpSpriteItem*>(item);
            sprite->turnSpeed = speed_;
            sprite->stopAngle = Fixed::FromInt(stop_);
        } else if (item->Kind() == kHelpItemFrog) {
            auto* frog = static_cast<HelpFrogItem*>(item);
            frog->turnSpeed = speed_;
            frog->stopAngle = Fixed::FromInt(stop_);
        }
    }

private:
    Fixed speed_;
    int stop_;
};

class CreateFrogStep : public HelpStep {
public:
    CreateFrogStep(GameApp* app, HelpScene* scene, const char* name, int x, int y, int colour, int nextColour,
                   Fixed angle)
        : HelpStep(app, scene), name_(name), x_(x), y_(y), colour_(colour), nextColour_(nextColour), angle_(angle)
    {
    }
    void Run() override
    {
        finished = true;
        auto* item = new (std::nothrow) HelpFrogItem(app_, name_.CStr());
        if (!item)
            return;
        // A frog that failed to set up is kept all the same: it neither updates nor draws.
        item->Init(x_ + scene_->GetOriginX(), y_ + scene_->GetOriginY(), colour_, nextColour_, angle_);
        scene_->AddItem(item);
    }

private:
    String name_;
    int x_, y_, colour_, nextColour_;
    Fixed angle_;
};

// Swaps the frog's balls, or shoots the loaded one.
class FrogActionStep : public NamedItemStep {
public:
    FrogActionStep(GameApp* app, HelpScene* scene, const char* name, bool shoot)
        : NamedItemStep(app, scene, name), shoot_(shoot)
    {
    }

protected:
    void Apply(HelpItem* item) override
    {
        if (item->Kind() != kHelpItemFrog)
            return;
        auto* frog = static_cast<HelpFrogItem*>(item);
        if (shoot_)
            frog->Shoot();
        else
            frog->SwapBalls();
    }

private:
    bool shoot_;
};

}  // namespace

bool HelpScene::AddWait(int frames)
{
    return AddStep(new (std::nothrow) WaitStep(app_, this, frames));
}

bool HelpScene::AddHold()
{
    return AddStep(new (std::nothrow) HoldStep(app_, this));
}

bool HelpScene::AddCreateSprite(const char* name, const char* setName, int frame, int x, int y, int alpha)
{
    return AddStep(new (std::nothrow) CreateSpriteStep(app_, this, name, setName, frame, x, y, alpha, false));
}

bool HelpScene::AddCreateSpriteTinted(const char* name, const char* setName, int frame, int x, int y, int alpha)
{
    return AddStep(new (std::nothrow) CreateSpriteStep(app_, this, name, setName, frame, x, y, alpha, true));
}

bool HelpScene::AddCreateImage(const char* name, Surface* image, int x, int y, int alpha)
{
    return AddStep(new (std::nothrow) CreateImageStep(app_, this, name, image, x, y, alpha));
}

bool HelpScene::AddCreateText(const char* name, const char* text, int centreX, int topY, int width, Font* font,
                              int r, int g, int b, int alpha)
{
    return AddStep(
        new (std::nothrow) CreateTextStep(app_, this, name, text, centreX, topY, width, font, r, g, b, alpha));
}

bool HelpScene::AddMove(const char* name, Fixed dx, Fixed dy, Fixed speedX, Fixed speedY)
{
    return AddStep(new (std::nothrow) MoveStep(app_, this, name, dx, dy, speedX, speedY));
}

bool HelpScene::AddRemove(const char* name)
{
    return AddStep(new (std::nothrow) RemoveStep(app_, this, name));
}

bool HelpScene::AddAnimate(const char* name, Fixed frameSpeed, int stopFrame)
{
    return AddStep(new (std::nothrow) AnimateStep(app_, this, name, frameSpeed, stopFrame));
}

bool HelpScene::AddTurn(const char* name, Fixed turnSpeed, int stopAngle)
{
    return AddStep(new (std::nothrow) TurnStep(app_, this, name, turnSpeed, stopAngle));
}

bool HelpScene::AddCreateFrog(const char* name, int x, int y, int colour, int nextColour, Fixed angle)
{
    return AddStep(new (std::nothrow) CreateFrogStep(app_, this, name, x, y, colour, nextColour, angle));
}

bool HelpScene::AddSwapBalls(const char* name)
{
    return AddStep(new (std::nothrow) FrogActionStep(app_, this, name, false));
}

bool HelpScene::AddShoot(const char* name)
{
    return AddStep(new (std::nothrow) FrogActionStep(app_, this, name, true));
}
