#include <gtest/gtest.h>

#include <memory>

#include "engine/ui/ui_test_support.h"

namespace {

std::unique_ptr<UiLayout> ParseText(const std::string& text)
{
    TextStream stream(text);
    UiLayoutParser parser;
    auto layout = std::make_unique<UiLayout>();
    parser.document = layout.get();
    EXPECT_TRUE(UiLayout::ParseStream(parser, &stream));
    return layout;
}

std::string Text(const String& s)
{
    return s.CStr() ? s.CStr() : "";
}

template <typename T>
T* Desc(UiLayout& layout, const char* name)
{
    return dynamic_cast<T*>(layout.FindDesc(name));
}

}  // namespace

TEST(LayoutParser, ReadsEveryBlockOfTheTestScript)
{
    UiTestApp app;
    UiLayoutParser parser;
    std::unique_ptr<UiLayout> layout(UiLayout::LoadFile(parser, &app, kTestLayoutFile).value);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->DescCount(), 34);
    EXPECT_EQ(layout->ActionCount(), 7);

    auto* root = Desc<RootDesc>(*layout, "root_main");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->type, kDescRoot);
    EXPECT_EQ(root->sizeMethod, 0);
    EXPECT_EQ(root->modal, 0);  // not read in a root
    EXPECT_EQ(root->hasColour, 1);
    EXPECT_EQ(root->blue, 30);
    EXPECT_EQ(Text(root->background), "img_bg");
    EXPECT_EQ(root->alignBg, 1);
    EXPECT_EQ(root->alignBgV, 2);
    ASSERT_EQ(root->ChildCount(), 5);
    const ChildPlacement* title = root->ChildAt(0);
    EXPECT_EQ(Text(title->name), "txt_title");
    EXPECT_EQ(title->alignXInParent, 1);
    EXPECT_EQ(title->x, 0);
    EXPECT_EQ(title->y, 8);
    EXPECT_EQ(title->alignX, 1);
    EXPECT_TRUE(title->fadeIn);
    EXPECT_EQ(title->inDelay.raw, 128);
    EXPECT_EQ(title->inDuration.raw, 256);
    const ChildPlacement* corner = root->ChildAt(2);
    EXPECT_EQ(corner->x, -4);
    EXPECT_EQ(corner->y, -4);
    EXPECT_EQ(corner->alignX, 2);
    EXPECT_EQ(corner->alignY, 2);
    EXPECT_EQ(corner->alignXInParent, 2);
    EXPECT_EQ(corner->alignYInParent, 2);
    const ChildPlacement* toast = root->ChildAt(3);
    EXPECT_TRUE(toast->fadeOut);
    EXPECT_FALSE(toast->fadeIn);
    EXPECT_EQ(toast->outTime.raw, 512);
    EXPECT_EQ(toast->outDuration.raw, 128);
    ASSERT_EQ(root->BindingCount(), 4);
    EXPECT_EQ(Text(root->BindingAt(1)->command), "btn_back");
    EXPECT_EQ(Text(root->BindingAt(1)->action), "actionBack");
    EXPECT_EQ(root->BindingAt(1)->code, kMsgCommand);

    auto* bg = Desc<ImageDesc>(*layout, "img_bg");
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(Text(bg->image.file), "bg.png");
    EXPECT_EQ(Text(bg->image.afile), "bg_a.png");
    EXPECT_EQ(bg->image.frameCount, 4);
    EXPECT_EQ(bg->image.columns, 4);
    EXPECT_EQ(bg->width, 200);
    EXPECT_EQ(bg->height, 100);

    auto* titleText = Desc<TextDesc>(*layout, "txt_title");
    ASSERT_NE(titleText, nullptr);
    EXPECT_EQ(Text(titleText->text.caption), "Kelo: test");
    EXPECT_EQ(Text(titleText->txtid), "STR_TITLE");
    EXPECT_EQ(Text(titleText->text.style), "title");
    EXPECT_EQ(titleText->text.green, 200);
    EXPECT_EQ(titleText->text.effect, 1);
    EXPECT_EQ(titleText->text.flags, kTextColourGiven | kTextEffectGiven);
    EXPECT_EQ(Desc<TextDesc>(*layout, "txt_toast")->text.effect, 3);

    auto* menu = Desc<DialogDesc>(*layout, "dlg_menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->modal, 1);
    EXPECT_EQ(menu->bgCenterTilesX, 3);
    EXPECT_EQ(menu->bgCenterTilesY, 2);
    EXPECT_EQ(menu->sizeMethod, 0);
    EXPECT_EQ(menu->ChildCount(), 4);
    EXPECT_EQ(menu->BindingCount(), 1);
    EXPECT_EQ(Desc<DialogDesc>(*layout, "dlg_options")->modal, 2);
    EXPECT_EQ(Desc<DialogDesc>(*layout, "dlg_confirm")->modal, 0);

    auto* play = Desc<ButtonDesc>(*layout, "btn_play");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->image.frameCount, 6);
    EXPECT_EQ(play->image.columns, 3);
    EXPECT_EQ(play->text.effect, 2);
    EXPECT_EQ(play->shoulder, 1);
    EXPECT_EQ(Desc<ButtonDesc>(*layout, "btn_help")->shoulder, 2);
    EXPECT_EQ(Desc<ButtonDesc>(*layout, "btn_help")->image.frameCount, 1);
    auto* options = Desc<ButtonDesc>(*layout, "btn_options");
    EXPECT_TRUE(options->image.useSet);
    EXPECT_EQ(Text(options->image.set), "buttons");
    EXPECT_EQ(options->image.frame, 2);
    auto* back = Desc<ButtonDesc>(*layout, "btn_back");
    EXPECT_EQ(back->image.frameCount, 2);
    EXPECT_EQ(back->image.columns, 2);

    auto* check = Desc<CheckBoxDesc>(*layout, "chk_sound");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(Text(check->checkedImage.file), "box_on.png");
    EXPECT_EQ(Text(check->checkedImage.afile), "box_on_a.png");
    EXPECT_TRUE(check->checkedImage.useSet);
    EXPECT_EQ(check->image.frameCount, 2);
    EXPECT_EQ(check->textAlign, 1);
    EXPECT_EQ(check->textOffset, -3);
    EXPECT_EQ(check->text.flags & kTextColourGiven, 0);  // two items are not a colour

    auto* bar = Desc<ProgressBarDesc>(*layout, "prg_volume");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(Text(bar->emptyImage.file), "bar_empty.png");
    EXPECT_EQ(Text(bar->emptyImage.afile), "bar_empty_a.png");
    EXPECT_TRUE(bar->fullImage.useSet);
    EXPECT_EQ(bar->fullImage.frame, 1);

    auto* tiles = Desc<TiledBgDesc>(*layout, "tbg_panel");
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(Text(tiles->tiles[kTileCenter]), "p_c");
    EXPECT_EQ(Text(tiles->tiles[kTileRightBottom]), "p_rb");
    EXPECT_EQ(tiles->sideTiles, 1);
    EXPECT_EQ(tiles->ownTiles, 1);
    EXPECT_EQ(tiles->tilesX, 4);
    EXPECT_EQ(tiles->tilesY, 0);

    auto* tuner = Desc<TunerDesc>(*layout, "tun_music");
    ASSERT_NE(tuner, nullptr);
    EXPECT_EQ(Text(tuner->handleId), "handle");
    EXPECT_EQ(tuner->fullFrame, 2);
    EXPECT_EQ(tuner->step, 10);
    EXPECT_EQ(tuner->max, 50);
    EXPECT_EQ(tuner->offsetRight, 4);
    EXPECT_EQ(tuner->vertical, 1);

    auto* multi = Desc<TextMultiDesc>(*layout, "txm_help");
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(multi->mtAlign, 2);
    EXPECT_EQ(multi->rowAddDy, 2);
    EXPECT_EQ(Desc<TextInfoDesc>(*layout, "inf_version")->infoType, 1);

    UiAction* open = layout->FindAction("acn_open_options");
    ASSERT_NE(open, nullptr);
    ASSERT_EQ(open->StepCount(), 2);
    EXPECT_EQ(open->StepAt(0)->kind, kStepDestroy);
    EXPECT_TRUE(open->StepAt(0)->placement.fadeOut);
    EXPECT_EQ(open->StepAt(0)->placement.outDuration.raw, 128);
    const ChildPlacement& v2 = open->StepAt(1)->placement;
    EXPECT_EQ(Text(open->StepAt(1)->target), "dlg_options");
    EXPECT_EQ(v2.alignX + v2.alignXInParent + v2.alignY + v2.alignYInParent, 4);
    EXPECT_TRUE(v2.fadeIn);
    EXPECT_EQ(v2.inDelay.raw, 64);
    EXPECT_EQ(v2.inDuration.raw, 128);
    EXPECT_TRUE(v2.fadeOut);
    EXPECT_EQ(v2.outTime.raw, 0);  // a step line gives no out time
    const ChildPlacement& help = layout->FindAction("acn_help")->StepAt(0)->placement;
    EXPECT_EQ(help.alignXInParent, 1);
    EXPECT_EQ(help.y, 20);
    EXPECT_EQ(help.alignX, 1);
    EXPECT_TRUE(help.fadeIn);
    EXPECT_EQ(help.inDuration.raw, 128);
    EXPECT_EQ(help.outDuration.raw, 64);
    EXPECT_EQ(layout->FindAction("acn_toast")->StepCount(), 3);
    EXPECT_NE(layout->FindAction("acn_unquoted"), nullptr);

    // Byte for byte: case matters, and the first root is the first block of type 0.
    EXPECT_EQ(layout->FindDesc("BTN_PLAY"), nullptr);
    EXPECT_EQ(layout->FindAction("ACN_HELP"), nullptr);
    EXPECT_EQ(layout->FindFirstRoot(), root);
}

