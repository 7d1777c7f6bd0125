#include <gtest/gtest.h>

#include "support/host_file.h"
#include "tools/tool_run.h"

namespace {

const char* const kHeader =
    "language enUS English\n"
    "language deDE Deutsch\n";

// Runs the language tool on a source of two languages; the body starts on line 3.
ToolRun Lang(ToolScratch& scratch, const std::string& body)
{
    std::string source = scratch.Write("texts.txt", std::string(kHeader) + body);
    return scratch.Run("langtool", source + " " + scratch.Path("kelo.csv"));
}

}  // namespace

TEST(LangTool, WritesTheTableInWindows1252WithQuotedCells)
{
    ToolScratch scratch;
    ToolRun run = Lang(scratch,
                       "[STR_A]\nenUS = Caf\xC3\xA9, \"old\"\ndeDE = Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC" "5\n"
                       "[STR_LIST_1]\nenUS = one\ndeDE = eins\n"
                       "[STR_LIST_2]\nenUS = two %d\ndeDE = zwei %d\n");
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<uint8_t> bytes = ReadHostFile(scratch.Path("kelo.csv"));
    std::string csv(bytes.begin(), bytes.end());
    EXPECT_EQ(csv,
              ",enUS,deDE\r\n,English,Deutsch\r\n"
              "STR_A,\"Caf\xE9, \"\"old\"\"\",Gr\xFC\xDF" "e \x80" "5\r\n"
              "STR_LIST_1,one,eins\r\n"
              "STR_LIST_2,two %d,zwei %d\r\n");
}

TEST(LangTool, RejectsFaultyTextsNamingFileAndLine)
{
    ToolScratch scratch;
    std::string file = scratch.Path("texts.txt");
    struct Case {
        const char* body;
        const char* where;
        const char* says;
    } cases[] = {
        // A text missing in one language: the key's line.
        {"[STR_OK]\nenUS = OK\n[STR_NO]\nenUS = No\ndeDE = Nein\n", ":3:", "no deDE text"},
        // A family with a hole: _3 does not follow _1.
        {"[STR_T_1]\nenUS = a\ndeDE = a\n[STR_T_3]\nenUS = c\ndeDE = c\n", ":6:", "must follow STR_T_2"},
        // A family out of order.
        {"[STR_T_2]\nenUS = b\ndeDE = b\n[STR_T_1]\nenUS = a\ndeDE = a\n", ":3:", "must follow STR_T_1"},
        // A stray %s where English has none.
        {"[STR_SCORE]\nenUS = Score %d\ndeDE = Punkte %s\n", ":3:", "%-conversions"},
        // A character Windows-1252 lacks (a Greek alpha), on its own line.
        {"[STR_A]\nenUS = a\ndeDE = \xCE\xB1\n", ":5:", "U+03B1"},
        // A key given twice.
        {"[STR_A]\nenUS = a\ndeDE = a\n[STR_A]\nenUS = a\ndeDE = a\n", ":6:", "repeats"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        ToolRun run = Lang(scratch, c.body);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(file + c.where), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    }
}

// A numbered key whose family has no first member is read by its own key and stands anywhere;
// one whose family has a first member must still follow it.
TEST(LangTool, TakesALoneNumberedKeyButNotAStrayFamilyMember)
{
    ToolScratch scratch;
    ToolRun lone = Lang(scratch, "[STR_T_1]\nenUS = a\ndeDE = a\n[STR_Q_4]\nenUS = d\ndeDE = d\n"
                                 "[STR_T_2]\nenUS = b\ndeDE = b\n");
    EXPECT_EQ(lone.status, 1) << lone.output;
    EXPECT_NE(lone.output.find("must follow STR_T_1"), std::string::npos) << lone.output;
    ToolRun alone = Lang(scratch, "[STR_T_1]\nenUS = a\ndeDE = a\n[STR_T_2]\nenUS = b\ndeDE = b\n"
                                  "[STR_OTHER]\nenUS = o\ndeDE = o\n[STR_Q_4]\nenUS = d\ndeDE = d\n");
    EXPECT_EQ(alone.status, 0) << alone.output;
}
