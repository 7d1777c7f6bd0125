#include <gtest/gtest.h>

#include <string>

#include "engine/core/hash_name.h"
#include "engine/core/memory.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface_helpers.h"
#include "support/sprite_app.h"
#include "surface_test_support.h"

namespace {

struct Sprites : ::testing::Test {
    SpriteApp app;
    ResourceList& list = app.sprites;

    bool Script(const std::string& text)
    {
        app.Write("sprites.txt", text);
        return LoadSpriteScript(&app, app.Engine("sprites.txt").c_str()).ok();
    }
    ResourceEntry* Find(const char* name) { return list.FindByName(name); }
};

}  // namespace

TEST_F(Sprites, ScriptDeclaresSetsByKind)
{
    ASSERT_TRUE(Script(
        "// sets of every kind\n"
        "set = row\nfile = \"row.png\", 8\nend\n"
        "set = grid\n  file: grid, 8, 4\n  remove_rgba_in3d\n  force_8888_texture = 0\nend\n"
        "set = anim, multi\nfile = anim%d, 3, 1\nafile = anim_a%d\nend\n"
        "set = holes, multi_optional\nfile = h%02d, 4\nend\n"
        "set = shared, common_alpha\nfile = body, 6, 3\nafile = mask\nend\n"
        "set = odd, no_such_kind\nunknown_key = 5\nend\n"
        "end\n"
        "set\n"));
    ASSERT_EQ(list.GetCount(), 6);

    ResourceEntry* row = Find("row");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetKind(), kSpriteSingle);
    EXPECT_STREQ(row->GetFile().CStr(), "row.png");
    EXPECT_EQ(row->GetCount(), 8);
    EXPECT_EQ(row->GetColumnsOrFirst(), 8);
    EXPECT_EQ(row->GetLoadCount(), 0);
    EXPECT_EQ(row->GetFrameCount(), 0);

    ResourceEntry* grid = Find("grid");
    EXPECT_EQ(grid->GetCount(), 8);
    EXPECT_EQ(grid->GetColumnsOrFirst(), 4);
    EXPECT_TRUE(grid->GetRemoveRgbaIn3d());
    EXPECT_FALSE(grid->GetForce8888Texture());

    ResourceEntry* anim = Find("anim");
    EXPECT_EQ(anim->GetKind(), kSpriteMulti);
    EXPECT_EQ(anim->GetCount(), 3);
    EXPECT_EQ(anim->GetColumnsOrFirst(), 1);
    EXPECT_STREQ(anim->GetAlphaFile().CStr(), "anim_a%d");

    EXPECT_EQ(Find("holes")->GetKind(), kSpriteMultiOptional);
    EXPECT_EQ(Find("holes")->GetColumnsOrFirst(), 0);
    EXPECT_EQ(Find("shared")->GetKind(), kSpriteCommonAlpha);
    EXPECT_EQ(Find("shared")->GetColumnsOrFirst(), 3);
    EXPECT_EQ(Find("odd")->GetKind(), kSpriteSingle);
    EXPECT_EQ(Find("Row"), nullptr);
    EXPECT_EQ(Find(nullptr), nullptr);

    // A set asked for that no script declares is the scripts' damage, named; so is a block left
    // open at the end of a file, which is how a script cut short ends. The sets before it stay.
    EXPECT_EQ(list.Require("row").value, Find("row"));
    LoadResult lacking = list.Require("open").why;
    EXPECT_EQ(std::string(lacking.File()), app.Engine("sprites.txt"));
    EXPECT_STREQ(lacking.Reason(), "damaged: the sprite set \"open\" is not declared");
    app.Write("cut.txt", "set = kept\nfile = k, 1\nend\nset = open\nfile = never\n");
    LoadResult cut = LoadSpriteScript(&app, app.Engine("cut.txt").c_str());
    EXPECT_TRUE(cut.failed() && !cut.IsMissing());
    EXPECT_EQ(std::string(cut.File()), app.Engine("cut.txt"));
    EXPECT_NE(Find("kept"), nullptr);
    EXPECT_EQ(Find("open"), nullptr);
    EXPECT_EQ(std::string(list.Require("open").why.File()), app.Engine("sprites.txt") + " or " + app.Engine("cut.txt"));
}

