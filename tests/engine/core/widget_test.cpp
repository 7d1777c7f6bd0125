#include <gtest/gtest.h>

#include "engine/core/widget.h"
#include "engine/core/engine_keys.h"
#include "engine/ui/widget_messages.h"
#include "tests/engine/core/test_app.h"

namespace {

// Overrides only the extended pointer form, so a plain event must not end up here.
class ExtendedOnly : public Widget {
public:
    explicit ExtendedOnly(Widget* parent) : Widget(parent, nullptr) {}
    bool OnPointerEx(int x, int y, int kind, int extra) override
    {
        ++extendedCalls;
        return Widget::OnPointerEx(x, y, kind, extra);
    }
    int extendedCalls = 0;
};

// Receives events and, on request, deletes the sender on delivery, as a screen switch does.
class Receiver : public Widget {
public:
    Receiver() : Widget(nullptr, nullptr) {}
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        ++events;
        lastCode = code;
        lastName = name;
        lastParam = param;
        lastSender = sender;
        if (deleteOnDelivery && *deleteOnDelivery == sender)
            DetachAndDeleteWidget(*deleteOnDelivery);
        return true;
    }
    int events = 0;
    int lastCode = 0;
    const char* lastName = nullptr;
    int lastParam = 0;
    Widget* lastSender = nullptr;
    Widget** deleteOnDelivery = nullptr;
};

}  // namespace

TEST(Widget, StylusGoesToTheTopmostHitChildWhichTakesTheFocus)
{
    Widget root(nullptr, nullptr);
    Probe lower(&root);
    Probe upper(&root);
    lower.SetRect(0, 0, 100, 100);
    upper.SetRect(50, 50, 100, 100);
    root.SetFocusChild(&lower);
    upper.pointerResult = false;

    // The child's own answer does not matter: a hit child consumes the event.
    EXPECT_TRUE(root.OnPointer(60, 60, 1));
    EXPECT_EQ(upper.pointers, (std::vector<PointerEvent>{{60, 60, 1}}));
    EXPECT_TRUE(lower.pointers.empty());
    EXPECT_EQ(root.GetFocusChild(), &upper);

    EXPECT_TRUE(root.OnPointer(10, 10, 1));
    EXPECT_EQ(lower.pointers.size(), 1u);
    EXPECT_FALSE(root.OnPointer(500, 500, 1));

    root.Hide();
    EXPECT_FALSE(root.OnPointer(10, 10, 1));
    root.RemoveChild(&upper);
    root.RemoveChild(&lower);
}

TEST(Widget, ModalChildStopsTheStylusSearchEvenWhenInvisible)
{
    Widget root(nullptr, nullptr);
    Probe below(&root);
    Probe modal(&root);
    below.SetRect(0, 0, 100, 100);
    modal.SetRect(200, 200, 10, 10);
    modal.SetModal(true);
    modal.Hide();
    root.SetFocusChild(&below);

    EXPECT_TRUE(root.OnPointer(10, 10, 1));
    EXPECT_TRUE(below.pointers.empty());
    EXPECT_TRUE(modal.pointers.empty());
    EXPECT_EQ(root.GetFocusChild(), &below);
    // An invisible modal child is no modal child for the keys.
    EXPECT_EQ(root.FindModalChild(), nullptr);
    modal.Show();
    EXPECT_EQ(root.FindModalChild(), &modal);
    root.RemoveChild(&modal);
    root.RemoveChild(&below);
}

TEST(Widget, PlainAndExtendedStylusFormsReachTheirOwnOperations)
{
    Widget root(nullptr, nullptr);
    ExtendedOnly container(&root);
    Probe child(&container);
    container.SetRect(0, 0, 50, 50);
    child.SetRect(0, 0, 50, 50);

    EXPECT_TRUE(root.OnPointer(5, 5, 1));
    EXPECT_EQ(container.extendedCalls, 0);
    EXPECT_EQ(child.pointers, (std::vector<PointerEvent>{{5, 5, 1}}));
    EXPECT_TRUE(child.extended.empty());

    EXPECT_TRUE(root.OnPointerEx(6, 6, 3, 77));
    EXPECT_EQ(container.extendedCalls, 1);
    EXPECT_EQ(child.extended, (std::vector<PointerEvent>{{6, 6, 3}}));
    EXPECT_EQ(child.lastExtra, 77);
    container.RemoveChild(&child);
    root.RemoveChild(&container);
}

