#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/text_script.h"

namespace {

std::string Text(const ShortString& s)
{
    return s.CStr() ? s.CStr() : "";
}

// Every raw line the buffer reader gives, up to the first empty one.
std::vector<std::string> RawLines(const std::string& data)
{
    std::vector<std::string> lines;
    int32_t index = 0;
    for (;;) {
        ShortString line;
        ReadLineFromBuffer(line, data.data(), static_cast<int32_t>(data.size()), &index);
        if (line.Length() == 0)
            return lines;
        lines.push_back(Text(line));
    }
}

}  // namespace

TEST(TextScript, RawLinesSkipBlanksCommentsAndCutAtSlashes)
{
    EXPECT_EQ(RawLines("  a = 1\r\n\n\t\tb: 2\n"), (std::vector<std::string>{"a = 1", "b: 2"}));
    EXPECT_EQ(RawLines("x = 1 // one\n// y = 2\nz = 3"), (std::vector<std::string>{"x = 1 ", "z = 3"}));
    // A "//" inside quotes still cuts the line.
    EXPECT_EQ(RawLines("url = \"http://a\"\n"), (std::vector<std::string>{"url = \"http:"}));
    EXPECT_EQ(RawLines("a/b\n/c\n"), (std::vector<std::string>{"a/b", "/c"}));
    // A trailing lone slash is dropped.
    EXPECT_EQ(RawLines("ab/"), (std::vector<std::string>{"ab"}));
    EXPECT_EQ(RawLines("// only\n   \n//more"), std::vector<std::string>{});
    // Lines longer than the inline buffer survive whole.
    std::string longLine(300, 'q');
    EXPECT_EQ(RawLines(longLine + "\nend"), (std::vector<std::string>{longLine, "end"}));
}

TEST(TextScript, KeyValueSplit)
{
    ShortString key, value;
    ASSERT_TRUE(SplitKeyValue("size = 5", key, value));
    EXPECT_EQ(Text(key), "size");
    EXPECT_EQ(Text(value), "5");
    SplitKeyValue("a = b = c", key, value);
    EXPECT_EQ(Text(value), "b  c");
    SplitKeyValue("text = \"a: b\"", key, value);
    EXPECT_EQ(Text(key), "text");
    EXPECT_EQ(Text(value), "\"a: b\"");
    SplitKeyValue("end  ", key, value);
    EXPECT_EQ(Text(key), "");
    EXPECT_EQ(Text(value), "end");
    EXPECT_FALSE(SplitKeyValue("", key, value));
    EXPECT_FALSE(IsKeyValueLine("a // b = c"));
    EXPECT_TRUE(IsKeyValueLine("a:b"));
    EXPECT_FALSE(IsKeyValueLine("="));
}

TEST(TextScript, TrimAndQuotes)
{
    ShortString out;
    EXPECT_EQ(Text(TrimRight(out, "ab \t ")), "ab");
    EXPECT_EQ(Text(TrimRight(out, "   ")), " ");
    EXPECT_EQ(Text(Unquote(out, "\"abc\"")), "abc");
    EXPECT_EQ(Text(Unquote(out, "\"abc")), "abc");
    EXPECT_EQ(Text(Unquote(out, "\"")), "");
    EXPECT_EQ(Text(StripQuotes(out, "(x)", '(', ')')), "x");
}