TEST_F(Sprites, AtlasKeysAreStoredAndABadIndexLineStopsTheScript)
{
    ASSERT_TRUE(Script(
        "set = atlas\nfile = atlas\natlas_data = atlas.txt\nforce_atlas\nend\n"
        "set = icons\natlas_texture = atlas\natlas_indexes = icon%d, 2, 5\nend\n"
        // The texture name carries over into the next block.
        "set = more\natlas_indexes = more%d, 0, 1\nend\n"
        "set = none\natlas_indexes = x%d, 0, 0\nend\n"));
    ResourceEntry* atlas = Find("atlas");
    EXPECT_TRUE(atlas->HasAtlasData());
    EXPECT_STREQ(atlas->GetAtlasData().CStr(), "atlas.txt");
    EXPECT_TRUE(atlas->GetForceAtlas());
    EXPECT_FALSE(atlas->HasAtlas());
    ResourceEntry* icons = Find("icons");
    EXPECT_TRUE(icons->HasAtlas());
    EXPECT_STREQ(icons->GetAtlasTexture().CStr(), "atlas");
    EXPECT_STREQ(icons->GetAtlasIndexes().CStr(), "icon%d");
    EXPECT_EQ(icons->GetAtlasFirst(), 2);
    EXPECT_EQ(icons->GetAtlasCount(), 5);
    EXPECT_TRUE(Find("more")->HasAtlas());
    EXPECT_STREQ(Find("more")->GetAtlasTexture().CStr(), "atlas");
    EXPECT_FALSE(Find("none")->HasAtlas());

    list.Clear();
    EXPECT_FALSE(Script("set = a\nend\nset = b\natlas_indexes = b%d, 1\nend\nset = c\nend\n"));
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_NE(Find("a"), nullptr);
    EXPECT_FALSE(Script("set = d\natlas_indexes = d%d, 1, 2, 3\nend\n"));
    EXPECT_TRUE(LoadSpriteScript(&app, app.Engine("missing.txt").c_str()).failed());
    EXPECT_TRUE(LoadSpriteScript(nullptr, "x").failed());
}

TEST_F(Sprites, SheetCutsFiveFramesInTwoColumnsAndCountsItsLoads)
{
    ASSERT_TRUE(app.WriteSheet("sheet.png", 100, 90, 50, 30, 2));
    ASSERT_TRUE(Script("set = s\nfile = sheet, 5, 2\nend\n"));
    ResourceEntry* s = Find("s");
    ASSERT_TRUE(s->Load().ok());
    ASSERT_EQ(s->GetFrameCount(), 5);
    for (int i = 0; i < 5; ++i) {
        Surface* f = s->GetFrame(i);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->GetWidth(), 50);
        EXPECT_EQ(f->GetHeight(), 30);
        EXPECT_EQ(drawing_test::Logical(*f, 0, 0), SpriteApp::CellPixel(i, i / 2)) << i;
        EXPECT_EQ(drawing_test::Logical(*f, 49, 29), SpriteApp::CellPixel(i, i / 2)) << i;
        // Named without an alpha file, the frames are opaque.
        EXPECT_EQ(f->GetAlpha(), nullptr);
    }
    Surface* first = s->GetFrame(0);
    EXPECT_TRUE(s->Load().ok());
    EXPECT_EQ(s->GetLoadCount(), 2);
    EXPECT_EQ(s->GetFrame(0), first);
    s->Release();
    EXPECT_EQ(s->GetFrameCount(), 5);
    s->Release();
    EXPECT_EQ(s->GetFrameCount(), 0);
    EXPECT_EQ(s->GetFrame(0), nullptr);
    EXPECT_EQ(s->GetLoadCount(), 0);
    s->Release();
    EXPECT_EQ(s->GetLoadCount(), 0);
    // Declared sets can load again.
    ASSERT_TRUE(s->Load().ok());
    EXPECT_EQ(s->GetFrameCount(), 5);
}

