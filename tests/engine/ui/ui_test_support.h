#pragma once
// Script widgets for the layout tests: leaves drawn as flat boxes in a colour of their own,
// buttons that send kMsgCommand on release, and a dialog and root whose factory makes them. The
// application reads its UI folder from the test data and records what reaches it.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/test_app.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/surface.h"
#include "engine/ui/dialog_widget.h"
#include "engine/ui/root_widget.h"
#include "engine/ui/ui_layout.h"
#include "platform/files.h"

constexpr const char* kTestLayoutFile = "test_layout.txt";

struct SeenEvent {
    int code;
    std::string name;
    bool operator==(const SeenEvent&) const = default;
};

class UiTestApp : public TestApp {
public:
    UiTestApp() { SetUpArea(320, 240); }
    String GetUiFolder() override
    {
        std::string folder = hostpath::FromHost(std::string(KELO_TEST_DATA) + "/ui") + "\\";
        return String(folder.c_str());
    }
    bool OnEvent(Widget*, int code, const char* name, int) override
    {
        events.push_back({code, name ? name : ""});
        return false;
    }
    std::vector<SeenEvent> events;
};

// A leaf widget: a box of its type's colour, faded by its effective alpha.
class TestLeaf : public ScriptWidget {
public:
    using ScriptWidget::ScriptWidget;

    bool IsButton() override { return type() == kDescButton || type() == kDescCheckBox; }
    bool IsFocusable() override { return IsButton() || type() == kDescTuner; }
    bool HasShoulderKey(int) override { return IsButton(); }
    int GetShoulderKey() override
    {
        auto* button = dynamic_cast<ButtonDesc*>(desc_);
        return button ? button->shoulder : 0;
    }
    void CancelPress() override { ++cancels; }
    void Draw() override
    {
        Surface* screen = application_ ? application_->GetScreenSurface() : nullptr;
        if (!screen || effectiveAlpha_ <= 0)
            return;
        static const uint8_t kColours[11][3] = {{0, 0, 0},     {200, 120, 40}, {250, 250, 250}, {40, 200, 40},
                                                {0, 0, 0},     {200, 40, 200}, {120, 80, 40},   {40, 200, 200},
                                                {180, 180, 250}, {250, 250, 40}, {100, 100, 100}};
        const uint8_t* c = kColours[type() <= 10 ? type() : 0];
        int a = effectiveAlpha_ >> 8;
        screen->FillRect(x_, y_, width_, height_, c[0] * a / 255, c[1] * a / 255, c[2] * a / 255);
    }
    bool OnKey(int key, bool down) override
    {
        keys.push_back({key, down});
        if (key != 5 || !IsButton() || IsInputBlocked())
            return false;
        if (!down)
            SendEvent(nullptr, kMsgCommand, GetName(), 0);
        return true;
    }
    bool OnPointer(int x, int y, int kind) override
    {
        pointers.push_back({x, y, kind});
        if (IsButton() && kind == 2 && !IsInputBlocked())
            SendEvent(nullptr, kMsgCommand, GetName(), 0);
        return true;
    }
    void OnFocused() override { ++focused; }

    int type() const { return desc_ ? desc_->type : 0; }
    std::vector<KeyEvent> keys;
    std::vector<PointerEvent> pointers;
    int cancels = 0;
    int focused = 0;
};

// Builds and initialises a test widget for the description as DialogWidget::CreateChild does.
template <typename DialogClass>
ScriptWidget* MakeTestChild(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement)
{
    if (!desc || desc->type < 1 || desc->type > 10)
        return nullptr;
    ScriptWidget* widget = desc->type == kDescDialog ? static_cast<ScriptWidget*>(new DialogClass(parent, layout, desc, placement))
                                                     : new TestLeaf(parent, layout, desc, placement);
    widget->SetApplication(parent->GetApplication());
    if (!widget->Init()) {
        parent->RemoveChild(widget);
        delete widget;
        return nullptr;
    }
    return widget;
}

class TestDialog : public DialogWidget {
public:
    using DialogWidget::DialogWidget;
    ScriptWidget* CreateChild(WidgetDesc* desc, const ChildPlacement* placement) override
    {
        return MakeTestChild<TestDialog>(this, layout_, desc, placement);
    }
};

class TestRoot : public RootWidget {
public:
    using RootWidget::RootWidget;
    ScriptWidget* CreateChild(WidgetDesc* desc, const ChildPlacement* placement) override
    {
        return MakeTestChild<TestDialog>(this, layout_, desc, placement);
    }
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        seen.push_back({code, name ? name : ""});
        return RootWidget::OnEvent(sender, code, name, param);
    }
    std::vector<SeenEvent> seen;
};

template <typename T = TestLeaf>
T* Find(Widget* root, const char* name)
{
    return dynamic_cast<T*>(ScriptWidget::FindByName(root, name));
}

// A memory stream over a script text, for the parser's readers.
class TextStream : public PackMemoryFile {
public:
    explicit TextStream(const std::string& text)
    {
        void* block = Alloc(text.size() ? text.size() : 1);
        memcpy(block, text.data(), text.size());
        SetBuffer(block, static_cast<int32_t>(text.size()));
    }
};

// FNV-1a over the bytes of the screen's pixels, low byte first; the root tests hold frames by it.
inline uint64_t FrameHash(Surface* screen)
{
    uint64_t hash = 1469598103934665603ull;
    const uint16_t* pixels = screen->GetPixels();
    size_t count = size_t(screen->GetWidth()) * size_t(screen->GetHeight());
    for (size_t i = 0; i < count; ++i) {
        hash = (hash ^ (pixels[i] & 0xff)) * 1099511628211ull;
        hash = (hash ^ (pixels[i] >> 8)) * 1099511628211ull;
    }
    return hash;
}
