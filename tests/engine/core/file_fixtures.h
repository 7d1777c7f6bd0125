#pragma once
// Shared by the file-layer tests: a scratch folder on the host, a small application whose save
// folder is that scratch folder and whose packs a test can set, and raw file helpers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/application.h"
#include "engine/core/options_record.h"
#include "engine/core/strings.h"
#include "engine/core/zip_pack.h"
#include "platform/files.h"
#include "support/byte_writer.h"
#include "support/host_file.h"
#include "support/plain_app.h"

using Bytes = std::vector<uint8_t>;

class ScratchFolder {
public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/kelo-files-XXXXXX";
        host_ = mkdtemp(pattern);
    }
    ~ScratchFolder() { std::filesystem::remove_all(host_); }
    // The engine's form of a file in the folder.
    std::string Engine(const std::string& name) const { return hostpath::FromHost(host_ + "/" + name); }
    std::string Host(const std::string& name) const { return host_ + "/" + name; }
    std::string EngineFolder() const { return hostpath::FromHost(host_) + "\\"; }

private:
    std::string host_;
};

inline bool HostFileExists(const std::string& path)
{
    return std::filesystem::exists(path);
}

inline Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

class FileTestApp : public PlainApp {
public:
    explicit FileTestApp(const std::string& saveFolder = std::string()) : saveFolder_(saveFolder.c_str()) {}

    String GetSaveDirectory() override { return saveFolder_; }
    String GetCommonPackName() override { return String("common.pak"); }
    String GetScreenPackName() override { return String("screen.pak"); }

    // The application owns and deletes the packs.
    void SetPacks(ZipPack* common, ZipPack* resolution, ZipPack* extra, bool singlePack)
    {
        firstPack_ = common;
        secondPack_ = resolution;
        thirdPack_ = extra;
        singlePackMode_ = singlePack;
        packsEnabled_ = true;
    }
    void DisablePacks() { packsEnabled_ = false; }

private:
    String saveFolder_;
};
