// The soft keys of the shipped dialogs: in every dialog with buttons the left soft key confirms
// and the right one backs out, each through a button of the dialog's own; a screen's buttons and
// any button nested deeper carry none, so the soft keys keep their work on the screens, save a
// screen's only button (the help screens' OK), which nothing else there could want the key for.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "engine/ui/ui_layout.h"
#include "engine/ui/widget_desc.h"
#include "shipped_game_app.h"

TEST(ShippedDialogKeys, SoftKeysConfirmAndBackOutInEveryDialog)
{
    const std::set<std::string> confirms = {"STR_OK", "STR_YES", "STR_GO", "STR_CONTINUE"};
    const std::set<std::string> backs = {"STR_BACK", "STR_CANCEL", "STR_NO", "STR_RESUME"};
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        UiLayoutParser parser;
        std::unique_ptr<UiLayout> layout(UiLayout::LoadFile(parser, &app, "keloui.txt").value);
        ASSERT_NE(layout, nullptr);
        std::map<std::string, int> placedInDialogs;
        for (int i = 0; i < layout->DescCount(); ++i) {
            auto* dialog = dynamic_cast<DialogDesc*>(layout->DescAt(i));
            if (!dialog)
                continue;
            const std::string name = dialog->name.CStr();
            int buttons = 0;
            for (int c = 0; c < dialog->ChildCount(); ++c) {
                auto* button = dynamic_cast<ButtonDesc*>(layout->FindDesc(dialog->ChildAt(c)->name.CStr()));
                buttons += button && button->type == kDescButton;
            }
            std::map<int, int> sides;
            for (int c = 0; c < dialog->ChildCount(); ++c) {
                auto* button = dynamic_cast<ButtonDesc*>(layout->FindDesc(dialog->ChildAt(c)->name.CStr()));
                if (!button || button->type != kDescButton || button->shoulder == 0)
                    continue;
                EXPECT_TRUE(dialog->type == kDescDialog || buttons == 1)
                    << button->name.CStr() << " on the screen " << name;
                ++sides[button->shoulder];
                ++placedInDialogs[button->name.CStr()];
                const std::string txtid = button->txtid.CStr() ? button->txtid.CStr() : "";
                EXPECT_TRUE((button->shoulder == 1 ? confirms : backs).count(txtid))
                    << name << ": " << button->name.CStr() << " (" << txtid << ") on the wrong soft key";
            }
            EXPECT_LE(sides[1], 1) << name;
            EXPECT_LE(sides[2], 1) << name;
            if (dialog->type == kDescDialog && buttons > 0) {
                EXPECT_GT(sides[1] + sides[2], 0) << name << " answers neither soft key";
            }
        }
        // A shoulder button placed nowhere as a dialog's own child would go unanswered.
        for (int i = 0; i < layout->DescCount(); ++i) {
            auto* button = dynamic_cast<ButtonDesc*>(layout->DescAt(i));
            if (button && button->shoulder != 0) {
                EXPECT_TRUE(placedInDialogs.count(button->name.CStr())) << button->name.CStr();
            }
        }
    }
}