TEST_F(Sprites, SheetAlphaComesFromTheSheetOrAnotherImage)
{
    ASSERT_TRUE(app.WriteSheet("sheet.png", 40, 20, 20, 10, 2));
    ASSERT_TRUE(app.WriteAlphaSheet("mask.png", 40, 20, 20, 10, 2, 100));
    ASSERT_TRUE(Script("set = own\nfile = sheet, 4, 2\nafile = sheet\nend\n"
                       "set = other\nfile = sheet, 4, 2\nafile = mask\nend\n"
                       "set = only\nafile = mask, 4, 2\nend\n"));
    ResourceEntry* own = Find("own");
    ASSERT_TRUE(own->Load().ok());
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(own->GetFrame(i)->GetAlpha(), nullptr);
        EXPECT_EQ(own->GetFrame(i)->GetAlpha()[0], SpriteApp::CellAlpha(i));
    }
    ResourceEntry* other = Find("other");
    ASSERT_TRUE(other->Load().ok());
    EXPECT_EQ(other->GetFrame(3)->GetAlpha()[0], SpriteApp::CellAlpha(3) + 100);
    EXPECT_EQ(drawing_test::Logical(*other->GetFrame(3), 0, 0), SpriteApp::CellPixel(3, 1));

    // With only an alpha file the frames hold alpha only, sized from the alpha image.
    ResourceEntry* only = Find("only");
    ASSERT_TRUE(only->Load().ok());
    Surface* f = only->GetFrame(2);
    EXPECT_EQ(f->GetWidth(), 20);
    EXPECT_EQ(f->GetHeight(), 10);
    EXPECT_EQ(f->GetPixels(), nullptr);
    ASSERT_NE(f->GetAlpha(), nullptr);
    EXPECT_EQ(f->GetAlpha()[0], SpriteApp::CellAlpha(2) + 100);
}

TEST_F(Sprites, SheetCuttingFollowsATurnedScreen)
{
    app.SetRotation(1);
    ASSERT_TRUE(app.WriteSheet("sheet.png", 60, 40, 20, 20, 3));
    ResourceEntry entry;
    entry.SetSingle(&app, "sheet", nullptr, 6, 3);
    ASSERT_TRUE(entry.Load().ok());
    for (int i = 0; i < 6; ++i) {
        Surface* f = entry.GetFrame(i);
        EXPECT_EQ(f->GetOrientation(), 1);
        EXPECT_EQ(f->GetWidth(), 20);
        EXPECT_EQ(f->GetHeight(), 20);
        EXPECT_EQ(drawing_test::Logical(*f, 0, 0), SpriteApp::CellPixel(i, i / 3)) << i;
        EXPECT_EQ(drawing_test::Logical(*f, 19, 19), SpriteApp::CellPixel(i, i / 3)) << i;
    }
}

