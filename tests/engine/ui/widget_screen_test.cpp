#include <gtest/gtest.h>

#include "engine/ui/button_widget.h"
#include "engine/core/engine_keys.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/tuner_widget.h"
#include "widget_art.h"

using namespace widget_art;

namespace {

constexpr int kVkF1 = 0x70;
constexpr int kVkF2 = 0x71;

// "root_widgets" built by the engine's factory; without fonts its frames hold only our art.
struct WidgetScreen {
    explicit WidgetScreen(bool fonts = false) : app(fonts)
    {
        EXPECT_TRUE(Write(app));
        app.SetVersion("1.2", "2024-01-01");
        built = root.LoadLayout(kTestLayoutFile, "root_widgets");
    }
    void Key(int key)
    {
        app.OnKey(key, true);
        app.OnKey(key, false);
    }
    void Soft(int virtualKey)
    {
        app.SetLastKey(virtualKey);
        root.OnKey(0, true);
        root.OnKey(0, false);
        app.SetLastKey(0);
    }
    void Pen(int x, int y, int kind) { app.OnPointer(x, y, kind); }
    std::vector<SeenEvent> Take()
    {
        std::vector<SeenEvent> seen = app.events;
        app.events.clear();
        return seen;
    }
    uint64_t Frame()
    {
        app.Draw();
        return app.FrameHash();
    }
    template <typename T>
    T* Get(const char* name)
    {
        return dynamic_cast<T*>(ScriptWidget::FindByName(&root, name));
    }

    WidgetApp app;
    RootWidget root{&app};
    bool built = false;
};

using Events = std::vector<SeenEvent>;

}  // namespace

TEST(WidgetScreen, BuildsEveryLeafKindFromTheLayout)
{
    WidgetScreen s(true);
    ASSERT_TRUE(s.built);
    EXPECT_NE(s.Get<ImageWidget>("wimg_logo"), nullptr);
    EXPECT_NE(s.Get<ProgressBarWidget>("wprg_load"), nullptr);
    EXPECT_NE(s.Get<CheckBoxWidget>("wchk_sound"), nullptr);
    EXPECT_NE(s.Get<ButtonWidget>("wbtn_menu"), nullptr);
    auto* panel = s.Get<TiledBgWidget>("wtb_panel");
    ASSERT_NE(panel, nullptr);
    // The dialog's centre tile counts reach its background.
    EXPECT_EQ(panel->GetTilesX(), 3);
    EXPECT_EQ(panel->GetTilesY(), 2);
    EXPECT_EQ(panel->GetNaturalWidth(), 60);
    EXPECT_EQ(panel->GetNaturalHeight(), 28);
    auto* tuner = s.Get<TunerWidget>("wtun_volume");
    ASSERT_NE(tuner, nullptr);
    EXPECT_EQ(tuner->GetTrackLength(), 100);
    EXPECT_EQ(tuner->GetValue(), 50);
    // Without a language table the caption stands; the info text is the version.
    EXPECT_STREQ(s.Get<TextWidget>("wtxt_label")->GetText().CStr(), "Volume");
    EXPECT_STREQ(s.Get<TextInfoWidget>("winf_version")->GetText().CStr(), "1.2");
    // The centred button is placed by its image's size.
    auto* ok = s.Get<ButtonWidget>("wbtn_ok");
    Size size;
    EXPECT_EQ(ok->GetPreferredSize(size).w, 40);
    EXPECT_EQ(ok->GetX(), 20);
}

