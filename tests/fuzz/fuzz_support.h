#pragma once
// Shared by the fuzz targets: the null back end, a scratch folder for the files a target writes,
// and a small application whose save folder is that folder.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/backend.h"
#include "platform/files.h"
#include "tests/support/host_file.h"
#include "tests/support/plain_app.h"

class FuzzApp : public PlainApp {
public:
    explicit FuzzApp(const std::string& saveFolder) : saveFolder_(saveFolder.c_str()) {}
    String GetSaveDirectory() override { return saveFolder_; }

private:
    String saveFolder_;
};

// The host folder of this process, made once and removed at exit.
inline const std::string& FuzzFolder()
{
    // Never destroyed: the exit handler below still needs it.
    static const std::string* folder = [] {
        setenv("KELO_HEADLESS", "1", 1);
        PlatformStartup();
        // In memory when the system offers it: the record store flushes every rewrite.
        std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/kelo-fuzz-XXXXXX" : "/tmp/kelo-fuzz-XXXXXX";
        auto* made = new std::string(mkdtemp(pattern.data()));
        atexit([] { std::filesystem::remove_all(FuzzFolder()); });
        return made;
    }();
    return *folder;
}

inline std::string FuzzEnginePath(const std::string& name)
{
    return hostpath::FromHost(FuzzFolder() + "/" + name);
}

inline void FuzzWriteFile(const std::string& name, const uint8_t* data, size_t size)
{
    WriteHostFile(FuzzFolder() + "/" + name, data, size);
}
