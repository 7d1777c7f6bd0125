#include "game/help/help_scene.h"

#include <new>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "engine/graphics/wrapped_text.h"
#include "game/app/game_app.h"
#include "game/play/curve_path.h"
#include "game/play/frog.h"

namespace {

constexpr int kBlendPlain = 0;
constexpr int kBlendTinted = 3;
constexpr int kShadowOffset = 3;
constexpr int kShadowFade = 128;

}  // namespace

void StepTowardsStop(Fixed& value, Fixed& speed, Fixed stop, Fixed range)
{
    bool hasStop = stop.raw >= 0;
    if (speed.raw > 0) {
        if (hasStop && value < stop) {
            Fixed left = stop - value;
            value += left < speed ? left : speed;
        } else {
            value += speed;
            if (value >= range)
                value -= range;
        }
    } else if (speed.raw < 0) {
        if (hasStop && value > stop) {
            Fixed left = stop - value;
            value += left > speed ? left : speed;
        } else {
            value += speed;
            if (value.raw < 0)
                value += range;
        }
    } else {
        return;
    }
    if (hasStop && value == stop)
        speed = Fixed();
}

HelpItem::HelpItem(GameApp* app, const char* name) : app_(app), name_(name) {}

HelpSpriteItem::HelpSpriteItem(GameApp* app, const char* name, ResourceEntry* set, Surface* image)
    : HelpItem(app, name), set_(set), image_(image)
{
}

HelpSpriteItem::~HelpSpriteItem()
{
    if (set_)
        set_->Release();
}

void HelpSpriteItem::Update()
{
    // Frames step only through a set: an image has no count to wrap at.
    if (set_ && set_->GetFrameCount() > 0)
        StepTowardsStop(frame, frameSpeed, stopFrame, Fixed::FromInt(set_->GetFrameCount()));
    StepTowardsStop(angle, turnSpeed, stopAngle, Fixed::FromInt(360));
}

void HelpSpriteItem::Draw(Surface* surface, int originX, int originY)
{
    TrigTable* trig = app_ ? app_->GetRenderer() : nullptr;
    if (!surface || !trig || alpha.raw <= 0)
        return;
    Surface* picture = nullptr;
    Fixed centreX = Fixed::FromInt(originX) + x, centreY = Fixed::FromInt(originY) + y;
    if (set_) {
        picture = set_->GetFrame(frame.ToInt());
    } else if (image_) {
        picture = image_;
        centreX += Fixed::FromInt(image_->GetWidth()) / Fixed::FromInt(2);
        centreY += Fixed::FromInt(image_->GetHeight()) / Fixed::FromInt(2);
    }
    if (!picture)
        return;
    int alphaOffset = alpha.ToInt() - 255;
    if (shadow) {
        int shadowAlpha = alphaOffset - kShadowFade;
        if (shadowAlpha < -255)
            shadowAlpha = -255;
        trig->DrawTransformed(shadow, surface, centreX + Fixed::FromInt(kShadowOffset),
                              centreY + Fixed::FromInt(kShadowOffset), angle.raw,
                              Fixed::FromInt(shadow->GetWidth() / 2), Fixed::FromInt(shadow->GetHeight() / 2), scale,
                              kBlendTinted, shadowAlpha, 0, 0, 0);
    }
    trig->DrawTransformed(picture, surface, centreX, centreY, angle.raw, Fixed::FromInt(picture->GetWidth() / 2),
                          Fixed::FromInt(picture->GetHeight() / 2), scale, tinted ? kBlendTinted : kBlendPlain,
                          alphaOffset, 255, 255, 255);
}

HelpTextItem::HelpTextItem(GameApp* app, const char* name) : HelpItem(app, name) {}

HelpTextItem::~HelpTextItem()
{
    DeleteAndNull(block_);
}

bool HelpTextItem::Init(const char* text, int centreX, int topY, int width, Font* font, int r, int g, int b,
                        int alphaValue)
{
    block_ = new (std::nothrow) WrappedText();
    if (!block_ || !block_->SetText(width, font, text))
        return false;
    left = centreX - width / 2;
    top = topY;
    block_->width = width;
    font_ = font;
    r_ = r;
    g_ = g;
    b_ = b;
    alpha = Fixed::FromInt(alphaValue);
    return true;
}

void HelpTextItem::Draw(Surface* surface, int originX, int originY)
{
    if (block_ && surface)
        block_->Draw(surface, originX + left, originY + top, font_, r_, g_, b_, 0, alpha.ToInt() & 0xFF, 0, nullptr);
}

HelpFrogItem::HelpFrogItem(GameApp* app, const char* name) : HelpItem(app, name) {}

HelpFrogItem::~HelpFrogItem()
{
    DeleteAndNull(frog_);
    if (app_)
        app_->ReleaseSprite(ballSet_);
}

