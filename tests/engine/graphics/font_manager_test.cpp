#include <gtest/gtest.h>

#include <string>

#include "engine/graphics/font.h"
#include "engine/graphics/font_manager.h"
#include "image_fixtures.h"
#include "support/disk_app.h"

namespace {

struct Sheet {
    DiskApp app;
    FontManager manager{&app};
    bool Load(const std::string& text)
    {
        app.Write("styles.txt", text);
        return manager.Load(app.Engine("styles.txt").c_str()).ok();
    }
    // The made font copied into the image folder under the given name.
    void AddFontFiles(const std::string& name)
    {
        app.Write(name + ".jpg", fixtures::ReadFile(std::string(KELO_TEST_FONTS) + "/sans16.jpg"));
        app.Write(name + ".fdb", fixtures::ReadFile(std::string(KELO_TEST_FONTS) + "/sans16.fdb"));
    }
};

std::string Text(const String& s)
{
    return s.CStr() ? s.CStr() : "";
}

}  // namespace

TEST(FontManager, ParsesFontAndStyleBlocks)
{
    Sheet s;
    ASSERT_TRUE(s.Load(
        "// the sheet\n"
        "font = \"main\"\n  file = \"main.jpg\"\n  add_width = -1\n  add_height: 3\nend\n"
        "font: small\n file = small.jpg\nend\n"
        "style = title\n font = small\n color = 300, 0, 7\n effect = 3\nend\n"
        "style = glowing\n effect = glow\nend\n"
        "style = capital\n effect = \"Glow\"\n color = 1, 2\nend\n"
        "style = seven\n effect = 7\n"
        "style = ignored\n"   // inside the open block: no new style
        " color = 9,8,7\nend\n"
        "style = title\n effect = 1\nend\n"));
    ASSERT_EQ(s.manager.GetFontCount(), 2);
    FontEntry* main = s.manager.FindFont("main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text(main->file), "main.jpg");
    EXPECT_EQ(main->addWidth, -1);
    EXPECT_EQ(main->addHeight, 3);
    EXPECT_EQ(s.manager.GetDefaultFont(), main);
    EXPECT_EQ(s.manager.FindFont("small")->addWidth, 0);

    ASSERT_EQ(s.manager.GetStyleCount(), 5);
    FontStyle* title = s.manager.FindStyle("title");
    EXPECT_EQ(title, s.manager.GetFirstStyle());  // the first of two of that name
    EXPECT_EQ(title->r, 44);                      // 300 stored as a byte
    EXPECT_EQ(title->b, 7);
    EXPECT_EQ(title->effect, 3);
    EXPECT_EQ(Text(title->fontName), "small");
    EXPECT_EQ(s.manager.FindStyle("glowing")->effect, 3);
    FontStyle* capital = s.manager.FindStyle("capital");
    EXPECT_EQ(capital->effect, 0);
    EXPECT_EQ(capital->r, 0);  // two parts leave the colour as it was
    FontStyle* seven = s.manager.FindStyle("seven");
    EXPECT_EQ(seven->effect, 7);
    EXPECT_EQ(seven->r, 9);
    EXPECT_EQ(s.manager.FindStyle("ignored"), nullptr);
    EXPECT_EQ(FindEffectByName("white_border"), 4);
    EXPECT_EQ(FindEffectByName("Glow"), -1);
}

TEST(FontManager, NinthBlockStopsTheParse)
{
    Sheet s;
    std::string text;
    for (int i = 0; i < 9; ++i)
        text += "font = f" + std::to_string(i) + "\nend\n";
    EXPECT_FALSE(s.Load(text));
    EXPECT_EQ(s.manager.GetFontCount(), 8);
    EXPECT_TRUE(s.manager.Load(s.app.Engine("missing.txt").c_str()).failed());
    EXPECT_EQ(s.manager.GetFontCount(), 0);
}

TEST(FontManager, BuildsFontsAndResolvesStyles)
{
    Sheet s;
    s.app.imageFolder = hostpath::FromHost(s.app.folder) + "\\";
    s.AddFontFiles("good");
    ASSERT_TRUE(s.Load("font = broken\nfile = nothing.jpg\nend\n"
                       "font = good\nfile = good.jpg\nadd_height = 4\nend\n"
                       "font = plain\nfile = good.jpg\nadd_height = 0\nend\n"
                       "style = a\nfont = good\nend\nstyle = b\nfont = broken\nend\nstyle = c\nfont = other\nend\n"));
    ASSERT_TRUE(s.manager.BuildFonts().ok());
    EXPECT_EQ(s.manager.FindFont("broken")->font, nullptr);
    Font* good = s.manager.FindFont("good")->font;
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->GetExtraHeight(), 4);
    EXPECT_EQ(good->GetExtraWidth(), 0);  // no add_width sets 0, not the font's own 2
    EXPECT_EQ(s.manager.FindFont("plain")->font->GetExtraHeight(), 0);
    s.manager.ResolveStyleFonts();
    EXPECT_EQ(s.manager.FindStyle("a")->font, good);
    // The first entry has no font, so styles without their own fall back on nothing.
    EXPECT_EQ(s.manager.FindStyle("b")->font, nullptr);
    EXPECT_EQ(s.manager.FindStyle("c")->font, nullptr);

    Sheet t;
    t.app.imageFolder = hostpath::FromHost(t.app.folder) + "\\";
    t.AddFontFiles("good");
    ASSERT_TRUE(t.Load("font = good\nfile = good.jpg\nend\nstyle = x\nfont = missing\nend\n"));
    ASSERT_TRUE(t.manager.BuildFonts().ok());
    t.manager.ResolveStyleFonts();
    EXPECT_EQ(t.manager.FindStyle("x")->font, t.manager.GetDefaultFont()->font);
    FontManager orphan(nullptr);
    EXPECT_TRUE(orphan.BuildFonts().failed());
}