TEST_F(Sprites, MultiSetsFormatTheirPatterns)
{
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(app.WriteSheet("f" + std::to_string(n) + ".png", 4, 4, 4, 4, 1));
    ASSERT_TRUE(app.WriteSheet("f02.png", 6, 2, 6, 2, 1));
    ASSERT_TRUE(app.WriteSheet("100%.png", 3, 3, 3, 3, 1));
    ResourceEntry multi;
    multi.SetMulti(&app, "f%d", nullptr, 3, 1);
    ASSERT_TRUE(multi.Load().ok());
    EXPECT_EQ(multi.GetFrameCount(), 3);
    EXPECT_EQ(multi.GetFrame(2)->GetWidth(), 4);

    ResourceEntry padded;
    padded.SetMulti(&app, "f%02i", nullptr, 1, 2);
    ASSERT_TRUE(padded.Load().ok());
    EXPECT_EQ(padded.GetFrame(0)->GetWidth(), 6);

    // A one-frame image named without a conversion, and a literal percent sign.
    ResourceEntry plain;
    plain.SetMulti(&app, "100%%", nullptr, 2, 7);
    ASSERT_TRUE(plain.Load().ok());
    EXPECT_EQ(plain.GetFrame(1)->GetWidth(), 3);

    for (const char* bad : {"f%s", "f%d%d", "f%x", "f%5d", "f%", "f%0d", "f%099d"}) {
        ResourceEntry refused;
        refused.SetMulti(&app, "f1", bad, 1, 1);
        EXPECT_TRUE(refused.Load().failed()) << bad;
        refused.SetMulti(&app, bad, nullptr, 1, 1);
        EXPECT_TRUE(refused.Load().failed()) << bad;
        EXPECT_EQ(refused.GetFrameCount(), 0);
    }
    String name;
    EXPECT_TRUE(FormatFramePattern(name, "a%04d_%%.png", 42));
    EXPECT_STREQ(name.CStr(), "a0042_%.png");
    EXPECT_TRUE(FormatFramePattern(name, "a%i", -3));
    EXPECT_STREQ(name.CStr(), "a-3");
}

TEST_F(Sprites, OptionalMultiLoadsWithHolesWhereMultiFails)
{
    ASSERT_TRUE(app.WriteSheet("p0.png", 4, 4, 4, 4, 1));
    ASSERT_TRUE(app.WriteSheet("p2.png", 4, 4, 4, 4, 1));
    ASSERT_TRUE(app.WriteAlphaSheet("q0.png", 4, 4, 4, 4, 1, 0));
    ASSERT_TRUE(Script("set = strict, multi\nfile = p%d, 3\nend\n"
                       "set = loose, multi_optional\nfile = p%d, 3\nend\n"
                       "set = masked, multi\nfile = p%d, 1\nafile = q%d\nend\n"));
    ResourceEntry* strict = Find("strict");
    EXPECT_TRUE(strict->Load().failed());
    EXPECT_EQ(strict->GetFrameCount(), 0);
    EXPECT_EQ(strict->GetLoadCount(), 0);
    ResourceEntry* loose = Find("loose");
    ASSERT_TRUE(loose->Load().ok());
    EXPECT_EQ(loose->GetFrameCount(), 3);
    EXPECT_NE(loose->GetFrame(0), nullptr);
    EXPECT_EQ(loose->GetFrame(1), nullptr);
    EXPECT_NE(loose->GetFrame(2), nullptr);
    // An opaque frame takes its alpha from the alpha pattern.
    ResourceEntry* masked = Find("masked");
    ASSERT_TRUE(masked->Load().ok());
    ASSERT_NE(masked->GetFrame(0)->GetAlpha(), nullptr);
    EXPECT_EQ(masked->GetFrame(0)->GetAlpha()[0], SpriteApp::CellAlpha(0));
}

TEST_F(Sprites, CommonAlphaMustBeOneFrameInSize)
{
    ASSERT_TRUE(app.WriteSheet("body.png", 30, 10, 10, 10, 3, false));
    ASSERT_TRUE(app.WriteAlphaSheet("mask.png", 10, 10, 10, 10, 1, 50));
    ASSERT_TRUE(app.WriteAlphaSheet("big.png", 30, 10, 10, 10, 3, 0));
    ASSERT_TRUE(Script("set = good, common_alpha\nfile = body, 3\nafile = mask\nend\n"
                       "set = bad, common_alpha\nfile = body, 3\nafile = big\nend\n"
                       "set = nomask, common_alpha\nfile = body, 3\nafile = none\nend\n"));
    ResourceEntry* good = Find("good");
    ASSERT_TRUE(good->Load().ok());
    ASSERT_NE(good->GetCommonAlpha(), nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(good->GetFrame(i)->GetAlpha(), good->GetCommonAlpha()->GetAlpha());
        EXPECT_TRUE(good->GetFrame(i)->IsAlphaShared());
    }
    EXPECT_EQ(good->GetFrame(0)->GetAlpha()[0], SpriteApp::CellAlpha(0) + 50);
    good->Release();
    EXPECT_EQ(good->GetCommonAlpha(), nullptr);

    for (const char* name : {"bad", "nomask"}) {
        ResourceEntry* e = Find(name);
        EXPECT_TRUE(e->Load().failed()) << name;
        EXPECT_EQ(e->GetFrameCount(), 0) << name;
        EXPECT_EQ(e->GetLoadCount(), 0) << name;
        EXPECT_EQ(e->GetCommonAlpha(), nullptr) << name;
    }
}

