#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/font.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/ui/string_table.h"
#include "engine/ui/ui_layout.h"
#include "engine/ui/widget_desc.h"
#include "game/play/curve_file.h"
#include "game/tables/display_mode.h"
#include "shipped_app.h"

namespace {

// The whole of a packed file, as the game would read it.
std::string ReadPacked(ShippedApp& app, const std::string& below)
{
    PackMemoryFile file;
    if (!file.Open(&app, app.Path(below).c_str(), 2))
        return std::string();
    return std::string(reinterpret_cast<const char*>(file.GetBuffer()), size_t(file.GetSize()));
}

// The keys of the language table: the first cell of every row after the two header rows.
std::vector<std::string> LanguageKeys(ShippedApp& app)
{
    std::istringstream csv(ReadPacked(app, "Languages\\kelo.csv"));
    std::vector<std::string> keys;
    std::string row;
    for (int n = 0; std::getline(csv, row); ++n)
        if (n >= 2 && !row.empty())
            keys.push_back(row.substr(0, row.find(',')));
    return keys;
}

// The sprite scripts, then the layout script; null when either fails.
std::unique_ptr<UiLayout> LoadScripts(ShippedApp& app)
{
    if (!app.LoadSpriteScripts())
        return nullptr;
    UiLayoutParser parser;
    return std::unique_ptr<UiLayout>(UiLayout::LoadFile(parser, &app, "keloui.txt").value);
}

// Every sprite set a description names: tiles, tuner parts and images taken from sets.
std::vector<std::string> SetsNamedBy(const WidgetDesc* desc)
{
    std::vector<std::string> sets;
    auto add = [&](const String& name) {
        if (name.CStr() && *name.CStr())
            sets.push_back(name.CStr());
    };
    auto addSpec = [&](const ImageSpec& spec) {
        if (spec.useSet)
            add(spec.set);
    };
    if (auto* tiled = dynamic_cast<const TiledBgDesc*>(desc))
        for (const String& tile : tiled->tiles)
            add(tile);
    if (auto* tuner = dynamic_cast<const TunerDesc*>(desc)) {
        add(tuner->tunerId);
        add(tuner->fullId);
        add(tuner->handleId);
    }
    if (auto* image = dynamic_cast<const ImageDesc*>(desc))
        addSpec(image->image);
    if (auto* button = dynamic_cast<const ButtonDesc*>(desc))
        addSpec(button->image);
    if (auto* box = dynamic_cast<const CheckBoxDesc*>(desc))
        addSpec(box->checkedImage);
    if (auto* bar = dynamic_cast<const ProgressBarDesc*>(desc)) {
        addSpec(bar->emptyImage);
        addSpec(bar->fullImage);
    }
    return sets;
}

}  // namespace

TEST(ShippedScripts, StyleSheetsBuildTheSmallAndMainFontsEverywhere)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.LoadStyles().ok());
        ASSERT_GE(app.styles->GetFontCount(), 2);
        for (int i = 0; i < app.styles->GetFontCount(); ++i)
            EXPECT_NE(app.styles->GetFontEntry(i)->font, nullptr) << app.styles->GetFontEntry(i)->name.CStr();
        for (int i = 0; i < app.styles->GetStyleCount(); ++i) {
            FontStyle* style = app.styles->GetStyle(i);
            ASSERT_NE(app.styles->FindFont(style->fontName.CStr()), nullptr) << style->name.CStr();
            EXPECT_EQ(style->font, app.styles->FindFont(style->fontName.CStr())->font);
        }
        // The small font is the smaller: its line is lower than the main font's.
        Font* small = app.styles->GetFontEntry(0)->font;
        Font* main = app.styles->GetFontEntry(1)->font;
        EXPECT_LT(small->GetLineHeight(), main->GetLineHeight());
        if (r.height < 480) {
            // The game gives 161 the metrics of 33 here: the glyph was drawn for them.
            int lead[2], width[2], trail[2];
            small->GetGlyph(161, &lead[0], &width[0], &trail[0]);
            small->GetGlyph(33, &lead[1], &width[1], &trail[1]);
            EXPECT_EQ(lead[0], lead[1]);
            EXPECT_EQ(width[0], width[1]);
            EXPECT_EQ(trail[0], trail[1]);
        }
    }
}

// Every character of every text has a glyph in the small and the main font at every resolution.
TEST(ShippedScripts, EveryTextDrawsInBothFontsInEveryLanguage)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.LoadStyles().ok());
        ASSERT_TRUE(app.LoadLanguageTable());
        StringTable* table = app.GetLanguageTable();
        std::vector<std::string> keys = LanguageKeys(app);
        ASSERT_FALSE(keys.empty());
        for (int language = 0; language < table->GetLanguageCount(); ++language) {
            ASSERT_TRUE(table->SelectLanguage(language));
            for (const std::string& key : keys) {
                String text;
                table->Lookup(text, key.c_str());
                ASSERT_TRUE(text.CStr() && *text.CStr()) << key << " in language " << language;
                for (const char* p = text.CStr(); *p; ++p) {
                    int c = static_cast<unsigned char>(*p);
                    if (c <= 32)
                        continue;
                    for (int f = 0; f < 2; ++f) {
                        int lead, width, trail;
                        app.styles->GetFontEntry(f)->font->GetGlyph(c, &lead, &width, &trail);
                        EXPECT_GT(width, 0) << key << ": code " << c << " in font " << f;
                    }
                }
            }
        }
    }
}

