#include <gtest/gtest.h>

#include <string>

#include "engine/core/application.h"
#include "engine/core/pack_memory_file.h"
#include "engine/ui/string_table.h"
#include "support/disk_app.h"

namespace {

std::string Text(const String& s)
{
    return s.CStr() ? s.CStr() : "";
}

const char kCsv[] =
    "id,enUS,deDE,frFR\r\n"
    "label,English,\"Deutsch, DE\",Fran\xe7" "ais\r\n"
    "STR_HELLO,  Hello  ,Hallo,Bonjour\n"
    "STR_QUOTE,\"He said \"\"hi, there\"\"\",x,\n"
    "STR_ESC,a\\nb\\tc\\q,,\n"
    "STR_QUALITY_1,Low,Niedrig\n"
    "STR_QUALITY_2,Medium\n"
    "STR_QUALITY_3,High,Hoch,Haut\n"
    ",orphan,ohne\n"
    "STR_HELLO,Hello again\n"
    "STR_LAST,no line end";

struct Table {
    DiskApp app;
    StringTable table{&app};
    bool Load(const std::string& data)
    {
        app.Write("kelo.csv", data);
        return table.Load(app.Engine("kelo.csv").c_str(), 200).ok();
    }
    std::string Look(const char* key)
    {
        String out;
        return Text(table.Lookup(out, key));
    }
    std::string Offset(const char* key, int offset)
    {
        String out;
        return Text(table.LookupOffset(out, key, offset));
    }
};

}  // namespace

TEST(StringTable, HeaderRowsGiveNamesAndLabelsAsTheyStand)
{
    Table t;
    ASSERT_TRUE(t.Load(kCsv));
    EXPECT_EQ(t.table.GetLanguageCount(), 3);
    EXPECT_EQ(t.table.GetCurrentLanguage(), -1);
    String out;
    EXPECT_EQ(Text(t.table.GetLanguageName(out, 1)), "deDE");
    EXPECT_EQ(Text(t.table.GetLanguageLabel(out, 1)), "Deutsch, DE");
    EXPECT_EQ(Text(t.table.GetLanguageLabel(out, 2)), "Fran\xe7" "ais");
    EXPECT_EQ(Text(t.table.GetLanguageName(out, 3)), "");
    EXPECT_EQ(Text(t.table.GetLanguageName(out, -1)), "");
    // No texts before a language is selected.
    EXPECT_EQ(t.Look("STR_LAST"), "");
}

TEST(StringTable, TextsOfTheSelectedColumn)
{
    Table t;
    ASSERT_TRUE(t.Load(kCsv));
    ASSERT_TRUE(t.table.SelectLanguage(0));
    EXPECT_EQ(t.table.GetCurrentLanguage(), 0);
    // Duplicate keys: the later row wins; cells are trimmed.
    EXPECT_EQ(t.Look("STR_HELLO"), "Hello again");
    EXPECT_EQ(t.Look("STR_QUOTE"), "He said \"hi, there\"");
    EXPECT_EQ(t.Look("STR_ESC"), "a\r\nb\tc\\q");
    EXPECT_EQ(t.Look("STR_LAST"), "no line end");
    EXPECT_EQ(t.Look("label"), "English");
    EXPECT_EQ(t.Look("STR_MISSING"), "");
    EXPECT_EQ(t.Look(""), "");
    EXPECT_EQ(t.Look(nullptr), "");

    ASSERT_TRUE(t.table.SelectLanguage(2));
    EXPECT_EQ(t.Look("STR_HELLO"), "");  // the later row has no French cell
    EXPECT_EQ(t.Look("STR_QUALITY_3"), "Haut");
    EXPECT_EQ(t.Look("STR_QUALITY_2"), "");  // a missing cell
}

TEST(StringTable, NumberedFamiliesByOffset)
{
    Table t;
    ASSERT_TRUE(t.Load(kCsv));
    ASSERT_TRUE(t.table.SelectLanguage(1));
    EXPECT_EQ(t.Offset("STR_QUALITY_1", 0), "Niedrig");
    EXPECT_EQ(t.Offset("STR_QUALITY_1", 2), "Hoch");
    // The orphan row has no key and makes no entry, so the row after it follows directly.
    EXPECT_EQ(t.Offset("STR_QUALITY_1", 3), "");
    EXPECT_EQ(t.Offset("STR_QUALITY_1", 4), "");  // STR_LAST
    EXPECT_EQ(t.Offset("STR_QUALITY_1", 1000), "");
    EXPECT_EQ(t.Offset("STR_QUALITY_1", -1000), "");
    EXPECT_EQ(t.Offset("STR_NONE", 0), "");
}

TEST(StringTable, LookupOffsetComparesTheKeyNotOnlyTheHash)
{
    // Two keys of one ELF hash: 16 * 'a' + 'b' = 16 * 'b' + 'R'.
    std::string data = "id,en\n,\nab,first\nbR,second\nnext,third\n";
    Table t;
    ASSERT_TRUE(t.Load(data));
    ASSERT_TRUE(t.table.SelectLanguage(0));
    EXPECT_EQ(t.Offset("ab", 0), "first");
    EXPECT_EQ(t.Offset("bR", 1), "third");
    EXPECT_EQ(t.Look("ab"), "first");
}

TEST(StringTable, FailedSwitchKeepsTheLanguageInUse)
{
    Table t;
    ASSERT_TRUE(t.Load(kCsv));
    ASSERT_TRUE(t.table.SelectLanguage(1));
    EXPECT_FALSE(t.table.SelectLanguage(3));
    EXPECT_FALSE(t.table.SelectLanguage(-1));
    EXPECT_EQ(t.table.GetCurrentLanguage(), 1);
    EXPECT_EQ(t.Look("STR_QUALITY_3"), "Hoch");

    // The file vanishes: the switch fails and the texts stay.
    std::remove(t.app.Host("kelo.csv").c_str());
    EXPECT_FALSE(t.table.SelectLanguage(0));
    EXPECT_EQ(t.table.GetCurrentLanguage(), 1);
    EXPECT_EQ(t.Look("STR_QUALITY_3"), "Hoch");
}

TEST(StringTable, LoadFailuresAndOddFiles)
{
    Table t;
    EXPECT_TRUE(t.table.Load(t.app.Engine("missing.csv").c_str(), 200).failed());
    StringTable orphan(nullptr);
    EXPECT_TRUE(orphan.Load("x.csv", 200).failed());

    // A NUL ends the data; a header-only file has languages but no texts.
    Table u;
    ASSERT_TRUE(u.Load(std::string("id,en,de\n,E,D\x00,X\nk,v\n", 20)));
    EXPECT_EQ(u.table.GetLanguageCount(), 2);
    ASSERT_TRUE(u.table.SelectLanguage(0));
    EXPECT_EQ(u.Look("k"), "");

    // An empty language name cannot be selected.
    Table v;
    ASSERT_TRUE(v.Load("id,,de\n"));
    EXPECT_EQ(v.table.GetLanguageCount(), 2);
    EXPECT_FALSE(v.table.SelectLanguage(0));
    EXPECT_TRUE(v.table.SelectLanguage(1));
}

TEST(StringTable, ApplicationCreatesTheTable)
{
    DiskApp app;
    app.Write("kelo.csv", std::string(kCsv));
    ASSERT_TRUE(app.CreateLanguageTable(app.Engine("kelo.csv").c_str()).ok());
    ASSERT_NE(app.GetLanguageTable(), nullptr);
    EXPECT_EQ(app.GetLanguageTable()->GetLanguageCount(), 3);
}