TEST(LayoutParser, BlockStructure)
{
    auto layout = ParseText(
        "end\n"
        "widget = \"odd\"\n"
        "size = 5\n"
        "end\n"
        "\"stray\"\n"
        "end\n"
        "image = \"pic\"\n"
        "child = \"x\"\n"
        "size = 9, 9\n"
        "end\n"
        "actions\n"
        "onCommand = \"a\", \"b\"\n"
        "end\n"
        "size = 3,4\n"
        "end\n"
        "root = \"r\"\n"
        "modal = children\n"
        "child = \"pic\"\n"
        "end\n"
        "size = 7 8\n"
        "end\n"
        "text = \"pic\"\n"
        "end\n");
    ASSERT_EQ(layout->DescCount(), 5);
    // Unknown words and a stray line make roots named by the value.
    EXPECT_EQ(layout->DescAt(0)->type, kDescRoot);
    EXPECT_STREQ(layout->DescAt(0)->name.CStr(), "odd");
    EXPECT_EQ(layout->DescAt(0)->width, 5);
    EXPECT_EQ(layout->DescAt(0)->height, 0);
    EXPECT_STREQ(layout->DescAt(1)->name.CStr(), "stray");
    // Sub-blocks in an image are read and dropped; their "end" does not close the image.
    WidgetDesc* pic = layout->DescAt(2);
    EXPECT_EQ(pic->width, 3);
    EXPECT_EQ(pic->height, 4);
    auto* root = dynamic_cast<RootDesc*>(layout->DescAt(3));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->modal, 0);
    EXPECT_EQ(root->width, 7);
    EXPECT_EQ(root->ChildCount(), 1);
    // The earlier of two descriptions of one name is found.
    EXPECT_EQ(layout->FindDesc("pic"), pic);
}