TEST(Widget, HideDropsTheFocusAndShowReachesEveryDescendant)
{
    Widget root(nullptr, nullptr);
    Probe child(&root);
    Probe grandchild(&child);
    grandchild.Hide();
    child.Hide();
    EXPECT_EQ(root.GetFocusChild(), nullptr);
    EXPECT_EQ(child.GetFocusChild(), nullptr);
    root.Show();
    EXPECT_TRUE(child.IsVisible());
    EXPECT_TRUE(grandchild.IsVisible());

    // Close hides and leaves the parent; a widget without a parent only hides.
    child.Close();
    EXPECT_EQ(root.GetChildCount(), 0);
    EXPECT_EQ(child.GetParent(), nullptr);
    EXPECT_FALSE(child.IsVisible());
    child.Close();
    child.RemoveChild(&grandchild);
}

TEST(Widget, DrawVisitsVisibleChildrenAndForcesTheDrawFlagOnlyWhileDrawing)
{
    Widget root(nullptr, nullptr);
    Probe shown(&root);
    Probe hidden(&root);
    hidden.Hide();
    root.Draw();
    EXPECT_EQ(shown.draws, 1);
    EXPECT_FALSE(shown.drawFlagSeen);
    EXPECT_EQ(hidden.draws, 0);

    root.SetModal(true);
    root.Draw();
    EXPECT_TRUE(shown.drawFlagSeen);
    EXPECT_FALSE(shown.GetDrawFlag());
    root.RemoveChild(&hidden);
    root.RemoveChild(&shown);
}

TEST(Widget, FocusNextWrapsAndSkipsChildrenThatCannotTakeTheFocus)
{
    Widget root(nullptr, nullptr);
    Probe a(&root);
    Probe unfocusable(&root, kWidgetKindUnfocusable);
    Probe hidden(&root);
    Probe unfocusableDefers(&root, kWidgetKindUnfocusableDefersAction);
    Probe d(&root);
    hidden.Hide();

    root.SetFocusChild(&a);
    int before = unfocusable.focused;
    EXPECT_TRUE(root.FocusNext(2));
    EXPECT_EQ(root.GetFocusChild(), &d);
    // Every candidate passed on the way is focused in turn.
    EXPECT_EQ(unfocusable.focused, before + 1);
    EXPECT_TRUE(root.FocusNext(2));
    EXPECT_EQ(root.GetFocusChild(), &a);
    EXPECT_TRUE(root.FocusPrev(1));
    EXPECT_EQ(root.GetFocusChild(), &d);

    for (Widget* w : {static_cast<Widget*>(&d), static_cast<Widget*>(&unfocusableDefers),
                      static_cast<Widget*>(&hidden), static_cast<Widget*>(&unfocusable), static_cast<Widget*>(&a)})
        root.RemoveChild(w);
}

TEST(Widget, FocusNextEndsWhenNoChildQualifies)
{
    Widget root(nullptr, nullptr);
    Probe a(&root, kWidgetKindUnfocusable);
    Probe b(&root, kWidgetKindUnfocusableDefersAction);
    Probe c(&root);
    c.Hide();
    root.SetFocusChild(&b);
    EXPECT_FALSE(root.FocusNext(2));
    EXPECT_EQ(root.GetFocusChild(), &b);
    EXPECT_FALSE(root.FocusPrev(1));
    EXPECT_EQ(root.GetFocusChild(), &b);

    // Without a focus child the first child takes it before the walk.
    root.SetFocusChild(nullptr);
    EXPECT_FALSE(root.FocusNext(2));
    EXPECT_EQ(root.GetFocusChild(), &a);
    root.RemoveChild(&c);
    root.RemoveChild(&b);
    root.RemoveChild(&a);

    Widget empty(nullptr, nullptr);
    EXPECT_TRUE(empty.FocusNext(2));
    Probe only(&empty);
    EXPECT_FALSE(empty.FocusNext(2));
    empty.RemoveChild(&only);
}

TEST(Widget, ContainerChildMovesItsInnerFocusFirst)
{
    Widget root(nullptr, nullptr);
    Probe container(&root, kWidgetKindFocusGroup);
    Probe other(&root);
    Probe inner1(&container);
    Probe inner2(&container);
    container.SetFocusChild(&inner1);
    root.SetFocusChild(&container);

    EXPECT_TRUE(root.FocusNext(4));
    EXPECT_EQ(root.GetFocusChild(), &container);
    EXPECT_EQ(container.GetFocusChild(), &inner2);
    container.RemoveChild(&inner2);
    container.RemoveChild(&inner1);
    root.RemoveChild(&other);
    root.RemoveChild(&container);
}

