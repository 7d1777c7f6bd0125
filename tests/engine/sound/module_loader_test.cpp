#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/sound/module_music.h"
#include "engine/sound/module_player.h"
#include "module_support.h"
#include "platform/null/test_hooks.h"

namespace {

const ModuleCell& Cell(const ModulePlayer& player, int pattern, int row, int channel)
{
    return player.patterns[pattern][row * player.channelCount + channel];
}

int Load(const std::vector<uint8_t>& bytes, ModulePlayer* player)
{
    return ModulePlayer::Load(bytes.data(), bytes.size(), player);
}

TEST(ModuleLoader, ModWithSignatureTranslatesItsEffects)
{
    std::vector<uint8_t> bytes = BuildModule("mod_effects");
    ModulePlayer player;
    ASSERT_EQ(Load(bytes, &player), 0);
    EXPECT_EQ(player.format, 1);
    EXPECT_EQ(player.channelCount, 4);
    EXPECT_EQ(player.sampleCount, 31);
    EXPECT_EQ(player.instrumentCount, 31);
    EXPECT_EQ(player.orderCount, 2);
    EXPECT_EQ(player.patternCount, 2);
    EXPECT_STREQ(player.name, "mod effects");
    EXPECT_EQ(player.initialTempo, 125);
    EXPECT_EQ(player.initialSpeed, 6);
    const uint8_t pans[4] = {167, 86, 86, 167};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(player.channels[c].defaultPan, pans[c]) << c;

    // Periods 428, 1712 and 453 are C-4, C-2 and B-3.
    EXPECT_EQ(Cell(player, 0, 0, 0).note, 0x40);
    EXPECT_EQ(Cell(player, 0, 0, 1).note, 0x20);
    EXPECT_EQ(Cell(player, 0, 0, 2).note, 0x3B);
    EXPECT_EQ(Cell(player, 0, 0, 0).instrument, 1u);
    EXPECT_EQ(Cell(player, 0, 0, 3).note, kNoNote);
    EXPECT_EQ(Cell(player, 0, 2, 0).effect1, kFxBreak);  // D64 reads as decimal 64: row 0
    EXPECT_EQ(Cell(player, 0, 2, 0).param1, 0);

    struct Expected {
        int row, channel;
        uint16_t effect;
        uint8_t param;
    } expected[] = {
        {0, 1, kFxPortaUp, 0xF2},      {0, 2, kFxVolumeSlide, 0x2F}, {0, 3, kFxSpeed, 7},
        {1, 0, kFxTempo, 0x7D},        {1, 1, kFxArpeggio, 0xC3},    {1, 2, kFxRetrigger, 3},
        {1, 3, 0, 0},                  {2, 0, kFxPortaUp, 0x23},     {2, 1, kFxPortaDown, 0x45},
        {2, 2, kFxSampleOffset, 0xF0}, {2, 3, 0, 0},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(Cell(player, 1, e.row, e.channel).effect1, e.effect) << e.row << "," << e.channel;
        EXPECT_EQ(Cell(player, 1, e.row, e.channel).param1, e.param) << e.row << "," << e.channel;
    }
    // C sets the cell volume, at most 64, and is no effect.
    EXPECT_EQ(Cell(player, 1, 0, 0).volume, 64);
    EXPECT_EQ(Cell(player, 1, 0, 0).effect1, 0);

    const ModuleSample& square = player.samples[0];
    EXPECT_EQ(square.length, 2000u);
    EXPECT_TRUE(square.looping);
    EXPECT_EQ(square.loopEnd, 2000u);
    EXPECT_EQ(player.samples[1].c4Rate, 7895u);  // finetune -8
    EXPECT_EQ(player.samples[2].c4Rate, 8757u);  // finetune 7
    EXPECT_EQ(player.samples[2].volume, 64);     // 70 in the file
    EXPECT_FALSE(player.samples[1].looping);
    EXPECT_EQ(player.samples[1].loopEnd, 999u);
    EXPECT_EQ(static_cast<const int8_t*>(square.data)[0], 64);  // half of full scale
}

TEST(ModuleLoader, ModWithoutSignatureIsTheFifteenSampleLayout)
{
    std::vector<uint8_t> bytes = BuildModule("mod15");
    ASSERT_EQ(bytes.size(), 600u + 1024u + 100u);
    ModulePlayer player;
    ASSERT_EQ(Load(bytes, &player), 0);
    EXPECT_EQ(player.sampleCount, 15);
    EXPECT_EQ(player.channelCount, 4);
    EXPECT_EQ(Cell(player, 0, 0, 0).note, 0x40);
    EXPECT_EQ(player.samples[0].length, 100u);
    EXPECT_EQ(static_cast<const int8_t*>(player.samples[0].data)[99], 127);

    // Bytes between the patterns and the samples: the samples are the file's tail.
    std::vector<uint8_t> padded(bytes.begin(), bytes.begin() + 1624);
    padded.insert(padded.end(), 16, 0x55);
    padded.insert(padded.end(), bytes.begin() + 1624, bytes.end());
    ModulePlayer tail;
    ASSERT_EQ(Load(padded, &tail), 0);
    EXPECT_EQ(std::memcmp(tail.samples[0].data, player.samples[0].data, 100), 0);
}

TEST(ModuleLoader, UnknownModPeriodStillLoads)
{
    std::vector<uint8_t> bytes = BuildModule("mod15");
    bytes[601] = 0x99;  // period 0x199 is in no table
    ModulePlayer player;
    ASSERT_EQ(Load(bytes, &player), 0);
    EXPECT_EQ(Cell(player, 0, 0, 0).note, kNoNote);
    EXPECT_TRUE(player.loaded);
}

TEST(ModuleLoader, S3mKeepsChannelsBelowSixteen)
{
    std::vector<uint8_t> bytes = BuildModule("s3m_channels");
    ModulePlayer player;
    ASSERT_EQ(Load(bytes, &player), 0);
    EXPECT_EQ(player.format, 2);
    EXPECT_EQ(player.channelCount, 4);
    const uint8_t pans[4] = {86, 86, 167, 167};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(player.channels[c].defaultPan, pans[c]) << c;
    EXPECT_EQ(Cell(player, 0, 0, 0).note, 0x40);
    EXPECT_EQ(Cell(player, 0, 0, 3).note, 0x45);  // F-4; the dropped channel's G-4 went nowhere
    EXPECT_EQ(Cell(player, 0, 0, 1).volume, 32);
    EXPECT_EQ(Cell(player, 0, 0, 2).effect1, 4);  // D
    EXPECT_TRUE(player.unsignedSamples);
    EXPECT_EQ(player.trackerVersion, 0x2013);

    const ModuleSample& wide = player.samples[1];
    EXPECT_TRUE(wide.sixteenBit);
    EXPECT_EQ(wide.c4Rate, 16726u);
    const auto* values = static_cast<const int16_t*>(wide.data);
    for (int i : {0, 16, 48, 100})
        EXPECT_EQ(values[i], std::lround(32767 * std::sin(2 * M_PI * i / 64))) << i;
}

TEST(ModuleLoader, S3mBrokenHeadersFail)
{
    std::vector<uint8_t> bytes = BuildModule("s3m_channels");
    ModulePlayer player;
    std::vector<uint8_t> wrongType = bytes;
    wrongType[29] = 17;
    EXPECT_EQ(Load(wrongType, &player), -1);

    // The first instrument record follows its pointer; its "SCRS" ends it.
    size_t instrumentAt = static_cast<size_t>(bytes[96 + 1] | bytes[96 + 2] << 8) * 16;
    std::vector<uint8_t> noSignature = bytes;
    noSignature[instrumentAt + 76] = 'X';
    EXPECT_EQ(Load(noSignature, &player), -1);
    EXPECT_FALSE(player.loaded);
    EXPECT_EQ(player.samples, nullptr);
}

TEST(ModuleLoader, XmInstrumentsSamplesAndVolumeColumn)
{
    std::vector<uint8_t> bytes = BuildModule("xm_instruments");
    ModulePlayer player;
    ASSERT_EQ(Load(bytes, &player), 0);
    EXPECT_EQ(player.format, 3);
    EXPECT_TRUE(player.linearSlides);
    EXPECT_EQ(player.instrumentCount, 4);
    EXPECT_EQ(player.sampleCount, 5);
    EXPECT_EQ(player.patternRows[0], 32);
    EXPECT_EQ(player.channels[0].defaultPan, 128);

    EXPECT_EQ(Cell(player, 0, 0, 0).note, 0x40);  // note 49 is C-4
    EXPECT_EQ(Cell(player, 0, 8, 0).note, kNoteOff);  // note 97
    EXPECT_EQ(player.samples[2].c4Rate, 7893u);  // finetune -128
    EXPECT_EQ(player.samples[3].c4Rate, 8856u);  // finetune 127
    EXPECT_TRUE(player.samples[2].sixteenBit);
    EXPECT_EQ(player.samples[2].length, 1000u);
    const auto* wide = static_cast<const int16_t*>(player.samples[2].data);
    EXPECT_EQ(wide[63], std::lround(32767 * std::sin(2 * M_PI * 63 / 250)));
    EXPECT_EQ(player.samples[3].relativeNote, 12);

    struct Expected {
        int row;
        uint16_t effect;
        uint8_t param;
    } column[] = {{1, kFxXmVolumeSlide, 0x04}, {2, kFxXmVolumeSlide, 0xA0}, {3, kFxVolumeSlide, 0xF2},
                  {4, kFxVolumeSlide, 0x3F},  {5, kFxSetPan, 0x80},          {6, kFxPanSlide, 0x03},
                  {7, kFxPanSlide, 0x30}};
    for (const Expected& e : column) {
        EXPECT_EQ(Cell(player, 0, e.row, 3).effect1, e.effect) << e.row;
        EXPECT_EQ(Cell(player, 0, e.row, 3).param1, e.param) << e.row;
    }
    EXPECT_EQ(Cell(player, 0, 8, 3).volume, 40);
    EXPECT_EQ(Cell(player, 0, 8, 3).effect2, kFxGlobalVolume);
    EXPECT_EQ(Cell(player, 0, 9, 3).effect2, kFxGlobalVolumeSlide);

    const ModuleInstrument& enveloped = player.instruments[0];
    EXPECT_TRUE(enveloped.volumeEnvelope.on);
    EXPECT_EQ(enveloped.volumeEnvelope.pointCount, 4);
    EXPECT_EQ(enveloped.volumeEnvelope.sustain, 1);
    EXPECT_EQ(enveloped.volumeEnvelope.loopStart, 255);
    EXPECT_EQ(enveloped.fadeout, 1024);
    // Key map: notes from C-4 use the second sample, from C-5 a sample the instrument lacks.
    const ModuleInstrument& split = player.instruments[2];
    EXPECT_EQ(split.sampleForNote[0x30], 2);
    EXPECT_EQ(split.sampleForNote[0x40], 3);
    EXPECT_EQ(split.sampleForNote[0x50], -1);
    // An envelope whose x does not increase is off.
    EXPECT_FALSE(player.instruments[3].volumeEnvelope.on);
}

TEST(ModuleLoader, OutOfRangeValuesAreClampedAtLoad)
{
    ModulePlayer s3m;
    ASSERT_EQ(Load(BuildModule("broken_s3m"), &s3m), 0);
    EXPECT_EQ(s3m.initialTempo, 125);  // 10 in the file
    EXPECT_EQ(s3m.initialSpeed, 6);    // 0
    EXPECT_EQ(s3m.globalVolume, 64);   // 200
    EXPECT_EQ(s3m.samples[0].volume, 64);
    EXPECT_EQ(Cell(s3m, 0, 0, 0).instrument, 0u);  // 40 of 2 instruments
    EXPECT_EQ(s3m.samples[0].loopEnd, 1000u);      // clamped to the length
    EXPECT_TRUE(s3m.samples[0].looping);
    EXPECT_FALSE(s3m.samples[1].looping);  // its start lies past the end

    ModulePlayer xm;
    ASSERT_EQ(Load(BuildModule("broken_xm"), &xm), 0);
    EXPECT_EQ(xm.channelCount, 32);
    EXPECT_EQ(xm.initialTempo, 125);
    EXPECT_EQ(xm.patternRows[1], 64);  // 0 rows in the file
    EXPECT_EQ(Cell(xm, 0, 0, 2).instrument, 0u);
    EXPECT_EQ(xm.instruments[0].sampleForNote[0x42], -1);
    EXPECT_FALSE(xm.instruments[0].volumeEnvelope.on);
    EXPECT_EQ(xm.samples[1].loopEnd, xm.samples[1].length - 1);  // loop past the end: none
}

TEST(ModuleLoader, LoadRefusesBadCallsAndKeepsALoadedModule)
{
    std::vector<uint8_t> bytes = BuildModule("events");
    ModulePlayer player;
    EXPECT_EQ(ModulePlayer::Load(nullptr, 10, &player), -1);
    EXPECT_EQ(ModulePlayer::Load(bytes.data(), 0, &player), -1);
    EXPECT_EQ(ModulePlayer::Load(bytes.data(), bytes.size(), nullptr), -1);
    const uint8_t junk[1000] = {1, 2, 3};  // too short for any format
    EXPECT_EQ(ModulePlayer::Load(junk, sizeof junk, &player), -1);

    ASSERT_EQ(Load(bytes, &player), 0);
    ModuleSample* samples = player.samples;
    EXPECT_EQ(Load(BuildModule("mod15"), &player), -1);
    EXPECT_EQ(player.samples, samples);
    EXPECT_EQ(player.format, 2);
    ModulePlayer::Unload(&player);
    EXPECT_FALSE(player.loaded);
    EXPECT_EQ(Load(BuildModule("mod15"), &player), 0);
    EXPECT_EQ(player.format, 1);
}

TEST(ModuleLoader, TruncatedModulesFailWithoutLeaks)
{
    for (const char* name : {"s3m_channels", "xm_instruments", "mod_effects", "broken_xm"}) {
        std::vector<uint8_t> bytes = BuildModule(name);
        ASSERT_FALSE(bytes.empty()) << name;
        for (size_t size = 1; size < bytes.size(); size += 1 + size / 16) {
            ModulePlayer player;
            int result = ModulePlayer::Load(bytes.data(), size, &player);
            // A MOD may still load from a shorter file: its samples come from the tail.
            if (result == 0) {
                EXPECT_EQ(player.format, 1) << name << " at " << size;
                continue;
            }
            EXPECT_EQ(result, -1) << name << " at " << size;
            EXPECT_FALSE(player.loaded);
            EXPECT_EQ(player.patterns, nullptr);
        }
    }
}

TEST(ModuleLoader, OutOfMemoryFreesEverything)
{
    for (const char* name : {"s3m_channels", "xm_instruments", "mod_effects"}) {
        std::vector<uint8_t> bytes = BuildModule(name);
        int failures = 0;
        // Every allocation of at least the threshold fails: each threshold stops the load at
        // another block (sample data, pattern cells, instrument tables, envelope points).
        for (size_t threshold : {1, 8, 64, 512, 2048, 8192, 32768}) {
            ModulePlayer player;
            nullbackend::FailAllocations(100000, threshold);
            int result = ModulePlayer::Load(bytes.data(), bytes.size(), &player);
            nullbackend::FailAllocations(0);
            if (result == 0)
                continue;
            ++failures;
            EXPECT_EQ(result, -2) << name << " " << threshold;
            EXPECT_FALSE(player.loaded);
            EXPECT_EQ(player.samples, nullptr);
            EXPECT_EQ(player.patterns, nullptr);
        }
        EXPECT_GE(failures, 3) << name;
        nullbackend::ClearMessageBoxes();
    }
}

}  // namespace