TEST(LayoutParser, ValueForms)
{
    auto layout = ParseText(
        "image = \"i\"\n"
        "file = a.png\n"
        "afile = b.png, 7, 5\n"
        "end\n"
        "image = \"j\"\n"
        "afile = c.png, 3\n"
        "end\n"
        "checkBox = \"c0\"\n"
        "textOffset = 0\n"
        "textAlign = left\n"
        "effect = nonsense\n"
        "end\n"
        "checkBox = \"cx\"\n"
        "textOffset = abc\n"
        "effect = \"glow\"\n"
        "end\n"
        "checkBox = \"cy\"\n"
        "effect = \"glow\"\n"
        "effect = Glow\n"
        "end\n"
        "tuner = \"t\"\n"
        "anything = vertical\n"
        "end\n"
        "tiledBG = \"tb\"\n"
        "top = \"t\"\n"
        "own_tiles = 3\n"
        "end\n"
        "text_multi = \"m\"\n"
        "mt_align = -3\n"
        "end\n"
        "root = \"r\"\n"
        "alignBg = 7\n"
        "child = \"i\"\n"
        "position = centered\n"
        "end\n"
        "child = \"j\"\n"
        "position = 12\n"
        "in = 0.25\n"
        "out = 1.5, 0.005\n"
        "end\n"
        "child = \"i\"\n"
        "in = 0.5, 2\n"
        "in =\n"
        "out =\n"
        "end\n"
        "actions\n"
        "onCommand = \"only_one\"\n"
        "other = \"a\", \"b\"\n"
        "end\n"
        "end\n");
    auto* i = dynamic_cast<ImageDesc*>(layout->FindDesc("i"));
    EXPECT_EQ(i->image.frameCount, 1);
    EXPECT_EQ(i->image.columns, 1);
    auto* j = dynamic_cast<ImageDesc*>(layout->FindDesc("j"));
    EXPECT_EQ(j->image.frameCount, 3);
    EXPECT_EQ(j->image.columns, 3);
    auto* c0 = dynamic_cast<CheckBoxDesc*>(layout->FindDesc("c0"));
    EXPECT_EQ(c0->textOffset, 0);
    EXPECT_EQ(c0->textAlign, 0);
    EXPECT_EQ(c0->text.flags, 0);
    auto* cx = dynamic_cast<CheckBoxDesc*>(layout->FindDesc("cx"));
    EXPECT_EQ(cx->textOffset, kTextOffsetUnset);
    EXPECT_EQ(cx->text.effect, 3);
    EXPECT_EQ(cx->text.flags, kTextEffectGiven);
    // A later unknown name takes back what an earlier line gave.
    auto* cy = dynamic_cast<CheckBoxDesc*>(layout->FindDesc("cy"));
    EXPECT_EQ(cy->text.effect, 0);
    EXPECT_EQ(cy->text.flags, 0);
    EXPECT_EQ(dynamic_cast<TunerDesc*>(layout->FindDesc("t"))->vertical, 1);
    auto* tb = dynamic_cast<TiledBgDesc*>(layout->FindDesc("tb"));
    EXPECT_EQ(tb->ownTiles, 1);
    EXPECT_EQ(tb->tilesX, 0);
    EXPECT_EQ(tb->sideTiles, 0);
    EXPECT_EQ(dynamic_cast<TextMultiDesc*>(layout->FindDesc("m"))->mtAlign, -3);
    auto* r = dynamic_cast<RootDesc*>(layout->FindDesc("r"));
    EXPECT_EQ(r->alignBg, 7);
    EXPECT_EQ(r->ChildAt(0)->alignXInParent, 1);
    const ChildPlacement* p = r->ChildAt(1);
    EXPECT_EQ(p->x, 0);  // one item is not a position
    EXPECT_TRUE(p->fadeIn);
    EXPECT_EQ(p->inDelay.raw, 64);
    EXPECT_EQ(p->inDuration.raw, 0);
    EXPECT_EQ(p->outTime.raw, 384);
    EXPECT_EQ(p->outDuration.raw, 1);
    // An empty line sets its flag and leaves the times as they were.
    const ChildPlacement* kept = r->ChildAt(2);
    EXPECT_TRUE(kept->fadeIn);
    EXPECT_EQ(kept->inDelay.raw, 128);
    EXPECT_EQ(kept->inDuration.raw, 512);
    EXPECT_TRUE(kept->fadeOut);
    EXPECT_EQ(kept->outTime.raw, 0);
    EXPECT_EQ(r->BindingCount(), 0);
}

