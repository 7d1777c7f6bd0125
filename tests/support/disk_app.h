#pragma once
// An application that reads every file from disk, with a scratch folder for the files a test
// writes. Paths given to the engine are in its own form ('\' separators).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/host_file.h"
#include "support/plain_app.h"

class DiskApp : public PlainApp {
public:
    DiskApp()
    {
        packsEnabled_ = false;
        char pattern[] = "/tmp/kelo_test_XXXXXX";
        const char* made = mkdtemp(pattern);
        folder = made ? made : "/tmp";
    }
    ~DiskApp() override
    {
        if (folder != "/tmp")
            std::system(("rm -rf '" + folder + "'").c_str());
    }

    String GetImageFolder() override { return String(imageFolder.c_str()); }

    // The host path of a file in the scratch folder, and its name in the engine's form.
    std::string Host(const std::string& name) const { return folder + "/" + name; }
    std::string Engine(const std::string& name) const { return hostpath::FromHost(Host(name)); }
    bool Write(const std::string& name, const void* data, size_t size) const
    {
        return WriteHostFile(Host(name), data, size);
    }
    bool Write(const std::string& name, const std::string& text) const { return Write(name, text.data(), text.size()); }

    std::string folder;
    std::string imageFolder;
};
