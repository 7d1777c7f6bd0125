#include "engine/core/record_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>

#include "engine/core/disk_file.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/set_aside.h"
#include "file_fixtures.h"
#include "platform/null/test_hooks.h"

namespace {

// A memory stream holding text, its cursor after the text as a serializer leaves it.
struct Written {
    explicit Written(const std::string& text)
    {
        file.Allocate(static_cast<int32_t>(text.size()) + 8);
        file.Write(text.data(), static_cast<int32_t>(text.size()));
    }
    PackMemoryFile file;
};

// Claims more bytes than it gives.
class FailingStream : public PackMemoryFile {
public:
    int32_t Tell() override { return 10; }
    int32_t Read(void*, int32_t) override { return 3; }
};

std::string Contents(PackMemoryFile* file)
{
    if (!file)
        return "<none>";
    std::string text(static_cast<char*>(file->GetBuffer()), static_cast<size_t>(file->GetSize()));
    delete file;
    return text;
}

// The ids in the file, in record order.
std::vector<int32_t> FileIds(const Bytes& file)
{
    auto le32 = [&](size_t at) {
        return static_cast<int32_t>(file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) | (file[at + 3] << 24));
    };
    std::vector<int32_t> ids;
    int32_t count = le32(0);
    for (int32_t i = 0; i < count; ++i)
        ids.push_back(le32(static_cast<size_t>(le32(4 + 8 * i + 4))));
    return ids;
}

class Store : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (auto call : {nullbackend::FileCall::Open, nullbackend::FileCall::Write, nullbackend::FileCall::Flush,
                          nullbackend::FileCall::Move, nullbackend::FileCall::FolderSync})
            nullbackend::FailFileCalls(call, 0, 0);
    }
    std::string Path() const { return folder.Engine("saveresume.dat"); }
    Bytes File() const { return ReadHostFile(folder.Host("saveresume.dat")); }

    ScratchFolder folder;
    FileTestApp app;
};

}  // namespace

