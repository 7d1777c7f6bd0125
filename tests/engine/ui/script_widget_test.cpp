#include <gtest/gtest.h>

#include "engine/ui/ui_test_support.h"

namespace {

Fixed Seconds(double s)
{
    return Fixed::FromDouble(s);
}

// A dialog standing alone as the parent of hand-made leaves.
struct Bench {
    UiTestApp app;
    DialogDesc dialogDesc;
    ButtonDesc buttonDesc;
    TestDialog dialog{&app, nullptr, &dialogDesc, nullptr};

    Bench()
    {
        dialogDesc.type = kDescDialog;
        dialogDesc.name.Assign("dlg");
        buttonDesc.type = kDescButton;
        buttonDesc.name.Assign("btn");
        buttonDesc.width = 20;
        buttonDesc.height = 10;
        dialog.SetApplication(&app);
        EXPECT_TRUE(dialog.Init());
    }
    ~Bench() { dialog.DeleteChildren(); }

    TestLeaf* Leaf(const ChildPlacement& placement, WidgetDesc* desc = nullptr)
    {
        auto* leaf = new TestLeaf(&dialog, nullptr, desc ? desc : &buttonDesc, &placement);
        EXPECT_TRUE(leaf->Init());
        return leaf;
    }
    void Tick(ScriptWidget* w, int n)
    {
        for (int i = 0; i < n; ++i)
            w->Update();
    }
};

}  // namespace

TEST(ScriptWidget, SecondsBecomeFramesAndFadeSteps)
{
    EXPECT_EQ(SecondsToFrames(Seconds(0.5)), 16);
    EXPECT_EQ(SecondsToFrames(Seconds(3)), 99);
    EXPECT_EQ(SecondsToFrames(Seconds(-1)), -33);
    EXPECT_EQ(FadeStep(Seconds(1)), 1978);
    EXPECT_EQ(FadeStep(Seconds(0.5)), 3956);
    EXPECT_EQ(FadeStep(Fixed()), kAlphaOpaque);
    EXPECT_EQ(FadeStep(Seconds(-2)), kAlphaOpaque);
    EXPECT_EQ(FadeStep(Fixed::Raw(1)), 1044480 / 2);
}

TEST(ScriptWidget, FadeInWaitsThenRisesToOpaque)
{
    Bench b;
    ChildPlacement p;
    p.fadeIn = true;
    p.inDelay = Seconds(0.5);
    p.inDuration = Seconds(1);
    TestLeaf* leaf = b.Leaf(p);
    EXPECT_EQ(leaf->GetFadeInStart(), 16);
    EXPECT_EQ(leaf->GetFadeInStep(), 1978);
    EXPECT_EQ(leaf->GetOwnAlpha(), 0);
    EXPECT_TRUE(leaf->IsInputBlocked());
    b.Tick(leaf, 15);
    EXPECT_EQ(leaf->GetOwnAlpha(), 0);
    EXPECT_FALSE(leaf->IsFadingIn());
    EXPECT_TRUE(leaf->IsInputBlocked());
    b.Tick(leaf, 1);
    EXPECT_EQ(leaf->GetOwnAlpha(), 1978);
    EXPECT_TRUE(leaf->IsFadingIn());
    EXPECT_TRUE(b.dialog.IsAnyBusy());
    b.Tick(leaf, 32);
    EXPECT_EQ(leaf->GetOwnAlpha(), 65274);
    b.Tick(leaf, 1);
    EXPECT_EQ(leaf->GetOwnAlpha(), kAlphaOpaque);
    EXPECT_FALSE(leaf->IsFadingIn());
    EXPECT_FALSE(leaf->IsInputBlocked());
    EXPECT_FALSE(b.dialog.IsAnyBusy());
}

TEST(ScriptWidget, LifeTimesAndCloses)
{
    Bench b;
    ChildPlacement p;
    p.fadeIn = true;
    p.inDelay = Seconds(4);
    p.fadeOut = true;
    p.outTime = Seconds(3);
    p.outDuration = Seconds(0.5);
    TestLeaf* late = b.Leaf(p);
    EXPECT_EQ(late->GetFadeInStart(), 132);
    EXPECT_EQ(late->GetLifeEnd(), 132);  // raised from 99 to the fade-in start
    EXPECT_EQ(late->GetFadeOutStep(), 3956);

    // A close takes ceil(65280 / step) ticks to reach 0 and one more to finish.
    TestLeaf* leaf = b.Leaf(ChildPlacement());
    leaf->StartClose(Fixed(), Seconds(0.5));
    EXPECT_TRUE(leaf->IsClosing());
    EXPECT_TRUE(leaf->IsInputBlocked());
    b.Tick(leaf, 16);
    EXPECT_EQ(leaf->GetOwnAlpha(), 65280 - 16 * 3956);
    b.Tick(leaf, 1);
    EXPECT_EQ(leaf->GetOwnAlpha(), 0);
    EXPECT_FALSE(leaf->IsFinished());
    b.Tick(leaf, 1);
    EXPECT_TRUE(leaf->IsFinished());

    TestLeaf* now = b.Leaf(ChildPlacement());
    now->StartClose(Fixed(), Fixed());
    EXPECT_TRUE(now->IsFinished());

    // A life end set at creation, and one restarted later from the current frame.
    TestLeaf* timed = b.Leaf(ChildPlacement());
    b.Tick(timed, 10);
    timed->StartClose(Seconds(1), Seconds(1));
    EXPECT_EQ(timed->GetLifeEnd(), 43);
    b.Tick(timed, 32);
    EXPECT_FALSE(timed->IsClosing());
    b.Tick(timed, 1);
    EXPECT_TRUE(timed->IsClosing());
}

