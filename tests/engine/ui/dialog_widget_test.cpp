#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "engine/graphics/pixel_formats.h"
#include "engine/core/engine_keys.h"
#include "engine/ui/ui_test_support.h"

namespace {

constexpr int kVkF1 = 0x70;
constexpr int kVkF2 = 0x71;

struct Screen {
    UiTestApp app;
    TestRoot root{&app};

    Screen() { EXPECT_TRUE(root.LoadLayout(kTestLayoutFile, "root_main")); }
    void Tick(int n)
    {
        for (int i = 0; i < n; ++i)
            app.Update();
    }
    void Press(int key)
    {
        root.OnKey(key, true);
        root.OnKey(key, false);
    }
    void Tap(int x, int y)
    {
        root.OnPointer(x, y, 1);
        root.OnPointer(x, y, 2);
    }
    bool AppSaw(int code, const char* name) const
    {
        for (const SeenEvent& e : app.events) {
            if (e.code == code && e.name == name)
                return true;
        }
        return false;
    }
};

// A dialog whose event handling a test can take over.
class HookDialog : public TestDialog {
public:
    using TestDialog::TestDialog;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        if (hook && hook(code, name))
            return true;
        return TestDialog::OnEvent(sender, code, name, param);
    }
    std::function<bool(int, const char*)> hook;
};

}  // namespace