TEST_F(Store, OneRecordFileIsTwentySevenBytes)
{
    SaveFileHolder holder(&app);
    holder.SetFile(Path().c_str(), nullptr);
    Written data("12345");
    ASSERT_TRUE(holder.WriteRecord(3, &data.file, "ab"));
    Bytes expected = {1, 0, 0, 0, 5, 0, 0, 0, 12, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', '1', '2', '3', '4', '5'};
    EXPECT_EQ(File(), expected);
    EXPECT_FALSE(HostFileExists(folder.Host("saveresume.dat2")));
    EXPECT_EQ(Contents(holder.ReadRecord(3)), "12345");
    EXPECT_EQ(holder.ReadRecord(4), nullptr);
    holder.DeleteRecord(3);
    EXPECT_EQ(holder.ReadRecord(3), nullptr);
    EXPECT_EQ(File(), (Bytes{0, 0, 0, 0}));
}

TEST_F(Store, DamagedOrForeignFilesLoadAsEmpty)
{
    Bytes oneRecord = {1, 0, 0, 0, 5, 0, 0, 0, 12, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', '1', '2', '3', '4', '5'};
    auto withCount = [&](uint32_t count) {
        Bytes file = oneRecord;
        file[0] = static_cast<uint8_t>(count);
        return file;
    };
    Bytes bigSize = oneRecord;
    bigSize[6] = 0x10;  // 1 MB of data in a 27-byte file
    Bytes longName = oneRecord;
    longName[16] = 99;
    Bytes cutTable = Bytes(oneRecord.begin(), oneRecord.begin() + 10);
    // Well formed, but larger than any store the game can fill.
    Bytes tooLarge = oneRecord;
    tooLarge[4] = 0, tooLarge[5] = 0, tooLarge[6] = kMaxStoreBytes >> 16;
    tooLarge.resize(22 + kMaxStoreBytes, 'z');
    // Each set aside under the first free name, none over an earlier one.
    std::vector<std::string> kept = {"saveresume.dat.bad"};
    for (int i = 1; i < kSetAsideNames; ++i)
        kept.push_back("saveresume.dat.bad" + std::to_string(i));
    size_t next = 0;
    for (const Bytes& damaged :
         {withCount(100), withCount(101), withCount(0xFF), cutTable, bigSize, longName, tooLarge, withCount(0)}) {
        WriteHostFile(folder.Host("saveresume.dat"), damaged);
        RecordStore store(&app);
        ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
        EXPECT_TRUE(store.HasNoRecord(3));
        // Kept aside as .bad at the close, a whole empty store in its place.
        EXPECT_TRUE(store.Close(nullptr));
        EXPECT_EQ(File(), (Bytes{0, 0, 0, 0}));
        ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
        Written data("x");
        ASSERT_TRUE(store.WriteRecord(8, &data.file, "n"));
        ASSERT_TRUE(store.Close(nullptr));
        EXPECT_EQ(ReadHostFile(folder.Host(kept[next++])), damaged);
        EXPECT_EQ(FileIds(File()), std::vector<int32_t>{8});
    }
    // With every kept name taken the damaged store is left as it is, and nothing is written over it.
    while (next < kept.size())
        WriteHostFile(folder.Host(kept[next++]), Bytes{1});
    WriteHostFile(folder.Host("saveresume.dat"), cutTable);
    {
        RecordStore store(&app);
        ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
        Written data("x");
        ASSERT_TRUE(store.WriteRecord(8, &data.file, "n"));
        EXPECT_FALSE(store.Close(nullptr));
        EXPECT_EQ(File(), cutTable);
    }

    // A count of 0 alone, an empty file and no file at all are ordinary empty stores.
    for (const std::string& name : kept)
        std::filesystem::remove(folder.Host(name));
    for (const Bytes& empty : {Bytes{0, 0, 0, 0}, Bytes()}) {
        WriteHostFile(folder.Host("saveresume.dat"), empty);
        RecordStore store(&app);
        ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
        Written data("x");
        ASSERT_TRUE(store.WriteRecord(8, &data.file, "n"));
        ASSERT_TRUE(store.Close(nullptr));
        EXPECT_FALSE(HostFileExists(folder.Host("saveresume.dat.bad")));
    }
}

TEST_F(Store, RewritingAnIdMovesItLast)
{
    RecordStore store(&app);
    ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
    for (int32_t id : {1, 2, 3}) {
        Written data("record " + std::to_string(id));
        ASSERT_TRUE(store.WriteRecord(id, &data.file, "resume"));
    }
    ASSERT_TRUE(store.Close(nullptr));
    ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
    Written data("record one again");
    ASSERT_TRUE(store.WriteRecord(1, &data.file, "resume"));
    // Records read from the old file are copied across on the rewrite.
    EXPECT_EQ(Contents(store.ReadRecord(2)), "record 2");
    ASSERT_TRUE(store.Close(nullptr));
    EXPECT_EQ(FileIds(File()), (std::vector<int32_t>{2, 3, 1}));
    ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
    EXPECT_EQ(Contents(store.ReadRecord(1)), "record one again");
    EXPECT_EQ(Contents(store.ReadRecord(3)), "record 3");

    // A stream that cannot give its bytes leaves the old record in place.
    FailingStream failing;
    EXPECT_FALSE(store.WriteRecord(3, &failing, "resume"));
    EXPECT_EQ(Contents(store.ReadRecord(3)), "record 3");
    // So does a name the reader would refuse.
    EXPECT_FALSE(store.WriteRecord(3, &data.file, std::string(99, 'n').c_str()));
    EXPECT_TRUE(store.WriteRecord(4, &data.file, std::string(98, 'n').c_str()));
    ASSERT_TRUE(store.Close(nullptr));
    ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
    EXPECT_FALSE(store.HasNoRecord(4));
}

TEST_F(Store, NinetyNineRecordsAtMost)
{
    RecordStore store(&app);
    ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
    for (int32_t id = 1; id <= 99; ++id) {
        Written data(std::to_string(id));
        ASSERT_TRUE(store.WriteRecord(id, &data.file, "r"));
    }
    Written replacement("fifty again");
    EXPECT_TRUE(store.WriteRecord(50, &replacement.file, "r"));
    Written extra("one too many");
    EXPECT_FALSE(store.WriteRecord(100, &extra.file, "r"));
    ASSERT_TRUE(store.Close(nullptr));
    std::vector<int32_t> ids = FileIds(File());
    ASSERT_EQ(ids.size(), 99u);
    EXPECT_EQ(ids.back(), 50);
    ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
    EXPECT_EQ(Contents(store.ReadRecord(50)), "fifty again");
    EXPECT_EQ(Contents(store.ReadRecord(99)), "99");
    EXPECT_TRUE(store.HasNoRecord(100));
}

TEST_F(Store, AFailedRewriteKeepsTheOldFile)
{
    SaveFileHolder holder(&app);
    holder.SetFile(Path().c_str(), nullptr);
    Written first("first");
    ASSERT_TRUE(holder.WriteRecord(1, &first.file, "a"));
    Bytes before = File();
    Written second("second");
    for (auto call : {nullbackend::FileCall::Open, nullbackend::FileCall::Write, nullbackend::FileCall::Flush,
                      nullbackend::FileCall::Move}) {
        SCOPED_TRACE(static_cast<int>(call));
        // The store's own open of the old file comes first; fail the one after it.
        if (call == nullbackend::FileCall::Open) {
            RecordStore store(&app);
            ASSERT_TRUE(store.Open(Path().c_str(), nullptr));
            ASSERT_TRUE(store.WriteRecord(2, &second.file, "b"));
            nullbackend::FailFileCalls(call, 1, ERROR_ACCESS_DENIED);
            EXPECT_FALSE(store.Close(nullptr));
        } else {
            nullbackend::FailFileCalls(call, 1, ERROR_DISK_FULL);
            EXPECT_FALSE(holder.WriteRecord(2, &second.file, "b"));
        }
        nullbackend::FailFileCalls(call, 0, 0);
        EXPECT_EQ(File(), before);
        EXPECT_FALSE(HostFileExists(folder.Host("saveresume.dat2")));
    }
    EXPECT_EQ(Contents(holder.ReadRecord(1)), "first");
    EXPECT_EQ(holder.ReadRecord(2), nullptr);

    // A rewrite whose rename cannot be made lasting in the folder is not reported as saved.
    nullbackend::FailFileCalls(nullbackend::FileCall::FolderSync, 1, ERROR_WRITE_FAULT);
    EXPECT_FALSE(holder.WriteRecord(2, &second.file, "b"));
}

TEST_F(Store, AFileThatWillNotOpenIsKeptAsBad)
{
    SaveFileHolder holder(&app);
    holder.SetFile(Path().c_str(), nullptr);
    Written first("first");
    ASSERT_TRUE(holder.WriteRecord(1, &first.file, "a"));
    Bytes before = File();
    // The card refuses the store's read of the file that is there: its records are not seen,
    // and the save that follows keeps the old file aside rather than writing over it.
    nullbackend::FailFileCalls(nullbackend::FileCall::Open, 1, ERROR_ACCESS_DENIED);
    Written second("second");
    ASSERT_TRUE(holder.WriteRecord(2, &second.file, "b"));
    EXPECT_EQ(FileIds(File()), std::vector<int32_t>{2});
    EXPECT_EQ(ReadHostFile(folder.Host("saveresume.dat.bad")), before);

    // A file that is simply missing leaves nothing aside.
    std::filesystem::remove(folder.Host("saveresume.dat.bad"));
    std::filesystem::remove(folder.Host("saveresume.dat"));
    ASSERT_TRUE(holder.WriteRecord(3, &second.file, "c"));
    EXPECT_EQ(FileIds(File()), std::vector<int32_t>{3});
    EXPECT_FALSE(HostFileExists(folder.Host("saveresume.dat.bad")));
}

TEST_F(Store, ChecksumsGuardTheFile)
{
    uint16_t word = 0;
    SaveFileHolder holder(&app);
    holder.SetFile(Path().c_str(), &word);
    Written data("guarded");
    ASSERT_TRUE(holder.WriteRecord(1, &data.file, "g"));
    EXPECT_EQ(word, FileChecksum(&app, Path().c_str()));
    EXPECT_NE(word, 0);
    EXPECT_EQ(Contents(holder.ReadRecord(1)), "guarded");
    // A file changed behind the owner's back is dropped.
    Bytes file = File();
    file.back() ^= 1;
    WriteHostFile(folder.Host("saveresume.dat"), file);
    EXPECT_EQ(holder.ReadRecord(1), nullptr);
    EXPECT_FALSE(HostFileExists(folder.Host("saveresume.dat")));
}

TEST(Crc16, KnownValuesAndFileChecksum)
{
    EXPECT_EQ(Crc16("123456789", 9), 0x6E90);
    EXPECT_EQ(Crc16("abc", 3), 0x259E);
    EXPECT_EQ(Crc16("", 0), 0);
    // The length counts modulo 65536.
    EXPECT_EQ(Crc16("abc", 65536 + 3), 0x259E);

    ScratchFolder folder;
    FileTestApp app;
    EXPECT_EQ(FileChecksum(&app, folder.Engine("missing").c_str()), 0);
    Bytes bytes(5000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    WriteHostFile(folder.Host("blocks"), bytes);
    uint16_t expected = static_cast<uint16_t>(Crc16(bytes.data(), 4096) + Crc16(bytes.data() + 4096, 904));
    EXPECT_EQ(FileChecksum(&app, folder.Engine("blocks").c_str()), expected);
}

TEST_F(Store, SavesThatArePipesCountAsDamagedAndNeverWait)
{
    std::string pipes[2] = {folder.Host("saveresume.dat"), folder.Host("global.opt")};
    for (const std::string& pipe : pipes)
        ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    auto reads = std::async(std::launch::async, [&] {
        SaveFileHolder holder(&app);
        holder.SetFile(Path().c_str(), nullptr);
        PackMemoryFile* record = holder.ReadRecord(1);
        delete record;
        PackMemoryFile options;
        bool optionsRead = options.LoadFromDisk(&app, folder.Engine("global.opt").c_str(), kStreamRead);
        return record == nullptr && !optionsRead;
    });
    if (reads.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // A reader waiting in its open is let go by a writer, so the failure ends.
        do {
            for (const std::string& pipe : pipes)
                close(open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
        } while (reads.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
        FAIL() << "a save that is a pipe kept the reader waiting";
    }
    EXPECT_TRUE(reads.get());
    // The next save puts a file in place and keeps the pipe aside, as for any damaged file.
    SaveFileHolder holder(&app);
    holder.SetFile(Path().c_str(), nullptr);
    Written first("first");
    ASSERT_TRUE(holder.WriteRecord(1, &first.file, "a"));
    EXPECT_EQ(Contents(holder.ReadRecord(1)), "first");
    EXPECT_TRUE(std::filesystem::is_fifo(folder.Host("saveresume.dat.bad")));
}

// Bytes the file holds already cost no write: no temporary, no flush, no rename.
TEST_F(Store, AFileThatHoldsTheBytesAlreadyIsLeftAsItIs)
{
    std::string options = folder.Engine("global.opt");
    ASSERT_TRUE(WriteFileReplacing(options.c_str(), "same", 4));
    nullbackend::FailFileCalls(nullbackend::FileCall::Move, 1, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(WriteFileReplacing(options.c_str(), "same", 4));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteFileReplacing(options.c_str(), "new!", 4)) << "the rename that failed is the changed file's";
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadHostFile(folder.Host("global.opt")), Bytes({'s', 'a', 'm', 'e'}));
}

TEST_F(Store, ASaveThatCannotBeWrittenSaysWhichAndWhyOnce)
{
    SaveFileHolder holder(&app);
    holder.SetFile(Path().c_str(), nullptr);
    Written first("first");
    std::string options = folder.Engine("global.opt");
    testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
        nullbackend::FailFileCalls(nullbackend::FileCall::Write, 1, ERROR_DISK_FULL);
        EXPECT_FALSE(holder.WriteRecord(1, &first.file, "a"));
        nullbackend::FailFileCalls(nullbackend::FileCall::Move, 1, ERROR_ACCESS_DENIED);
        EXPECT_FALSE(WriteFileReplacing(options.c_str(), "x", 1));
    }
    std::string said = testing::internal::GetCapturedStderr();
    // Named as the desktop names them, not in the program's own form of a path: the folder, then
    // the file.
    std::string in = " in the folder " + std::filesystem::path(folder.Host("global.opt")).parent_path().string();
    std::string resume = "saveresume.dat cannot be saved" + in + ": No space left on device";
    std::string global = "global.opt cannot be saved" + in + ": Permission denied";
    EXPECT_NE(said.find(resume), std::string::npos) << said;
    EXPECT_NE(said.find(global), std::string::npos) << said;
    EXPECT_EQ(said.find(resume, said.find(resume) + 1), std::string::npos) << "said twice: " << said;
    EXPECT_EQ(said.find(global, said.find(global) + 1), std::string::npos) << "said twice: " << said;
    // Play goes on: the next save that can be written is.
    EXPECT_TRUE(holder.WriteRecord(1, &first.file, "a"));
}
