#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/handheld_fixture.h"

// A test process makes its handheld save folder once and takes it away when it ends, so runs of
// the suite leave nothing in the temporary folder.
TEST(HandheldSaveFolder, IsGoneWhenTheProcessEnds)
{
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        const std::string& path = HandheldSaveFolder();
        bool made = std::filesystem::is_directory(path) && path != "/tmp";
        ssize_t written = write(channel[1], path.data(), path.size());
        close(channel[1]);
        exit(made && written == static_cast<ssize_t>(path.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string path;
    char buffer[256];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        path.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(path.rfind("/tmp/kelo_handheld_", 0), 0u) << path;
    EXPECT_FALSE(std::filesystem::exists(path)) << path;
}
