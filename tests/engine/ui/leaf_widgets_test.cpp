#include <gtest/gtest.h>

#include <memory>

#include "engine/graphics/font.h"
#include "engine/core/engine_keys.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/tuner_widget.h"
#include "widget_art.h"

using namespace widget_art;

namespace {

struct Leaves : ::testing::Test {
    WidgetApp app{true};
    void SetUp() override { ASSERT_TRUE(Write(app)); }

    // Widgets made as the dialog's factory makes them, children of the application.
    template <typename W, typename D>
    std::unique_ptr<W> Make(D& desc)
    {
        auto widget = std::make_unique<W>(&app, nullptr, &desc, nullptr);
        initialised = widget->Init();
        return widget;
    }
    Font* LabelFont() { return app.GetFontManager()->FindStyle("label")->font; }
    bool initialised = false;
};

}  // namespace

TEST_F(Leaves, TextTakesLanguageTextsStylesAndMeasures)
{
    ASSERT_TRUE(app.LoadLanguage("id,enUS\nlabel,English\nSTR_VOLUME,Loudness\n"));
    TextDesc desc;
    desc.name.Assign("t");
    desc.text.caption.Assign("Volume");
    desc.txtid.Assign("STR_VOLUME");
    desc.text.style.Assign("menu");
    auto text = Make<TextWidget>(desc);
    ASSERT_TRUE(initialised);
    EXPECT_STREQ(text->GetText().CStr(), "Loudness");
    EXPECT_EQ(text->GetLook().green, 200);
    EXPECT_EQ(text->GetLook().effect, 1);
    Size size;
    text->GetPreferredSize(size);
    EXPECT_EQ(size.w, LabelFont()->MeasureText("Loudness"));
    EXPECT_EQ(size.h, LabelFont()->GetLineHeight());

    // A text id the table lacks, or a style the sheet lacks, is damage of that file: the widget
    // is not made. A widget without a text id shows its caption, one without a style the first.
    for (const char* lacking : {"txtid", "style"}) {
        TextDesc damaged;
        damaged.txtid.Assign(lacking[0] == 't' ? "STR_NOT_THERE" : "STR_VOLUME");
        damaged.text.style.Assign(lacking[0] == 't' ? "menu" : "not_there");
        Make<TextWidget>(damaged);
        EXPECT_FALSE(initialised) << lacking;
    }
    desc.txtid.Assign(nullptr);
    desc.text.style.Assign(nullptr);
    desc.text.caption.Assign(nullptr);
    desc.width = 200;
    desc.text.flags = kTextColourGiven;
    desc.text.red = 8;
    auto missing = Make<TextWidget>(desc);
    ASSERT_TRUE(initialised);
    EXPECT_TRUE(missing->GetText().IsEmpty());
    // The description's colour replaces all three of the style's.
    EXPECT_EQ(missing->GetLook().red, 8);
    EXPECT_EQ(missing->GetLook().green, 0);
    EXPECT_EQ(missing->GetPreferredSize(size).w, 200);
    app.GetScreenSurface()->Clear(0, 0, 0);
    uint64_t blank = app.FrameHash();
    missing->Draw();
    EXPECT_EQ(app.FrameHash(), blank);
    text->Draw();
    EXPECT_NE(app.FrameHash(), blank);
}

TEST_F(Leaves, InfoAndWrappedTexts)
{
    app.SetVersion("3.1", "1 May");
    TextInfoDesc info;
    info.infoType = 1;
    EXPECT_STREQ(Make<TextInfoWidget>(info)->GetText().CStr(), "1 May");
    info.infoType = 2;
    Make<TextInfoWidget>(info);
    EXPECT_FALSE(initialised);

    TextMultiDesc multi;
    multi.rowAddDy = 3;
    auto empty = Make<TextMultiWidget>(multi);
    ASSERT_TRUE(initialised);
    Size size;
    EXPECT_EQ(empty->GetPreferredSize(size).w, 5);
    EXPECT_EQ(size.h, 5);
    EXPECT_EQ(empty->GetWrapWidth(), 100);

    multi.text.caption.Assign("Balls roll along the track towards the hole");
    multi.width = 80;
    auto wrapped = Make<TextMultiWidget>(multi);
    ASSERT_TRUE(initialised);
    int lines = wrapped->GetBlock()->GetLineCount();
    EXPECT_GT(lines, 1);
    wrapped->GetPreferredSize(size);
    EXPECT_EQ(size.w, 80);
    EXPECT_EQ(size.h, (LabelFont()->GetLineHeight() + 3) * lines);
    wrapped->Relayout();
    EXPECT_EQ(wrapped->GetBlock()->GetLineCount(), lines);

    WidgetApp bare;
    auto unfonted = std::make_unique<TextMultiWidget>(&bare, nullptr, &multi, nullptr);
    EXPECT_FALSE(unfonted->Init());
}