TEST(LayoutParser, StepLines)
{
    auto layout = ParseText(
        "action = \"a\"\n"
        "create = \"only\"\n"
        "create = \"two\", 30\n"
        "createV2 = \"v2\", centered, 5, right, right, bottom, bottom\n"
        "create = \"c\", centered, 5, right, 1, 1, 2, 1, 0.5, 99, 99\n"
        "destroy =\n"
        "destroy\n"
        "destroy = \"gone\", 0, 2\n"
        "unknown = \"x\"\n"
        "end\n"
        "action = \"a\"\n"
        "end\n");
    ASSERT_EQ(layout->ActionCount(), 2);
    UiAction* a = layout->FindAction("a");
    EXPECT_EQ(a, layout->ActionAt(0));
    ASSERT_EQ(a->StepCount(), 6);
    const ChildPlacement& only = a->StepAt(0)->placement;
    EXPECT_EQ(only.x + only.y + only.alignX + only.alignXInParent, 0);
    EXPECT_FALSE(only.fadeIn || only.fadeOut);
    EXPECT_EQ(a->StepAt(1)->placement.x, 0);
    const ChildPlacement& v2 = a->StepAt(2)->placement;
    EXPECT_EQ(v2.x, 0);
    EXPECT_EQ(v2.alignXInParent, 2);
    EXPECT_EQ(v2.y, 5);
    EXPECT_EQ(v2.alignX, 2);
    EXPECT_EQ(v2.alignY, 2);
    EXPECT_EQ(v2.alignYInParent, 2);
    const ChildPlacement& c = a->StepAt(3)->placement;
    EXPECT_EQ(c.alignXInParent, 1);
    EXPECT_EQ(c.alignX, 2);
    EXPECT_TRUE(c.fadeIn);
    EXPECT_EQ(c.inDelay.raw, 256);
    EXPECT_EQ(c.inDuration.raw, 512);
    EXPECT_TRUE(c.fadeOut);
    EXPECT_EQ(c.outDuration.raw, 128);
    EXPECT_EQ(a->StepAt(4)->kind, kStepDestroy);
    EXPECT_TRUE(a->StepAt(4)->target.IsEmpty());
    EXPECT_FALSE(a->StepAt(5)->placement.fadeOut);
    EXPECT_EQ(a->StepAt(5)->placement.outDuration.raw, 512);
}