bool HelpFrogItem::Init(int x, int y, int colour, int nextColour, Fixed angle)
{
    if (!app_)
        return false;
    frog_ = new (std::nothrow) Frog(app_);
    if (!frog_)
        return false;
    if (!frog_->Init()) {
        DeleteAndNull(frog_);
        return false;
    }
    FixedRect bounds = frog_->Bounds();
    bounds.x = Fixed::FromInt(x) - bounds.w / Fixed::FromInt(2);
    bounds.y = Fixed::FromInt(y) - bounds.h / Fixed::FromInt(2);
    frog_->SetBounds(bounds);
    Aim(angle);
    colour_ = colour;
    nextColour_ = nextColour;
    return app_->AcquireSprite(ballSet_, GameApp::GetBallName(colour));
}

void HelpFrogItem::Aim(Fixed angle)
{
    TrigTable* trig = app_ ? app_->GetRenderer() : nullptr;
    if (!frog_ || !trig)
        return;
    frog_->SetAngle(angle);
    const FixedRect& bounds = frog_->Bounds();
    RotateAround(*trig, bounds.CenterX(), bounds.CenterY(), Fixed(),
                 Fixed::FromInt(app_->GetLayoutTable().ints[kLayoutMouthDistance]), angle, mouthX_, mouthY_, nullptr);
}

void HelpFrogItem::Update()
{
    if (!frog_)
        return;
    Fixed angle = frog_->GetAngle();
    StepTowardsStop(angle, turnSpeed, stopAngle, Fixed::FromInt(360));
    if (angle != frog_->GetAngle())
        Aim(angle);
    frog_->Update();
    if (shotCounter_ > 0)
        --shotCounter_;
}

void HelpFrogItem::Draw(Surface* surface, int, int)
{
    TrigTable* trig = app_ ? app_->GetRenderer() : nullptr;
    if (!frog_ || !surface)
        return;
    frog_->Draw(surface, 0, 0);
    frog_->DrawBallInMouth(surface, colour_);
    Surface* ball = ballSet_ ? ballSet_->GetFrame(0) : nullptr;
    if (shotCounter_ < 1 && ball && trig)
        trig->DrawRotated(ball, surface, mouthX_, mouthY_, frog_->GetAngle().raw, Fixed16::FromInt(1));
    frog_->DrawNextBall(surface, nextColour_);
    frog_->DrawTongue(surface);
}

void HelpFrogItem::SwapBalls()
{
    int current = colour_;
    colour_ = nextColour_;
    nextColour_ = current;
    if (!app_)
        return;
    app_->ReleaseSprite(ballSet_);
    app_->AcquireSprite(ballSet_, GameApp::GetBallName(colour_));
}

void HelpFrogItem::Shoot()
{
    if (frog_)
        frog_->StartRecoil();
    SwapBalls();
    // The loaded ball stays hidden for the frame of the shot.
    shotCounter_ = 1;
}

HelpScene::HelpScene(GameApp* app, int page, HelpPageBuilder* owner, int originX, int originY)
    : app_(app), page_(page), owner_(owner), originX_(originX), originY_(originY)
{
}

HelpScene::~HelpScene()
{
    Reset();
}

void HelpScene::Reset()
{
    steps_.Clear();
    items_.Clear();
}

void HelpScene::BlockOnLast()
{
    if (steps_.Count() > 0)
        steps_.Get(steps_.Count() - 1)->blocking = true;
}

bool HelpScene::IsBusy() const
{
    for (int i = 0; i < steps_.Count(); ++i)
        if (!steps_.Get(i)->finished)
            return true;
    return false;
}

void HelpScene::Update()
{
    for (int i = 0; i < steps_.Count(); ++i) {
        HelpStep* step = steps_.Get(i);
        if (step->finished)
            continue;
        step->Run();
        if (step->blocking)
            break;
    }
    for (int i = 0; i < items_.Count(); ++i)
        items_.Get(i)->Update();
}

void HelpScene::Draw()
{
    Surface* display = app_ ? app_->GetScreenSurface() : nullptr;
    if (!display)
        return;
    for (int i = 0; i < items_.Count(); ++i)
        items_.Get(i)->Draw(display, originX_, originY_);
}

HelpItem* HelpScene::FindItem(const char* name) const
{
    if (!name)
        return nullptr;
    for (int i = items_.Count() - 1; i >= 0; --i) {
        HelpItem* item = items_.Get(i);
        if (item->GetName().Equals(name))
            return item;
    }
    return nullptr;
}

void HelpScene::NotifyItemRemoved(HelpItem* item)
{
    for (int i = steps_.Count() - 1; i >= 0; --i)
        steps_.Get(i)->OnItemRemoved(item);
}

bool HelpScene::AddItem(HelpItem* item)
{
    if (!item)
        return false;
    if (!items_.Append(item)) {
        delete item;
        return false;
    }
    return true;
}

void HelpScene::RemoveItem(const char* name)
{
    HelpItem* item = FindItem(name);
    if (!item)
        return;
    for (int i = items_.Count() - 1; i >= 0; --i) {
        if (items_.Get(i) == item) {
            items_.RemoveAt(i);
            break;
        }
    }
    NotifyItemRemoved(item);
    delete item;
}

bool HelpScene::AddStep(HelpStep* step)
{
    if (!step)
        return false;
    if (!steps_.Append(step)) {
        delete step;
        return false;
    }
    return true;
}
