#include <gtest/gtest.h>

#include <string>

#include "engine/core/arrays.h"
#include "engine/core/strings.h"
#include "platform/null/test_hooks.h"
#include "platform/text.h"

TEST(String, EmptyRulesAndEquality)
{
    String empty;
    EXPECT_EQ(empty.CStr(), nullptr);
    EXPECT_FALSE(empty.Equals(""));  // an empty String equals no C text
    EXPECT_TRUE(empty.Equals(String()));
    EXPECT_TRUE(String("").Equals(String()));
    EXPECT_EQ(String("").CStr(), nullptr);
    EXPECT_TRUE(String("abc").Equals("abc"));
    EXPECT_FALSE(String("abc").Equals("abcd"));
    EXPECT_FALSE(String("abc").Equals(static_cast<const char*>(nullptr)));

    String a("ab"), out;
    EXPECT_STREQ(String::Concat(out, a, String()).CStr(), "ab");
    EXPECT_EQ(String::Concat(out, String(), String()).CStr(), nullptr);
    EXPECT_STREQ(String::Concat(out, a, String("cd")).CStr(), "abcd");

    String self("keep");
    self.Assign(self.CStr());
    EXPECT_STREQ(self.CStr(), "keep");
    self = self;
    EXPECT_STREQ(self.CStr(), "keep");
    String zero('\0');
    ASSERT_NE(zero.CStr(), nullptr);  // the one case of an empty heap block
    EXPECT_EQ(zero.Length(), 0u);
}

TEST(String, FormatSizesItsBlockToTheResult)
{
    String s;
    s.Format("%d-%s", 42, "x");
    EXPECT_STREQ(s.CStr(), "42-x");
    std::string big(5000, 'q');
    s.Format("<%s>", big.c_str());  // far beyond the old 2000-byte buffer
    ASSERT_EQ(s.Length(), 5002u);
    EXPECT_EQ(s.CStr()[5001], '>');
    s.Format("%s", "");
    EXPECT_EQ(s.CStr(), nullptr);
}

TEST(ShortString, InlineHeapBoundaryAndAssignment)
{
    std::string fifty(50, 'a'), fiftyOne(51, 'b'), sixty(60, 'c');
    ShortString inlineText(fifty.c_str());
    ShortString heapText(fiftyOne.c_str());
    EXPECT_EQ(inlineText.Length(), 50u);
    EXPECT_EQ(heapText.Length(), 51u);
    // The inline buffer lies inside the object; a heap block does not.
    auto inside = [](const ShortString& s) {
        auto p = reinterpret_cast<const char*>(s.CStr());
        auto o = reinterpret_cast<const char*>(&s);
        return p >= o && p < o + sizeof(ShortString);
    };
    EXPECT_TRUE(inside(inlineText));
    EXPECT_FALSE(inside(heapText));

    ShortString s(sixty.c_str());
    s.Assign("");
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_EQ(s.CStr(), nullptr);
    EXPECT_TRUE(s.Equals(""));
    EXPECT_FALSE(s.Equals(nullptr));

    ShortString joined, a("hello "), b(fifty.c_str());
    ShortString::Concat(joined, a, b);
    EXPECT_EQ(joined.Length(), 56u);
    EXPECT_FALSE(inside(joined));
    EXPECT_TRUE(joined.Equals(("hello " + fifty).c_str()));
    ShortString copy(joined);
    EXPECT_TRUE(copy.Equals(joined.CStr()));
    copy = copy;
    EXPECT_EQ(copy.Length(), 56u);
    copy.Assign(copy.CStr());
    EXPECT_EQ(copy.Length(), 56u);

    std::string long247(247, 'L');
    LongString longText(long247.c_str());
    EXPECT_EQ(longText.Length(), 247u);
    EXPECT_TRUE(longText.Equals(long247.c_str()));
}

TEST(Containers, GrowthKeepsOrderAndSurvivesFailedAllocation)
{
    ItemArray items(4);
    for (uint32_t i = 0; i < 9; ++i) {
        ASSERT_TRUE(items.Append(i * 10));
        EXPECT_EQ(items.Capacity(), static_cast<int>((i / 4 + 1) * 4));
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(*items.At(i), static_cast<uint32_t>(i * 10));

    PtrArray ptrs(2);
    int values[3];
    ASSERT_TRUE(ptrs.Add(&values[0]));
    ASSERT_TRUE(ptrs.Add(&values[1]));
    nullbackend::FailAllocations(1);
    EXPECT_FALSE(ptrs.Add(&values[2]));
    EXPECT_EQ(ptrs.Count(), 2);
    EXPECT_EQ(ptrs.Capacity(), 2);
    EXPECT_TRUE(ptrs.Add(&values[2]));
    EXPECT_EQ(ptrs.At(2), &values[2]);
    ptrs.RemoveAt(0);
    EXPECT_EQ(ptrs.At(0), &values[1]);
    EXPECT_EQ(ptrs.Get(5), nullptr);
}

namespace {
struct Counted {
    explicit Counted(int* deaths) : deaths_(deaths) {}
    virtual ~Counted() { ++*deaths_; }
    int* deaths_;
};
}  // namespace

TEST(Containers, OwnedItemArrayDeletesWhatItOwns)
{
    int deaths = 0;
    {
        OwnedItemArray<Counted> owned(2);
        for (int i = 0; i < 5; ++i)
            owned.Append(new Counted(&deaths));
        Counted* kept = owned.Get(1);
        owned.RemoveAt(1);  // not deleted
        EXPECT_EQ(deaths, 0);
        owned.DeleteAt(0);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(owned.Count(), 3);
        delete kept;
        EXPECT_EQ(deaths, 2);
        OwnedItemArray<Counted> empty;
        empty.RemoveAt(0);
        EXPECT_EQ(empty.Count(), 0);
    }
    EXPECT_EQ(deaths, 5);

    Counted* single = new Counted(&deaths);
    DeleteAndNull(single);
    EXPECT_EQ(single, nullptr);
    EXPECT_EQ(deaths, 6);
}

TEST(Containers, WideConversionsRoundTrip)
{
    char16_t* wide = nullptr;
    ASSERT_EQ(ToWide("Kel\xF6", &wide), 0);
    EXPECT_EQ(wide[3], 0xF6);
    char* narrow = nullptr;
    ASSERT_EQ(ToNarrow(wide, &narrow), 0);
    EXPECT_STREQ(narrow, "Kel\xF6");
    CoTaskMemFree(wide);
    CoTaskMemFree(narrow);
    EXPECT_EQ(ToWide(nullptr, &wide), 0);
    EXPECT_EQ(wide, nullptr);
    const char16_t smiley[] = {0x263A, 0};
    EXPECT_NE(ToNarrow(smiley, &narrow), 0);
    EXPECT_EQ(narrow, nullptr);
}