TEST(WidgetScreen, KeysStylusAndSoftKeysSendTheMessages)
{
    WidgetScreen s;
    ASSERT_TRUE(s.built);
    auto* box = s.Get<CheckBoxWidget>("wchk_sound");
    auto* tuner = s.Get<TunerWidget>("wtun_volume");
    auto* ok = s.Get<ButtonWidget>("wbtn_ok");
    // Building the root steps the dialog's focus once more, from the check box to the tuner.
    ASSERT_TRUE(tuner->IsOnFocusPath());
    uint64_t start = s.Frame();
    EXPECT_EQ(s.app.Pixel(10, 102), kBox.Packed());
    EXPECT_EQ(s.app.Pixel(25, 205), kButton.Packed());
    EXPECT_EQ(s.app.Pixel(20, 42), kBarEmpty.Packed());
    EXPECT_EQ(s.app.Pixel(10, 10), kLogo.Packed());
    EXPECT_EQ(s.app.Pixel(2, 2), kTopTile.Packed());
    EXPECT_EQ(s.app.Pixel(50, 10), kCenterTile.Packed());
    EXPECT_EQ(s.app.Pixel(2, 26), kBottomTile.Packed());
    EXPECT_EQ(s.app.Pixel(70, 2), (Rgb{16, 16, 16}.Packed()));
    EXPECT_EQ(s.app.Pixel(8 + 40, 144), kTrackFull.Packed());
    EXPECT_EQ(s.app.Pixel(8 + 60, 144), kTrack.Packed());
    EXPECT_EQ(s.app.Pixel(8 + 50, 140), kHandleFocused.Packed());

    // The tuner's own direction keys step it; the others move the focus on.
    s.Key(kKeyRight);
    s.Key(kKeyRight);
    s.Key(kKeyLeft);
    EXPECT_EQ(s.Take(), (Events{{kMsgTunerChanged, "wtun_volume"},
                                {kMsgTunerChanged, "wtun_volume"},
                                {kMsgTunerChanged, "wtun_volume"}}));
    EXPECT_EQ(tuner->GetValue(), 55);
    s.Key(kKeyUp);
    EXPECT_TRUE(box->IsOnFocusPath());
    EXPECT_TRUE(s.Take().empty());
    s.Key(kKeyAction);
    EXPECT_EQ(s.Take(), (Events{{kMsgPressed, "wchk_sound"}, {kMsgCheckToggled, "wchk_sound"}}));
    EXPECT_TRUE(box->IsChecked());
    uint64_t keyed = s.Frame();
    EXPECT_EQ(s.app.Pixel(10, 102), kBoxOn.Packed());
    EXPECT_EQ(s.app.Pixel(8 + 50, 144), kTrackFull.Packed());
    EXPECT_EQ(s.app.Pixel(8 + 60, 144), kTrack.Packed());
    EXPECT_EQ(s.app.Pixel(8 + 55, 139), kHandle.Packed());
    s.Key(kKeyDown);
    EXPECT_TRUE(tuner->IsOnFocusPath());
    s.Key(kKeyDown);
    EXPECT_TRUE(ok->IsOnFocusPath());
    s.Key(kKeyAction);
    EXPECT_EQ(s.Take(), (Events{{kMsgPressed, "wbtn_ok"}, {kMsgCommand, "wbtn_ok"}}));

    // The soft keys press the shoulder buttons; the right one's command runs its bound action.
    s.Soft(kVkF1);
    EXPECT_EQ(s.Take(), (Events{{kMsgPressed, "wbtn_ok"}, {kMsgCommand, "wbtn_ok"}}));
    s.Soft(kVkF2);
    EXPECT_EQ(s.Take(), (Events{{kMsgPressed, "wbtn_menu"}, {kMsgActionRun, "acn_widgets_toast"}}));
    // The action made a second logo under the dialog.
    EXPECT_EQ(s.Get<ScriptWidget>("dlg_widgets")->GetChildCount(), 10);

    // The stylus: a check box tapped, a button released outside and then inside, a tuner dragged.
    s.Pen(12, 104, 1);
    s.Pen(12, 104, 2);
    EXPECT_EQ(s.Take(), (Events{{kMsgPressed, "wchk_sound"}, {kMsgCheckToggled, "wchk_sound"}}));
    EXPECT_FALSE(box->IsChecked());
    s.Pen(30, 205, 1);
    EXPECT_TRUE(ok->IsPressed());
    uint64_t pressed = s.Frame();
    EXPECT_EQ(s.app.Pixel(25, 205), kButtonPressed.Packed());
    s.Pen(90, 205, 3);
    EXPECT_FALSE(ok->IsPressed());
    s.Pen(30, 206, 3);
    EXPECT_TRUE(ok->IsPressed());
    s.Pen(90, 205, 2);
    EXPECT_EQ(s.Take(), (Events{{kMsgPressed, "wbtn_ok"}}));
    s.Pen(30, 205, 1);
    s.Pen(31, 206, 2);
    EXPECT_EQ(s.Take(), (Events{{kMsgPressed, "wbtn_ok"}, {kMsgCommand, "wbtn_ok"}}));
    s.Pen(8 + 37, 144, 1);
    s.Pen(8 + 81, 150, 3);
    s.Pen(8 + 200, 150, 2);
    EXPECT_EQ(s.Take(), (Events{{kMsgTunerDragged, "wtun_volume"},
                                {kMsgTunerDragged, "wtun_volume"},
                                {kMsgTunerChanged, "wtun_volume"}}));
    EXPECT_EQ(tuner->GetValue(), 100);
    EXPECT_EQ(s.app.GetModalWidget(), nullptr);
    uint64_t end = s.Frame();

    EXPECT_NE(start, keyed);
    EXPECT_NE(keyed, pressed);
    EXPECT_NE(pressed, end);
    // The same screen built again draws its first frame again.
    WidgetScreen again;
    EXPECT_EQ(again.Frame(), start);
    // The frames as first drawn and checked by the pixels above.
    EXPECT_EQ(start, 6665428173815250707ull);
    EXPECT_EQ(keyed, 14511358795230614883ull);
    EXPECT_EQ(pressed, 18890881078075291ull);
    EXPECT_EQ(end, 11466625768976162443ull);
}
