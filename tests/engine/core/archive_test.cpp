#include "engine/core/archive.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/pack_memory_file.h"
#include "engine/core/strings.h"
#include "file_fixtures.h"
#include "platform/null/test_hooks.h"

namespace {

// A memory stream over the given bytes, cursor at the start.
void Over(PackMemoryFile& file, const Bytes& bytes)
{
    ASSERT_TRUE(file.Allocate(static_cast<int32_t>(bytes.size())));
    if (!bytes.empty())
        memcpy(file.GetBuffer(), bytes.data(), bytes.size());
}

Bytes Written(PackMemoryFile& file)
{
    auto* start = static_cast<uint8_t*>(file.GetBuffer());
    return Bytes(start, start + file.Tell());
}

struct Record {
    int32_t word = 0, value = 0, int32 = 0;
    int16_t int16 = 0;
    int8_t int8 = 0;
    bool flag = false;
    int32_t pair[2] = {};
    uint8_t bytes[3] = {};
    String text;

    bool Serialize(Stream* stream, bool saving)
    {
        ArchiveContext archive;
        archive.Init(stream, saving);
        archive.SerializeWord(word);
        archive.SerializeValue(value);
        archive.SerializeInt32(int32);
        archive.SerializeInt16(int16);
        archive.SerializeInt8(int8);
        archive.SerializeBool(flag);
        archive.SerializePair(pair);
        archive.SerializeBytes(bytes, 3);
        archive.SerializeString(text);
        return archive.Succeeded();
    }
};

}  // namespace

TEST(Archive, OneRoutineWritesAndReadsEveryKind)
{
    Record out;
    out.word = -2;
    out.value = 0x01020304;
    out.int32 = 7;
    out.int16 = -300;
    out.int8 = -5;
    out.flag = true;
    out.pair[0] = 10;
    out.pair[1] = -10;
    memcpy(out.bytes, "xyz", 3);
    out.text.Assign("BasicDataEnd");

    PackMemoryFile file;
    ASSERT_TRUE(file.Allocate(100));
    ASSERT_TRUE(out.Serialize(&file, true));
    Bytes image = Written(file);
    Bytes expected = {0xFE, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1, 7, 0, 0, 0, 0xD4, 0xFE, 0xFB, 1,
                      10, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF, 'x', 'y', 'z', 12, 0, 0, 0};
    for (char c : std::string("BasicDataEnd"))
        expected.push_back(static_cast<uint8_t>(c));
    EXPECT_EQ(image, expected);

    PackMemoryFile in;
    Over(in, image);
    Record back;
    ASSERT_TRUE(back.Serialize(&in, false));
    EXPECT_EQ(back.word, -2);
    EXPECT_EQ(back.value, 0x01020304);
    EXPECT_EQ(back.int16, -300);
    EXPECT_EQ(back.int8, -5);
    EXPECT_TRUE(back.flag);
    EXPECT_EQ(back.pair[1], -10);
    EXPECT_EQ(memcmp(back.bytes, "xyz", 3), 0);
    EXPECT_TRUE(back.text.Equals("BasicDataEnd"));
}

TEST(Archive, StringsEmptyShortAndImpossible)
{
    PackMemoryFile file;
    ASSERT_TRUE(file.Allocate(8));
    String empty;
    Archive saving(&file, true);
    saving.SerializeString(empty);
    EXPECT_TRUE(saving.IsOk());
    EXPECT_EQ(Written(file), (Bytes{0, 0, 0, 0}));

    PackMemoryFile in;
    Over(in, {0, 0, 0, 0});
    String loaded("old");
    Archive loading(&in, false);
    loading.SerializeString(loaded);
    EXPECT_TRUE(loading.IsOk());
    EXPECT_TRUE(loaded.IsEmpty());

    // Length 5 with only 3 bytes left: the string keeps its value.
    Over(in, {5, 0, 0, 0, 'a', 'b', 'c'});
    String kept("kept");
    Archive shortArchive(&in, false);
    shortArchive.SerializeString(kept);
    EXPECT_FALSE(shortArchive.IsOk());
    EXPECT_TRUE(kept.Equals("kept"));

    // A length far beyond the stream fails before anything is allocated.
    nullbackend::ClearMessageBoxes();
    Over(in, {0xF0, 0xFF, 0xFF, 0x7F, 'a'});
    Archive huge(&in, false);
    huge.SerializeString(kept);
    EXPECT_FALSE(huge.IsOk());
    EXPECT_TRUE(kept.Equals("kept"));
    EXPECT_TRUE(nullbackend::MessageBoxes().empty());

    // A failed allocation also only clears ok.
    Over(in, {2, 0, 0, 0, 'o', 'k'});
    nullbackend::FailAllocations(1);
    Archive starved(&in, false);
    starved.SerializeString(kept);
    nullbackend::FailAllocations(0);
    nullbackend::ClearMessageBoxes();
    EXPECT_FALSE(starved.IsOk());
    EXPECT_TRUE(kept.Equals("kept"));
}

TEST(Archive, BoolsShortfallAndTheOkFlag)
{
    PackMemoryFile in;
    Over(in, {0x07, 0x00});
    bool a = false, b = true;
    Archive archive(&in, false);
    archive.SerializeBool(a);
    archive.SerializeBool(b);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);

    // Two bytes short at the end: counted operations only add to the shortfall.
    Over(in, {1, 2, 3, 4, 5, 6});
    ArchiveContext context;
    context.Init(&in, false);
    int32_t first = 0, second = 0;
    context.SerializeValue(first);
    context.SerializeValue(second);
    EXPECT_TRUE(context.IsOk());
    EXPECT_EQ(context.GetShortfall(), 2);
    EXPECT_FALSE(context.Succeeded());
    EXPECT_EQ(second, 0x0605);

    // A word that falls short clears ok and later operations still run.
    Over(in, {1, 2});
    context.Init(&in, false);
    int32_t word = 0;
    int16_t half = 9;
    context.SerializeWord(word);
    context.SerializeInt16(half);
    EXPECT_FALSE(context.IsOk());
    EXPECT_EQ(context.GetShortfall(), 2);

    Archive none(nullptr, true);
    none.SerializeWord(word);
    EXPECT_FALSE(none.IsOk());
}
