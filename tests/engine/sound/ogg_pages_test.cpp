#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/load_result.h"
#include "engine/sound/sound_manager.h"
#include "platform/null/sound_hooks.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

using Page = std::vector<uint8_t>;

std::vector<Page> SplitPages(const std::vector<uint8_t>& file)
{
    std::vector<Page> pages;
    size_t at = 0;
    while (at + 27 <= file.size()) {
        size_t segments = file[at + 26];
        size_t length = 27 + segments;
        for (size_t i = 0; i < segments && at + 27 + i < file.size(); ++i)
            length += file[at + 27 + i];
        pages.emplace_back(file.begin() + at, file.begin() + std::min(file.size(), at + length));
        at += length;
    }
    return pages;
}

// Rewrites a page's serial, sequence number and flags and seals it with a fresh checksum.
Page Sealed(Page page, uint32_t serial, uint32_t sequence, uint8_t flags)
{
    page[5] = flags;
    for (int i = 0; i < 4; ++i) {
        page[14 + i] = static_cast<uint8_t>(serial >> (8 * i));
        page[18 + i] = static_cast<uint8_t>(sequence >> (8 * i));
        page[22 + i] = 0;
    }
    uint32_t crc = 0;
    for (uint8_t byte : page) {
        crc ^= static_cast<uint32_t>(byte) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i)
        page[22 + i] = static_cast<uint8_t>(crc >> (8 * i));
    return page;
}

class OggPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        nullbackend::SetSoundDeviceCount(1);
        nullbackend::FailSoundOpen(false);
        ASSERT_EQ(sound.Init(), 1);
    }
    void TearDown() override { sound.Shutdown(); }
    SoundManager sound{nullptr};
};

// Every page of these checks out, yet the order is one no encoder writes: the decoder once
// overran its buffers on such a file, so it must be refused before the decoder reads it.
TEST_F(OggPages, DisorderedPagesAreRefusedAndChainedLinksKept)
{
    std::string reproducer = std::string(KELO_TEST_DATA) + "/../fuzz/corpus/fuzz_ogg_sample/chained_pages.ogg";
    std::vector<uint8_t> bytes = ReadHost(reproducer);
    ASSERT_FALSE(bytes.empty());
    LoadedValue<int> disordered = sound.LoadSampleOgg(WriteTemp("reproducer.ogg", bytes).c_str());
    EXPECT_EQ(disordered.value, -1);
    EXPECT_TRUE(disordered.why.failed() && !disordered.why.IsMissing());

    std::vector<Page> link = SplitPages(ReadHost(HostData("tone_mono_22050.ogg")));
    ASSERT_GE(link.size(), 3u);
    auto join = [&](std::initializer_list<Page> pages) {
        std::vector<uint8_t> out;
        for (const Page& p : pages)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    auto whole = [&](uint32_t serial) {
        std::vector<uint8_t> out;
        for (size_t i = 0; i < link.size(); ++i) {
            uint8_t flags = (i == 0 ? 2 : 0) | (i + 1 == link.size() ? 4 : 0) | (link[i][5] & 1);
            Page p = Sealed(link[i], serial, static_cast<uint32_t>(i), flags);
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    std::vector<uint8_t> first = whole(1), second = whole(2);
    std::vector<uint8_t> chained = first;
    chained.insert(chained.end(), second.begin(), second.end());
    LoadedValue<int> kept = sound.LoadSampleOgg(WriteTemp("chained.ogg", chained).c_str());
    EXPECT_GE(kept.value, 0);
    EXPECT_TRUE(kept.why.ok());
    EXPECT_GE(sound.OpenStream(WriteTemp("chained_stream.ogg", chained).c_str()), 0);

    Page last = link.back();
    Page headers = Sealed(link[0], 1, 0, 2);
    const std::vector<std::vector<uint8_t>> refused = {
        // A page of the first link after it ended.
        [&] { auto f = chained; auto p = Sealed(last, 1, 2, 4); f.insert(f.end(), p.begin(), p.end()); return f; }(),
        // A sequence number repeated.
        join({headers, Sealed(link[1], 1, 1, 0), Sealed(link[1], 1, 1, 0)}),
        // A second stream begun and its pages run between the first one's.
        join({headers, Sealed(link[0], 2, 0, 2), Sealed(link[1], 1, 1, 0), Sealed(link[1], 2, 1, 0)}),
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        std::string name = "refused" + std::to_string(i) + ".ogg";
        LoadedValue<int> refusal = sound.LoadSampleOgg(WriteTemp(name, refused[i]).c_str());
        EXPECT_EQ(refusal.value, -1) << i;
        EXPECT_TRUE(refusal.why.failed() && !refusal.why.IsMissing()) << i;
        EXPECT_EQ(sound.OpenStream(WriteTemp("stream_" + name, refused[i]).c_str()), -1) << i;
    }
}

}  // namespace