TEST_F(Sprites, AtlasDataIsReadOnLoadAndAMissingFileUnloadsTheSet)
{
    ASSERT_TRUE(app.WriteSheet("atlas.png", 8, 8, 8, 8, 1));
    app.Write("atlas.txt", "3\nball\n0\n0\n4\n4\n\xE9t\xE9\n4\n0\n4\n4\n");
    ASSERT_TRUE(Script("set = atlas\nfile = atlas\natlas_data = atlas.txt\nend\n"
                       "set = lost\nfile = atlas\natlas_data = lost.txt\nend\n"));
    ResourceEntry* atlas = Find("atlas");
    // A file that ends after two of the three items it announces is cut short.
    LoadResult cut = atlas->Load();
    EXPECT_TRUE(cut.failed() && !cut.IsMissing());
    EXPECT_NE(std::string(cut.File()).find("atlas.txt"), std::string::npos);
    EXPECT_EQ(atlas->GetLoadCount(), 0);
    app.Write("atlas.txt", "2\nball\n0\n0\n4\n4\n\xE9t\xE9\n4\n0\n4\n4\n");
    ASSERT_TRUE(atlas->Load().ok());
    ASSERT_EQ(atlas->GetAtlasItemCount(), 2);
    const AtlasItem* second = atlas->GetAtlasItem(1);
    EXPECT_STREQ(second->name.CStr(), "\xE9t\xE9");
    EXPECT_EQ(second->x, 4);
    EXPECT_EQ(second->w, 4);
    EXPECT_EQ(second->nameHash, int32_t(HashName("\xE9t\xE9")));
    atlas->Release();
    ASSERT_TRUE(atlas->Load().ok());
    EXPECT_EQ(atlas->GetAtlasItemCount(), 2);

    ResourceEntry* lost = Find("lost");
    EXPECT_TRUE(lost->Load().failed());
    EXPECT_EQ(lost->GetFrameCount(), 0);
    EXPECT_EQ(lost->GetLoadCount(), 0);
}

TEST_F(Sprites, SheetLoaderUndoesEverythingOnFailure)
{
    ASSERT_TRUE(app.WriteSheet("sheet.png", 20, 10, 10, 10, 2));
    int32_t counter = 3, frameCount = 0;
    Surface** frames = nullptr;
    int32_t* offsets = nullptr;
    EXPECT_TRUE(
        LoadSpriteSheet(2, 2, "sheet", "missing", 0, counter, frameCount, frames, offsets, true, &app, true).failed());
    EXPECT_EQ(counter, 3);
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(frames, nullptr);
    EXPECT_EQ(offsets, nullptr);
    EXPECT_TRUE(
        LoadSpriteSheet(2, 0, "sheet", nullptr, 0, counter, frameCount, frames, offsets, true, &app, true).failed());
    EXPECT_TRUE(
        LoadSpriteSheet(2, 2, nullptr, "", 0, counter, frameCount, frames, offsets, true, &app, true).failed());
    EXPECT_EQ(counter, 3);

    ASSERT_TRUE(
        LoadSpriteSheet(2, 2, "sheet", "sheet", 0, counter, frameCount, frames, offsets, false, &app, true).ok());
    EXPECT_EQ(counter, 4);
    ASSERT_EQ(frameCount, 2);
    ASSERT_NE(offsets, nullptr);
    EXPECT_EQ(offsets[0] | offsets[1] | offsets[2] | offsets[3], 0);
    // Without keep alpha the frames are colour-keyed.
    EXPECT_TRUE(frames[1]->IsColourKeyed());
    // Existing frames only count.
    EXPECT_TRUE(
        LoadSpriteSheet(2, 2, "sheet", nullptr, 0, counter, frameCount, frames, offsets, false, &app, true).ok());
    EXPECT_EQ(counter, 5);
    for (int i = 0; i < frameCount; ++i)
        delete frames[i];
    Free(frames);
    Free(offsets);
}

