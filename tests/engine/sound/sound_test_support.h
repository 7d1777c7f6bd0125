#pragma once
// WAV images built byte by byte, the fixtures' engine paths, and pumping of the null device.
#include <cstdint>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/null/sound_hooks.h"
#include "support/byte_writer.h"
#include "support/host_file.h"

namespace soundtest {

inline void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

// A RIFF header, then "fmt " with the given body, the extra chunks and "data".
inline std::vector<uint8_t> Wav(const std::vector<uint8_t>& format, const std::vector<uint8_t>& data,
                                const std::vector<uint8_t>& between = {}, int64_t dataLength = -1)
{
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutLe32(out, 0);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe32(out, static_cast<uint32_t>(format.size()));
    out.insert(out.end(), format.begin(), format.end());
    out.insert(out.end(), between.begin(), between.end());
    PutTag(out, "data");
    PutLe32(out, dataLength >= 0 ? static_cast<uint32_t>(dataLength) : static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

inline std::vector<uint8_t> PcmFormat(int channels, uint32_t rate, int bits)
{
    std::vector<uint8_t> f;
    PutLe16(f, 1);
    PutLe16(f, static_cast<uint32_t>(channels));
    PutLe32(f, rate);
    PutLe32(f, rate * static_cast<uint32_t>(channels * bits / 8));
    PutLe16(f, static_cast<uint32_t>(channels * bits / 8));
    PutLe16(f, static_cast<uint32_t>(bits));
    return f;
}

inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> out;
    for (int16_t s : samples)
        PutLe16(out, static_cast<uint16_t>(s));
    return out;
}

inline std::vector<uint8_t> Wav16(const std::vector<int16_t>& samples, uint32_t rate = 22050, int channels = 1)
{
    return Wav(PcmFormat(channels, rate, 16), Pcm16(samples));
}

inline std::string HostData(const std::string& name)
{
    return std::string(KELO_TEST_DATA) + "/sound/" + name;
}

inline std::string DataPath(const std::string& name)
{
    return hostpath::FromHost(HostData(name));
}

inline std::vector<uint8_t> ReadHost(const std::string& host)
{
    return ReadHostFile(host);
}

// Writes bytes to a temporary host file, removed when the test process ends; returns its
// engine path.
inline std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes)
{
    struct Written {
        std::vector<std::string> paths;
        ~Written()
        {
            for (const std::string& path : paths)
                std::remove(path.c_str());
        }
    };
    static Written written;
    std::string host = std::string("/tmp/kelo_sound_") + std::to_string(getpid()) + "_" + name;
    WriteHostFile(host, bytes);
    written.paths.push_back(host);
    return hostpath::FromHost(host);
}

// The samples of the pumped output, from byte `from` on.
inline std::vector<int16_t> CapturedSamples(size_t from = 0)
{
    const auto& c = nullbackend::CapturedSound();
    std::vector<int16_t> out;
    for (size_t i = from; i + 1 < c.size(); i += 2)
        out.push_back(static_cast<int16_t>(c[i] | (c[i + 1] << 8)));
    return out;
}

}  // namespace soundtest
