#pragma once
// The base of everything in the tree of screens: the application (the root), screens, dialogs and
// script widgets. Children are not owned: whoever creates a widget removes and deletes it.
#include <cstdint>

#include "engine/core/arrays.h"

class Application;

struct Rect {
    int32_t x = 0, y = 0, w = 0, h = 0;
};

struct Size {
    int32_t w = 0, h = 0;
};

// What GetKind reports: how the parent moves the focus past a child and routes keys to it. Any
// other number acts as plain.
enum WidgetKind : int {
    kWidgetKindPlain = 0,
    // While focused it sees every key first; the parent moves the focus only with what it declines.
    kWidgetKindKeysFirst = 2,
    // The focus passes it by.
    kWidgetKindUnfocusable = 4,
    // Moves the focus among its own children first; the parent moves it on when it cannot.
    kWidgetKindFocusGroup = 5,
    // When it and a left-shoulder button are the parent's only children, the action key presses
    // that button; the first of the two the focus also passes by.
    kWidgetKindUnfocusableDefersAction = 6,
    kWidgetKindDefersAction = 7,
};

class Widget {
public:
    Widget(Widget* parent, Application* application);
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // The virtual operations keep the engine's slot order; derived classes append after them.
    virtual ~Widget();
    virtual bool Query() { return true; }
    virtual int GetKind() { return kWidgetKindPlain; }
    virtual void OnRemoveChild(Widget* child, int index);
    virtual void Update() {}
    virtual void Draw();
    virtual void Show();
    virtual void Hide();
    virtual void Close();
    virtual bool OnKey(int key, bool down);
    virtual bool OnPointer(int x, int y, int kind);
    virtual bool OnPointerEx(int x, int y, int kind, int extra);
    virtual bool AddChild(Widget* child);
    virtual void RemoveChildAt(int index);
    virtual void RemoveChild(Widget* child);
    virtual Widget* GetChild(int index);
    virtual void SetFocusChild(Widget* child);
    virtual void OnFocused() {}
    virtual Widget* GetFocusChild() { return focusChild_; }
    virtual void SetRect(int x, int y, int width, int height);
    virtual void GetRect(Rect& out);
    virtual void GetSize(Size& out);
    virtual bool HitTest(int x, int y);
    virtual bool FocusNext(int key);
    virtual bool FocusPrev(int key);
    virtual bool SendEvent(Widget* target, int code, const char* name, int param, bool fade = false);
    virtual bool OnEvent(Widget* sender, int code, const char* name, int param);
    virtual void SetModal(bool flag) { modal_ = flag; }
    virtual bool IsModal() { return modal_; }
    virtual bool IsVisible() { return visible_; }
    virtual bool IsEnabled() { return true; }
    virtual bool HasShoulderKey(int) { return false; }
    virtual int GetShoulderKey() { return 0; }
    virtual bool IsScriptWidget() { return false; }
    virtual void CancelPress() {}
    virtual void SetDrawFlag(bool flag) { drawFlag_ = flag; }
    virtual bool GetDrawFlag() { return drawFlag_; }
    virtual void SetTimerMode(int mode);
    virtual void UpdateTimer();

    void ParkEvent(Widget* target, int code, const char* name, int param);
    // Sends the parked event once: it is cleared before it is sent, and nothing of this widget
    // is touched afterwards, since delivery may delete it.
    void SendParkedEvent();
    bool HasParkedEvent() const { return parkedCode_ != 0; }
    int GetParkedCode() const { return parkedCode_; }
    Widget* FindModalChild();
    Widget* FindShoulderChild(int shoulder);
    bool OnNavigateKey(int key, bool down);

    Widget* GetParent() const { return parent_; }
    void SetParent(Widget* parent) { parent_ = parent; }
    Application* GetApplication() const { return application_; }
    void SetApplication(Application* application) { application_ = application; }
    int GetChildCount() const { return children_.Count(); }
    int GetX() const { return x_; }
    int GetY() const { return y_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetTimerMode() const { return timerMode_; }
    int GetTimerCounter() const { return timerCounter_; }

protected:
    Widget* ChildAt(int index) const { return static_cast<Widget*>(children_.At(index)); }
    bool StepFocus(int key, int direction);
    bool OfferPointer(int x, int y, int kind, int extra, bool extended);

    Widget* parent_;
    Widget* focusChild_ = nullptr;
    PtrArray children_{1};
    Application* application_;
    bool visible_ = true;
    bool modal_ = false;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    bool drawFlag_ = false;
    int leftShoulderId_ = 1, rightShoulderId_ = 2;
    int timerMode_ = 0, timerCounter_ = 0;
    Widget* parkedTarget_;
    int parkedCode_ = 0;
    const char* parkedName_ = nullptr;
    int parkedParam_ = 0;
};

// Removes the widget from its parent, deletes it and nulls the pointer.
void DetachAndDeleteWidget(Widget*& widget);