TEST(DialogWidget, BuildsChildrenPlacedAndFocused)
{
    Screen s;
    auto* menu = Find<TestDialog>(&s.root, "dlg_menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetX(), 100);
    EXPECT_EQ(menu->GetY(), 75);
    EXPECT_EQ(menu->GetWidth(), 120);
    EXPECT_EQ(menu->GetHitMode(), 1);
    EXPECT_FALSE(menu->IsModal());
    EXPECT_NE(menu->GetBackgroundWidget(), nullptr);
    EXPECT_EQ(menu->GetBackgroundWidget()->GetX(), 100);
    EXPECT_EQ(Find(&s.root, "btn_play")->GetX(), 130);
    EXPECT_EQ(Find(&s.root, "btn_play")->GetY(), 81);
    EXPECT_EQ(Find(&s.root, "btn_help")->GetX(), 170);
    EXPECT_EQ(Find(&s.root, "txt_title")->GetX(), 120);
    TestLeaf* corner = Find(&s.root, "btn_corner");
    EXPECT_EQ(corner->GetX() + corner->GetWidth(), 316);
    EXPECT_EQ(corner->GetY() + corner->GetHeight(), 236);
    // The missing description is passed over; the root's own children are five.
    EXPECT_EQ(s.root.GetChildCount(), 5);
    EXPECT_EQ(s.root.FindChildDialog(), menu);

    EXPECT_EQ(s.root.GetFocusChild(), menu);
    EXPECT_EQ(menu->GetFocusChild(), Find(&s.root, "btn_play"));
    EXPECT_EQ(menu->FindShoulderButton(1), Find(&s.root, "btn_play"));
    EXPECT_EQ(menu->FindShoulderButton(2), Find(&s.root, "btn_help"));
}

TEST(DialogWidget, DirectionKeysMoveTheFocus)
{
    Screen s;
    auto* menu = Find<TestDialog>(&s.root, "dlg_menu");
    TestLeaf* play = Find(&s.root, "btn_play");
    TestLeaf* panel = Find(&s.root, "tbg_panel");
    int panelFocused = panel->focused;
    s.root.OnKey(kKeyDown, true);
    EXPECT_EQ(menu->GetFocusChild(), Find(&s.root, "btn_options"));
    EXPECT_EQ(play->cancels, 0);  // the root's focus child is the menu, whose own walk moved
    s.root.OnKey(kKeyRight, true);
    s.root.OnKey(kKeyDown, true);
    EXPECT_EQ(menu->GetFocusChild(), Find(&s.root, "btn_help"));
    // Wraps past the background, which is visited on the way.
    s.root.OnKey(kKeyDown, true);
    EXPECT_EQ(menu->GetFocusChild(), play);
    EXPECT_EQ(panel->focused, panelFocused + 1);
    s.root.OnKey(kKeyLeft, true);
    EXPECT_EQ(menu->GetFocusChild(), Find(&s.root, "btn_help"));
    menu->OnKey(kKeyUp, true);
    EXPECT_EQ(Find(&s.root, "btn_help")->cancels, 1);
    EXPECT_EQ(menu->GetFocusChild(), Find(&s.root, "chk_sound"));
}

TEST(DialogWidget, AFocusWalkThatFindsNothingLeavesTheFocusWhereItWas)
{
    Screen s;
    auto* menu = Find<TestDialog>(&s.root, "dlg_menu");
    TestLeaf* options = Find(&s.root, "btn_options");
    TestLeaf* panel = Find(&s.root, "tbg_panel");
    Find(&s.root, "btn_play")->Hide();  // the focus moves on to btn_options
    ASSERT_EQ(menu->GetFocusChild(), options);
    Find(&s.root, "chk_sound")->Hide();
    Find(&s.root, "btn_help")->Hide();
    int panelFocused = panel->focused;
    // Hiding the last focusable child walks the focus round every other child, and none can take
    // it: it stays where it was.
    options->Hide();
    EXPECT_EQ(panel->focused, panelFocused + 1);
    EXPECT_EQ(menu->GetFocusChild(), options);
    EXPECT_FALSE(menu->FocusNext(4));
    EXPECT_EQ(menu->GetFocusChild(), options);
    EXPECT_FALSE(menu->FocusPrev(3));
    EXPECT_EQ(menu->GetFocusChild(), options);
    EXPECT_EQ(panel->focused, panelFocused + 3);
}

TEST(DialogWidget, BoundCommandsStopUnboundClimb)
{
    Screen s;
    // btn_play is focused: the action key's release sends kMsgCommand, which nothing binds.
    s.Press(5);
    EXPECT_TRUE(s.AppSaw(kMsgCommand, "btn_play"));

    // dlg_menu binds btn_help: the action runs there and kMsgActionRun climbs, the kMsgCommand does not.
    s.app.events.clear();
    auto* menu = Find<TestDialog>(&s.root, "dlg_menu");
    menu->OnEvent(Find(&s.root, "btn_help"), kMsgCommand, "btn_help", 0);
    EXPECT_FALSE(s.AppSaw(kMsgCommand, "btn_help"));
    EXPECT_TRUE(s.AppSaw(kMsgActionRun, "acn_help"));
    auto* help = Find<TestDialog>(menu, "dlg_help");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->GetParent(), menu);
    // "centered", 20 with the widget's centre on the menu's centre.
    EXPECT_EQ(help->GetX(), 100 + 60 - 50);
    EXPECT_EQ(help->GetY(), 75 + 20);
    EXPECT_EQ(help->GetOwnAlpha(), 0);
    EXPECT_EQ(help->GetLifeEnd(), -33);  // created widgets never close by themselves

    // A binding whose action the file lacks swallows the command without a report.
    s.app.events.clear();
    s.root.OnEvent(Find(&s.root, "btn_corner"), kMsgCommand, "btn_corner", 0);
    EXPECT_TRUE(s.app.events.empty());

    // Other codes go up unchanged.
    EXPECT_FALSE(menu->OnEvent(menu, kMsgPressed, "btn_play", 0));
    EXPECT_TRUE(s.AppSaw(kMsgPressed, "btn_play"));
}