TEST_F(Sprites, FrameCountsAndColumnsAreBoundedBeforeUse)
{
    // A strip of 4096 one-pixel cells: 4096 columns is the most a sheet may have.
    ASSERT_TRUE(app.WriteSheet("strip.png", 4096, 1, 1, 1, 4096));
    ASSERT_TRUE(Script("set = widest\nfile = strip, 2, 4096\nend\n"
                       "set = wider\nfile = strip, 2, 4097\nend\n"
                       "set = huge\nfile = strip, 7, 2147483647\nend\n"
                       "set = shared, common_alpha\nfile = strip, 7, 2147483647\nafile = strip\nend\n"
                       "set = late, multi_optional\nfile = strip%d, 2, 2147483647\nend\n"));
    ResourceEntry* widest = Find("widest");
    ASSERT_TRUE(widest->Load().ok());
    ASSERT_EQ(widest->GetFrameCount(), 2);
    EXPECT_EQ(widest->GetFrame(1)->GetWidth(), 1);
    EXPECT_EQ(drawing_test::Logical(*widest->GetFrame(1), 0, 0), SpriteApp::CellPixel(1, 0));
    for (const char* name : {"wider", "huge", "shared", "late"}) {
        ResourceEntry* entry = Find(name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_TRUE(entry->Load().failed()) << name;
        EXPECT_EQ(entry->GetFrameCount(), 0) << name;
        EXPECT_EQ(entry->GetLoadCount(), 0) << name;
    }
}

TEST_F(Sprites, ListFindsRemovesAndClears)
{
    EXPECT_FALSE(list.Append(nullptr));
    EXPECT_EQ(list.GetLast(), nullptr);
    for (const char* name : {"one", "two", "three"})
        ASSERT_TRUE(list.AddSpriteSetSingle(name, "x", nullptr, 1, 1, false, true));
    EXPECT_TRUE(Find("two")->GetForce8888Texture());
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
    list.RemoveAt(1);
    EXPECT_EQ(Find("two"), nullptr);
    EXPECT_EQ(list.GetLast(), Find("three"));
    list.RemoveAt(7);
    EXPECT_EQ(list.GetCount(), 2);
    list.Get(0)->SetAtlasData("a.txt");
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);

    ResourceEntry unnamed;
    EXPECT_TRUE(unnamed.Load().failed());
    unnamed.SetName("");
    EXPECT_EQ(unnamed.GetNameHash(), 0);
}

TEST(HashNameTest, EmptyAndHighBytes)
{
    EXPECT_EQ(HashName(""), 0u);
    EXPECT_EQ(HashName("a"), 97u);
    EXPECT_EQ(HashName("ab"), 97u * 16 + 98);
    // A byte above 127 counts as a negative value.
    EXPECT_EQ(HashName("\xFF"), 0x0FFFFF0Fu);
    EXPECT_EQ(HashName("a\x80"), (97u * 16 - 128) & 0x7FFFFFFFu);
    // Long names fold their top bits back in and stay within 31 bits.
    EXPECT_LT(HashName("a_rather_long_sprite_set_name_with_many_bytes"), 0x80000000u);
    EXPECT_NE(HashName("btn_ok"), HashName("btn_ko"));
}
