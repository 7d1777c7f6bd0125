#pragma once
// A small application and a recording widget for driving the widget tree, the frame and input
// on the null back end.
#include <new>
#include <vector>

#include "engine/core/application.h"
#include "engine/core/main_window.h"
#include "engine/core/options_record.h"
#include "engine/graphics/surface.h"
#include "support/plain_app.h"

struct KeyEvent {
    int key;
    bool down;
    bool operator==(const KeyEvent&) const = default;
};

struct PointerEvent {
    int x, y, kind;
    bool operator==(const PointerEvent&) const = default;
};

class Probe : public Widget {
public:
    explicit Probe(Widget* parent, int kind = 0) : Widget(parent, nullptr), kind_(kind) {}
    int GetKind() override { return kind_; }
    bool OnKey(int key, bool down) override
    {
        keys.push_back({key, down});
        return keyResult;
    }
    bool OnPointer(int x, int y, int kind) override
    {
        pointers.push_back({x, y, kind});
        return pointerResult;
    }
    bool OnPointerEx(int x, int y, int kind, int extra) override
    {
        extended.push_back({x, y, kind});
        lastExtra = extra;
        return pointerResult;
    }
    void OnFocused() override { ++focused; }
    void OnRemoveChild(Widget*, int) override { ++removeHooks; }
    bool HasShoulderKey(int which) override { return shoulder != 0 && which == shoulder; }
    int GetShoulderKey() override { return shoulder; }
    void Update() override { ++updates; }
    void Draw() override
    {
        ++draws;
        drawFlagSeen = GetDrawFlag();
        Widget::Draw();
    }

    int kind_;
    int shoulder = 0;
    bool keyResult = true;
    bool pointerResult = true;
    std::vector<KeyEvent> keys;
    std::vector<PointerEvent> pointers;
    std::vector<PointerEvent> extended;
    int lastExtra = 0;
    int focused = 0;
    int removeHooks = 0;
    int updates = 0;
    int draws = 0;
    bool drawFlagSeen = false;
};

class TestApp : public PlainApp {
public:
    TestApp()
    {
        packsEnabled_ = false;
        SetApplication(this);
        g_application = this;
    }
    ~TestApp() override
    {
        if (g_application == this)
            g_application = nullptr;
    }

    // The game area as AppInit and Init would leave it, without packs, sound or layouts.
    void SetUpArea(int width, int height, int rotation = 0)
    {
        areaWidth_ = width;
        areaHeight_ = height;
        rotation_ = rotation;
        GameArea area;
        area.gameWidth = area.drawWidth = area.screenWidth = width;
        area.gameHeight = area.drawHeight = area.screenHeight = height;
        SetGameArea(area);
        // The surface takes its orientation from the rotation: raw size is the area, the
        // logical picture is turned.
        CreateScreenSurface(width, height, 0, 0);
    }
    void AddExitButton(int size)
    {
        exitNormal_ = new Surface(this);
        exitPressed_ = new Surface(this);
        exitNormal_->Create(size, size);
        exitPressed_->Create(size, size);
        exitNormal_->Clear(255, 0, 0);
        exitPressed_->Clear(0, 0, 255);
    }
    void EnableRepeat(bool directionOnly)
    {
        repeatEnabled_ = true;
        repeatDirectionOnly_ = directionOnly;
    }
    void SetStatistics(bool on) { statistics_ = on; }
    void SetSoftKeyQuirk(bool on) { softKeyQuirk_ = on; }
    void StartTurn(int angle, int direction)
    {
        turnAngle_ = angle;
        turnDirection_ = direction;
        turnPhase_ = 0;
    }
    int TurnAngle() const { return turnAngle_; }
    int TurnPhase() const { return turnPhase_; }
    void ClearFullRedraw() { fullRedraw_ = false; }

    // A small key map: arrows to the direction keys, space to action; everything else is no key.
    int MapKey(int virtualKey) override
    {
        mapped.push_back(virtualKey);
        switch (virtualKey) {
        case 37: return 1;
        case 39: return 2;
        case 38: return 3;
        case 40: return 4;
        case 32: return 5;
        case 112:
        case 113: return 0;
        }
        return Application::MapKey(virtualKey);
    }
    bool Tick() override
    {
        ++ticks;
        return Application::Tick();
    }
    void Update() override
    {
        ++updates;
        Application::Update();
    }
    void Draw() override
    {
        ++draws;
        Application::Draw();
    }
    void OnSuspend() override { ++suspends; }

    bool ApplyLayout(int width, int height) override { return width > 0 && height > 0; }

    std::vector<int> mapped;
    int ticks = 0;
    int updates = 0;
    int draws = 0;
    int suspends = 0;
};
