#include "module_support.h"

#include <cstdio>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/host_file.h"

std::string WriteModuleFile(const std::string& name)
{
    std::string source = std::string(KELO_TEST_DATA) + "/modules/" + name + ".txt";
    // Tests run in parallel processes: each writes a file of its own.
    std::string target = testing::TempDir() + "kelo_module_" + std::to_string(getpid()) + "_" + name + ".bin";
    std::string command = std::string(KELO_TOOLS_DIR) + "/modwriter '" + source + "' '" + target + "'";
    if (std::system(command.c_str()) != 0)
        return std::string();
    return target;
}

std::vector<uint8_t> BuildModule(const std::string& name)
{
    std::string target = WriteModuleFile(name);
    if (target.empty())
        return {};
    std::vector<uint8_t> bytes = ReadHostFile(target);
    std::remove(target.c_str());
    return bytes;
}

PlayerRun::PlayerRun(const std::vector<uint8_t>& bytes, bool loop, int rate)
{
    player.SetOutputFormat(rate, 1, 16, true);
    player.moduleVolume = 255;
    loaded = !bytes.empty() && ModulePlayer::Load(bytes.data(), bytes.size(), &player) == 0 && player.Start();
    player.loop = loop;
}

void PlayerRun::Run(long frames)
{
    for (long i = 0; i < frames && player.playing; ++i) {
        int order = player.orderPos, row = player.row;
        int16_t value = 0;
        player.outputBuffer = &value;
        player.outputBytes = 2;
        player.Render();
        output.push_back(value);
        positions.push_back(player.channels[0].position);
        ++frame;
        if (player.tickPos == 0 && player.playing) {
            tickStarts.push_back(frame);
            if (player.tick == 0)
                rows.push_back({order, row, frame});
        }
    }
}

void PlayerRun::RunRows(int count)
{
    size_t target = rows.size() + static_cast<size_t>(count);
    while (rows.size() < target && player.playing)
        Run(1);
}
