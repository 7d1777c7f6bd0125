#include <gtest/gtest.h>

#include "engine/graphics/pixel_formats.h"
#include "engine/ui/ui_test_support.h"

namespace {

struct Screen {
    UiTestApp app;
    TestRoot root{&app};

    void Tick(int n)
    {
        for (int i = 0; i < n; ++i)
            app.Update();
    }
    void Command(const char* name)
    {
        // As a button inside the widget named name would send it.
        ScriptWidget* sender = ScriptWidget::FindByName(&root, name);
        ASSERT_NE(sender, nullptr);
        sender->SendEvent(nullptr, kMsgCommand, name, 0);
    }
    int Count(int code, const char* name) const
    {
        int n = 0;
        for (const SeenEvent& e : app.events)
            n += e.code == code && e.name == name;
        return n;
    }
    uint16_t Pixel(int x, int y) { return app.GetScreenSurface()->GetPixels()[y * 320 + x]; }
};

}  // namespace

TEST(RootWidget, LoadsRootsAndKeepsTheFile)
{
    Screen s;
    EXPECT_FALSE(s.root.LoadLayout(kTestLayoutFile, "root_none"));
    EXPECT_EQ(s.root.GetLayout(), nullptr);
    ASSERT_TRUE(s.root.LoadLayout(kTestLayoutFile, nullptr));
    EXPECT_STREQ(s.root.GetName(), "root_main");
    EXPECT_EQ(FindRootChild(&s.app), &s.root);
    EXPECT_TRUE(s.root.IsModal());
    EXPECT_EQ(s.root.GetWidth(), 320);
    EXPECT_EQ(s.root.GetHeight(), 240);
    // The background is aligned by the root's own keys: centred, at the bottom.
    ScriptWidget* bg = s.root.GetBackgroundWidget();
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->GetX(), 60);
    EXPECT_EQ(bg->GetY(), 140);

    // Another root of the same file uses the document held.
    UiLayout* held = s.root.GetLayout();
    ASSERT_TRUE(s.root.LoadLayout(kTestLayoutFile, "root_second"));
    EXPECT_EQ(s.root.GetLayout(), held);
    EXPECT_EQ(s.root.GetChildCount(), 1);
    EXPECT_EQ(s.root.GetChild(0)->GetX(), 160);
    EXPECT_EQ(s.root.GetChild(0)->GetY(), 5);

    // A root missing from the held file fails and leaves no children, but keeps the file.
    EXPECT_FALSE(s.root.LoadLayout(kTestLayoutFile, "root_none"));
    EXPECT_EQ(s.root.GetChildCount(), 0);
    EXPECT_EQ(s.root.GetLayout(), held);

    // Another file replaces the document (the old one is freed: the sanitizer build checks).
    ASSERT_TRUE(s.root.LoadLayout("second_layout.txt", nullptr));
    EXPECT_NE(s.root.GetLayout(), nullptr);
    EXPECT_STREQ(s.root.GetFileName().CStr(), "second_layout.txt");
    EXPECT_EQ(s.root.GetWidth(), 200);

    // A file that cannot be read leaves nothing pointing into the freed document.
    EXPECT_FALSE(s.root.LoadLayout("missing_layout.txt", "root_other"));
    EXPECT_EQ(s.root.GetLayout(), nullptr);
    EXPECT_EQ(s.root.GetDesc(), nullptr);
    EXPECT_TRUE(s.root.GetFileName().IsEmpty());
    EXPECT_EQ(s.root.GetChildCount(), 0);
    EXPECT_FALSE(s.root.LoadLayout("missing_layout.txt", "root_other"));
}

TEST(RootWidget, ActionRunAndUndoneThroughTheHistory)
{
    Screen s;
    ASSERT_TRUE(s.root.LoadLayout(kTestLayoutFile, "root_main"));
    ScriptWidget* menu = ScriptWidget::FindByName(&s.root, "dlg_menu");
    s.Command("btn_options");
    EXPECT_EQ(s.Count(kMsgActionRun, "acn_open_options"), 1);
    EXPECT_EQ(s.Count(kMsgCommand, "btn_options"), 0);
    EXPECT_TRUE(menu->IsClosing());
    ScriptWidget* options = ScriptWidget::FindByName(&s.root, "dlg_options");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->GetX(), 80);
    EXPECT_EQ(options->GetY(), 60);
    EXPECT_EQ(options->GetFadeInStart(), 8);
    ASSERT_EQ(s.root.GetHistoryCount(), 1);
    UiAction* undo = s.root.GetHistoryAt(0);
    EXPECT_STREQ(undo->name.CStr(), "actionBack");
    ASSERT_EQ(undo->StepCount(), 2);
    EXPECT_EQ(undo->StepAt(0)->kind, kStepCreate);
    EXPECT_EQ(undo->StepAt(0)->placement.alignXInParent, 1);  // where the menu was placed
    EXPECT_EQ(undo->StepAt(1)->kind, kStepDestroy);
    EXPECT_EQ(undo->StepAt(1)->placement.outDuration.raw, 128);

    // Both fades run together; the menu is gone after its close and reported.
    s.Tick(17);
    EXPECT_NE(ScriptWidget::FindByName(&s.root, "dlg_menu"), nullptr);
    EXPECT_GT(options->GetOwnAlpha(), 0);
    s.Tick(1);
    EXPECT_EQ(ScriptWidget::FindByName(&s.root, "dlg_menu"), nullptr);
    EXPECT_EQ(s.Count(kMsgChildClosed, "dlg_menu"), 1);
    EXPECT_EQ(s.root.GetOwnAlpha(), kAlphaOpaque);

    // Back closes the options with the fade the create step gave them and re-creates the menu.
    s.Command("btn_back");
    EXPECT_EQ(s.Count(kMsgActionRun, "actionBack"), 1);
    EXPECT_EQ(s.root.GetHistoryCount(), 0);
    EXPECT_TRUE(options->IsClosing());
    EXPECT_EQ(options->GetFadeOutStep(), 3956);
    ScriptWidget* again = ScriptWidget::FindByName(&s.root, "dlg_menu");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetX(), 100);
    EXPECT_EQ(again->GetY(), 75);
    s.Tick(18);
    EXPECT_EQ(ScriptWidget::FindByName(&s.root, "dlg_options"), nullptr);
    EXPECT_EQ(s.Count(kMsgChildClosed, "dlg_options"), 1);

    // An empty history does nothing, but the command is still reported.
    s.root.OnEvent(&s.root, kMsgCommand, "btn_back", 0);
    EXPECT_EQ(s.Count(kMsgActionRun, "actionBack"), 2);
    EXPECT_NE(ScriptWidget::FindByName(&s.root, "dlg_menu"), nullptr);
}