TEST(DialogWidget, ModalRuleForKeysAndTaps)
{
    Screen s;
    TestLeaf* corner = Find(&s.root, "btn_corner");
    s.Tap(corner->GetX() + 2, corner->GetY() + 2);
    EXPECT_EQ(corner->pointers.size(), 2u);
    EXPECT_TRUE(s.AppSaw(kMsgCommand, "btn_corner") == false);  // bound at the root to a missing action

    ASSERT_TRUE(s.root.RunActionFromFile(kTestLayoutFile, "acn_confirm"));
    EXPECT_TRUE(s.AppSaw(kMsgActionRun, "acn_confirm"));
    auto* confirm = Find<TestDialog>(&s.root, "dlg_confirm");
    ASSERT_NE(confirm, nullptr);
    EXPECT_TRUE(confirm->IsModal());
    EXPECT_EQ(s.root.FindModalChild(), confirm);
    EXPECT_EQ(confirm->GetX(), 110);
    EXPECT_EQ(confirm->GetY(), 85);

    // Taps anywhere end at the modal dialog.
    s.Tap(corner->GetX() + 2, corner->GetY() + 2);
    EXPECT_EQ(corner->pointers.size(), 2u);
    EXPECT_TRUE(s.root.OnPointer(1, 1, 1));
    TestLeaf* yes = Find(&s.root, "btn_yes");
    s.Tap(yes->GetX() + 1, yes->GetY() + 1);
    EXPECT_TRUE(s.AppSaw(kMsgCommand, "btn_yes"));

    // Keys too: with a single focusable child the direction keys stay and report handled.
    size_t before = yes->keys.size();
    EXPECT_TRUE(s.root.OnKey(kKeyDown, true));
    EXPECT_EQ(confirm->GetFocusChild(), yes);
    s.Press(5);
    EXPECT_EQ(yes->keys.size(), before + 2);
    EXPECT_FALSE(s.AppSaw(kMsgCommand, "btn_play"));

    EXPECT_FALSE(s.root.RunActionFromFile(kTestLayoutFile, "acn_none"));
    EXPECT_FALSE(s.root.RunActionFromFile("", "acn_confirm"));
    EXPECT_FALSE(s.AppSaw(kMsgActionRun, "acn_none"));
}

TEST(DialogWidget, HitModesAndBlockedChildren)
{
    Screen s;
    auto* menu = Find<TestDialog>(&s.root, "dlg_menu");
    EXPECT_TRUE(menu->HitTest(101, 76));   // its own rectangle
    EXPECT_FALSE(menu->HitTest(10, 10));
    EXPECT_TRUE(s.root.HitTest(0, 0));      // a root takes every point

    s.root.RunAction(s.root.GetLayout()->FindAction("acn_open_options"));
    auto* options = Find<TestDialog>(&s.root, "dlg_options");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->GetHitMode(), 2);
    // Only its children count; a tap outside them falls through to what lies behind.
    EXPECT_FALSE(options->HitTest(options->GetX() + 150, options->GetY() + 60));
    TestLeaf* corner = Find(&s.root, "btn_corner");
    s.Tap(corner->GetX() + 1, corner->GetY() + 1);
    EXPECT_EQ(corner->pointers.size(), 2u);

    // While the options fade in, their direction keys are swallowed and their button is
    // passed over by taps.
    TestLeaf* back = Find(&s.root, "btn_back");
    s.Tick(9);
    EXPECT_TRUE(options->IsFadingIn());
    Widget* focus = options->GetFocusChild();
    EXPECT_TRUE(options->OnKey(kKeyDown, true));
    EXPECT_EQ(options->GetFocusChild(), focus);
    s.Tap(back->GetX() + 1, back->GetY() + 1);
    EXPECT_TRUE(back->pointers.empty());
    s.Tick(20);
    EXPECT_FALSE(back->IsInputBlocked());
    s.Tap(back->GetX() + 1, back->GetY() + 1);
    EXPECT_EQ(back->pointers.size(), 2u);
}

TEST(DialogWidget, SoftKeysPressShoulderButtons)
{
    Screen s;
    s.app.SetLastKey(kVkF1);
    s.Press(0);
    EXPECT_TRUE(s.AppSaw(kMsgCommand, "btn_play"));
    auto* menu = Find<TestDialog>(&s.root, "dlg_menu");
    s.app.SetLastKey(kVkF2);
    s.app.events.clear();
    menu->OnKey(0, true);
    menu->OnKey(0, false);
    EXPECT_TRUE(s.AppSaw(kMsgActionRun, "acn_help"));
    // The help button took the focus; the dialog its action made is the newest child and has it now.
    EXPECT_EQ(Find(&s.root, "btn_help")->keys.back(), (KeyEvent{5, false}));
    EXPECT_EQ(menu->GetFocusChild(), Find<ScriptWidget>(&s.root, "dlg_help"));

    // With the action key latched the press is swallowed and the release clears the latch.
    s.app.LatchKey(kKeyAction);
    s.app.events.clear();
    EXPECT_TRUE(menu->OnKey(0, true));
    EXPECT_TRUE(menu->OnKey(0, false));
    EXPECT_TRUE(s.app.events.empty());
    EXPECT_FALSE(s.app.IsKeyLatched(kKeyAction));
}

