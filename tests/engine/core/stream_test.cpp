#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/core/disk_file.h"
#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/tell_player.h"
#include "file_fixtures.h"
#include "platform/null/test_hooks.h"

namespace {

Bytes Counting(size_t n)
{
    Bytes bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

class Recovery : public ::testing::Test {
protected:
    // Each case a run of its own, which has said nothing yet.
    void SetUp() override
    {
        ForgetWhatWasSaid();
        nullbackend::ClearMessageBoxes();
        nullbackend::ResetSleptTotal();
    }
    void TearDown() override
    {
        for (auto call : {nullbackend::FileCall::Open, nullbackend::FileCall::Read, nullbackend::FileCall::Seek})
            nullbackend::FailFileCalls(call, 0, 0);
        nullbackend::ClearMessageBoxes();
    }
    ScratchFolder folder;
};

}  // namespace

TEST(DiskFile, OpenModesSizeAndSeekFromTheEnd)
{
    ScratchFolder folder;
    std::string name = folder.Engine("data.bin");
    DiskFile file;
    EXPECT_FALSE(file.Open(nullptr, name.c_str(), kStreamRead));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(nullptr, 1), -1);
    EXPECT_EQ(file.GetSize(), 0);

    WriteHostFile(folder.Host("data.bin"), Counting(100));
    ASSERT_TRUE(file.Open(nullptr, name.c_str(), kStreamRead));
    EXPECT_EQ(file.GetSize(), 100);
    ASSERT_TRUE(file.Seek(-22, kSeekEnd));
    EXPECT_EQ(file.Tell(), 78);
    uint8_t byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 78);
    ASSERT_TRUE(file.Seek(-9, kSeekCurrent));
    int32_t word = 0;
    EXPECT_EQ(file.ReadInt32(&word), 4);
    EXPECT_EQ(word, 0x49484746);  // bytes 70..73, little-endian
    // A target before the start is refused at once, without the recovery's pauses or messages.
    nullbackend::ResetSleptTotal();
    EXPECT_FALSE(file.Seek(-101, kSeekEnd));
    EXPECT_EQ(nullbackend::SleptTotal(), 0u);
    EXPECT_EQ(file.Tell(), 74);
    uint8_t rest[200];
    EXPECT_EQ(file.Read(rest, 200), 26);
    EXPECT_EQ(file.Read(rest, 200), 0);
    file.Close();

    // Mode 5 truncates an existing file.
    ASSERT_TRUE(file.Open(nullptr, name.c_str(), kStreamCreate | kStreamWrite));
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.WriteInt32(0x04030201), 4);
    EXPECT_EQ(file.WriteInt16(0x0605), 2);
    EXPECT_EQ(file.WriteInt8(7), 1);
    EXPECT_EQ(file.Tell(), 7);
    file.Close();
    EXPECT_EQ(ReadHostFile(folder.Host("data.bin")), (Bytes{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(file.Delete(name.c_str()));
    EXPECT_FALSE(HostFileExists(folder.Host("data.bin")));
}

TEST(DiskFile, MatchesCrcAndReturnsToTheStart)
{
    ScratchFolder folder;
    WriteHostFile(folder.Host("crc.bin"), Text("123456789"));
    DiskFile file;
    ASSERT_TRUE(file.Open(nullptr, folder.Engine("crc.bin").c_str(), kStreamRead));
    EXPECT_TRUE(file.MatchesCrc(0x6E90));
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_FALSE(file.MatchesCrc(0x906E));
}

TEST_F(Recovery, ReadRetriesAfterATransientFailure)
{
    WriteHostFile(folder.Host("card.bin"), Counting(64));
    DiskFile file;
    ASSERT_TRUE(file.Open(nullptr, folder.Engine("card.bin").c_str(), kStreamRead));
    ASSERT_TRUE(file.Seek(10, kSeekStart));
    nullbackend::FailFileCalls(nullbackend::FileCall::Read, 1, ERROR_READ_FAULT);
    uint8_t data[4] = {};
    EXPECT_EQ(file.Read(data, 4), 4);
    EXPECT_EQ(data[0], 10);
    EXPECT_EQ(nullbackend::SleptTotal(), 500u);
    EXPECT_TRUE(nullbackend::MessageBoxes().empty());
}

TEST_F(Recovery, ReadReopensTheFileAndCarriesOn)
{
    WriteHostFile(folder.Host("card.bin"), Counting(64));
    DiskFile file;
    ASSERT_TRUE(file.Open(nullptr, folder.Engine("card.bin").c_str(), kStreamRead));
    ASSERT_TRUE(file.Seek(20, kSeekStart));
    // The first read and its four retries fail; the reopened file reads from the same place.
    nullbackend::FailFileCalls(nullbackend::FileCall::Read, 5, ERROR_READ_FAULT);
    nullbackend::FailFileCalls(nullbackend::FileCall::Open, 2, ERROR_PATH_NOT_FOUND);
    uint8_t data[4] = {};
    EXPECT_EQ(file.Read(data, 4), 4);
    EXPECT_EQ(data[0], 20);
    EXPECT_EQ(file.Tell(), 24);
    EXPECT_EQ(nullbackend::SleptTotal(), 4 * 500u + 2 * 500u);
    ASSERT_EQ(nullbackend::MessageBoxes().size(), 1u);
    EXPECT_EQ(nullbackend::MessageBoxes()[0], "Restoring 2.2 OK");

    // With no error word set there is nothing to wait for: straight to the reopen, which is not
    // said again: a run says each thing once.
    nullbackend::ClearMessageBoxes();
    nullbackend::ResetSleptTotal();
    nullbackend::FailFileCalls(nullbackend::FileCall::Read, 1, 0);
    EXPECT_EQ(file.Read(data, 4), 4);
    EXPECT_EQ(data[0], 24);
    EXPECT_EQ(nullbackend::SleptTotal(), 0u);
    EXPECT_TRUE(nullbackend::MessageBoxes().empty());
}

TEST_F(Recovery, ReadGivesUpWithAMessage)
{
    WriteHostFile(folder.Host("card.bin"), Counting(64));
    DiskFile file;
    ASSERT_TRUE(file.Open(nullptr, folder.Engine("card.bin").c_str(), kStreamRead));
    nullbackend::FailFileCalls(nullbackend::FileCall::Read, 5, ERROR_READ_FAULT);
    nullbackend::FailFileCalls(nullbackend::FileCall::Open, 4, ERROR_PATH_NOT_FOUND);
    uint8_t data[4] = {};
    EXPECT_EQ(file.Read(data, 4), -1);
    EXPECT_FALSE(file.IsOpen());
    ASSERT_EQ(nullbackend::MessageBoxes().size(), 1u);
    EXPECT_EQ(nullbackend::MessageBoxes()[0], "Vantu: File Handle Restore failed.");
    EXPECT_EQ(nullbackend::SleptTotal(), 8 * 500u);
}

TEST_F(Recovery, SeekReopensWithoutTruncatingAWrittenFile)
{
    DiskFile file;
    ASSERT_TRUE(file.Open(nullptr, folder.Engine("out.bin").c_str(), kStreamCreate | kStreamWrite));
    ASSERT_EQ(file.Write("0123456789", 10), 10);
    nullbackend::FailFileCalls(nullbackend::FileCall::Seek, 5, ERROR_WRITE_FAULT);
    EXPECT_TRUE(file.Seek(4, kSeekStart));
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_TRUE(nullbackend::MessageBoxes().empty());
    EXPECT_EQ(file.Write("ab", 2), 2);
    file.Close();
    EXPECT_EQ(ReadHostFile(folder.Host("out.bin")), Text("0123ab6789"));

    ASSERT_TRUE(file.Open(nullptr, folder.Engine("out.bin").c_str(), kStreamRead));
    nullbackend::FailFileCalls(nullbackend::FileCall::Seek, 6, ERROR_WRITE_FAULT);
    EXPECT_FALSE(file.Seek(2, kSeekStart));
    ASSERT_EQ(nullbackend::MessageBoxes().size(), 1u);
    EXPECT_EQ(nullbackend::MessageBoxes()[0], "Vantu: File Handle Seek failed.");
}

TEST(PackMemoryFile, ShortReadsRefusedWritesAndTheCursor)
{
    PackMemoryFile file;
    ASSERT_TRUE(file.Allocate(10));
    memcpy(file.GetBuffer(), "ABCDEFGHIJ", 10);
    ASSERT_TRUE(file.Seek(8, kSeekStart));
    char out[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(file.Read(out, 4), 2);
    EXPECT_EQ(std::string(out, 4), "IJyz");
    ASSERT_TRUE(file.Seek(8, kSeekStart));
    EXPECT_EQ(file.Write("1234", 4), -1);
    EXPECT_EQ(std::string(static_cast<char*>(file.GetBuffer()), 10), "ABCDEFGHIJ");
    EXPECT_EQ(file.Tell(), 8);

    // From the end the offset counts backwards; the cursor never leaves the buffer.
    EXPECT_TRUE(file.Seek(2, kSeekEnd));
    EXPECT_EQ(file.Tell(), 8);
    EXPECT_TRUE(file.Seek(-5, kSeekStart));
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_TRUE(file.Seek(50, kSeekCurrent));
    EXPECT_EQ(file.Tell(), 10);
    EXPECT_TRUE(file.Seek(-3, kSeekEnd));
    EXPECT_EQ(file.Tell(), 10);
    EXPECT_EQ(file.Read(out, 1), 0);

    // A short 32-bit read keeps the bytes it did not reach.
    ASSERT_TRUE(file.Seek(1, kSeekEnd));
    int32_t word = 0x11223344;
    EXPECT_EQ(file.ReadInt32(&word), 1);
    EXPECT_EQ(word, 0x1122334A);

    ASSERT_TRUE(file.Seek(0, kSeekStart));
    EXPECT_EQ(file.WriteInt32(0x04030201), 4);
    EXPECT_EQ(file.WriteInt16(-2), 2);
    EXPECT_EQ(memcmp(file.GetBuffer(), "\x01\x02\x03\x04\xfe\xff", 6), 0);

    void* taken = file.TakeBuffer();
    EXPECT_NE(taken, nullptr);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 0);
    Free(taken);

    // A zero-size buffer still counts as open.
    EXPECT_TRUE(file.Allocate(0));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Write("", 0), 0);
    EXPECT_EQ(file.Write("a", 1), -1);
    EXPECT_FALSE(file.Allocate(-1));
}

TEST(PackMemoryFile, SavesAndLoadsWholeFiles)
{
    ScratchFolder folder;
    std::string name = folder.Engine("save.bin");
    PackMemoryFile file;
    ASSERT_TRUE(file.Allocate(100));
    EXPECT_FALSE(file.SaveToFile(nullptr, name.c_str()));
    EXPECT_FALSE(HostFileExists(folder.Host("save.bin")));

    WriteHostFile(folder.Host("save.bin"), Text("the old contents"));
    ASSERT_EQ(file.Write("fresh", 5), 5);
    EXPECT_TRUE(file.SaveToFile(nullptr, name.c_str()));
    EXPECT_EQ(ReadHostFile(folder.Host("save.bin")), Text("fresh"));
    EXPECT_FALSE(HostFileExists(folder.Host("save.bin.tmp")));

    // A failed write leaves the old file whole.
    ASSERT_TRUE(file.Seek(0, kSeekStart));
    ASSERT_EQ(file.Write("newer", 5), 5);
    nullbackend::FailFileCalls(nullbackend::FileCall::Write, 1, ERROR_DISK_FULL);
    EXPECT_FALSE(file.SaveToFile(nullptr, name.c_str()));
    nullbackend::FailFileCalls(nullbackend::FileCall::Flush, 1, ERROR_WRITE_FAULT);
    EXPECT_FALSE(file.SaveToFile(nullptr, name.c_str()));
    EXPECT_EQ(ReadHostFile(folder.Host("save.bin")), Text("fresh"));
    EXPECT_FALSE(HostFileExists(folder.Host("save.bin.tmp")));

    PackMemoryFile loaded;
    ASSERT_TRUE(loaded.LoadFromDisk(nullptr, name.c_str(), kStreamRead));
    EXPECT_EQ(loaded.GetSize(), 5);
    EXPECT_EQ(memcmp(loaded.GetBuffer(), "fresh", 5), 0);
    EXPECT_FALSE(loaded.LoadFromDisk(nullptr, folder.Engine("missing.bin").c_str(), kStreamRead));
    EXPECT_FALSE(loaded.IsOpen());

    WriteHostFile(folder.Host("empty.bin"), Bytes());
    ASSERT_TRUE(loaded.LoadFromDisk(nullptr, folder.Engine("EMPTY.BIN").c_str(), kStreamRead));
    EXPECT_TRUE(loaded.IsOpen());
    EXPECT_EQ(loaded.GetSize(), 0);

    // A file larger than any the game reads is refused before anything is held for it.
    WriteHostFile(folder.Host("huge.bin"), Bytes());
    std::filesystem::resize_file(folder.Host("huge.bin"), kMaxFileBytes + 1);
    EXPECT_FALSE(loaded.LoadFromDisk(nullptr, folder.Engine("huge.bin").c_str(), kStreamRead));
    EXPECT_FALSE(loaded.IsOpen());
}
