#include "engine/core/input.h"

#include <algorithm>
#include <cstring>

#include "engine/core/application.h"
#include "engine/core/engine_keys.h"
#include "engine/core/main_window.h"
#include "engine/core/pointer_phase.h"
#include "engine/graphics/surface.h"
#include "platform/keys.h"

namespace {

// The soft keys of the devices with the soft-key quirk.
constexpr int kQuirkLeftSoftKey = 194;
constexpr int kQuirkRightSoftKey = 195;

bool IsEngineKey(int key)
{
    return static_cast<unsigned>(key) < kEngineKeyCount;
}

}  // namespace

int RotateArrowKey(int virtualKey)
{
    Application* app = g_application;
    if (!app)
        return virtualKey;
    int rotation = app->GetRotation();
    if (rotation == 1) {
        switch (virtualKey) {
        case VK_LEFT: return VK_UP;
        case VK_UP: return VK_RIGHT;
        case VK_RIGHT: return VK_DOWN;
        case VK_DOWN: return VK_LEFT;
        }
    } else if (rotation == 2) {
        switch (virtualKey) {
        case VK_LEFT: return VK_DOWN;
        case VK_UP: return VK_LEFT;
        case VK_RIGHT: return VK_UP;
        case VK_DOWN: return VK_RIGHT;
        }
    }
    return virtualKey;
}

bool OnVirtualKey(int virtualKey, bool down)
{
    Application* app = g_application;
    if (!app)
        return false;
    int turned = RotateArrowKey(virtualKey);
    app->SetLastKey(turned);
    return app->OnKey(app->MapKey(turned), down);
}

bool Application::OnKey(int key, bool down)
{
    if (!IsEngineKey(key))
        return false;
    if (keyLatch_[key]) {
        // The release also ends a hold that began before the latch, so the key is not left
        // counted as held (which would swallow its next press or repeat it for ever).
        if (!down) {
            ClearKeyLatches();
            keyDown_[key] = 0;
            keyRepeat_[key] = 0;
        }
        return true;
    }
    // The platform's own auto-repeat never reaches the widgets.
    if (down && keyDown_[key])
        return true;
    keyDown_[key] = down ? 1 : 0;
    if (!down)
        keyRepeat_[key] = 0;
    return Widget::OnKey(key, down);
}

void Application::UpdateKeyRepeat()
{
    int last = repeatDirectionOnly_ ? kKeyDown : kEngineKeyCount - 1;
    for (int key = kKeyLeft; key <= last; ++key) {
        if (!keyDown_[key] || keyLatch_[key])
            continue;
        if (++keyRepeat_[key] >= repeatInterval_) {
            keyRepeat_[key] = 0;
            Widget::OnKey(key, true);
        }
    }
}

void Application::LatchKey(int key)
{
    if (IsEngineKey(key))
        keyLatch_[key] = 1;
}

void Application::ClearKeyLatches()
{
    memset(keyLatch_, 0, sizeof keyLatch_);
}

bool Application::IsKeyLatched(int key) const
{
    return IsEngineKey(key) && keyLatch_[key] != 0;
}

bool Application::IsKeyDown(int key) const
{
    return IsEngineKey(key) && keyDown_[key] != 0;
}

bool Application::IsLeftSoftKey() const
{
    return lastVirtualKey_ == VK_F1 || (softKeyQuirk_ && lastVirtualKey_ == kQuirkLeftSoftKey);
}

bool Application::IsRightSoftKey() const
{
    return lastVirtualKey_ == VK_F2 || (softKeyQuirk_ && lastVirtualKey_ == kQuirkRightSoftKey);
}

bool Application::ExitButtonHit(int x, int y) const
{
    if (!exitNormal_ || !exitPressed_)
        return false;
    int right = rotation_ == 0 ? areaWidth_ : areaHeight_;
    return right - exitNormal_->GetWidth() <= x && x < right && 0 < y && y <= exitNormal_->GetHeight();
}

bool Application::IsOnExitButton(int x, int y) const
{
    // Borders back on, as the stylus path takes them off after the button's test.
    if (rotation_ == 0)
        return ExitButtonHit(x + borderWidth_, y + borderHeight_);
    return ExitButtonHit(x + borderHeight_, y + borderWidth_);
}

bool Application::ServeExitButton(int x, int y, int kind)
{
    if (exitNormal_ && exitPressed_) {
        bool hit = ExitButtonHit(x, y);
        if (hit && kind == kPointerDown) {
            exitPressedState_ = true;
            fullRedraw_ = true;
            return true;
        }
        if (hit && kind == kPointerUp && exitPressedState_) {
            RequestQuit(2);
            return true;
        }
    }
    // The stylus went down on the button: nothing reaches the widgets until it is lifted.
    if (exitPressedState_) {
        if (kind == kPointerUp) {
            exitPressedState_ = false;
            fullRedraw_ = true;
        }
        return true;
    }
    return false;
}

bool Application::OnPointer(int x, int y, int kind)
{
    const GameArea& area = gameArea_;
    if (area.offsetX > 0)
        x = x > area.offsetX ? x - area.offsetX : 0;
    if (area.offsetY > 0)
        y = y > area.offsetY ? y - area.offsetY : 0;
    if (area.scaled && area.drawWidth > 0 && area.drawHeight > 0) {
        x = static_cast<int>(static_cast<int64_t>(area.gameWidth) * x / area.drawWidth);
        y = static_cast<int>(static_cast<int64_t>(area.gameHeight) * y / area.drawHeight);
    }
    // No caller is known for kind 4; it is accepted and ignored.
    if (kind == kPointerOther)
        return true;
    if (rotation_ == 1) {
        int turnedX = areaHeight_ - 1 - y;
        y = x;
        x = turnedX;
    } else if (rotation_ == 2) {
        int turnedX = y;
        y = areaWidth_ - 1 - x;
        x = turnedX;
    }
    if (ServeExitButton(x, y, kind))
        return true;
    if (borderWidth_ > 0 || borderHeight_ > 0) {
        if (rotation_ == 0) {
            x -= borderWidth_;
            y -= borderHeight_;
        } else {
            y -= borderWidth_;
            x -= borderHeight_;
        }
    }
    if (kind == kPointerDown)
        pointerDown_ = true;
    else if (kind == kPointerUp)
        pointerDown_ = false;
    if (screenSurface_ && screenSurface_->GetWidth() > 0 && screenSurface_->GetHeight() > 0) {
        x = std::clamp(x, 0, screenSurface_->GetWidth() - 1);
        y = std::clamp(y, 0, screenSurface_->GetHeight() - 1);
    }
    if (modalWidget_)
        return modalWidget_->OnPointer(x, y, kind);
    return Widget::OnPointer(x, y, kind);
}