TEST(ScriptWidget, FadesOfNoLengthEndAtOnce)
{
    Bench b;
    ChildPlacement p;
    p.fadeIn = true;
    p.inDelay = Seconds(0.25);
    p.fadeOut = true;
    p.outTime = Seconds(1);
    TestLeaf* leaf = b.Leaf(p);
    EXPECT_EQ(leaf->GetFadeInStep(), kAlphaOpaque);
    EXPECT_EQ(leaf->GetFadeOutStep(), kAlphaOpaque);
    b.Tick(leaf, 7);
    EXPECT_EQ(leaf->GetOwnAlpha(), 0);
    b.Tick(leaf, 1);
    EXPECT_EQ(leaf->GetOwnAlpha(), kAlphaOpaque);
    b.Tick(leaf, 25);
    EXPECT_EQ(leaf->GetFrameCounter(), 33);
    EXPECT_EQ(leaf->GetOwnAlpha(), 0);
    b.Tick(leaf, 1);
    EXPECT_TRUE(leaf->IsFinished());

    // StartFadeIn with no duration shows the widget at once but blocks input for the delay.
    TestLeaf* later = b.Leaf(ChildPlacement());
    later->StartFadeIn(Seconds(0.5), Fixed());
    EXPECT_EQ(later->GetOwnAlpha(), kAlphaOpaque);
    EXPECT_TRUE(later->IsInputBlocked());
    later->StartFadeIn(Fixed(), Fixed());  // both 0: nothing changes
    EXPECT_EQ(later->GetFadeInStart(), 16);
}

TEST(ScriptWidget, EffectiveAlphaAndNestedDialogs)
{
    Bench b;
    TestLeaf* leaf = b.Leaf(ChildPlacement());
    DialogDesc innerDesc;
    innerDesc.type = kDescDialog;
    auto* inner = new TestDialog(&b.dialog, nullptr, &innerDesc, nullptr);
    ASSERT_TRUE(inner->Init());
    b.dialog.SetAlpha(32640);
    EXPECT_EQ(b.dialog.GetAlpha(), 32640);
    EXPECT_EQ(leaf->GetAlpha(), 32512);
    EXPECT_EQ(inner->GetAlpha(), kAlphaOpaque);
    b.dialog.SetAlphaTree(0);
    EXPECT_EQ(leaf->GetAlpha(), 0);
    EXPECT_EQ(inner->GetAlpha(), 0);
}

TEST(ScriptWidget, NamesInputBlockingAndFocusOnHide)
{
    Bench b;
    ButtonDesc other;
    other.type = kDescButton;
    other.name.Assign("dlg");  // the dialog's own name: the dialog is found first
    TestLeaf* first = b.Leaf(ChildPlacement());
    TestLeaf* second = b.Leaf(ChildPlacement(), &other);
    EXPECT_EQ(ScriptWidget::FindByName(&b.dialog, "dlg"), &b.dialog);
    EXPECT_EQ(ScriptWidget::FindByName(&b.dialog, "btn"), first);
    EXPECT_EQ(ScriptWidget::FindByName(&b.dialog, "BTN"), nullptr);
    EXPECT_EQ(ScriptWidget::FindByName(&b.dialog, nullptr), nullptr);
    EXPECT_STREQ(second->GetName(), "dlg");

    // Hiding the focused child moves the focus on.
    b.dialog.SetFocusChild(first);
    first->Hide();
    EXPECT_EQ(b.dialog.GetFocusChild(), second);

    // A shown widget inside a closing dialog takes no input.
    EXPECT_FALSE(second->IsInputBlocked());
    b.dialog.StartClose(Fixed(), Seconds(1));
    EXPECT_TRUE(second->IsInputBlocked());
}

TEST(ScriptWidget, PlacementAndAlignment)
{
    Bench b;
    b.dialog.SetRect(100, 50, 80, 40);
    ChildPlacement p;
    p.x = 4;
    p.y = -6;
    p.alignX = 2;
    p.alignY = 1;
    p.alignXInParent = 1;
    p.alignYInParent = 2;
    TestLeaf* leaf = b.Leaf(p);
    EXPECT_EQ(leaf->GetX(), 104);
    EXPECT_EQ(leaf->GetY(), 44);
    ScriptWidget::ApplyAlignment(leaf);
    // Right edge at the parent's centre + 4, vertical centre at the parent's bottom - 6.
    EXPECT_EQ(leaf->GetX(), 104 - 20 + 40);
    EXPECT_EQ(leaf->GetY(), 44 - 5 + 40);
    Point centre;
    leaf->GetCenter(centre);
    EXPECT_EQ(centre.x, leaf->GetX() + 10);
    leaf->Relayout();
    EXPECT_EQ(leaf->GetX(), 124);

    // Without a description the widget is 1 x 1 and has no name.
    auto* bare = new TestLeaf(&b.dialog, nullptr, nullptr, nullptr);
    ASSERT_TRUE(bare->Init());
    EXPECT_EQ(bare->GetWidth(), 1);
    EXPECT_STREQ(bare->GetName(), "");
    // A dialog moves its children with it.
    b.dialog.MoveBy(5, 7);
    EXPECT_EQ(leaf->GetX(), 129);
    EXPECT_EQ(bare->GetY(), 57);
}