TEST(DialogWidget, ClosedChildIsRemovedAndReported)
{
    Screen s;
    ASSERT_NE(Find(&s.root, "txt_toast"), nullptr);
    s.Tick(82);
    ASSERT_NE(Find(&s.root, "txt_toast"), nullptr);
    EXPECT_EQ(Find(&s.root, "txt_toast")->GetOwnAlpha(), 0);
    s.Tick(1);
    EXPECT_EQ(Find(&s.root, "txt_toast"), nullptr);
    EXPECT_TRUE(s.AppSaw(kMsgChildClosed, "txt_toast"));
    EXPECT_EQ(s.root.seen.back(), (SeenEvent{kMsgChildClosed, "txt_toast"}));
    EXPECT_EQ(s.root.GetChildCount(), 4);
}

TEST(DialogWidget, UpdatesSurviveChangesMadeDuringTheWalk)
{
    UiTestApp app;
    DialogDesc desc;
    desc.type = kDescDialog;
    auto* dialog = new HookDialog(&app, nullptr, &desc, nullptr);
    ASSERT_TRUE(dialog->Init());
    ButtonDesc names[4];
    const char* labels[4] = {"a", "b", "c", "d"};
    TestLeaf* leaves[4];
    for (int i = 0; i < 4; ++i) {
        names[i].type = kDescButton;
        names[i].name.Assign(labels[i]);
        leaves[i] = new TestLeaf(dialog, nullptr, &names[i], nullptr);
        ASSERT_TRUE(leaves[i]->Init());
    }
    ButtonDesc addedDesc;
    addedDesc.type = kDescButton;
    TestLeaf* added = nullptr;
    // When "c" is reported closed, "b" (next in the walk) goes and a new child comes.
    dialog->hook = [&](int code, const char* name) {
        if (code != kMsgChildClosed || !SameText(name, "c"))
            return false;
        Widget* b = leaves[1];
        DetachAndDeleteWidget(b);
        added = new TestLeaf(dialog, nullptr, &addedDesc, nullptr);
        added->Init();
        return true;
    };
    leaves[2]->StartClose(Fixed(), Fixed());
    dialog->Update();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(dialog->GetChildCount(), 3);
    EXPECT_EQ(leaves[0]->GetFrameCounter(), 1);
    EXPECT_EQ(leaves[3]->GetFrameCounter(), 1);
    EXPECT_EQ(added->GetFrameCounter(), 0);
    dialog->Update();
    EXPECT_EQ(leaves[0]->GetFrameCounter(), 2);
    EXPECT_EQ(added->GetFrameCounter(), 1);

    // A handler may delete the dialog itself; the walk stops there.
    leaves[3]->StartClose(Fixed(), Fixed());
    dialog->hook = [&](int code, const char*) {
        if (code == kMsgChildClosed)
            delete dialog;
        return code == kMsgChildClosed;
    };
    dialog->Update();
    EXPECT_EQ(app.GetChildCount(), 0);
}

TEST(DialogWidget, DrawsColourThenChildrenExceptOne)
{
    Screen s;
    Surface* screen = s.app.GetScreenSurface();
    auto* menu = Find<TestDialog>(&s.root, "dlg_menu");
    TestLeaf* play = Find(&s.root, "btn_play");
    screen->Clear(0, 0, 0);
    menu->DrawChildrenExcept(play);
    uint16_t blue = screen->GetPixels()[81 * 320 + 220 - 1 - 4];  // inside the menu, right of the panel
    EXPECT_EQ(blue, pixel::Format565::Pack(0, 0, 96));
    EXPECT_EQ(screen->GetPixels()[82 * 320 + 131], screen->GetPixels()[82 * 320 + 101]);  // panel, no button
    EXPECT_EQ(screen->GetPixels()[0], 0);  // outside the menu
    menu->Draw();
    EXPECT_EQ(screen->GetPixels()[82 * 320 + 131], pixel::Format565::Pack(40, 200, 40));
    menu->Hide();
    screen->Clear(0, 0, 0);
    menu->DrawChildrenExcept(nullptr);
    EXPECT_EQ(screen->GetPixels()[82 * 320 + 131], 0);
}

