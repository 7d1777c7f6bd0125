#include <gtest/gtest.h>

#include <string>

#include "engine/core/format_text.h"

namespace {
std::string Format(const char* format, std::initializer_list<FormatArg> args)
{
    String s = FormatText(format, args);
    return s.CStr() ? s.CStr() : "";
}
}  // namespace

TEST(FormatText, SubstitutesInOrder)
{
    EXPECT_EQ(Format("%d lives, %i left", {3, 2}), "3 lives, 2 left");
    EXPECT_EQ(Format("Welcome %s!", {"Ann"}), "Welcome Ann!");
    EXPECT_EQ(Format("%02d:%02d", {5, 7}), "05:07");
    EXPECT_EQ(Format("[%4d]", {-12}), "[ -12]");
    EXPECT_EQ(Format("[%04d]", {-12}), "[-012]");
    EXPECT_EQ(Format("%d", {INT32_MIN}), "-2147483648");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
}

TEST(FormatText, NeverReadsMissingArgumentsOrWrites)
{
    EXPECT_EQ(Format("%d and %d and %s", {1}), "1 and %d and %s");
    EXPECT_EQ(Format("%n%x%p%5s %", {}), "%n%x%p%5s %");
    EXPECT_EQ(Format("%n %d", {4}), "%n 4");
    // An argument of the wrong kind is not used as that kind, and the next one keeps its place.
    EXPECT_EQ(Format("%s=%d", {4, 5}), "%s=5");
    EXPECT_EQ(Format("%999999999999d", {1}), "%999999999999d");
    EXPECT_EQ(Format("trailing %", {1}), "trailing %");
    EXPECT_EQ(Format("%d", {1, 2, 3}), "1");
    EXPECT_TRUE(FormatText(nullptr, {1}).IsEmpty());
}