TEST(Widget, TimerModes)
{
    Widget w(nullptr, nullptr);
    w.SetTimerMode(1);
    EXPECT_EQ(w.GetTimerCounter(), 1);
    w.UpdateTimer();
    EXPECT_EQ(w.GetTimerMode(), 0);
    EXPECT_EQ(w.GetTimerCounter(), 0);
    // Mode 2 stays on and its counter stops at 0.
    w.SetTimerMode(2);
    w.UpdateTimer();
    w.UpdateTimer();
    EXPECT_EQ(w.GetTimerMode(), 2);
    EXPECT_EQ(w.GetTimerCounter(), 0);
}

TEST(Widget, EventsClimbTheParentChainAndEndAtTheApplication)
{
    TestApp app;
    Probe screen(&app);
    Probe button(&screen);
    static const char name[] = "btn_ok";
    EXPECT_FALSE(button.SendEvent(nullptr, kMsgCommand, name, 0));

    Receiver receiver;
    EXPECT_TRUE(button.SendEvent(&receiver, kMsgPressed, name, 7, true));
    EXPECT_EQ(receiver.lastSender, &button);
    EXPECT_EQ(receiver.lastName, name);
    EXPECT_EQ(receiver.lastParam, 7);

    // A parentless widget has nobody to tell.
    Widget loose(nullptr, nullptr);
    EXPECT_FALSE(loose.SendEvent(nullptr, kMsgCommand, name, 0));
    screen.RemoveChild(&button);
    app.RemoveChild(&screen);
}

TEST(Widget, ParkedEventIsSentOnceEvenWhenDeliveryDeletesItsWidget)
{
    Receiver receiver;
    static const char name[] = "btn_sm_adventure";
    Widget* screen = new Widget(&receiver, nullptr);
    screen->ParkEvent(&receiver, 1016, name, 3);
    EXPECT_TRUE(screen->HasParkedEvent());
    receiver.deleteOnDelivery = &screen;
    screen->SendParkedEvent();
    EXPECT_EQ(screen, nullptr);
    EXPECT_EQ(receiver.events, 1);
    EXPECT_EQ(receiver.lastCode, 1016);
    EXPECT_EQ(receiver.lastName, name);
    EXPECT_EQ(receiver.GetChildCount(), 0);

    Widget kept(&receiver, nullptr);
    kept.ParkEvent(nullptr, 1008, nullptr, 0);
    kept.SendParkedEvent();
    kept.SendParkedEvent();
    EXPECT_EQ(receiver.events, 2);
    EXPECT_FALSE(kept.HasParkedEvent());
    receiver.RemoveChild(&kept);
}

TEST(Widget, DeletingAListedWidgetLeavesItsParentAndChildrenClean)
{
    TestApp app;
    Probe parent(&app);
    Widget* child = new Probe(&parent);
    Probe* grandchild = new Probe(child);
    app.SetModalWidget(child);
    parent.removeHooks = 0;

    delete child;
    EXPECT_EQ(parent.GetChildCount(), 0);
    EXPECT_EQ(parent.GetFocusChild(), nullptr);
    EXPECT_EQ(parent.removeHooks, 0);
    EXPECT_EQ(app.GetModalWidget(), nullptr);
    EXPECT_EQ(grandchild->GetParent(), nullptr);
    // The orphan can still close and be deleted without touching the deleted parent.
    grandchild->Close();
    delete grandchild;

    Widget* detached = new Probe(&parent);
    DetachAndDeleteWidget(detached);
    EXPECT_EQ(detached, nullptr);
    EXPECT_EQ(parent.GetChildCount(), 0);
    app.RemoveChild(&parent);
}

TEST(WidgetNavigation, ModalChildAndTextChildTakeKeysFirst)
{
    TestApp app;
    Probe screen(&app);
    Probe a(&screen);
    Probe modal(&screen);
    modal.SetModal(true);
    modal.keyResult = false;
    EXPECT_FALSE(screen.OnNavigateKey(kKeyDown, true));
    EXPECT_EQ(modal.keys, (std::vector<KeyEvent>{{4, true}}));
    EXPECT_TRUE(a.keys.empty());

    modal.Hide();
    Probe text(&screen, kWidgetKindKeysFirst);
    EXPECT_TRUE(screen.OnNavigateKey(9, true));
    EXPECT_EQ(text.keys, (std::vector<KeyEvent>{{9, true}}));
    screen.RemoveChild(&text);
    screen.RemoveChild(&modal);
    screen.RemoveChild(&a);
    app.RemoveChild(&screen);
}