TEST_F(Leaves, ProgressBarClampsAndFills)
{
    ProgressBarDesc desc;
    desc.emptyImage.file.Assign("bar_empty.png");
    desc.fullImage.file.Assign("bar_full.png");
    auto bar = Make<ProgressBarWidget>(desc);
    ASSERT_TRUE(initialised);
    Size size;
    EXPECT_EQ(bar->GetPreferredSize(size).w, 100);
    EXPECT_EQ(size.h, 6);
    bar->SetValue(300);
    EXPECT_EQ(bar->GetValue(), 256);
    EXPECT_EQ(bar->GetFilledWidth(), 100);
    bar->SetValue(-5);
    EXPECT_EQ(bar->GetValue(), 0);
    bar->SetValue(128);
    EXPECT_EQ(bar->GetFilledWidth(), 50);
    bar->Draw();
    EXPECT_EQ(app.Pixel(49, 3), kBarFull.Packed());
    EXPECT_EQ(app.Pixel(50, 3), kBarEmpty.Packed());

    // Without a full image no value is taken; a missing image file fails the bar.
    desc.fullImage.file.Assign(nullptr);
    auto hollow = Make<ProgressBarWidget>(desc);
    hollow->SetValue(100);
    EXPECT_EQ(hollow->GetValue(), 0);
    desc.emptyImage.file.Assign("no_such_bar");
    Make<ProgressBarWidget>(desc);
    EXPECT_FALSE(initialised);
}

TEST_F(Leaves, TiledBackgroundRowsAndColumns)
{
    TiledBgDesc desc;
    desc.tiles[kTileTop].Assign("tile_t");
    desc.tiles[kTileCenter].Assign("tile_c");
    desc.tiles[kTileBottom].Assign("tile_b");
    desc.tiles[kTileLeft].Assign("tile_l");
    auto panel = std::make_unique<TiledBgWidget>(&app, nullptr, &desc, nullptr, 2, 3);
    ASSERT_TRUE(panel->Init());
    // Without the side-tiles flag the left tile is not even loaded.
    EXPECT_EQ(app.sprites.FindByName("tile_l")->GetLoadCount(), 0);
    EXPECT_EQ(panel->GetNaturalWidth(), 40);
    EXPECT_EQ(panel->GetNaturalHeight(), 38);
    app.GetScreenSurface()->Clear(0, 0, 0);
    panel->Draw();
    EXPECT_EQ(app.Pixel(39, 3), kTopTile.Packed());
    EXPECT_EQ(app.Pixel(0, 4), kCenterTile.Packed());
    EXPECT_EQ(app.Pixel(39, 33), kCenterTile.Packed());
    EXPECT_EQ(app.Pixel(39, 34), kBottomTile.Packed());
    EXPECT_EQ(app.Pixel(40, 20), 0);
    EXPECT_EQ(app.Pixel(10, 38), 0);
    panel.reset();

    // With side tiles and no middle column the left and right columns touch.
    desc.sideTiles = 1;
    desc.tiles[kTileRight].Assign("tile_r");
    desc.ownTiles = 1;
    desc.tilesX = 0;
    desc.tilesY = 1;
    panel = std::make_unique<TiledBgWidget>(&app, nullptr, &desc, nullptr, 2, 3);
    ASSERT_TRUE(panel->Init());
    EXPECT_EQ(app.sprites.FindByName("tile_l")->GetLoadCount(), 1);
    EXPECT_EQ(panel->GetNaturalWidth(), 12);
    app.GetScreenSurface()->Clear(0, 0, 0);
    panel->Draw();
    EXPECT_EQ(app.Pixel(4, 8), kLeftTile.Packed());
    EXPECT_EQ(app.Pixel(5, 8), kRightTile.Packed());
    EXPECT_EQ(app.Pixel(11, 8), kRightTile.Packed());
    EXPECT_EQ(app.Pixel(12, 8), 0);
    panel.reset();
    EXPECT_EQ(app.sprites.FindByName("tile_l")->GetLoadCount(), 0);
    EXPECT_EQ(app.sprites.FindByName("tile_c")->GetFrameCount(), 0);
}