TEST(LayoutParser, ByNameReadersKeepWholeBlocks)
{
    const std::string text =
        "button = \"btn\"\n"
        "end\n"
        "child = \"dlg\"\n"
        "dialog = dlg\n"
        "end\n"
        "dialog = \"dlg\"\n"
        "size = 50, 40\n"
        "child = \"btn\"\n"
        "position = 1, 2\n"
        "end\n"
        "actions\n"
        "onCommand = \"btn\", \"act\"\n"
        "end\n"
        "child = \"btn\"\n"
        "position = 3, 4\n"
        "end\n"
        "color = 1, 2, 3\n"
        "end\n"
        "action = unquoted\n"
        "create = \"btn\"\n"
        "end\n"
        "action = \"act\"\n"
        "destroy = \"btn\"\n"
        "create = \"btn\", 1, 2\n"
        "end\n"
        "action = \"cut\"\n";
    TextStream stream(text);
    UiLayoutParser parser;
    std::unique_ptr<WidgetDesc> desc(UiLayout::ReadDescByName(parser, &stream, "\"dlg\""));
    auto* dialog = dynamic_cast<DialogDesc*>(desc.get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->ChildCount(), 2);
    EXPECT_EQ(dialog->ChildAt(1)->y, 4);
    EXPECT_EQ(dialog->BindingCount(), 1);
    EXPECT_EQ(dialog->hasColour, 1);
    EXPECT_EQ(dialog->width, 50);
    EXPECT_EQ(UiLayout::ReadDescByName(parser, &stream, "\"none\""), nullptr);
    // The raw value is compared: the unquoted line is the one found for the bare name.
    std::unique_ptr<WidgetDesc> bare(UiLayout::ReadDescByName(parser, &stream, "dlg"));
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(dynamic_cast<DialogDesc*>(bare.get())->ChildCount(), 0);

    std::unique_ptr<UiAction> act(UiLayout::ReadActionByName(parser, &stream, "\"act\""));
    ASSERT_NE(act, nullptr);
    EXPECT_STREQ(act->name.CStr(), "act");
    EXPECT_EQ(act->StepCount(), 2);
    // An unquoted action is not found by its quoted name; one without "end" is not returned.
    EXPECT_EQ(UiLayout::ReadActionByName(parser, &stream, "\"unquoted\""), nullptr);
    EXPECT_EQ(UiLayout::ReadActionByName(parser, &stream, "\"cut\""), nullptr);
    TextStream open("image = \"x\"\nsize = 1\n");
    EXPECT_EQ(UiLayout::ReadDescByName(parser, &open, "\"x\""), nullptr);
}

TEST(LayoutParser, FilesFromTheUiFolder)
{
    UiTestApp app;
    UiLayoutParser parser;
    EXPECT_EQ(UiLayout::LoadFile(parser, &app, "no_such_layout.txt").value, nullptr);
    EXPECT_EQ(UiLayout::LoadDescByName(parser, &app, "no_such_layout.txt", "\"dlg_menu\""), nullptr);
    std::unique_ptr<WidgetDesc> menu(UiLayout::LoadDescByName(parser, &app, kTestLayoutFile, "\"dlg_menu\""));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(dynamic_cast<DialogDesc*>(menu.get())->ChildCount(), 4);
    EXPECT_EQ(dynamic_cast<DialogDesc*>(menu.get())->BindingCount(), 1);
    std::unique_ptr<UiAction> help(UiLayout::LoadActionByName(parser, &app, kTestLayoutFile, "\"acn_help\""));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->StepCount(), 1);
}

TEST(LayoutParser, ApplicationKeepsNamedDocuments)
{
    UiTestApp app;
    UiLayoutParser parser;
    UiLayout* layout = UiLayout::LoadFile(parser, &app, kTestLayoutFile).value;
    ASSERT_NE(layout, nullptr);
    ASSERT_TRUE(app.AddLayoutDocument("main", layout));
    EXPECT_EQ(app.FindLayoutDocument("main"), layout);
    EXPECT_EQ(app.FindLayoutDocument("Main"), nullptr);
    EXPECT_FALSE(app.AddLayoutDocument("none", nullptr));
    EXPECT_EQ(app.GetLayoutDocumentCount(), 1);
    // The application frees the document; the sanitizer build would see it leak otherwise.
}