TEST(DialogWidget, ChildFromFileOwnsItsDescription)
{
    Screen s;
    ScriptWidget* help = s.root.CreateChildFromFile(kTestLayoutFile, "dlg_help", 10, 20, 0, 0, 0, 0, true, Fixed(),
                                                    Fixed::FromInt(1), false, Fixed(), Fixed());
    ASSERT_NE(help, nullptr);
    EXPECT_NE(help->GetDesc(), s.root.GetLayout()->FindDesc("dlg_help"));
    EXPECT_EQ(help->GetX(), 10);
    EXPECT_EQ(help->GetY(), 20);
    EXPECT_TRUE(help->IsFadingIn() || help->GetOwnAlpha() == 0);
    EXPECT_EQ(help->GetChildCount(), 2);
    EXPECT_EQ(s.root.CreateChildFromFile(kTestLayoutFile, "dlg_nothing", 0, 0, 0, 0, 0, 0, false, Fixed(), Fixed(),
                                         false, Fixed(), Fixed()),
              nullptr);
    EXPECT_EQ(s.root.CreateChildFromFile(nullptr, "dlg_help", 0, 0, 0, 0, 0, 0, false, Fixed(), Fixed(), false,
                                         Fixed(), Fixed()),
              nullptr);
    // Detached by name, not deleted.
    s.root.RemoveChildByName("dlg_help");
    EXPECT_EQ(help->GetParent(), &s.root);
    EXPECT_EQ(Find<ScriptWidget>(&s.root, "dlg_help"), nullptr);
    delete help;
}

TEST(DialogWidget, LayoutsThatNestWithoutEndArePassedOver)
{
    UiTestApp app;
    UiLayout* layout = new UiLayout();
    TextStream text(
        "root = \"r\"\n child = \"loop\"\n end\nend\n"
        "dialog = \"loop\"\n background = \"loop\"\n child = \"loop\"\n end\n child = \"leaf\"\n end\nend\n"
        "image = \"leaf\"\nend\n");
    UiLayoutParser parser;
    parser.document = layout;
    ASSERT_TRUE(UiLayout::ParseStream(parser, &text));
    // Held as a root holds the document it loaded.
    struct Holder : TestRoot {
        using TestRoot::TestRoot;
        void Hold(UiLayout* l, WidgetDesc* d)
        {
            layout_ = l;
            desc_ = d;
        }
    };
    Holder holder(&app);
    holder.Hold(layout, layout->FindFirstRoot());
    ASSERT_TRUE(holder.Init());
    auto* loop = Find<TestDialog>(&holder, "loop");
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->GetChildCount(), 1);
    EXPECT_EQ(loop->GetBackgroundWidget(), nullptr);
    EXPECT_NE(Find(loop, "leaf"), nullptr);
}

namespace {

// A root placing "n1" `width` times, each "nK" placing "nK+1" as often, the deepest ones placing
// as many leaves: without a bound, width ^ (depth + 1) widgets.
std::string FanOutLayout(int depth, int width)
{
    auto places = [width](const std::string& name) {
        std::string text;
        for (int i = 0; i < width; ++i)
            text += " child = \"" + name + "\"\n end\n";
        return text;
    };
    std::string text = "root = \"r\"\n" + places("n1") + "end\n";
    for (int k = 1; k <= depth; ++k) {
        std::string placed = k < depth ? "n" : "leaf";
        if (k < depth)
            placed += std::to_string(k + 1);
        text += "dialog = \"n" + std::to_string(k) + "\"\n" + places(placed) + "end\n";
    }
    return text + "image = \"leaf\"\nend\n";
}

int CountTree(Widget* widget)
{
    int count = widget->GetChildCount();
    for (int i = 0; i < widget->GetChildCount(); ++i)
        count += CountTree(widget->GetChild(i));
    return count;
}

// A root over a document parsed here, built as LoadLayout builds one.
struct FanOutScreen {
    explicit FanOutScreen(const std::string& text) : stream(text)
    {
        parser.document = layout;
        parsed = UiLayout::ParseStream(parser, &stream);
    }
    struct Root : TestRoot {
        using TestRoot::TestRoot;
        bool Build(UiLayout* l)
        {
            layout_ = l;
            desc_ = l->FindFirstRoot();
            if (Init())
                return true;
            DeleteChildren();
            return false;
        }
    };
    UiTestApp app;
    UiLayout* layout = new UiLayout();
    TextStream stream;
    UiLayoutParser parser;
    bool parsed = false;
    Root root{&app};
};

}  // namespace

