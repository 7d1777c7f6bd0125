#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/null/test_hooks.h"

namespace {

class FileCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kelo-calls-XXXXXX";
        host_ = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(host_); }
    std::string Engine(const std::string& name) const { return hostpath::FromHost(host_ + "/" + name); }
    std::string Host(const std::string& name) const { return host_ + "/" + name; }
    void Put(const std::string& name, const std::string& text) const
    {
        std::ofstream(Host(name), std::ios::binary) << text;
    }
    std::string Get(const std::string& name) const
    {
        std::ifstream in(Host(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    HANDLE Open(const std::string& name, DWORD access, DWORD disposition) const
    {
        return CreateFile(Engine(name).c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    std::string host_;
};

}  // namespace

TEST_F(FileCalls, CreateDispositionsReadWriteAndPointer)
{
    EXPECT_EQ(Open("missing.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    HANDLE file = Open("Data.TXT", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD moved = 0;
    ASSERT_TRUE(WriteFile(file, "hello world", 11, &moved, nullptr));
    EXPECT_EQ(moved, 11u);
    EXPECT_TRUE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Get("Data.TXT"), "hello world");

    // Elements are found without regard to case.
    file = Open("data.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 11u);
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_END), 6u);
    char buffer[16] = {};
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &moved, nullptr));
    EXPECT_EQ(std::string(buffer, moved), "world");
    // At the end a read succeeds with nothing.
    ASSERT_TRUE(ReadFile(file, buffer, 4, &moved, nullptr));
    EXPECT_EQ(moved, 0u);
    EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_FALSE(WriteFile(file, "x", 1, &moved, nullptr));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));

    // CREATE_ALWAYS truncates, OPEN_EXISTING keeps, CREATE_NEW refuses an existing file.
    file = Open("data.txt", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(WriteFile(file, "J", 1, &moved, nullptr));
    CloseHandle(file);
    EXPECT_EQ(Get("Data.TXT"), "Jello world");
    EXPECT_EQ(Open("data.txt", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    file = Open("data.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(Get("Data.TXT"), "");

    // A folder is not a file.
    EXPECT_EQ(CreateFile(hostpath::FromHost(host_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(FileCalls, MoveDeleteAndReplace)
{
    Put("old.dat", "old");
    Put("new.dat", "new");
    EXPECT_FALSE(MoveFile(Engine("new.dat").c_str(), Engine("OLD.dat").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Get("old.dat"), "old");
    EXPECT_TRUE(MoveFileEx(Engine("new.dat").c_str(), Engine("OLD.dat").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(Get("old.dat"), "new");
    EXPECT_FALSE(std::filesystem::exists(Host("new.dat")));
    EXPECT_TRUE(MoveFile(Engine("old.dat").c_str(), Engine("moved.dat").c_str()));
    EXPECT_EQ(Get("moved.dat"), "new");

    EXPECT_TRUE(DeleteFile(Engine("MOVED.DAT").c_str()));
    EXPECT_FALSE(DeleteFile(Engine("moved.dat").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // The folder is synced after the rename; when that fails the move says so, though the file
    // has already moved.
    Put("next.dat", "next");
    nullbackend::FailFileCalls(nullbackend::FileCall::FolderSync, 1, ERROR_WRITE_FAULT);
    EXPECT_FALSE(MoveFileEx(Engine("next.dat").c_str(), Engine("old.dat").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_EQ(Get("old.dat"), "next");
    nullbackend::FailFileCalls(nullbackend::FileCall::FolderSync, 1, ERROR_WRITE_FAULT);
    EXPECT_FALSE(MoveFile(Engine("old.dat").c_str(), Engine("last.dat").c_str()));
    nullbackend::FailFileCalls(nullbackend::FileCall::FolderSync, 0, 0);
    EXPECT_TRUE(MoveFile(Engine("last.dat").c_str(), Engine("old.dat").c_str()));
}

TEST_F(FileCalls, CountedChangesAndAKillBeforeTheChosenOne)
{
    // Only writes, flushes, moves and deletes count; opens, reads, seeks and sizes do not.
    nullbackend::KillAtFileCall(0);
    HANDLE file = Open("count.dat", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD moved = 0;
    ASSERT_TRUE(WriteFile(file, "ab", 2, &moved, nullptr));
    ASSERT_TRUE(FlushFileBuffers(file));
    char buffer[4] = {};
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    ASSERT_TRUE(ReadFile(file, buffer, 2, &moved, nullptr));
    GetFileSize(file, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(MoveFileEx(Engine("count.dat").c_str(), Engine("moved.dat").c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(DeleteFile(Engine("moved.dat").c_str()));
    // A write refused for a bad handle changed nothing.
    EXPECT_FALSE(WriteFile(INVALID_HANDLE_VALUE, "x", 1, &moved, nullptr));
    EXPECT_EQ(nullbackend::ChangingFileCalls(), 4);

    // The process dies at the second write, before it runs: the first one's bytes are all the
    // file holds.
    EXPECT_EXIT(
        {
            nullbackend::KillAtFileCall(2);
            HANDLE out = Open("killed.dat", GENERIC_WRITE, CREATE_ALWAYS);
            DWORD put = 0;
            WriteFile(out, "first", 5, &put, nullptr);
            WriteFile(out, "second", 6, &put, nullptr);
            _exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(Get("killed.dat"), "first");

    // Arming restarts the count, and disarming leaves the process alive past it.
    nullbackend::KillAtFileCall(1);
    nullbackend::KillAtFileCall(0);
    Put("kept.dat", "kept");
    EXPECT_TRUE(DeleteFile(Engine("kept.dat").c_str()));
    EXPECT_EQ(nullbackend::ChangingFileCalls(), 1);
}