TEST_F(Leaves, ButtonLooksByFrameCount)
{
    ButtonDesc desc;
    desc.name.Assign("b");
    desc.image.file.Assign("button1");
    desc.image.frameCount = 1;
    desc.image.columns = 1;
    auto one = Make<ButtonWidget>(desc);
    ASSERT_TRUE(initialised);
    ASSERT_TRUE(one->IsOnFocusPath());
    EXPECT_EQ(one->GetVisualState(), 0);
    one->OnKey(kKeyAction, true);
    EXPECT_EQ(one->GetVisualState(), 0);
    one.reset();

    desc.image.useSet = true;
    desc.image.set.Assign("buttons");
    auto two = Make<ButtonWidget>(desc);
    ASSERT_TRUE(initialised);
    EXPECT_EQ(two->GetVisualState(), 1);
    two->OnKey(kKeyAction, true);
    EXPECT_EQ(two->GetVisualState(), 1);
    two->Draw();
    // The pressed frame 2 does not exist, so frame 0 is drawn.
    EXPECT_EQ(app.Pixel(5, 5), kMenu.Packed());
    two.reset();
    EXPECT_EQ(app.sprites.FindByName("buttons")->GetLoadCount(), 0);

    desc.image.useSet = false;
    desc.image.file.Assign("button.png");
    desc.image.frameCount = 3;
    desc.image.columns = 3;
    desc.text.caption.Assign("Go");
    desc.text.style.Assign("label");
    auto three = Make<ButtonWidget>(desc);
    ASSERT_TRUE(initialised);
    three->OnKey(kKeyAction, true);
    EXPECT_EQ(three->GetVisualState(), 2);
    // The caption moves one pixel while pressed, unless it is held still.
    app.GetScreenSurface()->Clear(0, 0, 0);
    three->DrawCaption();
    uint64_t pressedCaption = app.FrameHash();
    three->SetCaptionStill(true);
    app.GetScreenSurface()->Clear(0, 0, 0);
    three->DrawCaption();
    uint64_t stillCaption = app.FrameHash();
    three->CancelPress();
    app.GetScreenSurface()->Clear(0, 0, 0);
    three->DrawCaption();
    EXPECT_EQ(app.FrameHash(), stillCaption);
    EXPECT_NE(pressedCaption, stillCaption);
    EXPECT_EQ(app.events, (std::vector<SeenEvent>{{kMsgPressed, "b"}, {kMsgPressed, "b"}, {kMsgPressed, "b"}}));
}

TEST_F(Leaves, ButtonsRefuseInputWhenDisabledOrHidden)
{
    ButtonDesc desc;
    desc.name.Assign("b");
    desc.image.file.Assign("button.png");
    desc.image.frameCount = 3;
    desc.image.columns = 3;
    auto button = Make<ButtonWidget>(desc);
    button->SetEnabled(false);
    EXPECT_FALSE(button->OnKey(kKeyAction, true));
    EXPECT_FALSE(button->OnPointer(1, 1, 1));
    button->SetEnabled(true);
    button->Hide();
    EXPECT_FALSE(button->OnKey(kKeyAction, true));
    button->Show();
    // Other keys and a release without a press are taken without a message.
    EXPECT_TRUE(button->OnKey(kKeyRight, true));
    EXPECT_TRUE(button->OnKey(kKeyAction, false));
    EXPECT_TRUE(app.events.empty());
    // The hit box is the frame centred on the widget: 40 x 16 from (0, 0) here.
    EXPECT_TRUE(button->HitTest(39, 15));
    EXPECT_FALSE(button->HitTest(40, 15));
}