TEST(DialogWidget, OneBuildMakesABoundedNumberOfWidgets)
{
    // 2 + 4 + ... + 1024 dialogs and 2048 leaves: 4094 widgets, just within the bound.
    FanOutScreen within(FanOutLayout(10, 2));
    ASSERT_TRUE(within.parsed);
    ASSERT_TRUE(within.root.Build(within.layout));
    EXPECT_EQ(CountTree(&within.root), 4094);
    // A dialog made later is a build of its own, not charged to the root's.
    WidgetDesc* branch = within.layout->FindDesc("n2");
    ScriptWidget* made = within.root.CreateChildPlaced(branch, nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CountTree(made), 1022);

    // One level more is 8190: the build fails whole and leaves nothing behind.
    FanOutScreen over(FanOutLayout(11, 2));
    ASSERT_TRUE(over.parsed);
    EXPECT_FALSE(over.root.Build(over.layout));
    EXPECT_EQ(over.root.GetChildCount(), 0);
    // Half of it, 4094 widgets under one "n1", still builds on its own.
    ScriptWidget* half = over.root.CreateChildPlaced(over.layout->FindDesc("n1"), nullptr);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(CountTree(half), 4094);

    // A short file nesting to the depth cap, four times at every level, fails at once instead of
    // making 4^33 widgets.
    FanOutScreen huge(FanOutLayout(31, 4));
    ASSERT_TRUE(huge.parsed);
    EXPECT_LT(huge.stream.GetSize(), 4000);
    EXPECT_FALSE(huge.root.Build(huge.layout));
    EXPECT_EQ(huge.root.GetChildCount(), 0);
}

TEST(DialogWidget, PlacementsOfMissingNamesCountAgainstTheBuild)
{
    // A root placing "d" `times` times, each "d" placing `misses` names the document lacks.
    auto layoutText = [](int times, int misses) {
        std::string text = "root = \"r\"\n";
        for (int i = 0; i < times; ++i)
            text += " child = \"d\"\n end\n";
        text += "end\ndialog = \"d\"\n";
        for (int i = 0; i < misses; ++i)
            text += " child = \"gone" + std::to_string(i) + "\"\n end\n";
        return text + "end\n";
    };
    // 31 + 31 * 128 = 3999 placements visited: builds, with the 31 dialogs alone.
    FanOutScreen within(layoutText(31, 128));
    ASSERT_TRUE(within.root.Build(within.layout));
    EXPECT_EQ(CountTree(&within.root), 31);
    // 32 + 32 * 128 = 4128: over the bound though it makes only 32 widgets.
    FanOutScreen over(layoutText(32, 128));
    EXPECT_FALSE(over.root.Build(over.layout));
    EXPECT_EQ(over.root.GetChildCount(), 0);

    // A build finds names as the document does: the earlier of two equal names, and a
    // background by name among them.
    FanOutScreen twins("root = \"r\"\n background = \"back\"\n child = \"twin\"\n end\nend\n"
                       "text = \"twin\"\nend\nimage = \"back\"\nend\nimage = \"twin\"\nend\ntext = \"back\"\nend\n");
    ASSERT_TRUE(twins.root.Build(twins.layout));
    ASSERT_EQ(twins.root.GetChildCount(), 2);
    auto* background = twins.root.GetBackgroundWidget();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetDesc()->type, kDescImage);
    for (int i = 0; i < 2; ++i) {
        auto* child = AsScriptWidget(twins.root.GetChild(i));
        ASSERT_NE(child, nullptr);
        if (child != background) {
            EXPECT_EQ(child->GetDesc()->type, kDescText);
        }
    }
}