TEST(WidgetNavigation, DirectionPressesMoveTheFocusOtherKeysReachTheFocusChild)
{
    TestApp app;
    Probe screen(&app);
    Probe a(&screen);
    Probe b(&screen);
    Probe c(&screen);
    screen.SetFocusChild(&a);

    EXPECT_TRUE(screen.OnNavigateKey(kKeyDown, true));
    EXPECT_EQ(screen.GetFocusChild(), &b);
    EXPECT_TRUE(screen.OnNavigateKey(kKeyRight, true));
    EXPECT_EQ(screen.GetFocusChild(), &c);
    EXPECT_TRUE(screen.OnNavigateKey(kKeyLeft, true));
    EXPECT_EQ(screen.GetFocusChild(), &b);
    // Releases of direction keys, and every other key, go to the focus child.
    EXPECT_TRUE(screen.OnNavigateKey(kKeyDown, false));
    EXPECT_TRUE(screen.OnNavigateKey(kKeyAction, true));
    EXPECT_EQ(b.keys, (std::vector<KeyEvent>{{4, false}, {5, true}}));
    b.keyResult = false;
    EXPECT_FALSE(screen.OnNavigateKey(7, true));
    screen.Hide();
    EXPECT_FALSE(screen.OnNavigateKey(7, true));
    for (Widget* w : {static_cast<Widget*>(&c), static_cast<Widget*>(&b), static_cast<Widget*>(&a)})
        screen.RemoveChild(w);
    app.RemoveChild(&screen);
}

TEST(WidgetNavigation, ActionAndSoftKeysPressTheShoulderButtons)
{
    TestApp app;
    Probe dialog(&app);
    Probe ok(&dialog);
    Probe cancel(&dialog, kWidgetKindDefersAction);
    ok.shoulder = 1;
    cancel.shoulder = 2;
    dialog.SetFocusChild(&cancel);

    // Two buttons, the other deferring the action: the action key presses the left-shoulder button.
    EXPECT_TRUE(dialog.OnNavigateKey(kKeyAction, true));
    EXPECT_EQ(dialog.GetFocusChild(), &ok);
    EXPECT_EQ(ok.keys, (std::vector<KeyEvent>{{5, true}}));
    EXPECT_TRUE(cancel.keys.empty());

    // The right soft key arrives as some other key and presses the right-shoulder button as 5.
    app.SetLastKey(113);
    EXPECT_TRUE(dialog.OnNavigateKey(0, true));
    EXPECT_EQ(dialog.GetFocusChild(), &cancel);
    EXPECT_EQ(cancel.keys, (std::vector<KeyEvent>{{5, true}}));

    // A latched action key swallows the soft key's press; its release clears every latch.
    app.SetLastKey(112);
    app.LatchKey(kKeyAction);
    app.LatchKey(9);
    EXPECT_TRUE(dialog.OnNavigateKey(0, true));
    EXPECT_EQ(ok.keys.size(), 1u);
    EXPECT_TRUE(dialog.OnNavigateKey(0, false));
    EXPECT_EQ(ok.keys.size(), 1u);
    EXPECT_FALSE(app.IsKeyLatched(kKeyAction));
    EXPECT_FALSE(app.IsKeyLatched(9));

    // A target that refuses the key leaves it the focus child, which then gets the key itself.
    ok.keyResult = false;
    EXPECT_FALSE(dialog.OnNavigateKey(0, true));
    EXPECT_EQ(ok.keys, (std::vector<KeyEvent>{{5, true}, {5, true}, {0, true}}));

    // Without a partner that defers the action the action key is the focus child's.
    app.SetLastKey(0);
    Probe plain(nullptr);
    dialog.RemoveChild(&cancel);
    dialog.AddChild(&plain);
    dialog.SetFocusChild(&plain);
    ok.keyResult = true;
    EXPECT_TRUE(dialog.OnNavigateKey(kKeyAction, true));
    EXPECT_EQ(plain.keys, (std::vector<KeyEvent>{{5, true}}));
    dialog.RemoveChild(&plain);
    dialog.RemoveChild(&ok);
    app.RemoveChild(&dialog);
}