TEST_F(Leaves, CheckBoxTogglesOnEveryRelease)
{
    CheckBoxDesc desc;
    desc.name.Assign("c");
    desc.image.file.Assign("box.png");
    desc.image.frameCount = 2;
    desc.image.columns = 2;
    desc.checkedImage.file.Assign("box_on.png");
    desc.text.caption.Assign("Sound");
    desc.text.style.Assign("label");
    auto box = Make<CheckBoxWidget>(desc);
    ASSERT_TRUE(initialised);
    int blank = LabelFont()->MeasureText(" ");
    EXPECT_EQ(box->GetTextGap(), blank);
    Size size;
    box->GetPreferredSize(size);
    EXPECT_EQ(size.w, 12 + LabelFont()->MeasureText("Sound") + blank);
    EXPECT_EQ(size.h, std::max(12, LabelFont()->GetLineHeight()));
    box->OnKey(kKeyAction, true);
    box->OnKey(kKeyAction, false);
    box->OnKey(kKeyAction, true);
    box->OnKey(kKeyAction, false);
    box->OnKey(kKeyAction, false);
    EXPECT_EQ(app.events, (std::vector<SeenEvent>{{kMsgPressed, "c"},
                                                  {kMsgCheckToggled, "c"},
                                                  {kMsgPressed, "c"},
                                                  {kMsgCheckToggled, "c"},
                                                  {kMsgCheckToggled, "c"}}));
    EXPECT_TRUE(box->IsChecked());
    box->SetChecked(false);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(app.events.size(), 5u);
}

TEST_F(Leaves, TunerSnapsStepsAndClamps)
{
    TunerDesc desc;
    desc.name.Assign("t");
    desc.tunerId.Assign("track");
    desc.handleId.Assign("handle");
    auto tuner = Make<TunerWidget>(desc);
    ASSERT_TRUE(initialised);
    EXPECT_EQ(tuner->GetStep(), 5);
    tuner->SetFromPosition(37);
    EXPECT_EQ(tuner->GetValue(), 35);
    tuner->SetFromPosition(38);
    EXPECT_EQ(tuner->GetValue(), 40);
    tuner->SetFromPosition(0);
    EXPECT_EQ(tuner->GetValue(), 0);
    tuner->SetFromPosition(100);
    EXPECT_EQ(tuner->GetValue(), 100);
    EXPECT_EQ(tuner->GetHandlePosition(), 100);
    tuner->SetValue(-3);
    EXPECT_EQ(tuner->GetValue(), 0);

    // Stepped past either end it stays there and still reports.
    tuner->SetValue(98);
    EXPECT_TRUE(tuner->FocusNext(2));
    EXPECT_TRUE(tuner->FocusNext(2));
    EXPECT_EQ(tuner->GetValue(), 100);
    EXPECT_FALSE(tuner->FocusNext(4));
    EXPECT_FALSE(tuner->FocusPrev(3));
    tuner->SetValue(3);
    EXPECT_TRUE(tuner->FocusPrev(1));
    EXPECT_EQ(tuner->GetValue(), 0);
    EXPECT_EQ(app.events.size(), 3u);
    EXPECT_EQ(app.events.back().code, kMsgTunerChanged);

    // Half-way between two steps goes up: a track of 200 with 35 at 70 and 40 at 80.
    desc.offsetLeft = 50;
    desc.offsetRight = -150;
    auto offset = Make<TunerWidget>(desc);
    offset->SetFromPosition(50 + 75);
    EXPECT_EQ(offset->GetValue(), 40);

    // A maximum or step below 1 counts as 1, and the first value keeps within it; a vertical
    // tuner takes the up and down keys and measures its track the other way.
    desc.max = 0;
    desc.step = 0;
    desc.vertical = 1;
    auto small = Make<TunerWidget>(desc);
    ASSERT_TRUE(initialised);
    EXPECT_EQ(small->GetMax(), 1);
    EXPECT_EQ(small->GetStep(), 1);
    EXPECT_EQ(small->GetValue(), 1);
    EXPECT_TRUE(small->FocusPrev(3));
    EXPECT_EQ(small->GetValue(), 0);
    EXPECT_FALSE(small->FocusNext(2));
    Size size;
    EXPECT_EQ(small->GetTrackLength(), 8);
    EXPECT_EQ(small->GetPreferredSize(size).w, 100);
    EXPECT_EQ(size.h, 8);

    desc.tunerId.Assign(nullptr);
    Make<TunerWidget>(desc);
    EXPECT_FALSE(initialised);
}