TEST(ShippedScripts, LanguageTableSelectsEveryLanguageWithEnglishFirst)
{
    ShippedApp app(640, 480);
    ASSERT_TRUE(app.LoadLanguageTable());
    StringTable* table = app.GetLanguageTable();
    ASSERT_GE(table->GetLanguageCount(), 4);
    ASSERT_LE(table->GetLanguageCount(), 7);
    String name, label;
    EXPECT_STREQ(table->GetLanguageName(name, 0).CStr(), "enUS");
    EXPECT_STREQ(table->GetLanguageLabel(label, 0).CStr(), "English");
    EXPECT_STREQ(table->GetLanguageLabel(label, 2).CStr(), "Fran\xE7" "ais");
    for (int i = 0; i < table->GetLanguageCount(); ++i) {
        ASSERT_TRUE(table->SelectLanguage(i));
        // The map names are read by offset: the 23rd row after the first is the random map.
        String last, past;
        table->LookupOffset(last, "STR_DISPLAY_NAME_1", 22);
        table->LookupOffset(past, "STR_DISPLAY_NAME_1", 23);
        String direct;
        table->Lookup(direct, "STR_DISPLAY_NAME_23");
        EXPECT_STREQ(last.CStr(), direct.CStr());
        EXPECT_TRUE(direct.CStr() && *direct.CStr());
        EXPECT_FALSE(past.CStr() && past.Equals(direct));
    }
}

TEST(ShippedScripts, LayoutsParseAndTheirNamesResolve)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        std::unique_ptr<UiLayout> layout = LoadScripts(app);
        ASSERT_NE(layout, nullptr);
        ASSERT_GT(layout->DescCount(), 0);
        for (int i = 0; i < layout->DescCount(); ++i) {
            WidgetDesc* desc = layout->DescAt(i);
            SCOPED_TRACE(desc->name.CStr());
            if (auto* dialog = dynamic_cast<DialogDesc*>(desc)) {
                for (int c = 0; c < dialog->ChildCount(); ++c)
                    EXPECT_NE(layout->FindDesc(dialog->ChildAt(c)->name.CStr()), nullptr) << dialog->ChildAt(c)->name.CStr();
                if (dialog->background.CStr() && *dialog->background.CStr()) {
                    EXPECT_NE(layout->FindDesc(dialog->background.CStr()), nullptr);
                }
                for (int b = 0; b < dialog->BindingCount(); ++b) {
                    const char* action = dialog->BindingAt(b)->action.CStr();
                    EXPECT_TRUE(SameText(action, "actionBack") || layout->FindAction(action)) << action;
                }
            }
            for (const std::string& set : SetsNamedBy(desc))
                EXPECT_NE(app.sprites.FindByName(set.c_str()), nullptr) << set;
        }
    }
}

TEST(ShippedScripts, EverySpriteSetLoadsAtEveryResolution)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.LoadSpriteScripts());
        ASSERT_GT(app.sprites.GetCount(), 0);
        for (int i = 0; i < app.sprites.GetCount(); ++i) {
            ResourceEntry* set = app.sprites.Get(i);
            EXPECT_TRUE(set->Load().ok()) << set->GetName().CStr();
            set->Release();
        }
    }
}

// Every line of the manifest names something the game finds at every resolution.
TEST(ShippedScripts, ManifestIsSatisfiedAtEveryResolution)
{
    std::ifstream manifest(KELO_MANIFEST);
    ASSERT_TRUE(manifest.good());
    std::vector<std::pair<std::string, std::string>> wants;
    std::string line;
    while (std::getline(manifest, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        size_t blank = line.find(' ');
        ASSERT_NE(blank, std::string::npos) << line;
        wants.emplace_back(line.substr(0, blank), line.substr(blank + 1));
    }
    ASSERT_FALSE(wants.empty());
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        std::unique_ptr<UiLayout> layout = LoadScripts(app);
        ASSERT_NE(layout, nullptr);
        ASSERT_TRUE(app.LoadLanguageTable());
        StringTable* table = app.GetLanguageTable();
        for (const auto& [kind, name] : wants) {
            SCOPED_TRACE(kind + " " + name);
            if (kind == "set") {
                ResourceEntry* set = app.sprites.FindByName(name.c_str());
                ASSERT_NE(set, nullptr);
                EXPECT_TRUE(set->Load().ok());
                set->Release();
            } else if (kind == "image") {
                std::string path = std::string(app.GetImageFolder().CStr()) + name;
                std::unique_ptr<Surface> image(LoadImage(&app, path.c_str(), nullptr).value);
                EXPECT_NE(image, nullptr);
            } else if (kind == "mask") {
                std::string path = std::string(app.GetImageFolder().CStr()) + name;
                std::unique_ptr<Surface> mask(LoadAlphaImage(&app, path.c_str(), nullptr).value);
                ASSERT_NE(mask, nullptr);
                EXPECT_NE(mask->GetAlpha(), nullptr);
            } else if (kind == "layout") {
                EXPECT_TRUE(layout->FindDesc(name.c_str()) || layout->FindAction(name.c_str()));
            } else if (kind == "text") {
                for (int i = 0; i < table->GetLanguageCount(); ++i) {
                    ASSERT_TRUE(table->SelectLanguage(i));
                    String text;
                    EXPECT_TRUE(table->Lookup(text, name.c_str()).CStr()) << "language " << i;
                }
            } else if (kind == "curve") {
                // The screen's own variant: plain, z_wide or z_square.
                DesignMapping mapping{DisplayModeOf(r.width, r.height), r.width, r.height};
                String path = CurveFilePath(String(app.Path("z_levels\\").c_str()), mapping, name.c_str());
                PackMemoryFile file;
                EXPECT_TRUE(file.Open(&app, path.CStr(), 2)) << path.CStr();
            } else if (kind == "sound" || kind == "music") {
                PackMemoryFile file;
                EXPECT_TRUE(file.Open(&app, app.Path("Sounds\\" + name).c_str(), 2));
            } else {
                ADD_FAILURE() << "unknown manifest line";
            }
        }
    }
}