TEST(TextScript, Lists)
{
    ShortString items[4];
    int count = 0;
    SplitList("\"a b\", c d", 4, items, &count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Text(items[0]), "\"a b\"");
    EXPECT_EQ(Text(items[1]), "c");
    EXPECT_EQ(Text(items[2]), "d");
    EXPECT_EQ(Text(items[3]), "");
    SplitList("\"a,b\"", 4, items, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Text(items[0]), "\"a");
    EXPECT_EQ(Text(items[1]), "b\"");
    SplitList("1,2,3,4,5,6", 4, items, &count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(Text(items[3]), "4");
    SplitList(" , ,", 4, items, &count);
    EXPECT_EQ(count, 0);
    SplitWords("\"x y\",z", 4, items);
    EXPECT_EQ(Text(items[0]), "\"x");
    EXPECT_EQ(Text(items[1]), "y\"");
    EXPECT_EQ(Text(items[2]), "z");
    EXPECT_EQ(Text(items[3]), "");
}

TEST(TextScript, Numbers)
{
    EXPECT_EQ(ParseInt("12"), 12);
    EXPECT_EQ(ParseInt(" 12"), 12);
    EXPECT_EQ(ParseInt("12 "), 0);
    EXPECT_EQ(ParseInt("1.5"), 5);
    EXPECT_EQ(ParseInt("a7"), 7);
    EXPECT_EQ(ParseInt("-"), 0);
    EXPECT_EQ(ParseInt("--5"), -5);
    EXPECT_EQ(ParseInt(nullptr), 0);
    // Overflow wraps: 2^32 + 5.
    EXPECT_EQ(ParseInt("4294967301"), 5);
    EXPECT_EQ(ParseInt("-2147483648"), INT32_MIN);

    Fixed f;
    EXPECT_EQ(ParseFixed8(f, "1.5", 0).raw, 384);
    EXPECT_EQ(ParseFixed8(f, "-0.25", 0).raw, -64);
    EXPECT_EQ(ParseFixed8(f, "0.005", 0).raw, 1);
    EXPECT_EQ(ParseFixed8(f, "3", 0).raw, 768);
    EXPECT_EQ(ParseFixed8(f, "1.2.3", 0).raw, 0);
    EXPECT_EQ(ParseFixed8(f, "-", 0).raw, 0);
    EXPECT_EQ(ParseFixed8(f, "2", 40).raw, 0);
    EXPECT_EQ(ParseFixed8(f, "1.5", 1).raw, 768);
    // A huge value saturates rather than overflowing the conversion.
    EXPECT_EQ(ParseFixed8(f, "10000000.5", 0).raw, INT32_MAX);
    EXPECT_EQ(ParseFixed8(f, "0.00000000000000000000000000001", 0).raw, 0);
    Fixed16 g;
    EXPECT_EQ(ParseFixed16(g, "1.5", 0).raw, 98304);
    EXPECT_EQ(ParseFixed16(g, "-2", 0).raw, -131072);
}

TEST(TextScript, ImageNamePairs)
{
    ShortString name("bg.png"), alpha;
    ASSERT_TRUE(PairImageNames(name, alpha));
    EXPECT_EQ(Text(name), "bg");
    EXPECT_EQ(Text(alpha), "bg");
    ShortString a, b("mask.jpg");
    PairImageNames(a, b);
    EXPECT_EQ(Text(a), "mask");
    ShortString c("pic.JPG"), d("x_a.jpg");
    PairImageNames(c, d);
    EXPECT_EQ(Text(c), "pic.JPG");
    EXPECT_EQ(Text(d), "x_a");
    ShortString e, f;
    EXPECT_FALSE(PairImageNames(e, f));
}

#include "engine/core/disk_file.h"
#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "support/disk_app.h"

namespace {

// The script lines of the data, read the same way through memory and through a disk file.
std::vector<std::string> ScriptLines(Stream* stream)
{
    std::vector<std::string> lines;
    ShortString line;
    while (ReadScriptLine(stream, line))
        lines.push_back(Text(line));
    return lines;
}

}  // namespace

TEST(TextScript, ScriptLinesFromMemoryAndFromDiskAgree)
{
    const std::string data = "// header\n  font = \"main\"  \r\n\tfile: a.jpg // the image\n\n   \nend\n//x\nz/";
    const std::vector<std::string> expected = {"font = \"main\"", "file: a.jpg", "end", "z"};

    PackMemoryFile memory;
    void* block = Alloc(data.size());
    ASSERT_NE(block, nullptr);
    memcpy(block, data.data(), data.size());
    memory.SetBuffer(block, static_cast<int32_t>(data.size()));
    EXPECT_EQ(ScriptLines(&memory), expected);

    DiskApp app;
    ASSERT_TRUE(app.Write("s.txt", data));
    DiskFile disk;
    ASSERT_TRUE(disk.Open(&app, app.Engine("s.txt").c_str(), kStreamRead));
    EXPECT_EQ(ScriptLines(&disk), expected);

    PackMemoryFile comments;
    const char only[] = "// a\n// b";
    block = Alloc(sizeof only - 1);
    memcpy(block, only, sizeof only - 1);
    comments.SetBuffer(block, sizeof only - 1);
    ShortString line;
    EXPECT_FALSE(ReadScriptLine(&comments, line));
}

// Lines far past the reader's stack buffer come through whole, and a NUL ends the text it is in.
TEST(TextScript, LongLinesAndEmbeddedNul)
{
    const std::string longValue(700, 'v');
    const std::string data = "key = " + longValue + "   \nnext = 1\n";
    EXPECT_EQ(RawLines(data), (std::vector<std::string>{"key = " + longValue + "   ", "next = 1"}));

    ShortString key, value;
    ASSERT_TRUE(SplitKeyValue(("k=" + longValue + "=x").c_str(), key, value));
    EXPECT_EQ(Text(key), "k");
    EXPECT_EQ(Text(value), longValue + "x");

    const std::string withNul("ab\0cd\nef\n", 9);
    EXPECT_EQ(RawLines(withNul), (std::vector<std::string>{"ab", "ef"}));
    ShortString cut;
    EXPECT_EQ(Text(cut.Assign("abcdef", 3)), "abc");
    EXPECT_EQ(Text(cut.Assign(std::string(80, 'w').c_str(), 60)), std::string(60, 'w'));
}