TEST(RootWidget, RecordsOnlyUndoableActionsAndUndoesInReverse)
{
    Screen s;
    ASSERT_TRUE(s.root.LoadLayout(kTestLayoutFile, "root_main"));
    UiLayout* layout = s.root.GetLayout();
    // Nothing the help action makes holds a back-bound button.
    s.root.RunAction(layout->FindAction("acn_help"));
    EXPECT_EQ(s.root.GetHistoryCount(), 0);
    EXPECT_NE(ScriptWidget::FindByName(&s.root, "dlg_help"), nullptr);
    // A step naming no description does nothing; the others run.
    s.root.RunAction(layout->FindAction("acn_toast"));
    EXPECT_EQ(s.root.GetHistoryCount(), 0);

    UiAction* open = layout->FindAction("acn_open_options");
    s.root.RunAction(open);
    s.root.RunAction(open);
    ASSERT_EQ(s.root.GetHistoryCount(), 2);
    UiAction* first = s.root.GetHistoryAt(0);
    s.root.Back();
    ASSERT_EQ(s.root.GetHistoryCount(), 1);
    EXPECT_EQ(s.root.GetHistoryAt(0), first);
    s.root.Back();
    EXPECT_EQ(s.root.GetHistoryCount(), 0);
    s.root.Back();
    EXPECT_FALSE(s.root.RunAction(nullptr));
    EXPECT_FALSE(s.root.IsBoundToBack("actionBack", nullptr));
    EXPECT_FALSE(s.root.IsBoundToBack("", &s.root));
}

TEST(RootWidget, BuiltScreenFrames)
{
    Screen s;
    ASSERT_TRUE(s.root.LoadLayout(kTestLayoutFile, "root_main"));
    Surface* screen = s.app.GetScreenSurface();
    const uint16_t rootColour = pixel::Format565::Pack(10, 20, 30);
    const uint16_t menuColour = pixel::Format565::Pack(0, 0, 96);
    const uint16_t button = pixel::Format565::Pack(40, 200, 40);

    s.app.Draw();
    EXPECT_EQ(s.Pixel(2, 2), rootColour);
    EXPECT_EQ(s.Pixel(215, 160), menuColour);
    EXPECT_EQ(s.Pixel(131, 82), button);
    EXPECT_EQ(s.Pixel(310, 230), button);               // the corner button
    EXPECT_EQ(s.Pixel(150, 10), rootColour);            // the title waits for its fade-in
    EXPECT_EQ(s.Pixel(111, 126), s.Pixel(102, 126));    // the check box starts transparent
    uint64_t first = FrameHash(screen);

    s.Tick(30);
    s.app.Draw();
    EXPECT_NE(s.Pixel(150, 10), rootColour);            // the title is half faded in
    EXPECT_NE(s.Pixel(150, 10), pixel::Format565::Pack(250, 250, 250));
    EXPECT_EQ(s.Pixel(111, 126), pixel::Format565::Pack(250, 250, 40));
    uint64_t fading = FrameHash(screen);

    s.Command("btn_options");
    s.Tick(40);
    s.app.Draw();
    EXPECT_EQ(s.Pixel(150, 10), pixel::Format565::Pack(250, 250, 250));
    EXPECT_EQ(s.Pixel(85, 65), pixel::Format565::Pack(40, 80, 40));  // the options dialog
    EXPECT_EQ(s.Pixel(215, 160), pixel::Format565::Pack(40, 80, 40));
    uint64_t options = FrameHash(screen);

    EXPECT_NE(first, fading);
    EXPECT_NE(fading, options);
    // The same screen built again draws the same frames.
    Screen again;
    ASSERT_TRUE(again.root.LoadLayout(kTestLayoutFile, "root_main"));
    again.app.Draw();
    EXPECT_EQ(FrameHash(again.app.GetScreenSurface()), first);
    // The frames as first drawn and checked by the pixels above.
    EXPECT_EQ(first, 4698614202400029811ull);
    EXPECT_EQ(fading, 18333484603913238259ull);
    EXPECT_EQ(options, 16080480739851359619ull);
}
